// The small pieces on their own: half-width kana, the duplicate rule, card
// UIDs and their file, and the reader's limits on bad input.
#include <gtest/gtest.h>

#include <fstream>

#include "exchange/CardUid.h"
#include "exchange/Duplicates.h"
#include "exchange/Kana.h"
#include "exchange/VCardReader.h"
#include "tests/support/DatabaseState.h"

namespace lumo::test {
namespace {

using namespace lumo::exchange;

TEST(Kana, HalfWidthBecomesFullWidthWithItsSoundMarks) {
    const std::pair<const char*, const char*> cases[] = {
        {"ﾀｶﾊｼ", "タカハシ"},       {"ｶﾞｷﾞｸﾞｹﾞｺﾞ", "ガギグゲゴ"}, {"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", "パピプペポ"},
        {"ｳﾞｧｲｵﾘﾝ", "ヴァイオリン"}, {"ｯﾞ", "ッ゛"},              {"ｱﾟ", "ア゜"},
        {"ｺｰﾋｰ｡｢ｶ｣､･ｦﾝ", "コーヒー。「カ」、・ヲン"}, {"山田ﾀﾛｳ abc", "山田タロウ abc"},
        {"ﾞ", "゛"},                 {"ガ", "ガ"},
    };
    for (const auto& [half, full] : cases) EXPECT_EQ(fullWidthKana(half), full) << half;
}

TEST(Duplicates, SameNameAndReadingWithASharedPhoneOrMail) {
    Contact a;
    a.person.strLastName = "山田", a.person.strFirstName = "太郎";
    a.person.strLastAlias = "やまだ", a.person.strFirstAlias = "たろう";
    a.phones = {{0, 0, "", "03-1234-5678", 1, "HOME"}};
    a.mails = {{0, 0, "", "Taro@Example.JP ", 1, ""}};
    struct Case {
        const char* what;
        void (*change)(Contact&);
        bool same;
    };
    const Case cases[] = {
        {"the phone written otherwise", [](Contact& b) { b.phones = {{0, 0, "", "(03) 1234 5678", 1, ""}}; b.mails.clear(); }, true},
        {"full-width digits", [](Contact& b) { b.phones = {{0, 0, "", "０３１２３４５６７８", 1, ""}}; b.mails.clear(); }, true},
        {"the mail in another case", [](Contact& b) { b.phones.clear(); b.mails = {{0, 0, "", "taro@example.jp", 1, ""}}; }, true},
        {"nothing shared", [](Contact& b) { b.phones = {{0, 0, "", "03-1234-0000", 1, ""}}; b.mails.clear(); }, false},
        {"no phone or mail at all", [](Contact& b) { b.phones.clear(); b.mails.clear(); }, false},
        {"another reading", [](Contact& b) { b.person.strFirstAlias = "たろ"; }, false},
        {"another given name", [](Contact& b) { b.person.strFirstName = "太朗"; }, false},
        {"the name split elsewhere", [](Contact& b) { b.person.strLastName = "山田太", b.person.strFirstName = "郎"; }, false},
    };
    for (const Case& c : cases) {
        Contact b = a;
        c.change(b);
        EXPECT_EQ(sameContact(a, b), c.same) << c.what;
        EXPECT_EQ(sameContact(b, a), c.same) << c.what;
        // An import's persons met so far give the same answer.
        KnownContacts met;
        met.add(a);
        EXPECT_EQ(met.has(b), c.same) << c.what;
    }
    // Numbers without digits and blank addresses are shared by nobody.
    Contact c = a, d = a;
    c.phones = {{0, 0, "", "-", 1, ""}}, c.mails = {{0, 0, "", " ", 1, ""}};
    d.phones = {{0, 0, "", "()", 1, ""}}, d.mails = {{0, 0, "", "", 1, ""}};
    EXPECT_FALSE(sameContact(c, d));
    KnownContacts met;
    met.add(c);
    EXPECT_FALSE(met.has(d));
    EXPECT_FALSE(met.has(c)) << "nor by themselves";
}

TEST(CardUids, DerivedUidsAreStableAndImportedOnesAreKept) {
    TemporaryFolder folder;
    std::filesystem::create_directories(folder.path() / "Data");
    std::string first;
    {
        CardUids uids(folder.path());
        first = uids.uidOf(42);
        EXPECT_EQ(first.size(), 45u);
        EXPECT_TRUE(first.starts_with("urn:uuid:"));
        EXPECT_TRUE(first.ends_with("0000002a")) << first;
        EXPECT_EQ(first[23], '8') << "a version-8 UUID";
        EXPECT_EQ(uids.personOf(first), 42);
        uids.remember(7, "urn:uuid:0e2c1f34-aaaa-4bbb-8ccc-000000000001");
        uids.save();
    }
    CardUids again(folder.path());
    EXPECT_EQ(again.uidOf(42), first) << "the same on the next run";
    EXPECT_EQ(again.uidOf(7), "urn:uuid:0e2c1f34-aaaa-4bbb-8ccc-000000000001");
    EXPECT_EQ(again.personOf("urn:uuid:0e2c1f34-aaaa-4bbb-8ccc-000000000001"), 7);
    EXPECT_EQ(again.personOf(CardUids::derivedUid(again.folderId(), 7)), std::nullopt)
        << "person 7's card has the imported UID";
    EXPECT_EQ(again.personOf("urn:uuid:unknown"), std::nullopt);
    CardUids other(folder.path() / "elsewhere");
    EXPECT_NE(other.uidOf(42), first) << "another folder, another UID";

    EXPECT_EQ(CardUids::fileNameFor("urn:uuid:0e2c1f34-aaaa"), "0e2c1f34-aaaa.vcf");
    EXPECT_EQ(CardUids::fileNameFor("pas-id/../x y"), "pas-id%2F%2E%2E%2Fx%20y.vcf");
    EXPECT_EQ(CardUids::fileNameFor(""), "card.vcf");
}

// The person of a UID follows every change of the lines: of two persons
// with one UID the first, then the other once the first has another.
TEST(CardUids, ChangedAndForgottenUidsFindTheirPersons) {
    TemporaryFolder folder;
    std::filesystem::create_directories(folder.path() / "Data");
    CardUids uids(folder.path());
    uids.remember(5, "pas-id-u");
    uids.remember(3, "pas-id-u");
    EXPECT_EQ(uids.personOf("pas-id-u"), 3);
    uids.remember(3, "pas-id-v");
    EXPECT_EQ(uids.personOf("pas-id-u"), 5);
    EXPECT_EQ(uids.personOf("pas-id-v"), 3);
    uids.forget(5);
    EXPECT_EQ(uids.personOf("pas-id-u"), std::nullopt);
    uids.save();
    CardUids again(folder.path());
    EXPECT_EQ(again.personOf("pas-id-v"), 3);
    EXPECT_EQ(again.uidOf(3), "pas-id-v");
    again.forget(3);
    EXPECT_EQ(again.personOf("pas-id-v"), std::nullopt);
}

TEST(BadInput, ATenMegabyteLineIsReportedAndTheRestOfTheFileIsRead) {
    std::string file = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:長い;行;;;\r\nNOTE:" + std::string(10 * 1024 * 1024, 'x') +
                       "\r\nTEL:03-1111-2222\r\nEND:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nN:次;の;;;\r\nEND:VCARD\r\n";
    const auto cards = readVCards(file, "long.vcf");
    ASSERT_EQ(cards.size(), 2u);
    EXPECT_FALSE(cards[0].rejected);
    EXPECT_EQ(cards[0].problems,
              std::vector<std::string>{"long.vcf:4: 行が長すぎます (4194304 バイトを超えます)。読み飛ばしました"});
    EXPECT_EQ(cards[0].contact.person.strNote, "");
    ASSERT_EQ(cards[0].contact.phones.size(), 1u);
    EXPECT_EQ(cards[1].contact.person.strLastName, "次");
}

TEST(BadInput, LineEndsFoldingAndQuotedPrintableOfEveryKind) {
    // LF only, a fold with a tab, a quoted-printable soft line break, CR only.
    const auto lf = readVCards("BEGIN:VCARD\nVERSION:3.0\nN:山;\n\t田;;;\nNOTE;ENCODING=QUOTED-PRINTABLE:a=\nb=0D=0Ac\nEND:VCARD\n", "lf.vcf");
    ASSERT_EQ(lf.size(), 1u);
    EXPECT_EQ(lf[0].contact.person.strFirstName, "田");
    EXPECT_EQ(lf[0].contact.person.strNote, "ab\r\nc");
    const auto cr = readVCards("BEGIN:VCARD\rVERSION:2.1\rN:A;B\rEND:VCARD\r", "cr.vcf");
    ASSERT_EQ(cr.size(), 1u);
    EXPECT_EQ(cr[0].contact.person.strLastName, "A");
    EXPECT_EQ(cr[0].problems, std::vector<std::string>{});
    // Empty input and a file of nothing but a BOM hold no card.
    EXPECT_TRUE(readVCards("", "empty.vcf").empty());
    EXPECT_TRUE(readVCards("\xEF\xBB\xBF", "bom.vcf").empty());
}

}  // namespace
}  // namespace lumo::test
