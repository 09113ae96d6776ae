/*
 * `paylode check-date DATE [--today DATE]`: the checks the payment options
 * dialog makes on OK for a processing date, and the message it would show;
 * for a date in the table of bank closures, also why the banks are closed.
 * Exit status 0 when the date would be accepted, 1 when refused (by the
 * computed calendar alone).
 */
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli/Commands.h"
#include "cli/ProcessingDate.h"

namespace paylode::cli {

void AddCheckDateCommand(CLI::App& app, Outcome& outcome) {
    struct Arguments {
        std::string date;
        std::string today;
    };
    auto arguments = std::make_shared<Arguments>();
    CLI::App* command =
        app.add_subcommand("check-date",
                           "Checks a processing date as the payment options dialog does on OK; prints\n"
                           "{\"ok\":true} or {\"ok\":false,\"caption\":...,\"text\":...}, with \"closed\":REASON\n"
                           "for a date in the table of bank closures; exit status 0 or 1");
    command->add_option("DATE", arguments->date, "processing date, YYYY-MM-DD")->required()->check(IsoDate());
    command->add_option("--today", arguments->today, "today's date, YYYY-MM-DD (default: the local date)")
        ->check(IsoDate());
    command->callback([arguments, &outcome] {
        std::optional<double> today;
        if (!arguments->today.empty()) today = ParseIsoDate(arguments->today);
        const double date = *ParseIsoDate(arguments->date);
        const ProcessingDateVerdict verdict = CheckProcessingDate(date, today);
        nlohmann::ordered_json json = VerdictJson(verdict);
        if (const std::string* closed = ToolBankClosures().ReasonFor(date)) json["closed"] = *closed;
        std::cout << json.dump() << std::endl;
        outcome.status = verdict.ok ? 0 : 1;
    });
}

}  // namespace paylode::cli
