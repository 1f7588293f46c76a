// A caller can tell failures apart by the kind of their report
// (LumoGetLastReportKind): each row provokes one failure through the
// published interface, and the kind it must be is written beside it.
#include <unistd.h>

#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "platform/FaultInjection.h"
#include "tests/access/AccessTestSupport.h"
#include "tests/access/BatchEntries.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;

int32_t lastKind() {
    const auto get = AccessLibrary::instance().entry<LumoGetLastReportKindProc>("LumoGetLastReportKind");
    return get ? get() : -1;
}

int32_t lastReportPresent() {
    const char* code = nullptr;
    const char* text = nullptr;
    const auto get = AccessLibrary::instance().entry<LumoGetLastReportProc>("LumoGetLastReport");
    return get ? get(&code, &text) : -1;
}

void clearLastReport() {
    if (auto clear = AccessLibrary::instance().entry<LumoClearLastReportProc>("LumoClearLastReport")) clear();
}

std::string jetOf(const std::string& path) { return db::jetConnectionString(path); }

// Overwrites `bytes` of the file at `offset`, bypassing SQLite.
void patch(const std::filesystem::path& file, std::streamoff offset, const std::string& bytes) {
    std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
    out.seekp(offset);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << file;
}

bool storeSuzuki(clsPidAccess& person) {
    PersonInformation info;
    info.strLastName = "鈴木";
    std::vector<PhoneInformation> phones;
    std::vector<MailInformation> mails;
    return person.SetPersonalInformationEZ(info, phones, mails);
}

// Initializes a person object on `db` and stores one person under the
// fault plan (none when `fault` is empty); true when either call failed.
bool storeWith(const ScratchDatabase& db, std::optional<db::FaultKind> fault) {
    auto person = createObject<clsPidAccess>();
    if (!person) return false;
    if (person->Initialize(db.connectionString())) return true;
    if (!fault) return storeSuzuki(*person);
    db::ScopedFault armed({.failAt = 1, .kind = *fault, .dataSource = db.path().string()});
    return storeSuzuki(*person);
}

bool initializeWith(const std::string& connection) {
    auto person = createObject<clsPidAccess>();
    return person && person->Initialize(connection);
}

struct Provoked {
    const char* failure;
    std::function<bool(ScratchDatabase&)> call;  // the error flag of the failing call
    int32_t kind;
};

const Provoked kProvoked[] = {
    {"a person that is not stored, rewritten",
     [](ScratchDatabase& db) {
         auto person = createObject<clsPidAccess>();
         if (!person || person->Initialize(db.connectionString())) return false;
         PersonInformation info;
         info.lngPersonID = 999;
         info.strLastName = "佐藤";
         std::vector<PhoneInformation> phones;
         std::vector<MailInformation> mails;
         std::vector<GreetingInformation> greetings;
         std::vector<ChildrenInformation> children;
         return person->UpPersonalInformation(info, phones, mails, greetings, children);
     },
     kReportNotFound},
    {"a database file that does not exist",
     [](ScratchDatabase& db) { return initializeWith(jetOf(db.path().string() + ".missing")); }, kReportNotFound},
    {"a second person with the name a unique index holds",
     [](ScratchDatabase& db) {
         db.exec("CREATE UNIQUE INDEX one_last_name ON T_PERSON (LASTNAME)");
         return !storeWith(db, {}) && storeWith(db, {});
     },
     kReportConstraint},
    {"a file another program holds locked (the fault switch)",
     [](ScratchDatabase& db) { return storeWith(db, db::FaultKind::Locked); }, kReportBusy},
    {"a file SQLite may only read (write version 3 in its header)",
     [](ScratchDatabase& db) {
         patch(db.path(), 18, "\x03");
         return storeWith(db, {});
     },
     kReportReadOnly},
    {"a full disk (the fault switch)", [](ScratchDatabase& db) { return storeWith(db, db::FaultKind::DiskFull); },
     kReportDiskFullOrIo},
    {"a disk that fails a write (the fault switch)",
     [](ScratchDatabase& db) { return storeWith(db, db::FaultKind::DiskIo); }, kReportDiskFullOrIo},
    {"a full disk at the end of a batch, which writes the batch's index words (the fault switch)",
     [](ScratchDatabase& db) {
         auto person = createObject<clsPidAccess>();
         if (!person || !beginBatch || !endBatch || person->Initialize(db.connectionString())) return false;
         if (beginBatch(person.get()) != kResultOk || storeSuzuki(*person)) return false;
         db::ScopedFault armed({.failAt = 1,
                                .kind = db::FaultKind::DiskFull,
                                .dataSource = db.path().string(),
                                .onlyStep = db::FaultStep::Execute});
         return endBatch(person.get()) == kResultFailed;
     },
     kReportDiskFullOrIo},
    {"a database whose table of tables is overwritten",
     [](ScratchDatabase& db) {
         patch(db.path(), 100, std::string(400, '\xff'));
         return initializeWith(db.connectionString());
     },
     kReportDamaged},
    {"a text file for a database file",
     [](ScratchDatabase& db) {
         std::ofstream(db.path(), std::ios::trunc | std::ios::binary) << "氏名,電話\n鈴木,03-0000-0000\n";
         return initializeWith(db.connectionString());
     },
     kReportDamaged},
    {"a connection string without a data source",
     [](ScratchDatabase&) { return initializeWith("Provider=Microsoft.Jet.OLEDB.4.0;"); }, kReportBadArgument},
    {"a folder for a database file",
     [](ScratchDatabase& db) { return initializeWith(jetOf(db.path().parent_path().string())); },
     kReportBadArgument},
};

TEST(ReportKind, OfEachProvokedFailure) {
    for (const Provoked& row : kProvoked) {
        SCOPED_TRACE(row.failure);
        ScratchDatabase db(schema::personDdl());
        clearLastReport();
        EXPECT_TRUE(row.call(db)) << "the call reported no failure";
        EXPECT_EQ(lastReportPresent(), kLastReportPresent);
        EXPECT_EQ(lastKind(), row.kind);
        clearLastReport();
    }
}

TEST(ReportKind, IsNoneWithoutAReportAndAfterAClear) {
    ScratchDatabase db(schema::personDdl());
    clearLastReport();
    EXPECT_FALSE(storeWith(db, {}));
    EXPECT_EQ(lastReportPresent(), kLastReportAbsent);
    EXPECT_EQ(lastKind(), kReportNone);
    EXPECT_TRUE(initializeWith("Provider=Microsoft.Jet.OLEDB.4.0;"));
    EXPECT_EQ(lastKind(), kReportBadArgument);
    clearLastReport();
    EXPECT_EQ(lastKind(), kReportNone);
}

}  // namespace
}  // namespace lumo::test
