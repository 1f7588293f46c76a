#include "engine/SubstringSearch.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "Conditions.h"
#include "FromClause.h"
#include "engine/JetSql.h"
#include "engine/LikePattern.h"

namespace lumo::db {
namespace {

using detail::isOp;
using detail::sameName;
using detail::Token;
using tree::Place;

constexpr std::size_t kTrigram = 3;

// The byte lengths of the characters of `s` when it is well-formed UTF-8
// without NUL; nullopt otherwise. The index reads text as SQLite decodes
// it; for well-formed text that is these characters.
std::optional<std::vector<std::size_t>> characters(std::string_view s) {
    std::vector<std::size_t> lengths;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = 0;
        char32_t code = 0;
        if (c == 0) return std::nullopt;
        if (c < 0x80) n = 1, code = c;
        else if (c >= 0xC2 && c <= 0xDF) n = 2, code = c & 0x1F;
        else if (c >= 0xE0 && c <= 0xEF) n = 3, code = c & 0x0F;
        else if (c >= 0xF0 && c <= 0xF4) n = 4, code = c & 0x07;
        else return std::nullopt;
        if (i + n > s.size()) return std::nullopt;
        for (std::size_t k = 1; k < n; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            code = (code << 6) | (next & 0x3F);
        }
        constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kLeast[n] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
        lengths.push_back(n);
        i += n;
    }
    return lengths;
}

// "t1" AND "t2" AND ...: the trigrams of a run of whole characters. The
// index keeps no positions, so a row holding them all is only a
// candidate, which is all it needs to be.
std::string trigramsOf(std::string_view run, const std::vector<std::size_t>& lengths) {
    std::string out = "(";
    std::size_t start = 0;
    for (std::size_t k = 0; k + kTrigram <= lengths.size(); ++k) {
        const std::size_t bytes = lengths[k] + lengths[k + 1] + lengths[k + 2];
        if (k > 0) out += " AND ";
        out += '"';
        for (char c : run.substr(start, bytes)) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
        start += lengths[k];
    }
    return out + ")";
}

// The index query for one LIKE pattern: the trigrams of its longest run
// of text between wildcards and character lists, since every match holds
// each such run whole ([%] and the like are text here, a list of several
// characters is not).
std::optional<std::string> patternQuery(std::string_view pattern) {
    std::string_view best;
    std::vector<std::size_t> bestLengths;
    const LikePattern parts = parseLike(pattern);
    for (const LikePart& part : parts.parts) {
        if (part.kind != LikePart::Kind::Text) continue;
        std::optional<std::vector<std::size_t>> lengths = characters(part.text);
        if (!lengths) return std::nullopt;
        if (lengths->size() > bestLengths.size()) {
            best = part.text;
            bestLengths = std::move(*lengths);
        }
    }
    if (bestLengths.size() < kTrigram) return std::nullopt;
    return trigramsOf(best, bestLengths);
}

// The number SQLite gives the last parameter before the token `at`, 0
// when there is none (a moved "?N" counts too: the pattern would otherwise
// be taken for the literal before it).
std::size_t parameterNumberBefore(const std::vector<Token>& t, std::size_t at) {
    detail::ParameterNumbers numbers;
    for (std::size_t i = 0; i < at; ++i) numbers.next(t[i]);
    return numbers.highest();
}

struct Chain {
    Place qualifier;  // as the first test writes it
    const SubstringIndex* index = nullptr;
    std::vector<std::size_t> patterns;  // literal numbers
};

// The chain of `condition` when every test is "Q.c LIKE ?" with c an
// indexed column of the table Q names in the FROM parts [from, where).
std::optional<Chain> indexedChain(const tree::Tree& tree, const tree::Parts& parts, const tree::Select& q,
                                  tree::Index condition, const SubstringIndexLookup& lookup) {
    const std::vector<tree::LikeTest> tests = tree::likeTests(tree, condition);
    if (tests.empty()) return std::nullopt;
    Chain chain;
    std::string_view qualifier;
    for (const tree::LikeTest& test : tests) {
        const auto& compare = std::get<tree::Compare>(tree.nodes[test.node]);
        const auto* column = std::get_if<tree::QualifiedName>(&tree.nodes[compare.first]);
        const auto* pattern = std::get_if<tree::Atom>(&tree.nodes[compare.steps[0].right]);
        if (!column || column->rest.size() != 2 || !pattern || pattern->role != tree::Atom::Role::Parameter)
            return std::nullopt;
        if (chain.index == nullptr) {
            chain.qualifier = column->first;
            qualifier = tree::nameAt(tree, column->first);
            const std::string_view table = tree::tableNamed(tree, parts, q.from + 1, q.where, qualifier);
            if (table.empty() || !(chain.index = lookup(table))) return std::nullopt;
        } else if (!sameName(tree::nameAt(tree, column->first), qualifier)) {
            return std::nullopt;
        }
        const std::string_view name = tree::nameAt(tree, column->rest[1]);
        if (std::none_of(chain.index->columns.begin(), chain.index->columns.end(),
                         [&](const std::string& c) { return sameName(c, name); }))
            return std::nullopt;
        // The pattern's number is one more.
        chain.patterns.push_back(parameterNumberBefore(tree.tokens, pattern->place.at));
    }
    return chain;
}

bool holdsParameter(const std::vector<Token>& t, std::size_t from) {
    return std::any_of(t.begin() + static_cast<std::ptrdiff_t>(from), t.end(), [](const Token& x) { return isOp(x, "?"); });
}

}  // namespace

