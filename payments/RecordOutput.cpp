/*
 * Writing record lines to an open file (see RecordOutput.h).
 */
#include "payments/RecordOutput.h"

namespace paylode {

void CFileRecordOutput::Write(const char* data, std::size_t size) {
    if (failed_) return;
    if (!file_.Write(data, size)) failed_ = true;
}

bool CFileRecordOutput::Finish() {
    // Both are tried even after a failure, so that the file is closed.
    const bool flushed = file_.Flush();
    const bool closed = file_.Close();
    return !failed_ && flushed && closed;
}

}  // namespace paylode
