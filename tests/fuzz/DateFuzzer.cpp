/*
 * Fuzz target: reading a statement date. Whatever the text, the result is
 * 0.0 or a whole day between the years 100 and 9999.
 */
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/OleDate.h"
#include "statements/StatementValues.h"
#include "fuzz/FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace paylode;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double date = ParseDate(text.c_str());
    fuzz::Check(std::isfinite(date) && date == std::floor(date), "a whole day");
    if (date != 0.0) {
        DateFields fields;
        fuzz::Check(FieldsFromOleDate(date, &fields), "a date that converts back");
        fuzz::Check(fields.year >= 100 && fields.year <= 9999, "a year in range");
    }
    return 0;
}
