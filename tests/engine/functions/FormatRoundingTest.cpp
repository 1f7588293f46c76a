// Where Format and the Format... functions round: on the value as the
// binary double holds it, not on the decimal text it was written as.
// Format and FormatCurrency take a half away from zero; FormatNumber and
// FormatPercent round as Round does, a half (of the value scaled to the
// last digit shown) to the even digit. Each value's binary form is noted
// where it decides. And the section of a format that a Null takes.
#include "tests/engine/functions/FunctionTestSupport.h"

using namespace lumo::test;

namespace {

class FormatRounding : public ::testing::Test {
protected:
    FunctionDatabase db;
};

TEST_F(FormatRounding, FormatRoundsTheStoredValue) {
    db.expectAll({
        {"jet_format(1.005, '0.00')", "\"1.00\""},    // 1.00499999999999989...
        {"jet_format(2.675, '0.00')", "\"2.67\""},    // 2.67499999999999982...
        {"jet_format(1.255, '0.00')", "\"1.25\""},    // 1.25499999999999989...
        {"jet_format(0.045, '0.00')", "\"0.04\""},    // 0.04499999999999999...
        {"jet_format(1.45, '0.0')", "\"1.4\""},       // 1.44999999999999995...
        {"jet_format(8.345, '0.00')", "\"8.35\""},    // 8.34500000000000063...
        {"jet_format(12.345, '0.00')", "\"12.35\""},  // 12.3450000000000006...
        {"jet_format(0.125, '0.00')", "\"0.13\""},    // exactly a half: away from zero
        {"jet_format(-0.125, '0.00')", "\"-0.13\""},
        {"jet_format(-2.5, '0')", "\"-3\""},
        {"jet_format(2.675, 'Fixed')", "\"2.67\""},
        {"jet_format(1234.565, 'Standard')", "\"1,234.57\""},  // 1234.56500000000005...
        {"jet_format(0.285, 'Percent')", "\"28.50%\""},  // 28.4999999999999964 times 100
        {"jet_format(0.1 + 0.2, '0.00')", "\"0.30\""},
        {"jet_format(0.1, '0.00000000000000000000')", "\"0.10000000000000000000\""},  // no binary noise
        {"jet_format(1234567.891, '#,##0.0')", "\"1,234,567.9\""},
    });
}

TEST_F(FormatRounding, FormatNumberAndPercentRoundHalvesToEven) {
    db.expectAll({
        {"jet_formatnumber(12.345)", "\"12.34\""},  // scaled: exactly 1234.5
        {"jet_formatnumber(-12.345)", "\"-12.34\""},
        {"jet_formatnumber(0.125)", "\"0.12\""},
        {"jet_formatnumber(0.135)", "\"0.14\""},
        {"jet_formatnumber(2.5, 0)", "\"2\""},
        {"jet_formatnumber(3.5, 0)", "\"4\""},
        {"jet_formatnumber(1.005)", "\"1.00\""},  // scaled: 100.4999999999999858
        {"jet_formatnumber(8.345)", "\"8.35\""},  // scaled: 834.5000000000001137
        {"jet_formatnumber(1234.5678, 3)", "\"1,234.568\""},
        {"jet_formatnumber(-0.004)", "\"0.00\""},
        {"jet_formatpercent(0.12345)", "\"12.34%\""},  // scaled: exactly 1234.5
        {"jet_formatpercent(0.00125)", "\"0.12%\""},   // scaled: exactly 12.5
        {"jet_formatpercent(0.285)", "\"28.50%\""},    // scaled: 2849.99999999999954
        {"jet_formatpercent(0.5)", "\"50.00%\""},
        {"jet_formatcurrency(1234.5)", "\"¥1,235\""},  // the currency takes a half away from zero
        {"jet_formatcurrency(2.5)", "\"¥3\""},
    });
}

TEST_F(FormatRounding, NullTakesTheSectionMadeForIt) {
    db.expectAll({
        {"jet_format(NULL, '@;\"empty\"')", "\"empty\""},  // a text format's second section
        {"jet_format('', '@;\"empty\"')", "\"empty\""},
        {"jet_format('ab', '@@@;\"empty\"')", "\" ab\""},
        {"jet_format(NULL, '@')", "Null"},
        {"jet_format(NULL, '0;0;0;\"N/A\"')", "\"N/A\""},
        {"jet_format(NULL, '0;(0)')", "Null"},
    });
}

}  // namespace
