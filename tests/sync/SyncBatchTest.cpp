// New server cards are added here in batches (one commit of the address
// book for many persons). A batch that fails, at any commit up to and
// including its end, stores none of its persons and records no pair, and
// the next sync adds them all, once each.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/FaultInjection.h"
#include "tests/sync/SyncTestSupport.h"

namespace lumo::test {
namespace {

using Rows = std::vector<std::string>;

std::string phoneCard(const std::string& uid, const std::string& last, const std::string& first,
                      const std::string& phone) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + last + " " + first + "\r\nN:" + last + ";" + first +
           ";;;\r\nTEL;TYPE=CELL:" + phone + "\r\nEND:VCARD\r\n";
}

// The person lines of the folder's UID file ("" when none).
std::string uidLines(const Folder& folder) {
    std::ifstream in(folder.path() / "Data" / "LumoCardUids.txt");
    std::string line, out;
    while (std::getline(in, line))
        if (!line.starts_with("folder ")) out += line + "\n";
    return out;
}

// Each commit of the first download failed in turn (the persons' own
// commits inside the batch, then the batch's end), until the batch's end.
TEST(SyncBatchTest, AFailedBatchStoresNothingAndTheNextSyncAddsEachCardOnce) {
    const std::string url = sharedRadicale().makeAddressBook(kUser, "batch-book");
    putCard(url, "b1.vcf", phoneCard("b1", "伊藤", "四郎", "011-222-3333"));
    putCard(url, "b2.vcf", phoneCard("b2", "加藤", "五郎", "022-333-4444"));
    const Rows both{"伊藤 四郎 / 011-222-3333 / ", "加藤 五郎 / 022-333-4444 / "};
    bool endFailed = false;
    for (std::uint64_t step = 1; step <= 20 && !endFailed; ++step) {
        SCOPED_TRACE(step);
        const Folder here;
        const auto state = here.path() / "Data" / "LumoSync.sqlite";
        try {
            const db::ScopedFault fault({.failAt = step, .onlyStep = db::FaultStep::CommitTrans});
            syncNow(here, url);
            ADD_FAILURE() << "no failure reported";
            break;
        } catch (const Error& e) {
            endFailed = std::string(e.what()).find("一括処理をコミットできません") != std::string::npos;
        }
        EXPECT_EQ(rowsHere(here), Rows{});
        EXPECT_EQ(scalarOf(state, "SELECT COUNT(*) FROM card"), 0);
        EXPECT_EQ(uidLines(here), "") << "a person not stored keeps a card's UID";
        const sync::SyncReport r = syncNow(here, url);
        EXPECT_EQ(r.addedHere, 2);
        EXPECT_EQ(rowsHere(here), both);
        EXPECT_EQ(checkAgreement(here, sharedRadicale().storedCards(kUser, "batch-book")), "");
    }
    EXPECT_TRUE(endFailed) << "the batch's end was never reached";
}

}  // namespace
}  // namespace lumo::test
