/*
 * Command-line dates and the processing-date check (see ProcessingDate.h).
 */
#include "cli/ProcessingDate.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "common/HResult.h"
#include "common/LocalClock.h"
#include "common/MessageBox.h"
#include "common/OleDate.h"
#include "payments/BankingCalendar.h"

namespace paylode::cli {

std::optional<double> ParseIsoDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    int parts[3] = {};
    const std::size_t starts[3] = {0, 5, 8};
    const std::size_t lengths[3] = {4, 2, 2};
    for (int part = 0; part < 3; ++part) {
        for (std::size_t i = starts[part]; i < starts[part] + lengths[part]; ++i) {
            if (text[i] < '0' || text[i] > '9') return std::nullopt;
            parts[part] = parts[part] * 10 + (text[i] - '0');
        }
    }
    const int year = parts[0];
    const int month = parts[1];
    const int day = parts[2];
    if (year < 1900 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    // A day past the month's end would run on into the next month: refuse it.
    const double date = OleDateOfDay(year, month, day);
    DateFields fields;
    if (!FieldsFromOleDate(date, &fields) || fields.month != month || fields.day != day) return std::nullopt;
    return date;
}

std::string FormatIsoDate(double date) {
    // Only the day counts: its day part, never a time rounded past midnight.
    DateFields fields;
    if (!FieldsFromOleDate(std::trunc(date), &fields)) return "?";
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", fields.year, fields.month, fields.day);
    return text;
}

CLI::Validator IsoDate() {
    return CLI::Validator(
        [](std::string& value) -> std::string {
            return ParseIsoDate(value) ? std::string()
                                       : "'" + value + "' is not a date YYYY-MM-DD from 1900-01-01 to 9999-12-31";
        },
        "YYYY-MM-DD");
}

ProcessingDateVerdict CheckProcessingDate(double processingDate, std::optional<double> today) {
    ProcessingDateVerdict verdict;
    ScopedMessageBoxHandler capture([&verdict](const MessageRequest& request) {
        if (verdict.ok) {
            verdict.ok = false;
            verdict.caption = request.caption;
            verdict.text = request.text;
        }
        return MessageAnswer::Ok;
    });
    std::optional<ScopedLocalClock> clock;
    if (today) {
        DateFields fields;
        RequireArgument(FieldsFromOleDate(*today, &fields));
        clock.emplace(fields);
    }
    if (ValidateProcessingDate(processingDate, nullptr)) IsProcessingDateTooFar(processingDate, nullptr);
    return verdict;
}

nlohmann::ordered_json VerdictJson(const ProcessingDateVerdict& verdict) {
    nlohmann::ordered_json json;
    json["ok"] = verdict.ok;
    if (!verdict.ok) {
        json["caption"] = verdict.caption;
        json["text"] = verdict.text;
    }
    return json;
}

}  // namespace paylode::cli
