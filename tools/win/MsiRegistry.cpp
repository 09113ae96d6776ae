/*
 * paylode-msi-registry: the component's registration as installer rows.
 *
 *   paylode-msi-registry DLL FILE_ID [DIRECTORY_ID]
 *
 * Prints to standard output a WiX include with the registry rows that
 * DllRegisterServer of DLL writes, for the installer package, which cannot
 * run the DLL's own registration: the classes' registry scripts (its
 * REGISTRY resources) with the DLL's installed path as [#FILE_ID], the Bank
 * class's key in the host's category of banks, and what registering its
 * type library (its TYPELIB resource) writes: TypeLib\{libid}\<version> with
 * the library's path and help folder ([DIRECTORY_ID], INSTALLFOLDER unless
 * given), and Interface\{iid} for each automation interface. Both are read
 * from the built DLL itself, so the package and regsvr32 cannot drift apart.
 *
 * The rows come in three components:
 *   ComponentRegistration  this bitness's own registry view: the classes,
 *                          the library's path and help folder, and on 64-bit
 *                          the interfaces of the 64-bit view;
 *   SharedRegistration     the keys that 64-bit Windows keeps once for both
 *                          views, which both packages write alike: the
 *                          ProgIDs and the library's name and flags;
 *   Interfaces32           the interfaces of the 32-bit view, which both
 *                          packages write alike (registering a library
 *                          writes its interfaces into both views).
 * The last two have the same GUID in both packages, so Windows Installer
 * counts both products as their clients and removes them with the last one.
 * The GUIDs come from the package source as $(var.RegistrationGuid),
 * $(var.SharedRegistrationGuid) and $(var.Interfaces32Guid).
 */
#include <fcntl.h>
#include <io.h>
#include <wrl/client.h>

#include <cstdio>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/HResult.h"
#include "common/RegistryScript.h"
#include "common/TextConversion.h"
#include "common/win/Owners.h"
#include "common/win/Platform.h"
#include "host/EBankingCategory.h"
#include "resources/resource.h"

using Microsoft::WRL::ComPtr;
using paylode::RegistryKey;

namespace {

constexpr bool kIs64Bit = sizeof(void*) == 8;

std::string Utf8(const wchar_t* text) { return text == nullptr ? std::string() : paylode::Utf8FromWide(text).Bytes(); }

std::string GuidText(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return Utf8(text);
}

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", value);
    return text;
}

// Literal text in a Windows Installer formatted field: brackets would
// otherwise name properties or files.
std::string InstallerLiteral(const std::string& text) {
    std::string literal;
    for (const char c : text) {
        if (c == '[') {
            literal += "[\\[]";
        } else if (c == ']') {
            literal += "[\\]]";
        } else {
            literal += c;
        }
    }
    return literal;
}

