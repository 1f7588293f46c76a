// A sync broken off at each of its requests in turn, before the request
// went out and after the server answered it (the answer lost, as when the
// connection drops or the process is killed then): the next sync finishes
// the work, without a person or a card doubled or lost.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>

#include "platform/Error.h"
#include "sync/HttpFaults.h"
#include "tests/sync/SyncTestSupport.h"

namespace lumo::test {
namespace {

using Rows = std::vector<std::string>;

std::string card(const std::string& uid, const std::string& last, const std::string& first, const std::string& tel) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + last + " " + first + "\r\nN:" + last + ";" + first +
           ";;;\r\nTEL;TYPE=CELL:" + tel + "\r\nEND:VCARD\r\n";
}

struct Scenario {
    const char* name;
    std::function<void(const Folder&, const std::string& url)> prepare;  // before the sync that is broken off
    Rows expected;
};

void firstSync(const Folder& here, const std::string& url) {
    addHere(here, person("山田", "太郎", {"090-1111-0000"}));
    addHere(here, person("田中", "一郎", {"03-1234-5678"}));
    addHere(here, person("鈴木", "花子", {"080-3333-4444"}));
    putCard(url, "c1.vcf", card("c1", "伊藤", "四郎", "011-222-3333"));
    putCard(url, "c2.vcf", card("c2", "鈴木", "花子", "080-3333-4444"));
}

void laterSync(const Folder& here, const std::string& url) {
    addHere(here, person("山田", "太郎", {"090-1111-0000"}));
    addHere(here, person("田中", "一郎", {"03-1234-5678"}));
    addHere(here, person("高橋", "三郎", {"06-1111-0000"}));
    putCard(url, "c1.vcf", card("c1", "伊藤", "四郎", "011-222-3333"));
    putCard(url, "c2.vcf", card("c2", "渡辺", "五郎", "022-333-4444"));
    syncNow(here, url);
    changePhonesHere(here, "山田", {"090-9999-0000"});
    removeHere(here, "田中");
    addHere(here, person("中村", "七子", {"044-555-6666"}));
    addHere(here, person("小林", "六子", {"033-444-5555"}));
    putCard(url, "c1.vcf", card("c1", "伊藤", "四郎", "011-999-8888"), etagOf(url, "c1.vcf"));
    deleteCard(url, "c2.vcf");
    putCard(url, "c4.vcf", card("c4", "加藤", "八郎", "055-666-7777"));
}

const Scenario kScenarios[]{
    {"first sync", firstSync,
     {"伊藤 四郎 / 011-222-3333 / ", "山田 太郎 / 090-1111-0000 / ", "田中 一郎 / 03-1234-5678 / ",
      "鈴木 花子 / 080-3333-4444 / "}},
    {"later sync", laterSync,
     {"中村 七子 / 044-555-6666 / ", "伊藤 四郎 / 011-999-8888 / ", "加藤 八郎 / 055-666-7777 / ",
      "小林 六子 / 033-444-5555 / ", "山田 太郎 / 090-9999-0000 / ", "高橋 三郎 / 06-1111-0000 / "}},
};

TEST(SyncInterruptTest, BrokenOffAtEveryRequestTheNextSyncFinishes) {
    static std::atomic<int> next{0};
    for (const Scenario& scenario : kScenarios) {
        for (const sync::HttpFaultKind kind : {sync::HttpFaultKind::BeforeSending, sync::HttpFaultKind::AfterAnswer}) {
            for (int n = 1;; ++n) {
                SCOPED_TRACE(std::string(scenario.name) + (kind == sync::HttpFaultKind::BeforeSending ? ", before" : ", after") +
                             " request " + std::to_string(n));
                const std::string name = "sweep" + std::to_string(++next);
                const std::string url = sharedRadicale().makeAddressBook("u", name);
                const Folder here;
                scenario.prepare(here, url);
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
                const auto cards = sharedRadicale().storedCards("u", name);
                EXPECT_EQ(rowsHere(here), scenario.expected);
                EXPECT_EQ(cardsThere(cards), scenario.expected);
                EXPECT_EQ(checkAgreement(here, cards), "");
                if (!broken) break;  // n went past the last request
                ASSERT_LT(n, 40);
            }
        }
    }
}

}  // namespace
}  // namespace lumo::test
