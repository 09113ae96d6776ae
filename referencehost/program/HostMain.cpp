/*
 * paylode-host's entry point: the command table, the command line read as
 * UTF-8, and the one exit status for a usage error or a HostFailure.
 */
#include "common/win/Platform.h"

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "common/win/Owners.h"
#include "referencehost/program/HostCommands.h"
#include "referencehost/program/HostToolkit.h"

namespace {

// The command line as UTF-8 arguments, whatever the console's code page.
std::vector<std::string> Arguments() {
    int count = 0;
    const paylode::CLocalMemory<wchar_t*> wide(CommandLineToArgvW(GetCommandLineW(), &count));
    std::vector<std::string> arguments;
    for (int i = 0; wide && i < count; ++i) {
        arguments.push_back(paylode::Utf8FromWide(wide.Get()[i]).Bytes());
    }
    return arguments;
}

// "paylode-host pay", or "paylode-host" before a command is known.
std::string CommandName(const CLI::App& app) {
    const std::vector<CLI::App*> commands = app.get_subcommands();
    return commands.empty() ? "paylode-host" : "paylode-host " + commands.front()->get_name();
}

}  // namespace

int main() {
    using namespace paylode::hostprogram;
    // Lines end in LF, as the `paylode` tool writes them.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);

    CLI::App app{
        "paylode-host: the host application for local use. It drives the registered bank component through COM\n"
        "as the host does. Exit status 100 for a usage or input error, a component that is not registered or\n"
        "a failing call; the other statuses are each command's own.",
        "paylode-host"};
    app.require_subcommand(1);
    Outcome outcome;
    AddRegistrationCommands(app, outcome);
    AddServicesCommand(app, outcome);
    AddPayCommand(app, outcome);
    AddImportCommand(app, outcome);
    paylode::cli::RefuseOptionsAsValues(app);

    std::vector<std::string> arguments = Arguments();
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help();
        return 0;
    } catch (const CLI::ParseError& error) {
        std::cerr << CommandName(app) << ": " << error.what() << "\n";
        return kHostFailure;
    } catch (const HostFailure& failure) {
        std::cerr << CommandName(app) << ": " << failure.message << "\n";
        return kHostFailure;
    }
    return outcome.status;
}
