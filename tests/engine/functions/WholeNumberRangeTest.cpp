// The edges of the whole-number conversions: each type's last value, the
// first one past it, and the halves that round (to even) across the edge.
#include "tests/engine/functions/FunctionTestSupport.h"

namespace {

using lumo::test::FunctionDatabase;
using lumo::test::kOverflow;

TEST(WholeNumberRange, ConversionsOverflowJustPastTheirType) {
    FunctionDatabase db;
    db.expectAll({
        {"jet_clng(2147483647)", "2147483647"},
        {"jet_clng(2147483648)", kOverflow},
        {"jet_clng(-2147483648)", "-2147483648"},
        {"jet_clng(-2147483649)", kOverflow},
        {"jet_clng(2147483647.5)", kOverflow},      // rounds to 2147483648
        {"jet_clng(-2147483648.5)", "-2147483648"},  // rounds to even, inside
        {"jet_clng(1e300)", kOverflow},
        {"jet_cint(32767)", "32767"},
        {"jet_cint(32767.5)", kOverflow},
        {"jet_cint(-32768.5)", "-32768"},
        {"jet_cint(-32769)", kOverflow},
        {"jet_cint('40000')", kOverflow},
        {"jet_cbyte(255.5)", kOverflow},
        {"jet_cbyte(254.5)", "254"},
        {"jet_cbyte(-0.5)", "0"},
        {"jet_cbyte(256)", kOverflow},
        {"jet_cbyte('&HFF')", "255"},
    });
}

}  // namespace
