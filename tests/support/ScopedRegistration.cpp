// A DLL registered for a test suite (see ScopedRegistration.h).
#include "support/ScopedRegistration.h"

#include <gtest/gtest.h>

namespace paylode::testrig {

ScopedRegistration::ScopedRegistration(std::wstring dllPath)
    : dllPath_(std::move(dllPath)), registration_(RunRegsvr32(dllPath_, false)) {}

ScopedRegistration::~ScopedRegistration() {
    if (!registration_.Succeeded()) return;
    const Regsvr32Result removal = RunRegsvr32(dllPath_, true);
    EXPECT_TRUE(removal.Succeeded()) << removal;
}

}  // namespace paylode::testrig
