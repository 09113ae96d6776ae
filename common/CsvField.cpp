/*
 * RFC 4180 fields; see CsvField.h.
 */
#include "common/CsvField.h"

namespace paylode {

bool CsvFieldNeedsQuotes(std::string_view field) { return field.find_first_of(",\"\r\n") != std::string_view::npos; }

void AppendCsvField(std::string* line, std::string_view field) {
    if (!CsvFieldNeedsQuotes(field)) {
        line->append(field);
        return;
    }
    line->push_back('"');
    for (const char c : field) {
        if (c == '"') line->push_back('"');
        line->push_back(c);
    }
    line->push_back('"');
}

}  // namespace paylode
