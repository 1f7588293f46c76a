// Left, Mid, InStr, Replace and the other functions on text. Positions and
// lengths count characters; searches ignore case unless the compare
// argument is 0.
#include <array>
#include <iconv.h>

#include "platform/Cp932File.h"
#include "platform/Utf8.h"
#include "engine/functions/FunctionCall.h"
#include "engine/functions/KanaWidth.h"
#include "engine/functions/TextRules.h"

namespace lumo::db::jet {
namespace {

// A count or length argument: never negative.
std::size_t countArg(const Args& args, std::size_t i) {
    const int32_t n = args.whole(i);
    if (n < 0) invalidCall();
    return static_cast<std::size_t>(n);
}

// A 1-based position argument: at least 1.
std::size_t positionArg(const Args& args, std::size_t i) {
    const int32_t n = args.whole(i);
    if (n < 1) invalidCall();
    return static_cast<std::size_t>(n);
}

Variant text(std::string s) { return Variant(std::move(s)); }
Variant whole(std::size_t n) { return Variant(static_cast<int32_t>(n)); }

Variant left(const Args& a) { return text(std::string(utf8::firstCharacters(a.text(0), countArg(a, 1)))); }

Variant right(const Args& a) {
    const std::string s = a.text(0);
    const std::size_t n = countArg(a, 1);
    const std::size_t length = utf8::characterCount(s);
    return text(n >= length ? s : std::string(characters(s, length - n, n)));
}

Variant mid(const Args& a) {
    const std::size_t start = positionArg(a, 1);
    const std::size_t count = a.has(2) ? countArg(a, 2) : std::string::npos;
    return text(std::string(characters(a.text(0), start - 1, count)));
}

Variant len(const Args& a) { return whole(utf8::characterCount(a.text(0))); }

// The first match of `find` in `within` at or after character `start`
// (1-based); 0 when there is none.
std::size_t findFrom(const std::string& within, const std::string& find, std::size_t start, bool ignoreCase) {
    const std::size_t length = utf8::characterCount(within);
    if (start > length) return 0;
    if (find.empty()) return start;
    const std::string haystack = comparable(within, ignoreCase);
    const std::size_t from = utf8::firstCharacters(haystack, start - 1).size();
    const std::size_t at = haystack.find(comparable(find, ignoreCase), from);
    return at == std::string::npos ? 0 : characterIndex(haystack, at) + 1;
}

// InStr([start, ]string1, string2[, compare]): with three or four
// arguments the first is the start.
Variant inStr(const Args& a) {
    const bool withStart = a.size() >= 3;
    const std::size_t start = withStart ? positionArg(a, 0) : 1;
    const std::size_t first = withStart ? 1 : 0;
    if (a.isNull(first) || a.isNull(first + 1)) return Variant::null();
    return whole(findFrom(a.text(first), a.text(first + 1), start, ignoresCase(a, 3)));
}

// InStrRev(string1, string2[, start[, compare]]): the last match that lies
// wholly within the first `start` characters (-1: all of them).
Variant inStrRev(const Args& a) {
    const int32_t startArg = a.wholeOr(2, -1);
    if (startArg == 0 || startArg < -1) invalidCall();
    const bool ignoreCase = ignoresCase(a, 3);
    const std::string within = a.text(0);
    const std::string find = a.text(1);
    const std::size_t length = utf8::characterCount(within);
    const std::size_t start = startArg == -1 ? length : static_cast<std::size_t>(startArg);
    // In the order of Jet's table of answers: an empty text has no match,
    // an empty search text is found at start (even beyond the end), and
    // a start beyond the end finds nothing else.
    if (length == 0) return whole(0);
    if (find.empty()) return whole(start);
    if (start > length) return whole(0);
    const std::string haystack = comparable(utf8::firstCharacters(within, start), ignoreCase);
    const std::size_t at = haystack.rfind(comparable(find, ignoreCase));
    return whole(at == std::string::npos ? 0 : characterIndex(haystack, at) + 1);
}

// Replace(expression, find, replace[, start[, count[, compare]]]): the
// result begins at `start`; the characters before it are dropped.
Variant replace(const Args& a) {
    const std::string expression = a.text(0);
    const std::string find = a.text(1);
    const std::string with = a.text(2);
    const std::size_t start = a.has(3) ? positionArg(a, 3) : 1;
    const int32_t count = a.wholeOr(4, -1);
    if (count < -1) invalidCall();
    const bool ignoreCase = ignoresCase(a, 5);
    const std::string source(characters(expression, start - 1, std::string::npos));
    if (find.empty() || count == 0) return text(source);
    const std::string haystack = comparable(source, ignoreCase);
    const std::string needle = comparable(find, ignoreCase);
    std::string out;
    std::size_t from = 0;
    for (int32_t done = 0; count == -1 || done < count; ++done) {
        const std::size_t at = haystack.find(needle, from);
        if (at == std::string::npos) break;
        out.append(source, from, at - from).append(with);
        from = at + needle.size();
    }
    return text(out.append(source, from));
}

Variant ucase(const Args& a) { return text(upperCase(a.text(0))); }
Variant lcase(const Args& a) { return text(lowerCase(a.text(0))); }

// Trim, LTrim and RTrim remove spaces (U+0020) only.
std::string_view trimmed(std::string_view s, bool front, bool back) {
    while (front && !s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (back && !s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}
Variant trim(const Args& a) { return text(std::string(trimmed(a.text(0), true, true))); }
Variant ltrim(const Args& a) { return text(std::string(trimmed(a.text(0), true, false))); }
Variant rtrim(const Args& a) { return text(std::string(trimmed(a.text(0), false, true))); }

Variant space(const Args& a) { return text(std::string(countArg(a, 0), ' ')); }

// The character of a code in the Japanese code page: one byte up to 255,
// lead and trail byte above (&H82A0 is あ); -32768..-1 stand for
// 32768..65535. Codes the code page does not define are refused.
std::string chrText(int32_t code) {
    if (code < -32768 || code > 65535) invalidCall();
    if (code < 0) code += 65536;
    if (code < 0x80) return std::string(1, static_cast<char>(code));
    std::string bytes;
    if (code > 0xFF) bytes += static_cast<char>(code >> 8);
    bytes += static_cast<char>(code & 0xFF);
    const iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) invalidCall();
    std::array<char, 8> out{};
    char* in = bytes.data();
    std::size_t inLeft = bytes.size();
    char* outAt = out.data();
    std::size_t outLeft = out.size();
    const std::size_t converted = iconv(cd, &in, &inLeft, &outAt, &outLeft);
    iconv_close(cd);
    if (converted == static_cast<std::size_t>(-1) || inLeft != 0) invalidCall();
    return std::string(out.data(), outAt);
}

Variant string(const Args& a) {
    const std::size_t n = countArg(a, 0);
    std::string one;
    if (const std::string* s = a[1].stringValue()) {
        if (s->empty()) invalidCall();
        one = utf8::firstCharacters(*s, 1);
    } else {
        one = chrText(a.whole(1) & 0xFF);
    }
    std::string out;
    for (std::size_t i = 0; i < n; ++i) out += one;
    return text(out);
}

Variant strComp(const Args& a) {
    const bool ignoreCase = ignoresCase(a, 2);
    const int order = comparable(a.text(0), ignoreCase).compare(comparable(a.text(1), ignoreCase));
    return Variant(static_cast<int32_t>(order < 0 ? -1 : order > 0 ? 1 : 0));
}

Variant strReverse(const Args& a) {
    const std::string s = a.text(0);
    const std::vector<std::size_t> starts = characterStarts(s);
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = starts.size() - 1; i > 0; --i) out.append(s, starts[i - 1], starts[i] - starts[i - 1]);
    return text(out);
}

std::string firstCharacter(const Args& a) {
    const std::string s = a.text(0);
    if (s.empty()) invalidCall();
    return std::string(utf8::firstCharacters(s, 1));
}

// Asc gives the code in the Japanese code page (a two-byte code as a
// negative Integer, as Jet does: あ is -32096); AscW the UTF-16 code unit,
// also as an Integer.
Variant asc(const Args& a) {
    const std::string one = firstCharacter(a);
    if (static_cast<unsigned char>(one[0]) < 0x80) return whole(static_cast<unsigned char>(one[0]));
    std::string bytes;
    Cp932Encoder().encode(one, bytes);
    if (bytes.size() == 1) return whole(static_cast<unsigned char>(bytes[0]));
    const auto code = static_cast<uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1]));
    return Variant(static_cast<int32_t>(static_cast<int16_t>(code)));
}

