/*
 * One field of a comma-separated line as RFC 4180 writes it: a field that
 * holds a comma, a double quote, a carriage return or a line feed goes
 * between double quotes, each quote inside doubled; any other field is
 * written as it is. The statuses listing of the tools and the payment
 * journal write their fields through here, so that both quote alike.
 */
#pragma once

#include <string>
#include <string_view>

namespace paylode {

// Whether `field` must be quoted.
bool CsvFieldNeedsQuotes(std::string_view field);

// Appends `field` to `line`, quoted when it needs it.
void AppendCsvField(std::string* line, std::string_view field);

}  // namespace paylode
