// DeleteGroup of each class with a failure at every engine step: one
// report under the operation's code, the class's error flag, and either
// the old state or the group deleted with its members moved, never the
// members moved out of a group that stays.
#include "tests/access/AccessTestSupport.h"
#include "tests/access/GroupClasses.h"
#include "tests/support/FaultSweep.h"

namespace lumo::test {
namespace {

template <class T>
class GroupSweepTest : public ::testing::Test {
protected:
    using C = GroupClass<T>;

    void SetUp() override {
        db.exec(std::string("INSERT INTO ") + C::table + " (" + C::caption + ") VALUES ('友人'), ('仕事')");
        for (const char* group : {"2", "2", "3", "1"})
            db.exec(std::string("INSERT INTO ") + C::members + " (" + C::memberKey + ") VALUES (" + group + ")");
    }

    // Creates and initialises an object outside the sweep, then deletes group 2.
    static bool deleteGroupTwo(const std::string& connectionString) {
        auto object = createObject<T>();
        {
            db::FaultPause setup;
            if (object->Initialize(connectionString)) return false;
        }
        return C::deleteGroup(*object, 2);
    }

    ScratchDatabase db{C::ddl()};
};

TYPED_TEST_SUITE(GroupSweepTest, GroupClasses);

TYPED_TEST(GroupSweepTest, EveryFailureLeavesTheOldStateWithOneReport) {
    using C = typename TestFixture::C;
    const std::filesystem::path original = this->db.path();
    const DatabaseDump before = dumpDatabase(original);
    std::vector<db::FaultStep> failed;
    bool completed = false;
    const std::uint64_t points = sweepFailures(
        original, &TestFixture::deleteGroupTwo,
        [&](const SweepStep<bool>& s) {
            SCOPED_TRACE("step " + std::to_string(s.step));
            EXPECT_EQ(integrityCheck(s.database), "ok");
            const DatabaseDump state = s.dump();
            if (s.fired) {
                failed.push_back(s.failedCall);
                EXPECT_EQ(s.result, C::flags);
                EXPECT_EQ(s.reportCodes(), Codes{C::deleteCode});
                EXPECT_EQ(describeDifference(before, state), "");
            } else {
                completed = true;
                EXPECT_FALSE(s.result);
                EXPECT_TRUE(s.reports.empty());
                EXPECT_EQ(state.tables.at(C::table).size(), before.tables.at(C::table).size() - 1);
                const std::string members = std::string("SELECT COUNT(*) FROM ") + C::members + " WHERE " + C::memberKey;
                EXPECT_EQ(scalarOf(s.database, members + " = 1"), 3);
                EXPECT_EQ(scalarOf(s.database, members + " = 2"), 0);
                EXPECT_EQ(scalarOf(s.database, std::string("SELECT COUNT(*) FROM ") + C::table + " WHERE " + C::key + " = 2"), 0);
            }
        });
    EXPECT_TRUE(completed);
    // The default group's lookup, then the transaction of the two writes.
    EXPECT_EQ(points, 5u);
    EXPECT_EQ(failed, (std::vector<db::FaultStep>{db::FaultStep::RecordsetOpen, db::FaultStep::BeginTrans,
                                                  db::FaultStep::Execute, db::FaultStep::Execute,
                                                  db::FaultStep::CommitTrans}));
}

}  // namespace
}  // namespace lumo::test
