// The five group operations, run against each of the three classes and
// their databases.
#include <algorithm>
#include <set>

#include "tests/access/AccessTestSupport.h"
#include "tests/access/GroupClasses.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;

template <class T>
class GroupTest : public ::testing::Test {
protected:
    using C = GroupClass<T>;

    void SetUp() override {
        ASSERT_FALSE(object->Initialize(db.connectionString()));
        // The DDL brings the default group "未分類" with identifier 1.
        db.exec(std::string("INSERT INTO ") + C::table + " (" + C::caption + ") VALUES ('友人'), ('仕事'), ('趣味')");
    }

    std::string where(const std::string& condition) const { return std::string(" FROM ") + C::table + " WHERE " + condition; }
    long long groupCount() { return db.scalar(std::string("SELECT COUNT(*) FROM ") + C::table); }
    long long idOf(const std::string& caption) {
        return db.scalar(std::string("SELECT ") + C::key + where(std::string(C::caption) + " = '" + caption + "'"));
    }
    void addMembers(Long group, int count) {
        for (int i = 0; i < count; ++i)
            db.exec(std::string("INSERT INTO ") + C::members + " (" + C::memberKey + ") VALUES (" +
                    std::to_string(group) + ")");
    }
    long long membersOf(Long group) {
        return db.scalar(std::string("SELECT COUNT(*) FROM ") + C::members + " WHERE " + C::memberKey + " = " +
                         std::to_string(group));
    }

    ScratchDatabase db{C::ddl()};
    RecordingSink sink;
    Ref<T> object = createObject<T>();
};

TYPED_TEST_SUITE(GroupTest, GroupClasses);

TYPED_TEST(GroupTest, GroupingLabelAndDefaultGroup) {
    using C = typename TestFixture::C;
    EXPECT_EQ(this->object->GetGroupingLabel(), std::string("SELECT * FROM ") + C::table);
    EXPECT_EQ(this->object->GetGroupID(), 1);

    // Without a default row the answer is 0, and that is no failure.
    this->db.exec(std::string("UPDATE ") + C::table + " SET \"DEFAULT\" = 0");
    EXPECT_EQ(this->object->GetGroupID(), 0);
    EXPECT_TRUE(this->sink.messages().empty());
}

TYPED_TEST(GroupTest, GroupIDExFindsOrAddsTheGroupOfACaption) {
    auto& o = *this->object;
    EXPECT_EQ(o.GetGroupIDEx("仕事"), this->idOf("仕事"));
    EXPECT_EQ(this->groupCount(), 4);

    const Long added = o.GetGroupIDEx("家族");
    EXPECT_EQ(added, this->idOf("家族"));
    EXPECT_EQ(this->groupCount(), 5);
    EXPECT_EQ(o.GetGroupIDEx("家族"), added);
    EXPECT_EQ(this->groupCount(), 5);
    EXPECT_EQ(o.GetGroupID(), 1) << "a new group is not the default";

    // An empty caption means the group "なし", made on first use.
    const Long none = o.GetGroupIDEx("");
    EXPECT_EQ(none, this->idOf("なし"));
    EXPECT_EQ(o.GetGroupIDEx(""), none);
    EXPECT_EQ(o.GetGroupIDEx("なし"), none);
    EXPECT_EQ(this->groupCount(), 6);

    // Quotes are part of the caption, not of the statement.
    const Long quoted = o.GetGroupIDEx("O'Brien's");
    EXPECT_GT(quoted, 0);
    EXPECT_EQ(o.GetGroupIDEx("O'Brien's"), quoted);
    EXPECT_EQ(this->groupCount(), 7);
    // Wildcards keep no special meaning under '='.
    EXPECT_NE(o.GetGroupIDEx("%"), o.GetGroupIDEx("_"));
    EXPECT_TRUE(this->sink.messages().empty());
}

// Captions that would end the statement's literal, or mean something in
// a pattern or a name, are stored and found as written; the members stay.
TYPED_TEST(GroupTest, GroupIDExTakesCaptionsAsTheyAreWritten) {
    using C = typename TestFixture::C;
    auto& o = *this->object;
    this->addMembers(1, 2);
    const std::string captions[] = {"O'Brien", std::string("'); DELETE FROM ") + C::members + "; --", "[x]", "%",
                                    "a''b", "'"};
    std::set<Long> ids;
    for (const std::string& caption : captions) {
        const Long id = o.GetGroupIDEx(caption);
        EXPECT_GT(id, 0) << caption;
        EXPECT_EQ(o.GetGroupIDEx(caption), id) << caption;
        EXPECT_EQ(this->db.column(std::string("SELECT ") + C::caption + " FROM " + C::table + " WHERE " + C::key +
                                  " = " + std::to_string(id)),
                  std::vector<std::string>{caption});
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 6u);
    EXPECT_EQ(this->groupCount(), 4 + 6);
    EXPECT_EQ(this->membersOf(1), 2);
    EXPECT_TRUE(this->sink.messages().empty());
}

