/*
 * Writing record lines to an open file (see RecordOutput.h).
 */
#include "payments/RecordOutput.h"

namespace paylode {

void CFileRecordOutput::Write(const char* data, std::size_t size) {
    if (failed_) return;
    if (!file_.Write(data, size)) failed_ = true;
}

bool CFileRecordOutput::Commit() { return !failed_ && file_.Commit(); }

}  // namespace paylode
