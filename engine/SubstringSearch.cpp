#include "engine/SubstringSearch.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "SearchConditions.h"
#include "engine/JetSql.h"
#include "engine/LikePattern.h"

namespace lumo::db {
namespace {

// The shared readers of a translated SELECT (SearchConditions.h).
using namespace detail;
using Kind = detail::TokenKind;

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

// The table behind the name `qualifier` in the FROM clause [b, e): the
// table itself, or the table it is an alias of; empty when none is.
std::string_view tableNamed(const Tokens& t, std::size_t b, std::size_t e, std::string_view qualifier) {
    const std::vector<std::size_t> sig = detail::significantIn(t, b, e);
    for (std::size_t k = 0; k < sig.size(); ++k) {
        const Token& x = t[sig[k]];
        const bool entryStart = k == 0 || isWord(t[sig[k - 1]], "JOIN") || isOp(t[sig[k - 1]], "(") ||
                                isOp(t[sig[k - 1]], ",");
        if (!entryStart || !isName(x) || detail::isFromKeyword(x)) continue;
        std::size_t next = k + 1;
        if (next < sig.size() && isWord(t[sig[next]], "AS")) ++next;
        const bool aliased = next < sig.size() && isName(t[sig[next]]) && !detail::isFromKeyword(t[sig[next]]);
        const std::string_view known = aliased ? unquotedName(t[sig[next]]) : unquotedName(x);
        if (sameName(known, qualifier)) return unquotedName(x);
    }
    return {};
}

std::size_t parametersIn(const Tokens& t, std::size_t b, std::size_t e) {
    return static_cast<std::size_t>(std::count_if(t.begin() + static_cast<std::ptrdiff_t>(b),
                                                  t.begin() + static_cast<std::ptrdiff_t>(e),
                                                  [](const Token& x) { return isOp(x, "?"); }));
}

// The number SQLite gives the last parameter before t[e], 0 when there is
// none (a moved "?N" counts too: the pattern would otherwise be taken for
// the literal before it, and the index query share the pattern's number).
std::size_t parameterNumberBefore(const Tokens& t, std::size_t e) {
    detail::ParameterNumbers numbers;
    for (std::size_t i = 0; i < e; ++i) numbers.next(t[i]);
    return numbers.highest();
}

struct Chain {
    std::string_view qualifier;
    const SubstringIndex* index = nullptr;
    std::vector<std::size_t> patterns;  // literal numbers
};

// The chain of the condition [b, e) when every test is "Q.c LIKE ?" with c
// an indexed column of the table Q names.
std::optional<Chain> indexedChain(const Tokens& t, const detail::Select& q, std::size_t b, std::size_t e,
                                  const SubstringIndexLookup& lookup) {
    const std::vector<detail::LikeTest> tests = detail::likeTests(t, b, e);
    if (tests.empty()) return std::nullopt;
    Chain chain;
    for (const detail::LikeTest& test : tests) {
        const std::vector<std::size_t> sig = detail::significantIn(t, test.b, test.e);
        std::size_t k = 0;
        const std::optional<detail::QualifiedColumn> operand = detail::qualifiedColumn(t, sig, k);
        if (!operand || sig.size() != 5 || !isOp(t[sig[4]], "?")) return std::nullopt;
        const std::string_view qualifier = operand->qualifier;
        if (chain.index == nullptr) {
            chain.qualifier = qualifier;
            const std::string_view table = tableNamed(t, q.from + 1, q.where, qualifier);
            if (table.empty() || !(chain.index = lookup(table))) return std::nullopt;
        } else if (!sameName(qualifier, chain.qualifier)) {
            return std::nullopt;
        }
        const std::string_view column = operand->column;
        if (std::none_of(chain.index->columns.begin(), chain.index->columns.end(),
                         [&](const std::string& c) { return sameName(c, column); }))
            return std::nullopt;
        chain.patterns.push_back(parameterNumberBefore(t, sig[4]));  // the pattern's number is one more
    }
    return chain;
}

Tokens narrowing(const Token& qualifier, const SubstringIndex& index, std::size_t parameter) {
    return {space(), word("AND"), space(), qualifier, {Kind::Op, "."}, word(index.key), space(), word("IN"),
            space(), {Kind::Op, "("}, word("SELECT"), space(), word("rowid"), space(), word("FROM"), space(),
            word(index.words), space(), word("WHERE"), space(), word(index.words), space(), word("MATCH"), space(),
            {Kind::Number, "?" + std::to_string(parameter)}, space(), word("UNION"), space(), word("ALL"), space(),
            word("SELECT"), space(), word(index.key), space(), word("FROM"), space(), word(index.unindexed),
            {Kind::Op, ")"}};
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

NarrowingPatterns narrowBySubstringIndex(Tokens& t, const SubstringIndexLookup& lookup) {
    NarrowingPatterns added;
    if (!lookup) return added;
    const std::size_t literals = parameterNumberBefore(t, t.size());
    for (std::size_t s = 0; s < t.size(); ++s) {
        if (!isWord(t[s], "SELECT")) continue;
        const detail::Select q = detail::selectAt(t, s);
        if (q.from == detail::kNoToken || q.where == detail::kNoToken || q.shaped) continue;
        if (parametersIn(t, q.end, t.size()) != 0) continue;
        for (auto [b, e] : detail::conditionsOf(t, q)) {
            std::optional<Chain> chain = indexedChain(t, q, b, e, lookup);
            if (!chain) continue;
            // The qualifier as the chain's first test writes it.
            std::size_t firstName = b;
            while (!isName(t[firstName])) ++firstName;
            const Tokens extra = narrowing(t[firstName], *chain->index, literals + added.size() + 1);
            t.insert(t.begin() + static_cast<std::ptrdiff_t>(q.end), extra.begin(), extra.end());
            t.insert(t.begin() + static_cast<std::ptrdiff_t>(q.end), Token{Kind::Op, ")"});
            t.insert(t.begin() + static_cast<std::ptrdiff_t>(q.where) + 1, {space(), {Kind::Op, "("}});
            added.push_back(std::move(chain->patterns));
            break;
        }
    }
    return added;
}

}  // namespace lumo::db
