/*
 * The statement-file test (see IsStatementFile.h). The candidate is opened in
 * text mode and only its header is read, by a reader of its own: every reader
 * holds its own column map, so a test made while the user browses never
 * disturbs an import.
 */
#include "statements/win/IsStatementFile.h"

#include <cstring>
#include <ios>
#include <type_traits>

#include "common/FileSystem.h"
#include "statements/QVTTransactionFile.h"

namespace paylode {

static_assert(std::is_same_v<decltype(&IsStatementFile), TorvoStatementFileTest>,
              "the chooser calls the test as the host's header declares it");

int __cdecl IsStatementFile(char* description, const char* path) {
    try {
        // A device or a pipe is no statement, and reading its header could
        // hold the user's file chooser for ever.
        if (path == nullptr || CurrentFileSystem().IsDevice(path)) return 0;
        const CQVTTransactionFile reader(path, std::ios_base::in);
        if (reader.ColumnCount != 14 && reader.ColumnCount != 18) return 0;
        if (description != nullptr)
            std::memcpy(description, kStatementFileDescription, sizeof kStatementFileDescription);
        return 1;
    } catch (...) {
        return 0;
    }
}

}  // namespace paylode
