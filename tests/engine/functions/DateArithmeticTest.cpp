// Dates built and moved by Jet's functions, shown through CStr: two-digit
// and out-of-range parts of DateSerial and TimeSerial, DateAdd on a date
// with a time, DateValue, TimeValue and CDate of a number, dates before
// 1899/12/30 (negative automation dates) included.
#include "tests/engine/functions/FunctionTestSupport.h"

using namespace lumo::test;

namespace {

class DateArithmetic : public ::testing::Test {
protected:
    FunctionDatabase db;
};

TEST_F(DateArithmetic, DateSerialWithTwoDigitAndOutOfRangeParts) {
    db.expectAll({
        {"jet_cstr(jet_dateserial(99, 13, 1))", "\"2000/01/01\""},
        {"jet_cstr(jet_dateserial(29, 12, 31))", "\"2029/12/31\""},
        {"jet_cstr(jet_dateserial(30, 1, 1))", "\"1930/01/01\""},
        {"jet_cstr(jet_dateserial(0, 1, 1))", "\"2000/01/01\""},
        {"jet_cstr(jet_dateserial(5, 14, 1))", "\"2006/02/01\""},
        {"jet_cstr(jet_dateserial(2024, 1, 0))", "\"2023/12/31\""},
        {"jet_cstr(jet_dateserial(2024, 1, -1))", "\"2023/12/30\""},
        {"jet_cstr(jet_dateserial(2024, -1, 1))", "\"2023/11/01\""},
        {"jet_cstr(jet_dateserial(2023, 1, 366))", "\"2024/01/01\""},
        {"jet_cstr(jet_dateserial(2024, 14, 31))", "\"2025/03/03\""},
        {"jet_cstr(jet_dateserial(1899, 12, 29))", "\"1899/12/29\""},
        {"jet_cstr(jet_dateserial(100, 1, 1))", "\"0100/01/01\""},
        {"jet_dateserial(1899, 12, 30)", "0"},
        {"jet_dateserial(2003, 11, 22)", "37947"},
    });
}

TEST_F(DateArithmetic, TimeSerialCarriesIntoHoursAndDays) {
    db.expectAll({
        {"jet_cstr(jet_timeserial(12, -15, 0))", "\"11:45:00\""},
        {"jet_cstr(jet_timeserial(0, 0, 3661))", "\"1:01:01\""},
        {"jet_cstr(jet_timeserial(12, 90, 0))", "\"13:30:00\""},
        {"jet_cstr(jet_timeserial(24, 0, 0))", "\"1899/12/31\""},
        {"jet_cstr(jet_timeserial(23, 59, 60))", "\"1899/12/31\""},
        {"jet_timeserial(6, 0, 0)", "0.25"},
    });
}

TEST_F(DateArithmetic, DateAddKeepsTheTimeOfDay) {
    db.expectAll({
        {"jet_cstr(jet_dateadd('d', 20, '2003/11/22 10:30'))", "\"2003/12/12 10:30:00\""},
        {"jet_dateadd('d', 20, '2003/11/22')", "37967"},
        {"jet_cstr(jet_dateadd('h', 15, '2003/11/22 10:30'))", "\"2003/11/23 1:30:00\""},
        {"jet_cstr(jet_dateadd('n', -31, '2003/11/22 0:30'))", "\"2003/11/21 23:59:00\""},
        {"jet_cstr(jet_dateadd('s', 30, '2003/11/22 23:59:45'))", "\"2003/11/23 0:00:15\""},
        {"jet_cstr(jet_dateadd('m', 1, '2004/01/31 23:59:59'))", "\"2004/02/29 23:59:59\""},
        {"jet_cstr(jet_dateadd('yyyy', 1, '2004/02/29 12:00'))", "\"2005/02/28 12:00:00\""},
        {"jet_cstr(jet_dateadd('ww', -1, '2003/11/22 6:00'))", "\"2003/11/15 6:00:00\""},
        {"jet_cstr(jet_dateadd('d', 1, '1899/12/29 12:00'))", "\"12:00:00\""},  // day 0 shows no date
        {"jet_cstr(jet_dateadd('h', 1, '1899/12/29 23:30'))", "\"0:30:00\""},
        {"jet_cstr(jet_dateadd('d', -1, '1899/12/30 6:00'))", "\"1899/12/29 6:00:00\""},
        {"jet_dateadd('d', 1, 0.5)", "1.5"},
        {"jet_dateadd('d', -1, 0.25)", "-1.25"},  // 1899/12/29 6:00: the day counts back, the time forward
    });
}

TEST_F(DateArithmetic, DateValueTimeValueAndCDateOfANumber) {
    db.expectAll({
        {"jet_cstr(jet_cdate(3013.45))", "\"1908/03/31 10:48:00\""},
        {"jet_cstr(jet_cdate(-1.5))", "\"1899/12/29 12:00:00\""},
        {"jet_cstr(jet_datevalue(45322.75))", "\"2024/01/31\""},
        {"jet_cstr(jet_datevalue(-1.5))", "\"1899/12/29\""},
        {"jet_cstr(jet_datevalue('2024年1月31日'))", "\"2024/01/31\""},
        {"jet_cstr(jet_datevalue('1/31/2024'))", "\"2024/01/31\""},
        {"jet_cstr(jet_timevalue(45322.75))", "\"18:00:00\""},
        {"jet_cstr(jet_timevalue(-1.5))", "\"12:00:00\""},
        {"jet_cstr(jet_timevalue('2024/01/31'))", "\"0:00:00\""},
        {"jet_cstr(jet_timevalue('13:45'))", "\"13:45:00\""},
        {"jet_datevalue(45322.75)", "45322"},
        {"jet_timevalue(45322.75)", "0.75"},
    });
}

}  // namespace
