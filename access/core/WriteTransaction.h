#pragma once
// The transaction of a write routine. The routine opens its recordset and
// begins the transaction before its own handler is in force, so a failure
// up to there reaches its caller, whose handler reports it. The steps after
// that run under the routine's handler and are committed together; after a
// failure the routine's report is shown and the transaction rolled back. A
// failed rollback reaches the caller like any failure inside a handler.
#include <string_view>
#include <utility>

#include "platform/ErrorReport.h"
#include "platform/db/Connection.h"

namespace lumo::access {

template <class Steps>
bool transacted(std::string_view locationCode, db::Connection& cnn, Steps&& steps) {
    cnn.BeginTrans();
    const bool failed = reported(locationCode, [&] {
        std::forward<Steps>(steps)();
        cnn.CommitTrans();
    });
    if (failed) cnn.RollbackTrans();
    return failed;
}

}  // namespace lumo::access
