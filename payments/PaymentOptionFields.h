/*
 * The rules of the two text fields of the payment options: the template name
 * and the beneficiary reference. How much of each is read, which characters
 * it may hold, and which template names cannot name the bulk list template
 * file.
 *
 * The payment options dialog's model (payments/PaymentOptionsModel.h) judges
 * what the user typed with them on OK; the `paylode` tool checks its
 * --template and --reference, and the template file's name, with the same
 * rules.
 */
#pragma once

#include "common/CString.h"

namespace paylode {

// How many characters the two text fields take.
constexpr int kTemplateNameLimit = 20;
constexpr int kBeneficiaryReferenceLimit = 18;

// The outcome of checking a typed template name or beneficiary reference.
enum class FieldCheck {
    Accepted,
    Empty,              // nothing typed; for a template name, blanks only too
    InvalidCharacters,  // something the payment file's character rules drop
    NotAFileName,       // a template name that names a device or a folder, not a file
};

// A template name as the dialog reads it: the first 20 characters, filtered
// for the payment file without "/" (letters upper-cased). `filtered`
// receives the filtered text whatever the outcome. The bulk list template
// file is named after it, so a name of blanks only, a device name and a name
// of dots and blanks only are refused as well.
FieldCheck CheckTemplateName(const char* typed, CString* filtered);

// Whether a file opened under `name` would open a device instead: CON, PRN,
// AUX, NUL, COM1 to COM9 or LPT1 to LPT9 in any letter case, alone or
// followed by blanks, dots or an extension ("nul", "Con.txt", "LPT1 ",
// "aux..").
bool IsDeviceName(const char* name);

// Whether `name` is made only of dots and blanks ("." , "..", "...", ". "):
// Windows trims a file name's trailing dots and blanks, so such a name
// names the folder it is opened in, or its parent, and no file of its own.
bool IsDotsAndBlanksOnly(const char* name);

// Whether the bulk list template file may be named `name`: a file of its own
// beside the payment file, so not empty or blanks only, no "/" or "\", not
// dots and blanks only, and not a device name.
bool IsPlainTemplateFileName(const char* name);

// A beneficiary reference as the dialog checks it for bulk list payments:
// the first 18 characters, filtered with "/" kept.
FieldCheck CheckBeneficiaryReference(const char* typed, CString* filtered);

}  // namespace paylode
