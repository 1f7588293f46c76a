#include "engine/LikeFunction.h"

#include <algorithm>
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

// One pattern character (not %) against the text at t; advances both.
bool matchOne(std::string_view pattern, std::size_t& p, std::string_view text, std::size_t& t) {
    if (t >= text.size()) return false;
    const unsigned char pc = static_cast<unsigned char>(pattern[p]);
    if (pc == '_') {
        t += charLength(static_cast<unsigned char>(text[t]));
        if (t > text.size()) t = text.size();
        ++p;
        return true;
    }
    if (fold(pc) != fold(static_cast<unsigned char>(text[t]))) return false;
    ++p;
    ++t;
    return true;
}

bool sameFolded(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return fold(static_cast<unsigned char>(x)) == fold(static_cast<unsigned char>(y));
           });
}

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The patterns the search lists build: a literal, with % before it, after
// it or both. Answers without backtracking; nullopt for other patterns.
std::optional<bool> literalMatch(std::string_view pattern, std::string_view text) {
    const bool anyStart = !pattern.empty() && pattern.front() == '%';
    const bool anyEnd = !pattern.empty() && pattern.back() == '%';
    const std::size_t first = pattern.find_first_not_of('%');
    if (first == std::string_view::npos) return anyStart || text.empty();
    const std::string_view literal = pattern.substr(first, pattern.find_last_not_of('%') + 1 - first);
    if (literal.find_first_of("%_") != std::string_view::npos || isContinuation(literal.front())) return std::nullopt;
    if (text.size() < literal.size()) return false;
    if (!anyStart && !anyEnd) return sameFolded(literal, text);
    if (!anyStart) return sameFolded(literal, text.substr(0, literal.size()));
    if (!anyEnd) return sameFolded(literal, text.substr(text.size() - literal.size()));
    for (std::size_t at = 0; at + literal.size() <= text.size(); ++at)
        if (sameFolded(literal, text.substr(at, literal.size()))) return true;
    return false;
}

void likeFunction(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) return;
    const auto* pattern = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int patternBytes = sqlite3_value_bytes(argv[0]);
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    const int textBytes = sqlite3_value_bytes(argv[1]);
    if (!pattern || !text) {
        sqlite3_result_error_nomem(context);
        return;
    }
    sqlite3_result_int(context, likeMatches({pattern, static_cast<std::size_t>(patternBytes)},
                                            {text, static_cast<std::size_t>(textBytes)}));
}

// lumo_like_any(text, p1, p2, ...): text LIKE p1 OR text LIKE p2 OR ...,
// Null as OR gives it (true if any is true, else Null if any is Null).
void likeAnyFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    if (!text) {
        sqlite3_result_error_nomem(context);
        return;
    }
    const std::string_view textView(text, static_cast<std::size_t>(sqlite3_value_bytes(argv[0])));
    bool unknown = false;
    for (int i = 1; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            unknown = true;
            continue;
        }
        const auto* pattern = reinterpret_cast<const char*>(sqlite3_value_text(argv[i]));
        if (!pattern) {
            sqlite3_result_error_nomem(context);
            return;
        }
        if (likeMatches({pattern, static_cast<std::size_t>(sqlite3_value_bytes(argv[i]))}, textView)) {
            sqlite3_result_int(context, 1);
            return;
        }
    }
    if (!unknown) sqlite3_result_int(context, 0);
}

}  // namespace

// Left to right; after a %, the rest of the pattern is tried at each later
// position of the text, resuming from the last % on a mismatch (a later %
// never needs an earlier one retried).
bool likeMatches(std::string_view pattern, std::string_view text) {
    if (const std::optional<bool> quick = literalMatch(pattern, text)) return *quick;
    std::size_t p = 0, t = 0;
    std::size_t starP = std::string_view::npos, starT = 0;
    while (t < text.size() || p < pattern.size()) {
        if (p < pattern.size() && pattern[p] == '%') {
            while (p < pattern.size() && pattern[p] == '%') ++p;
            if (p == pattern.size()) return true;
            starP = p;
            starT = t;
            continue;
        }
        std::size_t nextP = p, nextT = t;
        if (p < pattern.size() && matchOne(pattern, nextP, text, nextT)) {
            p = nextP;
            t = nextT;
            continue;
        }
        if (starP == std::string_view::npos || starT >= text.size()) return false;
        // Retry after the % one character further on.
        starT += charLength(static_cast<unsigned char>(text[starT]));
        p = starP;
        t = starT;
    }
    return true;
}

void installLike(sqlite3* db) {
    struct Function {
        const char* name;
        int arguments;  // -1: any number
        void (*function)(sqlite3_context*, int, sqlite3_value**);
    };
    static constexpr Function kFunctions[] = {{"like", 2, &likeFunction}, {"lumo_like_any", -1, &likeAnyFunction}};
    for (const auto& [name, arguments, function] : kFunctions) {
        if (const int rc = sqlite3_create_function_v2(db, name, arguments, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                                      function, nullptr, nullptr, nullptr);
            rc != SQLITE_OK)
            throw Error(std::string("LIKE 演算子を登録できません: ") + sqlite3_errstr(rc));
    }
}

}  // namespace lumo::db
