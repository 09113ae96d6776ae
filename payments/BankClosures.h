/*
 * Days on which the banks are closed beyond the banking calendar's fixed
 * rules (payments/BankingCalendar.h): substitute days the rules miss and
 * one-off closures, read from a dated table that ships beside the modulus
 * tables ("bank-closures.txt"). The calendar's own answers do not change;
 * the table only lets a caller say that a day it accepts is a closed one.
 *
 * The table: one line a day, the date YYYY-MM-DD, one space, the reason;
 * lines that are empty or start with '#' are skipped; CR LF or LF ends.
 */
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace paylode {

// The file name of the table in its folder.
constexpr const char* kBankClosuresFileName = "bank-closures.txt";

class CBankClosures {
public:
    // Reads the table at `path`. False when it cannot be read or a line is
    // not a date and a reason (`error` then says which line and why); the
    // closures are then empty.
    bool Load(const std::filesystem::path& path, std::string* error);
    // The same from the table's text.
    bool Parse(const std::string& text, std::string* error);

    // Why the banks are closed on the day of `date` (an OLE automation date,
    // any time of day); null on any other day.
    const std::string* ReasonFor(double date) const;

    // Every closed day, by its OLE automation date at midnight.
    const std::map<long, std::string>& Days() const { return days_; }

private:
    std::map<long, std::string> days_;
};

}  // namespace paylode
