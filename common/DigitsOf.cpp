/*
 * DigitsOf (see DigitsOf.h).
 */
#include "common/DigitsOf.h"

#include <string>

#include "common/HResult.h"

namespace paylode {

CString DigitsOf(const char* text) {
    RequireArgument(text != nullptr);
    std::string digits;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p >= '0' && *p <= '9') digits += *p;
    }
    return CString(digits.c_str());
}

}  // namespace paylode
