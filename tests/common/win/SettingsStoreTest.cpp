// Under Wine: BANKSERV.INI in the prefix's common application-data folder,
// read and written through the profile-string calls. Each test makes the
// settings folder it needs and removes it afterwards, so nothing depends on
// what the machine's folder held before.
#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "common/DebugOutput.h"
#include "common/MessageBox.h"
#include "common/Settings.h"
#include "common/TextConversion.h"
#include "common/win/EveryUserFiles.h"
#include "common/win/Owners.h"
#include "common/win/Platform.h"
#include "common/win/SettingsStore.h"
#include "support/HResultAssert.h"
#include "support/RecordedFiles.h"
#include "support/ScratchFolders.h"

#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

namespace paylode {
namespace {

using test::MessageLog;
using test::WriteFileText;

std::string CommonAppData() {
    char path[MAX_PATH] = {};
    EXPECT_HR(S_OK, SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path));
    return path;
}

// Reads a key straight from the file, as another of the host's components would.
std::string RawValue(const std::string& file, const char* key, const char* absent = "<absent>") {
    char text[2048] = {};
    GetPrivateProfileStringA("MIGRATED", key, absent, text, sizeof text, file.c_str());
    return text;
}

std::string FileText(const std::string& file) {
    std::string text;
    const CHandle handle(CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!handle) return "<none>";
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(handle.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    return text;
}

// The rights that the allow entries of `dacl` give a well-known group on
// the object itself (entries that only pass to what lies below left out).
ACCESS_MASK AllowedTo(const ACL* dacl, WELL_KNOWN_SID_TYPE group) {
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof sid;
    if (dacl == nullptr || !CreateWellKnownSid(group, nullptr, sid, &size)) return 0;
    ACCESS_MASK allowed = 0;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(const_cast<ACL*>(dacl), i, &ace)) break;
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE) != 0) continue;
        auto* allow = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        if (EqualSid(&allow->SidStart, sid)) allowed |= allow->Mask;
    }
    return allowed;
}

// A descriptor and its DACL, as the platform gives back a file's or as
// SDDL text makes one; `text` is its DACL in SDDL, for messages.
struct Rights {
    CLocalMemory<void> descriptor;
    PACL dacl = nullptr;
    std::wstring text;
};

void DescribeDacl(Rights& rights) {
    CLocalMemory<wchar_t> text;
    if (ConvertSecurityDescriptorToStringSecurityDescriptorW(rights.descriptor.Get(), SDDL_REVISION_1,
                                                             DACL_SECURITY_INFORMATION, text.Receive(), nullptr)) {
        rights.text = text.Get();
    }
}

Rights ReadRights(const std::string& path) {
    Rights rights;
    const DWORD error =
        GetNamedSecurityInfoW(WideFromAnsi(path.c_str()).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &rights.dacl, nullptr, rights.descriptor.Receive());
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), error) << path;
    if (error == ERROR_SUCCESS) DescribeDacl(rights);
    return rights;
}

Rights ParseRights(const wchar_t* sddl) {
    Rights rights;
    BOOL present = FALSE, defaulted = FALSE;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, rights.descriptor.Receive(),
                                                                     nullptr))
        << GetLastError();
    EXPECT_TRUE(GetSecurityDescriptorDacl(rights.descriptor.Get(), &present, &rights.dacl, &defaulted));
    DescribeDacl(rights);
    return rights;
}

// Every local user may read and write the file, but neither delete it nor
// change its rights; nobody is given rights through Everyone.
void ExpectFileForEveryLocalUser(const Rights& file) {
    const ACCESS_MASK users = AllowedTo(file.dacl, WinBuiltinUsersSid);
    const ACCESS_MASK readWrite = FILE_GENERIC_READ | FILE_GENERIC_WRITE;
    EXPECT_EQ(readWrite, users & readWrite) << file.text;
    EXPECT_EQ(0u, users & (DELETE | WRITE_DAC | WRITE_OWNER)) << file.text;
    EXPECT_EQ(0u, AllowedTo(file.dacl, WinWorldSid)) << file.text;
}

// Every local user may list the folder, go through it and add files to it,
// but not delete what others put there.
void ExpectFolderForEveryLocalUser(const Rights& folder) {
    const ACCESS_MASK users = AllowedTo(folder.dacl, WinBuiltinUsersSid);
    const ACCESS_MASK useIt = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_ADD_FILE;
    EXPECT_EQ(useIt, users & useIt) << folder.text;
    EXPECT_EQ(0u, users & (FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER)) << folder.text;
}

