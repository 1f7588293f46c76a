#include "tests/import/JsonLines.h"

#include <fstream>
#include <stdexcept>

namespace lumo::test {
namespace {

class Parser {
public:
    explicit Parser(const std::string& text) : s_(text) {}

    ExpectedRow line() {
        ExpectedRow row;
        expect('{');
        do {
            const std::string key = string();
            expect(':');
            if (key == "table") {
                row.table = string();
            } else if (key == "row") {
                expect('{');
                if (!peek('}')) {
                    do {
                        std::string column = string();
                        expect(':');
                        row.columns.emplace_back(std::move(column), value());
                    } while (take(','));
                }
                expect('}');
            } else {
                fail("unexpected key " + key);
            }
        } while (take(','));
        expect('}');
        return row;
    }

private:
    void skipBlanks() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t')) ++i_;
    }
    bool peek(char c) {
        skipBlanks();
        return i_ < s_.size() && s_[i_] == c;
    }
    bool take(char c) {
        if (!peek(c)) return false;
        ++i_;
        return true;
    }
    void expect(char c) {
        if (!take(c)) fail(std::string("expected ") + c);
    }
    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error("JSON: " + what + " at " + std::to_string(i_));
    }

    JsonValue value() {
        skipBlanks();
        if (peek('"')) return string();
        for (const auto& [word, result] : {std::pair<std::string, JsonValue>{"null", nullptr},
                                           {"true", true}, {"false", false}}) {
            if (s_.compare(i_, word.size(), word) == 0) {
                i_ += word.size();
                return result;
            }
        }
        std::size_t used = 0;
        const std::int64_t number = std::stoll(s_.substr(i_), &used);
        i_ += used;
        if (i_ < s_.size() && (s_[i_] == '.' || s_[i_] == 'e' || s_[i_] == 'E')) fail("fractional number");
        return number;
    }

    std::string string() {
        expect('"');
        std::string out;
        while (i_ < s_.size() && s_[i_] != '"') {
            const char c = s_[i_++];
            if (c != '\\') {
                out += c;
                continue;
            }
            if (i_ >= s_.size()) fail("escape at end");
            const char e = s_[i_++];
            switch (e) {
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'u': fail("\\u escape (the fixtures write every character as itself)");
                default: out += e; break;  // \" \\ \/
            }
        }
        expect('"');
        return out;
    }

    const std::string& s_;
    std::size_t i_ = 0;
};

}  // namespace

std::vector<ExpectedRow> readJsonLines(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + file.string());
    std::vector<ExpectedRow> rows;
    std::string text;
    while (std::getline(in, text))
        if (!text.empty()) rows.push_back(Parser(text).line());
    return rows;
}

}  // namespace lumo::test
