// Format and the Format... functions: named formats with a Japanese
// desktop's dates and amounts, user-defined formats for numbers, dates and
// text, and Null.
#include "tests/engine/functions/FunctionTestSupport.h"

using namespace lumo::test;

namespace {

class FormatFunctions : public ::testing::Test {
protected:
    FunctionDatabase db;
};

TEST_F(FormatFunctions, WithoutAFormatValuesShowAsText) {
    db.expectAll({
        {"jet_format(1234.5)", "\"1234.5\""},
        {"jet_format(jet_dateserial(2024, 1, 31))", "\"2024/01/31\""},
        {"jet_format('abc')", "\"abc\""},
        {"jet_format(NULL)", "Null"},
        {"jet_format(12, NULL)", "\"12\""},
    });
}

TEST_F(FormatFunctions, NamedNumberFormats) {
    db.expectAll({
        {"jet_format(1234.5, 'General Number')", "\"1234.5\""},
        {"jet_format(1234.5, 'Currency')", "\"¥1,235\""},
        {"jet_format(-1234.4, 'Currency')", "\"-¥1,234\""},
        {"jet_format(1234.5, 'Fixed')", "\"1234.50\""},
        {"jet_format(0.5, 'fixed')", "\"0.50\""},
        {"jet_format(1234.5, 'Standard')", "\"1,234.50\""},
        {"jet_format(0.1234, 'Percent')", "\"12.34%\""},
        {"jet_format(1234.5, 'Scientific')", "\"1.23E+03\""},
        {"jet_format(0, 'Yes/No')", "\"No\""},
        {"jet_format(-1, 'Yes/No')", "\"Yes\""},
        {"jet_format(-1, 'True/False')", "\"True\""},
        {"jet_format(0, 'On/Off')", "\"Off\""},
        {"jet_format('12.5', 'Fixed')", "\"12.50\""},
        {"jet_format('abc', 'Fixed')", "\"abc\""},
    });
}

TEST_F(FormatFunctions, NamedDateFormatsOfAJapaneseDesktop) {
    db.expectAll({
        {"jet_format(45322.5, 'General Date')", "\"2024/01/31 12:00:00\""},
        {"jet_format(45322, 'Long Date')", "\"2024年1月31日\""},
        {"jet_format(45322, 'Medium Date')", "\"24-01-31\""},
        {"jet_format(45322, 'short date')", "\"2024/01/31\""},
        {"jet_format(45322.75, 'Long Time')", "\"18:00:00\""},
        {"jet_format(45322.75, 'Medium Time')", "\"06:00 午後\""},
        {"jet_format(45322.75, 'Short Time')", "\"18:00\""},
        {"jet_format('2024/01/31', 'Long Date')", "\"2024年1月31日\""},
        {"jet_format('abc', 'Long Date')", "\"abc\""},
    });
}

TEST_F(FormatFunctions, UserDefinedNumberFormats) {
    db.expectAll({
        {"jet_format(1234.567, '#,##0.00')", "\"1,234.57\""},
        {"jet_format(5, '#.##')", "\"5.\""},
        {"jet_format(0.5, '#.##')", "\".5\""},
        {"jet_format(0.5, '0.00')", "\"0.50\""},
        {"jet_format(2.5, '0')", "\"3\""},
        {"jet_format(1.005, '0.00')", "\"1.00\""},  // 1.005 is stored as 1.00499999...
        {"jet_format(9.999, '0.00')", "\"10.00\""},
        {"jet_format(1234567, '000-0000')", "\"123-4567\""},
        {"jet_format(5, '000')", "\"005\""},
        {"jet_format(5, '0,000')", "\"0,005\""},
        {"jet_format(-5, '0')", "\"-5\""},
        {"jet_format(-5, '0;(0)')", "\"(5)\""},
        {"jet_format(0, '0;(0);\"zero\"')", "\"zero\""},
        {"jet_format(NULL, '0;(0);\"zero\";\"none\"')", "\"none\""},
        {"jet_format(NULL, '0')", "Null"},
        // Letters a section shows unquoted do not make a date format.
        {"jet_format(0, '#,##0.00;(#,##0.00);Zero')", "\"Zero\""},
        {"jet_format(NULL, '0;-0;0;Null')", "\"Null\""},
        {"jet_format(1.5, '0.0 Days')", "\"1.5 Days\""},
        {"jet_format(0.256, '0%')", "\"26%\""},
        {"jet_format(1234567, '#,##0,')", "\"1,235\""},
        {"jet_format(1234.5, '0.00E+00')", "\"1.23E+03\""},
        {"jet_format(0.000123, '0.0E-00')", "\"1.2E-04\""},
        {"jet_format(12345, '0.0E-0')", "\"1.2E4\""},
        {"jet_format(99999, '0.0E+0')", "\"1.0E+5\""},
        {"jet_format(1234.5, '\"¥\"#,##0')", "\"¥1,235\""},
        {"jet_format(12, '0円')", "\"12円\""},
        {"jet_format(12, '\\#0')", "\"#12\""},
        {"jet_format('12.5', '0.00')", "\"12.50\""},
        {"jet_format('abc', '0.00')", "\"abc\""},
        {"jet_format(1e15, '#,##0')", "\"1,000,000,000,000,000\""},
    });
}

TEST_F(FormatFunctions, UserDefinedDateFormats) {
    db.expectAll({
        {"jet_format(45322.5625, 'yyyy/mm/dd hh:nn:ss')", "\"2024/01/31 13:30:00\""},
        {"jet_format(45322, 'yy/m/d')", "\"24/1/31\""},
        // English names for d and m, Japanese ones for a and o, as on a
        // Japanese desktop.
        {"jet_format(45322, 'ddd dddd aaa aaaa')", "\"Wed Wednesday 水 水曜日\""},
        {"jet_format(45322, 'mmm mmmm oooo')", "\"Jan January 1月\""},
        {"jet_format(45417, 'mmm/MMMM/OOOO')", "\"May/May/5月\""},
        {"jet_format(45322, 'oooo')", "\"1月\""},
        {"jet_format(45322, 'ooo')", "\"ooo\""},
        {"jet_format(45322.5625, 'h:mm')", "\"13:30\""},
        {"jet_format(45322.5625, 'hh:nn AM/PM')", "\"01:30 PM\""},
        {"jet_format(45322.0625, 'h:nn am/pm')", "\"1:30 am\""},
        {"jet_format(45322.5625, 'h:nn a/p')", "\"1:30 p\""},
        {"jet_format(45322.5, 'AMPM h時')", "\"午後 12時\""},
        {"jet_format(45322, 'q y w ww')", "\"1 31 4 5\""},
        {"jet_format(45322, 'yyyy年m月d日')", "\"2024年1月31日\""},
        {"jet_format(45322, 'yyyy\"年\"m\"月\"d\"日\"')", "\"2024年1月31日\""},
        {"jet_format(45322, 'ddddd / dddddd')", "\"2024/01/31 / 2024年1月31日\""},
        {"jet_format(45322.5, 'c / ttttt')", "\"2024/01/31 12:00:00 / 12:00:00\""},
        {"jet_format(45322, '\\d d')", "\"d 31\""},
        {"jet_format('2024/01/31', 'yyyy')", "\"2024\""},
        {"jet_format('abc', 'yyyy')", "\"abc\""},
        {"jet_format(jet_now(), 'yyyy') = jet_cstr(jet_year(jet_now()))", "1"},
        {"jet_format(45322, 'ww', 2, 2)", "\"5\""},
        {"jet_format(45322, 'ww', 9)", kInvalidCall},
    });
}

TEST_F(FormatFunctions, UserDefinedTextFormats) {
    db.expectAll({
        {"jet_format('abc', '@@@@@')", "\"  abc\""},
        {"jet_format('abc', '!@@@@@')", "\"abc  \""},
        {"jet_format('abc', '&&&&&')", "\"abc\""},
        {"jet_format('abcdef', '@@@')", "\"abcdef\""},
        {"jet_format('abcdef', '!@@@-')", "\"abcdef-\""},
        {"jet_format('0312345678', '@@-@@@@-@@@@')", "\"03-1234-5678\""},
        {"jet_format('日本語', '@@@@')", "\" 日本語\""},
        {"jet_format('abc', '>')", "\"ABC\""},
        {"jet_format('ＡＢＣ', '<')", "\"ａｂｃ\""},
        {"jet_format('', '@;\"(empty)\"')", "\"(empty)\""},
        {"jet_format(123, '@@@@@')", "\"  123\""},
    });
}

TEST_F(FormatFunctions, FormatNumberCurrencyPercentWithTheirOptions) {
    db.expectAll({
        {"jet_formatnumber(1234.567)", "\"1,234.57\""},
        {"jet_formatnumber(1234.567, 0)", "\"1,235\""},
        {"jet_formatnumber(-0.5, 1, 0)", "\"-.5\""},
        // Without decimals there is no leading digit to leave out.
        {"jet_formatnumber(0.4, 0, 0)", "\"0\""},
        {"jet_formatnumber(0, 2, 0)", "\".00\""},
        {"jet_formatnumber(-1234.5, 2, -1, -1)", "\"(1,234.50)\""},
        {"jet_formatnumber(1234.5, 2, -1, 0, 0)", "\"1234.50\""},
        {"jet_formatnumber(1234.5, -1, -2, -2, -2)", "\"1,234.50\""},
        {"jet_formatnumber(NULL)", kInvalidNull},
        {"jet_formatnumber('abc')", kTypeMismatch},
        {"jet_formatnumber(1, -2)", kInvalidCall},
        {"jet_formatcurrency(1234.5)", "\"¥1,235\""},
        {"jet_formatcurrency(-1234.5)", "\"-¥1,235\""},
        {"jet_formatcurrency(1234.5, 2)", "\"¥1,234.50\""},
        {"jet_formatcurrency(-5, 0, -1, -1)", "\"(¥5)\""},
        {"jet_formatpercent(0.1234)", "\"12.34%\""},
        {"jet_formatpercent(0.5, 0)", "\"50%\""},
    });
}

TEST_F(FormatFunctions, FormatDateTimeNamedForms) {
    db.expectAll({
        {"jet_formatdatetime(45322.5)", "\"2024/01/31 12:00:00\""},
        {"jet_formatdatetime(45322, 1)", "\"2024年1月31日\""},
        {"jet_formatdatetime(45322.5, 2)", "\"2024/01/31\""},
        {"jet_formatdatetime(45322.5, 3)", "\"12:00:00\""},
        {"jet_formatdatetime(45322.5625, 4)", "\"13:30\""},
        {"jet_formatdatetime('2024/01/31', 1)", "\"2024年1月31日\""},
        {"jet_formatdatetime(45322, 5)", kInvalidCall},
        {"jet_formatdatetime(NULL)", kInvalidNull},
    });
}

}  // namespace
