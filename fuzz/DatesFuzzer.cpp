// Date recognition, Jet's date literals and the date texts Jet's functions
// read. Properties: a recognised date is a valid calendar date at midnight
// whose "yyyy/mm/dd" text is recognised as the same date; a Jet date
// literal is a valid date and time that converts back to the same
// automation date; a date text read (an era's year, an English month
// name, ...) is a finite number; failures are lumo::Error.
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz/Check.h"
#include "platform/Dates.h"
#include "platform/Error.h"
#include "engine/JetDateLiteral.h"
#include "engine/functions/FunctionCall.h"

using lumo::fuzz::check;
namespace dates = lumo::dates;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (const auto day = dates::recognize(text, 2024)) {
        check(std::isfinite(*day) && *day == std::floor(*day), "a recognised date is a whole day");
        const std::string ymd = dates::formatYmd(*day);
        const auto again = dates::recognize(ymd, 2024);
        check(again && *again == *day, "yyyy/mm/dd of a recognised date is recognised as the same date");
    }
    try {
        const double value = lumo::db::jetDateLiteral(text);
        const dates::DateTime t = dates::fromAutomation(value);
        const double back = dates::toAutomation(t.year, t.month, t.day, t.hour, t.minute, t.second);
        check(std::fabs(back - value) < 1e-9, "a Jet date literal converts back to the same date");
    } catch (const lumo::Error&) {
    }
    try {
        double read = 0;
        if (lumo::db::jet::readDate(text, read)) check(std::isfinite(read), "a date text reads as a number");
    } catch (const lumo::Error&) {
    }
    return 0;
}
