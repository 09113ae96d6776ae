/*
 * The class objects (see ClassFactory.h).
 */
#include "shell/ClassFactory.h"

#include <wrl/client.h>

#include <new>

#include "combase/ComPointers.h"
#include "combase/Module.h"
#include "common/win/Owners.h"
#include "shell/ClassTable.h"

namespace paylode {

namespace {

class CClassFactory final : public IClassFactory {
public:
    explicit CClassFactory(CreateFunction create) : create_(create) {}
    CClassFactory(const CClassFactory&) = delete;
    CClassFactory& operator=(const CClassFactory&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The first reference is the module's own; the others lock the module.
    STDMETHODIMP_(ULONG) AddRef() override {
        const LONG count = InterlockedIncrement(&references_);
        if (count == 2) CModule::Lock();
        return static_cast<ULONG>(count);
    }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG count = InterlockedDecrement(&references_);
        if (count == 1) CModule::Unlock();
        if (count == 0) delete this;
        return static_cast<ULONG>(count);
    }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        return create_(outer, iid, object);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) {
            CModule::Lock();
        } else {
            CModule::Unlock();
        }
        return S_OK;
    }

private:
    CreateFunction create_;
    volatile LONG references_ = 1;
};

SRWLOCK classObjectsLock = SRWLOCK_INIT;
// One slot per row of the class table, in its order; each holds the module's
// own reference on its class object.
Microsoft::WRL::ComPtr<CClassFactory> classObjects[kClassCount];

}  // namespace

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    const ClassEntry* entry = FindClass(clsid);
    if (entry == nullptr) return CLASS_E_CLASSNOTAVAILABLE;
    const std::size_t slot = static_cast<std::size_t>(entry - Classes().begin());

    CSrwExclusiveHold hold(classObjectsLock);
    if (!classObjects[slot]) classObjects[slot] = TakeOver(new (std::nothrow) CClassFactory(entry->create));
    CClassFactory* factory = classObjects[slot].Get();
    if (factory == nullptr) return E_OUTOFMEMORY;
    // The answer's reference is taken under the lock, so that the module's
    // end cannot take the object away in between.
    return factory->QueryInterface(iid, object);
}

void ReleaseClassObjects() {
    CSrwExclusiveHold hold(classObjectsLock);
    for (Microsoft::WRL::ComPtr<CClassFactory>& factory : classObjects) factory.Reset();
}

}  // namespace paylode
