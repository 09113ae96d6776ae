// Tests against the reference host DLL: registered with regsvr32 of the
// test's bitness for the suite, configured per test through its INI file
// (named by TORVO_REFERENCE_HOST_INI), with every call it receives recorded
// in a file the test reads back.
#pragma once

#include <gtest/gtest.h>

#include <wrl/client.h>

#include <fstream>
#include <string>
#include <vector>

#include "host/HostInterfaces.h"
#include "support/ScopedRegistration.h"
#include "support/HResultAssert.h"

namespace paylode::referencehost {

using Texts = std::vector<std::string>;

inline constexpr const wchar_t* kReferenceHostDll = L"TorvoReferenceHost.dll";

class ReferenceHostFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        registration_ = new testrig::ScopedRegistration(testrig::PathBesideProgram(kReferenceHostDll));
    }
    static void TearDownTestSuite() {
        delete registration_;
        registration_ = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(registration_->Registration().Succeeded()) << registration_->Registration();
        ASSERT_HR(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        static int run = 0;
        const std::wstring stem = std::wstring(temp) + L"paylode-refhost-" + std::to_wstring(GetCurrentProcessId()) +
                                  L"-" + std::to_wstring(++run);
        ini_ = stem + L".ini";
        record_ = stem + L".txt";
        SetEnvironmentVariableW(L"TORVO_REFERENCE_HOST_INI", ini_.c_str());
    }
    void TearDown() override {
        CoUninitialize();
        DeleteFileW(ini_.c_str());
        DeleteFileW(record_.c_str());
        SetEnvironmentVariableW(L"TORVO_REFERENCE_HOST_INI", nullptr);
    }

    // Writes the configuration; the record file is always this test's own.
    void Configure(const std::string& text) {
        std::ofstream file(ini_.c_str(), std::ios::binary);
        file << text << "\r\n[Record]\r\nFile=" << std::string(record_.begin(), record_.end()) << "\r\n";
    }

    Texts Recorded() const {
        std::ifstream file(record_.c_str());
        Texts lines;
        for (std::string line; std::getline(file, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }

    // Creates a host object as the component does: for IUnknown with
    // CLSCTX_ALL, runs it, and queries the interface.
    template <typename Interface>
    HRESULT Create(const CLSID& clsid, Microsoft::WRL::ComPtr<Interface>& object) {
        Microsoft::WRL::ComPtr<IUnknown> unknown;
        HRESULT result = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, &unknown);
        if (SUCCEEDED(result)) result = OleRun(unknown.Get());
        if (SUCCEEDED(result)) result = unknown.As(&object);
        return result;
    }

    std::wstring ini_, record_;
    inline static testrig::ScopedRegistration* registration_ = nullptr;
};

}  // namespace paylode::referencehost
