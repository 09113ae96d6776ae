/*
 * What the host process holds between runs, for a host that loads the
 * component once and runs it all day (`--repeat N` of pay and import): the
 * bytes in use in its heaps and the handles it has open. A leak in the
 * component or in the host's objects shows as either growing from run to
 * run.
 */
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <CLI/CLI.hpp>

namespace paylode::hostprogram {

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

// --repeat N of a command: `runs` stays 0 when the option is not given.
void AddRepeatOption(CLI::App& command, int& runs);

// Runs `run` once when `runs` is 0, as the command always did. Otherwise
// `runs` times in this process, each run's usual output in order and after
// each its UsageLine on standard error; a run that ends with a HostFailure
// prints it as the program would ("COMMAND: message") and counts as
// kHostFailure, and the next run still goes. The exit status is that of the
// last run.
int RunRepeatedly(int runs, const char* command, const std::function<int()>& run);

}  // namespace paylode::hostprogram
