/*
 * The bank object (see Bank.h).
 */
#include "shell/Bank.h"

#include "combase/ComPointers.h"
#include "combase/HostBankSettings.h"
#include "combase/OperationGuard.h"
#include "common/win/Throw.h"
#include "common/TextConversion.h"
#include "shell/BankServices.h"

namespace paylode {

CBank::CBank() : name_(CBstr::Make(WideFromAnsi(kBankName).c_str())) {}

HRESULT CBank::InternalQueryInterface(REFIID iid, void** object) {
    // clang-format off
    static const QITAB table[] = {
        InterfaceEntry<CBank, IBank>(IID_IBank),
        InterfaceEntry<CBank, IBank>(IID_ITorvoBank),
        InterfaceEntry<CBank, IBank>(IID_IDispatch),
        InterfaceEntry<CBank, ISupportErrorInfo>(IID_ISupportErrorInfo),
        {},
    };
    // clang-format on
    return QueryInterfaceFromTable(this, table, iid, object);
}

HRESULT CBank::InterfaceSupportsErrorInfo(REFIID iid) { return IsEqualIID(iid, IID_IBank) ? S_OK : S_FALSE; }

HRESULT CBank::GetName(BSTR* name) {
    return Guarded([&] {
        RequireArgument(name != nullptr);
        *name = name_.Copy();
    });
}

HRESULT CBank::GetServices(ITorvoBankServices** services) {
    return Guarded([&] {
        RequireArgument(services != nullptr);
        *services = nullptr;
        if (!services_) {
            // A failure of the collection's making already carries its
            // converted code and description; the guard passes it on.
            Microsoft::WRL::ComPtr<ITorvoBankServices> made;
            ThrowIfFailed(CreateInstanceOf<CBankServices>(nullptr, IID_PPV_ARGS(&made)));
            services_ = made;
        }
        services_.CopyTo(services);
    });
}

HRESULT CBank::GetBankKind(LONG* kind) {
    return Guarded([&] {
        RequireArgument(kind != nullptr);
        *kind = kBankKind;
    });
}

HRESULT CBank::Configure(LONG) {
    return Guarded([&] {
        CHostBankSettings settings;
        settings.ConfigureBank();
    });
}

}  // namespace paylode
