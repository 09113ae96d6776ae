/*
 * The payment journal's file on Windows (see JournalFile.h).
 */
#include "payments/win/JournalFile.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/DebugOutput.h"
#include "common/Sha256.h"
#include "common/win/EveryUserFiles.h"
#include "common/win/Owners.h"
#include "common/win/Platform.h"
#include "common/win/SystemMessage.h"

namespace paylode {

namespace {

// The byte the appenders lock: beyond the end of any journal, so that the
// lock keeps other appenders out and leaves the lines readable.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;
constexpr DWORD kLockOffsetLow = 0;
constexpr DWORD kLockPollMs = 50;

// The journal's lock, held for as long as it lives.
class CJournalLock {
public:
    explicit CJournalLock(HANDLE file) : file_(file) {}
    CJournalLock(const CJournalLock&) = delete;
    CJournalLock& operator=(const CJournalLock&) = delete;
    ~CJournalLock() {
        if (held_) {
            OVERLAPPED place = Place();
            UnlockFileEx(file_, 0, 1, 0, &place);
        }
    }

    // Waits up to kJournalLockWaitMs for the lock; the Win32 error when it
    // was not had (ERROR_LOCK_VIOLATION: another run held it throughout).
    DWORD Take() {
        const ULONGLONG deadline = GetTickCount64() + kJournalLockWaitMs;
        for (;;) {
            OVERLAPPED place = Place();
            if (LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &place)) {
                held_ = true;
                return ERROR_SUCCESS;
            }
            const DWORD error = GetLastError();
            if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) return error;
            if (GetTickCount64() >= deadline) return ERROR_LOCK_VIOLATION;
            Sleep(kLockPollMs);
        }
    }

private:
    static OVERLAPPED Place() {
        OVERLAPPED place = {};
        place.Offset = kLockOffsetLow;
        place.OffsetHigh = kLockOffsetHigh;
        return place;
    }

    HANDLE file_;
    bool held_ = false;
};

// The file's last bytes, as many as an append needs to tell a CR LF, a lone
// CR, a line without its end or a header cut short; or why they cannot be
// read.
bool ReadFileEnd(HANDLE file, std::string* end, DWORD* error) {
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file, &size)) return *error = GetLastError(), false;
    end->clear();
    if (size.QuadPart == 0) return true;
    const auto wanted = static_cast<LONGLONG>(JournalEndSize());
    const LONGLONG tail = size.QuadPart < wanted ? size.QuadPart : wanted;
    LARGE_INTEGER from = {};
    from.QuadPart = size.QuadPart - tail;
    end->resize(static_cast<std::size_t>(tail));
    DWORD read = 0;
    if (!SetFilePointerEx(file, from, nullptr, FILE_BEGIN) ||
        !ReadFile(file, end->data(), static_cast<DWORD>(tail), &read, nullptr)) {
        return *error = GetLastError(), false;
    }
    end->resize(read);
    return true;
}

}  // namespace

std::string Win32Reason(unsigned long error) {
    std::string words = SystemMessage(error);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' ' ||
                              words.back() == '.')) {
        words.pop_back();
    }
    // The system's sentence goes inside the component's own.
    if (!words.empty() && words[0] >= 'A' && words[0] <= 'Z') words[0] = static_cast<char>(words[0] - 'A' + 'a');
    const std::string number = "Win32 error " + std::to_string(error);
    return words.empty() ? number : words + " (" + number + ")";
}

WideString JournalPathIn(const WideString& folder, int year) {
    return folder + L"\\" + WideFromAnsi(JournalFileName(year).c_str());
}

WideString StatementMarksPathIn(const WideString& folder, int year) {
    return folder + L"\\" + WideFromAnsi(StatementMarksFileName(year).c_str());
}

std::string AppendToJournal(const WideString& path, const JournalRun& run,
                            const std::vector<JournalPayment>& payments) {
    return AppendToCheckedFile(path, "another payment run",
                               [&](std::string_view end) { return JournalAppendText(end, run, payments); });
}

