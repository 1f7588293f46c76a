#include "engine/Variant.h"

#include <gtest/gtest.h>

#include "platform/Error.h"

using lumo::Error;
using lumo::db::Variant;
using lumo::db::VarType;

TEST(Variant, NullConvertsToNothing) {
    const Variant null = Variant::null();
    EXPECT_TRUE(null.isNull());
    EXPECT_THROW(null.toLong(), Error);
    EXPECT_THROW(null.toInteger(), Error);
    EXPECT_THROW(null.toDouble(), Error);
    EXPECT_THROW(null.toString(), Error);
    try {
        null.toLong();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Null の使い方が不正です。");
    }
}

TEST(Variant, EmptyIsZeroAndEmptyText) {
    const Variant empty;
    EXPECT_EQ(empty.type(), VarType::Empty);
    EXPECT_EQ(empty.toLong(), 0);
    EXPECT_EQ(empty.toString(), "");
    EXPECT_FALSE(empty.toBool());
}

TEST(Variant, NumbersConvertWithRoundingHalfToEvenAndRangeChecks) {
    EXPECT_EQ(Variant(2.5).toLong(), 2);
    EXPECT_EQ(Variant(3.5).toLong(), 4);
    EXPECT_EQ(Variant(-2.5).toInteger(), -2);
    EXPECT_EQ(Variant(int32_t{40000}).toLong(), 40000);
    EXPECT_THROW(Variant(int32_t{40000}).toInteger(), Error);
    EXPECT_THROW(Variant(3e10).toLong(), Error);
    EXPECT_EQ(Variant(" 42 ").toLong(), 42);
    EXPECT_THROW(Variant("abc").toLong(), Error);
    EXPECT_EQ(Variant(true).toLong(), -1);
    EXPECT_EQ(Variant(false).toInteger(), 0);
}

TEST(Variant, BooleansFromNumbersAndText) {
    EXPECT_TRUE(Variant(int32_t{5}).toBool());
    EXPECT_TRUE(Variant(int16_t{-1}).toBool());
    EXPECT_FALSE(Variant(int32_t{0}).toBool());
    EXPECT_TRUE(Variant("True").toBool());
    EXPECT_FALSE(Variant("False").toBool());
    EXPECT_EQ(Variant(true).toString(), "True");
}

TEST(Variant, DatesFormatAsTheDesktopDoes) {
    EXPECT_EQ(Variant::date(0).toString(), "1899/12/30");
    EXPECT_EQ(Variant::date(45292.5).toString(), "2024/01/01 12:00:00");
    EXPECT_DOUBLE_EQ(Variant("2024/01/01").toDate(), 45292);
    EXPECT_EQ(Variant::date(1).type(), VarType::Date);
    EXPECT_FALSE(Variant::date(1) == Variant(1.0));
}
