/*
 * `paylode-host import STATEMENT --account SORTCODE:ACCOUNTNUMBER [--cancel]`:
 * the host's bank reconciliation asks the registered statement service to
 * import the account's statement. The reference host's file chooser, which
 * the component creates, returns STATEMENT (or the user cancels); the
 * transactions that the host's statement receives are printed as JSON lines
 * in the shape of `paylode statement --sort-code --account`.
 *
 * Exit status 0 when the import ran, 1 when no file was chosen, 2 when the
 * component refused the file (it cannot be opened, is not a statement, or
 * has a line that cannot be read before readable ones: 0x800AFFFF, whose
 * description says why), kHostFailure on any other failure. With --repeat N
 * the import goes N times in one process (RepeatedRuns.h) and the exit
 * status is the last one's.
 */
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/TransactionJson.h"
#include "combase/ComPointers.h"
#include "common/win/Owners.h"
#include "referencehost/HostPayments.h"
#include "referencehost/HostStatement.h"
#include "referencehost/Regsvr32.h"
#include "referencehost/program/HostCommands.h"
#include "referencehost/program/HostToolkit.h"
#include "referencehost/program/RepeatedRuns.h"

namespace paylode::hostprogram {
namespace {

using Microsoft::WRL::ComPtr;
using referencehost::CHostBankAccount;
using referencehost::CHostCallLog;
using referencehost::CHostStatement;

// The service's status value when the user chose no file.
constexpr long kNoFileChosen = 1;
// The component's failure told in its own words: the file it refused.
constexpr HRESULT kFileRefused = static_cast<HRESULT>(0x800AFFFFu);
constexpr int kFileRefusedStatus = 2;

struct ImportOptions {
    std::string statement;
    std::string account;
    bool cancel = false;
    FaultOptions faults;
    int repeat = 0;  // --repeat N; 0 when not given
};

// The reference host's registered objects read their configuration from the
// file that TORVO_REFERENCE_HOST_INI names, afresh at each creation. This
// run's own copy of it (or of TorvoReferenceHost.ini beside the program)
// tells the chooser what the user picks, keeping whatever else it says
// (folders, failures to play). The chooser hands over the file as a user
// typing its name would, whatever the component's statement-file test says
// of it; the import then judges the file itself.
class CChooserConfiguration {
public:
    CChooserConfiguration(const std::wstring& statement, bool cancel) : file_(TemporaryName()) {
        std::vector<wchar_t> named(32768);
        const DWORD length =
            GetEnvironmentVariableW(L"TORVO_REFERENCE_HOST_INI", named.data(), static_cast<DWORD>(named.size()));
        const std::wstring configured = length > 0 && length < named.size()
                                            ? std::wstring(named.data(), length)
                                            : referencehost::PathBesideProgram(L"TorvoReferenceHost.ini");
        if (!CopyFileW(configured.c_str(), file_.Path(), FALSE)) DeleteFileW(file_.Path());
        AnsiForTyping(Utf8FromWide(statement), "STATEMENT");  // the chooser hands out 8-bit text
        const bool written = Write(L"File", cancel ? L"" : statement.c_str()) &&
                             Write(L"Cancel", cancel ? L"1" : L"0") && Write(L"AcceptRejected", L"1");
        if (!written)
            throw HostFailure{"cannot write the reference host's configuration " + Utf8FromWide(file_.Path()).Bytes()};
        SetEnvironmentVariableW(L"TORVO_REFERENCE_HOST_INI", file_.Path());
    }

private:
    // The copy is deleted however the run ends, also when the constructor
    // gives up half-way.
    class CTemporaryFile {
    public:
        explicit CTemporaryFile(std::wstring path) : path_(std::move(path)) {}
        ~CTemporaryFile() { DeleteFileW(path_.c_str()); }
        CTemporaryFile(const CTemporaryFile&) = delete;
        CTemporaryFile& operator=(const CTemporaryFile&) = delete;
        const wchar_t* Path() const { return path_.c_str(); }

    private:
        std::wstring path_;
    };

