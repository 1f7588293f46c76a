#include "tests/crash/CrashOperations.h"

#include <map>

#include "export/engine/AccessLibrary.h"
#include "platform/db/Recordset.h"
#include "tests/support/DatabaseState.h"
#include "tests/support/FaultSweep.h"

namespace lumo::test::crash {
namespace {

namespace fs = std::filesystem;
using exporter::AccessLibrary;

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
    };
    return operations;
}

}  // namespace lumo::test::crash
