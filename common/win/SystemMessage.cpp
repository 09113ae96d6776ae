/*
 * The system's words for an error code; see SystemMessage.h.
 */
#include "common/win/SystemMessage.h"

#include "common/win/Owners.h"

namespace paylode {

std::string SystemMessage(DWORD code) {
    CLocalMemory<char> text;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, LANG_USER_DEFAULT, reinterpret_cast<char*>(text.Receive()), 0, nullptr);
    return length > 0 && text ? std::string(text.Get(), length) : std::string();
}

}  // namespace paylode
