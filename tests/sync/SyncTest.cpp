// lumo sync against a real CardDAV server (Radicale, started by the test):
// the first sync both ways, changes on each side, conflicts, cards of other
// clients, and two folders on one address book. After each case both
// sides are compared with what they must hold, written out by hand, and
// with each other card for card (checkAgreement).
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "exchange/CardUid.h"
#include "exchange/ContactStore.h"
#include "platform/Error.h"
#include "tests/sync/SyncTestSupport.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::string>;

std::string newBook() {
    static std::atomic<int> next{0};
    return sharedRadicale().makeAddressBook(kUser, "book" + std::to_string(++next));
}

std::string bookName(const std::string& url) {
    std::string path = url.substr(0, url.size() - 1);
    return path.substr(path.find_last_of('/') + 1);
}

std::map<std::string, std::string> stored(const std::string& url) { return sharedRadicale().storedCards(kUser, bookName(url)); }

// A phone's card for 鈴木 花子, as an iPhone writes them (3.0, grouped
// labels, a photo).
const std::string kIphoneCard =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Apple Inc.//iPhone OS 17.0//EN\r\nN:鈴木;花子;;;\r\nFN:鈴木 花子\r\n"
    "item1.TEL;type=CELL;type=VOICE;type=pref:080-3333-4444\r\nitem1.X-ABLabel:_$!<Mobile>!$_\r\n"
    "EMAIL;type=INTERNET;type=HOME;type=pref:hanako@example.jp\r\nUID:A1B2C3D4-iphone\r\nEND:VCARD\r\n";
// ... and one as an Android phone's contacts sync writes it (3.0, no UID
// line order, a note).
const std::string kAndroidCard =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:android-7f3e\r\nFN:佐藤 次郎\r\nN:佐藤;次郎;;;\r\n"
    "TEL;TYPE=cell:09055556666\r\nNOTE:同窓会\r\nEND:VCARD\r\n";

std::string card(const std::string& uid, const std::string& last, const std::string& first, const std::string& tel) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + last + " " + first + "\r\nN:" + last + ";" + first +
           ";;;\r\nTEL;TYPE=CELL:" + tel + "\r\nEND:VCARD\r\n";
}

int changes(const sync::SyncReport& r) {
    return r.addedHere + r.updatedHere + r.deletedHere + r.addedThere + r.updatedThere + r.deletedThere + r.paired +
           r.conflicts + r.kept + r.deferred;
}

class SyncTest : public ::testing::Test {
protected:
    void expectBoth(const Rows& rows) {
        EXPECT_EQ(rowsHere(here), rows);
        EXPECT_EQ(cardsThere(stored(url)), rows);
        EXPECT_EQ(checkAgreement(here, stored(url)), "");
    }
    // One more sync finds nothing to do.
    void expectSettled() {
        const sync::SyncReport again = syncNow(here, url);
        EXPECT_EQ(changes(again), 0) << describe(again).front();
    }

    std::string url = newBook();
    Folder here;
};

TEST_F(SyncTest, FirstSyncUploadsDownloadsAndPairsTheSamePerson) {
    addHere(here, person("山田", "太郎", {"090-1111-2222"}, {"taro@example.jp"}));
    addHere(here, person("鈴木", "花子", {"080-3333-4444"}));
    putCard(url, "A1B2C3D4-iphone.vcf", kIphoneCard);
    putCard(url, "android-7f3e.vcf", kAndroidCard);
    setChangedHereAt(here, -3600);  // the persons here are older than the phone's cards

    const sync::SyncReport r = syncNow(here, url);
    EXPECT_EQ(r.addedThere, 1);  // 山田
    EXPECT_EQ(r.addedHere, 1);   // 佐藤
    EXPECT_EQ(r.paired, 1);      // 鈴木, the same person (name and phone) on both sides
    EXPECT_EQ(r.conflicts, 1);   // ... with a mail address only the phone has: the newer card wins
    ASSERT_EQ(r.conflictFiles.size(), 1u);
    EXPECT_TRUE(fs::exists(r.conflictFiles[0]));
    EXPECT_EQ(fs::path(r.conflictFiles[0]).parent_path(), here.path() / "SyncConflicts");
    expectBoth({"佐藤 次郎 / 09055556666 / ", "山田 太郎 / 090-1111-2222 / taro@example.jp",
                "鈴木 花子 / 080-3333-4444 / hanako@example.jp"});
    EXPECT_EQ(stored(url).count("A1B2C3D4-iphone.vcf"), 1u);  // the phone's card keeps its name
    expectSettled();
}

