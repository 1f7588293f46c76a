#pragma once
// The tables a statement names, read off its tree (JetTree.h), for the
// Date/Time columns of JetDateColumns.h. Internal to the engine.
#include <string_view>
#include <vector>

#include "JetTree.h"
#include "engine/JetDateColumns.h"

namespace lumo::db::tree {

// The tables a statement names (the sources of each FROM clause, as
// FromClause.h reads them, in its subqueries too, and the tables an UPDATE,
// INSERT or DELETE writes), asked whether a name of the statement is a
// Date/Time column. Borrows the
// tree and the lookup: both must outlive it, and the tree stays unchanged
// while it lives. One thread at a time.
class StatementTables {
public:
    StatementTables(const Tree& tree, const DateColumnLookup& isDate);

    // An unqualified name (`qualifier` empty) is a date when some table
    // declares it Date/Time and none declares it otherwise; a qualified one
    // looks only at the tables or aliases so named.
    bool isDate(std::string_view qualifier, std::string_view column) const;

private:
    struct Table {
        std::string_view name;
        std::string_view alias;  // empty when none
    };

    const DateColumnLookup& isDate_;
    std::vector<Table> tables_;
};

}  // namespace lumo::db::tree
