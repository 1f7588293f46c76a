#include "engine/functions/DateParts.h"

#include <array>
#include <cmath>

#include "platform/Error.h"

namespace lumo::db::jet {

Moment momentOf(double automationDate) {
    Moment m;
    m.parts = dates::fromAutomation(automationDate);
    m.day = dates::toAutomation(m.parts.year, m.parts.month, m.parts.day);
    m.seconds = m.parts.hour * 3600L + m.parts.minute * 60L + m.parts.second;
    return m;
}

double dateFrom(double day, double seconds) {
    const double carried = std::floor(seconds / 86400.0);
    const double value = fromDaySeconds(day + carried, seconds - carried * 86400.0);
    if (!(value > -657435.0 && value < 2958466.0)) invalidCall();
    return value;
}

int weekday(double day, int firstDay) {
    // Day 0, 1899/12/30, was a Saturday.
    const long sundayBased = ((static_cast<long>(day) + 6) % 7 + 7) % 7;  // 0 = Sunday
    return static_cast<int>((sundayBased - (firstDay - 1) + 7) % 7) + 1;
}

int firstDayArg(const Args& args, std::size_t index) {
    const int32_t n = args.wholeOr(index, 1);
    if (n < 0 || n > 7) invalidCall();
    return n == 0 ? 1 : n;
}

int firstWeekArg(const Args& args, std::size_t index) {
    const int32_t n = args.wholeOr(index, 1);
    if (n < 0 || n > 3) invalidCall();
    return n == 0 ? 1 : n;
}

namespace {

double firstWeekStart(int year, int firstDay, int firstWeek) {
    const double jan1 = dates::toAutomation(year, 1, 1);
    const double start = jan1 - (weekday(jan1, firstDay) - 1);
    const double daysInYear = 7 - (jan1 - start);
    if (firstWeek == 2 && daysInYear < 4) return start + 7;
    if (firstWeek == 3 && daysInYear < 7) return start + 7;
    return start;
}

}  // namespace

int weekOfYear(double day, int firstDay, int firstWeek) {
    const int year = dates::fromAutomation(day).year;
    double start = firstWeekStart(year, firstDay, firstWeek);
    if (day < start && year > 100) start = firstWeekStart(year - 1, firstDay, firstWeek);
    return static_cast<int>(std::floor((day - start) / 7)) + 1;
}

std::string weekdayName(int sundayBased, bool abbreviated) {
    static constexpr std::array<const char*, 7> names{"日", "月", "火", "水", "木", "金", "土"};
    return std::string(names[static_cast<std::size_t>(sundayBased - 1)]) + (abbreviated ? "" : "曜日");
}

std::string monthName(int month) { return std::to_string(month) + "月"; }

}  // namespace lumo::db::jet
