#include "engine/ConnectionString.h"

#include "platform/Error.h"
#include "engine/Connection.h"

namespace lumo::db {
namespace {

constexpr bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

[[noreturn]] void malformed(std::string_view why, std::string_view segment) {
    throw Error("接続文字列が正しくありません (" + std::string(why) + "): '" + std::string(segment) + "'");
}

}  // namespace

ConnectionStringParts parseConnectionString(std::string_view text) {
    ConnectionStringParts parts;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        while (i < n && isBlank(text[i])) ++i;
        if (i >= n) break;
        if (text[i] == ';') { ++i; continue; }  // empty segments are allowed
        const std::size_t segmentStart = i;
        const std::size_t eq = text.find_first_of("=;", i);
        if (eq == std::string_view::npos || text[eq] == ';')
            malformed("「キー=値」の形ではない部分があります", text.substr(segmentStart, eq - segmentStart));
        const std::string_view key = trim(text.substr(i, eq - i));
        if (key.empty()) malformed("キーがありません", text.substr(segmentStart, text.find(';', eq) - segmentStart));
        i = eq + 1;
        while (i < n && isBlank(text[i])) ++i;
        std::string value;
        if (i < n && (text[i] == '"' || text[i] == '\'')) {
            const char quote = text[i++];
            for (;;) {
                if (i >= n) malformed("引用符が閉じていません", text.substr(segmentStart));
                if (text[i] == quote) {
                    if (i + 1 < n && text[i + 1] == quote) { value += quote; i += 2; continue; }
                    ++i;
                    break;
                }
                value += text[i++];
            }
            while (i < n && isBlank(text[i])) ++i;
            if (i < n && text[i] != ';')
                malformed("引用符で囲んだ値の後に文字があります", text.substr(segmentStart, text.find(';', i) - segmentStart));
        } else {
            const std::size_t end = std::min(text.find(';', i), n);
            value = trim(text.substr(i, end - i));
            i = end;
        }
        if (equalsNoCase(key, "Provider")) parts.provider = std::move(value);
        else if (equalsNoCase(key, "Data Source")) parts.dataSource = std::move(value);
    }
    return parts;
}

std::string quoteConnectionValue(std::string_view value) {
    const bool needsQuotes = !value.empty() && (value.find_first_of(";\"'") != std::string_view::npos ||
                                                isBlank(value.front()) || isBlank(value.back()));
    if (!needsQuotes) return std::string(value);
    const char quote = value.find('"') != std::string_view::npos && value.find('\'') == std::string_view::npos ? '\'' : '"';
    std::string out(1, quote);
    for (char c : value) {
        out += c;
        if (c == quote) out += c;
    }
    out += quote;
    return out;
}

std::string jetConnectionString(std::string_view databasePath) {
    return "Provider=" + std::string(kJetProvider) + ";Data Source=" + quoteConnectionValue(databasePath);
}

}  // namespace lumo::db
