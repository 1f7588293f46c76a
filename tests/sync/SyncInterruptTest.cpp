// A sync broken off at each of its requests in turn, before the request
// went out and after the server answered it (the answer lost, as when the
// connection drops or the process is killed then): the next sync finishes
// the work, without a person or a card doubled or lost.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <utility>

#include "platform/Error.h"
#include "sync/HttpFaults.h"
#include "tests/sync/SyncTestSupport.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::string>;

std::string card(const std::string& uid, const std::string& last, const std::string& first, const std::string& tel) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + last + " " + first + "\r\nN:" + last + ";" + first +
           ";;;\r\nTEL;TYPE=CELL:" + tel + "\r\nEND:VCARD\r\n";
}

struct Scenario {
    const char* name;
    std::function<void(const Folder&, const std::string& url)> prepare;  // before the sync that is broken off
    Rows expected;
    std::vector<std::string> phoneLines;  // lines c5.vcf (a phone's card, changed here) must still hold
};

// A phone's card with a photo and a property of its own.
const std::string kPhoneCard =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:c5\r\nFN:山田 太郎\r\nN:山田;太郎;;;\r\nTEL;TYPE=CELL:090-1111-0000\r\n"
    "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAA\r\nX-ABSHOWAS:PERSON\r\nEND:VCARD\r\n";

void firstSync(const Folder& here, const std::string& url) {
    addHere(here, person("山田", "太郎", {"090-1111-0000"}));
    addHere(here, person("鈴木", "花子", {"080-3333-4444"}));
    putCard(url, "c1.vcf", card("c1", "伊藤", "四郎", "011-222-3333"));
    putCard(url, "c2.vcf", card("c2", "鈴木", "花子", "080-3333-4444"));
}

void laterSync(const Folder& here, const std::string& url) {
    putCard(url, "c5.vcf", kPhoneCard);  // 山田 comes from the phone
    addHere(here, person("田中", "一郎", {"03-1234-5678"}));
    putCard(url, "c1.vcf", card("c1", "伊藤", "四郎", "011-222-3333"));
    putCard(url, "c2.vcf", card("c2", "渡辺", "五郎", "022-333-4444"));
    syncNow(here, url);
    changePhonesHere(here, "山田", {"090-9999-0000"});
    removeHere(here, "田中");
    addHere(here, person("中村", "七子", {"044-555-6666"}));
    putCard(url, "c1.vcf", card("c1", "伊藤", "四郎", "011-999-8888"), etagOf(url, "c1.vcf"));
    deleteCard(url, "c2.vcf");
    putCard(url, "c4.vcf", card("c4", "加藤", "八郎", "055-666-7777"));
}

const Scenario kScenarios[]{
    {"first sync", firstSync,
     {"伊藤 四郎 / 011-222-3333 / ", "山田 太郎 / 090-1111-0000 / ", "鈴木 花子 / 080-3333-4444 / "},
     {}},
    {"later sync", laterSync,
     {"中村 七子 / 044-555-6666 / ", "伊藤 四郎 / 011-999-8888 / ", "加藤 八郎 / 055-666-7777 / ",
      "山田 太郎 / 090-9999-0000 / "},
     {"\r\nPHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAA\r\n", "\r\nX-ABSHOWAS:PERSON\r\n"}},
};

// Both sides as they were before the sync, copied away once and put back
// before each broken sync (the databases, the state file and the server's
// folder of the address book), which is much quicker than making them anew.
class Snapshot {
public:
    Snapshot(const Folder& folder, fs::path book) : folder_(folder.path() / "Data"), book_(std::move(book)) {
        fs::copy(folder_, saved_.path() / "Data", fs::copy_options::recursive);
        fs::copy(book_, saved_.path() / "book", fs::copy_options::recursive);
    }
    void restore() const {
        for (const auto& [from, to] : {std::pair{saved_.path() / "Data", folder_}, std::pair{saved_.path() / "book", book_}}) {
            fs::remove_all(to);
            fs::copy(from, to, fs::copy_options::recursive);
        }
    }

private:
    fs::path folder_, book_;
    TemporaryFolder saved_{"lumo_sync_snapshot"};
};

TEST(SyncInterruptTest, BrokenOffAtEveryRequestTheNextSyncFinishes) {
    int sweeps = 0;
    for (const Scenario& scenario : kScenarios) {
        const std::string name = std::string("sweep-") + (scenario.name[0] == 'f' ? "first" : "later");
        const std::string url = sharedRadicale().makeAddressBook(kUser, name);
        const Folder here;
        scenario.prepare(here, url);
        const Snapshot before(here, sharedRadicale().bookFolder(kUser, name));
        for (const sync::HttpFaultKind kind : {sync::HttpFaultKind::BeforeSending, sync::HttpFaultKind::AfterAnswer}) {
            for (int n = 1;; ++n) {
                SCOPED_TRACE(std::string(scenario.name) + (kind == sync::HttpFaultKind::BeforeSending ? ", before" : ", after") +
                             " request " + std::to_string(n));
                before.restore();
                sync::armHttpFault(n, kind);
                bool broken = false;
                try {
                    syncNow(here, url);
                } catch (const Error& e) {
                    broken = true;
                    EXPECT_NE(std::string(e.what()).find("接続が途中で切れました"), std::string::npos) << e.what();
                }
                sync::disarmHttpFault();
                if (broken) syncNow(here, url);
                const auto cards = sharedRadicale().storedCards(kUser, name);
                EXPECT_EQ(rowsHere(here), scenario.expected);
                EXPECT_EQ(cardsThere(cards), scenario.expected);
                EXPECT_EQ(checkAgreement(here, cards), "");
                for (const std::string& line : scenario.phoneLines)
                    EXPECT_NE(cards.at("c5.vcf").find(line), std::string::npos) << cards.at("c5.vcf");
                if (!broken) break;  // n went past the last request
                ++sweeps;
                ASSERT_LT(n, 40);
            }
        }
    }
    EXPECT_GE(sweeps, 16);  // the broken syncs: every request of both scenarios, twice
}

}  // namespace
}  // namespace lumo::test
