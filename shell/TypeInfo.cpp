/*
 * The cached type library and type information (see TypeInfo.h).
 */
#include "shell/TypeInfo.h"

#include <wrl/client.h>

#include <vector>

#include "TorvoKelmarBankPaylode.h"

using Microsoft::WRL::ComPtr;

namespace paylode {

namespace {

struct CachedInfo {
    IID iid;
    ComPtr<ITypeInfo> info;
};

SRWLOCK cacheLock = SRWLOCK_INIT;
ComPtr<ITypeLib> library;
std::vector<CachedInfo> cached;

// A dual interface is described twice: as a dispatch interface and as a
// vtable interface. ITypeInfo::Invoke calls through the vtable, so the
// vtable form is the one kept.
HRESULT VtableFormOf(ComPtr<ITypeInfo>& info) {
    TYPEATTR* attributes = nullptr;
    HRESULT hr = info->GetTypeAttr(&attributes);
    if (FAILED(hr)) return hr;
    const bool dualDispatch = attributes->typekind == TKIND_DISPATCH && (attributes->wTypeFlags & TYPEFLAG_FDUAL);
    info->ReleaseTypeAttr(attributes);
    if (!dualDispatch) return S_OK;
    HREFTYPE vtable = 0;
    hr = info->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtable);
    if (FAILED(hr)) return hr;
    ComPtr<ITypeInfo> vtableInfo;
    hr = info->GetRefTypeInfo(vtable, &vtableInfo);
    if (SUCCEEDED(hr)) info = vtableInfo;
    return hr;
}

}  // namespace

HRESULT GetComponentTypeInfo(REFIID iid, ITypeInfo** info) {
    if (info == nullptr) return E_POINTER;
    *info = nullptr;
    AcquireSRWLockExclusive(&cacheLock);
    HRESULT hr = S_OK;
    for (const CachedInfo& entry : cached) {
        if (IsEqualIID(entry.iid, iid)) {
            entry.info.CopyTo(info);
            ReleaseSRWLockExclusive(&cacheLock);
            return S_OK;
        }
    }
    if (!library) hr = LoadRegTypeLib(LIBID_TORVOKELMARBANKPAYLODELib, 1, 0, LOCALE_NEUTRAL, &library);
    ComPtr<ITypeInfo> found;
    if (SUCCEEDED(hr)) hr = library->GetTypeInfoOfGuid(iid, &found);
    if (SUCCEEDED(hr)) hr = VtableFormOf(found);
    if (SUCCEEDED(hr)) {
        try {
            cached.push_back({iid, found});
        } catch (...) {
            hr = E_OUTOFMEMORY;
        }
    }
    if (SUCCEEDED(hr)) *info = found.Detach();
    ReleaseSRWLockExclusive(&cacheLock);
    return hr;
}

void ReleaseComponentTypeInfo() {
    AcquireSRWLockExclusive(&cacheLock);
    cached.clear();
    library.Reset();
    ReleaseSRWLockExclusive(&cacheLock);
}

}  // namespace paylode
