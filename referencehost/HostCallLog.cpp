/*
 * The call log's text forms and the error information of a failing call.
 */
#include "referencehost/HostCallLog.h"

#include <wrl/client.h>

#include "common/HResult.h"
#include "common/NumberText.h"
#include "common/TextConversion.h"
#include "common/win/Owners.h"

namespace paylode::referencehost {

std::string HostCall::Text() const {
    std::string text = object + "." + operation + "(" + arguments + ")";
    if (!outcome.empty()) text += " -> " + outcome;
    if (FAILED(result)) text += " failed " + HResultText(result);
    return text;
}

std::size_t CHostCallLog::Record(HostCall call) {
    ++count_;
    if (countOnly_) return 0;
    calls_.push_back(std::move(call));
    return calls_.size() - 1;
}

void CHostCallLog::Complete(std::size_t position, HRESULT result) {
    if (countOnly_) return;
    HostCall& call = calls_.at(position);
    call.result = result;
    call.completed = true;
    for (; written_ < calls_.size() && calls_[written_].completed; ++written_) Write(calls_[written_]);
}

void CHostCallLog::Write(const HostCall& call) const {
    if (file_.empty()) return;
    const CHandle file(CreateFileW(file_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    const std::string line = call.Text() + "\r\n";
    DWORD written = 0;
    WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::vector<std::string> CHostCallLog::Texts(const std::string& object) const {
    std::vector<std::string> texts;
    for (const HostCall& call : calls_) {
        if (object.empty() || call.object == object) texts.push_back(call.Text());
    }
    return texts;
}

HRESULT CHostCallLog::InjectedFailure(const std::string& object, const std::string& operation) const {
    std::string exact = object;
    exact.append(".").append(operation);
    for (const std::string& key : {exact, "*." + operation}) {
        const auto found = failures_.find(key);
        if (found != failures_.end()) return found->second;
    }
    return S_OK;
}

bool CHostCallLog::NullTextInjected(const std::string& object, const std::string& operation) const {
    return nullTexts_.count(object + "." + operation) != 0 || nullTexts_.count("*." + operation) != 0;
}

std::string TextArgument(const wchar_t* text) {
    if (text == nullptr) return "null";
    return "\"" + AnsiFromWide(text) + "\"";
}

std::string NumberArgument(double value) { return NumberText(value, std::chars_format::general, 15); }

std::string VariantArgument(const VARIANT* value) {
    if (value == nullptr) return "null";
    switch (V_VT(value)) {
    case VT_I4: return "VT_I4 " + std::to_string(V_I4(value));
    case VT_I2: return "VT_I2 " + std::to_string(V_I2(value));
    case VT_BSTR: return "VT_BSTR " + TextArgument(V_BSTR(value));
    case VT_R8: return "VT_R8 " + NumberArgument(V_R8(value));
    case VT_EMPTY: return "VT_EMPTY";
    default: return "VT_" + std::to_string(V_VT(value));
    }
}

void SetCallErrorInfo(REFIID iid, const std::string& description) {
    Microsoft::WRL::ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(&create))) return;
    const std::wstring wide = WideFromAnsi(description.c_str());
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(L"Torvo reference host"));
    create->SetDescription(const_cast<LPOLESTR>(wide.c_str()));
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(&info))) SetErrorInfo(0, info.Get());
}

}  // namespace paylode::referencehost
