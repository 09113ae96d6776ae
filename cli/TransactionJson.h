/*
 * One imported transaction as a JSON line, as the host's statement receives
 * it: {"ID":1,"Date":45352,"Type":0,"Amount":12.5,"Reference":"…",
 * "Description":"…"}. `paylode statement --sort-code --account` and
 * `paylode-host import` both print it, so their lines can be compared.
 */
#pragma once

#include <cmath>
#include <string>

#include <nlohmann/json.hpp>

#include "common/TextConversion.h"

namespace paylode::cli {

// A number as JSON; one that is not finite as the text "inf", "-inf" or "nan".
inline nlohmann::ordered_json JsonNumber(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    return value;
}

// Texts in UTF-8.
inline nlohmann::ordered_json TransactionJson(long id, double date, long type, double amount,
                                              const Utf8Text& reference, const Utf8Text& description) {
    nlohmann::ordered_json json;
    json["ID"] = id;
    json["Date"] = JsonNumber(date);
    json["Type"] = type;
    json["Amount"] = JsonNumber(amount);
    json["Reference"] = reference.Bytes();
    json["Description"] = description.Bytes();
    return json;
}

}  // namespace paylode::cli
