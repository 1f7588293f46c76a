#include "engine/ShapeMemo.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/Error.h"

using namespace lumo::db;

namespace {

// What a split says about a text: its shape and literals, or the failure.
struct Outcome {
    std::optional<std::string> failure;
    std::string shape;
    std::vector<std::string> literals;  // kind and value as text
    std::vector<std::size_t> spans;     // begin, end of each literal
};

Outcome describe(std::string_view text, ShapeMemo* memo) {
    Outcome o;
    try {
        const JetSqlText split = memo ? memo->split(text) : JetSqlText(text);
        o.shape = split.shape();
        for (const SqlLiteral& l : split.literals()) {
            switch (l.kind) {
            case SqlLiteral::Kind::Integer: o.literals.push_back("int " + std::to_string(l.integer)); break;
            case SqlLiteral::Kind::Real: o.literals.push_back("real " + std::to_string(l.real)); break;
            case SqlLiteral::Kind::Text: o.literals.push_back("text " + l.text); break;
            }
        }
        for (const JetSqlText::Span& s : split.literalSpans()) o.spans.insert(o.spans.end(), {s.begin, s.end});
    } catch (const lumo::Error& e) {
        o.failure = e.what();
    }
    return o;
}

void expectSame(const Outcome& memo, const Outcome& tokenizer) {
    EXPECT_EQ(memo.failure, tokenizer.failure);
    EXPECT_EQ(memo.shape, tokenizer.shape);
    EXPECT_EQ(memo.literals, tokenizer.literals);
    EXPECT_EQ(memo.spans, tokenizer.spans);
}

struct Case {
    const char* seen;  // split first, so that the memo knows its shape
    const char* text;  // must split exactly as the tokenizer splits it
};

// Texts that agree with the one seen outside its literals, and texts that
// only seem to: each must come out as the tokenizer has it.
const Case kCases[] = {
    {"SELECT * FROM T_PERSON WHERE T_PERSON.PERSON_ID = 5", "SELECT * FROM T_PERSON WHERE T_PERSON.PERSON_ID = 123456"},
    {"SELECT * FROM T_ITEMS WHERE ITEM_NAME = 'ab'", "SELECT * FROM T_ITEMS WHERE ITEM_NAME = 'it''s ''quoted'''"},
    {"SELECT * FROM T_ITEMS WHERE ITEM_NAME = 'ab'", "SELECT * FROM T_ITEMS WHERE ITEM_NAME = ''"},
    {"SELECT * FROM T_ITEMS WHERE ITEM_NAME = 'ab'", "SELECT * FROM T_ITEMS WHERE ITEM_NAME = 'ＳＰ－０１ 日本'"},
    // The second literal's fragment inside the first literal.
    {"SELECT * FROM T WHERE A = 'x' AND B = 'y'", "SELECT * FROM T WHERE A = 'x'' AND B = ''z' AND B = 'y'"},
    {"SELECT * FROM T WHERE A = 'x' AND B = 3", "SELECT * FROM T WHERE A = 'x' AND B = 3 AND C = 4"},
    // Numbers that are not whole numbers, or not numbers at all.
    {"SELECT * FROM T WHERE ID = 5", "SELECT * FROM T WHERE ID = 5.5"},
    {"SELECT * FROM T WHERE ID = 5", "SELECT * FROM T WHERE ID = 5e3"},
    {"SELECT * FROM T WHERE ID = 5", "SELECT * FROM T WHERE ID = 5x"},
    {"SELECT * FROM T WHERE ID = 5", "SELECT * FROM T WHERE ID = 99999999999999999999"},
    {"SELECT * FROM T WHERE ID = 5", "SELECT * FROM T WHERE ID = -5"},
    {"SELECT * FROM T WHERE ID = 5", "SELECT * FROM T WHERE ID = .5"},
    {"SELECT * FROM T WHERE ID = 5", "SELECT * FROM T WHERE ID = 'five'"},
    {"SELECT * FROM T WHERE N = 'a'", "SELECT * FROM T WHERE N = 7"},
    {"SELECT * FROM T WHERE N = 'a'", "SELECT * FROM T WHERE N = \"a\""},
    {"SELECT * FROM T WHERE N = 'a'", "SELECT * FROM T WHERE N = [a]"},
    // Column numbers stay in the shape; a date is never taken from the memo.
    {"SELECT A, B FROM T WHERE ID = 1 ORDER BY 1", "SELECT A, B FROM T WHERE ID = 2 ORDER BY 2"},
    {"SELECT * FROM T WHERE D = #2024/01/31#", "SELECT * FROM T WHERE D = #2024/02/01#"},
    // What follows a literal must follow it in the same way.
    {"SELECT * FROM T WHERE ID = 5", "SELECT * FROM T WHERE ID = 5 "},
    {"SELECT * FROM T WHERE ID = 5", "SELECT * FROM T WHERE ID = 5--x"},
    {"SELECT * FROM T WHERE ID = 5;", "SELECT * FROM T WHERE ID = 6;"},
    // Failures are the tokenizer's.
    {"SELECT * FROM T WHERE N = 'a'", "SELECT * FROM T WHERE N = 'a"},
    {"SELECT * FROM T WHERE ID = 5", "SELECT * FROM T WHERE ID = 5; DELETE FROM T"},
    {"SELECT * FROM T WHERE ID = 5", "SELECT * FROM T WHERE ID = 5 AND N = 'open"},
    // No literals: the whole text must agree.
    {"SELECT * FROM T_GROUPING", "SELECT * FROM T_GROUPING"},
    {"SELECT * FROM T_GROUPING", "SELECT * FROM T_GROUPINGS"},
};

}  // namespace

