// The export run with a failure at every step of the engine, the library
// and the file: one report per failure; the run either fails and leaves
// the previous file as it was, or ends with a complete file; the database
// is never changed and no temporary file stays behind.
#include <filesystem>

#include <gtest/gtest.h>

#include "export/engine/ExportRun.h"
#include "export/engine/clsExportSource.h"
#include "tests/export/ExportFixture.h"
#include "tests/support/FaultSweep.h"

namespace lumo::test {
namespace {

namespace fs = std::filesystem;
using exporter::ExportResult;

constexpr const char* kRows = R"sql(
INSERT INTO T_GROUPING (TYPE_ID, LABEL) VALUES (2, '友人');
INSERT INTO T_PERSON (PERSON_ID, TYPE_ID, LASTNAME, FIRSTNAME) VALUES (1, 2, '山田', '太郎'), (2, 1, '佐藤', NULL);
INSERT INTO T_PHONE (PERSON_ID, LABEL, TEL_NUMBER, RANK, TYPE) VALUES (1, '自宅', '03-1', 1, 'HOME');
INSERT INTO T_CHILDREN (PERSON_ID, CHILDREN, ALIAS) VALUES (2, '花子', 'はなこ');
)sql";

std::vector<std::string> entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The CR LF lines of a file (no line of these files holds a line break).
std::vector<std::string> lines(const std::string& file) {
    std::vector<std::string> result;
    for (std::size_t at = 0; at < file.size();) {
        const std::size_t end = file.find("\r\n", at);
        result.push_back(file.substr(at, end - at));
        if (end == std::string::npos) break;
        at = end + 2;
    }
    return result;
}

TEST(ExportSweep, EveryFailureGivesOneReportAndAWholeFileOrTheOldOne) {
    ExportFolder source;
    ExportFolder::sql(source.personDb(), kRows);
    const DatabaseDump database = dumpDatabase(source.personDb());
    std::string complete;
    {
        RecordingSink quiet;
        ASSERT_FALSE(exporter::runExport(ExportFolder::connection(source.personDb()), source.out("p.csv"),
                                         exporter::kPersons, {}).failed);
        complete = readBytes(source.out("p.csv"));
    }
    int failedRuns = 0, damagedLines = 0;
    const std::uint64_t points = sweepFailuresInFolder(
        [&](const fs::path& folder) {
            fs::create_directory(folder / "Data");
            copyDatabase(source.personDb(), folder / "Data" / "LumoBase.mdb");
            std::ofstream(folder / "p.csv") << "old";
        },
        [&](const fs::path& folder) {
            return exporter::runExport(ExportFolder::connection((folder / "Data" / "LumoBase.mdb").string()),
                                       (folder / "p.csv").string(), exporter::kPersons, {});
        },
        [&](const SweepStep<ExportResult>& s) {
            SCOPED_TRACE("step " + std::to_string(s.step));
            const fs::path db = s.database / "Data" / "LumoBase.mdb";
            EXPECT_EQ(integrityCheck(db), "ok");
            EXPECT_EQ(describeDifference(database, dumpDatabase(db)), "");
            EXPECT_EQ(entries(s.database), (std::vector<std::string>{"Data", "p.csv"})) << "no temporary file stays";
            const std::string file = readBytes((s.database / "p.csv").string());
            if (!s.fired) {
                EXPECT_FALSE(s.result.failed);
                EXPECT_TRUE(s.reports.empty());
                EXPECT_EQ(file, complete);
                return;
            }
            // One report, except where the library's opening routine fails:
            // its report and then the reading operation's.
            // The run's closing message is no report; it counts the record.
            std::vector<std::string> codes = s.reportCodes();
            const bool closing = !s.reports.empty() && s.reports.back().icon == MsgIcon::Information;
            if (closing) {
                EXPECT_FALSE(s.result.failed);
                EXPECT_EQ(s.reports.back().text, "読めなかったレコード 1 件を空の行として書き出しました。");
                codes.pop_back();
            }
            ASSERT_FALSE(codes.empty());
            const bool opening = codes[0] == "CLS-pida1004" || codes[0] == "CLS-pida1005" || codes[0] == "CLS-pida1006";
            EXPECT_EQ(codes.size(), opening ? 2u : 1u) << codes[0] << (codes.size() > 1 ? " " + codes[1] : "");
            if (s.result.failed) {
                ++failedRuns;
                EXPECT_EQ(file, "old") << "a failed run leaves the previous file";
            } else {
                // A record the library could not read whole is reported and
                // written as the empty line, and counted; the other lines
                // are those of the complete file.
                ++damagedLines;
                EXPECT_EQ(s.result.unread, 1);
                EXPECT_TRUE(closing);
                const std::vector<std::string> got = lines(file), whole = lines(complete);
                ASSERT_EQ(got.size(), whole.size());
                int empty = 0;
                for (std::size_t i = 0; i < got.size(); ++i) {
                    if (got[i].empty() && !whole[i].empty()) ++empty;
                    else EXPECT_EQ(got[i], whole[i]) << "line " << i;
                }
                EXPECT_EQ(empty, 1);
            }
        });
    EXPECT_GT(failedRuns, 0);
    EXPECT_GT(damagedLines, 0);
    std::cout << "[ sweep    ] export of 2 persons: " << points << " failure points (" << failedRuns
              << " fail the run, " << damagedLines << " damage one record)\n";
}

}  // namespace
}  // namespace lumo::test
