#pragma once
// Calendar arithmetic shared by the date functions and Format: a moment
// split into its calendar day and its seconds, weekdays counted from a
// chosen first day, and weeks of the year by Jet's three rules.
// Stateless; any thread.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/Dates.h"
#include "engine/functions/FunctionCall.h"

namespace lumo::db::jet {

struct Moment {
    dates::DateTime parts;
    double day = 0;   // the automation date of the calendar day at midnight
    long seconds = 0; // into that day
};

Moment momentOf(double automationDate);
// The automation date `seconds` after midnight of calendar day `day`,
// carried into later or earlier days as needed; an invalid-call error
// outside the years 100..9999.
double dateFrom(double day, double seconds);

// Weekday 1..7 counted from `firstDay` (1 = Sunday .. 7 = Saturday).
int weekday(double day, int firstDay);
// The first-day-of-week argument (0: the desktop's, Sunday); absent: Sunday.
int firstDayArg(const Args& args, std::size_t index);
// The first-week-of-year argument: 1 the week of 1 January (also 0, the
// desktop's), 2 the first week of four days or more, 3 the first full week.
int firstWeekArg(const Args& args, std::size_t index);
// The week of the year of `day` under those rules.
int weekOfYear(double day, int firstDay, int firstWeek);

// The eras of the Japanese calendar, latest first, from the day each
// began (Meiji counted from the start of 1868, as the desktop's calendar
// counts it).
struct Era {
    int year, month, day;
    std::string_view letter, initial, name;  // g, gg, ggg
};
std::span<const Era> japaneseEras();

// A date written with an era's year, as a Japanese desktop reads it
// (平成15年11月22日, 平成元年1月8日, H15/11/22, h15.11.22), with the western
// year in its place (2003年11月22日, 2003/11/22); nothing for other text.
std::optional<std::string> westernYear(std::string_view text);

// A date written with an English month name, which a desktop reads in any
// locale (November 22, 2003; Nov 22 2003; 22-Nov-2003; 2003 Nov 22; Nov
// 2003 for its first day; Nov 22 of this year; a weekday name before it
// and a time after it allowed), written as 2003/11/22 (or 11/22) with the
// time after it; nothing for other text.
std::optional<std::string> fromEnglishMonth(std::string_view text);

// Japanese names: 日曜日 .. 土曜日 (日 .. 土 abbreviated) for weekday 1..7
// counted from Sunday, and 1月 .. 12月.
std::string weekdayName(int sundayBased, bool abbreviated);
std::string monthName(int month);
// The English names Format writes for ddd, dddd, mmm and mmmm, on a
// Japanese desktop too (aaa, aaaa and oooo write the Japanese ones).
std::string englishWeekdayName(int sundayBased, bool abbreviated);
std::string englishMonthName(int month, bool abbreviated);

}  // namespace lumo::db::jet