std::string XmlAttribute(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            case '\'': escaped += "&apos;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

// One Registry row under HKCR. `name` empty is the key's default value; a
// value of nullopt makes the key alone, as registration makes an empty key:
// "*" creates it on install and removes it on uninstall, "+" (a key that
// registration never removes) only creates it. Key, name and value are
// already installer text.
struct Row {
    std::string key;
    std::string name;
    std::optional<std::string> value;
};

const char* const kKeyKeptOnUninstall = "+";

class CComponent {
public:
    void Add(const std::string& key, const std::string& name, const std::optional<std::string>& value) {
        rows_.push_back({key, name, value});
    }

    std::string Xml(const char* id, const char* guidVariable, bool win64) const {
        std::string xml = std::string("    <Component Id=\"") + id + "\" Guid=\"$(var." + guidVariable + ")\" Win64=\"" +
                          (win64 ? "yes" : "no") + "\">\n";
        bool keyPathGiven = false;
        for (const Row& row : rows_) {
            xml += "      <RegistryValue Root=\"HKCR\" Key=\"" + XmlAttribute(row.key) + "\"";
            if (!row.value) {
                xml += std::string(" Name=\"") + (row.name == kKeyKeptOnUninstall ? "+" : "*") +
                       "\" Type=\"string\" Value=\"\"";
            } else {
                if (!row.name.empty()) xml += " Name=\"" + XmlAttribute(row.name) + "\"";
                xml += " Type=\"string\" Value=\"" + XmlAttribute(*row.value) + "\"";
                if (!keyPathGiven) xml += " KeyPath=\"yes\"";
                keyPathGiven = true;
            }
            xml += "/>\n";
        }
        if (!keyPathGiven) throw std::runtime_error(std::string("no registry value for the key path of ") + id);
        return xml + "    </Component>\n";
    }

private:
    std::vector<Row> rows_;
};

class CRegistryRows {
public:
    CRegistryRows(std::string modulePath, std::string helpFolder)
        : modulePath_(std::move(modulePath)), helpFolder_(std::move(helpFolder)) {}

    // A class's registry script: the ProgID keys are one key for both
    // registry views and so shared; what lies under CLSID is this view's.
    void AddScript(const std::string& text, bool isBank) {
        paylode::RegistryScriptError error;
        const std::optional<paylode::RegistryScript> script = paylode::ParseRegistryScript(text, &error);
        if (!script) {
            throw std::runtime_error("registry script, line " + std::to_string(error.line) + ": " + error.message);
        }
        for (const paylode::RegistryScriptRoot& root : script->roots) {
            if (root.root != paylode::RegistryRoot::ClassesRoot) {
                throw std::runtime_error("a registry script writes outside HKCR, which a per-machine package cannot");
            }
            for (const RegistryKey& key : root.keys) {
                const bool classes = key.name == "CLSID";
                AddKey(classes ? own_ : shared_, InstallerLiteral(key.name), key, key.removal != RegistryKey::Removal::NoRemove);
                if (classes && isBank) AddBankCategory(key);
            }
        }
    }

    // What registering the type library writes: the library's key, and the
    // key of each interface that automation marshals through the library.
    void AddTypeLibrary(ITypeLib* library) {
        TLIBATTR* attributes = nullptr;
        ThrowIfFailed(library->GetLibAttr(&attributes), "the type library's attributes");
        const TLIBATTR attr = *attributes;
        library->ReleaseTLibAttr(attributes);
        if (attr.syskind != (kIs64Bit ? SYS_WIN64 : SYS_WIN32)) {
            throw std::runtime_error("the DLL's type library is not of this program's bitness");
        }
        const std::string libid = GuidText(attr.guid);
        const std::string version = Hex(attr.wMajorVerNum) + "." + Hex(attr.wMinorVerNum);
        const std::string libraryKey = "TypeLib\\" + libid + "\\" + version;

        paylode::CBstr name, doc;
        ThrowIfFailed(library->GetDocumentation(-1, name.Receive(), doc.Receive(), nullptr, nullptr),
                      "the type library's name");
        const std::string title = doc.Get() != nullptr ? Utf8(doc.Get()) : Utf8(name.Get());
        if (!title.empty()) shared_.Add(libraryKey, "", InstallerLiteral(title));
        shared_.Add(libraryKey + "\\FLAGS", "", std::to_string(attr.wLibFlags));
        own_.Add(libraryKey + "\\" + Hex(attr.lcid) + (kIs64Bit ? "\\win64" : "\\win32"), "", modulePath_);
        own_.Add(libraryKey + "\\HELPDIR", "", helpFolder_);

        const UINT count = library->GetTypeInfoCount();
        for (UINT index = 0; index < count; ++index) {
            TYPEKIND kind;
            if (FAILED(library->GetTypeInfoType(index, &kind))) continue;
            if (kind != TKIND_INTERFACE && kind != TKIND_DISPATCH) continue;
            ComPtr<ITypeInfo> info;
            ThrowIfFailed(library->GetTypeInfo(index, &info), "a type of the library");
            TYPEATTR* typeAttributes = nullptr;
            ThrowIfFailed(info->GetTypeAttr(&typeAttributes), "a type's attributes");
            const GUID iid = typeAttributes->guid;
            const WORD flags = typeAttributes->wTypeFlags;
            info->ReleaseTypeAttr(typeAttributes);
            if (kind == TKIND_INTERFACE && (flags & TYPEFLAG_FOLEAUTOMATION) == 0) continue;

            paylode::CBstr typeName;
            ThrowIfFailed(library->GetDocumentation(index, typeName.Receive(), nullptr, nullptr, nullptr),
                          "a type's name");
            // Dual and automation interfaces are marshalled by their vtable,
            // dispinterfaces through IDispatch alone.
            const char* proxy = kind == TKIND_INTERFACE || (flags & TYPEFLAG_FDUAL) != 0
                                    ? "{00020424-0000-0000-C000-000000000046}"
                                    : "{00020420-0000-0000-C000-000000000046}";
            const std::string key = "Interface\\" + GuidText(iid);
            // Registration writes the interface into both registry views: the
            // 32-bit view's keys are shared by both packages, the 64-bit
            // view's belong to the 64-bit package (a 32-bit one cannot reach
            // that view).
            std::vector<CComponent*> views = {&interfaces32_};
            if (kIs64Bit) views.push_back(&own_);
            for (CComponent* view : views) {
                const std::string typeNameText = Utf8(typeName.Get());
                if (!typeNameText.empty()) view->Add(key, "", InstallerLiteral(typeNameText));
                view->Add(key + "\\ProxyStubClsid", "", proxy);
                view->Add(key + "\\ProxyStubClsid32", "", proxy);
                view->Add(key + "\\TypeLib", "", libid);
                view->Add(key + "\\TypeLib", "Version", version);
            }
        }
    }

    std::string Include() const {
        return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
               "<!-- Made by paylode-msi-registry from the built DLL: do not edit. -->\n"
               "<Include>\n"
               "  <DirectoryRef Id=\"INSTALLFOLDER\">\n" +
               own_.Xml("ComponentRegistration", "RegistrationGuid", kIs64Bit) +
               "  </DirectoryRef>\n"
               "  <DirectoryRef Id=\"TARGETDIR\">\n" +
               shared_.Xml("SharedRegistration", "SharedRegistrationGuid", kIs64Bit) +
               interfaces32_.Xml("Interfaces32", "Interfaces32Guid", false) +
               "  </DirectoryRef>\n"
               "</Include>\n";
    }

private:
    static void ThrowIfFailed(HRESULT code, const char* what) {
        if (FAILED(code)) {
            throw std::runtime_error(std::string(what) + ": " + paylode::HResultText(code));
        }
    }

    // A key with its values and subkeys; one with nothing in it is made as
    // a key alone when registration would make it (a key it removes again).
    void AddKey(CComponent& component, const std::string& path, const RegistryKey& key, bool removable) {
        const bool empty = !key.defaultValue && key.values.empty() && key.subkeys.empty();
        if (empty) component.Add(path, removable ? "" : kKeyKeptOnUninstall, std::nullopt);
        if (key.defaultValue) component.Add(path, "", Expand(*key.defaultValue));
        for (const paylode::RegistryValue& value : key.values) {
            component.Add(path, InstallerLiteral(value.name), Expand(value.text));
        }
        for (const RegistryKey& subkey : key.subkeys) {
            AddKey(component, path + "\\" + InstallerLiteral(subkey.name), subkey,
                   subkey.removal != RegistryKey::Removal::NoRemove);
        }
    }

    // The Bank class in the host's category of banks: the empty key
    // CLSID\{clsid}\Implemented Categories\{catid}.
    void AddBankCategory(const RegistryKey& classes) {
        for (const RegistryKey& clsid : classes.subkeys) {
            own_.Add("CLSID\\" + InstallerLiteral(clsid.name) + "\\Implemented Categories\\" +
                         GuidText(paylode::CATID_TorvoEBankingBanks),
                     "", std::nullopt);
        }
    }

    // Script text as installer text: literal apart from %MODULE%, the DLL's
    // installed path.
    std::string Expand(const std::string& text) const {
        const std::optional<std::string> expanded =
            paylode::ExpandRegistryText(InstallerLiteral(text), std::map<std::string, std::string>{{"MODULE", modulePath_}});
        if (!expanded) throw std::runtime_error("a registry script names an unknown replacement: " + text);
        return *expanded;
    }

    std::string modulePath_;
    std::string helpFolder_;
    CComponent own_;
    CComponent shared_;
    CComponent interfaces32_;
};

// The text of one REGISTRY resource of the DLL.
std::string ResourceText(HMODULE module, int id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) throw std::runtime_error("the DLL has no REGISTRY resource " + std::to_string(id));
    return std::string(static_cast<const char*>(bytes), SizeofResource(module, found));
}

