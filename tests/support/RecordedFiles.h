// What the Windows-layer tests share around files and message boxes: a file
// written whole with the platform's own calls, and a log that records every
// message box instead of showing it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/MessageBox.h"
#include "common/win/Owners.h"
#include "common/win/Platform.h"

namespace paylode::test {

inline void WriteFileText(const std::string& file, const std::string& text) {
    const CHandle handle(
        CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(handle) << GetLastError();
    DWORD written = 0;
    WriteFile(handle.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ASSERT_EQ(text.size(), written);
}

// Records every message box instead of showing it, answering OK.
struct MessageLog {
    std::vector<MessageRequest> shown;
    ScopedMessageBoxHandler handler{[this](const MessageRequest& request) {
        shown.push_back(request);
        return MessageAnswer::Ok;
    }};
};

}  // namespace paylode::test
