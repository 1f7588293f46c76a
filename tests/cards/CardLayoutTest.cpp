// The card's geometry without drawing it: Japan Post's boxes, the address
// columns, the name centred with its joint names, the sender's block, and
// nothing outside the page or over the boxes.
#include <gtest/gtest.h>

#include <cmath>

#include "cards/CardLayout.h"
#include "cards/PostalBoxes.h"

namespace lumo::cards {
namespace {

std::vector<const Column*> columnsOf(const CardLayout& layout, Column::Role role) {
    std::vector<const Column*> out;
    for (const Column& c : layout.columns)
        if (c.role == role) out.push_back(&c);
    return out;
}

TEST(PostalBoxesTest, HaveJapanPostsGeometryOnBothPages) {
    // Left edges worked out by hand from the right: 100 - 8 = 92 is box 7's
    // right side; gaps 1.1, 1.1, 1.1, 1.9, 1.3, 1.3 going left.
    const double hagakiLeft[7]{44.3, 51.3, 58.3, 65.9, 72.7, 79.5, 86.3};
    const auto boxes = postalBoxes(100.0);
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_NEAR(boxes[i].x, hagakiLeft[i], 1e-9);
        EXPECT_NEAR(boxes[i].y, 12.0, 1e-9);
        EXPECT_NEAR(boxes[i].width, 5.7, 1e-9);
        EXPECT_NEAR(boxes[i].height, 8.0, 1e-9);
    }
    EXPECT_NEAR(postalBoxes(120.0)[0].x, 64.3, 1e-9);  // the envelope: 20 mm wider
    EXPECT_NEAR(postalBoxes(120.0)[6].right(), 112.0, 1e-9);
}

Recipient yamada() {
    Recipient r;
    r.zip = "150-0001";
    r.address1 = "東京都渋谷区神宮前1-2-3";
    r.familyName = "山田";
    r.givenNames = {{"太郎", "様"}};
    return r;
}

TEST(CardLayoutTest, PutsEachPostalDigitInItsBox) {
    const CardLayout layout = layoutCard(yamada(), nullptr, {});
    const auto boxes = postalBoxes(100.0);
    const char* digits[7]{"１", "５", "０", "０", "０", "０", "１"};
    ASSERT_EQ(layout.labels.size(), 7u);
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(layout.labels[i].text, digits[i]);
        EXPECT_EQ(layout.labels[i].box.x, boxes[i].x);
    }
    Recipient noZip = yamada();
    noZip.zip = "";
    EXPECT_TRUE(layoutCard(noZip, nullptr, {}).labels.empty());
}

TEST(CardLayoutTest, CentresASingleNameOnTheCentreLine) {
    for (PageKind kind : {PageKind::Hagaki, PageKind::Envelope}) {
        const CardLayout layout = layoutCard(yamada(), nullptr, {kind});
        for (const Column* c : columnsOf(layout, Column::Role::FamilyName))
            EXPECT_NEAR(c->centreX, layout.page.width / 2, 1e-9);
        const auto given = columnsOf(layout, Column::Role::GivenName);
        ASSERT_EQ(given.size(), 1u);
        EXPECT_NEAR(given[0]->centreX, layout.page.width / 2, 1e-9);
        EXPECT_EQ(cellText(columnsOf(layout, Column::Role::Honorific)[0]->cells), "様");
    }
}

TEST(CardLayoutTest, JointNamesStartLevelUnderOneFamilyNameEachWithItsHonorific) {
    Recipient r = yamada();
    r.givenNames = {{"太郎", "様"}, {"恵子", "様"}, {"花", "ちゃん"}};
    const CardLayout layout = layoutCard(r, nullptr, {});
    ASSERT_EQ(columnsOf(layout, Column::Role::FamilyName).size(), 1u);
    const auto given = columnsOf(layout, Column::Role::GivenName);
    const auto honorifics = columnsOf(layout, Column::Role::Honorific);
    ASSERT_EQ(given.size(), 3u);
    ASSERT_EQ(honorifics.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(given[i]->top, given[0]->top);
        EXPECT_EQ(honorifics[i]->top, honorifics[0]->top);
        EXPECT_EQ(honorifics[i]->centreX, given[i]->centreX);
        EXPECT_GT(honorifics[i]->top, given[i]->bounds().bottom() - 1e-9);
    }
    EXPECT_EQ(cellText(honorifics[2]->cells), "ちゃん");
    // Right to left, the group centred as a whole; the family name over the first.
    EXPECT_GT(given[0]->centreX, given[1]->centreX);
    EXPECT_GT(given[1]->centreX, given[2]->centreX);
    EXPECT_NEAR((given[0]->centreX + given[2]->centreX) / 2, 50.0, 1e-9);
    EXPECT_EQ(columnsOf(layout, Column::Role::FamilyName)[0]->centreX, given[0]->centreX);
}

TEST(CardLayoutTest, BuildingStartsLowerInASecondColumn) {
    Recipient r = yamada();
    r.address2 = "神宮前ハイツ203号室";
    const CardLayout layout = layoutCard(r, nullptr, {});
    const auto address = columnsOf(layout, Column::Role::Address);
    ASSERT_EQ(address.size(), 2u);
    EXPECT_EQ(cellText(address[0]->cells), "東京都渋谷区神宮前一ー二ー三");
    EXPECT_EQ(cellText(address[1]->cells), "神宮前ハイツ二〇三号室");
    EXPECT_LT(address[1]->centreX, address[0]->centreX);
    EXPECT_GE(address[1]->top, address[0]->top + 2 * address[0]->size - 1e-9);
    EXPECT_NEAR(address[0]->bounds().right(), layout.page.address.right(), 1e-9);
}

