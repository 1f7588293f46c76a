#pragma once
// Random notes for the property tests of the entry reader and the walk:
// dated and undated lines (Japanese and ASCII), short and empty lines,
// short dates, lines ending in CR LF or a bare LF, and new notes made by
// editing an old one, so that equal, changed, inserted and removed entries
// all occur. Everything is drawn from the caller's generator (fixed seed).
#include <random>
#include <string>
#include <vector>

namespace lumo::test {

class RandomNotes {
public:
    explicit RandomNotes(unsigned seed) : random_(seed) {}

    std::vector<std::string> lines(int most) {
        std::vector<std::string> out(static_cast<std::size_t>(pick(0, most)));
        for (std::string& line : out) line = this->line();
        return out;
    }

    // The same kind of note edited: lines kept, changed, dropped or added.
    std::vector<std::string> edited(const std::vector<std::string>& old) {
        std::vector<std::string> out;
        for (const std::string& line : old) {
            switch (pick(0, 9)) {
                case 0: break;                                   // dropped
                case 1: out.push_back(this->line()); break;      // changed
                case 2: out.push_back(line); out.push_back(this->line()); break;  // added after
                default: out.push_back(line);
            }
        }
        if (pick(0, 2) == 0) out.push_back(line());
        return out;
    }

    // Lines joined with CR LF (style 0), LF (1) or a mix (2); the last
    // line ends with its break when `finalBreak`.
    std::string join(const std::vector<std::string>& lines, int style, bool finalBreak) {
        std::string note;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            note += lines[i];
            if (i + 1 == lines.size() && !finalBreak) break;
            const bool crlf = style == 0 || (style == 2 && pick(0, 1) == 0);
            note += crlf ? "\r\n" : "\n";
        }
        return note;
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

private:
    std::string line() {
        static const std::vector<std::string> texts = {
            "会議の準備をする", "見積書を送る", "meeting with the team", "電話", "出張の手配と宿の予約",
            "memo", "x", "打ち合わせの議事録をまとめて送付する", "Call back", "請求書"};
        const std::string& text = texts[static_cast<std::size_t>(pick(0, static_cast<int>(texts.size()) - 1))];
        switch (pick(0, 9)) {
            case 0: return "";
            case 1: return "01/9/" + std::to_string(pick(1, 9));  // a short date alone
            case 2: return text;                                    // undated
            case 3: return "2001/9/" + std::to_string(pick(1, 9)) + text;
            default: return date() + (pick(0, 3) == 0 ? "" : " ") + text;
        }
    }

    // A few dates only, so that equal dates are common.
    std::string date() {
        const int day = pick(1, 12);
        return std::string("01/09/") + (day < 10 ? "0" : "") + std::to_string(day);
    }

    std::mt19937 random_;
};

}  // namespace lumo::test
