/*
 * `--repeat N` of paylode-host's pay and import: the host that loads the
 * component once and runs it all day. The runs share the process and its
 * apartment; after each, the process's heap bytes and handles are printed
 * (referencehost/ProcessUsage.h).
 */
#pragma once

#include <functional>

#include <CLI/CLI.hpp>

namespace paylode::hostprogram {

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
