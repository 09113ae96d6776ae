// Under Wine: regsvr32 of the test program's bitness, run from inside it.
#include <gtest/gtest.h>

#include "support/ScopedRegistration.h"

namespace paylode::testrig {
namespace {

TEST(Regsvr32, RegistersAndUnregistersADllOfTheProgramsOwnBitness) {
    // The component DLL is built with the test program, so it has its
    // bitness; the regsvr32 of the other bitness could not load it.
    const std::wstring dll = PathBesideProgram(L"TorvoKelmarBankPaylode.DLL");
    const Regsvr32Result added = RunRegsvr32(dll, false);
    EXPECT_TRUE(added.Succeeded()) << added;
    const Regsvr32Result removed = RunRegsvr32(dll, true);
    EXPECT_TRUE(removed.Succeeded()) << removed;
}

TEST(Regsvr32, ReportsAFailureForAFileThatIsNoDll) {
    struct Row {
        const wchar_t* file;
        bool unregister;
    };
    const Row rows[] = {{L"NoSuchServer.dll", false}, {L"NoSuchServer.dll", true}, {L"paylode_win_tests.exe", false}};
    for (const Row& row : rows) {
        const Regsvr32Result result = RunRegsvr32(PathBesideProgram(row.file), row.unregister);
        SCOPED_TRACE(::testing::PrintToString(result.exitCode));
        EXPECT_TRUE(result.started && result.finished) << result;
        EXPECT_NE(0u, result.exitCode) << result;
    }
}

}  // namespace
}  // namespace paylode::testrig
