/*
 * The COM objects of the component's classes: the module lock every live
 * object holds, aggregation, and the one creation function that the class
 * objects and the component itself use.
 *
 * A class of the component is a C++ class that derives from its interfaces
 * and from CObjectRoot and leaves IUnknown's three methods to CComObject
 * (combase/ComObject.h). It gives:
 *
 *   HRESULT InternalQueryInterface(REFIID iid, void** object);
 *       its interfaces in the order the class answers them, IUnknown
 *       yielding the first; one more reference through the interface found
 *       (a QueryInterface table does exactly this);
 *   HRESULT FinalConstruct();
 *       its construction step, run once the object is built and before it
 *       is handed out; CObjectRoot's does nothing. A failure destroys the
 *       object again and is the creation's result.
 *
 * and is made by
 *
 *   HRESULT CreateInstanceOf<CClass>(IUnknown* outer, REFIID iid, void** object);
 *
 * which is the shape of every creation function in the class table
 * (shell/ClassTable.h). Without an outer object it makes the plain object;
 * with one, the inner object of an aggregate, which may only be asked for
 * IUnknown (its own, non-delegating one). The object counts its references
 * with a plain integer: it lives in one single-threaded apartment.
 *
 * Every object of the component and of the reference host follows one rule,
 * the one of MakeComObject (combase/ComPointers.h): it is born holding one
 * reference, its creator's, which the factory takes over. A class of the
 * class table derives from CObjectRoot and is made by CreateInstanceOf;
 * the objects the module makes for its own use (an enumerator, a host's
 * objects) are made by MakeComObject. Each factory refuses the other's
 * classes at compile time.
 */
#pragma once

#include <wrl/client.h>

#include <type_traits>

#include "combase/ComObject.h"
#include "combase/ComPointers.h"
#include "combase/Module.h"
#include "combase/OperationGuard.h"
#include "common/win/Platform.h"

namespace paylode {

// The base of the component's classes: the default construction step
// (none), and the module's lock, held while the object lives.
class CObjectRoot {
public:
    HRESULT FinalConstruct() { return S_OK; }

protected:
    CObjectRoot() { CModule::Lock(); }
    ~CObjectRoot() { CModule::Unlock(); }
    CObjectRoot(const CObjectRoot&) = delete;
    CObjectRoot& operator=(const CObjectRoot&) = delete;
};

// The IUnknown of an aggregate's inner object of class T: only the outer
// object holds it. It keeps the count and hands out T's interfaces, which
// answer for the outer object.
template <typename T>
class CAggregate : public IUnknown {
public:
    explicit CAggregate(IUnknown* outer) : inner_(outer) {}

    HRESULT InternalQueryInterface(REFIID iid, void** object) {
        if (object == nullptr) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown)) {
            *object = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        return inner_.InternalQueryInterface(iid, object);
    }
    HRESULT FinalConstruct() { return inner_.FinalConstruct(); }

protected:
    ~CAggregate() = default;

private:
    class CContained final : public T {
    public:
        explicit CContained(IUnknown* outer) : outer_(outer) {}
        STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return outer_->QueryInterface(iid, object); }
        STDMETHODIMP_(ULONG) AddRef() override { return outer_->AddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return outer_->Release(); }

    private:
        IUnknown* outer_;
    };

    CContained inner_;
};

namespace detail {

// Builds an object, runs its construction step and queries it; the object
// is destroyed again when either fails.
template <typename Object, typename... Arguments>
HRESULT Make(REFIID iid, void** object, Arguments... arguments) noexcept {
    Object* made = nullptr;
    const HRESULT built = ResultOf([&] { made = new Object(arguments...); });
    if (FAILED(built)) return built;
    // The creator's reference, held while it is made, so that the step may
    // pass the object around; a failing step or query destroys it with this
    // one.
    const Microsoft::WRL::ComPtr<Object> held = TakeOver(made);
    HRESULT result = made->FinalConstruct();
    if (SUCCEEDED(result)) result = made->QueryInterface(iid, object);
    return result;
}

}  // namespace detail

template <typename T>
HRESULT CreateInstanceOf(IUnknown* outer, REFIID iid, void** object) noexcept {
    static_assert(std::is_base_of_v<CObjectRoot, T>,
                  "CreateInstanceOf makes the component's classes, which derive from CObjectRoot and leave IUnknown "
                  "to CComObject; an object the module makes for its own use is made by MakeComObject");
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer == nullptr) return detail::Make<CComObject<T>>(iid, object);
    if (!IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    return detail::Make<CComObject<CAggregate<T>>>(iid, object, outer);
}

}  // namespace paylode