// Whether this machine keeps the descriptor a file is created with.
// Windows does; Wine does only where it stores descriptors beside the files
// (in an extended attribute), and otherwise makes one up from the file's
// Unix mode, which names the owner, the local system and Everyone only. A
// probe file that gives the Guests group read rights tells the two apart.
bool KeepsDescriptors(const std::string& folder) {
    const std::string probe = folder + "\\rights-probe.tmp";
    DeleteFileA(probe.c_str());
    const Rights given = ParseRights(L"D:(A;;FA;;;SY)(A;;FA;;;BA)(A;;FR;;;BG)");
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, given.descriptor.Get(), FALSE};
    {
        const CHandle made(CreateFileA(probe.c_str(), GENERIC_WRITE, 0, &attributes, CREATE_NEW, 0, nullptr));
        EXPECT_TRUE(made) << GetLastError();
    }
    const bool kept = AllowedTo(ReadRights(probe).dacl, WinBuiltinGuestsSid) == FILE_GENERIC_READ;
    DeleteFileA(probe.c_str());
    return kept;
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        torvo_ = CommonAppData() + "\\TORVO";
        folder_ = torvo_ + "\\Torvo EBanking";
        file_ = folder_ + "\\BANKSERV.INI";
        RemoveAll();
        CreateDirectoryA(torvo_.c_str(), nullptr);
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr)) << GetLastError();
    }
    void TearDown() override { RemoveAll(); }
    void RemoveAll() {
        SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(file_.c_str());
        DeleteFileA((folder_ + "\\journal.txt").c_str());
        // The payment journal and statement marks of a host program's runs in this prefix.
        testrig::RemoveFilesAndFolder(folder_, "Paylode*.csv");
        RemoveDirectoryA(torvo_.c_str());
    }
    bool FileExists() const { return GetFileAttributesA(file_.c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::string torvo_, folder_, file_;
    MessageLog messages_;
    std::vector<std::string> debugLines_;
    ScopedDebugOutputHandler debugOutput_{[this](const char* text) { debugLines_.emplace_back(text); }};
};

TEST_F(SettingsFile, LivesInTheCommonApplicationDataFolderAndIsLookedUpOnce) {
    const char* first = GetSettingsFilePath();
    EXPECT_EQ(file_, first);
    EXPECT_EQ(CommonAppData() + "\\TORVO\\Torvo EBanking\\BANKSERV.INI", first);
    EXPECT_EQ(first, GetSettingsFilePath()) << "the same process-wide text every time";
}

TEST_F(SettingsFile, AFreshMachineWithoutTheFileGivesTheDefaults) {
    ASSERT_FALSE(FileExists());
    CString templateName, benRef;
    int riFlag = 0;
    LoadSettingString(TemplateKey(AccountKeySuffix(true, "12-34-56", "12345678")), templateName);
    LoadSettingString(BenRefKey(AccountKeySuffix(true, "12-34-56", "12345678")), benRef);
    EXPECT_FALSE(ReadSettingFlag(kRICheckStateKey, riFlag));
    EXPECT_STREQ("", templateName.GetString());
    EXPECT_STREQ("", benRef.GetString());
    EXPECT_EQ(0, riFlag);

    // Nothing read leaves the caller's values as they were.
    CString kept("kept");
    int flag = 7;
    char buffer[16] = "junk";
    EXPECT_FALSE(ReadSetting(kRICheckStateKey, buffer, sizeof buffer));
    EXPECT_STREQ("", buffer);
    LoadSettingString("KelmarPaylodeTemplate", kept);
    EXPECT_FALSE(ReadSettingFlag(kRICheckStateKey, flag));
    EXPECT_STREQ("kept", kept.GetString());
    EXPECT_EQ(7, flag);
    EXPECT_FALSE(FileExists()) << "reading never creates the file";
}

TEST_F(SettingsFile, FlagsReadInEveryFormAndLetterCase) {
    struct Row {
        const char* stored;
        bool read;
        int flag;
    };
    // clang-format off
    const Row rows[] = {
        {"TRUE", true, 1}, {"true", true, 1}, {"tRUe", true, 1}, {"YES", true, 1}, {"yes", true, 1},
        {"yEs", true, 1},  {"1", true, 1},    {"NO", true, 0},   {"no", true, 0},  {"0", true, 0},
        {"FALSE", true, 0}, {"on", true, 0},  {"2", true, 0},    {"", false, 7},
    };
    // clang-format on
    for (std::size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i << " \"" << rows[i].stored << "\"");
        ASSERT_TRUE(WriteSetting(kRICheckStateKey, rows[i].stored));
        int flag = 7;
        EXPECT_EQ(rows[i].read, ReadSettingFlag(kRICheckStateKey, flag));
        EXPECT_EQ(rows[i].flag, flag);
    }
}

