#include "tools/init/Books.h"

#include <string>

#include "platform/Dates.h"
#include "schema/PersonColumns.h"
#include "schema/ToDoRule.h"
#include "tools/init/RecordRow.h"

namespace lumo::tools {
namespace {

constexpr std::int64_t kTrue = -1;  // Yes/No as the suite stores it
constexpr std::int64_t kFalse = 0;

SqlValue yesNo(bool value) { return value ? kTrue : kFalse; }

std::string quoted(std::string_view name) { return "\"" + std::string(name) + "\""; }

// The column lists of the two party tables, in PartyRecord order.
constexpr std::array<std::string_view, 14> kSupplierColumns{
    "ALIAS", "SUPPLIER", "SLAST_ALIAS", "SLAST_NAME", "SFIRST_ALIAS", "SFIRST_NAME", "S_ZIP",
    "S_ADDRESS1", "S_ADDRESS2", "S_TEL", "S_FAX", "S_MAIL", "S_DEFAULT", "S_LINK_ID"};
constexpr std::array<std::string_view, 14> kCustomerColumns{
    "ALIAS", "CUSTOMER", "CLAST_ALIAS", "CLAST_NAME", "CFIRST_ALIAS", "CFIRST_NAME", "C_ZIP",
    "C_ADDRESS1", "C_ADDRESS2", "C_TEL", "C_FAX", "C_MAIL", "C_DEFAULT", "C_LINK_ID"};

std::int64_t insertParty(TableWriter& writer, const PartyRecord& p) {
    return writer.insert({textOrNull(p.alias), textOrNull(p.name), textOrNull(p.lastAlias),
                          textOrNull(p.lastName), textOrNull(p.firstAlias), textOrNull(p.firstName),
                          textOrNull(p.zip), textOrNull(p.address1), textOrNull(p.address2),
                          textOrNull(p.tel), textOrNull(p.fax), textOrNull(p.mail),
                          textOrNull(p.defaultText), p.linkId});
}

// The library keeps a whole new note long enough for the ToDo list as one
// checked ToDo row of its owner.
void addToDoFor(TableWriter& todo, std::int64_t ownerId, std::string_view note) {
    if (schema::longEnoughForToDo(note)) todo.insert({ownerId, note, kTrue});
}

}  // namespace

GroupTable::GroupTable(Database& db, const GroupTableNames& names)
    : find_(db.prepare("SELECT " + quoted(names.key) + " FROM " + quoted(names.table) + " WHERE " +
                       quoted(names.caption) + " = ? ORDER BY 1 LIMIT 1")),
      all_(db.prepare("SELECT " + quoted(names.key) + " FROM " + quoted(names.table) + " ORDER BY 1")),
      insert_(db, names.table, {names.caption}) {}

std::int64_t GroupTable::ensure(std::string_view caption) {
    find_.bind(1, caption);
    const bool found = find_.step();
    const std::int64_t id = found ? find_.columnInt(0) : 0;
    find_.reset();
    return found ? id : insert_.insert({caption});
}

std::vector<std::int64_t> GroupTable::ids() {
    std::vector<std::int64_t> result;
    while (all_.step()) result.push_back(all_.columnInt(0));
    all_.reset();
    return result;
}

PersonBook::PersonBook(Database& db)
    : groups(db, kPersonGroups),
      person_(db, schema::kPersonTable, columnNames<LumoAccess::PersonInformation>(schema::kPersonColumns)),
      phone_(db, "T_PHONE", {"PERSON_ID", "TYPE", "LABEL", "TEL_NUMBER", "RANK"}),
      mail_(db, "T_EMAIL", {"PERSON_ID", "TYPE", "LABEL", "MAIL_ADDRESS", "RANK"}),
      greeting_(db, "T_GREETING",
                {"PERSON_ID", "TARGET", "NEWYEAR_SEND", "NEWYEAR_RECEIVE", "SUMMER_SEND",
                 "SUMMER_RECEIVE", "MIDYEAR_SEND", "MIDYEAR_RECEIVE", "YEAREND_SEND",
                 "YEAREND_RECEIVE", "MEMO"}),
      child_(db, "T_CHILDREN", {"PERSON_ID", "CHILDREN", "ALIAS"}),
      todo_(db, "T_TODOLIST", {"PERSON_ID", "NOTE", "CHK_FLAG"}) {}

// The sample's fields as the published record, stored through the one
// T_PERSON table; the fields a sample leaves out are Null.
std::int64_t PersonBook::addPerson(const PersonRecord& p) {
    LumoAccess::PersonInformation r;
    r.lngTypeID = static_cast<LumoAccess::Long>(p.typeId);
    r.strLastName = p.lastName;
    r.strLastAlias = p.lastAlias;
    r.strFirstName = p.firstName;
    r.strFirstAlias = p.firstAlias;
    r.strTitle = p.title;
    r.strNickName = p.nickname;
    r.strLabel1 = p.label1;
    r.strMemo1 = p.memo1;
    r.strHomeZip = p.homeZip;
    r.strHomeAddress1 = p.homeAddress1;
    r.strHomeAddress2 = p.homeAddress2;
    r.strHomeURL = p.homeUrl;
    r.strAlias = p.companyAlias;
    r.strCompany = p.company;
    r.strPosition = p.position;
    r.strSection = p.section;
    r.strOfficeZip = p.officeZip;
    r.strOfficeAddress1 = p.officeAddress1;
    r.strOfficeAddress2 = p.officeAddress2;
    r.strOfficeURL = p.officeUrl;
    r.dyBirthday = p.birthday;
    r.intAge = static_cast<LumoAccess::Integer>(p.age);
    r.strConstellation = p.constellation;
    r.strBlood = p.blood;
    r.dyAnniversary = p.anniversary;
    r.strMateAlias = p.mateAlias;
    r.strMate = p.mate;
    r.strHobby = p.hobby;
    r.strNote = p.note;
    r.strDefaut = p.mainAddress;
    const std::int64_t id = person_.insert(rowOf<LumoAccess::PersonInformation>(schema::kPersonColumns, r));
    addToDoFor(todo_, id, p.note);
    return id;
}

void PersonBook::addPhone(const PhoneRecord& r) {
    phone_.insert({r.personId, textOrNull(r.type), textOrNull(r.label), textOrNull(r.number),
                   std::int64_t{r.rank}});
}

void PersonBook::addMail(const MailRecord& r) {
    mail_.insert({r.personId, textOrNull(r.type), textOrNull(r.label), textOrNull(r.number),
                  std::int64_t{r.rank}});
}

void PersonBook::addGreeting(const GreetingRecord& r) {
    const auto& f = r.flags;
    greeting_.insert({r.personId, std::int64_t{r.year}, yesNo(f[0]), yesNo(f[1]), yesNo(f[2]),
                      yesNo(f[3]), yesNo(f[4]), yesNo(f[5]), yesNo(f[6]), yesNo(f[7]),
                      textOrNull(r.memo)});
}

void PersonBook::addChild(const ChildRecord& r) {
    child_.insert({r.personId, textOrNull(r.name), textOrNull(r.alias)});
}

ItemLedger::ItemLedger(Database& db)
    : groups(db, kItemGroups),
      goods_(db, "T_ITEMS",
             {"ITYPE_ID", "MAKER", "ITEM_ALIAS", "ITEM_NAME", "ITEM_FORM", "ITEM_SPEC", "MEMO_LABEL1",
              "MEMO1", "PHOTO_PATH", "NOTE"}),
      supplier_(db, "T_iSUPPLIER", kSupplierColumns),
      customer_(db, "T_iCUSTOMER", kCustomerColumns),
      sheet_(db, "T_SHEET",
             {"SHEET_ID", "GOODS_ID", "SHEET_DATE", "SUPPLIER_ID", "CUSTOMER_ID", "QUANTITY",
              "STOCK_UNITPRICE", "STOCK_AMOUNT", "SALES_UNITPRICE", "SALES_AMOUNT", "NOTE"}),
      todo_(db, "T_TODOLIST", {"SHEET_ID", "NOTE", "CHK_FLAG"}) {}

std::int64_t ItemLedger::addGoods(const GoodsRecord& g) {
    return goods_.insert({g.typeId, textOrNull(g.maker), textOrNull(g.alias), textOrNull(g.name),
                          textOrNull(g.form), textOrNull(g.itemSpec), textOrNull(g.memoLabel),
                          textOrNull(g.memo), textOrNull(g.photoPath), textOrNull(g.note)});
}

std::int64_t ItemLedger::addSupplier(const PartyRecord& s) { return insertParty(supplier_, s); }
std::int64_t ItemLedger::addCustomer(const PartyRecord& c) { return insertParty(customer_, c); }

// A purchase fills the supplier and stock columns, a sale the customer and
// sales columns; QUANTITY serves both.
std::int64_t ItemLedger::addSheet(const SheetRecord& s) {
    const bool sale = s.kind == SheetKind::Sale;
    const SqlValue none = nullptr;
    const std::int64_t id = sheet_.insert(
        {static_cast<std::int64_t>(s.kind), s.goodsId, dateOrNull(s.date), sale ? none : s.partyId,
         sale ? s.partyId : none, s.quantity, sale ? none : s.unitPrice, sale ? none : s.amount,
         sale ? s.unitPrice : none, sale ? s.amount : none, textOrNull(s.note)});
    addToDoFor(todo_, id, s.note);
    return id;
}

ScrapBook::ScrapBook(Database& db)
    : groups(db, kScrapGroups),
      scrap_(db, "T_SCRAP",
             {"LABEL_ID", "REG_DATE", "ED_DATE", "TITLE", "SOURCE", "KEYWORD", "PLACE", "BODY",
              "BODY_PATH", "MEMO"}) {}

std::int64_t ScrapBook::addScrap(const ScrapRecord& s) {
    return scrap_.insert({s.labelId, s.registered != 0 ? s.registered : dates::now(),
                          dateOrNull(s.edited), textOrNull(s.title), textOrNull(s.source),
                          textOrNull(s.keyword), textOrNull(s.place), textOrNull(s.body),
                          textOrNull(s.bodyPath), textOrNull(s.memo)});
}

}  // namespace lumo::tools
