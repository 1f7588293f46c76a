// The typed columns of the suite's databases take what Jet takes: values of
// the column's type, text Jet converts, and nothing that overflows.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Dates.h"
#include "platform/Error.h"
#include "engine/Connection.h"
#include "engine/ConnectionString.h"
#include "engine/Recordset.h"
#include "tests/engine/TestDatabase.h"
#include "tools/init/InitCommand.h"

using namespace lumo::db;
namespace fs = std::filesystem;

namespace {

class TypedColumns : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = fs::temp_directory_path() / ("lumo_typed_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        lumo::tools::InitOptions options;
        options.folder = dir_;
        lumo::tools::createDatabases(options);
    }
    static void TearDownTestSuite() { fs::remove_all(dir_); }

    void SetUp() override {
        cn_.Open(jetConnectionString((dir_ / "Data" / "LumoBase.mdb").string()));
        cn_.Execute("DELETE FROM T_PERSON");
        cn_.Execute("INSERT INTO T_PERSON (PERSON_ID, LASTNAME, AGE, BIRTHDAY) VALUES (1, 'a', 30, 30000)");
    }

    std::string outcome(const std::string& sql) {
        try {
            return std::to_string(cn_.Execute(sql));
        } catch (const lumo::Error& e) {
            return e.what();
        }
    }
    Variant value(const std::string& column) {
        Recordset rs;
        rs.Open("SELECT " + column + " FROM T_PERSON WHERE PERSON_ID = 1", cn_, adOpenStatic, adLockReadOnly, adCmdText);
        return rs.Fields(0).Value();
    }

    static inline fs::path dir_;
    Connection cn_;
};

TEST_F(TypedColumns, ValuesThatDoNotFitAreRefusedAndNothingChanges) {
    struct Case {
        const char* sql;
        const char* description;
    };
    const std::vector<Case> cases{
        {"UPDATE T_PERSON SET AGE = 'abc' WHERE PERSON_ID = 1", "データ型が一致しません。フィールド 'AGE' (Integer 型)"},
        {"UPDATE T_PERSON SET BIRTHDAY = 'garbage' WHERE PERSON_ID = 1", "データ型が一致しません。フィールド 'BIRTHDAY' (Date 型)"},
        {"UPDATE T_PERSON SET AGE = 40000 WHERE PERSON_ID = 1", "オーバーフローしました。フィールド 'AGE' (Integer 型)"},
        {"UPDATE T_PERSON SET AGE = AGE * 2000 WHERE PERSON_ID = 1", "オーバーフローしました。フィールド 'AGE'"},
        {"UPDATE T_PERSON SET TYPE_ID = 3000000000 WHERE PERSON_ID = 1", "オーバーフローしました。フィールド 'TYPE_ID' (Long 型)"},
        {"UPDATE T_PERSON SET AGE = '1.5x' WHERE PERSON_ID = 1", "データ型が一致しません。フィールド 'AGE'"},
        {"INSERT INTO T_PERSON (LASTNAME, BIRTHDAY) VALUES ('b', '2024/02/30')", "データ型が一致しません。フィールド 'BIRTHDAY'"},
        {"INSERT INTO T_GREETING (PERSON_ID, NEWYEAR_SEND) VALUES (1, 'yes')", "データ型が一致しません。フィールド 'NEWYEAR_SEND' (Yes/No 型)"},
    };
    for (const Case& c : cases) {
        const std::string result = outcome(c.sql);
        EXPECT_NE(result.find(c.description), std::string::npos) << c.sql << "\n" << result;
    }
    EXPECT_EQ(value("AGE"), Variant(int16_t{30}));
    EXPECT_EQ(value("BIRTHDAY"), Variant::date(30000));
    EXPECT_EQ(value("(SELECT COUNT(*) FROM T_PERSON)").toLong(), 1);
}

