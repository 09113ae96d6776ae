/*
 * The services collection (see BankServices.h).
 */
#include "shell/BankServices.h"

#include <wrl/client.h>

#include "combase/ComPointers.h"
#include "combase/EnumVariantArray.h"
#include "combase/OperationGuard.h"
#include "common/win/Owners.h"
#include "common/win/Throw.h"
#include "payments/win/BankPaymentService.h"
#include "statements/win/BankStatementService.h"

using Microsoft::WRL::ComPtr;

namespace paylode {

void CListImpl::Add(ITorvoBankService* service) {
    RequireArgument(service != nullptr);
    items_.Append(service);
}

HRESULT CBankServices::InternalQueryInterface(REFIID iid, void** object) {
    // clang-format off
    static const QITAB table[] = {
        InterfaceEntry<CBankServices, IBankServices>(IID_IDispatch),
        InterfaceEntry<CBankServices, ISupportErrorInfo>(IID_ISupportErrorInfo),
        InterfaceEntry<CBankServices, IBankServices>(IID_IBankServices),
        InterfaceEntry<CBankServices, IBankServices>(IID_ITorvoBankServices),
        {},
    };
    // clang-format on
    return QueryInterfaceFromTable(this, table, iid, object);
}

HRESULT CBankServices::InterfaceSupportsErrorInfo(REFIID iid) {
    return IsEqualIID(iid, IID_IBankServices) ? S_OK : S_FALSE;
}

template <typename Service>
void CBankServices::AddNew() {
    ComPtr<typename Service::HostServiceInterface> service;
    ThrowIfFailed(CreateInstanceOf<Service>(nullptr, IID_PPV_ARGS(&service)));
    Add(service.Get());
}

// The services in their order, each made afresh for this collection: the
// payment service at position 0, the statement service at position 1, one
// AddNew line each. A failure destroys the half-built collection, whose
// list releases what was added.
HRESULT CBankServices::FinalConstruct() {
    return Guarded([&] {
        RemoveAll();
        AddNew<CBankPaymentService>();
        AddNew<CBankStatementService>();
    });
}

ITorvoBankService* CBankServices::Find(const VARIANT* index) const {
    // A script passes a variable by reference.
    if (index != nullptr && V_VT(index) == (VT_VARIANT | VT_BYREF)) index = V_VARIANTREF(index);
    if (index == nullptr || V_VT(index) == VT_EMPTY || V_VT(index) == VT_ERROR) ThrowHResult(kInvalidArg);

    const CArray<ITorvoBankService*>& services = Items();
    if (V_VT(index) == VT_BSTR || V_VT(index) == (VT_BSTR | VT_BYREF)) {
        if (V_VT(index) == (VT_BSTR | VT_BYREF) && V_BSTRREF(index) == nullptr) ThrowHResult(kInvalidArg);
        BSTR wanted = V_VT(index) == VT_BSTR ? V_BSTR(index) : *V_BSTRREF(index);
        for (int i = 0; i < services.GetCount(); ++i) {
            CBstr name;
            ThrowIfFailed(services.GetAt(i)->GetName(name.Receive()));
            if (VarBstrCmp(wanted, name.Get(), LOCALE_USER_DEFAULT, 0) == static_cast<HRESULT>(VARCMP_EQ)) {
                return services.GetAt(i);
            }
        }
        ThrowHResult(kInvalidArg);
    }

    CVariant position;
    if (FAILED(VariantChangeType(position.Receive(), const_cast<VARIANT*>(index), 0, VT_I4))) {
        ThrowHResult(kInvalidArg);
    }
    // A negative position fails the list's own index check.
    if (V_I4(&position.Get()) >= services.GetCount()) ThrowHResult(kInvalidArg);
    return services.GetAt(V_I4(&position.Get()));
}

HRESULT CBankServices::GetItem(VARIANT* index, ITorvoBankService** item) {
    return Guarded([&] {
        RequireArgument(item != nullptr);
        *item = nullptr;
        ITorvoBankService* service = Find(index);
        service->AddRef();
        *item = service;
    });
}

HRESULT CBankServices::GetCount(LONG* count) {
    return Guarded([&] {
        RequireArgument(count != nullptr);
        *count = Items().GetCount();
    });
}

HRESULT CBankServices::GetNewEnum(IUnknown** enumerator) {
    return Guarded([&] {
        RequireArgument(enumerator != nullptr);
        *enumerator = nullptr;
        // The enumerator holds the collection, so that its list outlives it.
        ComPtr<IEnumVARIANT> made = CEnumVariantArray::Create(static_cast<IBankServices*>(this), Items(), 0);
        *enumerator = made.Detach();
    });
}

}  // namespace paylode
