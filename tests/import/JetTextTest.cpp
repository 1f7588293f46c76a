// Jet 4 text bytes to UTF-8: both storage forms, surrogate pairs joined,
// damage marked rather than passed on.
#include <gtest/gtest.h>

#include <vector>

#include "tools/import/JetText.h"

namespace lumo::test {
namespace {

TEST(JetText, DecodesBothStorageFormsAndJoinsSurrogatePairs) {
    const struct {
        std::vector<unsigned char> stored;
        std::string text;
        bool damaged;
    } cases[]{
        {{}, "", false},
        {{'A', 0, 'b', 0}, "Ab", false},                                     // plain UTF-16LE
        {{0xFF, 0xFE, 'O', '\'', 'B'}, "O'B", false},                        // compressed, one-byte run
        {{0xFF, 0xFE, 0xFC}, "ü", false},                                    // a one-byte run reaches U+00FF
        {{0xFF, 0xFE, 'a', 0, 0x30, 0x75, 0, 'b'}, "a田b", false},           // runs switched by zero bytes
        {{0x42, 0xD8, 0xB7, 0xDF, 0x30, 0x75}, "𠮷田", false},              // a surrogate pair, uncompressed
        {{0xFF, 0xFE, 0, 0x3C, 0xD8, 0x5C, 0xDF}, "🍜", false},              // and in a compressed value
        {{0x3D, 0xD8, 'x', 0}, "\xEF\xBF\xBDx", true},                       // a lone high surrogate
        {{0x00, 0xDE}, "\xEF\xBF\xBD", true},                                // a lone low surrogate
        {{'A', 0, 'B'}, "A\xEF\xBF\xBD", true},                              // an odd byte at the end
        {{0xFF, 0xFE, 0, 0x30}, "\xEF\xBF\xBD", true},                       // half a code unit
    };
    for (const auto& c : cases) {
        bool damaged = false;
        EXPECT_EQ(tools::decodeJetText(c.stored, damaged), c.text) << c.text;
        EXPECT_EQ(damaged, c.damaged) << c.text;
    }
}

}  // namespace
}  // namespace lumo::test