TEST_F(SettingsFile, FlagsAreWrittenAsTrueOrFalse) {
    for (int flag : {1, 0, -5, 40}) {
        SCOPED_TRACE(flag);
        ASSERT_TRUE(WriteSettingFlag(kRICheckStateKey, flag));
        EXPECT_EQ(flag != 0 ? "TRUE" : "FALSE", RawValue(file_, kRICheckStateKey));
        int read = 7;
        EXPECT_TRUE(ReadSettingFlag(kRICheckStateKey, read));
        EXPECT_EQ(flag != 0 ? 1 : 0, read);
    }
}

TEST_F(SettingsFile, LongStoredValuesArriveCutTo258Characters) {
    struct Row {
        std::size_t stored;
        std::size_t read;
    };
    const Row rows[] = {{1, 1}, {257, 257}, {258, 258}, {259, 258}, {300, 258}, {1000, 258}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.stored);
        std::string value;
        for (std::size_t i = 0; i < row.stored; ++i) value += static_cast<char>('a' + i % 26);
        WriteFileText(file_, "[MIGRATED]\r\nKelmarPaylodeTemplate=" + value + "\r\n");
        CString read("before");
        LoadSettingString("KelmarPaylodeTemplate", read);
        EXPECT_EQ(value.substr(0, row.read), read.GetString());
    }
}

TEST_F(SettingsFile, TwoPayingAccountsKeepTheirOwnValuesAndShareTheFlag) {
    const CString first = AccountKeySuffix(true, "12-34-56", "12345678");
    const CString second = AccountKeySuffix(true, "65 43 21", "87654321");
    ASSERT_TRUE(WriteSetting(TemplateKey(first), "TEMPLATE ONE"));
    ASSERT_TRUE(WriteSetting(BenRefKey(first), "REF ONE"));
    ASSERT_TRUE(WriteSetting(TemplateKey(second), "TEMPLATE TWO"));
    ASSERT_TRUE(WriteSetting(BenRefKey(second), "REF TWO"));
    ASSERT_TRUE(WriteSettingFlag(kRICheckStateKey, 1));

    EXPECT_EQ("TEMPLATE ONE", RawValue(file_, "KelmarPaylodeTemplate123456_12345678"));
    EXPECT_EQ("REF TWO", RawValue(file_, "KelmarPaylodeBenRef654321_87654321"));

    struct Row {
        CString suffix;
        const char* templateName;
        const char* benRef;
    };
    const Row rows[] = {{first, "TEMPLATE ONE", "REF ONE"},
                        {AccountKeySuffix(true, "123456", "12345678"), "TEMPLATE ONE", "REF ONE"},
                        {second, "TEMPLATE TWO", "REF TWO"},
                        {AccountKeySuffix(true, "12-34-56", "87654321"), "", ""},
                        {AccountKeySuffix(false, nullptr, nullptr), "", ""}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.suffix.GetString());
        CString templateName, benRef;
        int flag = 0;
        LoadSettingString(TemplateKey(row.suffix), templateName);
        LoadSettingString(BenRefKey(row.suffix), benRef);
        EXPECT_TRUE(ReadSettingFlag(kRICheckStateKey, flag));
        EXPECT_STREQ(row.templateName, templateName.GetString());
        EXPECT_STREQ(row.benRef, benRef.GetString());
        EXPECT_EQ(1, flag);
    }
}

