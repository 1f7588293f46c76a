// Conversions, arithmetic functions and the functions that choose: Jet's
// answers, its Null rules, and its type mismatch, overflow and invalid
// call errors.
#include "tests/engine/functions/FunctionTestSupport.h"

using namespace lumo::test;

namespace {

class ValueFunctions : public ::testing::Test {
protected:
    FunctionDatabase db;
};

TEST_F(ValueFunctions, ValReadsTheLeadingNumber) {
    db.expectAll({
        {"jet_val('  1 2 3abc')", "123"},
        {"jet_val('1,000')", "1"},
        {"jet_val('-1.5e2x')", "-150"},
        {"jet_val('1e')", "1"},
        {"jet_val('&HFF')", "255"},
        {"jet_val('&HFFFF')", "-1"},
        {"jet_val('&O17')", "15"},
        {"jet_val('abc')", "0"},
        {"jet_val('')", "0"},
        {"jet_val(NULL)", kInvalidNull},
    });
}

TEST_F(ValueFunctions, TextOfNumbersAndDates) {
    db.expectAll({
        {"jet_str(12)", "\" 12\""},
        {"jet_str(-1.5)", "\"-1.5\""},
        {"jet_str(NULL)", "Null"},
        {"jet_cstr(0.1 + 0.2)", "\"0.3\""},
        {"jet_cstr(1e15)", "\"1E+15\""},
        {"jet_cstr(123456789012345)", "\"123456789012345\""},
        {"jet_cstr(0.00001)", "\"1E-05\""},
        {"jet_cstr(0.0001)", "\"0.0001\""},
        {"jet_cstr(jet_cdate('2024/01/31'))", "\"2024/01/31\""},
        {"jet_cstr(jet_cdate('2024/01/31 9:05'))", "\"2024/01/31 9:05:00\""},
        {"jet_cstr(jet_timeserial(13, 5, 0))", "\"13:05:00\""},
        {"jet_cstr(NULL)", kInvalidNull},
    });
}

TEST_F(ValueFunctions, WholeNumberConversionsRoundHalfToEven) {
    db.expectAll({
        {"jet_clng(2.5)", "2"},
        {"jet_clng(3.5)", "4"},
        {"jet_clng(-2.5)", "-2"},
        {"jet_clng('1,025')", "1025"},
        {"jet_clng(' &H10 ')", "16"},
        {"jet_clng('－１，０２５')", "-1025"},
        {"jet_clng('(7)')", "-7"},
        {"jet_clng('abc')", kTypeMismatch},
        {"jet_clng(3000000000)", kOverflow},
        {"jet_clng(NULL)", kInvalidNull},
        {"jet_cint(32767.4)", "32767"},
        {"jet_cint(32768)", kOverflow},
        {"jet_cint(-32768)", "-32768"},
        {"jet_cbyte(255)", "255"},
        {"jet_cbyte(-1)", kOverflow},
        {"jet_cbool('True')", "-1"},
        {"jet_cbool(' false ')", "0"},
        {"jet_cbool(2)", "-1"},
        {"jet_cbool('0')", "0"},
        {"jet_cbool('abc')", kTypeMismatch},
    });
}

TEST_F(ValueFunctions, FractionalAndDateConversions) {
    db.expectAll({
        {"jet_cdbl('1.5E3')", "1500"},
        {"jet_cdbl(' ¥1,200 ')", "1200"},
        {"jet_cdbl('-2.013E-4')", "-0.0002013"},
        {"jet_cdbl('12abc')", kTypeMismatch},
        {"jet_cdbl('')", kTypeMismatch},
        {"jet_csng(0.1)", "0.1"},
        {"jet_csng(1e39)", kOverflow},
        {"jet_ccur(1.23456)", "1.2346"},
        {"jet_ccur(1e15)", kOverflow},
        {"jet_cdec('3.25')", "3.25"},
        {"jet_cdate('2024/01/31')", "45322"},
        {"jet_cdate('24/1/31')", "45322"},
        {"jet_cdate('2024-01-31 12:00')", "45322.5"},
        {"jet_cdate('1/31/2024 6:00 PM')", "45322.75"},
        {"jet_cdate('2024年1月31日')", "45322"},
        {"jet_cdate('2024年1月31日 18:00')", "45322.75"},
        {"jet_cdate('2024年2月30日')", kTypeMismatch},
        // An era's year, as a Japanese desktop reads it.
        {"jet_cdate('平成15年11月22日')", "37947"},
        {"jet_cdate('H15/11/22')", "37947"},
        {"jet_cdate('h15.11.22 12:00')", "37947.5"},
        {"jet_cdate('平成元年1月8日')", "32516"},
        {"jet_cdate('R1.5.1')", "43586"},
        {"jet_cdate('H0/1/1')", kTypeMismatch},
        // An English month name, which a desktop reads in any locale.
        {"jet_cdate('November 22, 2003')", "37947"},
        {"jet_cdate('22-Nov-2003')", "37947"},
        {"jet_cdate('2003 nov 22')", "37947"},
        {"jet_cdate('Saturday, Nov 22, 03 12:00')", "37947.5"},
        {"jet_cdate('Sept 2003')", "37865"},
        {"jet_year(jet_cdate('Nov 22')) = jet_year(jet_date())", "1"},  // this year's
        {"jet_cdate('Nov 31, 2003')", kTypeMismatch},
        {"jet_cdate('Nov 22 Dec 2003')", kTypeMismatch},
        {"jet_cdate('Nov 32')", kTypeMismatch},
        {"jet_cdate('Sat')", kTypeMismatch},
        {"jet_cdate('2023/02/29')", kTypeMismatch},
        {"jet_cdate('abc')", kTypeMismatch},
        {"jet_cdate(1e10)", kOverflow},
    });
}

TEST_F(ValueFunctions, HexAndOctWriteTwosComplement) {
    db.expectAll({
        {"jet_hex(9786)", "\"263A\""},
        {"jet_hex(-1)", "\"FFFF\""},
        {"jet_hex(-32769)", "\"FFFF7FFF\""},
        {"jet_hex(255.5)", "\"100\""},
        {"jet_hex(NULL)", "Null"},
        {"jet_hex(3000000000)", kOverflow},
        {"jet_oct(8)", "\"10\""},
        {"jet_oct(-1)", "\"177777\""},
    });
}

TEST_F(ValueFunctions, IntFixAbsSgn) {
    db.expectAll({
        {"jet_int(-2.5)", "-3"},
        {"jet_fix(-2.5)", "-2"},
        {"jet_int(7)", "7"},
        {"jet_int('3.7')", "3"},
        {"jet_int(NULL)", "Null"},
        {"jet_abs(-3)", "3"},
        {"jet_abs(-2147483648)", kOverflow},
        {"jet_abs('abc')", kTypeMismatch},
        {"jet_sgn(-0.1)", "-1"},
        {"jet_sgn(0)", "0"},
        {"jet_sgn(NULL)", kInvalidNull},
        {"jet_int(jet_cdate('2024/01/31 18:00')) = 45322", "1"},
    });
}

TEST_F(ValueFunctions, AnalysisFunctions) {
    db.expectAll({
        {"jet_sqr(16)", "4"},
        {"jet_sqr(-1)", kInvalidCall},
        {"jet_exp(1)", "2.71828182845905"},
        {"jet_exp(1000)", kOverflow},
        {"jet_log(100)", "4.60517018598809"},
        {"jet_log(jet_exp(2))", "2"},
        {"jet_log(0)", kInvalidCall},
        {"jet_log(NULL)", kInvalidNull},
        {"jet_atn(1) * 4", "3.14159265358979"},
        {"jet_sin(0)", "0"},
        {"jet_cos(0)", "1"},
        {"jet_tan(0)", "0"},
    });
}

TEST_F(ValueFunctions, RoundIsBankersRounding) {
    db.expectAll({
        {"jet_round(2.5)", "2"},
        {"jet_round(3.5)", "4"},
        {"jet_round(-2.5)", "-2"},
        {"jet_round(2.51)", "3"},
        {"jet_round(0.125, 2)", "0.12"},
        {"jet_round(0.135, 2)", "0.14"},
        {"jet_round(2.675, 2)", "2.68"},
        {"jet_round(1.23456, 3)", "1.235"},
        {"jet_round(7)", "7"},
        {"jet_round(2.5, -1)", kInvalidCall},
        {"jet_round(NULL)", "Null"},
    });
}

TEST_F(ValueFunctions, ChoicesSeeNullAsAValue) {
    db.expectAll({
        {"jet_iif(1 > 0, 'yes', 'no')", "\"yes\""},
        {"jet_iif(0, 1, 2)", "2"},
        {"jet_iif(NULL, 'a', 'b')", "\"b\""},
        {"jet_iif(-1, NULL, 2)", "Null"},
        {"jet_iif('abc', 1, 2)", kTypeMismatch},
        {"jet_choose(2, 'a', 'b', 'c')", "\"b\""},
        {"jet_choose(2.5, 'a', 'b', 'c')", "\"b\""},
        {"jet_choose(4, 'a', 'b', 'c')", "Null"},
        {"jet_choose(0, 'a')", "Null"},
        {"jet_choose(NULL, 'a')", "Null"},
        {"jet_switch(0, 'a', 1, 'b')", "\"b\""},
        {"jet_switch(NULL, 'a', -1, 'b')", "\"b\""},
        {"jet_switch(0, 'a')", "Null"},
        {"jet_switch(1, 'a', 0)", kInvalidCall},
        {"jet_nz(NULL)", "\"\""},
        {"jet_nz(NULL, 0)", "0"},
        {"jet_nz(5, 0)", "5"},
        {"jet_isnull(NULL)", "-1"},
        {"jet_isnull('')", "0"},
    });
}

TEST_F(ValueFunctions, IsNumericAndIsDate) {
    db.expectAll({
        {"jet_isnumeric('1,000')", "-1"},
        {"jet_isnumeric(' 12 ')", "-1"},
        {"jet_isnumeric('&H1F')", "-1"},
        {"jet_isnumeric('12a')", "0"},
        {"jet_isnumeric('１２３')", "-1"},
        {"jet_isnumeric('123-')", "-1"},
        {"jet_isnumeric('一二三')", "0"},
        {"jet_isnumeric('')", "0"},
        {"jet_isnumeric('1e999')", "0"},
        {"jet_isnumeric(NULL)", "0"},
        {"jet_isnumeric(3.5)", "-1"},
        {"jet_isnumeric(jet_now())", "0"},
        {"jet_isdate('2024/02/29')", "-1"},
        {"jet_isdate('2023/02/29')", "0"},
        {"jet_isdate('12:30')", "-1"},
        {"jet_isdate(45000)", "0"},
        {"jet_isdate(jet_date())", "-1"},
        {"jet_isdate(NULL)", "0"},
    });
}

}  // namespace
