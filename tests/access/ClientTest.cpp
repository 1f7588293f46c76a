// The library seen from a client: loaded with dlopen, objects created by
// class name, reference counting, Initialize and the error report.
#include "tests/access/AccessTestSupport.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;

TEST(AccessServer, ExportsTheEntryPointsAndCreatesEachClassByName) {
    AccessLibrary& lib = AccessLibrary::instance();
    ASSERT_EQ(lib.loadError(), "");
    for (const char* name :
         {"DllGetClassObject", "DllRegisterServer", "DllUnregisterServer", "DllCanUnloadNow", "DllGetTypeLibrary"})
        EXPECT_NE(lib.symbol(name), nullptr) << name;

    EXPECT_TRUE(createObject<clsPidAccess>());
    EXPECT_TRUE(createObject<clsIidAccess>());
    EXPECT_TRUE(createObject<clsScrapAccess>());

    void* object = &lib;
    EXPECT_EQ(lib.factory()("clsNoSuchAccess", &object), kResultClassNotAvailable);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(lib.factory()(nullptr, &object), kResultClassNotAvailable);
    EXPECT_EQ(lib.factory()("clsPidAccess", nullptr), kResultInvalidPointer);

    EXPECT_EQ(lib.entry<DllRegisterServerProc>("DllRegisterServer")(), kResultOk);
    EXPECT_EQ(lib.entry<DllUnregisterServerProc>("DllUnregisterServer")(), kResultOk);
}

TEST(AccessServer, DescribesItsTypeLibrary) {
    const TypeLibraryInfo* info = AccessLibrary::instance().entry<DllGetTypeLibraryProc>("DllGetTypeLibrary")();
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(info->name, "LumoAccess");
    EXPECT_STREQ(info->description, "LumoBase Access API Library Ver1.2");
}

TEST(AccessServer, CanUnloadOnlyWhileNoObjectLives) {
    auto canUnload = AccessLibrary::instance().entry<DllCanUnloadNowProc>("DllCanUnloadNow");
    RecordingSink sink;
    EXPECT_TRUE(canUnload());
    {
        auto person = createObject<clsPidAccess>();
        EXPECT_FALSE(canUnload());
        auto copy = person;
        person.reset();
        EXPECT_FALSE(canUnload()) << "a copied reference keeps the object alive";
        auto moved = std::move(copy);
        EXPECT_FALSE(canUnload());
    }
    EXPECT_TRUE(canUnload());

    ScratchDatabase db(schema::scrapDdl());
    auto scrap = createObject<clsScrapAccess>();
    EXPECT_EQ(scrap->AddRef(), 2u);
    EXPECT_EQ(scrap->Release(), 1u);
    ASSERT_FALSE(scrap->Initialize(db.connectionString()));
    scrap.reset();  // ends a connected object
    EXPECT_TRUE(canUnload());
    EXPECT_TRUE(sink.messages().empty());
}

// Initialize of each class: False when the file opens, one report with the
// class's own code and True when it does not.
template <class T>
void checkInitialize(std::string_view ddl, const char* failureCode) {
    ScratchDatabase db(ddl);
    RecordingSink sink;
    auto object = createObject<T>();
    ASSERT_TRUE(object);
    EXPECT_FALSE(object->Initialize(db.connectionString()));
    EXPECT_TRUE(sink.messages().empty());

    EXPECT_TRUE(object->Initialize(missingDatabase()));
    EXPECT_EQ(reportCodes(sink), Codes{failureCode});
}

TEST(AccessInitialize, OpensTheDatabaseOrReportsWithTheClassCode) {
    checkInitialize<clsPidAccess>(schema::personDdl(), "CLS-pida1007");
    checkInitialize<clsIidAccess>(schema::itemDdl(), "CLS-iida1002");
    checkInitialize<clsScrapAccess>(schema::scrapDdl(), "CLS-srca1002");
}

TEST(AccessInitialize, TheSecondInitializeReplacesTheConnection) {
    ScratchDatabase first(schema::personDdl());
    ScratchDatabase second(schema::personDdl());
    RecordingSink sink;
    auto person = createObject<clsPidAccess>();
    ASSERT_FALSE(person->Initialize(first.connectionString()));
    ASSERT_FALSE(person->Initialize(second.connectionString()));
    const Long id = person->GetGroupIDEx("二番目");
    EXPECT_GT(id, 0);
    EXPECT_EQ(first.scalar("SELECT COUNT(*) FROM T_GROUPING WHERE LABEL = '二番目'"), 0);
    EXPECT_EQ(second.scalar("SELECT COUNT(*) FROM T_GROUPING WHERE LABEL = '二番目'"), 1);

    // A failed Initialize leaves an unopened connection: nothing works.
    EXPECT_TRUE(person->Initialize(missingDatabase()));
    EXPECT_EQ(person->GetGroupID(), 0);
    EXPECT_EQ(reportCodes(sink), (Codes{"CLS-pida1007", "CLS-pida1035"}));

    // And a later Initialize recovers.
    sink.clear();
    EXPECT_FALSE(person->Initialize(first.connectionString()));
    EXPECT_EQ(person->GetGroupID(), 1);
    EXPECT_TRUE(sink.messages().empty());
}

TEST(AccessInitialize, OperationsBeforeInitializeReportAndReturnNormally) {
    RecordingSink sink;
    auto person = createObject<clsPidAccess>();
    EXPECT_EQ(person->GetGroupID(), 0);
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-pida1035"});

    // The opening routine reports, then the reader, whose first test of
    // the recordset fails; the caller's array is left alone.
    sink.clear();
    std::vector<PhoneInformation> phones(2);
    phones[1].strPhoneNumber = "kept";
    EXPECT_TRUE(person->GetPhoneNumberInfo(1, phones));
    EXPECT_EQ(reportCodes(sink), (Codes{"CLS-pida1005", "CLS-pida1039"}));
    ASSERT_EQ(phones.size(), 2u);
    EXPECT_EQ(phones[1].strPhoneNumber, "kept");

    sink.clear();
    auto item = createObject<clsIidAccess>();
    GoodsInformation goods;
    goods.strGoodsName = "kept";
    item->GetItemInformation(1, goods);
    EXPECT_EQ(goods.strGoodsName, "kept");
    EXPECT_EQ(reportCodes(sink), Codes{"CLS-iida1030"});
}

TEST(AccessInitialize, ReservedIsNeitherReadNorWritten) {
    ScratchDatabase db(schema::personDdl());
    db.exec("INSERT INTO T_PERSON (PERSON_ID, TYPE_ID, LASTNAME) VALUES (4, 1, '佐藤')");
    RecordingSink sink;
    auto person = createObject<clsPidAccess>();
    std::string reserved = "caller's own text";
    EXPECT_FALSE(person->Initialize(db.connectionString(), &reserved));
    EXPECT_EQ(person->GetPersonalInformation(4, &reserved).strLastName, "佐藤");
    std::vector<MailInformation> mails;
    EXPECT_FALSE(person->GetMailAddressInfo(4, mails, &reserved));
    person->DeleteGroup(99, &reserved);
    EXPECT_EQ(reserved, "caller's own text");
    EXPECT_TRUE(sink.messages().empty());
}

}  // namespace
}  // namespace lumo::test
