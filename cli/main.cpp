/*
 * paylode: offline tool over the bank component's portable core. It works
 * with the same payment records, banking calendar and statement reader as the
 * DLL, without Windows, for checking files and dates from a shell or script.
 */
#include <iostream>

#include "cli/Commands.h"

int main(int argc, char** argv) {
    CLI::App app{"paylode " PAYLODE_VERSION
                 " - offline tool for the Kelmar Bank Paylode bank component.\n"
                 "Works with the component's own payment records, banking calendar and\n"
                 "statement reader, without Windows."};
    app.set_version_flag("--version", "paylode " PAYLODE_VERSION);
    app.require_subcommand(0, 1);
    paylode::cli::Outcome outcome;
    paylode::cli::AddCalendarCommand(app, outcome);
    paylode::cli::AddCheckDateCommand(app, outcome);
    paylode::cli::AddCheckAccountCommand(app, outcome);
    paylode::cli::AddCheckCommand(app, outcome);
    paylode::cli::AddStatementCommand(app, outcome);
    paylode::cli::AddExportCommand(app, outcome);
    paylode::cli::AddJournalCommand(app, outcome);
    paylode::cli::AddReconcileCommand(app, outcome);
    paylode::cli::RefuseOptionsAsValues(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // Help and version end with 0; every refused command line, whichever
        // subcommand it names, with the one usage status.
        return app.exit(error) == 0 ? 0 : paylode::cli::kUsageError;
    }
    if (app.get_subcommands().empty()) {
        std::cout << app.help();
        return 0;
    }
    return outcome.status;
}
