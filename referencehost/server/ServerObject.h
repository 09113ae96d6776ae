/*
 * The common half of the reference host's registered objects: a host
 * object that also answers IRunnableObject (so that OleRun, which the
 * component calls after creating it, is a recorded call that can be made to
 * fail), holds a lock on the DLL while it lives, and records its creation
 * and final release.
 */
#pragma once

#include "referencehost/HostObject.h"
#include "referencehost/server/ServerConfiguration.h"

namespace paylode::referencehost {

template <typename Interface>
class CServerObject : public CHostObject<Interface>, public IRunnableObject {
    using Base = CHostObject<Interface>;

public:
    CServerObject(const CServerConfiguration& configuration, const char* name, const IID& iid, const CLSID& clsid,
                  const GUID& library, const wchar_t* libraryFile)
        : Base(configuration.MakeLog(), name, iid, library, libraryFile), configuration_(configuration), clsid_(clsid) {
        LockServer();
    }
    ~CServerObject() override {
        Base::Log().Complete(Base::Log().Record({Base::Name(), "Released", {}, S_OK, {}}), S_OK);
        UnlockServer();
    }

    // Plays a configured creation failure; otherwise records the creation.
    HRESULT Created() {
        return Base::Call("Create", {}, [] { return S_OK; });
    }

    // The host interface (also for IUnknown), IDispatch, ISupportErrorInfo,
    // IRunnableObject.
    // IUnknown, answered by CComObject (combase/ComObject.h), declared once
    // for all of the class's interfaces, so that the class's own pointer
    // reaches it.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override = 0;
    STDMETHODIMP_(ULONG) AddRef() override = 0;
    STDMETHODIMP_(ULONG) Release() override = 0;
    HRESULT InternalQueryInterface(REFIID iid, void** object) {
        // clang-format off
        const QITAB table[] = {
            InterfaceEntry<CServerObject, Interface>(Base::InterfaceId()),
            InterfaceEntry<CServerObject, Interface>(IID_IDispatch),
            InterfaceEntry<CServerObject, ISupportErrorInfo>(IID_ISupportErrorInfo),
            InterfaceEntry<CServerObject, IRunnableObject>(IID_IRunnableObject),
            {},
        };
        // clang-format on
        return QueryInterfaceFromTable(this, table, iid, object);
    }

    // The registered objects' interfaces are called through their vtables
    // only (their arguments are raw memory), so IDispatch describes them
    // from the type library but invokes nothing.
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }

    // IRunnableObject
    STDMETHODIMP GetRunningClass(LPCLSID clsid) override {
        if (clsid == nullptr) return E_POINTER;
        *clsid = clsid_;
        return S_OK;
    }
    STDMETHODIMP Run(LPBINDCTX) override {
        return Base::UnnumberedCall("Run", {}, [this] {
            running_ = true;
            return S_OK;
        });
    }
    STDMETHODIMP_(BOOL) IsRunning() override { return running_; }
    STDMETHODIMP LockRunning(BOOL, BOOL) override { return S_OK; }
    STDMETHODIMP SetContainedObject(BOOL) override { return S_OK; }

protected:
    const CServerConfiguration& Configuration() const { return configuration_; }

private:
    CServerConfiguration configuration_;
    CLSID clsid_;
    BOOL running_ = FALSE;
};

// Copies text into a caller's buffer of `size` bytes, cut to fit, always
// NUL-terminated.
inline void CopyToBuffer(char* buffer, std::size_t size, const std::string& text) {
    if (size == 0) return;
    const std::size_t length = text.size() < size - 1 ? text.size() : size - 1;
    text.copy(buffer, length);
    buffer[length] = '\0';
}

// A caller's text buffer of `size` bytes as text: up to its first NUL, and
// never beyond its end.
inline std::string FromBuffer(const char* buffer, std::size_t size) {
    std::size_t length = 0;
    while (length < size && buffer[length] != '\0') ++length;
    return std::string(buffer, length);
}

}  // namespace paylode::referencehost
