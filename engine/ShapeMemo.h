#pragma once
// Splitting a statement text into its shape and its literals without
// tokenizing it again. The library builds each statement from fixed
// fragments and a key or word spliced in, so a text usually differs from
// one seen a moment ago only inside its literals. The memo keeps recent
// texts with the places of their literals; a new text that equals one of
// them outside those places, and holds a literal of the same kind at each,
// has that text's shape. Anything else is split by JetSqlText and
// remembered.
//
// Only texts whose literals are all whole numbers or strings are
// remembered: a real number or a date may read differently in another
// spelling, so such texts always take the tokenizer.
//
// Owned by one connection and used on its thread only.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/JetSql.h"

namespace lumo::db {

class ShapeMemo {
public:
    static constexpr std::size_t kCapacity = 32;        // texts remembered
    static constexpr std::size_t kLongestText = 4096;   // longer texts are not remembered

    ShapeMemo() { texts_.reserve(kCapacity); }  // the shapes lent out never move

    // The same result as JetSqlText(text), including its failures. `text`
    // must outlive the result, as for JetSqlText. A result found in the
    // memo borrows its shape, literals and their places from the memo,
    // which the next split replaces: use the result before splitting
    // again. Each caller (Open, Execute, reading a table) splits one text,
    // runs it and is done with it; none of them splits another meanwhile.
    // Borrowing spares three allocations in every statement run.
    JetSqlText split(std::string_view text);

private:
    static constexpr std::size_t kNone = SIZE_MAX;
    struct Remembered {
        std::string text;
        std::string shape;
        std::vector<JetSqlText::Span> spans;
        std::vector<SqlLiteral::Kind> kinds;
        // The texts split right after this one the last two times, the
        // latest first (kNone: not known): a reader that reads a supplier
        // for one sheet and a customer for the next finds both.
        std::array<std::size_t, 2> next;
    };
    std::vector<Remembered> texts_;
    // The literals and their places of the text found last, lent to its
    // result; kept from one split to the next for their capacity.
    std::vector<SqlLiteral> literals_;
    std::vector<JetSqlText::Span> spans_;
    std::size_t last_ = kNone;  // the text split last
    std::size_t oldest_ = 0;    // the next one to make room when full

    static bool matches(const Remembered& r, std::string_view text, std::vector<SqlLiteral>& literals,
                        std::vector<JetSqlText::Span>& spans);
    void found(std::size_t i);
    void remember(std::string_view text, const JetSqlText& split);
};

}  // namespace lumo::db
