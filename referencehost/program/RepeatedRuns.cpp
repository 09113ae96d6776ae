/*
 * Running a command's run N times in one process (see RepeatedRuns.h).
 */
#include "referencehost/program/RepeatedRuns.h"

#include <iostream>

#include "referencehost/ProcessUsage.h"
#include "referencehost/program/HostToolkit.h"

namespace paylode::hostprogram {

using referencehost::MeasureProcessUsage;
using referencehost::UsageLine;

void AddRepeatOption(CLI::App& command, int& runs) {
    command
        .add_option("--repeat", runs,
                    "run N times in this process, each followed on standard error by the bytes in use in its "
                    "heaps and its open handles")
        ->check([](const std::string& text) {
            // Plain decimal digits, no leading zero: the option's reader
            // would take "010" as octal.
            const bool positive = !text.empty() && text.size() <= 9 && text[0] != '0' &&
                                  text.find_first_not_of("0123456789") == std::string::npos;
            return positive ? std::string() : "--repeat must be a whole number from 1, written without a leading 0";
        });
}

int RunRepeatedly(int runs, const char* command, const std::function<int()>& run) {
    if (runs == 0) return run();
    int status = 0;
    for (int k = 1; k <= runs; ++k) {
        try {
            status = run();
        } catch (const HostFailure& failure) {
            std::cerr << command << ": " << failure.message << "\n";
            status = kHostFailure;
        }
        std::cerr << UsageLine(k, MeasureProcessUsage()) << "\n";
    }
    return status;
}

}  // namespace paylode::hostprogram