TEST(ShapeMemoTest, SplitsEveryTextAsTheTokenizerDoes) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.seen) + " | " + c.text);
        ShapeMemo memo;
        expectSame(describe(c.seen, &memo), describe(c.seen, nullptr));
        expectSame(describe(c.text, &memo), describe(c.text, nullptr));
        // Again, now that the memo may know the text itself.
        expectSame(describe(c.text, &memo), describe(c.text, nullptr));
        expectSame(describe(c.seen, &memo), describe(c.seen, nullptr));
    }
}

TEST(ShapeMemoTest, ManyShapesInTurnKeepTheirOwnLiterals) {
    // More shapes than the memo holds, each seen with other literals.
    ShapeMemo memo;
    for (int round = 0; round < 3; ++round) {
        for (int shape = 0; shape < 2 * static_cast<int>(ShapeMemo::kCapacity); ++shape) {
            const std::string text = "SELECT C" + std::to_string(shape) + " FROM T WHERE ID = " +
                                     std::to_string(round * 1000 + shape) + " AND N = 'w" + std::to_string(round) + "'";
            SCOPED_TRACE(text);
            expectSame(describe(text, &memo), describe(text, nullptr));
        }
    }
}

TEST(ShapeMemoTest, TextsThatFollowOneAnotherInTurnAndMakeRoomKeepTheirOwnLiterals) {
    // A sheet, its goods, then a supplier or a customer in an irregular
    // order, so that the text after the goods changes; now and then so many
    // other texts that the ones guessed make room and come back anew.
    ShapeMemo memo;
    const std::string counterparts[] = {"SELECT * FROM T_iSUPPLIER WHERE SUPPLIER_ID = ",
                                        "SELECT * FROM T_iCUSTOMER WHERE CUSTOMER_ID =", "SELECT * FROM T_iCUSTOMER WHERE N = '"};
    for (int sheet = 0; sheet < 200; ++sheet) {
        std::vector<std::string> texts = {"SELECT * FROM T_SHEET WHERE ID = " + std::to_string(sheet),
                                          "SELECT * FROM T_ITEMS WHERE ID = " + std::to_string(sheet * 7)};
        const std::string& counterpart = counterparts[(sheet * sheet + sheet / 3) % 3];
        texts.push_back(counterpart.back() == '\'' ? counterpart + "n" + std::to_string(sheet) + "'"
                                                   : counterpart + std::to_string(sheet % 5));
        if (sheet % 40 == 39)
            for (int other = 0; other <= static_cast<int>(ShapeMemo::kCapacity); ++other)
                texts.push_back("SELECT C" + std::to_string(other) + " FROM T WHERE ID = " + std::to_string(sheet));
        for (const std::string& text : texts) {
            SCOPED_TRACE(text);
            expectSame(describe(text, &memo), describe(text, nullptr));
        }
    }
}

TEST(ShapeMemoTest, ResultsFromTheMemoCarryNothingOfTheTextSplitBefore) {
    // The memo keeps the literals of the text found last from one split to
    // the next: each text here follows one with other literals (more or
    // fewer, of the other kind, longer or shorter text), and every round
    // after the first finds them all in the memo.
    const std::vector<std::string> texts = {
        "SELECT * FROM T WHERE A = 'a long word with ''quotes'' inside' AND B = 12 AND C = 'x'",
        "SELECT * FROM T WHERE ID = 7",
        "SELECT * FROM T WHERE N = ''",
        "SELECT * FROM T WHERE A = 'a long word with ''quotes'' inside' AND B = 3 AND C = ''''",
        "SELECT * FROM T WHERE N = '''a'''",
        "SELECT * FROM T_GROUPING",
        "SELECT * FROM U WHERE X = 'y' AND Z = 99999999",
    };
    ShapeMemo memo;
    for (int round = 0; round < 3; ++round) {
        for (const std::string& text : texts) {
            SCOPED_TRACE(text);
            expectSame(describe(text, &memo), describe(text, nullptr));
        }
    }
}