TEST_F(SyncTest, LaterSyncsCarryChangesAdditionsAndDeletionsOfEachSide) {
    addHere(here, person("山田", "太郎", {"090-1111-2222"}));
    addHere(here, person("田中", "一郎", {"03-1234-5678"}));
    addHere(here, person("高橋", "三郎", {"06-1111-0000"}));
    putCard(url, "c1.vcf", card("c1", "伊藤", "四郎", "011-222-3333"));
    putCard(url, "c2.vcf", card("c2", "渡辺", "五郎", "022-333-4444"));
    putCard(url, "c3.vcf", card("c3", "小林", "六子", "033-444-5555"));
    syncNow(here, url);

    changePhonesHere(here, "山田", {"090-9999-0000"});
    removeHere(here, "田中");
    addHere(here, person("中村", "七子", {"044-555-6666"}));
    putCard(url, "c1.vcf", card("c1", "伊藤", "四郎", "011-999-8888"), etagOf(url, "c1.vcf"));
    deleteCard(url, "c2.vcf");
    putCard(url, "c4.vcf", card("c4", "加藤", "八郎", "055-666-7777"));

    const sync::SyncReport r = syncNow(here, url);
    EXPECT_EQ(r.updatedThere, 1);
    EXPECT_EQ(r.deletedThere, 1);
    EXPECT_EQ(r.addedThere, 1);
    EXPECT_EQ(r.updatedHere, 1);
    EXPECT_EQ(r.deletedHere, 1);
    EXPECT_EQ(r.addedHere, 1);
    EXPECT_EQ(r.conflicts, 0);
    expectBoth({"中村 七子 / 044-555-6666 / ", "伊藤 四郎 / 011-999-8888 / ", "加藤 八郎 / 055-666-7777 / ",
                "小林 六子 / 033-444-5555 / ", "山田 太郎 / 090-9999-0000 / ", "高橋 三郎 / 06-1111-0000 / "});
    expectSettled();
}