// The edges of the whole-number columns, and fractions rounded as Jet
// rounds them (to even at .5) before the range is checked.
TEST_F(TypedColumns, WholeNumbersAreRoundedAndHeldToTheirRange) {
    constexpr const char* kOverflow = "オーバーフローしました";
    constexpr const char* kMismatch = "データ型が一致しません";
    struct Case {
        const char* column;
        const char* value;     // as written in the statement
        const char* expected;  // the stored value, or the refusal's description
    };
    const Case cases[] = {
        {"AGE", "32767", "32767"},
        {"AGE", "-32768", "-32768"},
        {"AGE", "32768", kOverflow},
        {"AGE", "-32769", kOverflow},
        {"AGE", "1.5", "2"},
        {"AGE", "2.5", "2"},
        {"AGE", "-1.5", "-2"},
        {"AGE", "-2.5", "-2"},
        {"AGE", "0.5", "0"},
        {"AGE", "0.49", "0"},
        {"AGE", "3.51", "4"},
        {"AGE", "32767.4", "32767"},
        {"AGE", "32767.5", kOverflow},   // rounds to 32768
        {"AGE", "-32768.5", "-32768"},   // rounds to the even -32768
        {"AGE", "-32768.51", kOverflow},
        {"AGE", "AGE / 4", "8"},         // 7.5
        {"AGE", "AGE / 12", "2"},        // 2.5
        {"AGE", "'4.5'", "4"},           // a text that is a number
        {"AGE", "'abc'", kMismatch},
        {"AGE", "NULL", "NULL"},
        {"TYPE_ID", "2147483647", "2147483647"},
        {"TYPE_ID", "-2147483648", "-2147483648"},
        {"TYPE_ID", "2147483648", kOverflow},
        {"TYPE_ID", "-2147483649", kOverflow},
        {"TYPE_ID", "2147483646.5", "2147483646"},
        {"TYPE_ID", "2147483647.5", kOverflow},  // rounds to 2147483648
        {"TYPE_ID", "-2147483648.5", "-2147483648"},
        {"TYPE_ID", "-2147483648.6", kOverflow},
        {"TYPE_ID", "1.5", "2"},
        {"TYPE_ID", "-0.5", "0"},
        {"TYPE_ID", "1e300", kOverflow},
        {"TYPE_ID", "'7.5x'", kMismatch},
    };
    const auto stored = [&](const std::string& column) {
        const Variant v = value(column);
        return v.isNull() ? std::string("NULL") : std::to_string(v.toLong());
    };
    for (const Case& c : cases) {
        cn_.Execute("UPDATE T_PERSON SET AGE = 30, TYPE_ID = 30 WHERE PERSON_ID = 1");
        const std::string label = std::string(c.column) + " = " + c.value;
        const std::string result =
            outcome("UPDATE T_PERSON SET " + std::string(c.column) + " = " + c.value + " WHERE PERSON_ID = 1");
        const std::string expected = c.expected;
        if (expected == kOverflow || expected == kMismatch) {
            EXPECT_NE(result.find(expected), std::string::npos) << label << ": " << result;
            EXPECT_EQ(stored(c.column), "30") << label;
        } else {
            EXPECT_EQ(result, "1") << label;
            EXPECT_EQ(stored(c.column), expected) << label;
        }
    }
    // An insert rounds its values too, each row and each column on its own.
    EXPECT_EQ(outcome("INSERT INTO T_PERSON (PERSON_ID, LASTNAME, AGE, TYPE_ID) VALUES (2, '2.5', 4.5, 6.5), "
                      "(3, 'c', -4.5, (2 + 1) / 2)"),
              "2");
    EXPECT_EQ(value("(SELECT LASTNAME & '|' & AGE & '|' & TYPE_ID FROM T_PERSON WHERE PERSON_ID = 2)"),
              Variant("2.5|4|6"));
    EXPECT_EQ(value("(SELECT AGE & '|' & TYPE_ID FROM T_PERSON WHERE PERSON_ID = 3)"), Variant("-4|2"));
    // A value set through a recordset is rounded the same way.
    {
        Recordset rs;
        rs.Open("SELECT * FROM T_PERSON WHERE PERSON_ID = 1", cn_, adOpenKeyset, adLockOptimistic, adCmdText);
        rs.Fields("AGE") = 6.5;
        rs.Fields("TYPE_ID") = -7.5;
        rs.Update();
    }
    EXPECT_EQ(stored("AGE"), "6");
    EXPECT_EQ(stored("TYPE_ID"), "-8");
}

TEST_F(TypedColumns, TextThatJetConvertsIsStoredConverted) {
    using lumo::dates::toAutomation;
    EXPECT_EQ(outcome("UPDATE T_PERSON SET AGE = '123', TYPE_ID = ' 7 ', BIRTHDAY = '2024/01/31' WHERE PERSON_ID = 1"), "1");
    EXPECT_EQ(value("AGE"), Variant(int16_t{123}));
    EXPECT_EQ(value("TYPE_ID"), Variant(int32_t{7}));
    EXPECT_EQ(value("BIRTHDAY"), Variant::date(toAutomation(2024, 1, 31)));
    EXPECT_EQ(outcome("UPDATE T_PERSON SET T_PERSON.BIRTHDAY = '1/31/2024 13:30' WHERE PERSON_ID = 1"), "1");
    EXPECT_EQ(value("BIRTHDAY"), Variant::date(toAutomation(2024, 1, 31, 13, 30)));
    EXPECT_EQ(outcome("INSERT INTO T_PERSON (PERSON_ID, LASTNAME, BIRTHDAY, ANNIVERSARY) VALUES (2, '2024/01/31', "
                      "'99/12/31', '2000-2-29'), (3, 'c', '2001/1/1', NULL)"),
              "2");
    Recordset rs;
    rs.Open("SELECT LASTNAME, BIRTHDAY, ANNIVERSARY FROM T_PERSON WHERE PERSON_ID = 2", cn_, adOpenStatic, adLockReadOnly,
            adCmdText);
    EXPECT_EQ(rs.Fields("LASTNAME").Value(), Variant("2024/01/31"));  // a text column keeps the text
    EXPECT_EQ(rs.Fields("BIRTHDAY").Value(), Variant::date(toAutomation(1999, 12, 31)));
    EXPECT_EQ(rs.Fields("ANNIVERSARY").Value(), Variant::date(toAutomation(2000, 2, 29)));
}

TEST(TypedColumnReads, OutOfRangeValuesStoredEarlierAreReportedNotWrapped) {
    lumo::test::TestDatabase db(lumo::test::kEngineTables);
    Connection cn;
    cn.Open(db.connectionString());
    cn.Execute("UPDATE T_PERSON SET AGE = 40000, TYPE_ID = 3000000000 WHERE PERSON_ID = 1");
    for (const char* column : {"AGE", "TYPE_ID"}) {
        try {
            Recordset rs;
            rs.Open(std::string("SELECT ") + column + " FROM T_PERSON WHERE PERSON_ID = 1", cn, adOpenStatic,
                    adLockReadOnly, adCmdText);
            ADD_FAILURE() << column << " read as " << rs.Fields(0).Value().toString();
        } catch (const lumo::Error& e) {
            EXPECT_NE(std::string(e.what()).find("オーバーフローしました"), std::string::npos) << e.what();
        }
    }
}

}  // namespace
