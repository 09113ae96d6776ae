/*
 * Registry scripts: the registry entries of one COM class, written as text
 * and carried in the DLL as a REGISTRY resource, so that what registration
 * writes and what the resource shows are one and the same.
 *
 *   HKCR
 *   {
 *       Some.ProgID.1 = s 'Some Class'
 *       {
 *           CLSID = s '{...}'
 *       }
 *       NoRemove CLSID
 *       {
 *           ForceRemove {...} = s 'Some Class'
 *           {
 *               ForceRemove 'Programmable'
 *               InprocServer32 = s '%MODULE%'
 *               {
 *                   val ThreadingModel = s 'Apartment'
 *               }
 *           }
 *       }
 *   }
 *
 * Braces, "=" and words are separated by white space; a word that starts
 * with a brace, such as a class id, is a name. A key is a bare word or a
 * quoted name, optionally marked NoRemove (never
 * removed, only its listed subkeys are) or ForceRemove (removed with all
 * below it and written anew on registration); "= s 'text'" gives its default
 * value and "val Name = s 'text'" a named value, both strings. In quoted text
 * '' stands for one quote. Values may name replacements as %NAME%, filled in
 * when the script is applied (%% is one percent sign), so that a path holding
 * a quote can never change the script's structure. The root is HKCR
 * (HKEY_CLASSES_ROOT) or HKCU (HKEY_CURRENT_USER).
 *
 * This file only reads the text; the Windows side applies it.
 */
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace paylode {

enum class RegistryRoot { ClassesRoot, CurrentUser };

struct RegistryValue {
    std::string name;
    std::string text;
};

struct RegistryKey {
    enum class Removal { Normal, NoRemove, ForceRemove };

    std::string name;
    Removal removal = Removal::Normal;
    std::optional<std::string> defaultValue;
    std::vector<RegistryValue> values;
    std::vector<RegistryKey> subkeys;
};

struct RegistryScriptRoot {
    RegistryRoot root = RegistryRoot::ClassesRoot;
    std::vector<RegistryKey> keys;
};

struct RegistryScript {
    std::vector<RegistryScriptRoot> roots;
};

struct RegistryScriptError {
    int line = 0;  // from 1
    std::string message;
};

// Reads a script. Empty when the text is not a well-formed script; `error`,
// when given, then says where and why.
std::optional<RegistryScript> ParseRegistryScript(const std::string& text, RegistryScriptError* error = nullptr);

// `text` with every %NAME% replaced from `replacements` and %% made one
// percent sign. Empty when a name has no replacement or a % is left open.
// Narrow or wide text alike: the module's path is wide on Windows.
template <typename Char>
std::optional<std::basic_string<Char>> ExpandRegistryText(
    const std::basic_string<Char>& text,
    const std::map<std::basic_string<Char>, std::basic_string<Char>>& replacements) {
    std::basic_string<Char> expanded;
    for (std::size_t at = 0; at < text.size();) {
        if (text[at] != Char('%')) {
            expanded += text[at++];
            continue;
        }
        const std::size_t close = text.find(Char('%'), at + 1);
        if (close == std::basic_string<Char>::npos) return std::nullopt;
        const std::basic_string<Char> name = text.substr(at + 1, close - at - 1);
        if (name.empty()) {
            expanded += Char('%');
        } else {
            const auto found = replacements.find(name);
            if (found == replacements.end()) return std::nullopt;
            expanded += found->second;
        }
        at = close + 1;
    }
    return expanded;
}

}  // namespace paylode