// An account number with a line break, "=", "[" or "]" would make a key
// that reads back as another key or puts a line into another section of
// the shared file: such a key is neither written nor read.
TEST_F(SettingsFile, AnUnsafeAccountKeyIsNeitherWrittenNorRead) {
    const std::string before =
        "[MIGRATED]\r\nKelmarPaylodeTemplate123456_12=34=THEIRS\r\nKelmarPaylodeTemplate123456_1234=MINE\r\n"
        "[OTHER]\r\nKey=1\r\n";
    WriteFileText(file_, before);
    const char* unsafe[] = {"12=34", "1234\r\n[OTHER]\r\nKey", "1234\n", "[1234]"};
    for (const char* account : unsafe) {
        SCOPED_TRACE(account);
        const CString suffix = AccountKeySuffix(true, "12-34-56", account);
        EXPECT_FALSE(WriteSetting(TemplateKey(suffix), "INJECTED"));
        EXPECT_FALSE(WriteSettingFlag(TemplateKey(suffix), 1));
        CString value("default");
        LoadSettingString(TemplateKey(suffix), value);
        EXPECT_STREQ("default", value.GetString());
        int flag = 7;
        EXPECT_FALSE(ReadSettingFlag(TemplateKey(suffix), flag));
        EXPECT_EQ(7, flag);
    }
    EXPECT_EQ(before, FileText(file_));
    CString mine;
    LoadSettingString(TemplateKey(AccountKeySuffix(true, "12-34-56", "1234")), mine);
    EXPECT_STREQ("MINE", mine.GetString()) << "an ordinary account keeps its key";
}

TEST_F(SettingsFile, AnEmptyValueIsWrittenAndReadsAsNothing) {
    ASSERT_TRUE(WriteSetting("KelmarPaylodeTemplate_1", "OLD"));
    ASSERT_TRUE(WriteSetting("KelmarPaylodeTemplate_1", ""));
    EXPECT_EQ("", RawValue(file_, "KelmarPaylodeTemplate_1")) << "the key stays, with an empty value";
    CString value("default");
    LoadSettingString("KelmarPaylodeTemplate_1", value);
    EXPECT_STREQ("default", value.GetString());
}

TEST_F(SettingsFile, OtherSectionsAndKeysAreLeftAlone) {
    WriteFileText(file_, "[OTHER]\r\nRICheckState=YES\r\n[MIGRATED]\r\nSomeoneElse=1\r\n");
    int flag = 0;
    EXPECT_FALSE(ReadSettingFlag(kRICheckStateKey, flag)) << "only the section MIGRATED is read";
    ASSERT_TRUE(WriteSettingFlag(kRICheckStateKey, 0));
    char other[16] = {};
    GetPrivateProfileStringA("OTHER", "RICheckState", "", other, sizeof other, file_.c_str());
    EXPECT_STREQ("YES", other);
    EXPECT_EQ("1", RawValue(file_, "SomeoneElse"));
}

// Stores two values, makes the file unwritable in the way `block` chooses,
// and checks that both writes fail without a message to the user, each
// told in one debugger line with its key and the Win32 error `error`, and
// that both values stay.
template <typename Block>
void ExpectWritesFailQuietly(const std::string& file, const MessageLog& messages, std::vector<std::string>& debugLines,
                             DWORD error, Block block) {
    ASSERT_TRUE(WriteSetting("KelmarPaylodeTemplate_1", "KEPT"));
    ASSERT_TRUE(WriteSettingFlag(kRICheckStateKey, 1));
    block();
    debugLines.clear();
    EXPECT_FALSE(WriteSetting("KelmarPaylodeTemplate_1", "LOST"));
    EXPECT_FALSE(WriteSettingFlag(kRICheckStateKey, 0));
    const std::string code = std::to_string(error);
    EXPECT_EQ((std::vector<std::string>{"BANKSERV.INI: KelmarPaylodeTemplate_1 not written: Win32 error " + code + "\n",
                                        "BANKSERV.INI: RICheckState not written: Win32 error " + code + "\n"}),
              debugLines);
    CString value;
    int flag = 0;
    LoadSettingString("KelmarPaylodeTemplate_1", value);
    EXPECT_STREQ("KEPT", value.GetString());
    EXPECT_TRUE(ReadSettingFlag(kRICheckStateKey, flag));
    EXPECT_EQ(1, flag);
    EXPECT_EQ("KEPT", RawValue(file, "KelmarPaylodeTemplate_1"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SettingsFile, AReadOnlyFileIsNotWritten) {
    ASSERT_TRUE(WriteSetting("probe", "1"));
    ASSERT_TRUE(SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_READONLY));
    if (CHandle(CreateFileA(file_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr))) {
        // Wine run by the superuser writes read-only files anyway.
        GTEST_SKIP() << "this machine writes read-only files";
    }
    ASSERT_TRUE(SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_NORMAL));
    ExpectWritesFailQuietly(file_, messages_, debugLines_, ERROR_ACCESS_DENIED,
                            [&] { ASSERT_TRUE(SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_READONLY)); });
}

