// A DLL registered with regsvr32 of the test program's bitness for as long
// as a suite needs it (referencehost/Regsvr32.h runs regsvr32).
#pragma once

#include <string>

#include "referencehost/Regsvr32.h"

namespace paylode::testrig {

using referencehost::PathBesideProgram;
using referencehost::Regsvr32Result;
using referencehost::RunRegsvr32;

// Registers a DLL for as long as it lives and unregisters it at the end.
class ScopedRegistration {
public:
    explicit ScopedRegistration(std::wstring dllPath);
    ~ScopedRegistration();
    ScopedRegistration(const ScopedRegistration&) = delete;
    ScopedRegistration& operator=(const ScopedRegistration&) = delete;

    const Regsvr32Result& Registration() const { return registration_; }

private:
    std::wstring dllPath_;
    Regsvr32Result registration_;
};

// A fixture `Base` whose suite also has the component DLL beside the test
// program registered: after the base's suite set-up, and unregistered before
// its tear-down.
template <typename Base>
class WithRegisteredComponent : public Base {
protected:
    static void SetUpTestSuite() {
        Base::SetUpTestSuite();
        component_ = new ScopedRegistration(PathBesideProgram(L"TorvoKelmarBankPaylode.DLL"));
    }
    static void TearDownTestSuite() {
        delete component_;
        component_ = nullptr;
        Base::TearDownTestSuite();
    }

    inline static ScopedRegistration* component_ = nullptr;
};

}  // namespace paylode::testrig
