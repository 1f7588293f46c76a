// Date, Time, Now, the parts of a date, DateAdd, DateDiff, DatePart and the
// functions that build dates. Results are dates (automation dates), so
// Date() + 1 is tomorrow.
#include <array>
#include <cmath>
#include <string>

#include "platform/Dates.h"
#include "engine/functions/DateParts.h"
#include "engine/functions/FormatText.h"
#include "engine/functions/FunctionCall.h"

namespace lumo::db::jet {
namespace {

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

// The interval argument: yyyy q m y d w ww h n s, case ignored.
Interval intervalArg(const Args& a, std::size_t i) {
    static constexpr std::array<std::pair<std::string_view, Interval>, 10> names{{
        {"yyyy", Interval::Year}, {"q", Interval::Quarter}, {"m", Interval::Month}, {"y", Interval::DayOfYear},
        {"d", Interval::Day}, {"w", Interval::Weekday}, {"ww", Interval::Week}, {"h", Interval::Hour},
        {"n", Interval::Minute}, {"s", Interval::Second},
    }};
    std::string text = a.text(i);
    for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    for (const auto& [name, interval] : names)
        if (text == name) return interval;
    invalidCall();
}

Variant date(double value) { return Variant::date(value); }
Variant whole(long n) { return wholeNumber(static_cast<double>(n)); }

Variant today(const Args&) { return date(momentOf(dates::now()).day); }
Variant timeNow(const Args&) { return date(fromDaySeconds(0, static_cast<double>(momentOf(dates::now()).seconds))); }
Variant now(const Args&) { return date(dates::now()); }
// Timer: the seconds since midnight, to the hundredth, as a Single.
Variant timer(const Args&) {
    const double day = dates::now();
    return Variant(std::round((day - std::floor(day)) * 8640000.0) / 100.0);
}

// Date$ and Time$: today and the time of day as text of a fixed form,
// mm-dd-yyyy and hh:mm:ss, whatever the desktop's date order.
Variant todayText(const Args&) { return Variant(layDate(momentOf(dates::now()).day, "mm-dd-yyyy", 1, 1)); }
Variant timeText(const Args&) {
    return Variant(layDate(fromDaySeconds(0, static_cast<double>(momentOf(dates::now()).seconds)), "hh:nn:ss", 1, 1));
}

const dates::DateTime partsArg(const Args& a) { return dates::fromAutomation(a.date(0)); }
Variant year(const Args& a) { return whole(partsArg(a).year); }
Variant month(const Args& a) { return whole(partsArg(a).month); }
Variant day(const Args& a) { return whole(partsArg(a).day); }
Variant hour(const Args& a) { return whole(partsArg(a).hour); }
Variant minute(const Args& a) { return whole(partsArg(a).minute); }
Variant second(const Args& a) { return whole(partsArg(a).second); }
Variant weekdayOf(const Args& a) { return whole(weekday(momentOf(a.date(0)).day, firstDayArg(a, 1))); }

Variant weekdayNameOf(const Args& a) {
    const int32_t n = a.whole(0);
    if (n < 1 || n > 7) invalidCall();
    const bool abbreviated = a.has(1) && a.truth(1);
    return Variant(weekdayName((n - 1 + firstDayArg(a, 2) - 1) % 7 + 1, abbreviated));
}

Variant monthNameOf(const Args& a) {
    const int32_t n = a.whole(0);
    if (n < 1 || n > 12) invalidCall();
    if (a.has(1)) a.truth(1);  // abbreviated or not, the Japanese name is the same
    return Variant(monthName(n));
}

// Months added to a date keep its day where the new month has it and take
// the month's last day otherwise (1月31日 + 1 month is 2月28日 or 29日).
double addMonths(const Moment& m, double months) {
    const double total = m.parts.year * 12.0 + (m.parts.month - 1) + months;
    const double year = std::floor(total / 12);
    if (year < 100 || year > 9999) invalidCall();
    const int y = static_cast<int>(year);
    const int mo = static_cast<int>(total - year * 12) + 1;
    int d = m.parts.day;
    while (d > 28) {
        const double first = dates::toAutomation(y, mo, 1);
        if (dates::fromAutomation(first + d - 1).month == mo) break;
        --d;
    }
    return dateFrom(dates::toAutomation(y, mo, d), static_cast<double>(m.seconds));
}

Variant dateAdd(const Args& a) {
    const Interval interval = intervalArg(a, 0);
    const double n = std::trunc(a.number(1));
    const Moment m = momentOf(a.date(2));
    const double seconds = static_cast<double>(m.seconds);
    switch (interval) {
    case Interval::Year: return date(addMonths(m, 12 * n));
    case Interval::Quarter: return date(addMonths(m, 3 * n));
    case Interval::Month: return date(addMonths(m, n));
    case Interval::DayOfYear:
    case Interval::Day:
    case Interval::Weekday: return date(dateFrom(m.day + n, seconds));
    case Interval::Week: return date(dateFrom(m.day + 7 * n, seconds));
    case Interval::Hour: return date(dateFrom(m.day, seconds + 3600 * n));
    case Interval::Minute: return date(dateFrom(m.day, seconds + 60 * n));
    case Interval::Second: return date(dateFrom(m.day, seconds + n));
    }
    invalidCall();
}

// DateDiff counts the boundaries of the interval crossed from date1 to
// date2: DateDiff("yyyy", #2024/12/31#, #2025/01/01#) is 1.
Variant dateDiff(const Args& a) {
    const Interval interval = intervalArg(a, 0);
    const Moment from = momentOf(a.date(1));
    const Moment to = momentOf(a.date(2));
    const int firstDay = firstDayArg(a, 3);
    firstWeekArg(a, 4);
    const auto months = [](const Moment& m) { return m.parts.year * 12L + m.parts.month - 1; };
    const auto quarters = [](const Moment& m) { return m.parts.year * 4L + (m.parts.month - 1) / 3; };
    const double days = to.day - from.day;
    const double seconds = days * 86400 + static_cast<double>(to.seconds - from.seconds);
    const auto weekStart = [&](const Moment& m) { return m.day - (weekday(m.day, firstDay) - 1); };
    switch (interval) {
    case Interval::Year: return whole(to.parts.year - from.parts.year);
    case Interval::Quarter: return whole(quarters(to) - quarters(from));
    case Interval::Month: return whole(months(to) - months(from));
    case Interval::DayOfYear:
    case Interval::Day: return wholeNumber(days);
    case Interval::Weekday: return wholeNumber(std::trunc(days / 7));
    case Interval::Week: return wholeNumber((weekStart(to) - weekStart(from)) / 7);
    case Interval::Hour:
        return wholeNumber(days * 24 + to.parts.hour - from.parts.hour);
    case Interval::Minute:
        return wholeNumber((days * 24 + to.parts.hour - from.parts.hour) * 60 + to.parts.minute - from.parts.minute);
    case Interval::Second: return wholeNumber(seconds);
    }
    invalidCall();
}

Variant datePart(const Args& a) {
    const Interval interval = intervalArg(a, 0);
    const Moment m = momentOf(a.date(1));
    const int firstDay = firstDayArg(a, 2);
    const int firstWeek = firstWeekArg(a, 3);
    switch (interval) {
    case Interval::Year: return whole(m.parts.year);
    case Interval::Quarter: return whole((m.parts.month - 1) / 3 + 1);
    case Interval::Month: return whole(m.parts.month);
    case Interval::DayOfYear: return wholeNumber(m.day - dates::toAutomation(m.parts.year, 1, 1) + 1);
    case Interval::Day: return whole(m.parts.day);
    case Interval::Weekday: return whole(weekday(m.day, firstDay));
    case Interval::Week: return whole(weekOfYear(m.day, firstDay, firstWeek));
    case Interval::Hour: return whole(m.parts.hour);
    case Interval::Minute: return whole(m.parts.minute);
    case Interval::Second: return whole(m.parts.second);
    }
    invalidCall();
}

// DateSerial(year, month, day): months and days outside their range carry
// into the neighbours (month 13 is January of the next year, day 0 the
// last day of the month before); years 0-29 are 2000-2029, 30-99 1930-1999.
Variant dateSerial(const Args& a) {
    int32_t year = a.whole(0);
    if (year >= 0 && year <= 29) year += 2000;
    else if (year >= 30 && year <= 99) year += 1900;
    const double total = year * 12.0 + (a.whole(1) - 1);
    const double y = std::floor(total / 12);
    if (y < 100 || y > 9999) invalidCall();
    const double first = dates::toAutomation(static_cast<int>(y), static_cast<int>(total - y * 12) + 1, 1);
    return date(dateFrom(first + (a.whole(2) - 1.0), 0));
}

Variant timeSerial(const Args& a) {
    return date(dateFrom(0, a.whole(0) * 3600.0 + a.whole(1) * 60.0 + a.whole(2)));
}

Variant dateValue(const Args& a) { return date(momentOf(a.date(0)).day); }
Variant timeValue(const Args& a) { return date(fromDaySeconds(0, static_cast<double>(momentOf(a.date(0)).seconds))); }

constexpr std::array kFunctions{
    FunctionEntry{"Date", 0, 0, kNullNone, &today, true, kDateSubtype},
    FunctionEntry{"Time", 0, 0, kNullNone, &timeNow, true, kDateSubtype},
    FunctionEntry{"Now", 0, 0, kNullNone, &now, true, kDateSubtype},
    FunctionEntry{"Timer", 0, 0, kNullNone, &timer, true, kSingleSubtype},
    FunctionEntry{"Date$", 0, 0, kNullNone, &todayText, true},
    FunctionEntry{"Time$", 0, 0, kNullNone, &timeText, true},
    FunctionEntry{"Year", 1, 1, kNullFirst, &year},
    FunctionEntry{"Month", 1, 1, kNullFirst, &month},
    FunctionEntry{"Day", 1, 1, kNullFirst, &day},
    FunctionEntry{"Hour", 1, 1, kNullFirst, &hour},
    FunctionEntry{"Minute", 1, 1, kNullFirst, &minute},
    FunctionEntry{"Second", 1, 1, kNullFirst, &second},
    FunctionEntry{"Weekday", 1, 2, kNullFirst, &weekdayOf},
    FunctionEntry{"WeekdayName", 1, 3, kNullNone, &weekdayNameOf},
    FunctionEntry{"MonthName", 1, 2, kNullNone, &monthNameOf},
    FunctionEntry{"DateAdd", 3, 3, 0b110u, &dateAdd, false, kDateSubtype},
    FunctionEntry{"DateDiff", 3, 5, 0b110u, &dateDiff},
    FunctionEntry{"DatePart", 2, 4, 0b10u, &datePart},
    FunctionEntry{"DateSerial", 3, 3, kNullNone, &dateSerial, false, kDateSubtype},
    FunctionEntry{"TimeSerial", 3, 3, kNullNone, &timeSerial, false, kDateSubtype},
    FunctionEntry{"DateValue", 1, 1, kNullNone, &dateValue, false, kDateSubtype},
    FunctionEntry{"TimeValue", 1, 1, kNullNone, &timeValue, false, kDateSubtype},
};

}  // namespace

std::span<const FunctionEntry> dateFunctions() { return kFunctions; }

}  // namespace lumo::db::jet
