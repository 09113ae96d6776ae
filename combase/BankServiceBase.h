/*
 * CBankServiceBase: the common half of the payment and statement services.
 *
 * The host reaches every service through its derived service interface
 * (payments or reconciliation), which derives from the framework's base
 * service interface, which derives from IDispatch. This template implements
 * the base operations once, over the class's own dual interface: the
 * service's name, fixed at construction, and its status value, which the
 * service's own process operation and the host set. IDispatch is served from
 * the component's type library.
 *
 * A service class derives from ISupportErrorInfo, from this template and
 * from CObjectRoot, and is made by CreateInstanceOf (combase/ComponentObject.h),
 * which gives it IUnknown, its module lock and aggregation. Its
 * InternalQueryInterface answers with QueryServiceInterface(this, iid, out)
 * and InterfaceSupportsErrorInfo with SupportsErrorInfo():
 *
 *   class CBankStatementService
 *       : public ISupportErrorInfo,
 *         public CBankServiceBase<IBankStatementService, ITorvoBankStatementService>,
 *         public CObjectRoot {
 *   public:
 *       HRESULT InternalQueryInterface(REFIID iid, void** out) { return QueryServiceInterface(this, iid, out); }
 *       STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override { return SupportsErrorInfo(iid); }
 *       ... GetStatusText, ImportStatement
 *   protected:
 *       CBankStatementService();
 *   };
 *
 * Plugging it in is a row of the class table (shell/ClassTable.cpp) and a
 * line of the collection's construction step (shell/BankServices.cpp).
 */
#pragma once

#include <type_traits>

#include "combase/ComPointers.h"
#include "combase/DispatchBase.h"
#include "combase/OperationGuard.h"
#include "common/HResult.h"
#include "common/win/Owners.h"
#include "host/HostInterfaces.h"

namespace paylode {

template <typename Dual, typename HostService>
class CBankServiceBase : public CDispatchBase<Dual> {
    static_assert(std::is_base_of_v<HostService, Dual> && std::is_base_of_v<ITorvoBankService, HostService>,
                  "the dual interface derives from the host's service interface");

public:
    using HostServiceInterface = HostService;

    // ---- the base service operations ----------------------------------------
    STDMETHODIMP GetName(BSTR* name) override {
        return Guarded([&] {
            RequireArgument(name != nullptr);
            *name = name_.Copy();
        });
    }
    STDMETHODIMP GetServiceStatus(LONG* status) override {
        return Guarded([&] {
            RequireArgument(status != nullptr);
            *status = status_;
        });
    }
    // The framework may reset or override the status as it likes.
    STDMETHODIMP SetServiceStatus(LONG status) override {
        status_ = status;
        return S_OK;
    }
    // The services have no extra information: nothing is written.
    STDMETHODIMP GetExtraInfo(VARIANT* info) override {
        return Guarded([&] { RequireArgument(info != nullptr); });
    }
    STDMETHODIMP GetExtraItem(LONG, VARIANT* item) override {
        return Guarded([&] { RequireArgument(item != nullptr); });
    }

protected:
    // The name is the service's display name; E_OUTOFMEMORY when no copy
    // can be had.
    explicit CBankServiceBase(const wchar_t* name) : name_(CBstr::Make(name)) {}
    virtual ~CBankServiceBase() = default;
    CBankServiceBase(const CBankServiceBase&) = delete;
    CBankServiceBase& operator=(const CBankServiceBase&) = delete;

    // QueryInterface of a service class, in its order: the dual interface,
    // the host's service interface, IDispatch, ISupportErrorInfo; IUnknown
    // is the first. The framework's base service interface is not answered
    // by its own IID: the host reaches it through the derived one.
    template <typename Class>
    static HRESULT QueryServiceInterface(Class* service, REFIID iid, void** out) {
        // clang-format off
        static const QITAB table[] = {
            InterfaceEntry<Class, Dual>(__uuidof(Dual)),
            InterfaceEntry<Class, Dual>(__uuidof(HostService)),
            InterfaceEntry<Class, Dual>(IID_IDispatch),
            InterfaceEntry<Class, ISupportErrorInfo>(IID_ISupportErrorInfo),
            {},
        };
        // clang-format on
        return QueryInterfaceFromTable(service, table, iid, out);
    }

    // Error information is given for the class's own dual interface only.
    static HRESULT SupportsErrorInfo(REFIID iid) { return IsEqualIID(iid, __uuidof(Dual)) ? S_OK : S_FALSE; }

    LONG Status() const { return status_; }
    void SetStatus(LONG status) { status_ = status; }

private:
    CBstr name_;
    LONG status_ = 0;
};

}  // namespace paylode
