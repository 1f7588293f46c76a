#include "engine/RowStream.h"

#include <vector>

#include "ConnectionImpl.h"
#include "StatementWatch.h"
#include "engine/Connection.h"
#include "platform/Error.h"
#include "platform/FaultInjection.h"

namespace lumo::db {

int RowView::column(std::string_view name) const {
    const auto found = columns_.index.find(std::string(name));
    return found == columns_.index.end() ? -1 : found->second;
}

bool RowView::isNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }

std::string_view RowView::text(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)))
             : std::string_view();
}

int64_t RowView::integer(int column) const { return sqlite3_column_int64(statement_, column); }

void forEachRow(Connection& connection, std::string_view sql, const std::function<bool(const RowView&)>& row,
                const std::vector<std::string>& reads) {
    ConnectionImpl& cn = implOf(connection);
    const auto hold = cn.lockHandle();
    sqlite3* db = cn.handle();
    faultPoint(FaultStep::RecordsetOpen, &cn, cn.path, "SQL 文を実行できません");
    const JetSqlText text = cn.shapes.split(sql);
    if (!cn.inTransaction) cn.snapshot->beforeRead();
    PreparedStatement* prepared = &cn.prepare(text, reads);
    if (!prepared->columns) throw Error("この SQL 文はレコードを返しません。Execute で実行してください。");
    std::vector<std::string> indexQueries;
    if (PreparedStatement* narrowed = cn.narrowedVariant(*prepared, text.literals(), indexQueries))
        prepared = narrowed;
    tellWatcher(sql, *prepared, text.literals(), indexQueries, reads);
    StatementRun run(db, *prepared, text.literals(), indexQueries);
    const RowView view(run.get(), *prepared->columns);
    while (run.step())
        if (!row(view)) return;
}

}  // namespace lumo::db
