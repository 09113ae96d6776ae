/*
 * Reading the reference host's INI configuration.
 */
#include "referencehost/server/ServerConfiguration.h"

#include "referencehost/HostCallPlan.h"

#include <cstdlib>
#include <vector>

#include "common/TextConversion.h"
#include "common/win/ModuleFile.h"

namespace paylode::referencehost {

namespace {

// The key=value lines of one section.
std::vector<std::pair<std::string, std::string>> Section(const std::wstring& file, const wchar_t* section) {
    std::vector<wchar_t> buffer(32768);
    const DWORD length =
        GetPrivateProfileSectionW(section, buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
    std::vector<std::pair<std::string, std::string>> lines;
    for (const wchar_t* line = buffer.data(); line < buffer.data() + length && *line != L'\0';
         line += wcslen(line) + 1) {
        const std::string text = AnsiFromWide(line);
        const std::size_t equals = text.find('=');
        if (equals != std::string::npos) lines.emplace_back(text.substr(0, equals), text.substr(equals + 1));
    }
    return lines;
}

}  // namespace

CServerConfiguration CServerConfiguration::Read() {
    CServerConfiguration configuration;
    std::vector<wchar_t> named(MAX_PATH * 4);
    const DWORD length =
        GetEnvironmentVariableW(L"TORVO_REFERENCE_HOST_INI", named.data(), static_cast<DWORD>(named.size()));
    configuration.file_ = (length > 0 && length < named.size()) ? std::wstring(named.data(), length)
                                                                : ModuleFolder(ServerInstance()) + L"TorvoReferenceHost.ini";
    return configuration;
}

std::string CServerConfiguration::Text(const char* section, const char* key, const char* fallback) const {
    std::vector<wchar_t> value(4096);
    const std::wstring wideSection(section, section + strlen(section));
    const std::wstring wideKey(key, key + strlen(key));
    const DWORD length = GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), nullptr, value.data(),
                                                  static_cast<DWORD>(value.size()), file_.c_str());
    if (length == 0) return fallback;
    return AnsiFromWide(value.data(), static_cast<int>(length));
}

bool CServerConfiguration::Flag(const char* section, const char* key) const {
    return std::atoi(Text(section, key, "0").c_str()) != 0;
}

std::shared_ptr<CHostCallLog> CServerConfiguration::MakeLog() const {
    auto log = std::make_shared<CHostCallLog>();
    for (const auto& [call, value] : Section(file_, L"Failures")) {
        HRESULT result = S_OK;
        if (ParseHResult(value, &result)) log->FailCall(call, result);
    }
    for (const auto& [call, value] : Section(file_, L"NullTexts")) {
        if (std::atoi(value.c_str()) != 0) log->ReturnNullText(call);
    }
    const std::string record = Text("Record", "File", "");
    if (!record.empty()) {
        log->WriteTo(WideFromAnsi(record.c_str()));
    }
    return log;
}

}  // namespace paylode::referencehost
