// A contact written as a card and read back is the same contact, in both
// versions, for the values that need escaping, folding or a parameter of
// their own.
#include <gtest/gtest.h>

#include "exchange/VCardReader.h"
#include "exchange/VCardWriter.h"
#include "tests/exchange/ContactText.h"

namespace lumo::test {
namespace {

using namespace lumo::exchange;

Contact awkwardContact() {
    Contact c;
    auto& p = c.person;
    p.strLastName = "O'Brien; \\ 𠮷田";
    p.strFirstName = "\u3000Pat, \"Paddy\" ";
    p.strLastAlias = "オブライエン";
    p.strFirstAlias = "ぱっと";
    p.strTitle = "様";
    p.strNickName = "😀";
    p.strLabel3 = "出身";
    p.strMemo3 = "line one\r\nline two\nbare LF\rbare CR\r\n";
    p.strHomeZip = "１５０－０００１";
    p.strHomeAddress1 = std::string(300, 'x') + "東京都渋谷区";
    p.strHomeAddress2 = "グリーン;ヒルズ,1105";
    p.strCompany = "O'Brien & Sons, Ltd.";
    p.strSection = "営業部";
    p.strPosition = "部長";
    p.strOfficeURL = "https://example.jp/a;b,c";
    p.dyBirthday = -13675.0;            // 1862-07-21
    p.dyAnniversary = -1.25;            // 1899-12-29 06:00
    p.intAge = 77;
    p.strBlood = "AB";
    p.strConstellation = "うお座";
    p.strMate = "明美";
    p.strMateAlias = "あけみ";
    p.strHobby = "囲碁\tと将棋";
    p.strNote = "24/12/07 入院のお見舞い\r\n済";
    p.strDefaut = "OFFICE";
    c.group = "学校・恩師, 昔";
    c.phones = {{0, 0, "自宅", "03-1234-5678", 1, "HOME"},
                {0, 0, "", "090-0000-0000", 7, "MOBILE"},
                {0, 0, "内線", "123", 3, "EXT"},
                {0, 0, "", "045", 4, "home"},
                {0, 0, "", "046", 5, ""}};
    c.mails = {{0, 0, "PC", "a@example.jp", 2, "HOME"}, {0, 0, "", "B@Example.JP", 9, ""}};
    c.children = {{0, 0, "はな", "山田 花"}, {0, 0, "", "次郎"}};
    c.greetings = {{0, 0, 2024, true, false, true, false, false, true, false, true, "喪中; 欠礼"},
                   {0, 0, 2025, false, false, false, false, false, false, false, false, ""}};
    return c;
}

TEST(WriteRead, EveryFieldComesBackInBothVersions) {
    const Contact c = awkwardContact();
    for (VCardVersion version : {VCardVersion::v30, VCardVersion::v40}) {
        const std::string card = writeVCard(c, version, "urn:uuid:1");
        const auto cards = readVCards(card, "test.vcf");
        ASSERT_EQ(cards.size(), 1u);
        EXPECT_FALSE(cards[0].rejected);
        EXPECT_EQ(cards[0].problems, std::vector<std::string>{});
        EXPECT_EQ(cards[0].placedElsewhere, std::vector<std::string>{});
        EXPECT_EQ(cards[0].uid, "urn:uuid:1");
        EXPECT_EQ(contactText(cards[0].contact), contactText(c)) << card;
    }
}

TEST(WriteRead, LinesAreFoldedAt75OctetsWithoutSplittingACharacter) {
    Contact c;
    c.person.strLastName = "山";
    c.person.strNote = "a";
    for (int i = 0; i < 100; ++i) c.person.strNote += "漢";
    const std::string card = writeVCard(c, VCardVersion::v40, "");
    std::size_t start = 0;
    while (start < card.size()) {
        const std::size_t end = card.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "every line ends with CR LF";
        const std::string line = card.substr(start, end - start);
        EXPECT_LE(line.size(), 75u) << line;
        // A continuation line starts with a blank and then a character's first byte.
        if (line.size() > 1 && line[0] == ' ') {
            EXPECT_NE(static_cast<unsigned char>(line[1]) & 0xC0, 0x80) << line;
        }
        start = end + 2;
    }
    EXPECT_NE(card.find("NOTE:a漢漢"), std::string::npos);
}

}  // namespace
}  // namespace lumo::test