    static std::wstring TemporaryName() {
        wchar_t folder[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        return std::wstring(folder) + L"paylode-host-" + std::to_wstring(GetCurrentProcessId()) + L".ini";
    }
    bool Write(const wchar_t* key, const wchar_t* value) {
        return WritePrivateProfileStringW(L"Chooser", key, value, file_.Path()) != FALSE;
    }
    CTemporaryFile file_;
};

long IdOf(const CVariant& id) {
    CVariant number;
    if (FAILED(VariantChangeType(number.Receive(), const_cast<VARIANT*>(&id.Get()), 0, VT_I4))) return 0;
    return V_I4(&number.Get());
}

// One import: the service fetched from a new bank imports into a new
// statement of the account, and its transactions and outcome are printed.
int ImportOnce(const ImportOptions& options, const AccountOption& account) {
    const ComPtr<ITorvoBankService> found = ServiceNamed(L"Bank Reconciliation Service");
    ComPtr<ITorvoBankStatementService> service;
    if (FAILED(found.As(&service))) throw HostFailure{"\"Bank Reconciliation Service\" is not a statement service"};

    const auto log = std::make_shared<CHostCallLog>();
    log->CountOnly();
    const ComPtr<CHostBankAccount> paying =
        MakeComObject<CHostBankAccount>(log, account.sortCode, account.accountNumber);
    const ComPtr<CHostStatement> statement = MakeComObject<CHostStatement>(log);

    const CHostCallWatch watch(options.faults);
    const HRESULT returned = service->ImportStatement(paying.Get(), statement.Get());
    const std::string calls = watch.Report();
    const RunOutcome run = ReadRunOutcome(returned, service.Get());

    for (std::size_t index = 0; index < statement->Size(); ++index) {
        const referencehost::TransactionData& data = statement->Transaction(index).Data();
        std::cout << cli::TransactionJson(IdOf(data.id), data.date, data.type, data.amount,
                                          Utf8FromWide(data.reference), Utf8FromWide(data.description))
                         .dump()
                  << "\n";
    }
    std::cout.flush();
    std::cerr << "paylode-host import: " << calls << "\n";
    std::cerr << "paylode-host import: " << run.Line("ImportStatement") << ", " << statement->Size()
              << " transactions received\n";
    if (run.result == kFileRefused) return kFileRefusedStatus;
    if (FAILED(run.result)) return kHostFailure;
    return run.status == kNoFileChosen ? 1 : 0;
}

// The account, the file and the chooser's configuration are set up once;
// the runs share one apartment, so the component stays loaded from the
// first run to the last, as in a host that runs all day.
int RunImport(const ImportOptions& options) {
    const AccountOption account = ParseAccount(options.account);
    const std::wstring path = FullPath(Utf8Text(options.statement));
    // A file chooser hands out only a file that is there.
    if (!options.cancel && !CHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))) {
        throw HostFailure{"cannot open " + options.statement};
    }
    const CChooserConfiguration chooser(path, options.cancel);

    CComApartment apartment;
    return RunRepeatedly(options.repeat, "paylode-host import", [&] { return ImportOnce(options, account); });
}

}  // namespace

void AddImportCommand(CLI::App& app, Outcome& outcome) {
    const auto [command, options] = cli::AddCommand(
        app, outcome, "import",
        "Import a statement file into the host's statement for an account through the registered statement\n"
        "service, and print each transaction received as a JSON line. Exit status 0 when imported, 1 when\n"
        "no file was chosen, 2 when the component refused the file (its description says why), 100 on\n"
        "any other failure.", RunImport);
    command->add_option("STATEMENT", options->statement, "the statement file the chooser returns")->required();
    command->add_option("--account", options->account, "the host's account, SORTCODE:ACCOUNTNUMBER")->required();
    command->add_flag("--cancel", options->cancel, "the user cancels the file chooser");
    AddFaultOptions(*command, options->faults);
    AddCLocaleOption(*command);
    AddRepeatOption(*command, options->repeat);
}

}  // namespace paylode::hostprogram
