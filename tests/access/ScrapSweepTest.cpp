// Every scrap write with the engine failing at each of its steps in turn:
// the boxes the user sees, the error flag, the table as it was before the
// call, a sound file, and no transaction left open on the object's
// connection (the object is still alive when that is looked at; its end
// would roll back anything left open and hide it). A failing Open is
// Initialize's, so the call then works on a connection that is not open.
#include <sqlite3.h>

#include <map>
#include <optional>

#include "platform/FaultInjection.h"
#include "tests/access/AccessTestSupport.h"
#include "tests/support/FaultSweep.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;
using db::FaultStep;

// The registration message stands in the box list by its title.
constexpr const char* kRegistration = "登録エラー";

ScrapInformation changedScrap() {
    ScrapInformation s;
    s.lngLabelID = 2;
    s.dyRegDate = 46000;
    s.dyLastDate = 46001;
    s.strTitle = "差し替え";
    s.strBody = std::string(5000, 'b');
    s.strMemo = "memo";
    return s;
}

struct WriteCase {
    const char* name;
    std::function<std::optional<bool>(clsScrapAccess&)> call;  // nullopt: no result
    std::map<FaultStep, Codes> boxes;                          // by the kind of call that failed
};

std::vector<WriteCase> writeCases() {
    return {
        {"SetScrapInformation",
         [](clsScrapAccess& o) -> std::optional<bool> {
             ScrapInformation s = changedScrap();
             return o.SetScrapInformation(s);
         },
         {{FaultStep::Open, {"CLS-srca1002", "CLS-srca1003"}},
          {FaultStep::RecordsetOpen, {"CLS-srca1003"}},
          {FaultStep::BeginTrans, {"CLS-srca1003"}},
          {FaultStep::AddNew, {"CLS-srca1004", kRegistration}},
          {FaultStep::Update, {"CLS-srca1004", kRegistration}},
          {FaultStep::CommitTrans, {"CLS-srca1004", kRegistration}}}},
        {"UpScrapInformation",
         [](clsScrapAccess& o) -> std::optional<bool> {
             ScrapInformation s = changedScrap();
             return o.UpScrapInformation(2, s);
         },
         {{FaultStep::Open, {"CLS-srca1002", "CLS-srca1008"}},
          {FaultStep::RecordsetOpen, {"CLS-srca1008"}},
          {FaultStep::BeginTrans, {"CLS-srca1008"}},
          {FaultStep::Update, {"CLS-srca1009"}},
          {FaultStep::CommitTrans, {"CLS-srca1009"}}}},
        {"DelScrapInformation", [](clsScrapAccess& o) -> std::optional<bool> { return o.DelScrapInformation(2); },
         {{FaultStep::Open, {"CLS-srca1002", "CLS-srca1011"}}, {FaultStep::Execute, {"CLS-srca1011"}}}},
        {"UpdateLastDate",
         [](clsScrapAccess& o) -> std::optional<bool> {
             o.UpdateLastDate(2, 0, "");
             return std::nullopt;
         },
         {{FaultStep::Open, {"CLS-srca1002", "CLS-srca1020"}},
          {FaultStep::RecordsetOpen, {"CLS-srca1020"}},
          {FaultStep::Update, {"CLS-srca1020"}}}},
    };
}

struct Outcome {
    std::optional<bool> result;
    bool fileFree = false;  // another program could begin a write right after the call
};

