/*
 * The subcommands of the `paylode` tool. Each lives in its own file
 * (cli/<Name>Command.cpp) and adds itself to the application through an Add
 * function declared here; main() calls every Add function. A subcommand's
 * callback sets the exit status in the shared Outcome.
 */
#pragma once

#include <CLI/CLI.hpp>

namespace paylode::cli {

struct Outcome {
    int status = 0;
};

void AddCalendarCommand(CLI::App& app, Outcome& outcome);
void AddCheckDateCommand(CLI::App& app, Outcome& outcome);
void AddStatementCommand(CLI::App& app, Outcome& outcome);
// paylode export: the payment file for a batch of payments (cli/ExportCommand.cpp).
void AddExportCommand(CLI::App& app, Outcome& outcome);

}  // namespace paylode::cli
