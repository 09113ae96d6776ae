/*
 * CBankStatementService: the bank's statement service, "Bank Reconciliation
 * Service". The host's bank reconciliation calls ImportStatement with the
 * account being reconciled and a statement of its own; the service lets the
 * host framework's file chooser pick a statement file, reads it, and adds one
 * transaction to the statement for each line of the account, in file order.
 *
 * The account's sort code and number are kept from one import to the next on
 * the same object and replaced only when the host supplies them. The status
 * tells the host whether the last import had a file (0) or none was chosen
 * (1).
 */
#pragma once

#include "TorvoKelmarBankPaylode.h"
#include "combase/BankServiceBase.h"
#include "combase/ComponentObject.h"
#include "common/win/Platform.h"
#include "host/HostInterfaces.h"
#include "statements/StatementTransaction.h"

namespace paylode {

class CBankStatementService : public ISupportErrorInfo,
                              public CBankServiceBase<IBankStatementService, ITorvoBankStatementService>,
                              public CObjectRoot {
public:
    // The dual interface, the host's statement service interface, IDispatch,
    // ISupportErrorInfo; IUnknown is the first.
    HRESULT InternalQueryInterface(REFIID iid, void** object);

    // ISupportErrorInfo
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

    // ITorvoBankStatementService
    // The statement service has no status texts: S_OK, nothing written.
    STDMETHODIMP GetStatusText(LONG status, BSTR* text) override;
    STDMETHODIMP ImportStatement(ITorvoBankAccount* account, ITorvoBankStatement* statement) override;

protected:
    CBankStatementService();
    ~CBankStatementService() override = default;

private:
    void ReadAccountDetails(ITorvoBankAccount* account);

    StatementAccount account_;
};

// The class's creation function (shell/ClassTable.h): the plain object, or
// the inner object of an aggregate; the interface `iid` in `object`.
HRESULT CreateBankStatementService(IUnknown* outer, REFIID iid, void** object);

}  // namespace paylode
