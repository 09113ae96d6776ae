// Under Wine: the DLL as a process loads it, through its exports.
#include <gtest/gtest.h>

#include <cstdint>

#include "common/win/Platform.h"
#include "support/HResultAssert.h"

namespace {

constexpr const char* kDll = "TorvoKelmarBankPaylode.DLL";
constexpr const char* kExports[] = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"};

using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

class LoadedDll : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryA(kDll);
        ASSERT_NE(nullptr, module_) << "LoadLibrary failed: " << GetLastError();
    }
    void TearDown() override {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    template <typename F>
    F Export(const char* name) {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }
    HMODULE module_ = nullptr;
};

TEST_F(LoadedDll, ExportsTheFourEntryPointsAtOrdinalsOneToFour) {
    for (int ordinal = 1; ordinal <= 4; ++ordinal) {
        SCOPED_TRACE(ordinal);
        FARPROC byOrdinal = GetProcAddress(module_, MAKEINTRESOURCEA(ordinal));
        FARPROC byName = GetProcAddress(module_, kExports[ordinal - 1]);
        ASSERT_NE(nullptr, byName);
        EXPECT_EQ(byName, byOrdinal);
    }
    EXPECT_EQ(nullptr, GetProcAddress(module_, MAKEINTRESOURCEA(5)));
}

TEST_F(LoadedDll, CanUnloadWhileNothingIsAlive) {
    auto canUnload = Export<CanUnloadNow>("DllCanUnloadNow");
    ASSERT_NE(nullptr, canUnload);
    EXPECT_HR(S_OK, canUnload());
}

TEST_F(LoadedDll, GetClassObjectRejectsANullOutPointer) {
    auto get = Export<GetClassObject>("DllGetClassObject");
    ASSERT_NE(nullptr, get);
    EXPECT_HR(E_POINTER, get(CLSID_NULL, IID_IClassFactory, nullptr));
}

TEST_F(LoadedDll, GetClassObjectAnswersAnUnknownClassAndClearsTheOutPointer) {
    auto get = Export<GetClassObject>("DllGetClassObject");
    ASSERT_NE(nullptr, get);
    // A CLSID that belongs to no class of the component.
    const CLSID unknown = {0x6f1c2a3b, 0x1d2e, 0x4f50, {0x81, 0x92, 0xa3, 0xb4, 0xc5, 0xd6, 0xe7, 0xf8}};
    void* object = reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x1234));
    EXPECT_HR(CLASS_E_CLASSNOTAVAILABLE, get(unknown, IID_IClassFactory, &object));
    EXPECT_EQ(nullptr, object);
}

}  // namespace
