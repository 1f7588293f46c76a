#include "engine/functions/DateParts.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/Utf8.h"

namespace lumo::db::jet {

namespace {

constexpr std::array<Era, 5> kEras{{
    {2019, 5, 1, "R", "令", "令和"},
    {1989, 1, 8, "H", "平", "平成"},
    {1926, 12, 25, "S", "昭", "昭和"},
    {1912, 7, 30, "T", "大", "大正"},
    {1868, 1, 1, "M", "明", "明治"},
}};

constexpr std::array<std::string_view, 7> kEnglishWeekdays{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                           "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 12> kEnglishMonths{"January", "February", "March",     "April",
                                                          "May",     "June",     "July",      "August",
                                                          "September", "October", "November", "December"};

// The era name or letter (either case) `text` starts with.
std::optional<std::size_t> eraMark(std::string_view text, const Era& era) {
    if (text.starts_with(era.name)) return era.name.size();
    if (!text.empty() && (text[0] & ~0x20) == era.letter[0]) return 1;
    return std::nullopt;
}

}  // namespace

std::span<const Era> japaneseEras() { return kEras; }

std::optional<std::string> westernYear(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    for (const Era& era : kEras) {
        const std::optional<std::size_t> mark = eraMark(text, era);
        if (!mark) continue;
        std::string_view rest = text.substr(*mark);
        int year = 0;
        if (rest.starts_with("元")) {
            year = 1;
            rest.remove_prefix(std::string_view("元").size());
        } else {
            std::size_t digits = 0;
            while (digits < rest.size() && digits < 3 && rest[digits] >= '0' && rest[digits] <= '9')
                year = year * 10 + (rest[digits++] - '0');
            if (digits == 0 || year == 0) return std::nullopt;
            rest.remove_prefix(digits);
        }
        if (!rest.starts_with("年") && !rest.starts_with("/") && !rest.starts_with(".") && !rest.starts_with("-"))
            return std::nullopt;
        std::string out = std::to_string(era.year + year - 1);
        for (const char c : rest) out += c == '.' ? '/' : c;
        return out;
    }
    return std::nullopt;
}

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// 1..12 for a month's English name or its first three letters (Sept too),
// 0 for a weekday's, -1 for any other word.
int englishName(std::string_view word) {
    const auto names = [&](std::string_view name) {
        return utf8::sameIgnoringAsciiCase(word, name) || utf8::sameIgnoringAsciiCase(word, name.substr(0, 3));
    };
    for (std::size_t month = 0; month < kEnglishMonths.size(); ++month)
        if (names(kEnglishMonths[month])) return static_cast<int>(month) + 1;
    if (utf8::sameIgnoringAsciiCase(word, "Sept")) return 9;
    for (const std::string_view day : kEnglishWeekdays)
        if (names(day)) return 0;
    return -1;
}

}  // namespace

std::optional<std::string> fromEnglishMonth(std::string_view text) {
    // Read for every date text: most have no letter at all.
    if (std::none_of(text.begin(), text.end(), isLetter)) return std::nullopt;
    int month = 0;
    std::vector<std::string_view> numbers;
    std::string_view time;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        std::size_t end = i + 1;
        if (isLetter(c)) {
            while (end < text.size() && isLetter(text[end])) ++end;
            const int name = englishName(text.substr(i, end - i));
            if (name < 0 || (name > 0 && month > 0)) return std::nullopt;
            if (name > 0) month = name;
        } else if (isDigit(c)) {
            while (end < text.size() && isDigit(text[end])) ++end;
            if (end < text.size() && text[end] == ':') {
                time = text.substr(i);  // the time runs to the end
                break;
            }
            numbers.push_back(text.substr(i, end - i));
        } else if (c != ' ' && c != ',' && c != '-' && c != '/' && c != '.') {
            return std::nullopt;
        }
        i = end;
    }
    if (month == 0 || numbers.empty() || numbers.size() > 2) return std::nullopt;
    const auto value = [](std::string_view n) { return n.size() > 4 ? -1 : std::stoi(std::string(n)); };
    // The year is the number of three or more digits, or the second one.
    std::string_view year = numbers.back(), day = numbers.size() == 2 ? numbers.front() : std::string_view("1");
    if (numbers.size() == 2 && numbers.front().size() >= 3) std::swap(year, day);
    if (numbers.size() == 1 && year.size() < 3) {
        // Nov 22: a day of this year, as 11/22 reads.
        const int d = value(year);
        if (d < 1 || d > 31) return std::nullopt;
        std::string out = std::to_string(month) + "/" + std::to_string(d);
        if (!time.empty()) out.append(" ").append(time);
        return out;
    }
    int y = value(year);
    if (y < 0 || value(day) < 1 || value(day) > 31) return std::nullopt;
    if (year.size() <= 2) y += y < 30 ? 2000 : 1900;  // as two-digit years read elsewhere
    std::string out = std::to_string(y) + "/" + std::to_string(month) + "/" + std::to_string(value(day));
    if (!time.empty()) out.append(" ").append(time);
    return out;
}

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

std::string englishWeekdayName(int sundayBased, bool abbreviated) {
    const std::string_view name = kEnglishWeekdays[static_cast<std::size_t>(sundayBased - 1)];
    return std::string(abbreviated ? name.substr(0, 3) : name);
}

std::string englishMonthName(int month, bool abbreviated) {
    const std::string_view name = kEnglishMonths[static_cast<std::size_t>(month - 1)];
    return std::string(abbreviated ? name.substr(0, 3) : name);
}

}  // namespace lumo::db::jet
