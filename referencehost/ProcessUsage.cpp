/*
 * Measuring the heaps and handles of the process (see ProcessUsage.h).
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
 * goes on until the values within kHandleGap past the last open one are
 * all closed. Probing all 2^24 values a process may use would take minutes
 * under Wine, where every probe is a call to its server (about 40 us).
 */
#include "referencehost/ProcessUsage.h"

#include "common/win/Platform.h"

#include <vector>

namespace paylode::referencehost {
namespace {

// 512 closed slots in a row: ten times the handles that the host and the
// component hold at once, so a gap that long is the end of the table's
// used part. A probe of the gap costs about 20 ms under Wine.
constexpr std::uintptr_t kHandleGap = std::uintptr_t{512} * 4;
// The most handle values a process can use (16,777,216 handles).
constexpr std::uintptr_t kHandleValueLimit = std::uintptr_t{1} << 26;
// Room for the heaps of a process: a few dozen at most.
constexpr std::size_t kHeapListSize = 256;

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
    // The list is a block of one size in every measurement, however many
    // heaps there are, so that it counts the same each time.
    std::vector<HANDLE> heaps(kHeapListSize);
    DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    while (count > heaps.size()) {
        heaps.resize(count + kHeapListSize);
        count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    }
    heaps.resize(count);
    for (const HANDLE heap : heaps) usage.heapBytes += BusyBytes(heap);
    usage.handles = OpenHandles();
    return usage;
}

std::string UsageLine(int run, const ProcessUsage& usage) {
    return "run " + std::to_string(run) + ": heap bytes " + std::to_string(usage.heapBytes) + ", handles " +
           std::to_string(usage.handles);
}

}  // namespace paylode::referencehost
