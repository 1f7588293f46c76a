#include "engine/functions/TextRules.h"

#include "platform/Utf8.h"

namespace lumo::db::jet {
namespace {

// Changes the case of the letters of `text` in place: `toUpper` picks the
// direction. Every pair handled here has the same UTF-8 length.
std::string changeCase(std::string_view text, bool toUpper) {
    std::string out(text);
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(out[i]); };
    for (std::size_t i = 0; i < out.size();) {
        const unsigned char c = byte(i);
        if (c < 0x80) {
            if (toUpper && c >= 'a' && c <= 'z') out[i] = static_cast<char>(c - 32);
            if (!toUpper && c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c + 32);
            ++i;
            continue;
        }
        const std::size_t length = utf8::characterBytes(std::string_view(out).substr(i));
        if (length == 2 && c == 0xC3) {
            // U+00C0..U+00DE and U+00E0..U+00FE, without × and ÷.
            const unsigned char d = byte(i + 1);
            if (toUpper && d >= 0xA0 && d <= 0xBE && d != 0xB7) out[i + 1] = static_cast<char>(d - 0x20);
            if (!toUpper && d >= 0x80 && d <= 0x9E && d != 0x97) out[i + 1] = static_cast<char>(d + 0x20);
        } else if (length == 3 && c == 0xEF) {
            // Full-width Ａ..Ｚ (EF BC A1..BA) and ａ..ｚ (EF BD 81..9A).
            const unsigned char d = byte(i + 1), e = byte(i + 2);
            if (toUpper && d == 0xBD && e >= 0x81 && e <= 0x9A) {
                out[i + 1] = static_cast<char>(0xBC);
                out[i + 2] = static_cast<char>(e + 0x20);
            }
            if (!toUpper && d == 0xBC && e >= 0xA1 && e <= 0xBA) {
                out[i + 1] = static_cast<char>(0xBD);
                out[i + 2] = static_cast<char>(e - 0x20);
            }
        }
        i += length;
    }
    return out;
}

}  // namespace

std::string upperCase(std::string_view text) { return changeCase(text, true); }
std::string lowerCase(std::string_view text) { return changeCase(text, false); }

std::vector<std::size_t> characterStarts(std::string_view text) {
    std::vector<std::size_t> starts;
    starts.reserve(text.size() + 1);
    for (std::size_t at = 0; at < text.size(); at += utf8::characterBytes(text.substr(at))) starts.push_back(at);
    starts.push_back(text.size());
    return starts;
}

std::size_t characterIndex(std::string_view text, std::size_t at) {
    return utf8::characterCount(text.substr(0, at));
}

std::string_view characters(std::string_view text, std::size_t first, std::size_t count) {
    const std::string_view skipped = utf8::firstCharacters(text, first);
    const std::string_view rest = text.substr(skipped.size());
    return utf8::firstCharacters(rest, count);
}

char32_t firstCodePoint(std::string_view text) { return utf8::firstCodePoint(text); }

std::string utf8Of(char32_t cp) {
    std::string out;
    utf8::append(out, cp);
    return out;
}

bool ignoresCase(const Args& args, std::size_t index) {
    if (!args.has(index)) return true;
    switch (args.whole(index)) {
    case 0: return false;
    case -1:
    case 1:
    case 2: return true;
    default: invalidCall();
    }
}

std::string comparable(std::string_view text, bool ignoreCase) {
    return ignoreCase ? lowerCase(text) : std::string(text);
}

}  // namespace lumo::db::jet
