#pragma once
// Automation dates: a double counting days from 1899-12-30 00:00 (day 0);
// the fraction is the time of day. Before day 0 the integer part is the day
// and the fraction's absolute value is the time: -1.25 is 1899-12-29 06:00
// (and -0.25 is the same moment as 0.25). This module is the one place
// that turns them into calendar dates and text, and that recognises dates
// in text.
#include <optional>
#include <string>
#include <string_view>

namespace lumo::dates {

struct DateTime {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
};

// Calendar date (and time) to automation date. Throws lumo::Error for an
// impossible date (month 13, 2月30日, year outside 100..9999).
double toAutomation(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
// Automation date to calendar date, times rounded to the nearest second (a
// time that rounds to 24:00 is the next day's midnight). Throws lumo::Error
// for a value that is not finite or lies outside the years 100..9999; the
// formatting functions below do the same.
DateTime fromAutomation(double value);

// "yyyy/mm/dd" of the date part, e.g. 0 -> "1899/12/30".
std::string formatYmd(double value);
// The short date form of a Japanese desktop; the same text as formatYmd.
std::string formatShortDate(double value);
// The default conversion of a date to text: "yyyy/mm/dd", followed by
// " h:mm:ss" (hour without leading zero) when there is a time part.
std::string formatDefault(double value);

// The current local date and time as an automation date.
double now();
// The current local year.
int currentYear();

// Recognises a date typed in text the way a Japanese desktop does, after
// trimming blanks: yyyy/mm/dd, yyyy/m/d, yy/mm/dd, yy/m/d and m/d (in
// `year`), with '/' or '-' as separator. Two-digit years 00-29 mean
// 2000-2029 and 30-99 mean 1930-1999. Anything else, including impossible
// calendar dates, is not a date. Dates.cpp lists the accepted forms in
// full. The result is the date at midnight.
std::optional<double> recognize(std::string_view text, int year);
inline std::optional<double> recognize(std::string_view text) { return recognize(text, currentYear()); }

}  // namespace lumo::dates
