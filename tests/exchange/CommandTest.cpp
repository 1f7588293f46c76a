// lumo vcard as a user runs it: the files it writes, the report and the
// exit status, and ContactStore's operations for the programs that update
// and remove persons (the address book, the sync).
#include <gtest/gtest.h>

#include "exchange/CardUid.h"
#include "exchange/ContactStore.h"
#include "platform/Error.h"
#include "platform/MessageSink.h"
#include "tests/exchange/ContactText.h"
#include "tests/tools/ToolsTestSupport.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;
using namespace lumo::exchange;

int countOf(const std::string& text, const std::string& word) {
    int n = 0;
    for (std::size_t at = 0; (at = text.find(word, at)) != std::string::npos; at += word.size()) ++n;
    return n;
}

class VCardCommand : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(runLumo({"init", "--sample", dir()}).exitCode, 0); }
    std::string dir() const { return folder.path().string(); }
    ScratchFolder folder;
};

TEST_F(VCardCommand, ExportsToStandardOutputAFileOrAFolderOfCardsNamedByUid) {
    const RunResult all = runLumo({"vcard", "export", dir()});
    EXPECT_EQ(all.exitCode, 0) << all.err;
    EXPECT_EQ(countOf(all.out, "BEGIN:VCARD\r\nVERSION:3.0\r\n"), 20);

    const RunResult chosen = runLumo({"vcard", "export", dir(), "--version", "4.0", "--ids", "2,1", "--out", dir() + "/two.vcf"});
    EXPECT_EQ(chosen.exitCode, 0) << chosen.err;
    EXPECT_EQ(chosen.out, "2 人を書き出しました: " + dir() + "/two.vcf\n");
    const std::string two = readFile(folder.path() / "two.vcf");
    EXPECT_EQ(countOf(two, "VERSION:4.0\r\n"), 2);
    EXPECT_GT(two.find("FN:山田 太郎"), two.find("FN:髙橋 一郎")) << "in the order of --ids";
    EXPECT_EQ(runLumo({"vcard", "export", dir(), "--out", dir() + "/two.vcf"}).exitCode, 1) << "no replacing without --force";

    const RunResult group = runLumo({"vcard", "export", dir(), "--group", "家族", "--folder", dir() + "/cards"});
    EXPECT_EQ(group.exitCode, 0) << group.err;
    CardUids uids(folder.path());
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder.path() / "cards")) {
        ++files;
        const std::string card = readFile(entry.path());
        EXPECT_NE(card.find("CATEGORIES:家族\r\n"), std::string::npos) << entry.path();
        const std::string uid = card.substr(card.find("UID:") + 4, 45);
        EXPECT_EQ(entry.path().filename(), CardUids::fileNameFor(uid));
        EXPECT_TRUE(uids.personOf(uid).has_value()) << uid;
    }
    EXPECT_GE(files, 1);
    EXPECT_EQ(group.out, std::to_string(files) + " 人を書き出しました: " + dir() + "/cards (" + std::to_string(files) + " ファイル)\n");

    const RunResult missing = runLumo({"vcard", "export", dir(), "--ids", "999"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "lumo vcard: 人物 999 はいません\n");
}

TEST_F(VCardCommand, ImportReportsWhatItAddedSkippedAndPlacedElsewhere) {
    ScratchFolder target;
    makeEmptyDatabases(target.path());
    const std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:新井;光;;;\r\nTEL:03-9999-0000\r\nX-SKYPE:arai.hikaru\r\nEND:VCARD\r\n";
    const RunResult dry = runLumo({"vcard", "import", target.path().string(), "--dry-run", "-"}, card);
    EXPECT_EQ(dry.exitCode, 0) << dry.err;
    EXPECT_EQ(dry.out, "カード 1 枚: 追加 1 人 (試しに読んだだけで、登録していません)、既にある人 0 人、読めないカード 0 枚\n"
                       "そのままの場所がなかった項目:\n"
                       "  -:1 新井 光: X-SKYPE → メモ1 (ラベル「X-SKYPE」)\n");
    EXPECT_EQ(Db(target.data("LumoBase.mdb")).integer("SELECT COUNT(*) FROM T_PERSON"), 0);

    const RunResult stored = runLumo({"vcard", "import", target.path().string(), "--group", "取引先", "-"}, card);
    EXPECT_EQ(stored.exitCode, 0) << stored.err;
    Db db(target.data("LumoBase.mdb"));
    EXPECT_EQ(db.text("SELECT g.LABEL || '|' || p.LABEL1 || '|' || p.MEMO1 FROM T_PERSON p JOIN T_GROUPING g ON g.TYPE_ID = p.TYPE_ID"),
              "取引先|X-SKYPE|arai.hikaru");

    const RunResult again = runLumo({"vcard", "import", target.path().string(), "-"}, card);
    EXPECT_EQ(again.out, "カード 1 枚: 追加 0 人、既にある人 1 人、読めないカード 0 枚\n"
                         "  既にある: -:1 新井 光: 既にあります (同じ名前・ふりがなで、電話番号かメールが同じ)\n");

    const RunResult bad = runLumo({"vcard", "import", target.path().string(), "-"}, "BEGIN:VCARD\r\nN:切れた;カード\r\n");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err, "lumo vcard: -:2: END:VCARD がありません (カードが途中で終わっています)\n");
    EXPECT_EQ(db.integer("SELECT COUNT(*) FROM T_PERSON"), 1);

    EXPECT_EQ(runLumo({"vcard", "import", target.path().string()}).exitCode, 2) << "no file";
    EXPECT_EQ(runLumo({"vcard", "convert"}).exitCode, 2);
}

TEST_F(VCardCommand, ContactStoreUpdatesAndRemovesAPerson) {
    ContactStore store(folder.path());
    const auto ids = store.ids();
    ASSERT_EQ(ids.size(), 20u);
    Contact c = store.read(ids[0]);
    EXPECT_EQ(c.person.strLastName, "山田");
    EXPECT_EQ(c.group, "友人");
    c.person.strHobby = "将棋";
    c.phones.resize(1);
    c.group = "新しい分類";
    store.update(c);
    const Contact back = store.read(ids[0]);
    EXPECT_EQ(contactText(back), contactText(c));
    store.remove(ids[0]);
    EXPECT_EQ(store.ids().size(), 19u);
    try {
        store.read(ids[0]);
        ADD_FAILURE() << "read a removed person";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "人物 " + std::to_string(ids[0]) + " はいません");
    }
    // The library's report comes in the exception, not to the host's sink,
    // which is back in place afterwards.
    RecordingSink host;
    Contact ghost = c;
    ghost.person.lngPersonID = 9999;
    try {
        store.update(ghost);
        ADD_FAILURE() << "updated a person that is not there";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("CLS-pida1016"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(host.messages().empty());
    showMessage("host");
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].text, "host");
}

}  // namespace
}  // namespace lumo::test
