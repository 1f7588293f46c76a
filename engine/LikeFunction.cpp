#include "engine/LikeFunction.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <string>

#include "platform/Error.h"

namespace lumo::db {
namespace {

constexpr unsigned char fold(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

// Length of the UTF-8 character starting with byte c (1 for a stray byte).
constexpr std::size_t charLength(unsigned char c) {
    if (c >= 0xF0) return 4;
    if (c >= 0xE0) return 3;
    if (c >= 0xC0) return 2;
    return 1;
}

bool sameFolded(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return fold(static_cast<unsigned char>(x)) == fold(static_cast<unsigned char>(y));
           });
}

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The code point at text[t] and its length; a stray byte is itself.
std::pair<char32_t, std::size_t> codePointAt(std::string_view text, std::size_t t) {
    const std::size_t n = std::min(charLength(static_cast<unsigned char>(text[t])), text.size() - t);
    const auto c = static_cast<unsigned char>(text[t]);
    if (n == 1) return {c, 1};
    char32_t code = c & (0x3F >> (n - 1));
    for (std::size_t k = 1; k < n; ++k) {
        if (!isContinuation(text[t + k])) return {c, 1};
        code = (code << 6) | (static_cast<unsigned char>(text[t + k]) & 0x3F);
    }
    return {code, n};
}

// One part (not %) against the text at t; advances t.
bool matchPart(const LikePart& part, std::string_view text, std::size_t& t) {
    if (t >= text.size()) return false;
    switch (part.kind) {
    case LikePart::Kind::Text:
        if (text.size() - t < part.text.size() || !sameFolded(part.text, text.substr(t, part.text.size())))
            return false;
        t += part.text.size();
        return true;
    case LikePart::Kind::AnyOne:
        t += std::min(charLength(static_cast<unsigned char>(text[t])), text.size() - t);
        return true;
    case LikePart::Kind::OneOf: {
        const auto [code, length] = codePointAt(text, t);
        if (!inList(part, code)) return false;
        t += length;
        return true;
    }
    case LikePart::Kind::AnyRun: break;
    }
    return false;
}

// The patterns the search lists build: a text, with % before it, after
// it or both. Answers without backtracking; nullopt for other patterns.
std::optional<bool> literalMatch(const LikePattern& pattern, std::string_view text) {
    const std::vector<LikePart>& parts = pattern.parts;
    if (parts.empty()) return text.empty();
    const bool anyStart = parts.front().kind == LikePart::Kind::AnyRun;
    const bool anyEnd = parts.back().kind == LikePart::Kind::AnyRun;
    const std::size_t texts = parts.size() - (anyStart ? 1 : 0) - (anyEnd && parts.size() > 1 ? 1 : 0);
    if (texts == 0) return anyStart || text.empty();
    if (texts != 1) return std::nullopt;
    const LikePart& middle = parts[anyStart ? 1 : 0];
    if (middle.kind != LikePart::Kind::Text || isContinuation(middle.text.front())) return std::nullopt;
    const std::string_view literal = middle.text;
    if (text.size() < literal.size()) return false;
    if (!anyStart && !anyEnd) return sameFolded(literal, text);
    if (!anyStart) return sameFolded(literal, text.substr(0, literal.size()));
    if (!anyEnd) return sameFolded(literal, text.substr(text.size() - literal.size()));
    // A first byte that is no ASCII letter is found by memchr, so that
    // each row costs a scan for its candidates rather than a compare at
    // every byte.
    const auto first = static_cast<unsigned char>(literal.front());
    if (fold(first) == first && !(first >= 'a' && first <= 'z')) {
        for (std::size_t at = text.find(literal.front()); at != std::string_view::npos && at + literal.size() <= text.size();
             at = text.find(literal.front(), at + 1))
            if (sameFolded(literal, text.substr(at, literal.size()))) return true;
        return false;
    }
    for (std::size_t at = 0; at + literal.size() <= text.size(); ++at)
        if (sameFolded(literal, text.substr(at, literal.size()))) return true;
    return false;
}

// The pattern of argument `i`, read once per statement: SQLite keeps it
// with the argument while the argument stays the same. When SQLite cannot
// keep it, `local` holds it for this call.
const LikePattern& patternOf(sqlite3_context* context, int i, std::string_view text, LikePattern& local) {
    if (const auto* kept = static_cast<const LikePattern*>(sqlite3_get_auxdata(context, i))) return *kept;
    local = parseLike(text);
    sqlite3_set_auxdata(context, i, std::make_unique<LikePattern>(local).release(),
                        [](void* p) { std::unique_ptr<LikePattern>(static_cast<LikePattern*>(p)); });
    return local;
}

std::string_view textOf(sqlite3_value* value) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_value_bytes(value))) : std::string_view();
}

void likeFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) return;
    const std::string_view pattern = textOf(argv[0]);
    const std::string_view text = textOf(argv[1]);
    if (pattern.data() == nullptr || text.data() == nullptr) {
        sqlite3_result_error_nomem(context);
        return;
    }
    LikePattern local;
    sqlite3_result_int(context, likeMatches(patternOf(context, 0, pattern, local), text));
}

// lumo_like_any(text, p1, p2, ...): text LIKE p1 OR text LIKE p2 OR ...,
// Null as OR gives it (true if any is true, else Null if any is Null).
void likeAnyFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
    const std::string_view text = textOf(argv[0]);
    if (text.data() == nullptr) {
        sqlite3_result_error_nomem(context);
        return;
    }
    bool unknown = false;
    for (int i = 1; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            unknown = true;
            continue;
        }
        const std::string_view pattern = textOf(argv[i]);
        if (pattern.data() == nullptr) {
            sqlite3_result_error_nomem(context);
            return;
        }
        LikePattern local;
        if (likeMatches(patternOf(context, i, pattern, local), text)) {
            sqlite3_result_int(context, 1);
            return;
        }
    }
    if (!unknown) sqlite3_result_int(context, 0);
}

// lumo_like_pairs(text1, pattern1, text2, pattern2, ...): text1 LIKE
// pattern1 OR text2 LIKE pattern2 OR ..., Null as OR gives it.
void likePairsFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (argc % 2 != 0) {
        sqlite3_result_error(context, "lumo_like_pairs: 文字列とパターンの組でない引数があります", -1);
        return;
    }
    bool unknown = false;
    for (int i = 0; i + 1 < argc; i += 2) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL || sqlite3_value_type(argv[i + 1]) == SQLITE_NULL) {
            unknown = true;
            continue;
        }
        const std::string_view text = textOf(argv[i]);
        const std::string_view pattern = textOf(argv[i + 1]);
        if (text.data() == nullptr || pattern.data() == nullptr) {
            sqlite3_result_error_nomem(context);
            return;
        }
        LikePattern local;
        if (likeMatches(patternOf(context, i + 1, pattern, local), text)) {
            sqlite3_result_int(context, 1);
            return;
        }
    }
    if (!unknown) sqlite3_result_int(context, 0);
}

}  // namespace

bool likeMatches(std::string_view pattern, std::string_view text) { return likeMatches(parseLike(pattern), text); }

// Left to right; after a %, the rest of the pattern is tried at each later
// position of the text, resuming from the last % on a mismatch (a later %
// never needs an earlier one retried: every other part matches a length
// fixed by where it starts).
bool likeMatches(const LikePattern& pattern, std::string_view text) {
    if (const std::optional<bool> quick = literalMatch(pattern, text)) return *quick;
    const std::vector<LikePart>& parts = pattern.parts;
    std::size_t p = 0, t = 0;
    std::size_t starP = std::string_view::npos, starT = 0;
    while (t < text.size() || p < parts.size()) {
        if (p < parts.size() && parts[p].kind == LikePart::Kind::AnyRun) {
            ++p;
            if (p == parts.size()) return true;
            starP = p;
            starT = t;
            continue;
        }
        std::size_t nextT = t;
        if (p < parts.size() && matchPart(parts[p], text, nextT)) {
            ++p;
            t = nextT;
            continue;
        }
        if (starP == std::string_view::npos || starT >= text.size()) return false;
        // Retry after the % one character further on.
        starT += std::min(charLength(static_cast<unsigned char>(text[starT])), text.size() - starT);
        p = starP;
        t = starT;
    }
    return true;
}

namespace {

struct Function {
    const char* name;
    int arguments;  // -1: any number
    void (*function)(sqlite3_context*, int, sqlite3_value**);
};

// The names are literals: their views end in the NUL SQLite reads to.
constexpr Function kFunctions[] = {{"like", 2, &likeFunction},
                                   {kLikeAnyFunction.data(), -1, &likeAnyFunction},
                                   {kLikePairsFunction.data(), -1, &likePairsFunction}};

}  // namespace

bool isLikeChainCall(std::string_view name) {
    const auto same = [&](std::string_view chain) {
        return name.size() == chain.size() && std::equal(name.begin(), name.end(), chain.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) == b;
               });
    };
    return same(kLikeAnyFunction) || same(kLikePairsFunction);
}

void installLike(sqlite3* db) {
    for (const Function& f : kFunctions) {
        if (const int rc = sqlite3_create_function_v2(db, f.name, f.arguments, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                                      nullptr, f.function, nullptr, nullptr, nullptr);
            rc != SQLITE_OK)
            throw Error(std::string("LIKE 演算子を登録できません: ") + sqlite3_errstr(rc));
    }
}

}  // namespace lumo::db
