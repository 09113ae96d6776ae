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

// Made as a CComObject with an interlocked count: COM may hand a class
// object to any thread.
class CClassFactory : public IClassFactory {
public:
    explicit CClassFactory(CreateFunction create) : create_(create) {}
    CClassFactory(const CClassFactory&) = delete;
    CClassFactory& operator=(const CClassFactory&) = delete;

    HRESULT InternalQueryInterface(REFIID iid, void** object) {
        // clang-format off
        static const QITAB table[] = {
            InterfaceEntry<CClassFactory, IClassFactory>(IID_IClassFactory),
            {},
        };
        // clang-format on
        return QueryInterfaceFromTable(this, table, iid, object);
    }
    // The first reference is the module's own; the others lock the module.
    void ReferenceCounted(ULONG count, bool added) {
        if (added && count == 2) CModule::Lock();
        if (!added && count == 1) CModule::Unlock();
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

protected:
    ~CClassFactory() = default;

private:
    CreateFunction create_;
};
using CClassObject = CComObject<CClassFactory, CInterlockedCount>;

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
    if (!classObjects[slot]) classObjects[slot] = TakeOver<CClassFactory>(new (std::nothrow) CClassObject(entry->create));
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
