#pragma once
// Rows that point at no owner: dependent rows of a deleted (or never
// given) person or sheet, and sheets whose goods are gone. The import
// keeps them as they are and counts them, so that the user knows.
#include <cstddef>
#include <string_view>

#include "tools/init/Sqlite.h"

namespace lumo::tools {

// The owner of `table`'s rows, found through `column` = `ownerTable`.`ownerKey`.
struct OwnerLink {
    std::string_view table, column, ownerTable, ownerKey;
};

// The owner link of a table of this database file, or nullptr.
const OwnerLink* ownerLinkOf(std::string_view databaseFile, std::string_view table);

// Rows of link.table whose owner column is Null or names no owner row.
std::size_t countOrphans(Database& db, const OwnerLink& link);

}  // namespace lumo::tools
