#include "engine/JetSql.h"

#include <gtest/gtest.h>

#include "platform/Error.h"

using lumo::db::JetSqlText;
using lumo::db::SqlLiteral;
using lumo::db::translateJet;

TEST(JetSql, DefaultAsColumnNameIsQuotedAlsoWhenQualified) {
    EXPECT_EQ(translateJet("SELECT * FROM T_GROUPING WHERE DEFAULT = -1").sql,
              "SELECT * FROM T_GROUPING WHERE \"DEFAULT\" = -1");
    EXPECT_EQ(translateJet("SELECT T_GROUPING.DEFAULT FROM T_GROUPING").sql,
              "SELECT T_GROUPING.\"DEFAULT\" FROM T_GROUPING NOT INDEXED");
}

TEST(JetSql, QualifiedSetTargetsLoseTheirTable) {
    EXPECT_EQ(translateJet("UPDATE T_PERSON SET T_PERSON.TYPE_ID = 3 WHERE T_PERSON.TYPE_ID = 5").sql,
              "UPDATE T_PERSON SET TYPE_ID = 3 WHERE T_PERSON.TYPE_ID = 5");
    EXPECT_EQ(translateJet("UPDATE T SET [T].[A] = f(T.B, 1), T.C = 'x.y' WHERE T.D = 1").sql,
              "UPDATE T SET [A] = f(T.B, 1), C = 'x.y' WHERE T.D = 1");
}

TEST(JetSql, AmpersandBecomesConcatWithJetPrecedence) {
    // Binds below + and above comparison and LIKE; chains flatten.
    EXPECT_EQ(translateJet("SELECT a & b + 1 = c FROM T").sql,
              "SELECT -(lumo_concat(a, lumo_add(b, 1)) = c) FROM T NOT INDEXED");
    EXPECT_EQ(translateJet("SELECT x FROM T WHERE (A & B) LIKE '%x%' AND a & b & 'c' = d").sql,
              "SELECT x FROM T WHERE (lumo_concat(A, B)) LIKE '%x%' AND lumo_concat(a, b, 'c') = d");
    EXPECT_EQ(translateJet("SELECT [SLAST_NAME] & [SFIRST_NAME] AS TANTO, f(a & b) FROM T").sql,
              "SELECT lumo_concat([SLAST_NAME], [SFIRST_NAME]) AS TANTO, f(lumo_concat(a, b)) FROM T NOT INDEXED");
}

TEST(JetSql, StringLiteralsAndBracketsAreNeverTouched) {
    const std::string sql = "SELECT [a & b], 'True & DEFAULT''s' FROM T WHERE X = 'UPDATE T SET T.A = 1'";
    EXPECT_EQ(translateJet(sql).sql, sql);
    EXPECT_THROW(translateJet("SELECT 'open"), lumo::Error);
    EXPECT_THROW(translateJet("SELECT [open"), lumo::Error);
}

TEST(JetSql, TrueAndFalseBecomeNumbers) {
    EXPECT_EQ(translateJet("SELECT * FROM T WHERE A = True OR B = false").sql,
              "SELECT * FROM T WHERE A = -1 OR B = 0");
    EXPECT_EQ(translateJet("SELECT T.True FROM T").sql, "SELECT T.True FROM T NOT INDEXED");
}

TEST(JetSql, SingleSourceAndRowidOnlyForPlainOneTableSelects) {
    auto one = translateJet("SELECT * FROM T_PHONE WHERE PERSON_ID = 1 ORDER BY RANK, 2");
    EXPECT_EQ(one.singleSource, "T_PHONE");
    EXPECT_EQ(one.sqlWithRowid, "SELECT * , [T_PHONE]._rowid_ AS __lumo_rowid FROM T_PHONE WHERE PERSON_ID = 1 ORDER BY RANK, 2");
    EXPECT_EQ(translateJet("SELECT * FROM [T_PERSON]").singleSource, "T_PERSON");
    // A whole table comes in key order, not in the order of some index.
    EXPECT_EQ(translateJet("SELECT PERSON_ID FROM T_PERSON").sql, "SELECT PERSON_ID FROM T_PERSON NOT INDEXED");
    for (const char* sql : {"SELECT DISTINCT A FROM T", "SELECT COUNT(*) FROM T", "SELECT * FROM A, B",
                            "SELECT * FROM A LEFT JOIN B ON A.X = B.X", "SELECT A FROM T GROUP BY A",
                            "SELECT A FROM T UNION SELECT A FROM U"})
        EXPECT_EQ(translateJet(sql).singleSource, "") << sql;
}

TEST(JetSql, QualifiersOfTheSelectList) {
    auto st = translateJet("SELECT T_iSUPPLIER.ALIAS, [T_iCUSTOMER].[ALIAS], X AS Y, f(a) FROM T");
    ASSERT_EQ(st.qualifiers.size(), 4u);
    EXPECT_EQ(st.qualifiers[0], "T_iSUPPLIER");
    EXPECT_EQ(st.qualifiers[1], "T_iCUSTOMER");
    EXPECT_EQ(st.qualifiers[2], "");
    EXPECT_TRUE(translateJet("SELECT T.*, U.A FROM T, U").qualifiers.empty());
}

TEST(JetSql, ShapeSeparatesLiteralsSoTextsWithOtherKeysShareIt) {
    JetSqlText a("SELECT * FROM T_PERSON WHERE T_PERSON.PERSON_ID = 12");
    JetSqlText b("SELECT * FROM T_PERSON WHERE T_PERSON.PERSON_ID = 99999");
    EXPECT_EQ(a.shape(), b.shape());
    ASSERT_EQ(b.literals().size(), 1u);
    EXPECT_EQ(b.literals()[0].kind, SqlLiteral::Kind::Integer);
    EXPECT_EQ(b.literals()[0].integer, 99999);

    JetSqlText s("SELECT * FROM T WHERE NAME = 'O''Brien' AND X > 1.5 ORDER BY 2");
    ASSERT_EQ(s.literals().size(), 2u);
    EXPECT_EQ(s.literals()[0].text, "O'Brien");
    EXPECT_DOUBLE_EQ(s.literals()[1].real, 1.5);
    EXPECT_NE(s.shape().find("ORDER BY 2"), std::string::npos);  // a column number stays
    EXPECT_EQ(s.translate().sql, "SELECT * FROM T WHERE NAME = ? AND X > ? ORDER BY 2");
}

TEST(JetSql, TheShapeAndTheTranslationNumberTheSameLiterals) {
    // The shape comes from the raw text, the translation from rewritten
    // tokens; both must lift the same constants in the same order.
    JetSqlText t("UPDATE T_PERSON SET T_PERSON.TYPE_ID = 3 WHERE DEFAULT = True AND LASTNAME = 'a''b' AND X IN "
                 "(SELECT Y FROM U ORDER BY 1) AND Z = 2.5");
    ASSERT_EQ(t.literals().size(), 3u);
    EXPECT_EQ(t.literals()[0].integer, 3);
    EXPECT_EQ(t.literals()[1].text, "a'b");
    EXPECT_DOUBLE_EQ(t.literals()[2].real, 2.5);
    EXPECT_EQ(t.translate().sql, "UPDATE T_PERSON SET TYPE_ID = ? WHERE \"DEFAULT\" = -1 AND LASTNAME = ? AND X IN "
                                 "(SELECT Y FROM U ORDER BY 1) AND Z = ?");
}