TEST_F(SettingsFile, AFileThatAnotherProgramHoldsIsNotWritten) {
    CHandle held;
    ExpectWritesFailQuietly(file_, messages_, debugLines_, ERROR_SHARING_VIOLATION, [&] {
        *held.Receive() = CreateFileA(file_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_TRUE(held);
    });
}

// Every user of the machine writes the one file, whoever wrote it first:
// the first write creates the file, and the settings folder where it is
// missing, with rights of their own for every local user. A file that is
// there already keeps its rights.
TEST_F(SettingsFile, TheFirstWriteCreatesTheFileForEveryLocalUser) {
    const bool kept = KeepsDescriptors(folder_);
    if (!kept) {
        std::cout << "[   NOTE   ] this Wine makes up a file's rights from its Unix mode and keeps no others: "
                     "the rights for every local user are not read back, only that the mode Wine made from "
                     "them gives Everyone nothing\n";
    }
    struct Row {
        const char* missing;
        bool torvo, folder, file;
    };
    const Row rows[] = {{"the TORVO folder", false, false, false},
                        {"the settings folder", true, false, false},
                        {"the file", true, true, false},
                        {"nothing: the file was made otherwise", true, true, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.missing);
        RemoveAll();
        if (row.torvo) {
            ASSERT_TRUE(CreateDirectoryA(torvo_.c_str(), nullptr));
        }
        if (row.folder) {
            ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        }
        if (row.file) WriteFileText(file_, "[OTHER]\r\nKey=1\r\n");
        const std::wstring before = row.file ? ReadRights(file_).text : std::wstring();
        debugLines_.clear();

        if (!WriteSetting("KelmarPaylodeTemplate_1", "KEPT")) {
            ADD_FAILURE() << "not written";
            continue;
        }
        EXPECT_EQ("KEPT", RawValue(file_, "KelmarPaylodeTemplate_1"));
        EXPECT_TRUE(debugLines_.empty()) << debugLines_.front();
        const Rights file = ReadRights(file_);
        if (row.file) {
            EXPECT_EQ(before, file.text);
        } else if (kept) {
            ExpectFileForEveryLocalUser(file);
            if (!row.folder) ExpectFolderForEveryLocalUser(ReadRights(folder_));
        } else {
            // The mode Wine made from the profile call's own creation let
            // everyone read the file (Wine's default mode, 0666 less the
            // umask); the one made from the component's rights gives
            // others nothing.
            EXPECT_EQ(0u, AllowedTo(file.dacl, WinWorldSid)) << file.text;
        }
    }
    EXPECT_TRUE(messages_.shown.empty());
}

// The routine serves any file that every user writes (one beside
// BANKSERV.INI, say): the rights it hands to the platform, a file made once
// and then left alone, and a folder that cannot be made.
TEST_F(SettingsFile, AnotherFileForEveryLocalUserIsMadeOnceAndThenLeftAlone) {
    ExpectFileForEveryLocalUser(ParseRights(kEveryLocalUserFileRights));
    ExpectFolderForEveryLocalUser(ParseRights(kEveryLocalUserFolderRights));

    RemoveAll();
    const std::string journal = folder_ + "\\journal.txt";
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), CreateFileForEveryLocalUser(WideFromAnsi(journal.c_str())));
    EXPECT_EQ("", FileText(journal));
    if (KeepsDescriptors(folder_)) ExpectFileForEveryLocalUser(ReadRights(journal));
    WriteFileText(journal, "kept");
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), CreateFileForEveryLocalUser(WideFromAnsi(journal.c_str())));
    EXPECT_EQ("kept", FileText(journal));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), CreateFolderForEveryLocalUser(WideFromAnsi(folder_.c_str())));

    // A file stands where a folder is wanted.
    EXPECT_NE(static_cast<DWORD>(ERROR_SUCCESS), CreateFileForEveryLocalUser(WideFromAnsi((journal + "\\x").c_str())));
    EXPECT_NE(static_cast<DWORD>(ERROR_SUCCESS),
              CreateFolderForEveryLocalUser(WideFromAnsi((journal + "\\x").c_str())));
    DeleteFileA(journal.c_str());
}

}  // namespace
}  // namespace paylode
