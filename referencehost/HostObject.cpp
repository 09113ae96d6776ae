/*
 * The host type libraries for the reference host's IDispatch.
 */
#include "referencehost/HostObject.h"

#include <vector>

namespace paylode::referencehost {

HRESULT LoadHostTypeInfo(REFGUID library, const wchar_t* fileName, REFIID iid, ITypeInfo** info) {
    Microsoft::WRL::ComPtr<ITypeLib> types;
    HRESULT result = LoadRegTypeLib(library, 1, 0, LOCALE_NEUTRAL, &types);
    if (FAILED(result)) {
        std::vector<wchar_t> path(MAX_PATH * 4);
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        std::wstring file(path.data(), length);
        file.resize(file.find_last_of(L"\\/") + 1);
        file += fileName;
        result = LoadTypeLibEx(file.c_str(), REGKIND_NONE, &types);
        if (FAILED(result)) return result;
    }
    return types->GetTypeInfoOfGuid(iid, info);
}

}  // namespace paylode::referencehost