Variant ascW(const Args& a) {
    char32_t cp = firstCodePoint(firstCharacter(a));
    if (cp > 0xFFFF) cp = 0xD800 + ((cp - 0x10000) >> 10);
    return Variant(static_cast<int32_t>(static_cast<int16_t>(static_cast<uint16_t>(cp))));
}

Variant chr(const Args& a) { return text(chrText(a.whole(0))); }

Variant chrW(const Args& a) {
    int32_t code = a.whole(0);
    if (code < -32768 || code > 65535) invalidCall();
    if (code < 0) code += 65536;
    // A lone surrogate has no UTF-8 form.
    if (code >= 0xD800 && code <= 0xDFFF) invalidCall();
    return text(utf8Of(static_cast<char32_t>(code)));
}

// The first letter of every word upper case, the others lower case; words
// are separated by blanks, tabs, line ends and the full-width space.
std::string properCase(std::string_view text) {
    const std::string lower = lowerCase(text);
    std::string out;
    out.reserve(lower.size());
    bool wordStart = true;
    for (std::size_t at = 0; at < lower.size();) {
        const std::size_t length = utf8::characterBytes(std::string_view(lower).substr(at));
        const std::string_view one = std::string_view(lower).substr(at, length);
        const char32_t cp = firstCodePoint(one);
        out += wordStart ? upperCase(one) : std::string(one);
        wordStart = cp == ' ' || (cp >= '\t' && cp <= '\r') || cp == 0x3000 || cp == 0;
        at += length;
    }
    return out;
}

