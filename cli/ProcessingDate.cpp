/*
 * Command-line dates and the processing-date check (see ProcessingDate.h).
 */
#include "cli/ProcessingDate.h"

#include <optional>

#include "common/HResult.h"
#include "common/LocalClock.h"
#include "common/MessageBox.h"
#include "common/OleDate.h"
#include "payments/BankingCalendar.h"

namespace paylode::cli {

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
