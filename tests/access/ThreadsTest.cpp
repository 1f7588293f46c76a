// Several threads at once, each with objects of its own, reading and
// writing the same database files: the rule the library promises (one
// object per thread at a time, any number of objects). Run under the
// ThreadSanitizer build (scripts/tsan) it also shows any state the
// objects share without a lock.
#include <latch>
#include <thread>

#include "engine/Recordset.h"
#include "tests/access/AccessTestSupport.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;

constexpr int kThreads = 4;
constexpr int kPersonsPerThread = 12;

struct ThreadOutcome {
    int stored = 0;       // persons written and read back equal
    int failures = 0;     // calls that flagged a failure
    int mismatches = 0;   // persons read back different from what was written
    int32_t lastCount = -1;  // rows of this thread seen through the engine at the end
};

// One thread's work: its own person object and its own engine connection
// on the shared files; writes persons, reads each back, deletes every
// second one, reads the groups, counts its rows through the engine.
ThreadOutcome personWork(const std::string& connection, int thread) {
    ThreadOutcome out;
    Ref<clsPidAccess> person = createObject<clsPidAccess>();
    if (!person || person->Initialize(connection)) {
        out.failures = 1;
        return out;
    }
    for (int k = 0; k < kPersonsPerThread; ++k) {
        PersonInformation p;
        p.lngTypeID = 1;
        p.strLastName = "T" + std::to_string(thread);
        p.strFirstName = "P" + std::to_string(k);
        std::vector<PhoneInformation> phones(1);
        phones[0].strPhoneNumber = "03-" + std::to_string(thread) + "-" + std::to_string(k);
        std::vector<MailInformation> mails;
        if (person->SetPersonalInformationEZ(p, phones, mails)) {
            ++out.failures;
            continue;
        }
        const PersonInformation back = person->GetPersonalInformation(p.lngPersonID);
        std::vector<PhoneInformation> backPhones(3);
        if (person->GetPhoneNumberInfo(p.lngPersonID, backPhones)) ++out.failures;
        if (back.strLastName != p.strLastName || back.strFirstName != p.strFirstName || backPhones.size() != 1 ||
            backPhones[0].strPhoneNumber != phones[0].strPhoneNumber)
            ++out.mismatches;
        LabelTable labels;
        person->GetGroupLabel(labels);
        if (labels.empty()) ++out.mismatches;
        if (k % 2 == 1) {
            Long id = p.lngPersonID;
            if (person->DelPersonalInformation(id)) ++out.failures;
        }
        ++out.stored;
    }
    db::Connection cn;
    cn.Open(connection);
    db::Recordset rs;
    rs.Open("SELECT COUNT(*) FROM T_PERSON WHERE LASTNAME = 'T" + std::to_string(thread) + "'", cn, db::adOpenStatic,
            db::adLockReadOnly, db::adCmdText);
    out.lastCount = rs.Fields(0).Value().toLong();
    return out;
}

TEST(Threads, EachThreadWithItsOwnObjectsOnTheSameFiles) {
    ScratchDatabase db{schema::personDdl()};
    db.exec("PRAGMA journal_mode = WAL;");
    RecordingSink sink;
    std::vector<ThreadOutcome> outcomes(kThreads);
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&, t] { outcomes[static_cast<std::size_t>(t)] = personWork(db.connectionString(), t); });
    }
    for (int t = 0; t < kThreads; ++t) {
        SCOPED_TRACE("thread " + std::to_string(t));
        const ThreadOutcome& o = outcomes[static_cast<std::size_t>(t)];
        EXPECT_EQ(o.failures, 0);
        EXPECT_EQ(o.mismatches, 0);
        EXPECT_EQ(o.stored, kPersonsPerThread);
        EXPECT_EQ(o.lastCount, kPersonsPerThread / 2);
    }
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM T_PERSON"), kThreads * kPersonsPerThread / 2);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM T_PHONE"), kThreads * kPersonsPerThread / 2);
    EXPECT_EQ(reportCodes(sink), Codes{});
}

// Reports of several threads at once all reach the recording sink.
TEST(Threads, ReportsOfManyThreadsAreAllRecorded) {
    constexpr int kReports = 200;
    RecordingSink sink;
    {
        std::latch start(kThreads);
        std::vector<std::jthread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&start] {
                Ref<clsPidAccess> person = createObject<clsPidAccess>();
                start.arrive_and_wait();
                for (int k = 0; k < kReports; ++k) person->Initialize(missingDatabase());
            });
    }
    EXPECT_EQ(sink.messages().size(), static_cast<std::size_t>(kThreads * kReports));
}

}  // namespace
}  // namespace lumo::test