TEST(CardLayoutTest, ShrinksTheFontThenWrapsLongAddresses) {
    const struct {
        const char* address;
        std::size_t columns;
        double size;  // mm, worked out by hand: 100 mm of column / squares
    } cases[]{
        {"東京都渋谷区神宮前1-2-3", 1, 6.0},                     // 14 squares: the largest size
        {"北海道札幌市中央区北一条西二十丁目一番地二十三号", 1, 100.0 / 24},  // 24 squares: shrunk
        // 40 squares: two columns, split after 一二三四 (not inside it) at 21.
        {"北海道札幌市中央区北一条西二十丁目1234番地5678号の住所ですこれは四十文字", 2, 100.0 / 21},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        Recipient r = yamada();
        r.address1 = c.address;
        const CardLayout layout = layoutCard(r, nullptr, {});
        const auto address = columnsOf(layout, Column::Role::Address);
        ASSERT_EQ(address.size(), c.columns);
        EXPECT_NEAR(address[0]->size, c.size, 1e-9);
        std::string all;
        for (const Column* col : address) {
            EXPECT_TRUE(layout.page.address.contains(col->bounds()));
            all += cellText(col->cells);
        }
        EXPECT_EQ(all, cellText(verticalCells(c.address, NumberStyle::Kanji)));
    }
}

TEST(CardLayoutTest, SplitsColumnsBetweenNumbersNotInsideThem) {
    // ａｂ１２３４５ｃｄ: the middle (after ３) is inside the number; the
    // nearest place outside it is after ５ (two squares on), not after ｂ
    // (three back).
    const auto cells = verticalCells("ab12345cd", NumberStyle::Arabic);
    const auto pieces = splitCells(cells, 2);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(cellText(pieces[0]), "ａｂ１２３４５");
    EXPECT_EQ(cellText(pieces[1]), "ｃｄ");
    const auto three = splitCells(verticalCells("あいうえおかきくけ", NumberStyle::Kanji), 3);
    ASSERT_EQ(three.size(), 3u);
    EXPECT_EQ(cellText(three[2]), "きくけ");
}

TEST(CardLayoutTest, KeepsEverythingOnThePageAndOffTheBoxes) {
    Recipient r = yamada();
    r.address1 = "北海道札幌市中央区北一条西二十丁目1234番地5678号の住所ですこれは四十文字";
    r.address2 = "グランドパレス札幌駅前タワーレジデンス3001号室";
    r.company = "株式会社ルモ商事";
    r.section = "営業部";
    r.position = "部長";
    r.givenNames = {{"太郎", "様"}, {"恵子", "様"}};
    const Sender sender{"1000001", "東京都千代田区千代田1-1", "千代田レジデンス101", "鈴木　一郎"};
    for (PageKind kind : {PageKind::Hagaki, PageKind::Envelope})
        for (NumberStyle numbers : {NumberStyle::Kanji, NumberStyle::Kanji10, NumberStyle::Arabic}) {
            const CardLayout layout = layoutCard(r, &sender, {kind, numbers});
            const Rect page{1.0, 1.0, layout.page.width - 2, layout.page.height - 2};
            for (const Column& c : layout.columns) {
                SCOPED_TRACE(cellText(c.cells));
                EXPECT_TRUE(page.contains(c.bounds()));
                for (const Rect& box : postalBoxes(layout.page.width)) EXPECT_FALSE(box.overlaps(c.bounds()));
                for (const Column& other : layout.columns)
                    if (&other != &c) {
                        EXPECT_FALSE(other.bounds().overlaps(c.bounds())) << cellText(other.cells);
                    }
            }
            for (const Label& l : layout.labels) EXPECT_TRUE(page.contains(l.box));
        }
}

TEST(CardLayoutTest, SenderBlockStandsLowerLeft) {
    const Sender sender{"100-0001", "東京都千代田区千代田1-1", "", "鈴木　一郎"};
    const CardLayout layout = layoutCard(yamada(), &sender, {});
    const auto address = columnsOf(layout, Column::Role::SenderAddress);
    const auto name = columnsOf(layout, Column::Role::SenderName);
    ASSERT_EQ(address.size(), 1u);
    ASSERT_EQ(name.size(), 1u);
    EXPECT_LT(name[0]->centreX, address[0]->centreX);
    EXPECT_LE(address[0]->size, layout.page.senderMaxSize);
    for (const Column* c : {address[0], name[0]}) {
        EXPECT_TRUE(layout.page.sender.contains(c->bounds()));
        EXPECT_LT(c->bounds().right(), 50.0);
        EXPECT_GT(c->top, 74.0);  // the lower half
    }
    ASSERT_EQ(layout.labels.back().role, Label::Role::SenderZip);
    EXPECT_EQ(layout.labels.back().text, "〒１００－０００１");
}

TEST(CardLayoutTest, OfficeLinesStandBetweenAddressAndName) {
    Recipient r = yamada();
    r.company = "髙橋工業株式会社";
    r.section = "営業部";
    r.position = "部長";
    const CardLayout layout = layoutCard(r, nullptr, {});
    const auto office = columnsOf(layout, Column::Role::Office);
    ASSERT_EQ(office.size(), 2u);
    EXPECT_EQ(cellText(office[0]->cells), "髙橋工業株式会社");
    EXPECT_EQ(cellText(office[1]->cells), "営業部　部長");
    const double nameX = columnsOf(layout, Column::Role::GivenName)[0]->centreX;
    EXPECT_NEAR(nameX, 50.0, 1e-9);
    EXPECT_GT(office[1]->centreX, nameX);
    EXPECT_GT(office[0]->centreX, office[1]->centreX);
    EXPECT_LT(office[0]->bounds().right(), columnsOf(layout, Column::Role::Address)[0]->bounds().x);
}

}  // namespace
}  // namespace lumo::cards
