/*
 * What the host process holds between runs, for a host that loads the
 * component once and runs it all day (`paylode-host pay --repeat N`): the
 * bytes in use in its heaps and the handles it has open. A leak in the
 * component, the host's objects or the platform under them shows as either
 * growing from run to run.
 */
#pragma once

#include <cstdint>
#include <string>

namespace paylode::referencehost {

struct ProcessUsage {
    // The bytes of every busy block of every heap of the process (the
    // process heap, the C runtime's and any other), walked with HeapWalk.
    std::uint64_t heapBytes = 0;
    // The handles open in the process, counted by probing handle values.
    unsigned long handles = 0;
};
ProcessUsage MeasureProcessUsage();

// "run 3: heap bytes 1234567, handles 42"
std::string UsageLine(int run, const ProcessUsage& usage);

}  // namespace paylode::referencehost
