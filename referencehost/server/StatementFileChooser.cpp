/*
 * The reference host's statement file chooser.
 */
#include "referencehost/server/StatementFileChooser.h"

#include <cstring>

#include "common/TextConversion.h"
#include "referencehost/StatementImportBlock.h"

namespace paylode::referencehost {

CReferenceStatementFileChooser::CReferenceStatementFileChooser(const CServerConfiguration& configuration)
    : CServerObject(configuration, "chooser", IID_ITorvoStatementFileChooser, CLSID_TorvoStatementFileChooser,
                    LIBID_TorvoBankReconciliation, L"TorvoBankReconciliation.tlb") {}

STDMETHODIMP CReferenceStatementFileChooser::SelectFile(BYTE* settingsBlock) {
    // The block is the component's memory, with no promise of alignment: the
    // chooser reads a copy.
    StatementImportBlock copy{};
    const StatementImportBlock* block = nullptr;
    if (settingsBlock != nullptr) {
        std::memcpy(&copy, settingsBlock, sizeof copy);
        block = &copy;
    }
    std::string arguments = "null";
    if (block != nullptr) {
        arguments = std::string(block->statementFileTest != nullptr ? "test" : "no test") + ", \"" +
                    FromBuffer(block->fileFilter, sizeof block->fileFilter) + "\", \"" +
                    FromBuffer(block->initialDirectory, sizeof block->initialDirectory) + "\"";
    }
    return Call("SelectFile", arguments, [&]() -> HRESULT {
        cancelled_ = 1;
        path_.clear();
        if (block == nullptr) return E_POINTER;
        if (block->statementFileTest == nullptr) {
            SetCallErrorInfo(IID_ITorvoStatementFileChooser,
                             "The statement import block holds no statement-file test.");
            return E_INVALIDARG;
        }
        initialDirectory_ = WideFromAnsi(block->initialDirectory);
        const std::string file = Configuration().Text("Chooser", "File", "");
        if (Configuration().Flag("Chooser", "Cancel") || file.empty()) return S_OK;

        // The description buffer is the chooser's; the test writes at most a
        // short name into it, and the last byte stays a terminator.
        char description[256] = {};
        const int accepted = block->statementFileTest(description, file.c_str());
        description[sizeof description - 1] = '\0';
        Log().Complete(Log().Record({Name(), "IsStatementFile", "\"" + file + "\"", S_OK,
                                     std::to_string(accepted) + " \"" + description + "\""}),
                       S_OK);
        if (accepted != 0 || Configuration().Flag("Chooser", "AcceptRejected")) {
            cancelled_ = 0;
            path_ = WideFromAnsi(file.c_str());
        }
        return S_OK;
    });
}

STDMETHODIMP CReferenceStatementFileChooser::GetCancelled(LONG* cancelled) {
    return Call("GetCancelled", {}, [&] {
        if (cancelled == nullptr) return E_POINTER;
        *cancelled = cancelled_;
        return S_OK;
    });
}

}  // namespace paylode::referencehost
