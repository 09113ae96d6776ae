/*
 * The template name's and beneficiary reference's rules; see
 * PaymentOptionFields.h.
 */
#include "payments/PaymentOptionFields.h"

#include <cstddef>
#include <cstring>

#include "payments/PaymentText.h"

namespace paylode {
namespace {

FieldCheck CheckField(const char* typed, int limit, bool keepSlash, CString* filtered) {
    const CString read = CString(typed).Left(limit);
    *filtered = Sanitise(read, keepSlash);
    if (read.IsEmpty()) return FieldCheck::Empty;
    if (filtered->GetLength() < read.GetLength()) return FieldCheck::InvalidCharacters;
    return FieldCheck::Accepted;
}

bool IsBlanksOnly(const char* text) { return text[std::strspn(text, " ")] == '\0'; }

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Whether the first `length` characters of `text` are `word`, in any letter
// case.
bool SameWord(const char* text, std::size_t length, const char* word) {
    if (length != std::strlen(word)) return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (UpperAscii(text[i]) != word[i]) return false;
    }
    return true;
}

}  // namespace

FieldCheck CheckTemplateName(const char* typed, CString* filtered) {
    const FieldCheck check = CheckField(typed, kTemplateNameLimit, false, filtered);
    if (check != FieldCheck::Accepted) return check;
    if (IsBlanksOnly(*filtered)) return FieldCheck::Empty;
    if (IsDeviceName(*filtered) || IsDotsAndBlanksOnly(*filtered)) return FieldCheck::NotAFileName;
    return FieldCheck::Accepted;
}

bool IsDotsAndBlanksOnly(const char* name) { return name != nullptr && name[std::strspn(name, ". ")] == '\0'; }

bool IsDeviceName(const char* name) {
    if (name == nullptr) return false;
    // The device is named by what comes before the first dot (or a colon):
    // an extension does not make it a file, and blanks before the dot do not
    // count.
    std::size_t length = std::strcspn(name, ".:");
    while (length > 0 && name[length - 1] == ' ') --length;
    for (const char* device : {"CON", "PRN", "AUX", "NUL"}) {
        if (SameWord(name, length, device)) return true;
    }
    if (length != 4 || name[3] < '1' || name[3] > '9') return false;
    return SameWord(name, 3, "COM") || SameWord(name, 3, "LPT");
}

bool IsPlainTemplateFileName(const char* name) {
    if (name == nullptr || IsDotsAndBlanksOnly(name)) return false;
    if (std::strpbrk(name, "/\\") != nullptr) return false;
    return !IsDeviceName(name);
}

FieldCheck CheckBeneficiaryReference(const char* typed, CString* filtered) {
    return CheckField(typed, kBeneficiaryReferenceLimit, true, filtered);
}

}  // namespace paylode
