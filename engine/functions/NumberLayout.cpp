// Number formats: 0 and # digit placeholders, the decimal point, thousands
// separators (between placeholders: grouping; before the point or at the
// end: divide by 1000), % (times 100), E+ / E- exponents, and up to three
// sections for positive, negative and zero values.
#include <cmath>
#include <cstdio>

#include "engine/functions/FormatText.h"

namespace lumo::db::jet {
namespace {

// A non-negative number as decimal digits: value = 0.digits x 10^point,
// no leading zeros; zero is empty digits.
struct Decimal {
    std::string digits;
    int point = 0;
};

// With `significant` digits (15 as Jet writes a number; more to see the
// digits of the binary value itself, which 12.345 lies just below).
Decimal decimalOf(double value, int significant = 15) {
    Decimal d;
    if (value == 0 || !std::isfinite(value)) return d;
    char text[64];
    std::snprintf(text, sizeof text, "%.*e", significant - 1, value);  // d.dddddddddddddde+XX
    const std::string_view s(text);
    const std::size_t e = s.find('e');
    d.digits = std::string(1, s[0]) + std::string(s.substr(2, e - 2));
    d.point = std::atoi(text + e + 1) + 1;
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

// Rounds half away from zero, keeping `decimals` digits after the point.
void roundAt(Decimal& d, int decimals) {
    const int keep = d.point + decimals;
    if (keep < 0 || d.digits.empty()) {
        d = {};
        return;
    }
    if (static_cast<std::size_t>(keep) >= d.digits.size()) return;
    const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        std::size_t i = d.digits.size();
        while (i > 0 && d.digits[i - 1] == '9') d.digits[--i] = '0';
        if (i == 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.point;
        } else {
            ++d.digits[i - 1];
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    if (d.digits.empty()) d.point = 0;
}

std::string wholeDigits(const Decimal& d) {
    if (d.point <= 0) return {};
    std::string out = d.digits.substr(0, static_cast<std::size_t>(d.point));
    out.resize(static_cast<std::size_t>(d.point), '0');
    return out;
}

std::string fractionDigits(const Decimal& d, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        const int at = d.point + i;
        out += at >= 0 && static_cast<std::size_t>(at) < d.digits.size() ? d.digits[static_cast<std::size_t>(at)] : '0';
    }
    return out;
}

enum class Item { Literal, Whole, Point, Fraction, Exponent, ExponentDigit };

struct Layout {
    struct Entry {
        Item item;
        std::string_view text;  // the literal, the placeholder, or E+ / E-
    };
    std::vector<Entry> entries;
    int wholePlaces = 0, fractionPlaces = 0, fractionZeros = 0, exponentZeros = 0;
    int scaleCommas = 0, percents = 0;
    bool group = false, exponent = false;
};

bool isPlaceholder(const FormatPiece& p) { return !p.literal && (p.text == "0" || p.text == "#"); }

Layout parse(std::string_view section) {
    const std::vector<FormatPiece> pieces = formatPieces(section);
    Layout l;
    enum { InWhole, InFraction, InExponent } state = InWhole;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const FormatPiece& p = pieces[i];
        if (isPlaceholder(p)) {
            if (state == InWhole) {
                l.entries.push_back({Item::Whole, p.text});
                ++l.wholePlaces;
            } else if (state == InFraction) {
                l.entries.push_back({Item::Fraction, p.text});
                ++l.fractionPlaces;
                if (p.text == "0") l.fractionZeros = l.fractionPlaces;
            } else {
                l.entries.push_back({Item::ExponentDigit, p.text});
                if (p.text == "0") ++l.exponentZeros;
            }
            continue;
        }
        const char c = p.literal ? 0 : p.text[0];
        if (c == '.' && state == InWhole) {
            l.entries.push_back({Item::Point, p.text});
            state = InFraction;
        } else if (c == ',' && state == InWhole && l.wholePlaces > 0) {
            std::size_t next = i;
            while (next < pieces.size() && !pieces[next].literal && pieces[next].text == ",") ++next;
            if (next < pieces.size() && isPlaceholder(pieces[next])) l.group = true;
            else l.scaleCommas += static_cast<int>(next - i);
            i = next - 1;
        } else if ((c == 'E' || c == 'e') && state != InExponent && i + 2 < pieces.size() &&
                   (pieces[i + 1].text == "+" || pieces[i + 1].text == "-") && isPlaceholder(pieces[i + 2])) {
            l.entries.push_back({Item::Exponent, section.substr(static_cast<std::size_t>(p.text.data() - section.data()), 2)});
            l.exponent = true;
            state = InExponent;
            ++i;
        } else {
            if (c == '%') ++l.percents;
            l.entries.push_back({Item::Literal, p.text});
        }
    }
    return l;
}

std::string lay(double value, const Layout& l) {
    value *= std::pow(100.0, l.percents) / std::pow(1000.0, l.scaleCommas);
    Decimal d = decimalOf(value);
    int exponent = 0;
    if (l.exponent && !d.digits.empty()) {
        exponent = d.point - l.wholePlaces;
        d.point = l.wholePlaces;
        roundAt(d, l.fractionPlaces);
        if (d.point > l.wholePlaces) {
            --d.point;
            ++exponent;
        }
    } else {
        // A rounding within the 15 digits Jet shows decides on the binary
        // value: 12.345 is stored as 12.3449999..., so two decimals give
        // 12.34. Further out those digits are noise, and 15 digits decide.
        Decimal exact = decimalOf(value, 40);
        if (!exact.digits.empty() && exact.point + l.fractionPlaces < 15) d = std::move(exact);
        roundAt(d, l.fractionPlaces);
    }
    const std::string whole = wholeDigits(d);
    std::string fraction = fractionDigits(d, l.fractionPlaces);
    while (static_cast<int>(fraction.size()) > l.fractionZeros && fraction.back() == '0') fraction.pop_back();

    std::string out;
    const auto L = static_cast<int>(whole.size());
    const auto putDigit = [&](char digit, int fromRight) {
        out += digit;
        if (l.group && fromRight > 0 && fromRight % 3 == 0) out += ',';
    };
    int wholeSeen = 0, fractionSeen = 0;
    bool exponentDone = false;
    for (const Layout::Entry& e : l.entries) {
        switch (e.item) {
        case Item::Literal: out += e.text; break;
        case Item::Point: out += '.'; break;
        case Item::Whole: {
            const int fromRight = l.wholePlaces - 1 - wholeSeen++;
            if (fromRight == l.wholePlaces - 1)
                for (int i = 0; i < L - l.wholePlaces; ++i) putDigit(whole[static_cast<std::size_t>(i)], L - 1 - i);
            if (fromRight < L) putDigit(whole[static_cast<std::size_t>(L - 1 - fromRight)], fromRight);
            else if (e.text == "0") putDigit('0', fromRight);
            break;
        }
        case Item::Fraction:
            if (fractionSeen < static_cast<int>(fraction.size())) out += fraction[static_cast<std::size_t>(fractionSeen)];
            ++fractionSeen;
            break;
        case Item::Exponent:
            out += e.text[0];
            if (exponent < 0) out += '-';
            else if (e.text[1] == '+') out += '+';
            break;
        case Item::ExponentDigit:
            if (!exponentDone) {
                std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
                if (static_cast<int>(digits.size()) < l.exponentZeros)
                    digits.insert(0, static_cast<std::size_t>(l.exponentZeros) - digits.size(), '0');
                out += digits;
                exponentDone = true;
            }
            break;
        }
    }
    return out;
}

}  // namespace

std::string layNumber(double value, std::string_view format) {
    const std::vector<std::string_view> sections = formatSections(format);
    if (value < 0 && sections.size() >= 2 && !sections[1].empty()) return lay(-value, parse(sections[1]));
    if (value == 0 && sections.size() >= 3 && !sections[2].empty()) return lay(0, parse(sections[2]));
    const std::string text = lay(std::fabs(value), parse(sections[0]));
    return value < 0 ? "-" + text : text;
}

}  // namespace lumo::db::jet
