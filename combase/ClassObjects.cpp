/*
 * The class table's lookup and the class objects (see ClassObjects.h).
 */
#include "combase/ClassObjects.h"

#include <new>

#include "combase/ComPointers.h"
#include "common/win/Owners.h"

namespace paylode {

namespace {

// Made as a CComObject with an interlocked count: COM may hand a class
// object to any thread.
class CClassFactory : public IClassFactory {
public:
    CClassFactory(CreateFunction create, ModuleLock moduleLock) : create_(create), moduleLock_(moduleLock) {}
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
        if (added && count == 2) moduleLock_.lock();
        if (!added && count == 1) moduleLock_.unlock();
    }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        return create_(outer, iid, object);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) {
            moduleLock_.lock();
        } else {
            moduleLock_.unlock();
        }
        return S_OK;
    }

protected:
    ~CClassFactory() = default;

private:
    CreateFunction create_;
    ModuleLock moduleLock_;
};
using CClassObject = CComObject<CClassFactory, CInterlockedCount>;

}  // namespace

const ClassEntry* FindClass(ClassTable classes, REFCLSID clsid) {
    for (const ClassEntry& entry : classes) {
        if (IsEqualCLSID(*entry.clsid, clsid)) return &entry;
    }
    return nullptr;
}

CClassObjects::CClassObjects(ClassTable classes, ModuleLock moduleLock)
    : classes_(classes), moduleLock_(moduleLock), made_(classes.count) {}

HRESULT CClassObjects::Get(REFCLSID clsid, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    const ClassEntry* entry = FindClass(classes_, clsid);
    if (entry == nullptr) return CLASS_E_CLASSNOTAVAILABLE;
    const std::size_t slot = static_cast<std::size_t>(entry - classes_.begin());

    CSrwExclusiveHold hold(lock_);
    Microsoft::WRL::ComPtr<IClassFactory>& made = made_[slot];
    if (!made) made = TakeOver<IClassFactory>(new (std::nothrow) CClassObject(entry->create, moduleLock_));
    if (!made) return E_OUTOFMEMORY;
    // The answer's reference is taken under the lock, so that the module's
    // end cannot take the object away in between.
    return made->QueryInterface(iid, object);
}

void CClassObjects::Release() {
    CSrwExclusiveHold hold(lock_);
    for (Microsoft::WRL::ComPtr<IClassFactory>& made : made_) made.Reset();
}

}  // namespace paylode