bool writableByOthers(const std::string& connectionString) {
    const std::string path = connectionString.substr(connectionString.find("Data Source=") + 12);
    sqlite3* raw = nullptr;
    const bool opened = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
    const bool free = opened && sqlite3_exec(raw, "BEGIN IMMEDIATE; ROLLBACK;", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(raw);
    return free;
}

Outcome runOn(const WriteCase& c, const std::string& connectionString) {
    auto scrap = createObject<clsScrapAccess>();
    scrap->Initialize(connectionString);
    Outcome out;
    out.result = c.call(*scrap);
    out.fileFree = writableByOthers(connectionString);
    return out;
}

// Report codes, and the registration message by its title (checking its
// text and kind on the way).
Codes boxesOf(const std::vector<MessageRequest>& messages) {
    Codes boxes;
    for (const MessageRequest& m : messages) {
        if (m.title == kRegistration) {
            EXPECT_EQ(m.text, "データを登録中にエラーが発生した為、登録は出来ませんでした。");
            EXPECT_EQ(m.icon, MsgIcon::Information);
            EXPECT_EQ(m.buttons, MsgButtons::OK);
            boxes.push_back(kRegistration);
        } else {
            boxes.push_back(m.text.substr(0, m.text.find("\r\n")));
        }
    }
    return boxes;
}

class ScrapSweep : public ::testing::Test {
protected:
    void SetUp() override {
        db.exec(
            "INSERT INTO T_GROUPING (LABEL) VALUES ('新聞');"
            "INSERT INTO T_SCRAP (LABEL_ID, REG_DATE, ED_DATE, TITLE, BODY, MEMO) VALUES "
            "(1, 45000, 45001, 'one', 'body one', 'memo'), (2, 45002, NULL, 'two', 'body two', NULL);");
    }

    std::filesystem::path file() const {
        const std::string cs = db.connectionString();
        return cs.substr(cs.find("Data Source=") + 12);
    }

    ScratchDatabase db{schema::scrapDdl()};
};

// Two sweeps per write: one failing step at a time, with the boxes exactly
// as the table says; and a disk that stays broken, where from the failing
// step on every step fails, the rollback included (SQLite still ends the
// transaction from its journal; the failure that escapes the rollback is
// reported by the public operation). Either way nothing is half written.
TEST_F(ScrapSweep, EveryFailurePointShowsItsBoxesAndKeepsTheTable) {
    const DatabaseDump before = dumpDatabase(file());
    for (const bool lasting : {false, true}) {
        for (const WriteCase& c : writeCases()) {
            SCOPED_TRACE(std::string(c.name) + (lasting ? ", lasting failure" : ""));
            std::map<FaultStep, int> seen;
            const std::uint64_t points = sweepFailures(
                file(), [&](const std::string& cs) { return runOn(c, cs); },
                [&](const SweepStep<Outcome>& s) {
                    SCOPED_TRACE("step " + std::to_string(s.step));
                    EXPECT_EQ(integrityCheck(s.database), "ok");
                    EXPECT_EQ(s.escaped, "");
                    EXPECT_TRUE(s.result.fileFree);
                    if (!s.fired) {  // the complete run
                        EXPECT_TRUE(s.reports.empty());
                        EXPECT_NE(s.result.result, std::optional<bool>(true));
                        EXPECT_NE(dumpDatabase(s.database), before);
                        return;
                    }
                    ++seen[s.failedCall];
                    const auto expected = c.boxes.find(s.failedCall);
                    ASSERT_NE(expected, c.boxes.end()) << "failing call " << static_cast<int>(s.failedCall);
                    const Codes boxes = boxesOf(s.reports);
                    if (lasting) {
                        ASSERT_FALSE(boxes.empty());
                        EXPECT_EQ(boxes.front(), expected->second.front());
                    } else {
                        EXPECT_EQ(boxes, expected->second);
                    }
                    EXPECT_NE(s.result.result, std::optional<bool>(false));  // True, or no result at all
                    EXPECT_EQ(describeDifference(before, dumpDatabase(s.database)), "");
                },
                {.kind = lasting ? db::FaultKind::DiskFull : db::FaultKind::DiskIo, .sticky = lasting});
            // Every kind of step the table names was reached, once.
            EXPECT_EQ(points, c.boxes.size());
            for (const auto& [step, boxes] : c.boxes) EXPECT_EQ(seen[step], 1) << static_cast<int>(step);
        }
    }
}

}  // namespace
}  // namespace lumo::test
