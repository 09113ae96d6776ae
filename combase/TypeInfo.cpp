/*
 * The cached type library and type information (see TypeInfo.h).
 */
#include "combase/TypeInfo.h"

#include <wrl/client.h>

#include <vector>

#include "TorvoKelmarBankPaylode.h"
#include "combase/OperationGuard.h"
#include "common/win/Owners.h"
#include "common/win/Throw.h"

using Microsoft::WRL::ComPtr;

namespace paylode {

namespace {

struct CachedInfo {
    IID iid;
    ComPtr<ITypeInfo> info;
};

struct Cache {
    ComPtr<ITypeLib> library;
    std::vector<CachedInfo> infos;
};

SRWLOCK cacheLock = SRWLOCK_INIT;

// Made on first use and never destroyed: at process end COM may already be
// gone, so nothing is released then. ReleaseComponentTypeInfo empties it
// when the DLL is unloaded while the process goes on.
Cache& TheCache() {
    static Cache* const cache = new Cache;
    return *cache;
}

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
    return ResultOf([&] {
        CSrwExclusiveHold hold(cacheLock);
        Cache& cache = TheCache();
        for (const CachedInfo& entry : cache.infos) {
            if (IsEqualIID(entry.iid, iid)) return entry.info.CopyTo(info);
        }
        if (!cache.library) {
            ThrowIfFailed(LoadRegTypeLib(LIBID_TORVOKELMARBANKPAYLODELib, 1, 0, LOCALE_NEUTRAL, &cache.library));
        }
        ComPtr<ITypeInfo> found;
        ThrowIfFailed(cache.library->GetTypeInfoOfGuid(iid, &found));
        ThrowIfFailed(VtableFormOf(found));
        cache.infos.push_back({iid, found});
        *info = found.Detach();
        return S_OK;
    });
}

void ReleaseComponentTypeInfo() {
    CSrwExclusiveHold hold(cacheLock);
    Cache& cache = TheCache();
    cache.infos.clear();
    cache.library.Reset();
}

}  // namespace paylode