bool IsInstallerIdentifier(const wchar_t* text) {
    if (text == nullptr || *text == L'\0' || !(iswalpha(*text) || *text == L'_')) return false;
    for (; *text != L'\0'; ++text) {
        if (!(iswalnum(*text) || *text == L'_' || *text == L'.')) return false;
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if ((argc != 3 && argc != 4) || !IsInstallerIdentifier(argv[2]) || (argc == 4 && !IsInstallerIdentifier(argv[3]))) {
        std::fputs("usage: paylode-msi-registry DLL FILE_ID [DIRECTORY_ID]\n", stderr);
        return 2;
    }
    try {
        const std::wstring dll = argv[1];
        CRegistryRows rows("[#" + Utf8(argv[2]) + "]", "[" + (argc == 4 ? Utf8(argv[3]) : std::string("INSTALLFOLDER")) + "]");

        HMODULE module = LoadLibraryExW(dll.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        if (module == nullptr) throw std::runtime_error("cannot open the DLL");
        try {
            // The classes in the order registration writes them; the first
            // is the Bank.
            for (const int id : {IDR_BANK, IDR_BANKSERVICES, IDR_BANKPAYMENTSERVICE, IDR_BANKSTATEMENTSERVICE}) {
                rows.AddScript(ResourceText(module, id), id == IDR_BANK);
            }
        } catch (...) {
            FreeLibrary(module);
            throw;
        }
        FreeLibrary(module);

        ComPtr<ITypeLib> library;
        if (FAILED(LoadTypeLibEx(dll.c_str(), REGKIND_NONE, &library))) {
            throw std::runtime_error("cannot load the DLL's type library (are the host's libraries registered?)");
        }
        rows.AddTypeLibrary(library.Get());

        const std::string include = rows.Include();
        _setmode(_fileno(stdout), _O_BINARY);
        if (std::fwrite(include.data(), 1, include.size(), stdout) != include.size() || std::fflush(stdout) != 0) {
            throw std::runtime_error("cannot write the include");
        }
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "paylode-msi-registry: %s\n", failure.what());
        return 1;
    }
}
