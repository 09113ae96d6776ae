/*
 * The host type libraries for the reference host's IDispatch.
 */
#include "referencehost/HostObject.h"

#include "common/win/ModuleFile.h"

namespace paylode::referencehost {

HRESULT LoadHostTypeInfo(REFGUID library, const wchar_t* fileName, REFIID iid, ITypeInfo** info) {
    Microsoft::WRL::ComPtr<ITypeLib> types;
    HRESULT result = LoadRegTypeLib(library, 1, 0, LOCALE_NEUTRAL, &types);
    if (FAILED(result)) {
        const std::wstring file = ModuleFolder(nullptr) + fileName;
        result = LoadTypeLibEx(file.c_str(), REGKIND_NONE, &types);
        if (FAILED(result)) return result;
    }
    return types->GetTypeInfoOfGuid(iid, info);
}

}  // namespace paylode::referencehost
