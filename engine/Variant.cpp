#include "engine/Variant.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/Dates.h"
#include "platform/Error.h"

namespace lumo::db {
namespace {

[[noreturn]] void invalidNull() { throw Error("Null の使い方が不正です。"); }
[[noreturn]] void typeMismatch() { throw Error("型が一致しません。"); }
[[noreturn]] void overflow() { throw Error("オーバーフローしました。"); }

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

double parseNumber(const std::string& text) {
    std::string_view s = trim(text);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) typeMismatch();
    return value;
}

// Automation conversions to whole numbers round half to even.
template <typename Int>
Int roundToInt(double value) {
    if (std::isnan(value)) overflow();
    double r = std::nearbyint(value);  // default rounding mode: half to even
    if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
        r > static_cast<double>(std::numeric_limits<Int>::max()))
        overflow();
    return static_cast<Int>(r);
}

std::string formatDouble(double v) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

}  // namespace

double Variant::toDouble() const {
    switch (type()) {
    case VarType::Empty: return 0;
    case VarType::Null: invalidNull();
    case VarType::Integer: return std::get<int16_t>(v_);
    case VarType::Long: return std::get<int32_t>(v_);
    case VarType::Double: return std::get<double>(v_);
    case VarType::Date: return std::get<DateTag>(v_).value;
    case VarType::Boolean: return std::get<bool>(v_) ? -1 : 0;
    case VarType::String: return parseNumber(std::get<std::string>(v_));
    }
    typeMismatch();
}

int32_t Variant::toLong() const {
    switch (type()) {
    case VarType::Integer: return std::get<int16_t>(v_);
    case VarType::Long: return std::get<int32_t>(v_);
    default: return roundToInt<int32_t>(toDouble());
    }
}

int16_t Variant::toInteger() const {
    if (type() == VarType::Integer) return std::get<int16_t>(v_);
    return roundToInt<int16_t>(toDouble());
}

double Variant::toDate() const {
    if (type() == VarType::String) {
        const std::string& s = std::get<std::string>(v_);
        if (auto d = dates::recognize(s)) return *d;
        return parseNumber(s);
    }
    return toDouble();
}

bool Variant::toBool() const {
    if (type() == VarType::Boolean) return std::get<bool>(v_);
    if (type() == VarType::String) {
        std::string_view s = trim(std::get<std::string>(v_));
        if (s.size() == 4 && (s == "True" || s == "TRUE" || s == "true")) return true;
        if (s.size() == 5 && (s == "False" || s == "FALSE" || s == "false")) return false;
    }
    return toDouble() != 0;
}

std::string Variant::toString() const {
    switch (type()) {
    case VarType::Empty: return {};
    case VarType::Null: invalidNull();
    case VarType::Integer: return std::to_string(std::get<int16_t>(v_));
    case VarType::Long: return std::to_string(std::get<int32_t>(v_));
    case VarType::Double: return formatDouble(std::get<double>(v_));
    case VarType::Date: return dates::formatDefault(std::get<DateTag>(v_).value);
    case VarType::Boolean: return std::get<bool>(v_) ? "True" : "False";
    case VarType::String: return std::get<std::string>(v_);
    }
    typeMismatch();
}

}  // namespace lumo::db
