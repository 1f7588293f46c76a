#pragma once
// Calendar arithmetic shared by the date functions and Format: a moment
// split into its calendar day and its seconds, weekdays counted from a
// chosen first day, and weeks of the year by Jet's three rules.
// Stateless; any thread.
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

// Japanese names: 日曜日 .. 土曜日 (日 .. 土 abbreviated) for weekday 1..7
// counted from Sunday, and 1月 .. 12月.
std::string weekdayName(int sundayBased, bool abbreviated);
std::string monthName(int month);

}  // namespace lumo::db::jet
