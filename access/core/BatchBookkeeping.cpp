#include "access/core/BatchBookkeeping.h"

#include <string>
#include <string_view>

#include "engine/BatchWords.h"
#include "engine/Recordset.h"
#include "platform/Error.h"

namespace lumo::access {
namespace {

constexpr std::string_view kMarkerTable = "lumo_search_deferred";
constexpr std::string_view kAtStart = "INSERT INTO lumo_search_deferred (BATCH) VALUES (1)";
constexpr std::string_view kBeforeCommit = "DELETE FROM lumo_search_deferred";

bool deferringIndexes(db::Connection& cnn) {
    db::Recordset rs;
    rs.Open("SELECT COUNT(*) FROM sqlite_schema WHERE type = 'table' AND name = '" + std::string(kMarkerTable) + "'",
            cnn);
    return !rs.Eof() && rs.Fields(0).Value().toLong() > 0;
}

}  // namespace

void beginBookkeptBatch(db::Connection& cnn) {
    cnn.BeginBatch();
    try {
        if (deferringIndexes(cnn)) cnn.Execute(kAtStart, db::adExecuteNoRecords);
    } catch (const std::exception&) {
        cnn.CancelBatch();
        throw;
    }
}

void endBookkeptBatch(db::Connection& cnn) {
    try {
        if (deferringIndexes(cnn)) cnn.Execute(kBeforeCommit, db::adExecuteNoRecords);
    } catch (const std::exception& e) {
        std::string failure = e.what();
        // A batch the database engine already rolled back says so itself.
        if (failure.find(db::kBatchNothingStored) == std::string::npos)
            failure += "。" + std::string(db::kBatchNothingStored);
        const auto* known = dynamic_cast<const Error*>(&e);
        cnn.CancelBatch();
        throw Error(failure, known ? known->kind() : ReportKind::Other);
    }
    cnn.EndBatch();
}

}  // namespace lumo::access
