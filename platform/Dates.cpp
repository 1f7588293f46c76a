#include "platform/Dates.h"

#include "platform/Error.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace lumo::dates {
namespace {

constexpr int kMinYear = 100;
constexpr int kMaxYear = 9999;
constexpr long kSecondsPerDay = 86400;
// Day numbers of 0100-01-01 and 9999-12-31, the range an automation date covers.
constexpr long kFirstDay = -657434;
constexpr long kLastDay = 2958465;
// Days from 1970-01-01 back to the automation epoch 1899-12-30.
constexpr long kEpochFromUnix = 25569;

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[static_cast<std::size_t>(month - 1)];
}

bool isValidDate(int year, int month, int day) {
    return year >= kMinYear && year <= kMaxYear && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, month);
}

// Proleptic Gregorian day counting in 400-year eras (146097 days each),
// with years starting in March so that the leap day is the last day of a
// year. Only years 100..9999 reach here, so every era index is positive.
long unixDayFromCivil(int year, int month, int day) {
    const long y = year - (month <= 2 ? 1 : 0);
    const long era = y / 400;
    const long yearOfEra = y - era * 400;
    const long dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void civilFromUnixDay(long unixDay, DateTime& out) {
    const long z = unixDay + 719468;
    const long era = z / 146097;
    const long dayOfEra = z - era * 146097;
    const long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long mp = (5 * dayOfYear + 2) / 153;
    const long month = mp < 10 ? mp + 3 : mp - 9;
    out.day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    out.month = static_cast<int>(month);
    out.year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

// Written digit by digit: the export formats two dates per person, and
// snprintf's format parsing cost more than the rest of the conversion.
std::string ymdText(const DateTime& dt) {
    std::string text = "0000/00/00";
    auto put = [&](std::size_t end, int value, int width) {
        for (int i = 0; i < width; ++i, value /= 10) text[end - static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
    };
    put(3, dt.year, 4);
    put(6, dt.month, 2);
    put(9, dt.day, 2);
    return text;
}

std::tm localNow() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr) throw Error("現在の日時を取得できません");
    return tm;
}

// Recognised date forms (after trimming blanks, i.e. spaces and tabs, at
// both ends), as a Japanese desktop reads dates in year-month-day order:
//
//   yyyy/mm/dd  yyyy/m/d   four-digit year, one- or two-digit month and day
//   yy/mm/dd    yy/m/d     two-digit year: 00-29 -> 2000-2029, 30-99 -> 1930-1999
//   mm/dd       m/d        month and day in the year the caller names
//
// The separator is '/' or '-', the same one throughout a date. Only ASCII
// digits count. Everything else is not a date: a trailing time or text,
// one-, three- or five-digit years, three-digit months or days, a
// year-month pair, a day that the month does not have, a year outside
// 100..9999. A note line's first eight characters pass through here to
// decide whether the line starts a dated entry, so "01/09/24 ..." and
// "2001/9/1 ..." start entries while "1/9 memo" does not.
struct DigitFields {
    std::array<std::string_view, 3> field;
    std::size_t count = 0;
};

std::optional<DigitFields> splitDigitFields(std::string_view text) {
    DigitFields out;
    char separator = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] >= '0' && text[i] <= '9') continue;
        if (i < text.size()) {
            const char c = text[i];
            if (c != '/' && c != '-') return std::nullopt;
            if (separator == 0) separator = c;
            if (c != separator) return std::nullopt;
        }
        if (i == start || out.count == out.field.size()) return std::nullopt;
        out.field[out.count++] = text.substr(start, i - start);
        start = i + 1;
    }
    return out;
}

int toNumber(std::string_view digits) {
    int value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

std::string_view trimBlanks(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

double toAutomation(int year, int month, int day, int hour, int minute, int second) {
    if (!isValidDate(year, month, day) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59) {
        char text[96];
        std::snprintf(text, sizeof text, "日付または時刻が正しくありません: %d/%d/%d %d:%02d:%02d", year,
                      month, day, hour, minute, second);
        throw Error(text);
    }
    const double serial = static_cast<double>(unixDayFromCivil(year, month, day) + kEpochFromUnix);
    const double time = static_cast<double>(hour * 3600L + minute * 60L + second) / kSecondsPerDay;
    // Before the epoch the day counts down but the time still counts up from
    // that day's midnight, so the fraction's sign follows the day's.
    return serial < 0 ? serial - time : serial + time;
}

DateTime fromAutomation(double value) {
    const auto outOfRange = [value] {
        char text[80];
        std::snprintf(text, sizeof text, "日付が範囲外です: %.17g", value);
        return Error(text);
    };
    if (!std::isfinite(value) || value <= kFirstDay - 1.0 || value >= kLastDay + 1.0) throw outOfRange();
    const double dayPart = std::trunc(value);
    long day = static_cast<long>(dayPart);
    long seconds = std::lround(std::fabs(value - dayPart) * kSecondsPerDay);
    // The time always runs forward from the day's midnight, also before the
    // epoch, so a time that rounds up to 24:00 is the next calendar day.
    if (seconds >= kSecondsPerDay) {
        ++day;
        seconds -= kSecondsPerDay;
    }
    if (day > kLastDay) throw outOfRange();
    DateTime dt;
    civilFromUnixDay(day - kEpochFromUnix, dt);
    dt.hour = static_cast<int>(seconds / 3600);
    dt.minute = static_cast<int>(seconds / 60 % 60);
    dt.second = static_cast<int>(seconds % 60);
    return dt;
}

std::string formatYmd(double value) { return ymdText(fromAutomation(value)); }

std::string formatShortDate(double value) { return formatYmd(value); }

std::string formatDefault(double value) {
    const DateTime dt = fromAutomation(value);
    std::string text = ymdText(dt);
    if (dt.hour != 0 || dt.minute != 0 || dt.second != 0) {
        char time[16];
        std::snprintf(time, sizeof time, " %d:%02d:%02d", dt.hour, dt.minute, dt.second);
        text += time;
    }
    return text;
}

double now() {
    const std::tm tm = localNow();
    // A leap second (tm_sec 60) has no place in an automation date.
    return toAutomation(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                        std::min(tm.tm_sec, 59));
}

int currentYear() { return localNow().tm_year + 1900; }

std::optional<double> recognize(std::string_view text, int year) {
    const auto parts = splitDigitFields(trimBlanks(text));
    if (!parts || parts->count < 2) return std::nullopt;
    const auto& f = parts->field;
    const std::size_t monthIndex = parts->count == 3 ? 1 : 0;
    const std::string_view monthText = f[monthIndex];
    const std::string_view dayText = f[monthIndex + 1];
    if (monthText.size() > 2 || dayText.size() > 2) return std::nullopt;
    if (parts->count == 3) {
        const std::string_view yearText = f[0];
        if (yearText.size() == 4) {
            year = toNumber(yearText);
        } else if (yearText.size() == 2) {
            const int yy = toNumber(yearText);
            year = yy < 30 ? 2000 + yy : 1900 + yy;
        } else {
            return std::nullopt;
        }
    }
    const int month = toNumber(monthText);
    const int day = toNumber(dayText);
    if (!isValidDate(year, month, day)) return std::nullopt;
    return toAutomation(year, month, day);
}

}  // namespace lumo::dates
