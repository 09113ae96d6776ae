/*
 * The table of bank closures (see BankClosures.h).
 */
#include "payments/BankClosures.h"

#include <cmath>
#include <optional>

#include "common/FileSystem.h"
#include "common/OleDate.h"

namespace paylode {

bool CBankClosures::Load(const std::filesystem::path& path, std::string* error) {
    std::string why;
    const std::optional<std::string> text = ReadWholeFile(path, &why);
    if (!text) {
        days_.clear();
        if (error != nullptr) *error = path.u8string() + " " + why;
        return false;
    }
    return Parse(*text, error);
}

bool CBankClosures::Parse(const std::string& text, std::string* error) {
    std::map<long, std::string> days;
    int number = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const std::optional<double> date = ParseIsoDate(line.substr(0, 10));
        const bool reasoned = line.size() > 11 && line[10] == ' ' && line[11] != ' ';
        const char* why = !date ? "does not start with a date YYYY-MM-DD"
                          : !reasoned ? "has no reason after one space"
                          : days.count(static_cast<long>(*date)) != 0 ? "repeats an earlier date"
                                                                       : nullptr;
        if (why != nullptr) {
            days_.clear();
            if (error != nullptr) *error = "line " + std::to_string(number) + " " + why;
            return false;
        }
        days.emplace(static_cast<long>(*date), line.substr(11));
    }
    days_ = std::move(days);
    return true;
}

const std::string* CBankClosures::ReasonFor(double date) const {
    const auto found = days_.find(static_cast<long>(std::floor(date)));
    return found == days_.end() ? nullptr : &found->second;
}

}  // namespace paylode