// StrConv(string, conversion[, LCID]): the sum of 1 upper case, 2 lower
// case (3 proper case), 4 wide, 8 narrow, 16 katakana, 32 hiragana. Wide
// and narrow, or katakana and hiragana, together are refused, and so are
// 64 and 128 (the byte conversions of the code page: text here is always
// Unicode). Applied in the order case, wide, kana, narrow, so 4 + 32
// makes ｶﾞ が and 8 + 16 makes が ｶﾞ.
Variant strConv(const Args& a) {
    const int32_t conversion = a.whole(1);
    if (a.has(2) && !a.isNull(2)) a.whole(2);  // the locale: Japanese whatever is asked
    if (conversion < 0 || conversion > 63 || (conversion & 12) == 12 || (conversion & 48) == 48) invalidCall();
    if (a.isNull(0)) return Variant::null();
    std::string s = a.text(0);
    switch (conversion & 3) {
    case 1: s = upperCase(s); break;
    case 2: s = lowerCase(s); break;
    case 3: s = properCase(s); break;
    default: break;
    }
    if (conversion & 4) s = toWide(s);
    if (conversion & 16) s = toKatakana(s);
    if (conversion & 32) s = toHiragana(s);
    if (conversion & 8) s = toNarrow(s);
    return text(s);
}

constexpr std::array kFunctions{
    FunctionEntry{"Left", 2, 2, kNullFirst, &left},
    FunctionEntry{"Right", 2, 2, kNullFirst, &right},
    FunctionEntry{"Mid", 2, 3, kNullFirst, &mid},
    FunctionEntry{"Len", 1, 1, kNullFirst, &len},
    FunctionEntry{"InStr", 2, 4, kNullNone, &inStr},
    FunctionEntry{"InStrRev", 2, 4, 0b11u, &inStrRev},
    FunctionEntry{"Replace", 3, 6, kNullNone, &replace},
    FunctionEntry{"UCase", 1, 1, kNullFirst, &ucase},
    FunctionEntry{"LCase", 1, 1, kNullFirst, &lcase},
    FunctionEntry{"Trim", 1, 1, kNullFirst, &trim},
    FunctionEntry{"LTrim", 1, 1, kNullFirst, &ltrim},
    FunctionEntry{"RTrim", 1, 1, kNullFirst, &rtrim},
    FunctionEntry{"Space", 1, 1, kNullNone, &space},
    FunctionEntry{"String", 2, 2, kNullAny, &string},
    FunctionEntry{"StrComp", 2, 3, 0b11u, &strComp},
    FunctionEntry{"StrReverse", 1, 1, kNullNone, &strReverse},
    FunctionEntry{"Asc", 1, 1, kNullNone, &asc},
    FunctionEntry{"AscW", 1, 1, kNullNone, &ascW},
    FunctionEntry{"Chr", 1, 1, kNullNone, &chr},
    FunctionEntry{"ChrW", 1, 1, kNullNone, &chrW},
    FunctionEntry{"StrConv", 2, 3, kNullNone, &strConv},
};

}  // namespace

std::span<const FunctionEntry> textFunctions() { return kFunctions; }

}  // namespace lumo::db::jet
