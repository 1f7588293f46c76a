#include "platform/Dates.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace lumo::dates {
namespace {

bool sameMoment(const DateTime& a, const DateTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

std::string show(const DateTime& d) {
    return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day) + " " +
           std::to_string(d.hour) + ":" + std::to_string(d.minute) + ":" + std::to_string(d.second);
}

// An independent calendar step: the day after `d`, by plain month lengths.
DateTime nextDay(DateTime d) {
    const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    const int lengths[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (++d.day > lengths[d.month - 1]) {
        d.day = 1;
        if (++d.month > 12) {
            d.month = 1;
            ++d.year;
        }
    }
    return d;
}

constexpr double kSecond = 1.0 / 86400.0;

TEST(Dates, KnownDaysAcrossLeapRules) {
    EXPECT_EQ(toAutomation(1899, 12, 30), 0.0);
    EXPECT_EQ(toAutomation(1899, 12, 31), 1.0);
    EXPECT_EQ(toAutomation(1900, 1, 1), 2.0);
    EXPECT_EQ(toAutomation(1900, 2, 28), 60.0);
    EXPECT_EQ(toAutomation(1900, 3, 1), 61.0);  // 1900 has no 29 February
    EXPECT_EQ(toAutomation(2000, 1, 1), 36526.0);
    EXPECT_EQ(toAutomation(2000, 3, 1) - toAutomation(2000, 2, 28), 2.0);  // 2000 has one
    EXPECT_EQ(toAutomation(2024, 2, 29), 45351.0);
    EXPECT_EQ(toAutomation(2100, 3, 1) - toAutomation(2100, 2, 28), 1.0);
    EXPECT_EQ(toAutomation(100, 1, 1), -657434.0);
    EXPECT_EQ(toAutomation(9999, 12, 31), 2958465.0);
    EXPECT_THROW(toAutomation(1900, 2, 29), Error);
    EXPECT_THROW(toAutomation(2023, 2, 29), Error);
    EXPECT_THROW(toAutomation(2100, 2, 29), Error);
}

TEST(Dates, ImpossibleDatesAndTimesThrow) {
    EXPECT_THROW(toAutomation(2024, 13, 1), Error);
    EXPECT_THROW(toAutomation(2024, 0, 1), Error);
    EXPECT_THROW(toAutomation(2024, 4, 31), Error);
    EXPECT_THROW(toAutomation(2024, 1, 0), Error);
    EXPECT_THROW(toAutomation(99, 12, 31), Error);
    EXPECT_THROW(toAutomation(10000, 1, 1), Error);
    EXPECT_THROW(toAutomation(2024, 1, 1, 24, 0, 0), Error);
    EXPECT_THROW(toAutomation(2024, 1, 1, 0, 60, 0), Error);
    EXPECT_THROW(toAutomation(2024, 1, 1, 0, 0, -1), Error);
}

TEST(Dates, EveryDayOfTheRangeRoundTrips) {
    DateTime expected{100, 1, 1};
    long mismatches = 0;
    for (long day = -657434; day <= 2958465; ++day) {
        const DateTime got = fromAutomation(static_cast<double>(day));
        if (!sameMoment(got, expected) || toAutomation(got.year, got.month, got.day) != day) {
            if (++mismatches <= 5) ADD_FAILURE() << "day " << day << " gave " << show(got);
        }
        expected = nextDay(expected);
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(expected.year, 10000);
}

TEST(Dates, EverySecondOfADayRoundTripsOnBothSidesOfTheEpoch) {
    for (int year : {2024, 1899, 1800}) {
        long mismatches = 0;
        for (int s = 0; s < 86400; ++s) {
            const DateTime want{year, 2, 28, s / 3600, s / 60 % 60, s % 60};
            const DateTime got = fromAutomation(toAutomation(year, 2, 28, want.hour, want.minute, want.second));
            if (!sameMoment(got, want) && ++mismatches <= 5) ADD_FAILURE() << show(want) << " gave " << show(got);
        }
        EXPECT_EQ(mismatches, 0) << year;
    }
}

TEST(Dates, NegativeValuesKeepTheTimeRunningForward) {
    EXPECT_EQ(toAutomation(1899, 12, 29, 6, 0, 0), -1.25);
    EXPECT_EQ(toAutomation(1899, 12, 28, 18, 0, 0), -2.75);
    EXPECT_TRUE(sameMoment(fromAutomation(-1.25), DateTime{1899, 12, 29, 6, 0, 0}));
    EXPECT_TRUE(sameMoment(fromAutomation(-2.75), DateTime{1899, 12, 28, 18, 0, 0}));
    EXPECT_TRUE(sameMoment(fromAutomation(-1.0), DateTime{1899, 12, 29, 0, 0, 0}));
    // Between -1 and 0 the day is still day 0.
    EXPECT_TRUE(sameMoment(fromAutomation(-0.25), DateTime{1899, 12, 30, 6, 0, 0}));
    EXPECT_TRUE(sameMoment(fromAutomation(0.25), DateTime{1899, 12, 30, 6, 0, 0}));
}

TEST(Dates, TimesRoundToTheNearestSecond) {
    const double noon = toAutomation(2024, 3, 1, 12, 0, 0);
    EXPECT_EQ(fromAutomation(noon + 0.4 * kSecond).second, 0);
    EXPECT_EQ(fromAutomation(noon + 0.6 * kSecond).second, 1);
    EXPECT_EQ(fromAutomation(noon - 0.4 * kSecond).second, 0);
    EXPECT_TRUE(sameMoment(fromAutomation(noon - 0.6 * kSecond), DateTime{2024, 3, 1, 11, 59, 59}));
    // Rounding up to 24:00 lands on the next day, also before the epoch.
    EXPECT_TRUE(sameMoment(fromAutomation(toAutomation(2024, 2, 29) + 1 - 0.2 * kSecond), DateTime{2024, 3, 1}));
    EXPECT_TRUE(sameMoment(fromAutomation(-1 - (1 - 0.2 * kSecond)), DateTime{1899, 12, 30}));
    EXPECT_EQ(formatYmd(toAutomation(2023, 12, 31) + 1 - 0.2 * kSecond), "2024/01/01");
}

TEST(Dates, ValuesOutsideTheCalendarThrow) {
    EXPECT_THROW(fromAutomation(std::numeric_limits<double>::quiet_NaN()), Error);
    EXPECT_THROW(fromAutomation(std::numeric_limits<double>::infinity()), Error);
    EXPECT_THROW(fromAutomation(2958466.0), Error);
    EXPECT_THROW(fromAutomation(2958465.0 + 1 - 0.1 * kSecond), Error);  // would be year 10000
    EXPECT_THROW(fromAutomation(-657435.0), Error);
    EXPECT_THROW(formatYmd(1e300), Error);
    EXPECT_NO_THROW(fromAutomation(-657434.5));
    EXPECT_NO_THROW(fromAutomation(2958465.99));
}

TEST(Dates, Formatting) {
    EXPECT_EQ(formatYmd(0), "1899/12/30");
    EXPECT_EQ(formatYmd(toAutomation(2024, 2, 29, 18, 30, 0)), "2024/02/29");
    EXPECT_EQ(formatYmd(-1.25), "1899/12/29");
    EXPECT_EQ(formatYmd(toAutomation(100, 1, 1)), "0100/01/01");
    EXPECT_EQ(formatShortDate(toAutomation(2001, 9, 1, 8, 0, 0)), "2001/09/01");

    EXPECT_EQ(formatDefault(0), "1899/12/30");
    EXPECT_EQ(formatDefault(toAutomation(2024, 2, 29)), "2024/02/29");
    EXPECT_EQ(formatDefault(toAutomation(2024, 2, 29, 18, 0, 0)), "2024/02/29 18:00:00");
    EXPECT_EQ(formatDefault(toAutomation(2024, 2, 29, 9, 5, 7)), "2024/02/29 9:05:07");
    EXPECT_EQ(formatDefault(toAutomation(2024, 2, 29, 0, 0, 1)), "2024/02/29 0:00:01");
    EXPECT_EQ(formatDefault(-1.25), "1899/12/29 6:00:00");
    // Less than half a second is no time part at all.
    EXPECT_EQ(formatDefault(toAutomation(2024, 2, 29) + 0.3 * kSecond), "2024/02/29");
}

void expectDate(const char* text, int year, int month, int day, int givenYear = 2023) {
    const auto value = recognize(text, givenYear);
    ASSERT_TRUE(value.has_value()) << '"' << text << '"';
    EXPECT_EQ(*value, toAutomation(year, month, day)) << '"' << text << '"';
}

TEST(Dates, RecognizesTheDesktopForms) {
    expectDate("2024/02/29", 2024, 2, 29);
    expectDate("2024/2/9", 2024, 2, 9);
    expectDate("2024/02/9", 2024, 2, 9);
    expectDate("24/02/29", 2024, 2, 29);
    expectDate("01/09/24", 2001, 9, 24);
    expectDate("01/9/1", 2001, 9, 1);
    expectDate("2024-02-29", 2024, 2, 29);
    expectDate("01-09-01", 2001, 9, 1);
    expectDate("12/25", 2023, 12, 25);
    expectDate("2/29", 2024, 2, 29, 2024);
    expectDate("1-5", 2023, 1, 5);
    expectDate("  2001/9/1\t", 2001, 9, 1);
    expectDate("9999/12/31", 9999, 12, 31);
    expectDate("0100/01/01", 100, 1, 1);
}

TEST(Dates, TwoDigitYearsPivotAtThirty) {
    expectDate("00/01/01", 2000, 1, 1);
    expectDate("29/12/31", 2029, 12, 31);
    expectDate("30/01/01", 1930, 1, 1);
    expectDate("99/12/31", 1999, 12, 31);
    expectDate("00/02/29", 2000, 2, 29);
    EXPECT_FALSE(recognize("30/02/29", 2023));  // 1930 is no leap year
}

TEST(Dates, RejectsWhatIsNotADate) {
    for (const char* text : {"2023/2/29", "13/1", "2/29", "2024/13/01", "2024/0/1", "2024/1/32", "4/31", "0/1",
                             "12", "", "   ", "abc", "2024/01/01 extra words", "2024/01/01 10:00", "2024/01-01",
                             "2024//01", "/1/1", "1/1/", "1/2/3", "024/1/1", "02024/1/1", "2024/001/1",
                             "2024/1/001", "2024/12", "1/2/3/4", "+1/1", "1.1", "１２/２５", "12／25",
                             "2024/1/1x", "0099/01/01", "01/09/01 a"}) {
        EXPECT_FALSE(recognize(text, 2023).has_value()) << '"' << text << '"';
    }
    EXPECT_FALSE(recognize("1/1", 10000).has_value());
}

TEST(Dates, NoteLinePrefixes) {
    // A note line is dated when its first eight characters are a date.
    expectDate(std::string("01/09/01 meeting").substr(0, 8).c_str(), 2001, 9, 1);
    expectDate(std::string("2001/9/1 meeting").substr(0, 8).c_str(), 2001, 9, 1);
    EXPECT_FALSE(recognize(std::string("1/9 memo").substr(0, 8), 2023));
    EXPECT_FALSE(recognize(std::string("today 01/09/01").substr(0, 8), 2023));
}

TEST(Dates, CurrentDateAndYearAgree) {
    int year = 0;
    double today = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {  // retry across a New Year's midnight
        year = currentYear();
        today = now();
        if (currentYear() == year) break;
    }
    const DateTime d = fromAutomation(today);
    EXPECT_EQ(d.year, year);
    EXPECT_GT(today, toAutomation(2020, 1, 1));
    const auto newYear = recognize("1/1");
    ASSERT_TRUE(newYear.has_value());
    EXPECT_EQ(fromAutomation(*newYear).year, currentYear());
}

}  // namespace
}  // namespace lumo::dates
