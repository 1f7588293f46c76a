#pragma once
// The statement's tables, for the Date/Time columns of JetDateColumns.h.
// Internal to the engine.
#include <string_view>
#include <vector>

#include "JetTokens.h"
#include "engine/JetDateColumns.h"

namespace lumo::db::detail {

// The tables a statement names (after FROM, JOIN, UPDATE, INTO, in its
// subqueries too), asked whether a name of the statement is a Date/Time
// column. Borrows the tokens and the lookup: both must outlive it, and the
// tokens stay unchanged while it lives. One thread at a time.
class StatementTables {
public:
    StatementTables(const std::vector<Token>& tokens, const DateColumnLookup& isDate);
    // With the places of the tokens that are not white space, in order.
    StatementTables(const std::vector<Token>& tokens, const std::vector<std::size_t>& significant,
                    const DateColumnLookup& isDate);

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

// The places of the tokens that are not white space, in order.
std::vector<std::size_t> significantTokens(const std::vector<Token>& tokens);

}  // namespace lumo::db::detail
