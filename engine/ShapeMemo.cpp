#include "engine/ShapeMemo.h"

#include <algorithm>
#include <climits>

namespace lumo::db {
namespace {

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool isAlnum(char c) { return isDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'); }

// A number as the tokenizer reads it (a digit, then letters, digits and
// dots) that is a whole number in range, as the tokenizer's strtoll takes
// it; its end, or npos.
std::size_t wholeNumber(std::string_view text, std::size_t at, SqlLiteral& literal) {
    if (at >= text.size() || !isDigit(text[at])) return std::string_view::npos;
    long long value = 0;
    std::size_t end = at;
    for (; end < text.size() && isDigit(text[end]); ++end) {
        const int digit = text[end] - '0';
        if (value > (LLONG_MAX - digit) / 10) return std::string_view::npos;  // the tokenizer makes it a real
        value = value * 10 + digit;
    }
    if (end < text.size() && (isAlnum(text[end]) || text[end] == '.')) return std::string_view::npos;
    literal.kind = SqlLiteral::Kind::Integer;
    literal.integer = value;
    literal.real = 0;
    literal.text.clear();  // keeps its capacity for the next text literal
    return end;
}

// A string literal between single quotes, a doubled quote standing for
// one; its end, or npos when it is not there or not closed.
std::size_t quotedText(std::string_view text, std::size_t at, SqlLiteral& literal) {
    if (at >= text.size() || text[at] != '\'') return std::string_view::npos;
    literal.kind = SqlLiteral::Kind::Text;
    literal.integer = 0;
    literal.real = 0;
    literal.text.clear();
    for (std::size_t from = at + 1;;) {
        const std::size_t quote = text.find('\'', from);
        if (quote == std::string_view::npos) return quote;
        literal.text.append(text.substr(from, quote - from));
        if (quote + 1 >= text.size() || text[quote + 1] != '\'') return quote + 1;
        literal.text += '\'';
        from = quote + 2;
    }
}

}  // namespace

// The text outside the literals is compared byte for byte, so everything
// the tokenizer decided from it (where tokens start, nesting, which
// numbers are column numbers) is decided alike; a literal's own content
// changes none of that, as long as it reads as one token of its kind.
bool ShapeMemo::matches(const Remembered& r, std::string_view text, std::vector<SqlLiteral>& literals,
                        std::vector<JetSqlText::Span>& spans) {
    // Most texts tried differ from `r` before its first literal.
    const std::size_t head = r.spans.empty() ? r.text.size() : r.spans.front().begin;
    if (text.substr(0, head) != std::string_view(r.text).substr(0, head)) return false;
    std::size_t from = 0, at = 0;
    literals.resize(r.spans.size());
    spans.resize(r.spans.size());
    for (std::size_t k = 0; k < r.spans.size(); ++k) {
        const std::string_view fixed = std::string_view(r.text).substr(from, r.spans[k].begin - from);
        if (text.substr(at, fixed.size()) != fixed) return false;
        at += fixed.size();
        const std::size_t end = r.kinds[k] == SqlLiteral::Kind::Integer ? wholeNumber(text, at, literals[k])
                                                                        : quotedText(text, at, literals[k]);
        if (end == std::string_view::npos) return false;
        spans[k] = {at, end};
        at = end;
        from = r.spans[k].end;
    }
    return text.substr(at) == std::string_view(r.text).substr(from);
}

JetSqlText ShapeMemo::split(std::string_view text) {
    // Callers repeat their statements in the same order: the texts that
    // followed the last one found are tried first.
    const std::array<std::size_t, 2> guesses = last_ < texts_.size() ? texts_[last_].next : std::array{kNone, kNone};
    const auto tried = [&](std::size_t i) { return i == guesses[0] || i == guesses[1]; };
    for (std::size_t n = 0; n < texts_.size() + guesses.size(); ++n) {
        const std::size_t i = n < guesses.size() ? guesses[n] : n - guesses.size();
        if (i >= texts_.size() || (n >= guesses.size() && tried(i)) || !matches(texts_[i], text, literals_, spans_))
            continue;
        found(i);
        return JetSqlText(text, texts_[i].shape, literals_, spans_);
    }
    JetSqlText split(text);
    remember(text, split);
    return split;
}

void ShapeMemo::found(std::size_t i) {
    if (last_ < texts_.size()) {
        std::array<std::size_t, 2>& next = texts_[last_].next;
        if (next[0] != i) next = {i, next[0]};
    }
    last_ = i;
}

void ShapeMemo::remember(std::string_view text, const JetSqlText& split) {
    if (text.size() > kLongestText) return;
    Remembered r{std::string(text), split.shape(), split.literalSpans(), {}, {kNone, kNone}};
    for (const SqlLiteral& literal : split.literals()) {
        if (literal.kind == SqlLiteral::Kind::Real) return;
        r.kinds.push_back(literal.kind);
    }
    // When full, the oldest text makes room.
    std::size_t i = texts_.size();
    if (i < kCapacity) {
        texts_.push_back(std::move(r));
    } else {
        i = oldest_;
        oldest_ = (oldest_ + 1) % kCapacity;
        for (Remembered& other : texts_)
            for (std::size_t& next : other.next)
                if (next == i) next = kNone;
        texts_[i] = std::move(r);
    }
    found(i);
}

}  // namespace lumo::db
