#include "engine/functions/FunctionCall.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>
#include <optional>

#include "platform/Dates.h"
#include "platform/Error.h"
#include "engine/JetDateLiteral.h"
#include "engine/functions/DateParts.h"
#include "engine/functions/KanaWidth.h"

namespace lumo::db::jet {
namespace {

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool skipPrefix(std::string_view& s, std::string_view prefix) {
    if (!s.starts_with(prefix)) return false;
    s.remove_prefix(prefix.size());
    return true;
}

// The yen sign a user may type before an amount: ¥, full-width ￥, or the
// backslash that stands for it in the Japanese code page.
bool skipYen(std::string_view& s) { return skipPrefix(s, "\u00A5") || skipPrefix(s, "\uFFE5") || skipPrefix(s, "\\"); }

// &H and &O literals as Jet reads them: up to 16 bits they are an Integer,
// up to 32 bits a Long, so &HFFFF is -1 and &H10000 is 65536.
bool readRadix(std::string_view s, double& out) {
    if (s.size() < 3 || s[0] != '&') return false;
    const char kind = static_cast<char>(s[1] & ~0x20);
    const int base = kind == 'H' ? 16 : kind == 'O' ? 8 : 0;
    if (base == 0) return false;
    uint64_t value = 0;
    for (char c : s.substr(2)) {
        int digit = c >= '0' && c <= '9' ? c - '0' : (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10 : 99;
        if (digit >= base) return false;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
        if (value > 0xFFFFFFFFu) overflow();
    }
    if (value <= 0xFFFF) out = static_cast<int16_t>(static_cast<uint16_t>(value));
    else out = static_cast<int32_t>(static_cast<uint32_t>(value));
    return true;
}

Variant fromSqlite(sqlite3_value* value) {
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL: return Variant::null();
    case SQLITE_INTEGER: {
        const sqlite3_int64 n = sqlite3_value_int64(value);
        if (n >= std::numeric_limits<int32_t>::min() && n <= std::numeric_limits<int32_t>::max())
            return Variant(static_cast<int32_t>(n));
        return Variant(static_cast<double>(n));
    }
    case SQLITE_FLOAT:
        if (sqlite3_value_subtype(value) == kDateSubtype) return Variant::date(sqlite3_value_double(value));
        return Variant(sqlite3_value_double(value));
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
        if (!text) throw std::bad_alloc();
        return Variant(std::string(text, static_cast<std::size_t>(sqlite3_value_bytes(value))));
    }
    }
}

void toSqlite(sqlite3_context* context, const Variant& result) {
    switch (result.type()) {
    case VarType::Empty:
    case VarType::Null: sqlite3_result_null(context); return;
    case VarType::Integer:
        sqlite3_result_int64(context, result.toLong());
        sqlite3_result_subtype(context, kIntegerSubtype);
        return;
    case VarType::Long: sqlite3_result_int64(context, result.toLong()); return;
    case VarType::Boolean:
        sqlite3_result_int(context, result.toBool() ? -1 : 0);
        sqlite3_result_subtype(context, kBooleanSubtype);
        return;
    // Without the sign of a zero, as the operators write it (Fix(-0.1) is 0).
    case VarType::Double: sqlite3_result_double(context, result.toDouble() + 0.0); return;
    case VarType::Date:
        sqlite3_result_double(context, result.toDate());
        sqlite3_result_subtype(context, kDateSubtype);
        return;
    case VarType::String: {
        const std::string& text = *result.stringValue();
        sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return;
    }
    }
}

}  // namespace

void invalidCall() { throw Error("プロシージャの呼び出し、または引数が不正です。"); }
void typeMismatch() { throw Error("型が一致しません。"); }
void overflow() { throw Error("オーバーフローしました。"); }
void divisionByZero() { throw Error("0 で除算しました。"); }
void invalidNull() { throw Error("Null の使い方が不正です。"); }

bool readNumber(std::string_view text, double& out) {
    // A Japanese user types amounts in full width as often as not
    // (１，０００, －５, ＋１２．５, an ideographic space around them), and
    // Jet reads them, and a mix of the two widths, as the narrow ones.
    std::string narrow;
    if (std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
        narrow = toNarrow(text);
        text = narrow;
    }
    std::string_view s = trimBlanks(text);
    if (readRadix(s, out)) return true;
    bool yen = skipYen(s);
    // One sign before the number, blanks between allowed (- 5), or one
    // after it (5-, 5 -), or parentheses around it: (5) is -5.
    const auto isSign = [](char c) { return c == '-' || c == '+'; };
    bool negative = false;
    if (s.size() > 1 && s.front() == '(' && s.back() == ')') {
        negative = true;
        s = trimBlanks(s.substr(1, s.size() - 2));
    } else if (!s.empty() && isSign(s.front())) {
        negative = s.front() == '-';
        s = trimBlanks(s.substr(1));
    } else if (!s.empty() && isSign(s.back())) {
        negative = s.back() == '-';
        s = trimBlanks(s.substr(0, s.size() - 1));
    }
    if (!yen) yen = skipYen(s);
    // Thousands commas are dropped wherever they stand in the whole part.
    std::string plain;
    bool digits = false, point = false;
    std::size_t i = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            plain += c;
            digits = true;
        } else if (c == ',' && !point && digits) {
        } else if (c == '.' && !point) {
            plain += c;
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return false;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        plain += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) plain += s[i++];
        const std::size_t start = i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') plain += s[i++];
        if (i == start) return false;
    }
    if (i != s.size()) return false;
    const double value = std::strtod(plain.c_str(), nullptr);
    if (!std::isfinite(value)) overflow();
    out = negative ? -value : value;
    return true;
}

