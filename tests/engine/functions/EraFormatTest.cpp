// Format's era placeholders of the Japanese calendar: g gg ggg name the
// era, e ee count its years; each era begins on its own day, and a date
// before Meiji has no era. E+ and e- stay a number's exponent.
#include "tests/engine/functions/FunctionTestSupport.h"

namespace {

using lumo::test::FunctionDatabase;

TEST(EraFormat, ErasNameTheirDatesFromTheirFirstDay) {
    FunctionDatabase db;
    db.expectAll({
        {"jet_format(45322, 'g gg ggg e ee')", "\"R 令 令和 6 06\""},
        {"jet_format(45322, 'ggge年m月d日')", "\"令和6年1月31日\""},
        {"jet_format(45322, 'gee.mm.dd')", "\"R06.01.31\""},
        {"jet_format(43585, 'gggee')", "\"平成31\""},
        {"jet_format(43586, 'gggee')", "\"令和01\""},
        {"jet_format(32515, 'ggge')", "\"昭和64\""},
        {"jet_format(32516.75, 'ggge hh:nn')", "\"平成1 18:00\""},
        {"jet_format(9855, 'ggge')", "\"大正15\""},
        {"jet_format(9856, 'ggge')", "\"昭和1\""},
        {"jet_format(4594, 'ggge')", "\"明治45\""},
        {"jet_format(4595, 'ggge')", "\"大正1\""},
        {"jet_format(-11686, 'ggge')", "\"明治1\""},
        {"jet_format(-11687, 'ggge')", "\"1867\""},
        {"jet_format('2019/05/01', 'gge')", "\"令1\""},
        {"jet_format(Null, 'ggg')", "Null"},
    });
}

TEST(EraFormat, EraLettersMakeADateFormatAndExponentsStayNumbers) {
    FunctionDatabase db;
    db.expectAll({
        {"jet_format(45322, 'e')", "\"6\""},
        {"jet_format(45322, 'ggg')", "\"令和\""},
        {"jet_format(1234.5, '0.00E+00')", "\"1.23E+03\""},
        {"jet_format(0.00012345, '0.0e-00')", "\"1.2e-04\""},
        {"jet_format(45322, '\\g\\e e')", "\"ge 6\""},
    });
}

}  // namespace
