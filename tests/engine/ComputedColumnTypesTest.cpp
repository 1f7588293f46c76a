// A computed column whose value is a date reads as a Date, through the
// production path (Connection, Recordset::Open): SQLite keeps the date as
// a number, and only the translation knows what the expression is. The
// expected values are automation dates worked out by hand (2003/11/22 is
// day 37947: 2003/01/01 is 37622, and 325 days of the year lie before it).
#include <gtest/gtest.h>

#include <string>

#include "engine/Connection.h"
#include "engine/Recordset.h"
#include "engine/Variant.h"
#include "tests/engine/TestDatabase.h"

namespace {

using lumo::db::VarType;
using lumo::db::Variant;

struct TypedCase {
    const char* expression;
    VarType type;
    double value;  // for numbers and dates
};

// Dates: each family of date results, and date arithmetic.
const TypedCase kDates[] = {
    {"DateAdd('d', 20, #2003/11/22#)", VarType::Date, 37967},
    {"#7:00:00 AM# + 0.1", VarType::Date, 7.0 / 24 + 0.1},
    {"DateSerial(2003, 11, 22)", VarType::Date, 37947},
    {"TimeSerial(7, 30, 0)", VarType::Date, 0.3125},
    {"DateValue('2003/11/22')", VarType::Date, 37947},
    {"CDate(3013.45)", VarType::Date, 3013.45},
    {"#2003/11/22# - 1", VarType::Date, 37946},
    {"2 + #2003/11/22#", VarType::Date, 37949},
    {"(DateSerial(2003, 11, 22) + 1)", VarType::Date, 37948},
    // Int, Fix and Abs keep a date a date; before 1899/12/30 the time is
    // the fraction after the day, so Fix(-1.5) is the day -1.
    {"Int(#2003/11/22 18:00#)", VarType::Date, 37947},
    {"Fix(CDate(-1.5))", VarType::Date, -1},
    // An aggregate that answers one of its values, and IIf, have the type
    // of the values given (BIRTHDAY: 30000.5 on the only person with one).
    {"Max(BIRTHDAY) FROM T_PERSON", VarType::Date, 30000.5},
    {"min(BIRTHDAY + 1) FROM T_PERSON", VarType::Date, 30001.5},
    {"First(BIRTHDAY) FROM T_PERSON", VarType::Date, 30000.5},
    {"Max(#2003/11/22#, #2003/11/23#)", VarType::Date, 37948},
    {"IIf(PERSON_ID = 1, BIRTHDAY, Null) FROM T_PERSON WHERE PERSON_ID = 1", VarType::Date, 30000.5},
    {"IIf(False, Null, #2003/11/22#)", VarType::Date, 37947},
};

// Not dates: what a date gives that is a number, and plain arithmetic.
const TypedCase kNumbers[] = {
    {"#2003/12/12# - #2003/11/22#", VarType::Double, 20},
    {"DateDiff('d', #2003/11/22#, #2003/12/12#)", VarType::Long, 20},
    {"Year(#2003/11/22#)", VarType::Long, 2003},
    {"1 + 2", VarType::Long, 3},
    {"1.5 * 2", VarType::Double, 3},
    {"Int(2.5)", VarType::Double, 2},  // a real stays a real
    {"Count(BIRTHDAY) FROM T_PERSON", VarType::Long, 1},
    {"Max(PERSON_ID) FROM T_PERSON", VarType::Long, 3},
    {"Max(#2003/11/22#, 37948)", VarType::Long, 37948},  // a date and a number: not a date
    {"IIf(True, #2003/11/22#, 1)", VarType::Double, 37947},
};

class ComputedColumnTypes : public ::testing::Test {
protected:
    void SetUp() override { cn_.Open(db_.connectionString()); }

    Variant value(const std::string& sql) {
        lumo::db::Recordset rs;
        rs.Open(sql, cn_, lumo::db::adOpenForwardOnly, lumo::db::adLockReadOnly, lumo::db::adCmdText);
        Variant v = rs.Fields(0).Value();
        rs.Close();
        return v;
    }

