#include "engine/JetDateLiteral.h"

#include <array>
#include <string>

#include "platform/Dates.h"
#include "platform/Error.h"

namespace lumo::db {
namespace {

// Reads the literal left to right; every reader returns false on a mismatch
// and leaves the position where the mismatch is.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    void skipBlanks() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    }
    bool atEnd() {
        skipBlanks();
        return pos_ == text_.size();
    }
    // Up to `maxDigits` digits; `digits` says how many were read.
    bool number(int& value, int& digits, int maxDigits) {
        skipBlanks();
        value = 0;
        digits = 0;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9' && digits < maxDigits) {
            value = value * 10 + (text_[pos_++] - '0');
            ++digits;
        }
        return digits > 0;
    }
    bool accept(char c) {
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) { ++pos_; return true; }
        return false;
    }
    bool acceptWord(std::string_view word) {
        skipBlanks();
        if (text_.size() - pos_ < word.size()) return false;
        for (std::size_t i = 0; i < word.size(); ++i)
            if ((text_[pos_ + i] & ~0x20) != word[i]) return false;
        pos_ += word.size();
        return true;
    }
    std::size_t position() const { return pos_; }
    void rewind(std::size_t pos) { pos_ = pos; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

struct Parsed {
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
};

bool readDate(Reader& r, Parsed& p) {
    const std::size_t start = r.position();
    std::array<int, 3> v{};
    std::array<int, 3> digits{};
    if (!r.number(v[0], digits[0], 4)) return false;
    char separator = '/';
    if (!r.accept('/')) {
        if (!r.accept('-')) { r.rewind(start); return false; }
        separator = '-';
    }
    if (!r.number(v[1], digits[1], 2) || !r.accept(separator) || !r.number(v[2], digits[2], 4)) return false;
    if (digits[0] == 4 && digits[2] <= 2) {
        p.year = v[0], p.month = v[1], p.day = v[2];
    } else if (digits[0] <= 2 && digits[2] == 4) {
        p.month = v[0], p.day = v[1], p.year = v[2];
    } else {
        return false;
    }
    return true;
}

bool readTime(Reader& r, Parsed& p) {
    int digits = 0;
    if (!r.number(p.hour, digits, 2) || !r.accept(':') || !r.number(p.minute, digits, 2) || digits != 2) return false;
    if (r.accept(':') && (!r.number(p.second, digits, 2) || digits != 2)) return false;
    const bool am = r.acceptWord("AM");
    const bool pm = !am && r.acceptWord("PM");
    if (am || pm) {
        if (p.hour < 1 || p.hour > 12) return false;
        p.hour = p.hour % 12 + (pm ? 12 : 0);
    }
    return p.hour < 24 && p.minute < 60 && p.second < 60;
}

}  // namespace

double jetDateLiteral(std::string_view inner) {
    Reader r(inner);
    Parsed p;
    const std::size_t start = r.position();
    bool ok = readDate(r, p);
    if (ok) {
        ok = r.atEnd() || readTime(r, p);
    } else {
        r.rewind(start);
        ok = !r.atEnd() && readTime(r, p);
    }
    if (ok && r.atEnd()) {
        try {
            return dates::toAutomation(p.year, p.month, p.day, p.hour, p.minute, p.second);
        } catch (const Error&) {
            // an impossible calendar date: described below
        }
    }
    throw Error("クエリ式 '#" + std::string(inner) + "#' の日付の構文エラーです。");
}

}  // namespace lumo::db
