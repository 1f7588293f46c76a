// The Jet tokenizer and translator on any text. Properties: the only
// failure is lumo::Error; the translation keeps every string literal as
// written; the shape with its literals put back is the same statement
// (same shape, same literals); the display translation and the
// parameterised one lift the same number of literals; the parameters of
// the translation, numbered as SQLite numbers them, are the literals, also
// as a person file translates the text (with the index queries of a
// narrowed search after them).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "fuzz/Check.h"
#include "platform/Error.h"
#include "engine/JetSql.h"

using lumo::fuzz::check;
using namespace lumo::db;

namespace {

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

// A number written at [from, to) of the shape would join the name or
// number beside it into one token (a date literal may touch a name: "x#1/1/2024#").
bool glued(const std::string& shape, std::size_t from, std::size_t to) {
    const auto joins = [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x80 || c == '_' || c == '$' || c == '.' || (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
    };
    return (from > 0 && joins(shape[from - 1])) || (to < shape.size() && joins(shape[to]));
}

// The statement the shape stands for, each ?N replaced by its literal;
// empty when a number cannot be written back as the same kind of token.
std::string rebuild(const JetSqlText& text) {
    const std::string& shape = text.shape();
    std::string out;
    std::size_t count = 0;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] != '?') { out += shape[i]; continue; }
        // The literals stand in order, so this is "?<count + 1>": a digit
        // written right after a literal ('q'0) is the text's own.
        const std::string expected = std::to_string(++count);
        if (shape.compare(i + 1, expected.size(), expected) != 0) return {};
        const std::size_t j = i + 1 + expected.size();
        const std::size_t n = count;
        if (n > text.literals().size()) return {};
        const SqlLiteral& lit = text.literals()[n - 1];
        if (lit.kind == SqlLiteral::Kind::Text) {
            out += quoted(lit.text);
        } else if (lit.kind == SqlLiteral::Kind::Integer) {
            if (lit.integer < 0 || glued(shape, i, j)) return {};
            out += std::to_string(lit.integer);
        } else if (glued(shape, i, j)) {
            return {};
        } else {
            char number[64];
            std::snprintf(number, sizeof number, "%.17g", lit.real);
            const std::string s = number;
            if (s.find_first_not_of("0123456789.") != std::string::npos) return {};
            out += s.find('.') == std::string::npos ? s + ".0" : s;
        }
        i = j - 1;
    }
    return out;
}

// The number SQLite gives the last parameter of a translation, numbering
// them as it does: '?' one more than the largest so far, "?N" N. Quoted
// names and strings are skipped.
std::size_t highestParameter(const std::string& sql) {
    std::size_t highest = 0;
    for (std::size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'' || c == '"' || c == '`' || c == '[') {
            const char close = c == '[' ? ']' : c;
            const std::size_t end = sql.find(close, i + 1);
            if (end == std::string::npos) break;
            i = end;
            continue;
        }
        // A note after the statement's ';' is passed on as SQLite's
        // comment (the renderer keeps two minus signs apart elsewhere):
        // a '?' in it is no parameter.
        if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            const std::size_t end = sql.find('\n', i);
            if (end == std::string::npos) break;
            i = end;
            continue;
        }
        if (c != '?') continue;
        std::size_t n = 0, j = i + 1;
        while (j < sql.size() && sql[j] >= '0' && sql[j] <= '9' && n < 1000000) n = n * 10 + static_cast<std::size_t>(sql[j++] - '0');
        highest = j == i + 1 ? highest + 1 : std::max(highest, n);
        i = j - 1;
    }
    return highest;
}

bool sameLiteral(const SqlLiteral& a, const SqlLiteral& b) {
    if (a.kind == SqlLiteral::Kind::Text || b.kind == SqlLiteral::Kind::Text) return a.kind == b.kind && a.text == b.text;
    const double x = a.kind == SqlLiteral::Kind::Integer ? static_cast<double>(a.integer) : a.real;
    const double y = b.kind == SqlLiteral::Kind::Integer ? static_cast<double>(b.integer) : b.real;
    return x == y;
}

// What a person file tells the translation.
const SubstringIndex kPersons{"T_PERSON", "PERSON_ID", {"LASTNAME", "FIRSTNAME", "COMPANY"}, "lumo_search_person",
                              "lumo_search_person_unindexed"};
