// Reading type libraries in tests: files beside the test program, names and
// descriptions as narrow text, type attributes released on scope exit, and
// the interfaces a type implements.
#pragma once

#include <gtest/gtest.h>

#include <wrl/client.h>

#include <string>

#include "common/win/Platform.h"
#include "support/HResultAssert.h"
#include "common/win/Owners.h"

namespace paylode::test {

// The full path of `file` in the test program's own directory.
inline std::wstring ProgramDirectoryPath(const wchar_t* file) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring program(path, length);
    return program.substr(0, program.find_last_of(L"\\/") + 1) + file;
}

// A BSTR's ASCII text, the BSTR freed; a null BSTR reads as "".
inline std::string TakeText(BSTR received) {
    const CBstr text = CBstr::Adopt(received);
    std::string result;
    for (const wchar_t* p = text.Get(); p != nullptr && *p != 0; ++p) result += static_cast<char>(*p);
    return result;
}

inline std::string NameOf(ITypeInfo* info, MEMBERID member = MEMBERID_NIL) {
    BSTR name = nullptr;
    if (FAILED(info->GetDocumentation(member, &name, nullptr, nullptr, nullptr))) return "<none>";
    return TakeText(name);
}

inline std::string DescriptionOf(ITypeInfo* info) {
    BSTR description = nullptr;
    if (FAILED(info->GetDocumentation(MEMBERID_NIL, nullptr, &description, nullptr, nullptr))) return "<none>";
    return TakeText(description);
}

struct TypeAttributes {
    explicit TypeAttributes(ITypeInfo* owner) : info(owner) { EXPECT_HR(S_OK, info->GetTypeAttr(&attr)); }
    ~TypeAttributes() {
        if (attr != nullptr) info->ReleaseTypeAttr(attr);
    }
    TypeAttributes(const TypeAttributes&) = delete;
    TypeAttributes& operator=(const TypeAttributes&) = delete;
    ITypeInfo* info;
    TYPEATTR* attr = nullptr;
};

// The type that `info` implements at `index` (for a coclass, its
// interfaces; for an interface, its base), or null.
inline Microsoft::WRL::ComPtr<ITypeInfo> ImplementedType(ITypeInfo* info, UINT index) {
    HREFTYPE ref = 0;
    Microsoft::WRL::ComPtr<ITypeInfo> implemented;
    if (FAILED(info->GetRefTypeOfImplType(index, &ref)) || FAILED(info->GetRefTypeInfo(ref, &implemented)))
        return nullptr;
    return implemented;
}

// Checks that `coclass` is a creatable class named `name` whose one,
// default interface is `defaultInterface`.
inline void ExpectCreatableClass(ITypeInfo* coclass, const std::string& name, const std::string& defaultInterface) {
    EXPECT_EQ(name, NameOf(coclass));
    {
        TypeAttributes attributes(coclass);
        ASSERT_NE(nullptr, attributes.attr);
        EXPECT_EQ(TKIND_COCLASS, attributes.attr->typekind);
        EXPECT_NE(0, attributes.attr->wTypeFlags & TYPEFLAG_FCANCREATE);
        ASSERT_EQ(1, attributes.attr->cImplTypes);
    }
    INT flags = 0;
    ASSERT_HR(S_OK, coclass->GetImplTypeFlags(0, &flags));
    EXPECT_NE(0, flags & IMPLTYPEFLAG_FDEFAULT);
    const Microsoft::WRL::ComPtr<ITypeInfo> implemented = ImplementedType(coclass, 0);
    ASSERT_NE(nullptr, implemented);
    EXPECT_EQ(defaultInterface, NameOf(implemented.Get()));
}

}  // namespace paylode::test
