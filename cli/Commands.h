/*
 * The subcommands of the `paylode` tool. Each lives in its own file and adds
 * itself to the application here; main() calls every Add function.
 */
#pragma once

#include <CLI/CLI.hpp>

namespace paylode::cli {

// Exit status of a subcommand, set by its callback.
struct Outcome {
    int status = 0;
};

}  // namespace paylode::cli
