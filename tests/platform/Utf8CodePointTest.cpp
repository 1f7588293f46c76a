#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo::utf8 {
namespace {

// One character of each length, written out byte by byte.
struct Encoded {
    char32_t code;
    const char* bytes;
};
constexpr Encoded kEncoded[] = {
    {U'A', "A"},
    {0x7F, "\x7F"},
    {0xE9, "\xC3\xA9"},              // é
    {0x7FF, "\xDF\xBF"},             // last of two bytes
    {0x3042, "\xE3\x81\x82"},        // あ
    {0xFF61, "\xEF\xBD\xA1"},        // half-width 。
    {0xFFFD, "\xEF\xBF\xBD"},
    {0x1F600, "\xF0\x9F\x98\x80"},   // four bytes
    {0x10FFFF, "\xF4\x8F\xBF\xBF"},  // the last code point
};

TEST(Utf8CodePoints, AppendWritesEachLengthAndFirstCodePointReadsItBack) {
    for (const Encoded& e : kEncoded) {
        std::string out = "x";
        append(out, e.code);
        EXPECT_EQ(out, std::string("x") + e.bytes) << static_cast<unsigned>(e.code);
        EXPECT_EQ(firstCodePoint(std::string(e.bytes) + "z"), e.code) << e.bytes;
    }
}

TEST(Utf8CodePoints, ABrokenCharacterReadsAsTheReplacementCharacter) {
    for (const char* broken : {"\x80", "\xE3\x81", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
        EXPECT_EQ(firstCodePoint(broken), U'\uFFFD') << broken;
}

}  // namespace
}  // namespace lumo::utf8
