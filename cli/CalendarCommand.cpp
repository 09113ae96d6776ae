/*
 * `paylode calendar FROM [TO]`: the banking calendar day by day, one JSON
 * object a line: whether the day is a banking day, why not, how many days on
 * the next likely banking day lies, and the next available crediting date
 * that the payment options dialog would propose on that day; and, for a day
 * in the table of bank closures, why the banks are closed.
 */
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "cli/Commands.h"
#include "cli/ProcessingDate.h"
#include "payments/BankingCalendar.h"

#ifdef _WIN32
#include "cli/win/ProgramFolder.h"
#endif

namespace paylode::cli {

std::string ModulusTablesFolder() {
#ifdef _WIN32
    return PathBesideProgram("modulus");
#else
    return PAYLODE_MODULUS_TABLES_DIR;
#endif
}

const CBankClosures& ToolBankClosures() {
    static const CBankClosures closures = [] {
        CBankClosures table;
        std::string error;
        if (!table.Load(std::filesystem::u8path(ModulusTablesFolder()) / kBankClosuresFileName, &error)) {
            std::cerr << "paylode: no table of bank closures: " << error << '\n';
        }
        return table;
    }();
    return closures;
}

void AddCalendarCommand(CLI::App& app, Outcome& outcome) {
    struct Arguments {
        std::string from;
        std::string to;
    };
    auto arguments = std::make_shared<Arguments>();
    CLI::App* command =
        app.add_subcommand("calendar",
                           "Banking days from FROM to TO (or FROM alone), one JSON object a line:\n"
                           "{\"date\",\"banking\",\"reason\" (0 banking day, 1 bank holiday, 2 weekend),\n"
                           "\"days\" (to the next likely banking day),\"next\" (next crediting date),\n"
                           "\"closed\" (why the banks are closed, for a day in the table of bank closures)}");
    command->add_option("FROM", arguments->from, "first day, YYYY-MM-DD")->required()->check(IsoDate());
    command->add_option("TO", arguments->to, "last day, YYYY-MM-DD (default: FROM)")->check(IsoDate());
    command->callback([arguments, &outcome] {
        const double from = *ParseIsoDate(arguments->from);
        const double to = arguments->to.empty() ? from : *ParseIsoDate(arguments->to);
        if (to < from) throw CLI::ValidationError("TO", "TO " + arguments->to + " is before FROM " + arguments->from);
        for (double day = from; day <= to; ++day) {
            int daysToNext = 0;
            int reason = 0;
            const bool banking = IsBankingDay(day, &daysToNext, &reason);
            nlohmann::ordered_json line;
            line["date"] = FormatIsoDate(day);
            line["banking"] = banking;
            line["reason"] = reason;
            line["days"] = daysToNext;
            line["next"] = FormatIsoDate(GetNextCreditingDate(day));
            if (const std::string* closed = ToolBankClosures().ReasonFor(day)) line["closed"] = *closed;
            std::cout << line.dump() << '\n';
        }
        std::cout.flush();
        outcome.status = std::cout ? 0 : 1;
    });
}

}  // namespace paylode::cli
