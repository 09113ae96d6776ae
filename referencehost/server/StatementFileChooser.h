/*
 * The host framework's statement file chooser, as the reference host
 * provides it, headless: the "user" picks the file the configuration names,
 * or cancels. Like a real chooser it asks the component's statement-file
 * test, from the block's first field, whether the file is a statement, and
 * takes the file only when the test accepts it.
 */
#pragma once

#include "referencehost/server/ServerObject.h"

namespace paylode::referencehost {

class CReferenceStatementFileChooser : public CServerObject<ITorvoStatementFileChooser> {
public:
    explicit CReferenceStatementFileChooser(const CServerConfiguration& configuration);

    STDMETHODIMP SelectFile(BYTE* settingsBlock) override;
    STDMETHODIMP GetInitialDirectory(BSTR* directory) override {
        return GetText("GetInitialDirectory", initialDirectory_, directory);
    }
    STDMETHODIMP SetInitialDirectory(BSTR directory) override {
        return SetText("SetInitialDirectory", directory, &initialDirectory_);
    }
    STDMETHODIMP GetFilePath(BSTR* path) override { return GetText("GetFilePath", path_, path); }
    STDMETHODIMP GetCancelled(LONG* cancelled) override;

private:
    std::wstring initialDirectory_;
    std::wstring path_;
    long cancelled_ = 1;  // nothing chosen until SelectFile chooses
};

}  // namespace paylode::referencehost
