/*
 * Calendar dates on the command line, and the processing-date check that the
 * payment options dialog makes on OK, for the tool's subcommands.
 *
 * Dates are written YYYY-MM-DD and become OLE automation dates at midnight.
 * The check runs the component's own checks (not in the past and a banking
 * day, then at most 45 days ahead) against a chosen today or the machine's
 * local date, and returns the message the user would have been shown instead
 * of showing it.
 */
#pragma once

#include <optional>
#include <string>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "common/OleDate.h"

namespace paylode::cli {

// Refuses option values that ParseIsoDate does not take.
CLI::Validator IsoDate();

struct ProcessingDateVerdict {
    bool ok = true;
    std::string caption;  // of the message the dialog would show; empty when ok
    std::string text;
};

// The dialog's checks of a processing date on OK: the first message that
// would be shown, or ok. Without `today`, today is the local clock's.
ProcessingDateVerdict CheckProcessingDate(double processingDate, std::optional<double> today);

// {"ok":true}, or {"ok":false,"caption":...,"text":...}.
nlohmann::ordered_json VerdictJson(const ProcessingDateVerdict& verdict);

}  // namespace paylode::cli
