/*
 * Sanitise: the character filter of the payment file (see
 * PaymentText.h).
 */
#include "payments/PaymentText.h"

#include <string>

#include "common/HResult.h"

namespace paylode {

CString Sanitise(const char* text, bool keepSlash) {
    RequireArgument(text != nullptr);
    std::string kept;
    for (const char* p = text; *p != '\0'; ++p) {
        const char c = *p;
        if (c >= 'a' && c <= 'z') {
            kept += static_cast<char>(c - 'a' + 'A');
        } else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' || c == '.' || c == '-' || c == '&' ||
                   (c == '/' && keepSlash)) {
            kept += c;
        }
    }
    return CString(kept.c_str());
}

}  // namespace paylode
