/*
 * paylode: offline tool over the bank component's portable core. It works
 * with the same payment records, banking calendar and statement reader as the
 * DLL, natively or as paylode.exe beside the DLL on Windows, without the host
 * application, for checking files and dates from a shell or script.
 */
#include <iostream>

#include "cli/Commands.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "common/DebugOutput.h"
#include "common/MessageBox.h"

#define PAYLODE_TOOL_WITHOUT "the host application"
#else
#define PAYLODE_TOOL_WITHOUT "Windows"
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // The output is the same bytes as natively: lines end in LF, never CR LF,
    // so that scripts and the checks of the files compare alike everywhere.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // A command-line tool shows no window and writes nowhere but to its
    // streams: a message of the core goes to standard error and is answered
    // as natively (No, Cancel), and the core's debugger output goes there
    // too. Commands that answer a message themselves stand in front of this.
    paylode::ScopedMessageBoxHandler messages([](const paylode::MessageRequest& request) {
        std::fprintf(stderr, "[%s] %s\n", request.caption.c_str(), request.text.c_str());
        switch (request.buttons) {
        case paylode::MessageButtons::YesNo: return paylode::MessageAnswer::No;
        case paylode::MessageButtons::OkCancel: return paylode::MessageAnswer::Cancel;
        case paylode::MessageButtons::Ok: break;
        }
        return paylode::MessageAnswer::Ok;
    });
    paylode::ScopedDebugOutputHandler debugOutput([](const char* text) { std::fputs(text, stderr); });
#endif
    CLI::App app{"paylode " PAYLODE_VERSION
                 " - offline tool for the Kelmar Bank Paylode bank component.\n"
                 "Works with the component's own payment records, banking calendar and\n"
                 "statement reader, without " PAYLODE_TOOL_WITHOUT "."};
    // An argument that starts with "/" is a path, as natively, never a
    // Windows-style option.
    app.allow_windows_style_options(false);
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
