#include "StatementWatch.h"

#include "ConnectionImpl.h"

namespace lumo::db {

namespace watch_detail {

std::atomic<StatementWatcher*> watcher{nullptr};

void tell(StatementWatcher& w, std::string_view jet, const PreparedStatement& run,
          std::span<const SqlLiteral> literals, std::span<const std::string> indexQueries,
          std::span<const std::string> reads) {
    const char* sql = sqlite3_sql(run.statement.get());
    w.seen({jet, sql ? std::string_view(sql) : std::string_view(), literals, indexQueries, reads,
            run.columns != nullptr});
}

}  // namespace watch_detail

void watchStatements(StatementWatcher* w) noexcept { watch_detail::watcher.store(w, std::memory_order_release); }

}  // namespace lumo::db
