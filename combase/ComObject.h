/*
 * CComObject: IUnknown for every COM object of the module and of the
 * reference host. A COM class derives from its interfaces and gives
 *
 *   HRESULT InternalQueryInterface(REFIID iid, void** object);
 *       its interfaces, answered from a table of InterfaceEntry rows
 *       (QueryInterfaceFromTable, combase/ComPointers.h), whose rows are
 *       checked against the class's bases at compile time;
 *
 * and, where it must know of its references,
 *
 *   void ReferenceCounted(ULONG count, bool added);
 *       called after each AddRef (added) and Release with the new count,
 *       before the object is destroyed at 0: a class object locks the
 *       module beyond its first reference, a host object tells the fault
 *       campaign's plan of every reference beyond the host's own.
 *
 * The object made is CComObject<Class, Count>, which answers QueryInterface,
 * AddRef and Release for every interface of the class and deletes itself at
 * the last Release. Count is how it counts: CPlainCount for an object of one
 * apartment, CInterlockedCount for a class object, which COM may hand to
 * any thread. Every object is born holding one reference, its creator's.
 * An object that keeps its module loaded holds the module's lock for its
 * life in its own constructor and destructor (CObjectRoot does it for the
 * component's classes, combase/ComponentObject.h).
 */
#pragma once

#include <type_traits>
#include <utility>

#include "common/win/Platform.h"

namespace paylode {

// The reference count of an object that lives in one apartment.
class CPlainCount {
public:
    ULONG Increment() { return ++count_; }
    ULONG Decrement() { return --count_; }

private:
    ULONG count_ = 1;
};

// The reference count of an object that any thread may hold.
class CInterlockedCount {
public:
    ULONG Increment() { return static_cast<ULONG>(InterlockedIncrement(&count_)); }
    ULONG Decrement() { return static_cast<ULONG>(InterlockedDecrement(&count_)); }

private:
    volatile LONG count_ = 1;
};

namespace detail {

template <typename Class, typename = void>
struct HasReferenceHook : std::false_type {};
template <typename Class>
struct HasReferenceHook<Class, std::void_t<decltype(std::declval<Class&>().ReferenceCounted(ULONG{}, bool{}))>>
    : std::true_type {};

}  // namespace detail

template <typename Class, typename Count = CPlainCount>
class CComObject final : public Class {
public:
    template <typename... Arguments>
    explicit CComObject(Arguments&&... arguments) : Class(std::forward<Arguments>(arguments)...) {}
    CComObject(const CComObject&) = delete;
    CComObject& operator=(const CComObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return Class::InternalQueryInterface(iid, object); }
    STDMETHODIMP_(ULONG) AddRef() override {
        const ULONG count = count_.Increment();
        Counted(count, true);
        return count;
    }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG count = count_.Decrement();
        Counted(count, false);
        if (count == 0) delete this;
        return count;
    }

private:
    ~CComObject() = default;  // NOLINT(modernize-use-override): virtual where Class's destructor is

    void Counted(ULONG count, bool added) {
        if constexpr (detail::HasReferenceHook<Class>::value) Class::ReferenceCounted(count, added);
    }

    Count count_;
};

}  // namespace paylode