const SubstringIndex kPhones{"T_PHONE", "PHONE_ID", {"TEL_NUMBER"}, "lumo_search_phone", "lumo_search_phone_unindexed"};
const SubstringIndexLookup personIndexes = [](std::string_view table) -> const SubstringIndex* {
    return table == "T_PERSON" ? &kPersons : table == "T_PHONE" ? &kPhones : nullptr;
};
const UniqueKeyLookup personKeys = [](std::string_view source, std::string_view column) {
    return (source == "T_PERSON" && column == "PERSON_ID") || (source == "T_PHONE" && column == "PHONE_ID") ||
           (source == "T_GROUPING" && column == "TYPE_ID") || (source == "vwHomePhone" && column == "PERSON_ID");
};
const DateColumnLookup personDates = [](std::string_view table, std::string_view column) -> std::optional<bool> {
    if (table != "T_PERSON") return std::nullopt;
    return column == "BIRTHDAY" || column == "ANNIVERSARY";
};
const WholeColumnLookup personWholes = [](std::string_view table, std::string_view column) -> std::optional<bool> {
    if (table != "T_PERSON" && table != "T_PHONE") return std::nullopt;
    return column == "PERSON_ID" || column == "TYPE_ID" || column == "RANK";
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string sql(reinterpret_cast<const char*>(data), size);
    try {
        const JetSqlText text(sql);
        const JetStatement shown = translateJet(sql);
        const JetStatement translated = text.translate();
        // Each literal is bound where the translation asks for it: a
        // rewrite that repeats or moves text (TOP, Between) keeps the numbers.
        check(highestParameter(translated.sql) == text.literals().size(), "the parameters number the literals");
        // As a person file translates it, with its search indexes and keys:
        // the narrowed statement's index queries come after the literals.
        const JetStatement onFile = text.translate(personDates, personIndexes, personKeys, personWholes);
        check(highestParameter(onFile.sql) == text.literals().size(), "the parameters number the literals on a file");
        check(onFile.sqlWithRowid.empty() || highestParameter(onFile.sqlWithRowid) == text.literals().size(),
              "the parameters number the literals with the row identity");
        check(onFile.parameterColumns.empty() || onFile.parameterColumns.size() == text.literals().size(),
              "one column, or none, per parameter");
        if (!onFile.narrowedSql.empty()) {
            check(highestParameter(onFile.narrowedSql) == text.literals().size() + onFile.narrowingPatterns.size(),
                  "the index queries follow the literals");
            for (const auto& patterns : onFile.narrowingPatterns)
                for (std::size_t n : patterns) check(n < text.literals().size(), "a pattern is a literal");
        }
        // Every string literal appears in the display translation, as often
        // as it is written (TOP's rewrite may repeat a clause, or move an
        // ORDER BY key before the WHERE it came after).
        for (const SqlLiteral& lit : text.literals()) {
            if (lit.kind != SqlLiteral::Kind::Text) continue;
            const std::string q = quoted(lit.text);
            std::size_t written = 0, shownTimes = 0;
            for (const SqlLiteral& other : text.literals())
                written += other.kind == SqlLiteral::Kind::Text && other.text == lit.text;
            for (std::size_t at = shown.sql.find(q); at != std::string::npos; at = shown.sql.find(q, at + q.size()))
                ++shownTimes;
            check(shownTimes >= written, "a string literal is kept as written");
        }
        if (sql.find('?') == std::string::npos) {
            const std::string again = rebuild(text);
            if (!again.empty()) {
                const JetSqlText rebuilt(again);
                if (rebuilt.shape() != text.shape())
                    std::fprintf(stderr, "shape:   %s\nrebuilt: %s\n", text.shape().c_str(), rebuilt.shape().c_str());
                check(rebuilt.shape() == text.shape(), "shape + literals give the same shape");
                check(rebuilt.literals().size() == text.literals().size(), "shape + literals give the same literals");
                for (std::size_t i = 0; i < text.literals().size(); ++i)
                    check(sameLiteral(rebuilt.literals()[i], text.literals()[i]), "each literal survives the round trip");
            }
        }
    } catch (const lumo::Error&) {
        // refused with a description: fine
    }
    return 0;
}