TEST_F(SyncTest, BothSidesChangedTheNewerWinsAndTheOtherIsKeptAsAFile) {
    const struct {
        const char* name;
        long long hereChangedAt;  // seconds from now
        const char* winner;
        const char* loserPhone;
    } cases[]{
        {"here newer", 3600, "090-2222-0000", "090-3333-0000"},
        {"server newer", -3600, "090-3333-0000", "090-2222-0000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string book = newBook();
        Folder folder;
        addHere(folder, person("山田", "太郎", {"090-1111-0000"}));
        syncNow(folder, book);
        const std::string file = stored(book).begin()->first;
        changePhonesHere(folder, "山田", {"090-2222-0000"});
        std::string there = stored(book).begin()->second;
        there.replace(there.find("090-1111-0000"), 13, "090-3333-0000");
        putCard(book, file, there, etagOf(book, file));
        setChangedHereAt(folder, c.hereChangedAt);

        const sync::SyncReport r = syncNow(folder, book);
        EXPECT_EQ(r.conflicts, 1);
        const Rows expected{std::string("山田 太郎 / ") + c.winner + " / "};
        EXPECT_EQ(rowsHere(folder), expected);
        EXPECT_EQ(cardsThere(stored(book)), expected);
        EXPECT_EQ(checkAgreement(folder, stored(book)), "");
        ASSERT_EQ(r.conflictFiles.size(), 1u);
        std::ifstream in(r.conflictFiles[0], std::ios::binary);
        std::stringstream loser;
        loser << in.rdbuf();
        EXPECT_NE(loser.str().find(c.loserPhone), std::string::npos) << loser.str();
        EXPECT_EQ(changes(syncNow(folder, book)), 0);
    }
}

TEST_F(SyncTest, DeletedOnOneSideAndChangedOnTheOtherIsKept) {
    addHere(here, person("山田", "太郎", {"090-1111-0000"}));
    putCard(url, "c1.vcf", card("c1", "伊藤", "四郎", "011-222-3333"));
    syncNow(here, url);
    removeHere(here, "伊藤");  // deleted here, changed there
    putCard(url, "c1.vcf", card("c1", "伊藤", "四郎", "011-999-9999"), etagOf(url, "c1.vcf"));
    changePhonesHere(here, "山田", {"090-5555-0000"});  // changed here, deleted there
    for (const auto& [file, text] : stored(url))
        if (text.find("山田") != std::string::npos) deleteCard(url, file);

    const sync::SyncReport r = syncNow(here, url);
    EXPECT_EQ(r.kept, 2);
    expectBoth({"伊藤 四郎 / 011-999-9999 / ", "山田 太郎 / 090-5555-0000 / "});
    expectSettled();
}

TEST_F(SyncTest, CardsOfAPhoneAreTakenAndChangedCardsGoBackToIt) {
    putCard(url, "A1B2C3D4-iphone.vcf", kIphoneCard);
    putCard(url, "android-7f3e.vcf", kAndroidCard);
    syncNow(here, url);
    expectBoth({"佐藤 次郎 / 09055556666 / ", "鈴木 花子 / 080-3333-4444 / hanako@example.jp"});
    EXPECT_EQ(queryRows(here.personDb(), "SELECT NOTE FROM T_PERSON WHERE LASTNAME = '佐藤'"), Rows{"同窓会"});

    changePhonesHere(here, "鈴木", {"080-7777-8888"});
    EXPECT_EQ(syncNow(here, url).updatedThere, 1);
    const std::string iphone = stored(url).at("A1B2C3D4-iphone.vcf");
    EXPECT_NE(iphone.find("UID:A1B2C3D4-iphone"), std::string::npos) << iphone;  // the phone knows it again
    expectBoth({"佐藤 次郎 / 09055556666 / ", "鈴木 花子 / 080-7777-8888 / hanako@example.jp"});
    expectSettled();
}

TEST_F(SyncTest, TwoFoldersOnOneAddressBookAgreeAfterSyncingInTurn) {
    Folder other;
    addHere(here, person("山田", "太郎", {"090-1111-0000"}));
    addHere(here, person("鈴木", "花子", {"080-3333-4444"}));
    addHere(other, person("鈴木", "花子", {"080-3333-4444"}));  // the same person, entered on both computers
    addHere(other, person("佐藤", "次郎", {"090-5555-6666"}));
    syncNow(here, url);
    EXPECT_EQ(syncNow(other, url).paired, 1);
    syncNow(here, url);

    changePhonesHere(here, "山田", {"090-1111-9999"});
    removeHere(other, "佐藤");
    addHere(other, person("高橋", "三郎", {"06-1111-0000"}));
    for (int round = 0; round < 2; ++round) {
        syncNow(here, url);
        syncNow(other, url);
    }
    const Rows expected{"山田 太郎 / 090-1111-9999 / ", "鈴木 花子 / 080-3333-4444 / ", "高橋 三郎 / 06-1111-0000 / "};
    EXPECT_EQ(rowsHere(here), expected);
    EXPECT_EQ(rowsHere(other), expected);
    EXPECT_EQ(cardsThere(stored(url)), expected);
    EXPECT_EQ(checkAgreement(here, stored(url)), "");
    EXPECT_EQ(checkAgreement(other, stored(url)), "");
}

// The cards carry the UIDs lumo vcard gives the persons, so even with the
// state file lost each card finds its person again: by UID when the person
// was renamed meanwhile, and nobody is doubled.
TEST_F(SyncTest, WithTheStateLostOurCardsFindTheirPersonsByUid) {
    const long long yamada = addHere(here, person("山田", "太郎", {"090-1111-0000"}));
    addHere(here, person("鈴木", "花子", {"080-3333-4444"}));
    syncNow(here, url);
    const std::string uid = exchange::CardUids(here.path()).uidOf(static_cast<LumoAccess::Long>(yamada));
    bool found = false;
    for (const auto& [file, text] : stored(url)) found = found || text.find("UID:" + uid + "\r\n") != std::string::npos;
    EXPECT_TRUE(found) << uid;

    fs::remove(here.path() / "Data" / "LumoSync.sqlite");
    fs::remove(here.path() / "Data" / "LumoSync.sqlite-wal");
    fs::remove(here.path() / "Data" / "LumoSync.sqlite-shm");
    {
        exchange::ContactStore store(here.path());
        exchange::Contact c = store.read(static_cast<LumoAccess::Long>(yamada));
        c.person.strLastName = "山本";  // married meanwhile
        store.update(c);
    }
    setChangedHereAt(here, 3600);
    const sync::SyncReport r = syncNow(here, url);
    EXPECT_EQ(r.paired, 2);
    EXPECT_EQ(r.addedThere, 0);
    EXPECT_EQ(r.addedHere, 0);
    expectBoth({"山本 太郎 / 090-1111-0000 / ", "鈴木 花子 / 080-3333-4444 / "});
    expectSettled();
}

TEST_F(SyncTest, OneSyncOfAFolderAtATime) {
    const int held = ::open((here.path() / "Data" / "LumoSync.lock").c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);  // as another sync of this folder holds it
    try {
        syncNow(here, url);
        ADD_FAILURE() << "a second sync of the folder ran";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("ほかで同期中"), std::string::npos) << e.what();
    }
    ::close(held);
    EXPECT_EQ(changes(syncNow(here, url)), 0);
}

TEST_F(SyncTest, AnotherAddressBookIsRefusedUntilTheStateIsRemoved) {
    addHere(here, person("山田", "太郎", {"090-1111-0000"}));
    syncNow(here, url);
    const std::string second = newBook();
    try {
        syncNow(here, second);
        FAIL() << "synced with a second address book";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("別のアドレス帳"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(stored(second).empty());
}

}  // namespace
}  // namespace lumo::test
