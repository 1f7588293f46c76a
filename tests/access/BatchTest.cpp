// Batches on an access object (LumoBeginBatch, LumoEndBatch,
// LumoCancelBatch): a failed person inside a batch leaves the others, a
// failed end stores nothing and says so, and begins and ends that do not
// pair are refused with their own results and a report.
#include "platform/FaultInjection.h"
#include "tests/access/BatchEntries.h"
#include "tests/access/PersonWriteSupport.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;

class PersonBatch : public PersonFixture {
protected:
    // A person with two phones and a mail; true when the library failed.
    bool add(const std::string& lastName) {
        PersonInformation p;
        p.strLastName = lastName;
        std::vector<PhoneInformation> phones = {phone("03-1"), phone("090-2", "携帯")};
        std::vector<MailInformation> mails = {mail(lastName + "@example.jp")};
        std::vector<GreetingInformation> greetings;
        std::vector<ChildrenInformation> children;
        return person->SetPersonalInformation(p, phones, mails, greetings, children);
    }
    std::vector<std::string> names() { return db.column("SELECT LASTNAME FROM T_PERSON ORDER BY PERSON_ID"); }
    // Rows of no person, and persons without their three rows.
    long long broken() {
        return count("T_PHONE", "PERSON_ID NOT IN (SELECT PERSON_ID FROM T_PERSON)") +
               count("T_EMAIL", "PERSON_ID NOT IN (SELECT PERSON_ID FROM T_PERSON)") +
               count("T_PERSON", "(SELECT COUNT(*) FROM T_PHONE q WHERE q.PERSON_ID = T_PERSON.PERSON_ID) <> 2 OR "
                                 "(SELECT COUNT(*) FROM T_EMAIL m WHERE m.PERSON_ID = T_PERSON.PERSON_ID) <> 1");
    }
    // The person object's own steps of one kind fail, from the n-th on.
    db::FaultPlan failing(db::FaultStep step, std::uint64_t n = 1) {
        return {.failAt = n, .dataSource = db.path().string(), .onlyStep = step};
    }

    RecordingSink sink;
};

TEST_F(PersonBatch, AFailedPersonLeavesTheOthersAndTheEndStoresThemAtOnce) {
    ASSERT_EQ(beginBatch(person.get()), kResultOk);
    EXPECT_FALSE(add("一"));
    {
        // Its second phone's row: the phones, the mail and the person go.
        db::ScopedFault fault(failing(db::FaultStep::Update, 3));
        EXPECT_TRUE(add("二"));
    }
    {
        // Its person row's commit.
        db::ScopedFault fault(failing(db::FaultStep::CommitTrans));
        EXPECT_TRUE(add("三"));
    }
    EXPECT_FALSE(add("四"));
    EXPECT_EQ(names(), std::vector<std::string>{}) << "nothing is visible to others before the end";
    EXPECT_EQ(reportCodes(sink), (Codes{"CLS-piad1011", "CLS-pida1010"}));
    ASSERT_EQ(endBatch(person.get()), kResultOk);
    EXPECT_EQ(names(), (std::vector<std::string>{"一", "四"}));
    EXPECT_EQ(broken(), 0);
    EXPECT_EQ(sink.messages().size(), 2u);
}

TEST_F(PersonBatch, AFailedEndStoresNothingAndSaysSo) {
    ASSERT_EQ(beginBatch(person.get()), kResultOk);
    EXPECT_FALSE(add("一"));
    EXPECT_FALSE(add("二"));
    {
        db::ScopedFault fault(failing(db::FaultStep::CommitTrans));
        EXPECT_EQ(endBatch(person.get()), kResultFailed);
    }
    EXPECT_EQ(names(), std::vector<std::string>{});
    EXPECT_EQ(count("T_PHONE") + count("T_EMAIL"), 0);
    ASSERT_EQ(reportCodes(sink), Codes{"LUMO-batch1002"});
    EXPECT_NE(sink.messages()[0].text.find("一括処理の書き込みはどれも保存されていません"), std::string::npos)
        << sink.messages()[0].text;
    // The batch has ended: the object writes on its own again.
    EXPECT_EQ(endBatch(person.get()), kResultNoBatch);
    EXPECT_FALSE(add("三"));
    EXPECT_EQ(names(), std::vector<std::string>{"三"});
}

