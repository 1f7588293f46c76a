// lumo print hagaki end to end: the PDF's pages rendered to images and the
// ink looked for where it belongs, its text read back with pdftotext, its
// fonts listed with pdffonts; who is left out and why; --mark-sent.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "cards/PostalBoxes.h"
#include "tests/cards/CardFixture.h"
#include "tests/support/ChildProcess.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;

bool haveTool(const char* name) { return fs::exists(std::string("/usr/bin/") + name); }

std::string withoutSpaces(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != ' ' && c != '\n' && c != '\f' && c != '\r') out += c;
    return out;
}

// A page rendered at 10 pixels a millimetre, grey.
class Page {
public:
    static constexpr double kPxPerMm = 10.0;

    Page(const fs::path& pdf, int page) {
        const fs::path prefix = pdf.parent_path() / ("page" + std::to_string(page));
        const ChildExit exit = runProgram({"/usr/bin/pdftoppm", "-r", "254", "-gray", "-singlefile", "-f",
                                           std::to_string(page), "-l", std::to_string(page), pdf.string(),
                                           prefix.string()});
        if (exit.status != 0) throw std::runtime_error("pdftoppm: " + exit.err);
        std::ifstream in(prefix.string() + ".pgm", std::ios::binary);
        std::string magic;
        int maxValue = 0;
        in >> magic >> width_ >> height_ >> maxValue;
        in.get();
        pixels_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
        in.read(reinterpret_cast<char*>(pixels_.data()), static_cast<std::streamsize>(pixels_.size()));
        if (magic != "P5" || !in) throw std::runtime_error("not a PGM page");
    }
    double widthMm() const { return width_ / kPxPerMm; }
    double heightMm() const { return height_ / kPxPerMm; }

    // The ink inside `area` (mm): its bounding box, or nothing.
    std::optional<cards::Rect> ink(const cards::Rect& area) const {
        int x0 = width_, y0 = height_, x1 = -1, y1 = -1;
        const int left = std::max(0, static_cast<int>(area.x * kPxPerMm));
        const int top = std::max(0, static_cast<int>(area.y * kPxPerMm));
        const int right = std::min(width_, static_cast<int>(std::ceil(area.right() * kPxPerMm)));
        const int bottom = std::min(height_, static_cast<int>(std::ceil(area.bottom() * kPxPerMm)));
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] < 128) {
                    x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
                }
        if (x1 < 0) return std::nullopt;
        return cards::Rect{x0 / kPxPerMm, y0 / kPxPerMm, (x1 + 1 - x0) / kPxPerMm, (y1 + 1 - y0) / kPxPerMm};
    }

private:
    int width_ = 0, height_ = 0;
    std::vector<unsigned char> pixels_;
};

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"pdftoppm", "pdftotext", "pdffonts"})
            if (!haveTool(tool)) GTEST_SKIP() << tool << " is missing (poppler-utils)";
        fillCardFixture(personDb);
    }
    RunResult print(std::vector<std::string> extra) {
        std::vector<std::string> args{"print", "hagaki", folder.path().string(), "--year", std::to_string(kYear),
                                      "--out", pdf.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        return runLumo(args);
    }
    std::string pageText(int page) const {
        return withoutSpaces(runProgram({"/usr/bin/pdftotext", "-raw", "-f", std::to_string(page), "-l",
                                         std::to_string(page), pdf.string(), "-"})
                                 .out);
    }
    ScratchFolder folder;
    std::string personDb = makeEmptyDatabases(folder.path());
    fs::path pdf = folder.path() / "cards.pdf";
};

