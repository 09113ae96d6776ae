// The IUnknown and IDispatch half of the fake host objects that tests build
// on the stack: QueryInterface answers IUnknown, IDispatch and the object's
// own interface; the reference count is only counted, so that a test can see
// whether the code under test keeps or drops a reference; IDispatch is not
// offered for calls.
#pragma once

#include "combase/ComPointers.h"
#include "common/win/Platform.h"

namespace paylode::test {

template <typename Interface>
class CFakeDispatch : public Interface {
public:
    explicit CFakeDispatch(ULONG initialReferences = 0) : references(initialReferences) {}

    ULONG references;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        // clang-format off
        static const QITAB table[] = {
            InterfaceEntry<CFakeDispatch, Interface>(__uuidof(Interface)),
            InterfaceEntry<CFakeDispatch, Interface>(IID_IDispatch),
            {},
        };
        // clang-format on
        return QueryInterfaceFromTable(this, table, iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
};

}  // namespace paylode::test