std::string AppendToCheckedFile(const WideString& path, const char* holder,
                                const std::function<std::string(std::string_view)>& text) {
    const DWORD made = CreateFileForEveryLocalUser(path);
    if (made != ERROR_SUCCESS) return "it cannot be created: " + Win32Reason(made);
    const CHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION) {
            return "another program holds it open (Win32 error " + std::to_string(error) + ")";
        }
        return "it cannot be opened: " + Win32Reason(error);
    }
    CJournalLock lock(file.Get());
    const DWORD locked = lock.Take();
    if (locked == ERROR_LOCK_VIOLATION) {
        return std::string(holder) + " kept it locked for more than " + std::to_string(kJournalLockWaitMs / 1000) +
               " seconds";
    }
    if (locked != ERROR_SUCCESS) return "it cannot be locked: " + Win32Reason(locked);

    std::string end;
    DWORD error = ERROR_SUCCESS;
    if (!ReadFileEnd(file.Get(), &end, &error)) return "its end cannot be read: " + Win32Reason(error);
    const std::string bytes = text(end);
    if (bytes.empty()) return {};
    LARGE_INTEGER none = {};
    DWORD written = 0;
    if (!SetFilePointerEx(file.Get(), none, nullptr, FILE_END) || bytes.size() > MAXDWORD ||
        !WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        return "it cannot be written: " + Win32Reason(GetLastError());
    }
    if (written != bytes.size()) return "it cannot be written: " + Win32Reason(ERROR_DISK_FULL);
    if (!FlushFileBuffers(file.Get())) return "it cannot be flushed to disk: " + Win32Reason(GetLastError());
    return {};
}

namespace {

// Hands the file at `path` to `take` in parts of at most `partBytes`, in
// order; ERROR_SUCCESS once the whole file went, otherwise the Win32 error
// that stopped it (ERROR_FILE_NOT_FOUND for no file).
DWORD ReadFileInParts(const WideString& path, std::size_t partBytes, const std::function<void(std::string_view)>& take) {
    const CHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return GetLastError();
    std::vector<char> buffer(partBytes);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
            return GetLastError();
        }
        if (read == 0) return ERROR_SUCCESS;
        take(std::string_view(buffer.data(), read));
    }
}

}  // namespace

bool Sha256OfFile(const WideString& path, std::string* digest, std::string* why) {
    CSha256 sha;
    const DWORD error = ReadFileInParts(path, std::size_t{64} * 1024, [&sha](std::string_view part) { sha.Update(part); });
    if (error != ERROR_SUCCESS) {
        *why = "the payment file cannot be read back: " + Win32Reason(error);
        return false;
    }
    *digest = sha.HexDigest();
    return true;
}

DWORD ReadJournalFile(const WideString& path, std::string* bytes) {
    bytes->clear();
    return ReadFileInParts(path, std::size_t{1024} * 1024, [bytes](std::string_view part) { bytes->append(part); });
}

bool ScanJournalFolder(const WideString& folder, const ExportedBeforeWindow& window, CExportedBefore& lookUp) {
    for (const int year : JournalYearsToRead(window)) {
        const WideString path = JournalPathIn(folder, year);
        lookUp.BeginJournal();
        const DWORD error = ReadFileInParts(path, std::size_t{1024} * 1024,
                                            [&lookUp](std::string_view part) { lookUp.ScanJournalPart(part); });
        lookUp.EndJournal();
        // No file, or no folder yet, is a journal nothing was written to.
        if (error == ERROR_SUCCESS || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) continue;
        WriteDebugOutput(("Payments exported before not checked: " + AnsiFromWide(path.c_str()) + " cannot be read: " +
                          Win32Reason(error) + "\n")
                             .c_str());
        return false;
    }
    // The payments seen on a statement since; without them the exports are
    // still told, only not where a statement showed them.
    for (const int year : JournalYearsToRead(window)) {
        const WideString path = StatementMarksPathIn(folder, year);
        std::string bytes;
        const DWORD error = ReadJournalFile(path, &bytes);
        if (error == ERROR_SUCCESS) {
            lookUp.ReadStatementMarks(bytes);
        } else if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            WriteDebugOutput(("Payments seen on a statement not checked: " + AnsiFromWide(path.c_str()) +
                              " cannot be read: " + Win32Reason(error) + "\n")
                                 .c_str());
        }
    }
    return true;
}

}  // namespace paylode
