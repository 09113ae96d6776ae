/*
 * Statement files for the benchmarks, written the way the bank's e-banking
 * service exports them: a header line, then one transaction a line ended by
 * CR LF, in the short (14-field) or long (18-field) layout. The lines carry
 * what a bank writes: quoted names and branch names holding commas, dates
 * day first and year first, debits and credits with thousands separators,
 * cheque numbers in the narrative.
 */
#pragma once

#include <string>

namespace paylode::bench {

// Lines of one day in the usual statement: a few hundred transactions a day.
constexpr long kLinesADay = 400;

// Writes `lines` transaction lines of `fields` fields (14 or 18) to `path`,
// `linesADay` lines to each date (1: the date changes on every line). False
// when the file cannot be written.
bool WriteStatementFile(const std::string& path, long lines, int fields, long linesADay = kLinesADay);

}  // namespace paylode::bench
