// Compiled, not run: UTF-8 text and the component's ANSI text are kept
// apart by their types. Built with REFUSE set to 1 or 2 the compiler must
// refuse the wrong use; without it the file compiles (the named crossings).
#include <string>

#include "common/CString.h"
#include "common/TextConversion.h"

namespace paylode {

void Uses() {
    const std::string ansi = "Caf\xE9";    // the component's text
    const Utf8Text utf8("Caf\xC3\xA9");    // a tool's argument
#if REFUSE == 1
    WideFromUtf8(ansi);                    // ANSI bytes read as UTF-8
#elif REFUSE == 2
    CString field(Utf8FromWide(WideFromAnsi(ansi.c_str())));  // UTF-8 bytes taken for ANSI
#else
    std::string converted;
    AnsiFromUtf8(utf8, &converted);
    CString field(converted.c_str());
    const Utf8Text back = Utf8FromAnsi(field.GetString());
    WideFromUtf8(back);
#endif
}

}  // namespace paylode
