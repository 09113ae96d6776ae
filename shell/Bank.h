/*
 * CBank: the bank object, the first object the host creates (by its
 * ProgID). It tells the host the bank's name and kind, hands out the bank's
 * services collection, made on the first request and kept for the bank's
 * life, and passes the host's configure request on to the host's bank
 * settings object.
 */
#pragma once

#include <wrl/client.h>

#include "TorvoKelmarBankPaylode.h"
#include "combase/ComponentObject.h"
#include "combase/DispatchBase.h"
#include "common/win/Owners.h"

namespace paylode {

class CBank : public ISupportErrorInfo, public CDispatchBase<IBank>, public CObjectRoot {
public:
    // The kind of bank connection the host is told.
    static constexpr LONG kBankKind = 1;

    // ITorvoBank
    STDMETHODIMP GetName(BSTR* name) override;
    STDMETHODIMP GetServices(ITorvoBankServices** services) override;
    STDMETHODIMP GetBankKind(LONG* kind) override;
    STDMETHODIMP Configure(LONG flags) override;

    // ISupportErrorInfo: the bank's own dual interface only.
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

    // IBank, ITorvoBank, IDispatch, ISupportErrorInfo; IUnknown is IBank.
    HRESULT InternalQueryInterface(REFIID iid, void** object);

protected:
    CBank();
    virtual ~CBank() = default;
    CBank(const CBank&) = delete;
    CBank& operator=(const CBank&) = delete;

private:
    CBstr name_;
    Microsoft::WRL::ComPtr<ITorvoBankServices> services_;
};

}  // namespace paylode
