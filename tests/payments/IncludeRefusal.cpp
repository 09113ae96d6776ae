// Compiled, not run: a target reaches only the headers of the targets it
// links. Built as part of a target that links the portable payments library
// alone, this file includes its headers (and, through it, common's); built
// with REFUSE set to 1, 2 or 3 it includes a header of a folder it does not
// link, and the compiler must find no such file.
#include "common/CString.h"
#include "payments/PaymentText.h"
#if REFUSE == 1
#include "statements/StatementFields.h"  // the statements beside the payments
#elif REFUSE == 2
#include "cli/BatchCsv.h"                // the tool above the core
#elif REFUSE == 3
#include "payments/win/PaymentRun.h"     // the payments' own Windows half
#endif
