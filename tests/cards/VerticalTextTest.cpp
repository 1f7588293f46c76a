// Address text as it stands in a vertical column: numerals in each style,
// dashes made one separator, Latin letters widened; and postal digits.
#include <gtest/gtest.h>

#include "cards/VerticalText.h"

namespace lumo::cards {
namespace {

TEST(VerticalTextTest, WritesNumbersInTheChosenStyleAndKeepsTheWords) {
    const struct {
        const char* text;
        NumberStyle style;
        const char* expected;
    } cases[]{
        {"1-2-3", NumberStyle::Kanji, "一ー二ー三"},
        {"102", NumberStyle::Kanji, "一〇二"},
        {"102", NumberStyle::Kanji10, "百二"},
        {"12-3", NumberStyle::Kanji10, "十二ー三"},
        {"2020", NumberStyle::Kanji10, "二千二十"},
        {"1110", NumberStyle::Kanji10, "千百十"},
        {"20", NumberStyle::Kanji10, "二十"},
        {"12345", NumberStyle::Kanji10, "一二三四五"},  // past 9999: digit by digit
        {"05", NumberStyle::Kanji10, "〇五"},           // a leading zero: as written
        {"３丁目５番地７号", NumberStyle::Kanji, "三丁目五番地七号"},
        {"203号室", NumberStyle::Kanji, "二〇三号室"},
        {"203号室", NumberStyle::Arabic, "２０３号室"},
        {"1‐2–3—4−5－6", NumberStyle::Kanji, "一ー二ー三ー四ー五ー六"},
        {"センター1ー2", NumberStyle::Kanji, "センター一ー二"},
        {"A棟 B-1", NumberStyle::Kanji, "Ａ棟　Ｂー一"},
        {"O'Brien", NumberStyle::Kanji, "Ｏ＇Ｂｒｉｅｎ"},
        {"グリーンハイツ①-203", NumberStyle::Kanji, "グリーンハイツ①ー二〇三"},
        {"", NumberStyle::Kanji, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(cellText(verticalCells(c.text, c.style)), c.expected);
    }
}

TEST(VerticalTextTest, ArabicTwoDigitNumbersShareOneSquare) {
    const std::vector<Cell> expected{{"１２", true}, {"番"}, {"３"}, {"ー"}, {"４５", true}};
    EXPECT_EQ(verticalCells("12番3-45", NumberStyle::Arabic), expected);
    EXPECT_EQ(verticalCells("一二", NumberStyle::Arabic).size(), 2u);  // kanji as written, one square each
}

TEST(VerticalTextTest, PostalDigitsIgnoreWidthAndSeparators) {
    const struct {
        const char* zip;
        const char* digits;
    } cases[]{
        {"123-4567", "1234567"}, {"１２３－４５６７", "1234567"}, {"〒123 4567", "1234567"},
        {"", ""},                {"150", "150"},                  {"12345678", "1234567"},
    };
    for (const auto& c : cases) EXPECT_EQ(postalDigits(c.zip), c.digits) << c.zip;
}

}  // namespace
}  // namespace lumo::cards
