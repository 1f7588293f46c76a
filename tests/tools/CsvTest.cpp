// The CSV field rule and the text of each value type in `lumo sql`.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/CsvField.h"
#include "platform/Dates.h"
#include "engine/Variant.h"
#include "tools/sql/CsvValue.h"

namespace lumo::test {
namespace {

using lumo::db::Variant;

TEST(CsvFieldTest, QuotesOnlyFieldsWithSeparatorsQuotesOrLineBreaks) {
    EXPECT_EQ(csvField(""), "");
    EXPECT_EQ(csvField("plain text 山田"), "plain text 山田");
    EXPECT_EQ(csvField("O'Brien"), "O'Brien");
    EXPECT_EQ(csvField(" leading and trailing "), " leading and trailing ");
    EXPECT_EQ(csvField("a,b"), "\"a,b\"");
    EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csvField("\""), "\"\"\"\"");
    EXPECT_EQ(csvField("line1\r\nline2"), "\"line1\r\nline2\"");
    EXPECT_EQ(csvField("cr\ronly"), "\"cr\ronly\"");
    EXPECT_EQ(csvField("lf\n"), "\"lf\n\"");
}

TEST(CsvFieldTest, AppendsToALine) {
    std::string line = "1,";
    appendCsvField(line, "x,y");
    line += ',';
    appendCsvField(line, "z");
    EXPECT_EQ(line, "1,\"x,y\",z");
}

TEST(CsvValueTest, NullAndEmptyAreEmptyFields) {
    EXPECT_EQ(tools::csvValueText(Variant::null()), "");
    EXPECT_EQ(tools::csvValueText(Variant()), "");
}

TEST(CsvValueTest, NumbersAndBooleans) {
    EXPECT_EQ(tools::csvValueText(Variant(int32_t{-2147483647 - 1})), "-2147483648");
    EXPECT_EQ(tools::csvValueText(Variant(int16_t{-32768})), "-32768");
    EXPECT_EQ(tools::csvValueText(Variant(true)), "-1");
    EXPECT_EQ(tools::csvValueText(Variant(false)), "0");
    EXPECT_EQ(tools::csvValueText(Variant(0.1 + 0.2)), "0.30000000000000004");
    EXPECT_EQ(tools::csvValueText(Variant(2.5)), "2.5");
    EXPECT_EQ(tools::csvValueText(Variant(1e300)), "1e+300");
    EXPECT_EQ(tools::csvValueText(Variant(-3.0)), "-3");
}

TEST(CsvValueTest, DatesWithAndWithoutTimeOfDay) {
    EXPECT_EQ(tools::csvValueText(Variant::date(0)), "1899/12/30");
    EXPECT_EQ(tools::csvValueText(Variant::date(dates::toAutomation(2026, 12, 24))), "2026/12/24");
    EXPECT_EQ(tools::csvValueText(Variant::date(dates::toAutomation(2025, 3, 5, 7, 8, 9))), "2025/03/05 07:08:09");
    EXPECT_EQ(tools::csvValueText(Variant::date(dates::toAutomation(2025, 3, 5, 0, 0, 1))), "2025/03/05 00:00:01");
    // A time alone is a value of the day 0; the day before it is a date.
    EXPECT_EQ(tools::csvValueText(Variant::date(0.39166666666666666)), "09:24:00");
    EXPECT_EQ(tools::csvValueText(Variant::date(-1.25)), "1899/12/29 06:00:00");
    // Half a second before midnight rounds to the next day, not to 24:00:00.
    EXPECT_EQ(tools::csvValueText(Variant::date(dates::toAutomation(2025, 12, 31) + 1.0 - 0.4 / 86400)),
              "2026/01/01");
}

TEST(CsvValueTest, TextIsPassedThroughForTheCallerToQuote) {
    EXPECT_EQ(tools::csvValueText(Variant("ｵﾌｨｽ ① 髙, \"x\"")), "ｵﾌｨｽ ① 髙, \"x\"");
}

}  // namespace
}  // namespace lumo::test