double toNumber(const Variant& v) {
    switch (v.type()) {
    case VarType::Null: invalidNull();
    case VarType::String: {
        double value = 0;
        if (!readNumber(*v.stringValue(), value)) typeMismatch();
        return value;
    }
    default: return v.toDouble();
    }
}

int32_t toLong(const Variant& v) {
    const double r = std::nearbyint(toNumber(v));
    if (!(r >= std::numeric_limits<int32_t>::min() && r <= std::numeric_limits<int32_t>::max())) overflow();
    return static_cast<int32_t>(r);
}

// The long date of a Japanese desktop, 2024年1月31日 (or 1月31日, this
// year), read as 2024/1/31; nothing when `text` is not written so.
std::optional<std::string> fromLongDate(std::string_view text) {
    const std::size_t month = text.find("月");
    const std::size_t day = text.find("日");
    if (month == std::string_view::npos || day == std::string_view::npos || day < month) return std::nullopt;
    std::string out(text.substr(0, day));
    out.replace(month, std::string_view("月").size(), "/");
    if (const std::size_t year = out.find("年"); year != std::string::npos && year < month)
        out.replace(year, std::string_view("年").size(), "/");
    return out.append(text.substr(day + std::string_view("日").size()));
}

bool readDate(std::string_view text, double& out) {
    if (const auto western = westernYear(text)) return readDate(*western, out);
    if (const auto longDate = fromLongDate(text)) return readDate(*longDate, out);
    if (const auto english = fromEnglishMonth(text)) return readDate(*english, out);
    if (const auto desktop = dates::recognize(text)) {
        out = *desktop;
        return true;
    }
    if (trimBlanks(text).empty()) return false;
    try {
        out = jetDateLiteral(text);
        return true;
    } catch (const Error&) {
        return false;
    }
}

double toDate(const Variant& v) {
    double value = 0;
    if (v.type() == VarType::String) {
        if (!readDate(*v.stringValue(), value)) typeMismatch();
        return value;
    }
    value = toNumber(v);
    // The range an automation date covers: 0100/01/01 to 9999/12/31.
    if (!(value > -657435.0 && value < 2958466.0)) overflow();
    return value;
}

bool toBool(const Variant& v) {
    if (v.type() == VarType::String) {
        const std::string_view s = trimBlanks(*v.stringValue());
        const auto is = [&](std::string_view word) {
            if (s.size() != word.size()) return false;
            for (std::size_t i = 0; i < s.size(); ++i)
                if ((s[i] | 0x20) != word[i]) return false;
            return true;
        };
        if (is("true")) return true;
        if (is("false")) return false;
    }
    return toNumber(v) != 0;
}

std::string numberText(double value) {
    if (value == 0) return "0";
    char text[40];
    std::snprintf(text, sizeof text, "%.15G", value);
    return text;
}

std::string dateText(double value) {
    const dates::DateTime dt = dates::fromAutomation(value);
    const bool hasTime = dt.hour != 0 || dt.minute != 0 || dt.second != 0;
    const bool hasDate = !(dt.year == 1899 && dt.month == 12 && dt.day == 30);
    std::string text;
    if (hasDate) text = dates::formatYmd(value);
    if (hasTime || !hasDate) {
        char time[16];
        std::snprintf(time, sizeof time, "%s%d:%02d:%02d", hasDate ? " " : "", dt.hour, dt.minute, dt.second);
        text += time;
    }
    return text;
}

std::string toText(const Variant& v) {
    switch (v.type()) {
    case VarType::Null: invalidNull();
    case VarType::Double: return numberText(v.toDouble());
    case VarType::Date: return dateText(v.toDate());
    default: return v.toString();
    }
}

std::string joinedText(sqlite3_value* value) {
    if (sqlite3_value_type(value) == SQLITE_FLOAT) return toText(fromSqlite(value));
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    if (!text) throw std::bad_alloc();
    return std::string(text, static_cast<std::size_t>(sqlite3_value_bytes(value)));
}

double fromDaySeconds(double day, double seconds) {
    const double fraction = seconds / 86400.0;
    return day < 0 ? day - fraction : day + fraction;
}

Variant wholeNumber(double value) {
    if (value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max())
        return Variant(static_cast<int32_t>(value));
    return Variant(value);
}

Args::Args(int argc, sqlite3_value** argv) : argv_(argv) {
    values_.reserve(static_cast<std::size_t>(argc));
    for (int i = 0; i < argc; ++i) values_.push_back(fromSqlite(argv[i]));
}

void callEntry(sqlite3_context* context, int argc, sqlite3_value** argv) {
    const auto& entry = *static_cast<const FunctionEntry*>(sqlite3_user_data(context));
    try {
        if (argc < entry.minArgs || (entry.maxArgs >= 0 && argc > entry.maxArgs))
            throw Error("関数 '" + std::string(entry.name) + "' の引数の数が正しくありません。");
        const Args args(argc, argv);
        for (std::size_t i = 0; i < args.size() && i < 32; ++i) {
            if ((entry.nullGivesNull >> i & 1u) && args.isNull(i)) {
                sqlite3_result_null(context);
                return;
            }
        }
        const Variant result = entry.call(args);
        if (entry.textOnly && result.isNull()) invalidNull();
        toSqlite(context, result);
        // A text is never tagged: the tag would make the next function read it as a number.
        if (entry.resultSubtype != 0 && !result.isNull() && result.type() != VarType::String)
            sqlite3_result_subtype(context, entry.resultSubtype);
    } catch (const Error& e) {
        sqlite3_result_error(context, e.what(), -1);
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(context);
    }
}

}  // namespace lumo::db::jet