TEST_F(PrintTest, PrintsTheListInReadingOrderAndSaysWhoIsLeftOutAndWhy) {
    ASSERT_EQ(runLumo({"greetings", "joint", folder.path().string(), "1", "--mate", "--child", "山田 花"}).exitCode, 0);
    const RunResult r = print({});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("印刷しません: 伊藤 誠 (ID 6): 住所がありません\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("印刷しません: 林 恵子 (ID 7): 2027年は喪中です\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(" に 5 枚を印刷しました (2027年)\n"), std::string::npos) << r.out;

    // The address text as printed, page by page: hyphens, 号室, a building,
    // Latin letters, a 40-character address, no postal code; the joint names.
    const char* expected[]{
        "神奈川県横浜市中区山下町一グリーンハイツ二〇三号室佐藤花子様２３１００２３",
        "北海道札幌市中央区北一条西二十丁目一二三四番地五六七八号の住所ですこれは四十文字鈴木一郎様０６００００１",
        "京都府京都市中京区田中美咲様",
        "東京都渋谷区神宮前一ー二ー三山田太郎様恵子様花様１５００００１",
        "東京都港区芝公園四ー二ー八ＡＢＣタワー五ＦＯ＇ＢｒｉｅｎＭｉｃｈａｅｌ様１０５００１１",
    };
    for (int page = 1; page <= 5; ++page) EXPECT_EQ(pageText(page), expected[page - 1]) << page;

    // One font, embedded (a subset), once for the whole document.
    const std::string fonts = runProgram({"/usr/bin/pdffonts", pdf.string()}).out;
    std::istringstream lines(fonts);
    std::vector<std::string> rows;
    for (std::string line; std::getline(lines, line);) rows.push_back(line);
    ASSERT_EQ(rows.size(), 3u) << fonts;
    EXPECT_NE(rows[2].find("IPAexMincho"), std::string::npos) << fonts;
    EXPECT_NE(rows[2].find(" yes yes yes "), std::string::npos) << fonts;
}

TEST_F(PrintTest, InkLiesInTheBoxesTheNameOnTheCentreLineNothingOffTheCard) {
    ASSERT_EQ(print({"--sender", "2", "--ids", "1", "4", "5"}).exitCode, 0);
    const auto boxes = cards::postalBoxes(100.0);
    for (int page = 1; page <= 3; ++page) {  // 鈴木 (40 characters), 田中 (no postal code), 山田
        SCOPED_TRACE(page);
        const Page image(pdf, page);
        ASSERT_NEAR(image.widthMm(), 100.0, 0.2);
        ASSERT_NEAR(image.heightMm(), 148.0, 0.2);
        // Nothing within 1.5 mm of the edges.
        for (const cards::Rect edge : {cards::Rect{0, 0, 100, 1.5}, cards::Rect{0, 146.5, 100, 1.5},
                                       cards::Rect{0, 0, 1.5, 148}, cards::Rect{98.5, 0, 1.5, 148}})
            EXPECT_FALSE(image.ink(edge)) << edge.x << "," << edge.y;
        // The strip of the boxes holds the digits only, each inside its box.
        const auto strip = image.ink({0, 6, 100, 20});
        if (page == 2) {
            EXPECT_FALSE(strip);
        } else {
            ASSERT_TRUE(strip);
            for (const cards::Rect& box : boxes) {
                const auto digit = image.ink({box.x - 0.6, 6, box.width + 1.2, 20});
                ASSERT_TRUE(digit);
                EXPECT_TRUE(box.contains(*digit)) << box.x << ": " << digit->x << "," << digit->y << " "
                                                  << digit->width << "x" << digit->height;
            }
            EXPECT_GT(strip->x, boxes[0].x - 0.01);
            EXPECT_LT(strip->right(), boxes[6].right() + 0.01);
        }
        // The name: the ink between the sender's block and the address.
        const auto name = image.ink({33, 24, 33, 110});
        ASSERT_TRUE(name);
        EXPECT_NEAR(name->centreX(), 50.0, 2.0) << name->x << " " << name->width;
        // The sender's block lower left.
        const auto sender = image.ink({1.5, 80, 31, 66});
        ASSERT_TRUE(sender);
        EXPECT_GT(sender->y, 84.0);
    }
}

