#include "engine/JetWholeColumns.h"

#include <string>
#include <utility>

#include "WholeAssignments.h"

namespace lumo::db::detail {
namespace {

using Kind = TokenKind;
using Range = std::pair<std::size_t, std::size_t>;  // significant tokens [first, last]

class WholeAssignments {
public:
    WholeAssignments(std::vector<Token>& tokens, const WholeColumnLookup& isWhole) : tokens_(tokens), isWhole_(isWhole) {
        for (std::size_t i = 0; i < tokens.size(); ++i)
            if (tokens[i].kind != Kind::Space) sig_.push_back(i);
    }

    void run() {
        if (sig_.size() < 4) return;
        if (isWord(tok(0), "UPDATE") && isName(tok(1))) update();
        else if (isWord(tok(0), "INSERT") && isWord(tok(1), "INTO") && isName(tok(2)) && isOp(tok(3), "(")) insert();
        for (auto it = wraps_.rbegin(); it != wraps_.rend(); ++it) {
            const auto at = [&](std::size_t i) { return tokens_.begin() + static_cast<std::ptrdiff_t>(i); };
            tokens_.insert(at(sig_[it->second] + 1), Token{Kind::Op, ")"});
            tokens_.insert(at(sig_[it->first]), {Token{Kind::Word, "lumo_whole"}, Token{Kind::Op, "("}});
        }
    }

private:
    const Token& tok(std::size_t k) const { return tokens_[sig_[k]]; }

    void wrapIfWhole(std::string_view table, const Token& column, std::size_t first, std::size_t last) {
        if (first > last) return;
        if (isWhole_(table, unquotedName(column)).value_or(false)) wraps_.emplace_back(first, last);
    }

    // SET C = value, ... up to WHERE or the end, at the statement's own depth.
    void update() {
        const std::string_view table = unquotedName(tok(1));
        std::size_t k = 2;
        while (k < sig_.size() && !isWord(tok(k), "SET")) ++k;
        ++k;
        while (k + 2 < sig_.size() && isName(tok(k)) && isOp(tok(k + 1), "=")) {
            const Token& column = tok(k);
            const std::size_t first = k + 2;
            std::size_t end = first;
            for (int depth = 0; end < sig_.size(); ++end) {
                const Token& t = tok(end);
                if (isOp(t, "(")) ++depth;
                else if (isOp(t, ")")) --depth;
                if (depth == 0 && (isOp(t, ",") || isOp(t, ";") || isWord(t, "WHERE"))) break;
                if (depth < 0) break;
            }
            if (end == first) return;
            wrapIfWhole(table, column, first, end - 1);
            if (end >= sig_.size() || !isOp(tok(end), ",")) return;
            k = end + 1;
        }
    }

    // INSERT INTO T (C, ...) VALUES (value, ...), (value, ...) ...
    void insert() {
        const std::string_view table = unquotedName(tok(2));
        forEachInsertedValue(sig_.size(), [this](std::size_t k) -> const Token& { return tok(k); },
                             [&](const Token& column, std::size_t first, std::size_t last) {
                                 wrapIfWhole(table, column, first, last);
                             });
    }

    std::vector<Token>& tokens_;
    const WholeColumnLookup& isWhole_;
    std::vector<std::size_t> sig_;
    std::vector<Range> wraps_;  // in the order of the text, none inside another
};

}  // namespace

void wrapWholeAssignments(std::vector<Token>& tokens, const WholeColumnLookup& isWhole) {
    if (isWhole) WholeAssignments(tokens, isWhole).run();
}

}  // namespace lumo::db::detail
