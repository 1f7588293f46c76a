// The text functions as Jet answers them: positions in characters, searches
// ignoring case by default, Null rules and the errors of bad arguments.
#include "tests/engine/functions/FunctionTestSupport.h"

using namespace lumo::test;

namespace {

class TextFunctions : public ::testing::Test {
protected:
    FunctionDatabase db;
};

TEST_F(TextFunctions, LeftRightMidLenCountCharacters) {
    db.expectAll({
        {"jet_left('abcdef', 3)", "\"abc\""},
        {"jet_left('日本語テキスト', 2)", "\"日本\""},
        {"jet_left('abc', 10)", "\"abc\""},
        {"jet_left('abc', 0)", "\"\""},
        {"jet_left(12345, 2)", "\"12\""},
        {"jet_left('abc', -1)", kInvalidCall},
        {"jet_left(NULL, 2)", "Null"},
        {"jet_left('abc', NULL)", kInvalidNull},
        {"jet_right('日本語テキスト', 3)", "\"キスト\""},
        {"jet_right('abc', 5)", "\"abc\""},
        {"jet_right('abc', -2)", kInvalidCall},
        {"jet_mid('日本語テキスト', 3, 2)", "\"語テ\""},
        {"jet_mid('abcdef', 3)", "\"cdef\""},
        {"jet_mid('abc', 5)", "\"\""},
        {"jet_mid('abc', 0)", kInvalidCall},
        {"jet_mid('abc', 1, -1)", kInvalidCall},
        {"jet_mid(NULL, 1)", "Null"},
        {"jet_len('日本語')", "3"},
        {"jet_len('')", "0"},
        {"jet_len(12.5)", "4"},
        {"jet_len(NULL)", "Null"},
        {"jet_left('abc')", "!関数 'Left' の引数の数が正しくありません。"},
    });
}

TEST_F(TextFunctions, InStrInAllItsForms) {
    db.expectAll({
        {"jet_instr('abcABC', 'C')", "3"},
        {"jet_instr(4, 'abcABC', 'c')", "6"},
        {"jet_instr(1, 'abcABC', 'C', 0)", "6"},
        {"jet_instr(1, 'abcABC', 'C', 1)", "3"},
        {"jet_instr('日本語テキスト', 'テキ')", "4"},
        {"jet_instr('ＡＢＣ', 'ｂ')", "2"},
        {"jet_instr('abc', 'x')", "0"},
        {"jet_instr('abc', '')", "1"},
        {"jet_instr(3, 'abc', '')", "3"},
        {"jet_instr(5, 'abc', '')", "0"},
        {"jet_instr(5, 'abc', 'c')", "0"},
        {"jet_instr('', 'a')", "0"},
        {"jet_instr(NULL, 'a')", "Null"},
        {"jet_instr('a', NULL)", "Null"},
        {"jet_instr(NULL, 'abc', 'a')", kInvalidNull},
        {"jet_instr(0, 'abc', 'a')", kInvalidCall},
        {"jet_instr(1, 'abc', 'b', 3)", kInvalidCall},
    });
}

TEST_F(TextFunctions, InStrRevFindsTheLastMatchWithinStart) {
    db.expectAll({
        {"jet_instrrev('abcabc', 'bc')", "5"},
        {"jet_instrrev('abcabc', 'bc', 5)", "2"},
        {"jet_instrrev('abcABC', 'bc')", "5"},
        {"jet_instrrev('abcABC', 'bc', -1, 0)", "2"},
        {"jet_instrrev('日本の日本', '日本')", "4"},
        {"jet_instrrev('abc', '')", "3"},
        {"jet_instrrev('abc', 'a', 4)", "0"},
        {"jet_instrrev('abc', 'a', 0)", kInvalidCall},
        {"jet_instrrev('abc', 'a', -2)", kInvalidCall},
        {"jet_instrrev(NULL, 'a')", "Null"},
        {"jet_instrrev('a', NULL)", "Null"},
    });
}

TEST_F(TextFunctions, ReplaceWithAllItsArguments) {
    db.expectAll({
        {"jet_replace('aAbBa', 'a', 'x')", "\"xxbBx\""},
        {"jet_replace('aAbBa', 'a', 'x', 1, -1, 0)", "\"xAbBx\""},
        {"jet_replace('abcabc', 'b', 'X', 3)", "\"caXc\""},
        {"jet_replace('abcabc', 'b', 'X', 1, 1)", "\"aXcabc\""},
        {"jet_replace('abcabc', 'b', 'X', 1, 0)", "\"abcabc\""},
        {"jet_replace('abc', '', 'X')", "\"abc\""},
        {"jet_replace('abc', 'b', '')", "\"ac\""},
        {"jet_replace('abc', 'b', 'X', 5)", "\"\""},
        {"jet_replace('日本語の日本', '日本', 'にほん')", "\"にほん語のにほん\""},
        {"jet_replace('ＡＢａｂ', 'ａ', '*')", "\"*Ｂ*ｂ\""},
        {"jet_replace('aaa', 'aa', 'b')", "\"ba\""},
        {"jet_replace(NULL, 'a', 'b')", kInvalidNull},
        {"jet_replace('abc', NULL, 'b')", kInvalidNull},
        {"jet_replace('abc', 'b', 'X', 0)", kInvalidCall},
        {"jet_replace('abc', 'b', 'X', 1, -2)", kInvalidCall},
    });
}

TEST_F(TextFunctions, CaseTrimSpaceString) {
    db.expectAll({
        {"jet_ucase('abcｘé')", "\"ABCＸÉ\""},
        {"jet_lcase('ÀBＣ×')", "\"àbｃ×\""},
        {"jet_ucase(NULL)", "Null"},
        {"jet_trim('  a b  ')", "\"a b\""},
        {"jet_ltrim('  a b  ')", "\"a b  \""},
        {"jet_rtrim('  a b  ')", "\"  a b\""},
        {"jet_trim(NULL)", "Null"},
        {"jet_space(3)", "\"   \""},
        {"jet_space(-1)", kInvalidCall},
        {"jet_space(NULL)", kInvalidNull},
        {"jet_string(3, 'ab')", "\"aaa\""},
        {"jet_string(2, 65)", "\"AA\""},
        {"jet_string(2, 321)", "\"AA\""},
        {"jet_string(2, 'あい')", "\"ああ\""},
        {"jet_string(NULL, 'a')", "Null"},
        {"jet_string(-1, 'a')", kInvalidCall},
        {"jet_string(2, '')", kInvalidCall},
    });
}

TEST_F(TextFunctions, StrCompAndStrReverse) {
    db.expectAll({
        {"jet_strcomp('abc', 'ABC')", "0"},
        {"jet_strcomp('abc', 'ABC', 0)", "1"},
        {"jet_strcomp('a', 'b')", "-1"},
        {"jet_strcomp('b', 'A')", "1"},
        {"jet_strcomp(NULL, 'a')", "Null"},
        {"jet_strcomp('a', 'b', 5)", kInvalidCall},
        {"jet_strreverse('日本語')", "\"語本日\""},
        {"jet_strreverse('')", "\"\""},
        {"jet_strreverse(NULL)", kInvalidNull},
    });
}

TEST_F(TextFunctions, CharacterCodesInTheJapaneseCodePageAndUnicode) {
    db.expectAll({
        {"jet_asc('A')", "65"},
        {"jet_asc('あいう')", "-32096"},
        {"jet_asc('ｱ')", "177"},
        {"jet_asc('')", kInvalidCall},
        {"jet_asc(NULL)", kInvalidNull},
        {"jet_ascw('あ')", "12354"},
        {"jet_ascw('Ａ')", "-223"},
        {"jet_chr(65)", "\"A\""},
        {"jet_chr(-32096)", "\"あ\""},
        {"jet_chr(33440)", "\"あ\""},
        {"jet_chr(177)", "\"ｱ\""},
        {"jet_chr(70000)", kInvalidCall},
        {"jet_chr(NULL)", kInvalidNull},
        {"jet_chrw(12354)", "\"あ\""},
        {"jet_chrw(-223)", "\"Ａ\""},
        {"jet_chrw(55296)", kInvalidCall},
    });
}

}  // namespace
