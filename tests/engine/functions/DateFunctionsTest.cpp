// The date functions: results are automation dates (so Date() + 1 is
// tomorrow), parts and names in Japanese, and the calendar rules of
// DateAdd, DateDiff, DatePart and DateSerial.
#include "tests/engine/functions/FunctionTestSupport.h"

using namespace lumo::test;

namespace {

class DateFunctions : public ::testing::Test {
protected:
    FunctionDatabase db;
};

TEST_F(DateFunctions, TodayAndNowAreDatesThatArithmeticCanUse) {
    db.expectAll({
        {"typeof(jet_date())", "\"real\""},
        {"jet_date() + 1 - jet_date()", "1"},
        {"jet_date() = CAST(jet_date() AS INTEGER)", "1"},
        {"jet_now() - jet_date() BETWEEN 0 AND 1", "1"},
        {"jet_time() >= 0 AND jet_time() < 1", "1"},
        {"jet_year(jet_date() + 1) >= jet_year(jet_date())", "1"},
        {"jet_date(1)", "!関数 'Date' の引数の数が正しくありません。"},
    });
}

TEST_F(DateFunctions, PartsOfADate) {
    db.expectAll({
        {"jet_year(45322)", "2024"},
        {"jet_month(45322)", "1"},
        {"jet_day(45322)", "31"},
        {"jet_year('2024/01/31')", "2024"},
        {"jet_hour(45322.75)", "18"},
        {"jet_minute(jet_timeserial(1, 2, 3))", "2"},
        {"jet_second(jet_timeserial(1, 2, 3))", "3"},
        {"jet_day(-1.25)", "29"},
        {"jet_hour(-1.25)", "6"},
        {"jet_year(NULL)", "Null"},
        {"jet_year('abc')", kTypeMismatch},
        {"jet_year(1e10)", kOverflow},
        {"jet_weekday(45322)", "4"},
        {"jet_weekday(45322, 2)", "3"},
        {"jet_weekday(45322, 8)", kInvalidCall},
    });
}

TEST_F(DateFunctions, JapaneseNamesOfWeekdaysAndMonths) {
    db.expectAll({
        {"jet_weekdayname(1)", "\"日曜日\""},
        {"jet_weekdayname(7, -1)", "\"土\""},
        {"jet_weekdayname(1, 0, 2)", "\"月曜日\""},
        {"jet_weekdayname(8)", kInvalidCall},
        {"jet_weekdayname(NULL)", kInvalidNull},
        {"jet_monthname(1)", "\"1月\""},
        {"jet_monthname(12, -1)", "\"12月\""},
        {"jet_monthname(13)", kInvalidCall},
    });
}

TEST_F(DateFunctions, DateAddKeepsTheDayWhereTheMonthHasIt) {
    db.expectAll({
        {"jet_cstr(jet_dateadd('m', 1, '2024/01/31'))", "\"2024/02/29\""},
        {"jet_cstr(jet_dateadd('yyyy', 1, '2024/02/29'))", "\"2025/02/28\""},
        {"jet_cstr(jet_dateadd('q', 1, '2024/11/30'))", "\"2025/02/28\""},
        {"jet_cstr(jet_dateadd('M', -13, '2024/01/15'))", "\"2022/12/15\""},
        {"jet_cstr(jet_dateadd('d', -1, '2024/03/01'))", "\"2024/02/29\""},
        {"jet_cstr(jet_dateadd('ww', 1, '2024/01/31'))", "\"2024/02/07\""},
        {"jet_cstr(jet_dateadd('h', 25, '2024/01/31'))", "\"2024/02/01 1:00:00\""},
        {"jet_cstr(jet_dateadd('n', -30, '2024/01/31'))", "\"2024/01/30 23:30:00\""},
        {"jet_cstr(jet_dateadd('s', 90, '2024/01/31 23:59'))", "\"2024/02/01 0:00:30\""},
        {"jet_dateadd('d', 1, NULL)", "Null"},
        {"jet_dateadd('x', 1, '2024/01/31')", kInvalidCall},
        {"jet_dateadd('yyyy', 8000, '2024/01/01')", kInvalidCall},
    });
}

TEST_F(DateFunctions, DateDiffCountsBoundariesCrossed) {
    db.expectAll({
        {"jet_datediff('yyyy', '2024/12/31', '2025/01/01')", "1"},
        {"jet_datediff('q', '2024/03/31', '2024/04/01')", "1"},
        {"jet_datediff('m', '2024/01/31', '2024/02/01')", "1"},
        {"jet_datediff('d', '2024/01/01', '2024/03/01')", "60"},
        {"jet_datediff('d', '2024/03/01', '2024/01/01')", "-60"},
        {"jet_datediff('d', '2024/01/01 23:00', '2024/01/02 01:00')", "1"},
        {"jet_datediff('w', '2024/01/01', '2024/01/14')", "1"},
        {"jet_datediff('ww', '2024/01/06', '2024/01/07')", "1"},
        {"jet_datediff('ww', '2024/01/07', '2024/01/13')", "0"},
        {"jet_datediff('ww', '2024/01/07', '2024/01/08', 2)", "1"},
        {"jet_datediff('h', '2024/01/01 23:59', '2024/01/02 00:01')", "1"},
        {"jet_datediff('n', '2024/01/01 23:59', '2024/01/02 00:01')", "2"},
        {"jet_datediff('s', '2024/01/01 23:59', '2024/01/02 00:01')", "120"},
        {"jet_datediff('d', NULL, '2024/01/01')", "Null"},
        {"jet_datediff('d', '2024/01/01', 'abc')", kTypeMismatch},
    });
}

TEST_F(DateFunctions, DatePartAndWeeksOfTheYear) {
    db.expectAll({
        {"jet_datepart('q', '2024/05/01')", "2"},
        {"jet_datepart('y', '2024/03/01')", "61"},
        {"jet_datepart('w', '2024/01/31')", "4"},
        {"jet_datepart('ww', '2024/01/01')", "1"},
        {"jet_datepart('ww', '2024/01/07')", "2"},
        {"jet_datepart('ww', '2024/01/07', 2)", "1"},
        // 2021/01/01 is a Friday: with weeks of four days or more it still
        // belongs to the last week of 2020; with full weeks too.
        {"jet_datepart('ww', '2021/01/01', 2, 2)", "53"},
        {"jet_datepart('ww', '2021/01/04', 2, 2)", "1"},
        {"jet_datepart('ww', '2021/01/03', 2, 3)", "52"},
        {"jet_datepart('h', '2024/01/01 13:45')", "13"},
        {"jet_datepart('ww', '2024/01/01', 1, 4)", kInvalidCall},
        {"jet_datepart('d', NULL)", "Null"},
    });
}

TEST_F(DateFunctions, DateSerialAndTimeSerialCarryOutOfRangeParts) {
    db.expectAll({
        {"jet_cstr(jet_dateserial(2024, 2, 30))", "\"2024/03/01\""},
        {"jet_cstr(jet_dateserial(2024, 13, 1))", "\"2025/01/01\""},
        {"jet_cstr(jet_dateserial(2024, 3, 0))", "\"2024/02/29\""},
        {"jet_cstr(jet_dateserial(2024, 0, 1))", "\"2023/12/01\""},
        {"jet_cstr(jet_dateserial(24, 1, 1))", "\"2024/01/01\""},
        {"jet_cstr(jet_dateserial(95, 1, 1))", "\"1995/01/01\""},
        {"jet_dateserial(NULL, 1, 1)", kInvalidNull},
        {"jet_dateserial(10000, 1, 1)", kInvalidCall},
        {"jet_cstr(jet_timeserial(13, 5, 0))", "\"13:05:00\""},
        {"jet_cstr(jet_timeserial(0, 90, 0))", "\"1:30:00\""},
        {"jet_cstr(jet_timeserial(25, 0, 0))", "\"1899/12/31 1:00:00\""},
        {"jet_cstr(jet_timeserial(-1, 0, 0))", "\"1899/12/29 23:00:00\""},
    });
}

TEST_F(DateFunctions, DateValueAndTimeValueTakeOnePart) {
    db.expectAll({
        {"jet_cstr(jet_datevalue('2024/01/31 13:45'))", "\"2024/01/31\""},
        {"jet_datevalue('abc')", kTypeMismatch},
        {"jet_datevalue(NULL)", kInvalidNull},
        {"jet_cstr(jet_timevalue('2024/01/31 13:45'))", "\"13:45:00\""},
        {"jet_cstr(jet_timevalue('1:45:10 PM'))", "\"13:45:10\""},
        {"jet_timevalue('25:00')", kTypeMismatch},
    });
}

}  // namespace