    lumo::test::TestDatabase db_{lumo::test::kEngineTables};
    lumo::db::Connection cn_;
};

TEST_F(ComputedColumnTypes, DateExpressionsReadAsDates) {
    for (const TypedCase* group : {static_cast<const TypedCase*>(kDates), static_cast<const TypedCase*>(kNumbers)}) {
        const std::size_t n = group == kDates ? std::size(kDates) : std::size(kNumbers);
        for (std::size_t i = 0; i < n; ++i) {
            const TypedCase& c = group[i];
            const Variant v = value(std::string("SELECT ") + c.expression);
            EXPECT_EQ(v.type(), c.type) << c.expression;
            EXPECT_NEAR(c.type == VarType::Date ? v.toDate() : v.toDouble(), c.value, 1e-9) << c.expression;
        }
    }
}

TEST_F(ComputedColumnTypes, ItemsKeepTheirPlacesAndOtherKinds) {
    cn_.Execute("UPDATE T_PERSON SET LASTNAME = 'a', BIRTHDAY = 30000 WHERE PERSON_ID = 1");
    lumo::db::Recordset rs;
    rs.Open("SELECT LASTNAME, DateAdd('d', 1, BIRTHDAY) AS NEXT_DAY, 'x' & DateSerial(2003, 11, 22), BIRTHDAY, "
            "DateAdd('d', 1, Null) FROM T_PERSON WHERE PERSON_ID = 1",
            cn_, lumo::db::adOpenForwardOnly, lumo::db::adLockReadOnly, lumo::db::adCmdText);
    EXPECT_EQ(rs.Fields(0).Value().type(), VarType::String);
    EXPECT_EQ(rs.Fields(1).Value().type(), VarType::Date);
    EXPECT_EQ(rs.Fields(1).Value().toDate(), 30001);
    EXPECT_EQ(rs.Fields(2).Value().type(), VarType::String);  // & gives text
    EXPECT_EQ(rs.Fields(2).Value().toString(), "x2003/11/22");
    EXPECT_EQ(rs.Fields(3).Value().type(), VarType::Date);  // the column's own declaration
    EXPECT_EQ(rs.Fields(4).Value().type(), VarType::Null);
    rs.Close();
    // A '*' list: the computed item is not matched to a column, and keeps
    // what SQLite gives.
    rs.Open("SELECT *, DateSerial(2003, 11, 22) FROM T_GROUPING", cn_, lumo::db::adOpenForwardOnly,
            lumo::db::adLockReadOnly, lumo::db::adCmdText);
    rs.Close();
}

}  // namespace

namespace {

// A date and a number in the same place share no cached translation: the
// date reaches a function as a date and makes a Date of the sum, the
// number does neither.
TEST_F(ComputedColumnTypes, ADateAndANumberInOnePlaceAreTranslatedApart) {
    EXPECT_EQ(value("SELECT IsDate(#2003/11/22#)").toBool(), true);
    EXPECT_EQ(value("SELECT IsDate(37947)").toBool(), false);
    EXPECT_EQ(value("SELECT #2003/11/22# + 1").type(), VarType::Date);
    EXPECT_EQ(value("SELECT 37947 + 1").type(), VarType::Long);
}

}  // namespace

