/*
 * The statement file reader (see QVTTransactionFile.h).
 */
#include "statements/QVTTransactionFile.h"

#include <cstddef>
#include <limits>

#include "common/DebugOutput.h"
#include "statements/StatementFields.h"

namespace paylode {

namespace {
constexpr std::size_t kLineBufferSize = 2049;
constexpr std::streamsize kMaxLineCharacters = 2047;
// The file is read in blocks of this size: far fewer reads from the system
// than with the stream's own buffer, for little memory.
constexpr std::size_t kStreamBufferSize = std::size_t{64} * 1024;
}  // namespace

CQVTTransactionFile::CQVTTransactionFile(const char* path, std::ios_base::openmode mode) {
    if (!Open(path, mode)) {
        WriteDebugOutput("CQVTTransactionFile() failed to open: ");
        WriteDebugOutput(path);
    }
}

CQVTTransactionFile::~CQVTTransactionFile() {
    if (stream_.is_open()) stream_.close();
}

bool CQVTTransactionFile::Open(const char* path, std::ios_base::openmode mode) {
    try {
        if (stream_.is_open()) stream_.close();
        stream_.clear();
        linesRead_ = 0;
        if (!streamBuffer_) streamBuffer_ = std::make_unique<char[]>(kStreamBufferSize);
        stream_.rdbuf()->pubsetbuf(streamBuffer_.get(), static_cast<std::streamsize>(kStreamBufferSize));
        if (path != nullptr) stream_.open(path, mode | std::ios_base::in);
        ReadHeader();
        return true;
    } catch (...) {
        WriteDebugOutput("Failed to Open the file: ");
        WriteDebugOutput(path);
        return false;
    }
}

bool CQVTTransactionFile::ReadHeader() {
    if (!stream_.is_open()) return false;
    char line[kLineBufferSize] = {};
    stream_.getline(line, kMaxLineCharacters + 1);
    if (stream_.gcount() > 0) ++linesRead_;
    HeaderLine = line;
    ColumnCount = CountFields(line, ',');
    return true;
}

bool CQVTTransactionFile::BuildColumnMap() {
    if (ColumnCount != 14 && ColumnCount != 18) return false;
    columnMap_.clear();
    for (int field = 1; field <= ColumnCount; ++field) columnMap_.push_back(field);
    return true;
}

bool CQVTTransactionFile::ReadRecord(CTransactionRecord& record) { return ReadNext(record, true); }

bool CQVTTransactionFile::ReadNext(CTransactionRecord& record, bool report) {
    if (!stream_.is_open()) {
        if (report) WriteDebugOutput("File Stream is NOT open");
        lastError_ = CTransactionRecord::FileNotOpen;
    } else {
        try {
            lastError_ = ReadTransactionLine(stream_, record, columnMap_, texts_);
        } catch (...) {
            // The text of a field could not be kept (no memory).
            lastError_ = CTransactionRecord::TextFailure;
        }
    }
    const bool read = lastError_ == CTransactionRecord::NoError;
    if (stream_.is_open() && stream_.gcount() > 0) ++linesRead_;
    if (!read && report) ReportUnreadRecord();
    return read;
}

void CQVTTransactionFile::ReportUnreadRecord() { WriteDebugOutput("Failed to read the Balance record\n"); }

int CQVTTransactionFile::CountReadableLinesLeft() {
    if (!stream_.is_open()) return 0;
    CTransactionRecord record;
    int readable = 0;
    for (;;) {
        // An overlong line leaves the stream failed with the line's end
        // still unread: skip to the next line instead of stopping there.
        if (lastError_ == CTransactionRecord::LineTooLong) {
            stream_.clear();
            stream_.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
        }
        const int before = linesRead_;
        if (ReadNext(record, false)) {
            ++readable;
        } else if (linesRead_ == before) {
            break;  // no line was left to take
        }
    }
    return readable;
}

}  // namespace paylode
