// VarType and TypeName, the $ forms of the text functions, StrConv with
// its case, width and kana conversions, and InStrRev's answers at the
// edges, as Jet documents them.
#include "tests/engine/functions/FunctionTestSupport.h"

using namespace lumo::test;

namespace {

class TypesAndConversions : public ::testing::Test {
protected:
    FunctionDatabase db;
};

TEST_F(TypesAndConversions, VarTypeAndTypeNameNameTheValuesType) {
    db.expectAll({
        {"jet_vartype(NULL)", "1"},
        {"jet_typename(NULL)", "\"Null\""},
        {"jet_vartype(jet_cint(1))", "2"},
        {"jet_typename(jet_cint(1))", "\"Integer\""},
        {"jet_vartype(1)", "3"},
        {"jet_typename(jet_clng(1))", "\"Long\""},
        {"jet_vartype(jet_csng(1.5))", "4"},
        {"jet_typename(jet_csng(1.5))", "\"Single\""},
        {"jet_vartype(1.5)", "5"},
        {"jet_vartype(3000000000)", "5"},  // beyond a Long
        {"jet_typename(jet_cdbl(1))", "\"Double\""},
        {"jet_vartype(jet_ccur(1))", "6"},
        {"jet_typename(jet_ccur(1))", "\"Currency\""},
        {"jet_vartype(jet_cdate(1))", "7"},
        {"jet_typename(jet_now())", "\"Date\""},
        {"jet_vartype('a')", "8"},
        {"jet_typename(jet_cstr(1))", "\"String\""},
        {"jet_vartype(jet_cbool(1))", "11"},
        {"jet_typename(jet_isnull(1))", "\"Boolean\""},
        {"jet_vartype(jet_cdec(1))", "14"},
        {"jet_typename(jet_cdec(1))", "\"Decimal\""},
        {"jet_vartype(jet_cbyte(1))", "17"},
        {"jet_typename(jet_cbyte(1))", "\"Byte\""},
        {"jet_vartype(jet_left(NULL, 1))", "1"},
        {"jet_vartype(jet_cint(1) + 1)", "3"},  // arithmetic gives a plain number
        {"jet_cint(2) * 3", "6"},               // the type travels beside the value, not in it
        {"jet_vartype()", "!関数 'VarType' の引数の数が正しくありません。"},
    });
}

TEST_F(TypesAndConversions, VariantConversionsTestsAndRnd) {
    db.expectAll({
        {"jet_cvar(1)", "1"},
        {"jet_cvar(NULL)", "Null"},
        {"jet_typename(jet_cvdate(1))", "\"Date\""},
        {"jet_cvdate(NULL)", "Null"},
        {"jet_isempty(NULL)", "0"},
        {"jet_iserror(1)", "0"},
        // The desktop's sequence: Rnd(-1) seeds it (24-bit seeds 3758214,
        // then 601393), Rnd(0) repeats the last number.
        {"jet_rnd(-1) * 16777216", "3758214"},
        {"jet_rnd(0) * 16777216", "3758214"},
        {"jet_rnd() * 16777216", "601393"},
        {"jet_typename(jet_rnd())", "\"Single\""},
        {"jet_timer() BETWEEN 0 AND 86400", "1"},
    });
}

// Partition: each side as wide as stop + 1, so that the ranges sort as text.
TEST_F(TypesAndConversions, PartitionNamesTheRangeANumberFallsIn) {
    db.expectAll({
        {"jet_partition(-5, 0, 99, 5)", "\"   : -1\""},
        {"jet_partition(0, 0, 99, 5)", "\"  0:  4\""},
        {"jet_partition(97, 0, 99, 5)", "\" 95: 99\""},
        {"jet_partition(100, 0, 99, 5)", "\"100:   \""},
        {"jet_partition(25, 20, 199, 10)", "\" 20: 29\""},
        {"jet_partition(1005, 100, 1010, 20)", "\"1000:1010\""},  // the last range ends at stop
        {"jet_partition(2000, 100, 1010, 20)", "\"1011:    \""},
        {"jet_partition(100, 0, 1000, 1)", "\" 100: 100\""},
        {"jet_partition(7.5, 0.4, 20, 2)", "\" 8: 9\""},  // rounded as Longs: 8 in 0..20 by 2
        {"jet_partition(NULL, 0, 10, 1)", "Null"},
        {"jet_partition(5, -1, 10, 1)", kInvalidCall},
        {"jet_partition(5, 10, 10, 1)", kInvalidCall},
        {"jet_partition(5, 0, 10, 0)", kInvalidCall},
    });
}

TEST_F(TypesAndConversions, DollarFormsGiveTextAndRefuseNull) {
    db.expectAll({
        {"jet_left$('abc', 2)", "\"ab\""},
        {"jet_mid$('abcdef', 2, 3)", "\"bcd\""},
        {"jet_right$('abc', 1)", "\"c\""},
        {"jet_trim$('  a  ')", "\"a\""},
        {"jet_ltrim$('  a  ')", "\"a  \""},
        {"jet_rtrim$('  a  ')", "\"  a\""},
        {"jet_ucase$('ab')", "\"AB\""},
        {"jet_lcase$('AB')", "\"ab\""},
        {"jet_space$(2)", "\"  \""},
        {"jet_string$(3, '*')", "\"***\""},
        {"jet_chr$(65)", "\"A\""},
        {"jet_chrw$(12354)", "\"あ\""},
        {"jet_str$(12)", "\" 12\""},
        {"jet_hex$(255)", "\"FF\""},
        {"jet_oct$(8)", "\"10\""},
        {"jet_format$(1234.5, '#,##0.00')", "\"1,234.50\""},
        {"jet_left$(NULL, 1)", kInvalidNull},
        {"jet_ucase$(NULL)", kInvalidNull},
        {"jet_str$(NULL)", kInvalidNull},
        {"jet_hex$(NULL)", kInvalidNull},
        {"jet_format$(NULL)", kInvalidNull},
        {"jet_left(NULL, 1)", "Null"},  // the plain forms keep their Null
        {"jet_format(NULL)", "Null"},
        {"jet_left$('abc')", "!関数 'Left$' の引数の数が正しくありません。"},
        // Date$ and Time$ have a fixed form, month first, whatever the locale.
        {"jet_date$() = jet_format(jet_date(), 'mm-dd-yyyy')", "1"},
        {"jet_len(jet_date$()) || substr(jet_date$(), 3, 1) || substr(jet_date$(), 6, 1)", "\"10--\""},
        {"jet_len(jet_time$()) || substr(jet_time$(), 3, 1) || substr(jet_time$(), 6, 1)", "\"8::\""},
        {"jet_vartype(jet_date$())", "8"},
    });
}

TEST_F(TypesAndConversions, StrConvChangesCase) {
    db.expectAll({
        {"jet_strconv('hello WORLD', 1)", "\"HELLO WORLD\""},
        {"jet_strconv('hello WORLD', 2)", "\"hello world\""},
        {"jet_strconv('hello WORLD', 3)", "\"Hello World\""},
        {"jet_strconv('mary-jane o''neil', 3)", "\"Mary-jane O'neil\""},
        {"jet_strconv('ａｂｃ　ｄéf', 3)", "\"Ａｂｃ　Ｄéf\""},
        {"jet_strconv('ａｂｃ', 1)", "\"ＡＢＣ\""},
        {"jet_strconv('abc', 0)", "\"abc\""},
        {"jet_strconv('abc', 1, 1041)", "\"ABC\""},
        {"jet_strconv(NULL, 1)", "Null"},
        {"jet_strconv('a', NULL)", kInvalidNull},
    });
}

TEST_F(TypesAndConversions, StrConvWidthAndKana) {
    db.expectAll({
        {"jet_strconv('ABC 123', 4)", "\"ＡＢＣ　１２３\""},
        {"jet_strconv('ｱｲｳ', 4)", "\"アイウ\""},
        {"jet_strconv('ｶﾞｷﾞﾊﾟｳﾞ', 4)", "\"ガギパヴ\""},
        {"jet_strconv('ﾃﾞｰﾀ｡', 4)", "\"データ。\""},
        {"jet_strconv('ＡＢＣ　１２３', 8)", "\"ABC 123\""},
        {"jet_strconv('データベース', 8)", "\"ﾃﾞｰﾀﾍﾞｰｽ\""},
        {"jet_strconv('パソコンとヴ', 8)", "\"ﾊﾟｿｺﾝとｳﾞ\""},
        {"jet_strconv('ひらがな', 8)", "\"ひらがな\""},  // hiragana has no half-width form
        {"jet_strconv('ひらがなゝ', 16)", "\"ヒラガナヽ\""},
        {"jet_strconv('カタカナヴ', 32)", "\"かたかなゔ\""},
        {"jet_strconv('漢字abc', 16)", "\"漢字abc\""},
        {"jet_strconv('ｶﾞｯｺｳ', 4 + 32)", "\"がっこう\""},
        {"jet_strconv('がっこう', 8 + 16)", "\"ｶﾞｯｺｳ\""},
        {"jet_strconv('abc', 1 + 4)", "\"ＡＢＣ\""},
        {"jet_strconv('ＡＢＣ', 2 + 8)", "\"abc\""},
        {"jet_strconv('abc', 4 + 8)", kInvalidCall},
        {"jet_strconv('abc', 16 + 32)", kInvalidCall},
        {"jet_strconv('abc', 64)", kInvalidCall},
        {"jet_strconv('abc', -1)", kInvalidCall},
    });
}

TEST_F(TypesAndConversions, InStrRevAtTheEdges) {
    db.expectAll({
        {"jet_instrrev('abc', '', 5)", "5"},  // an empty search text is found at start
        {"jet_instrrev('abc', '', 2)", "2"},
        {"jet_instrrev('', '')", "0"},        // an empty text has no match
        {"jet_instrrev('', 'a', 3)", "0"},
        {"jet_instrrev('abc', 'c', 10)", "0"},
        {"jet_instrrev('abc', 'c', 3)", "3"},
        {"jet_instrrev('abcabc', 'abc', 5)", "1"},  // a match must lie within start
        {"jet_instrrev('abc', 'c', NULL)", kInvalidNull},
    });
}

}  // namespace
