#include "tools/sql/CsvValue.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "platform/Dates.h"

namespace lumo::tools {
namespace {

// yyyy/mm/dd, with hh:mm:ss when there is a time; a time alone (a value
// of the day 1899/12/30, as #7:00# + 0.1 is) as hh:mm:ss, as Jet shows it.
std::string dateText(double value) {
    const dates::DateTime t = dates::fromAutomation(value);
    std::array<char, 48> buffer{};
    const bool hasTime = t.hour != 0 || t.minute != 0 || t.second != 0;
    if (hasTime && t.year == 1899 && t.month == 12 && t.day == 30) {
        const int length = std::snprintf(buffer.data(), buffer.size(), "%02d:%02d:%02d", t.hour, t.minute, t.second);
        return std::string(buffer.data(), static_cast<std::size_t>(length));
    }
    const int length = hasTime ? std::snprintf(buffer.data(), buffer.size(), "%04d/%02d/%02d %02d:%02d:%02d", t.year,
                                               t.month, t.day, t.hour, t.minute, t.second)
                               : std::snprintf(buffer.data(), buffer.size(), "%04d/%02d/%02d", t.year, t.month, t.day);
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

std::string doubleText(double value) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

}  // namespace

std::string csvValueText(const lumo::db::Variant& value) {
    using lumo::db::VarType;
    switch (value.type()) {
        case VarType::Empty:
        case VarType::Null:
            return {};
        case VarType::Integer:
        case VarType::Long:
            return std::to_string(value.toLong());
        case VarType::Double:
            return doubleText(value.toDouble());
        case VarType::Date:
            return dateText(value.toDate());
        case VarType::Boolean:
            return value.toBool() ? "-1" : "0";
        case VarType::String:
            return *value.stringValue();
    }
    return {};
}

}  // namespace lumo::tools
