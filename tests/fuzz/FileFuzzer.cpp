/*
 * Fuzz target: a whole statement file through the reader, as the import
 * reads it: header, column map, then records until the first failed read,
 * and the count of readable lines left behind it.
 * The input is written to a file of this process in the temporary folder.
 */
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "common/DebugOutput.h"
#include "statements/QVTTransactionFile.h"
#include "statements/StatementImport.h"
#include "fuzz/FuzzChecks.h"

namespace {

// The process's own input file, removed when the process ends.
class InputFile {
public:
    InputFile() {
        std::random_device random;
        path_ =
            (std::filesystem::temp_directory_path() / ("paylode-fuzz-statement-" + std::to_string(random()) + ".csv"))
                .string();
    }
    ~InputFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    const std::string& Write(const std::uint8_t* data, std::size_t size) {
        std::ofstream(path_, std::ios_base::binary | std::ios_base::trunc)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        return path_;
    }

private:
    std::string path_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace paylode;
    static InputFile input;
    const std::string& path = input.Write(data, size);
    CQVTTransactionFile reader(path.c_str(), std::ios_base::in | std::ios_base::binary);
    fuzz::Check(reader.IsOpen(), "the input file opens");
    fuzz::Check(reader.HeaderLine.GetLength() <= 2047, "header length");
    if (!reader.BuildColumnMap()) return 0;
    static ScopedDebugOutputHandler silent([](const char*) {});
    const StatementReading reading =
        ReadStatementRecords(reader, [](CTransactionRecord& record) { fuzz::CheckRecord(record); });
    fuzz::Check(reading.records + reading.linesNotRead <= static_cast<int>(size), "no more records than bytes");
    fuzz::Check(reading.linesNotRead == 0 || !reading.atEnd, "nothing lost behind the file's end");
    return 0;
}