TYPED_TEST(GroupTest, GroupLabelReplacesTheTableByTheGroups) {
    using C = typename TestFixture::C;
    LabelTable labels(10, {"old", "old"});
    EXPECT_FALSE(C::groupLabel(*this->object, labels));
    ASSERT_EQ(labels.size(), 4u);
    // Groups come in the engine's order; compare them as (identifier, caption) pairs.
    auto expected = this->db.column(std::string("SELECT ") + C::key + " || '|' || " + C::caption + " FROM " + C::table);
    std::vector<std::string> got;
    for (const auto& row : labels) got.push_back(row[0] + "|" + row[1]);
    std::sort(expected.begin(), expected.end());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, expected);
    EXPECT_EQ(got[0], "1|未分類");
    EXPECT_TRUE(this->sink.messages().empty());
}

TYPED_TEST(GroupTest, GroupLabelLeavesTheTableAloneWithoutGroups) {
    using C = typename TestFixture::C;
    this->db.exec(std::string("DELETE FROM ") + C::table);
    LabelTable labels;
    EXPECT_FALSE(C::groupLabel(*this->object, labels));
    EXPECT_TRUE(labels.empty()) << "stays without dimensions";
    LabelTable given(2, {"9", "given"});
    EXPECT_FALSE(C::groupLabel(*this->object, given));
    EXPECT_EQ(given, LabelTable(2, {"9", "given"}));
    EXPECT_TRUE(this->sink.messages().empty());
}

// A Null caption reads as an empty one, as every Null text does; the
// list goes on past it.
TYPED_TEST(GroupTest, GroupLabelListsANullCaptionAsEmpty) {
    using C = typename TestFixture::C;
    LabelTable before;
    C::groupLabel(*this->object, before);
    this->db.exec(std::string("UPDATE ") + C::table + " SET " + C::caption + " = NULL WHERE " + C::key + " = 3");
    LabelTable labels;
    EXPECT_FALSE(C::groupLabel(*this->object, labels));
    EXPECT_TRUE(this->sink.messages().empty());
    ASSERT_EQ(labels.size(), before.size()) << "every group is listed";
    for (std::size_t k = 0; k < labels.size(); ++k) {
        EXPECT_EQ(labels[k][0], before[k][0]);
        EXPECT_EQ(labels[k][1], labels[k][0] == "3" ? "" : before[k][1]) << labels[k][0];
    }
    EXPECT_GT(before.size(), 3u) << "groups after the one without a caption";
}

TYPED_TEST(GroupTest, DeleteGroupMovesItsMembersToTheDefaultGroup) {
    using C = typename TestFixture::C;
    const Long work = static_cast<Long>(this->idOf("仕事"));
    this->addMembers(work, 3);
    this->addMembers(2, 1);
    EXPECT_FALSE(C::deleteGroup(*this->object, work));
    EXPECT_TRUE(this->sink.messages().empty());
    EXPECT_EQ(this->idOf("仕事"), -1) << "the group row is gone";
    EXPECT_EQ(this->membersOf(work), 0);
    EXPECT_EQ(this->membersOf(1), 3);
    EXPECT_EQ(this->membersOf(2), 1) << "other groups keep their members";
}

TYPED_TEST(GroupTest, DeleteGroupRefusesTheDefaultGroup) {
    using C = typename TestFixture::C;
    this->addMembers(1, 2);
    EXPECT_EQ(C::deleteGroup(*this->object, 1), C::flags);
    const Codes codes = reportCodes(this->sink);
    EXPECT_EQ(codes, Codes{C::deleteCode});
    EXPECT_NE(this->sink.messages().at(0).text.find("既定のグループ"), std::string::npos);
    EXPECT_EQ(this->groupCount(), 4);
    EXPECT_EQ(this->membersOf(1), 2);
    EXPECT_EQ(this->object->GetGroupID(), 1);
}

TYPED_TEST(GroupTest, DeleteGroupWithoutADefaultGroupChangesNothing) {
    using C = typename TestFixture::C;
    this->db.exec(std::string("UPDATE ") + C::table + " SET \"DEFAULT\" = 0");
    this->addMembers(2, 2);
    EXPECT_EQ(C::deleteGroup(*this->object, 2), C::flags);
    EXPECT_EQ(reportCodes(this->sink), Codes{C::deleteCode});
    EXPECT_NE(this->sink.messages().at(0).text.find("既定のグループがありません"), std::string::npos)
        << "says why, not what the cursor found: " << this->sink.messages().at(0).text;
    EXPECT_EQ(this->groupCount(), 4);
    EXPECT_EQ(this->membersOf(2), 2);
}

TYPED_TEST(GroupTest, FailuresReturnZeroWithOneReport) {
    using C = typename TestFixture::C;
    auto fresh = createObject<TypeParam>();
    EXPECT_EQ(fresh->GetGroupIDEx("友人"), 0);
    EXPECT_EQ(fresh->GetGroupID(), 0);
    EXPECT_EQ(reportCodes(this->sink), (Codes{C::groupIDExCode, C::groupIDCode}));
}

}  // namespace
}  // namespace lumo::test
