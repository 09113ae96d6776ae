// Reading registry scripts: the structure a script gives, quoting, the
// replacements in values, and the faults that make a script unreadable.
#include "common/RegistryScript.h"

#include <gtest/gtest.h>

#include <string>

namespace paylode {
namespace {

TEST(RegistryScript, ReadsKeysValuesAndRemovalMarks) {
    const std::string text =
        "HKCR\r\n{\r\n"
        "  Some.Class.1 = s 'Some Class'\r\n  {\r\n    CLSID = s '{0000-1111}'\r\n  }\r\n"
        "  NoRemove CLSID\r\n  {\r\n"
        "    ForceRemove {0000-1111} = s 'It''s a class'\r\n    {\r\n"
        "      ForceRemove Programmable\r\n"
        "      'Inproc Server' = s '%MODULE%'\r\n      {\r\n        val ThreadingModel = s 'Apartment'\r\n      }\r\n"
        "    }\r\n  }\r\n}\r\n"
        "HKCU { Software }";
    RegistryScriptError error;
    const std::optional<RegistryScript> script = ParseRegistryScript(text, &error);
    ASSERT_TRUE(script) << "line " << error.line << ": " << error.message;
    ASSERT_EQ(2u, script->roots.size());
    EXPECT_EQ(RegistryRoot::ClassesRoot, script->roots[0].root);
    EXPECT_EQ(RegistryRoot::CurrentUser, script->roots[1].root);
    ASSERT_EQ(1u, script->roots[1].keys.size());
    EXPECT_EQ("Software", script->roots[1].keys[0].name);

    const auto& keys = script->roots[0].keys;
    ASSERT_EQ(2u, keys.size());
    EXPECT_EQ("Some.Class.1", keys[0].name);
    EXPECT_EQ(RegistryKey::Removal::Normal, keys[0].removal);
    EXPECT_EQ("Some Class", keys[0].defaultValue.value_or("<none>"));
    ASSERT_EQ(1u, keys[0].subkeys.size());
    EXPECT_EQ("{0000-1111}", keys[0].subkeys[0].defaultValue.value_or("<none>"));

    EXPECT_EQ(RegistryKey::Removal::NoRemove, keys[1].removal);
    EXPECT_FALSE(keys[1].defaultValue);
    ASSERT_EQ(1u, keys[1].subkeys.size());
    const RegistryKey& classKey = keys[1].subkeys[0];
    EXPECT_EQ("{0000-1111}", classKey.name);
    EXPECT_EQ(RegistryKey::Removal::ForceRemove, classKey.removal);
    EXPECT_EQ("It's a class", classKey.defaultValue.value_or("<none>"));
    ASSERT_EQ(2u, classKey.subkeys.size());
    EXPECT_EQ("Programmable", classKey.subkeys[0].name);
    EXPECT_EQ(RegistryKey::Removal::ForceRemove, classKey.subkeys[0].removal);
    EXPECT_FALSE(classKey.subkeys[0].defaultValue);
    const RegistryKey& server = classKey.subkeys[1];
    EXPECT_EQ("Inproc Server", server.name);
    EXPECT_EQ("%MODULE%", server.defaultValue.value_or("<none>"));
    ASSERT_EQ(1u, server.values.size());
    EXPECT_EQ("ThreadingModel", server.values[0].name);
    EXPECT_EQ("Apartment", server.values[0].text);
}

TEST(RegistryScript, RefusesWhatIsNotAScript) {
    struct Row {
        const char* text;
        int line;
        const char* message;  // what the message says, where a row pins it
    };
    // clang-format off
    const Row rows[] = {
        {"HKLM { Key }", 1, "unknown root key 'HKLM'"},  // a root registration never writes
        {"HKCR\n{\n  Key = s 'open\n}", 3, "quoted text left open"},
        {"HKCR { }\nHKCR\n{\n  Key = s 'open", 4, "quoted text left open"},  // after a whole block
        {"HKCR\n{\n  Key = 'no type'\n}", 3, nullptr},         // value without its type
        {"HKCR\n{\n  Key = d '1'\n}", 3, nullptr},             // only strings are written
        {"HKCR\n{\n  Key\n  {\n    val = s 'x'\n", 5, nullptr},  // value without a name
        {"HKCR\n{\n  Key\n  {\n", 5, nullptr},                 // block left open
        {"HKCR { Key", 1, nullptr},
        {"HKCR { '' = s 'x' }", 1, nullptr},                   // an empty key name
        {"HKCR { = s 'x' }", 1, nullptr},
        {"HKCR Key", 1, nullptr},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        RegistryScriptError error;
        EXPECT_FALSE(ParseRegistryScript(row.text, &error));
        EXPECT_EQ(row.line, error.line) << error.message;
        EXPECT_FALSE(error.message.empty());
        if (row.message != nullptr) {
            EXPECT_EQ(row.message, error.message);
        }
    }
    EXPECT_TRUE(ParseRegistryScript(""));
    EXPECT_TRUE(ParseRegistryScript("HKCR { }"));
}

TEST(RegistryScript, ValuesTakeTheirReplacementsAfterReading) {
    const std::map<std::string, std::string> replacements = {{"MODULE", "C:\\O'Brien\\x.dll"}, {"X", "%MODULE%"}};
    struct Row {
        const char* text;
        const char* expanded;  // null: refused
    };
    // clang-format off
    const Row rows[] = {
        {"%MODULE%", "C:\\O'Brien\\x.dll"},
        {"a %X% b", "a %MODULE% b"},  // replaced once, never again
        {"100%%", "100%"},
        {"", ""},
        {"%UNKNOWN%", nullptr},
        {"50% off", nullptr},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const std::optional<std::string> expanded = ExpandRegistryText(std::string(row.text), replacements);
        ASSERT_EQ(row.expanded != nullptr, expanded.has_value());
        if (expanded) {
            EXPECT_EQ(row.expanded, *expanded);
        }
    }
}

}  // namespace
}  // namespace paylode
