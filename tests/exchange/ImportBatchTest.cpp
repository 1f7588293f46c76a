// The vCard import stores its persons in one batch of the library: swept
// with an engine failure at each of its steps, every run leaves each
// person whole or not at all, the report's ids are exactly the persons
// stored, and a failed final commit stores none of them and says so. The
// group captions are the cards' own texts, quotes, brackets and wildcards
// included.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "exchange/VCardExchange.h"
#include "tests/support/FaultSweep.h"
#include "tests/tools/ToolsTestSupport.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;
using namespace lumo::exchange;

const std::string kCards =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:山田;太郎;;;\r\nFN:山田 太郎\r\nTEL;TYPE=HOME:03-1111-2222\r\n"
    "TEL;TYPE=CELL:090-3333-4444\r\nEMAIL:taro@example.jp\r\nCATEGORIES:O'Brien\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:佐藤;花子;;;\r\nFN:佐藤 花子\r\nTEL:03-5555-6666\r\n"
    "CATEGORIES:'); DELETE FROM T_PERSON; --\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:鈴木;一郎;;;\r\nFN:鈴木 一郎\r\nEMAIL:ichiro@example.jp\r\nEND:VCARD\r\n";

// A stored person as one line: name|phones|mails|group caption.
const std::map<std::string, std::string> kWhole = {
    {"山田", "山田|2|1|O'Brien"},
    {"佐藤", "佐藤|1|0|'); DELETE FROM T_PERSON; --"},
    {"鈴木", "鈴木|0|1|未分類"},
};

const char* kPersons =
    "SELECT p.PERSON_ID || '=' || p.LASTNAME || '|' || (SELECT COUNT(*) FROM T_PHONE q WHERE q.PERSON_ID = p.PERSON_ID)"
    " || '|' || (SELECT COUNT(*) FROM T_EMAIL m WHERE m.PERSON_ID = p.PERSON_ID)"
    " || '|' || IFNULL((SELECT LABEL FROM T_GROUPING g WHERE g.TYPE_ID = p.TYPE_ID), '?')"
    " FROM T_PERSON p ORDER BY p.PERSON_ID";

fs::path personFile(const fs::path& folder) { return folder / "Data" / "LumoBase.mdb"; }

class ImportBatch : public testing::Test {
protected:
    static void SetUpTestSuite() {
        empty_ = std::make_unique<ScratchFolder>();
        ASSERT_EQ(runLumo({"init", empty_->path().string()}).exitCode, 0);
    }
    static void TearDownTestSuite() { empty_.reset(); }

    static void prepare(const fs::path& folder) {
        fs::create_directories(folder / "Data");
        for (const auto& entry : fs::directory_iterator(empty_->path() / "Data"))
            fs::copy_file(entry.path(), folder / "Data" / entry.path().filename());
    }

    static std::unique_ptr<ScratchFolder> empty_;
};
std::unique_ptr<ScratchFolder> ImportBatch::empty_;

TEST_F(ImportBatch, EveryFailureLeavesEachPersonWholeOrAbsentAndTheReportSaysWhich) {
    const std::vector<ImportSource> sources = {{"cards.vcf", kCards}};
    std::set<std::uint64_t> commitFailures;
    const std::uint64_t points = sweepFailuresInFolder(
        prepare, [&](const fs::path& folder) { return importVCards(folder, sources, {}); },
        [&](const SweepStep<ImportReport>& s) {
            const fs::path file = personFile(s.database);
            EXPECT_EQ(integrityCheck(file), "ok") << s.step;
            std::set<long long> storedIds;
            for (const std::string& row : queryRows(file, kPersons)) {
                const auto eq = row.find('=');
                storedIds.insert(std::stoll(row.substr(0, eq)));
                const std::string person = row.substr(eq + 1);
                const auto whole = kWhole.find(person.substr(0, person.find('|')));
                ASSERT_NE(whole, kWhole.end()) << row;
                EXPECT_EQ(person, whole->second) << "step " << s.step;
            }
            EXPECT_EQ(scalarOf(file, "SELECT COUNT(*) FROM T_PERSON"), static_cast<long long>(storedIds.size()));
            if (!s.escaped.empty()) {
                // The folder could not be opened or locked: nothing at all.
                EXPECT_TRUE(storedIds.empty()) << s.step << ": " << s.escaped;
                return;
            }
            const ImportReport& r = s.result;
            const std::set<long long> reported(r.addedIds.begin(), r.addedIds.end());
            EXPECT_EQ(reported, storedIds) << "step " << s.step;
            EXPECT_EQ(r.added, static_cast<int>(storedIds.size())) << s.step;
            EXPECT_EQ(r.added + r.failed, 3) << s.step;
            if (!s.fired) {
                EXPECT_EQ(storedIds.size(), 3u);
                EXPECT_TRUE(r.problems.empty());
                return;
            }
            if (r.failed > 0) {
                EXPECT_FALSE(r.problems.empty()) << s.step;
            }
            const bool endFailed = std::any_of(r.problems.begin(), r.problems.end(), [](const std::string& p) {
                return p.find("どれも登録されていません") != std::string::npos;
            });
            if (endFailed) {
                commitFailures.insert(s.step);
                EXPECT_TRUE(storedIds.empty()) << s.step;
            }
        });
    EXPECT_GT(points, 20u);
    std::printf("import of 3 persons: %llu failure points\n", static_cast<unsigned long long>(points));
    // The end of the import's one batch: the file's form read, the search
    // index given the batch's words, the commit.
    EXPECT_EQ(commitFailures.size(), 3u) << "the three steps of the batch's end";
}

// The cards' captions become groups as written, none of them taken as SQL.
TEST_F(ImportBatch, CaptionsAreStoredAsWritten) {
    const std::vector<std::string> captions = {"O'Brien", "'); DELETE FROM T_PERSON; --", "[x]", "%", "_", "a''b"};
    std::string cards;
    for (std::size_t i = 0; i < captions.size(); ++i)
        cards += "BEGIN:VCARD\r\nVERSION:4.0\r\nN:人" + std::to_string(i) + ";;;;\r\nFN:人" + std::to_string(i) +
                 "\r\nCATEGORIES:" + captions[i] + "\r\nEND:VCARD\r\n";
    ScratchFolder folder;
    prepare(folder.path());
    const ImportReport r = importVCards(folder.path(), {{"captions.vcf", cards}}, {});
    EXPECT_EQ(r.added, 6);
    EXPECT_TRUE(r.problems.empty());
    EXPECT_EQ(queryRows(personFile(folder.path()),
                        "SELECT p.LASTNAME || ' ' || g.LABEL FROM T_PERSON p JOIN T_GROUPING g ON g.TYPE_ID = p.TYPE_ID "
                        "ORDER BY p.PERSON_ID"),
              (std::vector<std::string>{"人0 O'Brien", "人1 '); DELETE FROM T_PERSON; --", "人2 [x]", "人3 %", "人4 _",
                                        "人5 a''b"}));
}

}  // namespace
}  // namespace lumo::test
