/*
 * CQVTTransactionFile: the reader of the bank's statement file. It opens the
 * file, reads the header line at once and tells from its field count (14 or
 * 18) whether the file is a statement; then it gives the transaction lines
 * one record at a time until a line cannot be read. It never rewinds.
 *
 * Everything that goes wrong is reported to the debugger output only;
 * callers see the boolean results and ColumnCount.
 *
 * A reader holds all it reads with, its column map included, and changes
 * nothing shared: two imports may run at once on two threads, each with its
 * own reader.
 */
#pragma once

#include <fstream>
#include <ios>
#include <memory>

#include "common/CString.h"
#include "statements/TransactionRecord.h"

namespace paylode {

class CQVTTransactionFile {
public:
    // Opens `path` with `mode` and reads its header. The reader is usable
    // whether or not the file could be opened; one that could not has
    // ColumnCount 0.
    CQVTTransactionFile(const char* path, std::ios_base::openmode mode);
    ~CQVTTransactionFile();
    CQVTTransactionFile(const CQVTTransactionFile&) = delete;
    CQVTTransactionFile& operator=(const CQVTTransactionFile&) = delete;

    // Opens the stream and reads the header. False only when something
    // failed on the way; a file that does not exist is simply not open.
    bool Open(const char* path, std::ios_base::openmode mode);
    // Reads the header line into HeaderLine and counts its fields. False when
    // the stream is not open.
    bool ReadHeader();
    // Fills this reader's column map with 1 to ColumnCount when the header
    // has 14 or 18 fields; otherwise false and the map is left as it was.
    bool BuildColumnMap();
    // Reads the next line into `record`. False when the line cannot be read;
    // the import ends there.
    bool ReadRecord(CTransactionRecord& record);
    // Which texts the records of later reads hold (all until told).
    void KeepTexts(RecordTexts texts) { texts_ = texts; }
    // Once reading has stopped: reads on to the end of the file, past lines
    // that cannot be read, and counts the lines that could have been read as
    // records. Nothing is delivered and nothing is written to the debugger
    // output.
    int CountReadableLinesLeft();
    // The debugger line of a read that failed, as ReadRecord writes it; a
    // delivery from what an earlier reading kept writes it where a reading
    // of its own would have stopped.
    static void ReportUnreadRecord();

    // The field numbers the records are read from; empty until built.
    const ColumnMap& GetColumnMap() const { return columnMap_; }

    CString HeaderLine;   // the header as read, at most 2047 characters
    int ColumnCount = 0;  // fields of the header; 0 until one has been read

    // For diagnostics: whether the file is open, how many lines (header
    // included) have been taken from it, and why the last read failed.
    bool IsOpen() const { return stream_.is_open(); }
    int GetLinesRead() const { return linesRead_; }
    CTransactionRecord::ErrorCode GetLastError() const { return lastError_; }

private:
    // ReadRecord, with its debugger output only when `report` is set.
    bool ReadNext(CTransactionRecord& record, bool report);

    std::ifstream stream_;
    std::unique_ptr<char[]> streamBuffer_;  // the stream's buffer, larger than its own
    ColumnMap columnMap_;
    RecordTexts texts_ = RecordTexts::All;
    int linesRead_ = 0;
    CTransactionRecord::ErrorCode lastError_ = CTransactionRecord::NoError;
};

}  // namespace paylode
