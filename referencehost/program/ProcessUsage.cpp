/*
 * Measuring the heaps and handles of the host process (see ProcessUsage.h).
 *
 * Heaps: every heap that GetProcessHeaps names is walked, each locked for
 * its walk so that no other thread changes it meanwhile. The C runtime
 * (msvcrt.dll, shared by the program, the component and the reference host)
 * allocates from a heap of that list, so malloc and new are counted with
 * the rest. Only busy blocks count, by their size as allocated.
 *
 * Handles: the platform's handle counts (GetProcessHandleCount) answer 0
 * under Wine, so handle values are probed instead: a value names an open
 * handle when GetHandleInformation succeeds on it. Handle values are
 * multiples of 4 from 4, and the process's handle table hands out a free
 * slot (Wine the lowest, Windows the last freed) before it grows, so the
 * open handles lie packed at its start, a leaked one among them. The probe
 * goes on until kHandleGap values in a row past the last open one are
 * closed. Probing all 2^24 values a process may use would take minutes
 * under Wine, where every probe is a call to its server (about 40 us).
 */
#include "referencehost/program/ProcessUsage.h"

#include "common/win/Platform.h"

#include <iostream>
#include <vector>

#include "referencehost/program/HostToolkit.h"

namespace paylode::hostprogram {
namespace {

// 512 closed slots in a row: ten times the handles that the host and the
// component hold at once, so a gap that long is the end of the table's
// used part. A probe of the gap costs about 20 ms under Wine.
constexpr std::uintptr_t kHandleGap = std::uintptr_t{512} * 4;
// The most handle values a process can use (16,777,216 handles).
constexpr std::uintptr_t kHandleValueLimit = std::uintptr_t{1} << 26;

std::uint64_t BusyBytes(HANDLE heap) {
    std::uint64_t bytes = 0;
    if (!HeapLock(heap)) return 0;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heap, &entry)) {
        if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) bytes += entry.cbData;
    }
    HeapUnlock(heap);
    return bytes;
}

unsigned long OpenHandles() {
    unsigned long count = 0;
    std::uintptr_t bound = kHandleGap;
    for (std::uintptr_t value = 4; value < bound && value < kHandleValueLimit; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            ++count;
            bound = value + kHandleGap;
        }
    }
    return count;
}

}  // namespace

ProcessUsage MeasureProcessUsage() {
    ProcessUsage usage;
    // The list is sized before the walk, so that it is the same block in
    // every measurement.
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    const DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    heaps.resize(count <= heaps.size() ? count : heaps.size());
    for (const HANDLE heap : heaps) usage.heapBytes += BusyBytes(heap);
    usage.handles = OpenHandles();
    return usage;
}

std::string UsageLine(int run, const ProcessUsage& usage) {
    return "run " + std::to_string(run) + ": heap bytes " + std::to_string(usage.heapBytes) + ", handles " +
           std::to_string(usage.handles);
}

void AddRepeatOption(CLI::App& command, int& runs) {
    command
        .add_option("--repeat", runs,
                    "run N times in this process, each followed on standard error by the bytes in use in its "
                    "heaps and its open handles")
        ->check([](const std::string& text) {
            // Plain decimal digits, no leading zero: the option's reader
            // would take "010" as octal.
            const bool positive = !text.empty() && text.size() <= 9 && text[0] != '0' &&
                                  text.find_first_not_of("0123456789") == std::string::npos;
            return positive ? std::string() : "--repeat must be a whole number from 1, written without a leading 0";
        });
}

int RunRepeatedly(int runs, const char* command, const std::function<int()>& run) {
    if (runs == 0) return run();
    int status = 0;
    for (int k = 1; k <= runs; ++k) {
        try {
            status = run();
        } catch (const HostFailure& failure) {
            std::cerr << command << ": " << failure.message << "\n";
            status = kHostFailure;
        }
        std::cerr << UsageLine(k, MeasureProcessUsage()) << "\n";
    }
    return status;
}

}  // namespace paylode::hostprogram
