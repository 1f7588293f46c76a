#include "tests/crash/CrashOperations.h"

#include <map>

#include "client/AccessLibrary.h"
#include "engine/Recordset.h"
#include "tests/support/DatabaseState.h"
#include "tests/support/FaultSweep.h"

namespace lumo::test::crash {
namespace {

namespace fs = std::filesystem;
using client::AccessLibrary;

std::string tag(const char* prefix, int n) { return std::string(prefix) + std::to_string(n); }

// Numbers n of the rows whose `column` reads "<prefix>n", with how many rows each.
std::map<int, int> marked(const fs::path& file, const std::string& table, const std::string& column,
                          const std::string& prefix) {
    std::map<int, int> counts;
    for (const std::string& value :
         queryRows(file, "SELECT " + column + " FROM " + table + " WHERE " + column + " LIKE '" + prefix + "%'"))
        ++counts[std::stoi(value.substr(prefix.size()))];
    return counts;
}

// Every committed write has exactly `rows` rows, every other one 0 or `rows`.
std::string wholeRows(const std::map<int, int>& counts, const std::set<int>& committed, int rows) {
    std::string problems;
    for (int n : committed)
        if (!counts.contains(n)) problems += "committed write " + std::to_string(n) + " is missing; ";
    for (const auto& [n, count] : counts)
        if (count != rows) problems += "write " + std::to_string(n) + " has " + std::to_string(count) + " rows; ";
    return problems;
}

// Rows of `table` marked "<prefix>n" in `column` whose `link` has no row
// in `parent` (a dependent row left without its owner).
std::string orphans(const fs::path& file, const std::string& table, const std::string& column,
                    const std::string& prefix, const std::string& link, const std::string& parent,
                    const std::string& parentKey) {
    const long long count = scalarOf(file, "SELECT COUNT(*) FROM " + table + " WHERE " + column + " LIKE '" + prefix +
                                               "%' AND " + link + " NOT IN (SELECT " + parentKey + " FROM " + parent + ")");
    return count == 0 ? "" : std::to_string(count) + " " + table + " rows without their " + parent + " row; ";
}

// A write made of rows committed one by one (the person and sheet writes):
// a committed write has all of them; a write cut off by the kill may have
// fewer, but a later row never stands without the earlier ones.
std::string committedWhole(const std::map<int, int>& counts, const std::set<int>& committed, int rows,
                           std::string_view what) {
    std::string problems;
    for (int n : committed) {
        const auto it = counts.find(n);
        if (it == counts.end() || it->second != rows)
            problems += "committed " + std::string(what) + " " + std::to_string(n) + " has " +
                        std::to_string(it == counts.end() ? 0 : it->second) + " rows; ";
    }
    for (const auto& [n, count] : counts)
        if (count > rows) problems += std::string(what) + " " + std::to_string(n) + " has too many rows; ";
    return problems;
}

}  // namespace

fs::path personFile(const fs::path& folder) { return folder / "Data" / "LumoBase.mdb"; }
fs::path itemFile(const fs::path& folder) { return folder / "Data" / "iLumoBase.mdb"; }
fs::path scrapFile(const fs::path& folder) { return folder / "Data" / "LumoScrap.mdb"; }

CrashWriter::CrashWriter(const fs::path& folder)
    : persons(AccessLibrary::instance().create<LumoAccess::clsPidAccess>()),
      items(AccessLibrary::instance().create<LumoAccess::clsIidAccess>()),
      scraps(AccessLibrary::instance().create<LumoAccess::clsScrapAccess>()) {
    person.Open(jetConnectionString(personFile(folder)));
    item.Open(jetConnectionString(itemFile(folder)));
    scrap.Open(jetConnectionString(scrapFile(folder)));
    persons->Initialize(jetConnectionString(personFile(folder)));
    items->Initialize(jetConnectionString(itemFile(folder)));
    scraps->Initialize(jetConnectionString(scrapFile(folder)));
}

const std::vector<CrashOperation>& crashOperations() {
    static const std::vector<CrashOperation> operations{
        {"person-execute",
         [](CrashWriter& w, int n) {
             w.person.Execute("INSERT INTO T_PERSON (TYPE_ID, LASTNAME) VALUES (1, '" + tag("crash-", n) + "')");
             return true;
         },
         [](const fs::path& folder, const std::set<int>& committed) {
             return wholeRows(marked(personFile(folder), "T_PERSON", "LASTNAME", "crash-"), committed, 1);
         }},
        {"scrap-addnew",
         [](CrashWriter& w, int n) {
             db::Recordset rs;
             rs.Open("SELECT * FROM T_SCRAP WHERE ID = 0", w.scrap, db::adOpenKeyset, db::adLockOptimistic, db::adCmdText);
             rs.AddNew();
             rs.Fields("TITLE") = db::Variant(tag("crash-", n));
             rs.Update();
             return true;
         },
         [](const fs::path& folder, const std::set<int>& committed) {
             return wholeRows(marked(scrapFile(folder), "T_SCRAP", "TITLE", "crash-"), committed, 1);
         }},
        {"item-pair-transaction",
         [](CrashWriter& w, int n) {
             w.item.BeginTrans();
             for (const char* maker : {"a", "b"})
                 w.item.Execute("INSERT INTO T_ITEMS (ITYPE_ID, MAKER, ITEM_NAME) VALUES (1, '" + std::string(maker) +
                                "', '" + tag("pair-", n) + "')");
             w.item.CommitTrans();
             return true;
         },
         [](const fs::path& folder, const std::set<int>& committed) {
             return wholeRows(marked(itemFile(folder), "T_ITEMS", "ITEM_NAME", "pair-"), committed, 2);
         }},
        {"item-group",
         [](CrashWriter& w, int n) { return w.items->GetGroupIDEx(tag("ig-", n)) > 0; },
         [](const fs::path& folder, const std::set<int>& committed) {
             return wholeRows(marked(itemFile(folder), "T_iGROUPING", "ILABEL", "ig-"), committed, 1);
         }},
        // A scrap group with one member, then DeleteGroup: the member is in
        // its group while the group exists and in the default group (1)
        // once it is gone, never in a deleted group.
        {"scrap-delete-group",
         [](CrashWriter& w, int n) {
             const LumoAccess::Long id = w.scraps->GetGroupIDEx(tag("g-", n));
             if (id <= 0) return false;
             w.scrap.Execute("INSERT INTO T_SCRAP (LABEL_ID, TITLE) VALUES (" + std::to_string(id) + ", '" +
                             tag("member-", n) + "')");
             return !w.scraps->DeleteGroup(id);
         },
         [](const fs::path& folder, const std::set<int>& committed) {
             std::string problems;
             const fs::path file = scrapFile(folder);
             for (const std::string& row : queryRows(file, "SELECT T_SCRAP.TITLE, T_SCRAP.LABEL_ID, T_GROUPING.LABEL_ID "
                                                           "FROM T_SCRAP LEFT JOIN T_GROUPING ON T_GROUPING.LABEL = "
                                                           "'g-' || substr(T_SCRAP.TITLE, 8) WHERE T_SCRAP.TITLE LIKE 'member-%'")) {
                 const auto bar = row.find('|'), bar2 = row.rfind('|');
                 const int n = std::stoi(row.substr(7, bar - 7));
                 const std::string label = row.substr(bar + 1, bar2 - bar - 1), group = row.substr(bar2 + 1);
                 const bool deleted = group == "<null>";
                 if (deleted ? label != "1" : label != group)
                     problems += "member " + std::to_string(n) + " is in group " + label + " (group row " + group + "); ";
                 if (committed.contains(n) && !deleted) problems += "committed deletion " + std::to_string(n) + " undone; ";
             }
             for (int n : committed)
                 if (scalarOf(file, "SELECT COUNT(*) FROM T_SCRAP WHERE TITLE = '" + tag("member-", n) + "'") != 1)
                     problems += "committed member " + std::to_string(n) + " missing; ";
             return problems;
         }},
        // A person with two phones and a mail: the person row and each
        // dependent row commit on their own, so a kill may leave the person
        // with fewer phones, never phones without the person.
        {"person-insert",
         [](CrashWriter& w, int n) {
             LumoAccess::PersonInformation person;
             person.lngTypeID = 1;
             person.strLastName = tag("pi-", n);
             person.strNote = "26/12/24 " + tag("pi-", n) + " 年賀状を出す";
             std::vector<LumoAccess::PhoneInformation> phones(2);
             for (int k = 0; k < 2; ++k) {
                 phones[static_cast<std::size_t>(k)].strPhoneNumber = tag("pi-", n);
                 phones[static_cast<std::size_t>(k)].intRank = static_cast<LumoAccess::Integer>(k + 1);
                 phones[static_cast<std::size_t>(k)].strType = "HOME";
             }
             std::vector<LumoAccess::MailInformation> mails(1);
             mails[0].strMailAddress = tag("pi-", n);
             std::vector<LumoAccess::GreetingInformation> greetings;
             std::vector<LumoAccess::ChildrenInformation> children;
             return !w.persons->SetPersonalInformation(person, phones, mails, greetings, children);
         },
         [](const fs::path& folder, const std::set<int>& committed) {
             const fs::path file = personFile(folder);
             return wholeRows(marked(file, "T_PERSON", "LASTNAME", "pi-"), committed, 1) +
                    committedWhole(marked(file, "T_PHONE", "TEL_NUMBER", "pi-"), committed, 2, "person insert") +
                    committedWhole(marked(file, "T_EMAIL", "MAIL_ADDRESS", "pi-"), committed, 1, "person insert") +
                    orphans(file, "T_PHONE", "TEL_NUMBER", "pi-", "PERSON_ID", "T_PERSON", "PERSON_ID") +
                    orphans(file, "T_EMAIL", "MAIL_ADDRESS", "pi-", "PERSON_ID", "T_PERSON", "PERSON_ID");
         }},
        // The update rewrites person 1 (of the sample data) and its phones
        // with the write's mark; each kind commits on its own, so the check
        // is that person 1 and its phones are whole rows of some write.
        {"person-update",
         [](CrashWriter& w, int n) {
             LumoAccess::PersonInformation person = w.persons->GetPersonalInformation(1);
             if (person.lngPersonID != 1) return false;
             person.strFirstName = tag("pu-", n);
             std::vector<LumoAccess::PhoneInformation> phones;
             std::vector<LumoAccess::MailInformation> mails;
             std::vector<LumoAccess::GreetingInformation> greetings;
             std::vector<LumoAccess::ChildrenInformation> children;
             if (w.persons->GetPhoneNumberInfo(1, phones) || w.persons->GetMailAddressInfo(1, mails) ||
                 w.persons->GetGreetingInformation(1, greetings) || w.persons->GetChildInformation(1, children))
                 return false;
             for (LumoAccess::PhoneInformation& phone : phones) phone.strLabel = tag("pu-", n);
             return !w.persons->UpPersonalInformation(person, phones, mails, greetings, children);
         },
         [](const fs::path& folder, const std::set<int>& committed) {
             const fs::path file = personFile(folder);
             std::string problems;
             const auto names = marked(file, "T_PERSON", "FIRSTNAME", "pu-");
             if (!committed.empty() && names.empty()) problems += "no person update is stored; ";
             // The person row is rewritten before the phones: its mark is
             // never older than the last committed update.
             if (!committed.empty() && !names.empty() && names.rbegin()->first < *committed.rbegin())
                 problems += "the last committed person update is lost; ";
             return problems + orphans(file, "T_PHONE", "LABEL", "pu-", "PERSON_ID", "T_PERSON", "PERSON_ID");
         }},
        // A purchase with new goods and a new supplier: goods, supplier and
        // sheet commit one by one, and a sheet never points at a missing row.
        {"sheet-entry",
         [](CrashWriter& w, int n) {
             LumoAccess::GoodsInformation goods;
             goods.lngTypeID = 1;
             goods.strGoodsName = tag("se-", n);
             LumoAccess::SupplierInformation supplier;
             supplier.strSupplierName = tag("se-", n);
             LumoAccess::CustomerInformation customer;
             LumoAccess::SheetInformation sheet;
             sheet.intSheetFlag = 0;
             sheet.dyDate = 46000;
             sheet.lngStockQuantity = 2;
             sheet.lngStockUnitPrice = 150;
             sheet.lngStockAmount = 300;
             sheet.strNote = tag("se-", n) + " を発注した";
             return !w.items->SetGoodsInformation(goods, supplier, customer, sheet, true);
         },
         [](const fs::path& folder, const std::set<int>& committed) {
             const fs::path file = itemFile(folder);
             std::string problems =
                 wholeRows(marked(file, "T_ITEMS", "ITEM_NAME", "se-"), committed, 1) +
                 wholeRows(marked(file, "T_iSUPPLIER", "SUPPLIER", "se-"), committed, 1) +
                 orphans(file, "T_SHEET", "NOTE", "se-", "GOODS_ID", "T_ITEMS", "ID") +
                 orphans(file, "T_SHEET", "NOTE", "se-", "SUPPLIER_ID", "T_iSUPPLIER", "SUPPLIER_ID");
             return problems + committedWhole(marked(file, "T_SHEET", "NOTE", "se-"), committed, 1, "sheet entry");
         }},
    };
    return operations;
}

}  // namespace lumo::test::crash
