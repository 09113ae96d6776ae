/*
 * The statement service (see BankStatementService.h).
 *
 * An import, in the order the host sees it: the statement file chooser and
 * the bank settings object are created; the settings object fills the
 * statement import block, into whose first field goes the statement-file
 * test; the chooser lets the user pick a file. With a file, the statement is
 * cleared and its balance set to 0.0, the account's details are read, and
 * every line of the account becomes one transaction: AddTransaction, SetID,
 * SetDate, SetType, SetAmount, SetDescription and SetReference, a cheque
 * getting "CHQ" before its description in a second SetDescription.
 *
 * The transaction setters' results are not acted on: the host owns its
 * transaction once it has handed it out. A failed Clear or SetBalance, a
 * failed AddTransaction, or one that hands out no transaction, ends the
 * import with the host's failure; what was added before it stays.
 */
#include "statements/win/BankStatementService.h"

#include <wrl/client.h>

#include <cstring>

#include "common/win/ComObject.h"
#include "common/win/Owners.h"
#include "shell/HostBankSettings.h"
#include "shell/HostCall.h"
#include "shell/ComponentObject.h"
#include "common/DebugOutput.h"
#include "statements/QVTTransactionFile.h"
#include "statements/StatementImport.h"
#include "statements/win/IsStatementFile.h"

using Microsoft::WRL::ComPtr;

namespace paylode {

namespace {

constexpr wchar_t kServiceName[] = L"Bank Reconciliation Service";

// The longest path the import opens: a chosen path that does not fit the
// 260-byte path buffer is refused whole rather than cut into another path.
constexpr int kMaxPathCharacters = 259;

// A BSTR made from the component's text for one call on the host.
CBstr TextForHost(const CString& text) { return CBstr::Adopt(text.AllocSysString()); }

// The chosen path as the reader opens it: the host's text in the ANSI code
// page, or "" (a path the reader cannot open) when it is null, holds a NUL
// or does not fit the path buffer.
CString ChosenPath(const CBstr& chosen) {
    const BSTR path = chosen.Get();
    if (path == nullptr) return CString();
    const CString text(static_cast<const wchar_t*>(path));
    if (std::wcslen(path) != chosen.Length() || text.GetLength() > kMaxPathCharacters) {
        WriteDebugOutput("Statement file path refused (too long or holding a NUL): ");
        WriteDebugOutput(text);
        return CString();
    }
    return text;
}

// Lets the user choose the statement file through the host's chooser. False
// when none was chosen; a failure to create or call the chooser or the bank
// settings object is raised.
bool ChooseStatementFile(CString& path) {
    const ComPtr<ITorvoStatementFileChooser> chooser =
        CreateRunningHostObject<ITorvoStatementFileChooser>(CLSID_TorvoStatementFileChooser);
    CHostBankSettings settings;

    unsigned char block[kStatementImportBlockBytes] = {};
    settings.GetStatementImportSettings(block);
    const TorvoStatementFileTest test = &IsStatementFile;
    std::memcpy(block, &test, sizeof test);

    ITorvoStatementFileChooser* const host = RequireHostObject(chooser.Get());
    CheckHostCall(host->SelectFile(block), host, IID_ITorvoStatementFileChooser);
    // A chooser that cannot say whether the user cancelled has no file to give.
    LONG cancelled = 1;
    if (FAILED(host->GetCancelled(&cancelled))) cancelled = 1;
    CBstr chosen;
    host->GetFilePath(chosen.Receive());
    if (cancelled != 0) return false;
    path = ChosenPath(chosen);
    return true;
}

// Adds `transaction` to the host's statement.
void AddTransaction(ITorvoBankStatement* statement, const StatementTransaction& transaction) {
    ComPtr<ITorvoBankTransaction> added;
    CheckHostCall(statement->AddTransaction(added.GetAddressOf()), statement, IID_ITorvoBankStatement);
    ITorvoBankTransaction* const host = RequireHostObject(added.Get());

    // A VT_I4 holds nothing to free.
    VARIANT id;
    VariantInit(&id);
    V_VT(&id) = VT_I4;
    V_I4(&id) = transaction.ID;
    host->SetID(&id);
    host->SetDate(transaction.Date);
    host->SetType(transaction.Type);
    host->SetAmount(transaction.Amount);
    host->SetDescription(TextForHost(transaction.Narrative).Get());
    host->SetReference(TextForHost(transaction.Reference).Get());
    if (transaction.Cheque) host->SetDescription(TextForHost(transaction.Description).Get());
}

}  // namespace

CBankStatementService::CBankStatementService() : IBankServiceImpl(kServiceName) {}

HRESULT CBankStatementService::InternalQueryInterface(REFIID iid, void** object) {
    return QueryServiceInterface(this, iid, object);
}

STDMETHODIMP CBankStatementService::InterfaceSupportsErrorInfo(REFIID iid) { return SupportsErrorInfo(iid); }

STDMETHODIMP CBankStatementService::GetStatusText(LONG, BSTR* text) {
    return Guarded([&] { RequireArgument(text != nullptr); });
}

STDMETHODIMP CBankStatementService::ImportStatement(ITorvoBankAccount* account, ITorvoBankStatement* statement) {
    return Guarded([&] {
        RequireArgument(account != nullptr && statement != nullptr);
        SetStatus(0);
        CString path;
        if (!ChooseStatementFile(path)) {
            SetStatus(1);
            return;
        }
        // Transactions added to a statement that kept its old ones would be
        // reconciled twice: a statement that cannot be emptied ends the import.
        CheckHostCall(statement->Clear(), statement, IID_ITorvoBankStatement);
        CheckHostCall(statement->SetBalance(0.0), statement, IID_ITorvoBankStatement);
        ReadAccountDetails(account);

        CQVTTransactionFile reader(path, std::ios_base::in | std::ios_base::binary);
        if (!reader.BuildColumnMap()) return;
        ImportStatementRecords(reader, account_, [statement](const StatementTransaction& transaction) {
            AddTransaction(statement, transaction);
        });
    });
}

void CBankStatementService::ReadAccountDetails(ITorvoBankAccount* account) {
    ComPtr<ITorvoBankDetails> details;
    if (FAILED(account->GetBankDetails(details.GetAddressOf()))) return;
    RequireArgument(details != nullptr);
    CBstr number;
    details->GetAccountNumber(number.Receive());
    if (number.Get() != nullptr) account_.SetAccountNumber(CString(static_cast<const wchar_t*>(number.Get())));
    CBstr sortCode;
    details->GetSortCode(sortCode.Receive());
    if (sortCode.Get() != nullptr) account_.SetSortCode(CString(static_cast<const wchar_t*>(sortCode.Get())));
}

HRESULT CreateBankStatementService(IUnknown* outer, REFIID iid, void** object) {
    return CreateInstanceOf<CBankStatementService>(outer, iid, object);
}

}  // namespace paylode