namespace {

// Arithmetic on a Date/Time column is a Date, as on a date literal; the
// schema says which columns are dates. BIRTHDAY is set to 6:00 on day
// 30000, and #0:30# is 1/48 of a day.
TEST_F(ComputedColumnTypes, ArithmeticOnADateColumnReadsAsADate) {
    cn_.Execute("UPDATE T_PERSON SET BIRTHDAY = 30000.25, AGE = 40 WHERE PERSON_ID = 1");
    const TypedCase cases[] = {
        {"BIRTHDAY + 1", VarType::Date, 30001.25},
        {"P.BIRTHDAY - 1", VarType::Date, 29999.25},
        {"P.BIRTHDAY + #0:30#", VarType::Date, 30000.25 + 1.0 / 48},
        {"[P].[BIRTHDAY] * 1 + 1", VarType::Double, 30001.25},  // a product is a number
        {"2 + (BIRTHDAY)", VarType::Date, 30002.25},
        {"BIRTHDAY - P.BIRTHDAY", VarType::Double, 0},  // two dates' difference
        {"AGE + 1", VarType::Long, 41},
        {"-BIRTHDAY", VarType::Date, -30000.25},
    };
    for (const TypedCase& c : cases) {
        const Variant v = value(std::string("SELECT ") + c.expression + " FROM T_PERSON AS P WHERE PERSON_ID = 1");
        EXPECT_EQ(v.type(), c.type) << c.expression;
        EXPECT_NEAR(c.type == VarType::Date ? v.toDate() : v.toDouble(), c.value, 1e-9) << c.expression;
    }
    EXPECT_EQ(value("SELECT T_PERSON.BIRTHDAY - 1 FROM T_PERSON WHERE PERSON_ID = 1").type(), VarType::Date);
    // A name qualified by a table that has no such date column is not one.
    EXPECT_EQ(value("SELECT H.PERSON_ID + 1 FROM T_PERSON AS P INNER JOIN T_PHONE AS H ON H.PERSON_ID = P.PERSON_ID "
                    "WHERE P.PERSON_ID = 1")
                  .type(),
              VarType::Long);
}

}  // namespace

namespace {

// VarType and TypeName name the type the statement shows where SQLite's
// value would not tell it (True is -1, a date its number).
TEST_F(ComputedColumnTypes, VarTypeNamesTheTypeTheStatementShows) {
    struct Case {
        const char* argument;
        int varType;
        const char* typeName;
    };
    const Case cases[] = {
        {"True", 11, "Boolean"},
        {"1 = 1", 11, "Boolean"},
        {"Not False", 11, "Boolean"},
        {"#2003/11/22#", 7, "Date"},
        {"#2003/11/22# + 1", 7, "Date"},
        {"CCur(1) + 1", 6, "Currency"},
        {"Null = 1", 1, "Null"},      // a truth that is Null stays Null
        // A number literal is typed by its size, as Jet types it; the
        // result of arithmetic is what SQLite keeps.
        {"-1", 2, "Integer"},
        {"- 32768", 2, "Integer"},
        {"32768", 3, "Long"},
        {"1.5", 5, "Double"},
        {"1E2", 5, "Double"},
        {"1 + 1", 3, "Long"},
        {"1.5 * 2", 5, "Double"},
        {"'True'", 8, "String"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(value(std::string("SELECT VarType(") + c.argument + ")").toLong(), c.varType) << c.argument;
        EXPECT_EQ(value(std::string("SELECT TypeName(") + c.argument + ")").toString(), c.typeName) << c.argument;
    }
    cn_.Execute("UPDATE T_PERSON SET BIRTHDAY = 30000.25 WHERE PERSON_ID = 1");
    EXPECT_EQ(value("SELECT VarType(P.BIRTHDAY + 1) FROM T_PERSON AS P WHERE PERSON_ID = 1").toLong(), 7);
    EXPECT_EQ(value("SELECT VarType(BIRTHDAY * 1) FROM T_PERSON WHERE PERSON_ID = 1").toLong(), 5);
    // A one-table SELECT runs as its text with the row identity: that text
    // hands on the types too.
    EXPECT_EQ(value("SELECT VarType(True) FROM T_PERSON WHERE PERSON_ID = 1").toLong(), 11);
    EXPECT_EQ(value("SELECT TypeName(BIRTHDAY + 1) FROM T_PERSON WHERE PERSON_ID = 1").toString(), "Date");
    // A second argument is the translation's own: written in a statement
    // it is refused as Jet refuses it.
    EXPECT_ANY_THROW(value("SELECT VarType(1, 2)"));
}

}  // namespace
