// The encoder against glibc's iconv used directly, one character at a time:
// every character of the Basic Multilingual Plane, and mixed texts whose
// characters are taken again and again from one encoder, so that both the
// first conversion of a character and its later reuse are compared.
#include "platform/Cp932File.h"

#include "platform/Utf8.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>
#include <string_view>

namespace lumo {
namespace {

// What iconv makes of `utf8`, character by character, with '?' for what it
// refuses and for broken sequences.
class Reference {
public:
    Reference() : cd_(iconv_open("CP932", "UTF-8")), toUtf8_(iconv_open("UTF-8", "UTF-32LE")) {}
    ~Reference() {
        iconv_close(cd_);
        iconv_close(toUtf8_);
    }
    Reference(const Reference&) = delete;
    Reference& operator=(const Reference&) = delete;

    std::size_t encode(std::string_view utf8, std::string& out) {
        std::size_t replaced = 0;
        while (!utf8.empty()) {
            const std::size_t size = utf8::characterBytes(utf8);
            std::string bytes(8, '\0');
            char* from = const_cast<char*>(utf8.data());
            char* to = bytes.data();
            std::size_t inLeft = size, outLeft = bytes.size();
            if (utf8::sequenceLength(utf8) > 0 && iconv(cd_, &from, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1)) {
                out.append(bytes.data(), static_cast<std::size_t>(to - bytes.data()));
            } else {
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
                out += '?';
                ++replaced;
            }
            utf8.remove_prefix(size);
        }
        return replaced;
    }

    // The UTF-8 form of a code point, by iconv too.
    std::string utf8Of(char32_t c) {
        const unsigned char unit[4] = {static_cast<unsigned char>(c), static_cast<unsigned char>(c >> 8),
                                       static_cast<unsigned char>(c >> 16), 0};
        std::string bytes(8, '\0');
        char* from = const_cast<char*>(reinterpret_cast<const char*>(unit));
        char* to = bytes.data();
        std::size_t inLeft = 4, outLeft = bytes.size();
        iconv(toUtf8_, &from, &inLeft, &to, &outLeft);
        bytes.resize(bytes.size() - outLeft);
        return bytes;
    }

private:
    iconv_t cd_;
    iconv_t toUtf8_;
};

TEST(Cp932Reference, EveryCharacterOfTheBasicPlaneAsIconvHasIt) {
    Cp932Encoder encoder;
    Reference reference;
    std::size_t mapped = 0;
    for (int pass = 0; pass < 2; ++pass) {  // learnt, then remembered
        for (char32_t c = 1; c < 0x10000; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF) continue;
            const std::string text = reference.utf8Of(c);
            ASSERT_FALSE(text.empty()) << std::hex << static_cast<unsigned>(c);
            std::string ours, theirs;
            const std::size_t ourCount = encoder.encode(text, ours);
            const std::size_t theirCount = reference.encode(text, theirs);
            ASSERT_EQ(ours, theirs) << "U+" << std::hex << static_cast<unsigned>(c) << " pass " << pass;
            ASSERT_EQ(ourCount, theirCount) << "U+" << std::hex << static_cast<unsigned>(c);
            if (pass == 0 && ourCount == 0) ++mapped;
        }
    }
    EXPECT_GT(mapped, 7000u);  // ASCII, kana and the kanji of both JIS levels at least
}

TEST(Cp932Reference, MixedTextsAsIconvHasThem) {
    const std::string_view texts[] = {
        "株式会社ABC商事,東京都千代田区1-2-3",
        "ｶﾌﾞｼｷｶﾞｲｼｬ ﾃｽﾄ\\~",               // half-width kana beside the two ASCII bytes Japanese fonts redraw
        "髙橋①～Ⅻ㈱∑√",                     // Windows extensions
        "café naïve 😀 ok",                  // Latin letters CP932 lacks, a character beyond the plane
        "a\x80z\xC0\xAF\xED\xA0\x80\xE6\xBC", // broken sequences among ASCII
        "\xE6\xBC\xE5\xAD\x97漢字\xF4\x90\x80\x80" "end",
        "ｱ\xE3\x81x",                         // cut short before ASCII after a kana
        "",
        "plain ascii only, with \"quotes\" and commas",
    };
    Cp932Encoder encoder;
    Reference reference;
    for (int pass = 0; pass < 2; ++pass) {
        for (std::string_view text : texts) {
            std::string ours = "prefix:", theirs = "prefix:";
            EXPECT_EQ(encoder.encode(text, ours), reference.encode(text, theirs)) << text;
            EXPECT_EQ(ours, theirs) << text;
        }
    }
}

}  // namespace
}  // namespace lumo
