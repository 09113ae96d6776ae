/*
 * Fuzz target: reading a statement amount. Whatever the text, the result is
 * a finite amount of at least 0.
 */
#include <cstddef>
#include <cstdint>
#include <string>

#include "statements/StatementValues.h"
#include "fuzz/FuzzChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace paylode;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double amount = ParseAmount(text.c_str());
    fuzz::Check(std::isfinite(amount) && amount >= 0, "a finite amount of at least 0");
    return 0;
}
