// The imported Jet fixtures through the published interface: every person
// with all phones, mails, greetings and children, and every sheet with its
// goods and counterpart, reads whole and as the expected-content files
// list it (Null numbers as 0); both exports run without a report; and a
// person read and saved back unchanged keeps every row.
#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <tuple>

#include "platform/Dates.h"
#include "tests/access/AccessTestSupport.h"
#include "tests/import/ImportTestSupport.h"
#include "tests/import/JsonLines.h"

namespace lumo::test {
namespace {

using namespace LumoAccess;
namespace fs = std::filesystem;

// ------------------------------------------------ the expected rows

using Row = const ExpectedRow*;

const JsonValue& value(Row row, std::string_view column) {
    for (const auto& [name, v] : row->columns)
        if (name == column) return v;
    throw std::runtime_error("no column " + std::string(column) + " in " + row->table);
}
bool isNull(Row row, std::string_view column) { return std::holds_alternative<std::nullptr_t>(value(row, column)); }
std::string text(Row row, std::string_view column) {
    return isNull(row, column) ? std::string() : std::get<std::string>(value(row, column));
}
// Null reads as 0: the rule under test.
int64_t number(Row row, std::string_view column) {
    return isNull(row, column) ? 0 : std::get<std::int64_t>(value(row, column));
}
bool flag(Row row, std::string_view column) { return std::get<bool>(value(row, column)); }
// The sort position of a stored number: Null before every number.
std::optional<int64_t> stored(Row row, std::string_view column) {
    if (isNull(row, column)) return std::nullopt;
    return std::get<std::int64_t>(value(row, column));
}

std::map<std::string, std::vector<Row>> byTable(const std::vector<ExpectedRow>& rows) {
    std::map<std::string, std::vector<Row>> tables;
    for (const ExpectedRow& row : rows) tables[row.table].push_back(&row);
    return tables;
}

std::vector<Row> ofPerson(const std::vector<Row>& rows, int64_t person) {
    std::vector<Row> mine;
    for (Row r : rows)
        if (stored(r, "PERSON_ID") == person) mine.push_back(r);
    return mine;
}

std::string dateText(double automation) {
    const dates::DateTime t = dates::fromAutomation(automation);
    char out[32];
    std::snprintf(out, sizeof out, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
    return out;
}
// A read date against the expected one: Null reads as day 0.
std::string dateOf(Row row, std::string_view column, double read) {
    if (isNull(row, column)) return read == 0 ? "" : "expected 0, read " + dateText(read);
    const std::string expected = text(row, column);
    return dateText(read) == expected ? "" : "expected " + expected + ", read " + dateText(read);
}

// ------------------------------------------------------ the folders

class ImportedRecords : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        imported_ = std::make_unique<ScratchFolder>();
        importInto(fixtureFolder(), imported_->path());
    }
    static void TearDownTestSuite() { imported_.reset(); }
    static std::string connection(const ScratchFolder& folder, const std::string& name) {
        return db::jetConnectionString(folder.data(name).string());
    }
    static std::unique_ptr<ScratchFolder> imported_;
    RecordingSink sink;
};
std::unique_ptr<ScratchFolder> ImportedRecords::imported_;

struct PersonText {
    const char* column;
    String PersonInformation::*field;
};
constexpr PersonText kPersonTexts[] = {
    {"LASTNAME", &PersonInformation::strLastName},       {"LASTALIAS", &PersonInformation::strLastAlias},
    {"FIRSTNAME", &PersonInformation::strFirstName},     {"FIRSTALIAS", &PersonInformation::strFirstAlias},
    {"TITLE", &PersonInformation::strTitle},             {"NICKNAME", &PersonInformation::strNickName},
    {"LABEL1", &PersonInformation::strLabel1},           {"MEMO1", &PersonInformation::strMemo1},
    {"LABEL2", &PersonInformation::strLabel2},           {"MEMO2", &PersonInformation::strMemo2},
    {"LABEL3", &PersonInformation::strLabel3},           {"MEMO3", &PersonInformation::strMemo3},
    {"LABEL4", &PersonInformation::strLabel4},           {"MEMO4", &PersonInformation::strMemo4},
    {"LABEL5", &PersonInformation::strLabel5},           {"MEMO5", &PersonInformation::strMemo5},
    {"LABEL6", &PersonInformation::strLabel6},           {"MEMO6", &PersonInformation::strMemo6},
    {"HOME_ZIP", &PersonInformation::strHomeZip},        {"HOME_ADDRESS1", &PersonInformation::strHomeAddress1},
    {"HOME_ADDRESS2", &PersonInformation::strHomeAddress2}, {"HOME_URL", &PersonInformation::strHomeURL},
    {"ALIAS", &PersonInformation::strAlias},             {"COMPANY", &PersonInformation::strCompany},
    {"CO_POSITION", &PersonInformation::strPosition},    {"CO_SECTION", &PersonInformation::strSection},
    {"OFFICE_ZIP", &PersonInformation::strOfficeZip},    {"OFFICE_ADDRESS1", &PersonInformation::strOfficeAddress1},
    {"OFFICE_ADDRESS2", &PersonInformation::strOfficeAddress2}, {"OFFICE_URL", &PersonInformation::strOfficeURL},
    {"CONSTELLATION", &PersonInformation::strConstellation}, {"BLOOD", &PersonInformation::strBlood},
    {"MATEALIAS", &PersonInformation::strMateAlias},     {"MATE", &PersonInformation::strMate},
    {"HOBBY", &PersonInformation::strHobby},             {"NOTE", &PersonInformation::strNote},
    {"DEFAULT", &PersonInformation::strDefaut},
};

using Contact = std::tuple<Long, std::string, std::string, int64_t, std::string>;  // key, label, value, rank, type

TEST_F(ImportedRecords, EveryPersonReadsWholeWithEveryDependentRow) {
    const auto expected = readJsonLines(fixture("LumoBase.jsonl"));
    auto tables = byTable(expected);
    Ref<clsPidAccess> pid = createObject<clsPidAccess>();
    ASSERT_FALSE(pid->Initialize(connection(*imported_, "LumoBase.mdb")));
    std::size_t phonesRead = 0, nullRanks = 0;
    for (Row person : tables["T_PERSON"]) {
        const Long id = static_cast<Long>(number(person, "PERSON_ID"));
        SCOPED_TRACE("person " + std::to_string(id));
        const PersonInformation p = pid->GetPersonalInformation(id);
        EXPECT_EQ(p.lngPersonID, id);
        EXPECT_EQ(p.lngTypeID, number(person, "TYPE_ID"));
        EXPECT_EQ(p.intAge, number(person, "AGE"));
        EXPECT_EQ(dateOf(person, "BIRTHDAY", p.dyBirthday), "");
        EXPECT_EQ(dateOf(person, "ANNIVERSARY", p.dyAnniversary), "");
        for (const PersonText& t : kPersonTexts) EXPECT_EQ(p.*t.field, text(person, t.column)) << t.column;

        // Phones by ascending RANK (a Null one first), then PHONE_ID.
        std::vector<Row> phoneRows = ofPerson(tables["T_PHONE"], id);
        std::stable_sort(phoneRows.begin(), phoneRows.end(), [](Row a, Row b) {
            return std::pair(stored(a, "RANK"), number(a, "PHONE_ID")) < std::pair(stored(b, "RANK"), number(b, "PHONE_ID"));
        });
        std::vector<Contact> want, got;
        for (Row r : phoneRows) {
            want.emplace_back(number(r, "PHONE_ID"), text(r, "LABEL"), text(r, "TEL_NUMBER"), number(r, "RANK"), text(r, "TYPE"));
            nullRanks += isNull(r, "RANK");
        }
        std::vector<PhoneInformation> phones;
        EXPECT_FALSE(pid->GetPhoneNumberInfo(id, phones));
        for (const PhoneInformation& ph : phones) {
            got.emplace_back(ph.lngPhoneID, ph.strLabel, ph.strPhoneNumber, ph.intRank, ph.strType);
            EXPECT_EQ(ph.lngPersonID, id);
        }
        EXPECT_EQ(got, want) << "phones";
        phonesRead += got.size();

        // Mails by descending RANK (a Null one last); ties in any order.
        std::vector<Row> mailRows = ofPerson(tables["T_EMAIL"], id);
        std::vector<MailInformation> mails;
        EXPECT_FALSE(pid->GetMailAddressInfo(id, mails));
        want.clear();
        got.clear();
        std::vector<std::optional<int64_t>> wantRanks;
        for (Row r : mailRows) {
            want.emplace_back(number(r, "MAIL_ID"), text(r, "LABEL"), text(r, "MAIL_ADDRESS"), number(r, "RANK"), text(r, "TYPE"));
            wantRanks.push_back(stored(r, "RANK"));
        }
        std::sort(wantRanks.rbegin(), wantRanks.rend());
        std::vector<int64_t> gotRanks, wantReadRanks;
        for (const auto& r : wantRanks) wantReadRanks.push_back(r.value_or(0));
        for (const MailInformation& m : mails) {
            got.emplace_back(m.lngMailID, m.strLabel, m.strMailAddress, m.intRank, m.strType);
            gotRanks.push_back(m.intRank);
        }
        EXPECT_EQ(gotRanks, wantReadRanks) << "mail order";
        std::sort(got.begin(), got.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(got, want) << "mails";

        std::vector<GreetingInformation> greetings;
        EXPECT_FALSE(pid->GetGreetingInformation(id, greetings));
        std::vector<std::string> gotGreetings, wantGreetings;
        for (const GreetingInformation& g : greetings)
            gotGreetings.push_back(std::to_string(g.lngGreetingID) + "|" + std::to_string(g.lngYear) + "|" +
                                   std::to_string(g.blnNewYear_Send) + std::to_string(g.blnNewYear_Receive) +
                                   std::to_string(g.blnSummer_Send) + std::to_string(g.blnSummer_Receive) +
                                   std::to_string(g.blnMidYear_Send) + std::to_string(g.blnMidYear_Receive) +
                                   std::to_string(g.blnYearEnd_Send) + std::to_string(g.blnYearEnd_Receive) + "|" +
                                   g.strMemo);
        for (Row r : ofPerson(tables["T_GREETING"], id))
            wantGreetings.push_back(std::to_string(number(r, "GREETING_ID")) + "|" + std::to_string(number(r, "TARGET")) +
                                    "|" + std::to_string(flag(r, "NEWYEAR_SEND")) + std::to_string(flag(r, "NEWYEAR_RECEIVE")) +
                                    std::to_string(flag(r, "SUMMER_SEND")) + std::to_string(flag(r, "SUMMER_RECEIVE")) +
                                    std::to_string(flag(r, "MIDYEAR_SEND")) + std::to_string(flag(r, "MIDYEAR_RECEIVE")) +
                                    std::to_string(flag(r, "YEAREND_SEND")) + std::to_string(flag(r, "YEAREND_RECEIVE")) +
                                    "|" + text(r, "MEMO"));
        std::sort(gotGreetings.begin(), gotGreetings.end());
        std::sort(wantGreetings.begin(), wantGreetings.end());
        EXPECT_EQ(gotGreetings, wantGreetings) << "greetings";

        std::vector<ChildrenInformation> children;
        EXPECT_FALSE(pid->GetChildInformation(id, children));
        std::vector<std::string> gotChildren, wantChildren;
        for (const ChildrenInformation& c : children)
            gotChildren.push_back(std::to_string(c.lngChildID) + "|" + c.strName + "|" + c.strAlias);
        for (Row r : ofPerson(tables["T_CHILDREN"], id))
            wantChildren.push_back(std::to_string(number(r, "CHILD_ID")) + "|" + text(r, "CHILDREN") + "|" + text(r, "ALIAS"));
        std::sort(gotChildren.begin(), gotChildren.end());
        std::sort(wantChildren.begin(), wantChildren.end());
        EXPECT_EQ(gotChildren, wantChildren) << "children";
    }
    EXPECT_EQ(tables["T_PERSON"].size(), 30u);
    EXPECT_GT(phonesRead, 500u);
    EXPECT_GT(nullRanks, 0u) << "the fixture holds Null ranks";
    EXPECT_TRUE(sink.messages().empty()) << sink.messages().front().text;
}

std::map<int64_t, Row> byKey(const std::vector<Row>& rows, std::string_view key) {
    std::map<int64_t, Row> keyed;
    for (Row r : rows) keyed[number(r, key)] = r;
    return keyed;
}

template <class Record>
struct PartyColumns {
    const char* key;
    const char* name;
    const char* link;
    Long Record::*id;
    String Record::*nameField;
    Long Record::*linkField;
    String Record::*alias;
    std::array<std::pair<const char*, String Record::*>, 10> details;
};
constexpr PartyColumns<SupplierInformation> kSupplier{
    "SUPPLIER_ID", "SUPPLIER", "S_LINK_ID", &SupplierInformation::lngSupplierID, &SupplierInformation::strSupplierName,
    &SupplierInformation::lngSupplierLinkID, &SupplierInformation::strSupplierAlias,
    {{{"SLAST_ALIAS", &SupplierInformation::strSupplierLastAlias}, {"SLAST_NAME", &SupplierInformation::strSupplierLastName},
      {"SFIRST_ALIAS", &SupplierInformation::strSupplierFirstAlias}, {"SFIRST_NAME", &SupplierInformation::strSupplierFirstName},
      {"S_ZIP", &SupplierInformation::strSupplierZip}, {"S_ADDRESS1", &SupplierInformation::strSupplierAddress1},
      {"S_ADDRESS2", &SupplierInformation::strSupplierAddress2}, {"S_TEL", &SupplierInformation::strSupplierPhone1},
      {"S_FAX", &SupplierInformation::strSupplierPhone2}, {"S_MAIL", &SupplierInformation::strSupplierMailAddress}}}};
constexpr PartyColumns<CustomerInformation> kCustomer{
    "CUSTOMER_ID", "CUSTOMER", "C_LINK_ID", &CustomerInformation::lngCustomerID, &CustomerInformation::strCustomerName,
    &CustomerInformation::lngCustomerLinkID, &CustomerInformation::strCustomerAlias,
    {{{"CLAST_ALIAS", &CustomerInformation::strCustomerLastAlias}, {"CLAST_NAME", &CustomerInformation::strCustomerLastName},
      {"CFIRST_ALIAS", &CustomerInformation::strCustomerFirstAlias}, {"CFIRST_NAME", &CustomerInformation::strCustomerFirstName},
      {"C_ZIP", &CustomerInformation::strCustomerZip}, {"C_ADDRESS1", &CustomerInformation::strCustomerAddress1},
      {"C_ADDRESS2", &CustomerInformation::strCustomerAddress2}, {"C_TEL", &CustomerInformation::strCustomerPhone1},
      {"C_FAX", &CustomerInformation::strCustomerPhone2}, {"C_MAIL", &CustomerInformation::strCustomerMailAddress}}}};

template <class Record>
void expectParty(const Record& got, Row row, const PartyColumns<Record>& c) {
    EXPECT_EQ(got.*c.id, number(row, c.key));
    EXPECT_EQ(got.*c.linkField, number(row, c.link));
    EXPECT_EQ(got.*c.alias, text(row, "ALIAS"));
    EXPECT_EQ(got.*c.nameField, text(row, c.name));
    for (const auto& [column, field] : c.details) EXPECT_EQ(got.*field, text(row, column)) << column;
}

TEST_F(ImportedRecords, EverySheetReadsWholeWithItsGoodsAndCounterpart) {
    const auto expected = readJsonLines(fixture("iLumoBase.jsonl"));
    auto tables = byTable(expected);
    const auto goods = byKey(tables["T_ITEMS"], "ID");
    const auto suppliers = byKey(tables["T_iSUPPLIER"], "SUPPLIER_ID");
    const auto customers = byKey(tables["T_iCUSTOMER"], "CUSTOMER_ID");
    Ref<clsIidAccess> iid = createObject<clsIidAccess>();
    ASSERT_FALSE(iid->Initialize(connection(*imported_, "iLumoBase.mdb")));
    std::size_t parties = 0;
    for (Row row : tables["T_SHEET"]) {
        const Long id = static_cast<Long>(number(row, "ID"));
        SCOPED_TRACE("sheet " + std::to_string(id));
        SheetInformation s;
        iid->GetSheetInformation(id, s);
        EXPECT_EQ(s.lngSheetID, id);
        EXPECT_EQ(s.intSheetFlag, number(row, "SHEET_ID"));
        EXPECT_EQ(s.lngGoodsID, number(row, "GOODS_ID"));
        EXPECT_EQ(dateOf(row, "SHEET_DATE", s.dyDate), "");
        EXPECT_EQ(s.strNote, text(row, "NOTE"));
        const bool purchase = number(row, "SHEET_ID") == 0;
        if (purchase) {
            EXPECT_EQ(s.lngSupplierID, number(row, "SUPPLIER_ID"));
            EXPECT_EQ(s.lngStockQuantity, number(row, "QUANTITY"));
            EXPECT_EQ(s.lngStockUnitPrice, number(row, "STOCK_UNITPRICE"));
            EXPECT_EQ(s.lngStockAmount, number(row, "STOCK_AMOUNT"));
        } else {
            EXPECT_EQ(s.lngCustomerID, number(row, "CUSTOMER_ID"));
            EXPECT_EQ(s.lngSalesQuantity, number(row, "QUANTITY"));
            EXPECT_EQ(s.lngSalesUnitPrice, number(row, "SALES_UNITPRICE"));
            EXPECT_EQ(s.lngSalesAmount, number(row, "SALES_AMOUNT"));
        }

        if (const auto g = goods.find(s.lngGoodsID); g != goods.end()) {
            GoodsInformation item;
            iid->GetItemInformation(s.lngGoodsID, item);
            EXPECT_EQ(item.lngGoodsID, s.lngGoodsID);
            EXPECT_EQ(item.lngTypeID, number(g->second, "ITYPE_ID"));
            EXPECT_EQ(item.strMakerName, text(g->second, "MAKER"));
            EXPECT_EQ(item.strGoodsAlias, text(g->second, "ITEM_ALIAS"));
            EXPECT_EQ(item.strGoodsName, text(g->second, "ITEM_NAME"));
            EXPECT_EQ(item.strGoodsType, text(g->second, "ITEM_FORM"));
            EXPECT_EQ(item.strGoodsSpec, text(g->second, "ITEM_SPEC"));
            EXPECT_EQ(item.strLabel, isNull(g->second, "MEMO_LABEL1") ? "メモ１：" : text(g->second, "MEMO_LABEL1"));
            EXPECT_EQ(item.strMemo, text(g->second, "MEMO1"));
            EXPECT_EQ(item.strPhotoPath, text(g->second, "PHOTO_PATH"));
        }

        SupplierInformation supplier;
        CustomerInformation customer;
        if (purchase) {
            if (const auto p = suppliers.find(s.lngSupplierID); p != suppliers.end()) {
                iid->GetPersonInformation(s.lngSupplierID, customer, supplier, true);
                expectParty(supplier, p->second, kSupplier);
                ++parties;
            }
        } else if (const auto p = customers.find(s.lngCustomerID); p != customers.end()) {
            iid->GetPersonInformation(s.lngCustomerID, customer, supplier, false);
            expectParty(customer, p->second, kCustomer);
            ++parties;
        }
    }
    EXPECT_EQ(tables["T_SHEET"].size(), 79u);
    EXPECT_EQ(parties, 78u) << "every sheet but the all-Null one has its counterpart";
    EXPECT_TRUE(sink.messages().empty()) << sink.messages().front().text;
}

TEST_F(ImportedRecords, BothExportsRunWithoutAReport) {
    const struct {
        const char* kind;
        const char* records;
    } exports[]{{"person", " 30 件を書き出しました"}, {"goods", " 79 件を書き出しました"}};
    for (const auto& e : exports) {
        SCOPED_TRACE(e.kind);
        const fs::path out = imported_->path() / (std::string(e.kind) + "-whole.csv");
        const RunResult r = runLumo({"export", e.kind, "--out", out.string(), imported_->path().string()});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_NE(r.out.find(e.records), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("読めなかった"), std::string::npos) << r.out;
    }
}

// The rows of the person file as the readers and the update see them:
// Null numbers as 0 and Null texts as "" (the update writes back what was
// read, and stores an empty text as Null); the dependent rows without
// their keys, since the update matches stored rows to the elements by
// position and the readers order phones and mails by rank.
DatabaseDump asRead(const fs::path& file) {
    DatabaseDump dump;
    Db db(file);
    for (const char* table : {"T_GROUPING", "T_PERSON", "T_PHONE", "T_EMAIL", "T_GREETING", "T_CHILDREN", "T_TODOLIST"}) {
        const bool keyed = std::string_view(table) == "T_GROUPING" || std::string_view(table) == "T_PERSON";
        std::string select;
        for (const auto& c : db.rows(std::string("SELECT name, type, pk FROM pragma_table_info('") + table + "')")) {
            if (c[2] == "1" && !keyed) continue;
            const std::string column = "\"" + c[0] + "\"";
            const std::string type = c[1].substr(0, c[1].find(' '));
            std::string expression = column;
            // A date of 0 is "no date": the update stores it as Null, and
            // the readers read both as 0.
            if (type == "LONG" || type == "SHORT" || type == "DATETIME") expression = "COALESCE(" + column + ", 0)";
            else if (type == "TEXT" || type == "MEMO") expression = "COALESCE(" + column + ", '')";
            select += (select.empty() ? "" : " || '|' || ") + std::string("COALESCE(") + expression + ", '<null>')";
        }
        std::vector<std::string>& rows = dump.tables[table];
        for (const auto& r : db.rows("SELECT " + select + " FROM " + table)) rows.push_back(r[0]);
        std::sort(rows.begin(), rows.end());
    }
    return dump;
}

TEST_F(ImportedRecords, EveryPersonSavedBackUnchangedKeepsEveryRow) {
    ScratchFolder folder;
    importInto(fixtureFolder(), folder.path());
    const fs::path file = folder.data("LumoBase.mdb");
    const DatabaseDump before = asRead(file);
    const DatabaseDump exact = dumpDatabase(file);
    const auto expected = readJsonLines(fixture("LumoBase.jsonl"));
    auto tables = byTable(expected);

    struct Person {
        PersonInformation record;
        std::vector<PhoneInformation> phones;
        std::vector<MailInformation> mails;
        std::vector<GreetingInformation> greetings;
        std::vector<ChildrenInformation> children;
    };
    Ref<clsPidAccess> pid = createObject<clsPidAccess>();
    ASSERT_FALSE(pid->Initialize(connection(folder, "LumoBase.mdb")));
    std::vector<Person> persons;
    for (Row person : tables["T_PERSON"]) {
        const Long id = static_cast<Long>(number(person, "PERSON_ID"));
        Person& p = persons.emplace_back();
        p.record = pid->GetPersonalInformation(id);
        pid->GetPhoneNumberInfo(id, p.phones);
        pid->GetMailAddressInfo(id, p.mails);
        pid->GetGreetingInformation(id, p.greetings);
        pid->GetChildInformation(id, p.children);
    }
    EXPECT_EQ(describeDifference(exact, dumpDatabase(file)), "") << "reading changes nothing";
    for (Person& p : persons)
        EXPECT_FALSE(pid->UpPersonalInformation(p.record, p.phones, p.mails, p.greetings, p.children))
            << "person " << p.record.lngPersonID;
    EXPECT_TRUE(sink.messages().empty()) << sink.messages().front().text;
    EXPECT_EQ(describeDifference(before, asRead(file)), "");
    EXPECT_EQ(integrityCheck(file), "ok");
}

}  // namespace
}  // namespace lumo::test
