/*
 * The statement service (see BankStatementService.h).
 *
 * An import, in the order the host sees it: the statement file chooser and
 * the bank settings object are created; the settings object fills the
 * statement import block, into whose first field goes the statement-file
 * test; the chooser lets the user pick a file. With a file, the account's
 * details are read, the statement is cleared and its balance set to 0.0, and
 * every line of the account becomes one transaction: AddTransaction, SetID,
 * SetDate, SetType, SetAmount, SetDescription and SetReference, a cheque
 * getting "CHQ" before its description in a second SetDescription.
 *
 * The chosen file is read to its end before the statement is touched: a
 * file that cannot be opened, is not a statement, or holds a line that
 * cannot be read with readable lines after it leaves the statement as it was
 * and ends the import with 0x800AFFFF and a description that names the file
 * and, for a line, its number and why. That one reading keeps the
 * transactions, and they are added from there; only an account with more
 * lines than the reading could keep is read from the file again.
 *
 * Failing calls for the account's details end the import with the host's
 * failure before the statement is touched, so a clerk's statement is never
 * emptied for an import that cannot happen; a failed Clear or SetBalance
 * ends it before anything is added. A failed
 * AddTransaction, one that hands out no transaction, or a failed setter on a
 * new transaction ends it too, and the statement is emptied rather than
 * left with part of the file or a half-made transaction.
 */
#include "statements/win/BankStatementService.h"

#include <wrl/client.h>

#include <cstring>

#include "combase/ComPointers.h"
#include "common/win/Owners.h"
#include "common/TextConversion.h"
#include "combase/HostBankSettings.h"
#include "combase/HostCall.h"
#include "combase/OperationGuard.h"
#include "combase/ComponentObject.h"
#include "common/DebugOutput.h"
#include "payments/Reconcile.h"
#include "payments/win/RunJournal.h"
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
// page, character for character. A path that is null, holds a NUL, does not
// fit the path buffer or has a character the code page cannot hold as it is
// is refused (false): cut, or with a best-fit letter, it would name another
// file.
bool ChosenPath(const CBstr& chosen, CString& path) {
    const BSTR wide = chosen.Get();
    if (wide == nullptr) {
        WriteDebugOutput("Statement file path refused: the chooser gave none\n");
        return false;
    }
    const char* refusal = nullptr;
    std::string text;
    if (std::wcslen(wide) != chosen.Length()) {
        refusal = "holding a NUL";
    } else if (!ExactAnsiFromWide(wide, static_cast<int>(chosen.Length()), &text)) {
        refusal = "a character the ANSI code page cannot hold";
    } else if (text.size() > static_cast<std::size_t>(kMaxPathCharacters)) {
        refusal = "too long";
    }
    if (refusal != nullptr) {
        CString line;
        line.Format("Statement file path refused (%s)\n", refusal);
        WriteDebugOutput(line);
        return false;
    }
    path = text.c_str();
    return true;
}

// Lets the user choose the statement file through the host's chooser. False
// when none was chosen, or the chosen path cannot be opened as it is named;
// a failure to create or call the chooser or the bank settings object is
// raised.
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
    const HRESULT gotPath = host->GetFilePath(chosen.Receive());
    if (cancelled != 0) return false;
    // A path the host could not give is the host's failure, not an empty file.
    CheckHostCall(gotPath, host, IID_ITorvoStatementFileChooser);
    return ChosenPath(chosen, path);
}

