#include "platform/Cp932File.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace lumo {
namespace {

struct Encoded {
    std::string bytes;
    std::size_t replaced = 0;
};

Encoded encode(std::string_view utf8) {
    Cp932Encoder encoder;
    Encoded result;
    result.replaced = encoder.encode(utf8, result.bytes);
    return result;
}

TEST(Cp932Encoder, AsciiPassesUnchanged) {
    std::string ascii;
    for (int c = 1; c < 0x80; ++c) ascii += static_cast<char>(c);
    const Encoded e = encode(ascii);
    EXPECT_EQ(e.bytes, ascii);
    EXPECT_EQ(e.replaced, 0u);
    EXPECT_EQ(encode(std::string_view("a\0b", 3)).bytes, std::string("a\0b", 3));
}

TEST(Cp932Encoder, JapaneseAndWindowsExtensions) {
    EXPECT_EQ(encode("漢字").bytes, "\x8A\xBF\x8E\x9A");
    EXPECT_EQ(encode("あア").bytes, "\x82\xA0\x83\x41");
    EXPECT_EQ(encode("ｱｲｳ").bytes, "\xB1\xB2\xB3");
    EXPECT_EQ(encode("①").bytes, "\x87\x40");
    EXPECT_EQ(encode("髙").bytes, "\xFB\xFC");
    EXPECT_EQ(encode("～").bytes, "\x81\x60");
    EXPECT_EQ(encode("ラベル１,メモ１").bytes, "\x83\x89\x83\x78\x83\x8B\x82\x50,\x83\x81\x83\x82\x82\x50");
    EXPECT_EQ(encode("ＦＡＸ").replaced, 0u);
}

TEST(Cp932Encoder, UnencodableCharactersBecomeQuestionMarks) {
    Encoded e = encode("😀");
    EXPECT_EQ(e.bytes, "?");
    EXPECT_EQ(e.replaced, 1u);
    e = encode("café");
    EXPECT_EQ(e.bytes, "caf?");
    EXPECT_EQ(e.replaced, 1u);
    e = encode("a\xC3\xA9漢😀b😀");
    EXPECT_EQ(e.bytes, "a?\x8A\xBF?b?");
    EXPECT_EQ(e.replaced, 3u);
}

TEST(Cp932Encoder, InvalidUtf8BecomesQuestionMarks) {
    struct Case {
        std::string_view in;
        std::string_view out;
        std::size_t replaced;
    };
    for (const Case& c : {
             Case{"\xFF", "?", 1},
             Case{"a\x80z", "a?z", 1},              // stray continuation byte
             Case{"\xC0\xAF", "??", 2},             // overlong '/'
             Case{"\xED\xA0\x80", "???", 3},        // encoded surrogate
             Case{"\xE6\xBC", "?", 1},              // cut short at the end
             Case{"\xE6\xBCz", "?z", 1},            // cut short before ASCII
             Case{"\xE6\xBC\xE5\xAD\x97", "?\x8E\x9A", 1},  // cut short before a kanji
             Case{"\xF4\x90\x80\x80", "????", 4},   // beyond U+10FFFF
         }) {
        const Encoded e = encode(c.in);
        EXPECT_EQ(e.bytes, c.out) << testing::PrintToString(std::string(c.in));
        EXPECT_EQ(e.replaced, c.replaced) << testing::PrintToString(std::string(c.in));
    }
}

TEST(Cp932Encoder, AppendsAndHandlesLongRuns) {
    Cp932Encoder encoder;
    std::string out = "head:";
    std::string kanji;
    for (int i = 0; i < 5000; ++i) kanji += "漢😀";
    EXPECT_EQ(encoder.encode(kanji, out), 5000u);
    ASSERT_EQ(out.size(), 5u + 5000u * 3u);
    EXPECT_EQ(out.substr(0, 8), "head:\x8A\xBF?");
    EXPECT_EQ(out.substr(out.size() - 3), "\x8A\xBF?");
    // The encoder keeps no state between calls.
    std::string again;
    EXPECT_EQ(encoder.encode("\xE6\xBC", again), 1u);
    EXPECT_EQ(encoder.encode("字", again), 0u);
    EXPECT_EQ(again, "?\x8E\x9A");
}

class Cp932FileTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("cp932test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    static std::string contents(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path dir_;
};

TEST_F(Cp932FileTest, WritesLinesWithCrLfAndCountsReplacements) {
    const std::string file = path("out.csv");
    Cp932File out(file);
    EXPECT_EQ(out.path(), file);
    out.writeLine("分類,姓");
    out.writeLine("");
    out.writeLine("😀,é");
    out.writeLine("end");
    out.close();
    EXPECT_EQ(contents(file), "\x95\xAA\x97\xDE,\x90\xA9\r\n\r\n?,?\r\nend\r\n");
    EXPECT_EQ(out.replacedCount(), 2u);
}

TEST_F(Cp932FileTest, TruncatesAnExistingFile) {
    const std::string file = path("old.csv");
    std::ofstream(file) << "old contents that are longer";
    Cp932File out(file);
    out.writeLine("new");
    out.close();
    EXPECT_EQ(contents(file), "new\r\n");
}

TEST_F(Cp932FileTest, ManyLinesArriveInOrder) {
    const std::string file = path("big.csv");
    std::string expected;
    {
        Cp932File out(file);
        for (int i = 0; i < 60000; ++i) {
            const std::string n = std::to_string(i);
            out.writeLine(n + ",漢字");
            expected += n + ",\x8A\xBF\x8E\x9A\r\n";
        }
        out.close();
    }
    EXPECT_EQ(contents(file), expected);
}

TEST_F(Cp932FileTest, DestructorWritesWhatCloseWasNotCalledFor) {
    const std::string file = path("unclosed.csv");
    {
        Cp932File out(file);
        out.writeLine("a");
        out.writeLine("①");
    }
    EXPECT_EQ(contents(file), "a\r\n\x87\x40\r\n");
}

TEST_F(Cp932FileTest, UncreatableFileThrowsNamingThePath) {
    const std::string file = path("missing-folder/out.csv");
    try {
        Cp932File out(file);
        FAIL() << "no exception";
    } catch (const Error& e) {
        const std::string text = e.description();
        EXPECT_NE(text.find("ファイルを作成できません"), std::string::npos) << text;
        EXPECT_NE(text.find(file), std::string::npos) << text;
    }
}

TEST_F(Cp932FileTest, WriteAfterCloseThrows) {
    Cp932File out(path("closed.csv"));
    out.close();
    EXPECT_NO_THROW(out.close());
    EXPECT_THROW(out.writeLine("late"), Error);
}

TEST(Cp932FileErrors, FullDeviceIsReportedByClose) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    Cp932File out("/dev/full");
    out.writeLine("lost");
    try {
        out.close();
        FAIL() << "no exception";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.description()).find("/dev/full"), std::string::npos) << e.description();
    }
}

TEST(Cp932FileErrors, FullDeviceIsReportedWhileWriting) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    Cp932File out("/dev/full");
    const std::string line(1000, 'x');
    EXPECT_THROW(
        {
            for (int i = 0; i < 10000; ++i) out.writeLine(line);
        },
        Error);
}

}  // namespace
}  // namespace lumo
