/*
 * Option values that are really the next option, and the payment format
 * option (see Commands.h).
 */
#include <string>

#include "cli/Commands.h"

namespace paylode::cli {
namespace {

// Whether `value` is written as an option of `command` or of the tool
// itself: "--name", "--name=..." or "-x".
bool NamesAnOption(const CLI::App& command, const std::string& value) {
    if (value.size() < 2 || value[0] != '-') return false;
    const std::string name = value.substr(0, value.find('='));
    for (const CLI::App* app = &command; app != nullptr; app = app->get_parent()) {
        for (const CLI::Option* option : app->get_options()) {
            if (option->nonpositional() && option->check_name(name)) return true;
        }
    }
    return false;
}

}  // namespace

const char kPaymentFormatHelp[] =
    "0 Standard Domestic/IATs, 1 Use a Template for Domestic/IAT, 2 Bulk List Payments, 3 Ad Hoc Bulk Payments";

void AddPaymentFormatOption(CLI::App& command, PaymentFormat* format) {
    // The range check refuses every other value before the number is taken.
    command
        .add_option_function<int>(
            "--format", [format](const int& number) { PaymentFormatFromNumber(number, format); }, kPaymentFormatHelp)
        ->required()
        ->check(
            CLI::Range(PaymentFormatNumber(PaymentFormat::Standard), PaymentFormatNumber(PaymentFormat::AdHocBulk)));
}

void RefuseOptionsAsValues(CLI::App& app) {
    for (CLI::App* command : app.get_subcommands([](CLI::App*) { return true; })) {
        for (CLI::Option* option : command->get_options()) {
            if (!option->nonpositional() || option->get_type_size_max() == 0) continue;
            option->check(CLI::Validator(
                [command](std::string& value) -> std::string {
                    if (!NamesAnOption(*command, value)) return {};
                    return "needs a value, not the option " + value;
                },
                ""));
        }
    }
}

}  // namespace paylode::cli
