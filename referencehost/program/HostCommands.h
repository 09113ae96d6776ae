/*
 * paylode-host's commands, each in a file of its own and added to the
 * program by its Add function; each sets `outcome` to its exit status.
 */
#pragma once

#include <CLI/CLI.hpp>

#include "referencehost/program/HostToolkit.h"

namespace paylode::hostprogram {

void AddRegistrationCommands(CLI::App& app, Outcome& outcome);
void AddServicesCommand(CLI::App& app, Outcome& outcome);
void AddPayCommand(CLI::App& app, Outcome& outcome);
void AddImportCommand(CLI::App& app, Outcome& outcome);

}  // namespace paylode::hostprogram
