/*
 * Writing record lines to an open file (see RecordOutput.h).
 */
#include "payments/RecordOutput.h"

namespace paylode {

void CFileRecordOutput::Write(const char* data, std::size_t size) {
    // A short write shows when the file is closed; the writers report only
    // the payments' checks.
    std::fwrite(data, 1, size, file_);
}

}  // namespace paylode