TEST_F(PrintTest, TheEnvelopeHasItsOwnSizeAndTheSameRules) {
    ASSERT_EQ(print({"--envelope", "--office", "--ids", "3"}).exitCode, 0);
    const Page image(pdf, 1);
    EXPECT_NEAR(image.widthMm(), 120.0, 0.2);
    EXPECT_NEAR(image.heightMm(), 235.0, 0.2);
    for (const cards::Rect& box : cards::postalBoxes(120.0)) {
        const auto digit = image.ink({box.x - 0.6, 6, box.width + 1.2, 20});
        ASSERT_TRUE(digit);
        EXPECT_TRUE(box.contains(*digit));
    }
    // The full-width spaces printed between the words leave no ink and no
    // text behind.
    EXPECT_EQ(pageText(1), "東京都港区芝公園四ー二ー八ＤｕｂｌｉｎＴｒａｄｉｎｇ営業部部長Ｏ＇Ｂｒｉｅｎ"
                           "Ｍｉｃｈａｅｌ様１０５００１１");
}

TEST_F(PrintTest, NumbersOffsetAndFontAreChosen) {
    ASSERT_EQ(print({"--ids", "2", "--numbers", "arabic"}).exitCode, 0);
    EXPECT_EQ(pageText(1), "神奈川県横浜市中区山下町１グリーンハイツ２０３号室佐藤花子様２３１００２３");
    ASSERT_EQ(print({"--ids", "2", "--numbers", "kanji10", "--force", "--offset", "3,-2"}).exitCode, 0);
    EXPECT_EQ(pageText(1), "神奈川県横浜市中区山下町一グリーンハイツ二百三号室佐藤花子様２３１００２３");
    // The first box's digit moves 3 mm right and 2 mm up with the offset.
    const cards::Rect first = cards::postalBoxes(100.0)[0];
    const auto digit = Page(pdf, 1).ink({first.x + 2.4, 6, first.width + 1.2, 20});
    ASSERT_TRUE(digit);
    EXPECT_TRUE((cards::Rect{first.x + 3, first.y - 2, first.width, first.height}).contains(*digit));

    const RunResult noFont = print({"--ids", "2", "--force", "--font", "No Such Font Family"});
    EXPECT_EQ(noFont.exitCode, 1);
    EXPECT_NE(noFont.err.find("lumo print: フォント「No Such Font Family」が見つかりません"), std::string::npos) << noFont.err;
    const RunResult exists = print({"--ids", "2"});
    EXPECT_EQ(exists.exitCode, 1);
    EXPECT_NE(exists.err.find("--force"), std::string::npos);
}

TEST_F(PrintTest, MarkSentTicksEveryPrintedPersonAndSaysWhichFailed) {
    // 佐藤's greeting rows cannot be written.
    Db(personDb).exec("CREATE TRIGGER refuse BEFORE INSERT ON T_GREETING WHEN NEW.PERSON_ID = 2 "
                      "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    const RunResult r = print({"--mark-sent"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(fs::exists(pdf));
    EXPECT_NE(r.err.find("lumo print: 佐藤 花子 (ID 2) の出を記録できません"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("4 人に 2027年の出を記録しました"), std::string::npos) << r.out;
    Db db(personDb);
    const auto rows = db.rows("SELECT PERSON_ID, NEWYEAR_SEND, NEWYEAR_RECEIVE, SUMMER_SEND, MEMO FROM T_GREETING "
                              "WHERE TARGET = 2027 ORDER BY PERSON_ID, GREETING_ID");
    const std::vector<std::vector<std::string>> expected{
        {"1", "-1", "0", "-1", "夏"},          // its row of the year, summer kept
        {"3", "-1", "0", "0", "<null>"},       // new rows
        {"4", "-1", "0", "0", "<null>"},
        {"5", "-1", "0", "0", "<null>"},
        {"7", "0", "0", "0", "【喪中】 祖父"},  // left out: not ticked
    };
    EXPECT_EQ(rows, expected);
}

}  // namespace
}  // namespace lumo::test