std::optional<std::string> substringQuery(const std::vector<SqlLiteral>& literals,
                                          const std::vector<std::size_t>& patterns) {
    std::vector<std::string> parts;
    std::vector<std::string_view> seen;  // a search tests one word in many columns
    for (std::size_t n : patterns) {
        if (n >= literals.size() || literals[n].kind != SqlLiteral::Kind::Text) return std::nullopt;
        if (std::find(seen.begin(), seen.end(), literals[n].text) != seen.end()) continue;
        seen.push_back(literals[n].text);
        std::optional<std::string> part = patternQuery(literals[n].text);
        if (!part) return std::nullopt;
        if (std::find(parts.begin(), parts.end(), *part) == parts.end()) parts.push_back(std::move(*part));
    }
    if (parts.empty()) return std::nullopt;
    std::string out;
    for (const std::string& part : parts) out += (out.empty() ? "" : " OR ") + part;
    return out;
}

NarrowingPatterns narrowBySubstringIndex(tree::Tree& tree, const SubstringIndexLookup& lookup) {
    NarrowingPatterns added;
    if (!lookup) return added;
    const std::size_t literals = parameterNumberBefore(tree.tokens, tree.tokens.size());
    // The levels there are before the pass: the narrowings it adds are
    // nodes of their own.
    const std::size_t levels = tree.nodes.size();
    for (tree::Index n = 0; n < levels; ++n) {
        if (!std::holds_alternative<tree::Clauses>(tree.nodes[n])) continue;
        for (std::size_t s = 0; s < tree::partsOf(tree, n).size(); ++s) {
            const tree::Parts& parts = tree::partsOf(tree, n);
            if (!tree::isWordPart(tree, parts[s], "SELECT")) continue;
            const tree::Select q = tree::selectAt(tree, parts, s);
            const tree::Index where = tree::whereOf(parts, q);
            // The index query's parameter is numbered after every literal:
            // a '?' after it would take the number after its own.
            if (where == tree::kNoNode || q.shaped || holdsParameter(tree.tokens, std::get<tree::Clauses>(tree.nodes[n]).end))
                continue;
            for (const tree::Index condition : tree::conditionsOf(tree, where)) {
                std::optional<Chain> chain = indexedChain(tree, parts, q, condition, lookup);
                if (!chain) continue;
                tree::IndexNarrowing narrowing{where, chain->qualifier, chain->index->key, chain->index->words,
                                               chain->index->unindexed, literals + added.size() + 1};
                const std::size_t at = q.where + 1;
                tree.nodes.emplace_back(std::move(narrowing));
                tree::partsOf(tree, n)[at].expression = static_cast<tree::Index>(tree.nodes.size() - 1);
                added.push_back(std::move(chain->patterns));
                break;
            }
        }
    }
    return added;
}

}  // namespace lumo::db
