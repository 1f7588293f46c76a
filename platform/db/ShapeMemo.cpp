#include "platform/db/ShapeMemo.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace lumo::db {
namespace {

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool isAlnum(char c) { return isDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'); }

// A number as the tokenizer reads it (a digit, then letters, digits and
// dots) that is a whole number in range; its end, or npos.
std::size_t wholeNumber(std::string_view text, std::size_t at, SqlLiteral& literal) {
    if (at >= text.size() || !isDigit(text[at])) return std::string_view::npos;
    std::size_t end = at + 1;
    while (end < text.size() && (isAlnum(text[end]) || text[end] == '.')) ++end;
    char digits[24];
    if (end - at >= sizeof digits) return std::string_view::npos;  // beyond a long long anyway
    std::copy(text.begin() + static_cast<std::ptrdiff_t>(at), text.begin() + static_cast<std::ptrdiff_t>(end), digits);
    digits[end - at] = '\0';
    char* stop = nullptr;
    errno = 0;
    const long long value = std::strtoll(digits, &stop, 10);
    if (*stop != '\0' || errno == ERANGE) return std::string_view::npos;
    literal = {SqlLiteral::Kind::Integer, value, 0, {}};
    return end;
}

// A string literal between single quotes, a doubled quote standing for
// one; its end, or npos when it is not there or not closed.
std::size_t quotedText(std::string_view text, std::size_t at, SqlLiteral& literal) {
    if (at >= text.size() || text[at] != '\'') return std::string_view::npos;
    literal = {SqlLiteral::Kind::Text, 0, 0, {}};
    for (std::size_t i = at + 1; i < text.size(); ++i) {
        if (text[i] != '\'') {
            literal.text += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '\'') {
            literal.text += '\'';
            ++i;
        } else {
            return i + 1;
        }
    }
    return std::string_view::npos;
}

}  // namespace

// The text outside the literals is compared byte for byte, so everything
// the tokenizer decided from it (where tokens start, nesting, which
// numbers are column numbers) is decided alike; a literal's own content
// changes none of that, as long as it reads as one token of its kind.
bool ShapeMemo::matches(const Remembered& r, std::string_view text, std::vector<SqlLiteral>& literals,
                        std::vector<JetSqlText::Span>& spans) {
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
    std::vector<SqlLiteral> literals;
    std::vector<JetSqlText::Span> spans;
    for (auto it = texts_.begin(); it != texts_.end(); ++it) {
        if (!matches(*it, text, literals, spans)) continue;
        std::rotate(texts_.begin(), it, it + 1);
        return JetSqlText(text, texts_.front().shape, std::move(literals), std::move(spans));
    }
    JetSqlText split(text);
    remember(text, split);
    return split;
}

void ShapeMemo::remember(std::string_view text, const JetSqlText& split) {
    if (text.size() > kLongestText) return;
    Remembered r{std::string(text), split.shape(), split.literalSpans(), {}};
    for (const SqlLiteral& literal : split.literals()) {
        if (literal.kind == SqlLiteral::Kind::Real) return;
        r.kinds.push_back(literal.kind);
    }
    if (texts_.size() >= kCapacity) texts_.pop_back();
    texts_.insert(texts_.begin(), std::move(r));
}

}  // namespace lumo::db