TEST_F(PersonBatch, CancelAndReleaseStoreNothing) {
    ASSERT_EQ(beginBatch(person.get()), kResultOk);
    EXPECT_FALSE(add("一"));
    EXPECT_EQ(cancelBatch(person.get()), kResultOk);
    ASSERT_EQ(beginBatch(person.get()), kResultOk);
    EXPECT_FALSE(add("二"));
    person.reset();
    EXPECT_EQ(names(), std::vector<std::string>{});
    EXPECT_TRUE(sink.messages().empty());
}

// Without a batch every person is committed on its own, as before.
TEST_F(PersonBatch, WithoutABatchAFailedPersonIsRemovedAlone) {
    EXPECT_FALSE(add("一"));
    {
        db::ScopedFault fault(failing(db::FaultStep::Update, 3));
        EXPECT_TRUE(add("二"));
    }
    EXPECT_EQ(names(), std::vector<std::string>{"一"});
    EXPECT_EQ(broken(), 0);
}

// Calls in a row on one object and the result of each.
struct Refusal {
    const char* what;
    std::vector<std::pair<LumoBatchProc, int32_t>> calls;
    Codes reports;
};

TEST_F(PersonBatch, UnpairedBeginsAndEndsAreRefused) {
    const Refusal cases[] = {
        {"nested begin", {{beginBatch, kResultOk}, {beginBatch, kResultBatchOpen}, {endBatch, kResultOk}},
         {"LUMO-batch1001"}},
        {"end without begin", {{endBatch, kResultNoBatch}}, {"LUMO-batch1002"}},
        {"cancel without begin", {{cancelBatch, kResultNoBatch}}, {"LUMO-batch1003"}},
        {"end twice", {{beginBatch, kResultOk}, {endBatch, kResultOk}, {endBatch, kResultNoBatch}}, {"LUMO-batch1002"}},
        {"end after cancel", {{beginBatch, kResultOk}, {cancelBatch, kResultOk}, {endBatch, kResultNoBatch}},
         {"LUMO-batch1002"}},
    };
    for (const Refusal& c : cases) {
        RecordingSink mine;
        for (const auto& [call, expected] : c.calls) EXPECT_EQ(call(person.get()), expected) << c.what;
        EXPECT_EQ(reportCodes(mine), c.reports) << c.what;
    }
    RecordingSink mine;
    EXPECT_EQ(beginBatch(nullptr), kResultInvalidPointer);
    EXPECT_EQ(endBatch(nullptr), kResultInvalidPointer);
    EXPECT_EQ(reportCodes(mine), (Codes{"LUMO-batch1001", "LUMO-batch1002"}));
    // An object without a connection cannot begin one.
    auto fresh = createObject<clsPidAccess>();
    EXPECT_EQ(beginBatch(fresh.get()), kResultFailed);
    EXPECT_EQ(names(), std::vector<std::string>{});
}

// Every class batches: a group made inside a cancelled batch is gone.
template <class T>
void groupInCancelledBatch(std::string_view ddl, const std::string& table) {
    ScratchDatabase db(ddl);
    RecordingSink sink;
    auto object = createObject<T>();
    ASSERT_FALSE(object->Initialize(db.connectionString()));
    const long long before = db.scalar("SELECT COUNT(*) FROM " + table);
    ASSERT_EQ(beginBatch(object.get()), kResultOk);
    EXPECT_GT(object->GetGroupIDEx("一括"), 0);
    EXPECT_EQ(cancelBatch(object.get()), kResultOk);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM " + table), before);
    ASSERT_EQ(beginBatch(object.get()), kResultOk);
    EXPECT_GT(object->GetGroupIDEx("一括"), 0);
    EXPECT_EQ(endBatch(object.get()), kResultOk);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM " + table), before + 1);
    EXPECT_TRUE(sink.messages().empty());
}

TEST(Batch, EveryClassBatches) {
    groupInCancelledBatch<clsPidAccess>(schema::personDdl(), "T_GROUPING");
    groupInCancelledBatch<clsIidAccess>(schema::itemDdl(), "T_iGROUPING");
    groupInCancelledBatch<clsScrapAccess>(schema::scrapDdl(), "T_GROUPING");
}

}  // namespace
}  // namespace lumo::test
