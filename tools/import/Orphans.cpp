#include "tools/import/Orphans.h"

#include <array>
#include <string>

#include "schema/Schema.h"

namespace lumo::tools {
namespace {

struct FileOwnerLink {
    std::string_view file;
    OwnerLink link;
};

constexpr std::array<FileOwnerLink, 7> kOwnerLinks{{
    {schema::kPersonFile, {"T_PHONE", "PERSON_ID", "T_PERSON", "PERSON_ID"}},
    {schema::kPersonFile, {"T_EMAIL", "PERSON_ID", "T_PERSON", "PERSON_ID"}},
    {schema::kPersonFile, {"T_GREETING", "PERSON_ID", "T_PERSON", "PERSON_ID"}},
    {schema::kPersonFile, {"T_CHILDREN", "PERSON_ID", "T_PERSON", "PERSON_ID"}},
    {schema::kPersonFile, {"T_TODOLIST", "PERSON_ID", "T_PERSON", "PERSON_ID"}},
    {schema::kItemFile, {"T_SHEET", "GOODS_ID", "T_ITEMS", "ID"}},
    {schema::kItemFile, {"T_TODOLIST", "SHEET_ID", "T_SHEET", "ID"}},
}};

}  // namespace

const OwnerLink* ownerLinkOf(std::string_view databaseFile, std::string_view table) {
    for (const FileOwnerLink& entry : kOwnerLinks)
        if (entry.file == databaseFile && entry.link.table == table) return &entry.link;
    return nullptr;
}

std::size_t countOrphans(Database& db, const OwnerLink& link) {
    const std::string table(link.table), column(link.column), owner(link.ownerTable), key(link.ownerKey);
    Statement count = db.prepare("SELECT COUNT(*) FROM " + table + " AS C WHERE C." + column + " IS NULL OR NOT EXISTS (SELECT 1 FROM " +
                                 owner + " AS O WHERE O." + key + " = C." + column + ")");
    count.step();
    return static_cast<std::size_t>(count.columnInt(0));
}

}  // namespace lumo::tools