// Adds `transaction` to the host's statement; a call the host fails is
// raised with its error information.
void AddTransaction(ITorvoBankStatement* statement, const StatementTransaction& transaction) {
    ComPtr<ITorvoBankTransaction> added;
    CheckHostCall(statement->AddTransaction(added.GetAddressOf()), statement, IID_ITorvoBankStatement);
    ITorvoBankTransaction* const host = RequireHostObject(added.Get());
    const auto check = [&](HRESULT result) { CheckHostCall(result, host, IID_ITorvoBankTransaction); };

    // A VT_I4 holds nothing to free.
    VARIANT id;
    VariantInit(&id);
    V_VT(&id) = VT_I4;
    V_I4(&id) = transaction.ID;
    check(host->SetID(&id));
    check(host->SetDate(transaction.Date));
    check(host->SetType(transaction.Type));
    check(host->SetAmount(transaction.Amount));
    check(host->SetDescription(TextForHost(transaction.Narrative).Get()));
    check(host->SetReference(TextForHost(transaction.Reference).Get()));
    if (transaction.Cheque) check(host->SetDescription(TextForHost(transaction.Description).Get()));
}

}  // namespace

CBankStatementService::CBankStatementService() : CBankServiceBase(kServiceName) {}

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
        // Part of a statement reconciled as if it were all of it would leave
        // the missing transactions unmatched with nobody told why. The one
        // reading keeps every account's transactions, as the account is
        // asked of the host only for a file that can be imported.
        const CheckedStatement checked = CheckStatementFile(path, CKeptTransactions::ForEveryAccount());
        if (!checked.problem.empty()) ThrowDescribedFailure(WideFromAnsi(checked.problem.c_str()));

        // Everything the import needs from the host is in hand before the
        // statement is emptied: details the host cannot give leave it as it was.
        ReadAccountDetails(account);
        // Transactions added to a statement that kept its old ones would be
        // reconciled twice: a statement that cannot be emptied ends the import.
        CheckHostCall(statement->Clear(), statement, IID_ITorvoBankStatement);
        CheckHostCall(statement->SetBalance(0.0), statement, IID_ITorvoBankStatement);

        // An import that fails once the additions began (a host call that
        // fails, a file changed since it was read whole and read again)
        // leaves no part of the statement behind, nor a half-made
        // transaction: the only way back that every host offers is Clear.
        // The failure's error information was taken before Clear could
        // replace it.
        StatementDebits debits;
        try {
            const StatementDelivery delivery = DeliverStatementTransactions(
                path, checked, account_, [&](const StatementTransaction& transaction, int line) {
                    AddTransaction(statement, transaction);
                    debits.Add(line, transaction.Date, transaction.Type == 0, transaction.Amount,
                               Utf8FromAnsi(transaction.Narrative.GetString()).Bytes());
                });
            if (delivery.refused) ThrowDescribedFailure(WideFromAnsi(delivery.problem.c_str()));
        } catch (...) {
            statement->Clear();
            throw;
        }
        // The exported payments that the statement shows, for the payment
        // options dialog; the import's result never depends on it.
        MarkStatementInJournal(account_.AccountSortCode.GetString(), account_.AccountNumber.GetString(), debits,
                               path.GetString());
    });
}

void CBankStatementService::ReadAccountDetails(ITorvoBankAccount* account) {
    // Matching lines against details the host could not give (another
    // account's, from an earlier import, or none) would import the wrong
    // transactions or none and call it done: a failing call is raised.
    ComPtr<ITorvoBankDetails> details;
    CheckHostCall(account->GetBankDetails(details.GetAddressOf()), account, IID_ITorvoBankAccount);
    RequireArgument(details != nullptr);
    CBstr number;
    CheckHostCall(details->GetAccountNumber(number.Receive()), details.Get(), IID_ITorvoBankDetails);
    CBstr sortCode;
    CheckHostCall(details->GetSortCode(sortCode.Receive()), details.Get(), IID_ITorvoBankDetails);
    if (number.Get() != nullptr) account_.SetAccountNumber(CString(static_cast<const wchar_t*>(number.Get())));
    if (sortCode.Get() != nullptr) account_.SetSortCode(CString(static_cast<const wchar_t*>(sortCode.Get())));
}

HRESULT CreateBankStatementService(IUnknown* outer, REFIID iid, void** object) {
    return CreateInstanceOf<CBankStatementService>(outer, iid, object);
}

}  // namespace paylode
