// The financial functions on the textbook cases (a loan, a savings plan,
// an asset's depreciation), rounded to cents, and their refused arguments.
#include "tests/engine/functions/FunctionTestSupport.h"

using namespace lumo::test;

namespace {

TEST(FinancialFunctions, AnnuitiesOfLoansAndSavings) {
    FunctionDatabase db;
    db.expectAll({
        {"jet_round(jet_pmt(0.08 / 12, 10, 10000), 2)", "-1037.03"},
        {"jet_round(jet_pmt(0.08 / 12, 10, 10000, 0, 1), 2)", "-1030.16"},
        {"jet_round(jet_pmt(0, 10, 1000), 2)", "-100"},
        {"jet_round(jet_pv(0.08 / 12, 12 * 20, 500), 2)", "-59777.15"},
        {"jet_round(jet_fv(0.06 / 12, 10, -200, -500, 1), 2)", "2581.4"},
        {"jet_round(jet_fv(0, 12, -100), 2)", "1200"},
        {"jet_round(jet_nper(0.12 / 12, -100, -1000, 10000, 1), 2)", "59.67"},
        {"jet_round(jet_rate(4 * 12, -200, 8000), 6)", "0.007701"},
        {"jet_round(jet_ipmt(0.1 / 12, 1, 3 * 12, 8000), 2)", "-66.67"},
        {"jet_round(jet_ipmt(0.1, 3, 3, 8000), 2)", "-292.45"},
        {"jet_round(jet_ppmt(0.1 / 12, 1, 2 * 12, 2000), 2)", "-75.62"},
        {"jet_round(jet_ipmt(0.1 / 12, 1, 12, 1000, 0, 1), 2)", "0"},
        {"jet_round(jet_ipmt(0.1 / 12, 2, 12, 1000, 0, 1) + jet_ppmt(0.1 / 12, 2, 12, 1000, 0, 1) - "
         "jet_pmt(0.1 / 12, 12, 1000, 0, 1), 9)", "0"},
        {"jet_ipmt(0.1, 4, 3, 8000)", kInvalidCall},
        {"jet_nper(0, 0, 1000)", kInvalidCall},
        {"jet_pmt(NULL, 10, 1000)", kInvalidNull},
    });
}

TEST(FinancialFunctions, Depreciation) {
    FunctionDatabase db;
    db.expectAll({
        {"jet_sln(30000, 7500, 10)", "2250"},
        {"jet_round(jet_syd(30000, 7500, 10, 1), 2)", "4090.91"},
        {"jet_round(jet_syd(30000, 7500, 10, 10), 2)", "409.09"},
        {"jet_round(jet_ddb(2400, 300, 10 * 365, 1), 2)", "1.32"},
        {"jet_ddb(2400, 300, 10, 1, 2)", "480"},
        {"jet_round(jet_ddb(2400, 300, 10, 10), 2)", "22.12"},
        {"jet_sln(1, 0, 0)", kInvalidCall},
        {"jet_syd(1, 0, 10, 11)", kInvalidCall},
        {"jet_ddb(1, 0, 10, 0)", kInvalidCall},
    });
}

}  // namespace
