// Format with its named and user-defined formats, and FormatNumber,
// FormatCurrency, FormatPercent and FormatDateTime. Amounts follow a
// Japanese desktop: the yen has no decimals, a negative amount is -¥1,235.
#include <array>
#include <cmath>

#include "engine/functions/DateParts.h"
#include "engine/functions/FormatText.h"
#include "engine/functions/FunctionCall.h"

namespace lumo::db::jet {
namespace {

// A value taken as a number or a date for formatting; text that is not one
// is shown as it is, as Format does.
bool numberFor(const Variant& v, double& out) {
    if (const std::string* text = v.stringValue()) return readNumber(*text, out);
    out = toNumber(v);
    return true;
}

bool dateFor(const Variant& v, double& out) {
    if (const std::string* text = v.stringValue()) return readDate(*text, out);
    out = toDate(v);
    return true;
}

std::string truthText(double value, const char* yes, const char* no) { return value != 0 ? yes : no; }

struct NamedFormat {
    std::string_view name;
    bool date;  // the value is taken as a date, else as a number
    std::string (*lay)(double value);
};

constexpr std::array kNamedFormats{
    NamedFormat{"General Number", false, [](double v) { return numberText(v); }},
    NamedFormat{"Currency", false, [](double v) { return layNumber(v, "¥#,##0;-¥#,##0"); }},
    NamedFormat{"Fixed", false, [](double v) { return layNumber(v, "0.00"); }},
    NamedFormat{"Standard", false, [](double v) { return layNumber(v, "#,##0.00"); }},
    NamedFormat{"Percent", false, [](double v) { return layNumber(v, "0.00%"); }},
    NamedFormat{"Scientific", false, [](double v) { return layNumber(v, "0.00E+00"); }},
    NamedFormat{"Yes/No", false, [](double v) { return truthText(v, "Yes", "No"); }},
    NamedFormat{"True/False", false, [](double v) { return truthText(v, "True", "False"); }},
    NamedFormat{"On/Off", false, [](double v) { return truthText(v, "On", "Off"); }},
    NamedFormat{"General Date", true, [](double v) { return dateText(v); }},
    NamedFormat{"Long Date", true, [](double v) { return longDate(v); }},
    NamedFormat{"Medium Date", true, [](double v) { return layDate(v, "yy-mm-dd", 1, 1); }},
    NamedFormat{"Short Date", true, [](double v) { return dates::formatShortDate(v); }},
    NamedFormat{"Long Time", true, [](double v) { return longTime(v); }},
    NamedFormat{"Medium Time", true, [](double v) { return layDate(v, "hh:nn AMPM", 1, 1); }},
    NamedFormat{"Short Time", true, [](double v) { return shortTime(v); }},
};

const NamedFormat* namedFormat(std::string_view name) {
    for (const NamedFormat& f : kNamedFormats) {
        if (f.name.size() != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i) same = (f.name[i] | 0x20) == (name[i] | 0x20);
        if (same) return &f;
    }
    return nullptr;
}

// Null is shown by the fourth section of a number format, or the second of
// a text format (which also shows the empty text), when there is one.
Variant formatNull(const std::string& format) {
    const std::vector<std::string_view> sections = formatSections(format);
    const FormatKind kind = formatKind(format);
    if (kind == FormatKind::Text && sections.size() >= 2) return Variant(layText("", format));
    if (sections.size() < 4 || kind != FormatKind::Number) return Variant::null();
    std::string out;
    for (const FormatPiece& p : formatPieces(sections[3])) out += p.text;
    return Variant(out);
}

// Format(expression[, format[, firstdayofweek[, firstweekofyear]]]).
Variant format(const Args& a) {
    const std::string form = a.has(1) && !a.isNull(1) ? a.text(1) : std::string();
    if (a.isNull(0)) return formatNull(form);
    const Variant& v = a[0];
    if (form.empty()) return Variant(toText(v));
    double value = 0;
    if (const NamedFormat* named = namedFormat(form)) {
        const bool known = named->date ? dateFor(v, value) : numberFor(v, value);
        return Variant(known ? named->lay(value) : toText(v));
    }
    switch (formatKind(form)) {
    case FormatKind::Number:
        return Variant(numberFor(v, value) ? layNumber(value, form) : toText(v));
    case FormatKind::Date:
        return Variant(dateFor(v, value) ? layDate(value, form, firstDayArg(a, 2), firstWeekArg(a, 3)) : toText(v));
    case FormatKind::Text: break;
    }
    return Variant(layText(toText(v), form));
}

// The optional arguments of FormatNumber, FormatCurrency and FormatPercent:
// digits after the point (-1: the desktop's), then three tristates
// (-1 yes, 0 no, -2 the desktop's) for a leading zero, parentheses around
// negative numbers and digit grouping.
std::string numberForm(const Args& a, int defaultDigits, std::string_view prefix, std::string_view suffix) {
    const int32_t digitsArg = a.wholeOr(1, -1);
    if (digitsArg < -1 || digitsArg > 99) invalidCall();
    const int digits = digitsArg == -1 ? defaultDigits : digitsArg;
    const auto tristate = [&](std::size_t i, bool byDefault) {
        if (!a.has(i) || a.isNull(i)) return byDefault;
        const int32_t n = a.whole(i);
        return n == -2 ? byDefault : n != 0;
    };
    // Without decimals the leading digit is the number itself: 0 shows as 0.
    const bool leading = tristate(2, true) || digits == 0, parens = tristate(3, false), group = tristate(4, true);
    std::string whole = group ? (leading ? "#,##0" : "#,###") : (leading ? "0" : "#");
    std::string positive = std::string(prefix) + whole + (digits > 0 ? "." + std::string(static_cast<std::size_t>(digits), '0') : "") +
                           std::string(suffix);
    return positive + ";" + (parens ? "(" + positive + ")" : "-" + positive);
}

// FormatNumber and FormatPercent round as Round does, on the value as it
// is stored: scaled to the last digit shown, a half goes to the even digit.
// 12.345 scales to exactly 1234.5 and shows as 12.34; 1.005 scales to
// 100.4999... and shows as 1.00. `scale` is 100 for a percentage.
double roundedAsShown(double value, const Args& a, int defaultDigits, double scale) {
    const int32_t digitsArg = a.wholeOr(1, -1);
    const int digits = digitsArg < 0 || digitsArg > 15 ? defaultDigits : digitsArg;
    const double factor = scale * std::pow(10.0, digits);
    const double scaled = value * factor;
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 1e15) return value;
    return std::nearbyint(scaled) / factor;  // the default rounding mode: halves to even
}

Variant formatNumber(const Args& a) {
    const std::string form = numberForm(a, 2, "", "");
    return Variant(layNumber(roundedAsShown(a.number(0), a, 2, 1), form));
}
Variant formatCurrency(const Args& a) { return Variant(layNumber(a.number(0), numberForm(a, 0, "¥", ""))); }
Variant formatPercent(const Args& a) {
    const std::string form = numberForm(a, 2, "", "%");
    return Variant(layNumber(roundedAsShown(a.number(0), a, 2, 100), form));
}

// FormatDateTime(date[, namedformat]): 0 general, 1 long date, 2 short
// date, 3 long time, 4 short time.
Variant formatDateTime(const Args& a) {
    const double value = a.date(0);
    switch (a.wholeOr(1, 0)) {
    case 0: return Variant(dateText(value));
    case 1: return Variant(longDate(value));
    case 2: return Variant(dates::formatShortDate(value));
    case 3: return Variant(longTime(value));
    case 4: return Variant(shortTime(value));
    default: invalidCall();
    }
}

constexpr std::array kFunctions{
    FunctionEntry{"Format", 1, 4, kNullNone, &format},
    FunctionEntry{"FormatNumber", 1, 5, kNullNone, &formatNumber},
    FunctionEntry{"FormatCurrency", 1, 5, kNullNone, &formatCurrency},
    FunctionEntry{"FormatPercent", 1, 5, kNullNone, &formatPercent},
    FunctionEntry{"FormatDateTime", 1, 2, kNullNone, &formatDateTime},
};

}  // namespace

std::span<const FunctionEntry> formatFunctions() { return kFunctions; }

}  // namespace lumo::db::jet
