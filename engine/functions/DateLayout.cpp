// Date formats: runs of the same letter (d dd ddd dddd ddddd dddddd, m ..
// mmmm, oooo, yy yyyy, h hh, n nn, s ss, w ww, q, y, aaa aaaa, ttttt, c, g
// gg ggg, e ee) and the 12-hour markers AM/PM, A/P and AMPM (午前/午後). m
// right after an hour is the minute. As on a Japanese desktop, ddd dddd
// mmm mmmm write the English names (Sat, Saturday, Nov, November) and aaa
// aaaa oooo the Japanese ones (土, 土曜日, 11月); g and e are the era and
// the year of the era of the Japanese calendar.
#include <array>
#include <cstdio>
#include <string_view>
#include <tuple>

#include "engine/functions/DateParts.h"
#include "engine/functions/FormatText.h"

namespace lumo::db::jet {
namespace {

std::string number(int value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    return text;
}

// Matches a 12-hour marker at pieces[i]; returns how many pieces it takes.
std::size_t ampmMarker(const std::vector<FormatPiece>& pieces, std::size_t i, std::string& am, std::string& pm) {
    const auto word = [&](std::string_view w) {
        if (i + w.size() > pieces.size()) return false;
        for (std::size_t k = 0; k < w.size(); ++k)
            if (pieces[i + k].literal || (pieces[i + k].text[0] | 0x20) != (w[k] | 0x20)) return false;
        return true;
    };
    const bool lower = pieces[i].text[0] == 'a';
    if (word("AMPM")) {
        am = "午前", pm = "午後";
        return 4;
    }
    if (word("AM/PM")) {
        am = lower ? "am" : "AM", pm = lower ? "pm" : "PM";
        return 5;
    }
    if (word("A/P")) {
        am = lower ? "a" : "A", pm = lower ? "p" : "P";
        return 3;
    }
    return 0;
}

// The era of a date; nothing before Meiji, whose dates show the western
// year and no era name.
const Era* eraOf(const dates::DateTime& dt) {
    for (const Era& era : japaneseEras())
        if (std::tie(dt.year, dt.month, dt.day) >= std::tie(era.year, era.month, era.day)) return &era;
    return nullptr;
}

std::string eraName(const dates::DateTime& dt, int letters) {
    const Era* era = eraOf(dt);
    if (!era) return {};
    return std::string(letters == 1 ? era->letter : letters == 2 ? era->initial : era->name);
}

// The year within the era, 1 for the year it began; ee has two digits.
std::string eraYear(const dates::DateTime& dt, int letters) {
    const Era* era = eraOf(dt);
    const int year = era ? dt.year - era->year + 1 : dt.year;
    return number(year, letters >= 2 ? 2 : 1);
}

}  // namespace

std::string longDate(double value) {
    const dates::DateTime dt = dates::fromAutomation(value);
    return std::to_string(dt.year) + "年" + std::to_string(dt.month) + "月" + std::to_string(dt.day) + "日";
}

std::string longTime(double value) {
    const dates::DateTime dt = dates::fromAutomation(value);
    return std::to_string(dt.hour) + ":" + number(dt.minute, 2) + ":" + number(dt.second, 2);
}

std::string shortTime(double value) {
    const dates::DateTime dt = dates::fromAutomation(value);
    return number(dt.hour, 2) + ":" + number(dt.minute, 2);
}

std::string layDate(double value, std::string_view format, int firstDay, int firstWeek) {
    const Moment m = momentOf(value);
    const dates::DateTime& dt = m.parts;
    const std::vector<FormatPiece> pieces = formatPieces(format);
    bool twelveHour = false;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        std::string am, pm;
        if (!pieces[i].literal && ampmMarker(pieces, i, am, pm) > 0) twelveHour = true;
    }
    std::string out;
    bool afterHour = false;
    for (std::size_t i = 0; i < pieces.size();) {
        const FormatPiece& p = pieces[i];
        if (p.literal) {
            out += p.text;
            ++i;
            continue;
        }
        std::string am, pm;
        if (const std::size_t taken = ampmMarker(pieces, i, am, pm)) {
            out += dt.hour < 12 ? am : pm;
            i += taken;
            afterHour = false;
            continue;
        }
        const char letter = static_cast<char>(p.text[0] | 0x20);
        std::size_t run = 1;
        while (i + run < pieces.size() && !pieces[i + run].literal && (pieces[i + run].text[0] | 0x20) == letter &&
               std::string_view("dmyhnswqatgeo").find(letter) != std::string_view::npos)
            ++run;
        const int n = static_cast<int>(run);
        bool hour = false, dateToken = true;
        switch (letter) {
        case 'c': out += dateText(value); break;
        case 'd':
            if (n <= 2) out += number(dt.day, n);
            else if (n <= 4) out += englishWeekdayName(weekday(m.day, 1), n == 3);
            else if (n == 5) out += dates::formatShortDate(value);
            else out += longDate(value);
            break;
        case 'a':
            if (n == 3 || n == 4) out += weekdayName(weekday(m.day, 1), n == 3);
            else out += p.text, run = 1, dateToken = false;
            break;
        case 'w': out += n == 1 ? std::to_string(weekday(m.day, firstDay)) : std::to_string(weekOfYear(m.day, firstDay, firstWeek)); break;
        case 'm':
            if (afterHour && n <= 2) out += number(dt.minute, n);
            else if (n <= 2) out += number(dt.month, n);
            else out += englishMonthName(dt.month, n == 3);
            break;
        case 'o':
            if (n == 4) out += monthName(dt.month);
            else out += p.text, run = 1, dateToken = false;
            break;
        case 'q': out += std::to_string((dt.month - 1) / 3 + 1); break;
        case 'g': out += eraName(dt, n); break;
        case 'e': out += eraYear(dt, n); break;
        case 'y':
            if (n == 1) out += std::to_string(static_cast<long>(m.day - dates::toAutomation(dt.year, 1, 1)) + 1);
            else if (n <= 3) out += number(dt.year % 100, 2);
            else out += number(dt.year, 4);
            break;
        case 'h': {
            const int h = twelveHour ? (dt.hour % 12 == 0 ? 12 : dt.hour % 12) : dt.hour;
            out += number(h, n >= 2 ? 2 : 1);
            hour = true;
            break;
        }
        case 'n': out += number(dt.minute, n >= 2 ? 2 : 1); break;
        case 's': out += number(dt.second, n >= 2 ? 2 : 1); break;
        case 't':
            if (n == 5) out += longTime(value);
            else out += std::string(p.text), run = 1, dateToken = false;
            break;
        default: out += p.text, dateToken = false; break;
        }
        if (dateToken) afterHour = hour;
        i += run;
    }
    return out;
}

}  // namespace lumo::db::jet
