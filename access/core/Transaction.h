#pragma once
// The transaction of one writing routine on the object's connection. Every
// writer of the library commits and rolls back through `committed`, so the
// order is the same everywhere: the routine's steps and the commit run
// under its handler; after a reported failure the open transaction is
// rolled back, and a rollback that fails reaches the caller, whose own
// handler reports it.
//
// The transaction is begun either as the first step of `body` (its failure
// is then the routine's own) or by the caller just before (its failure then
// reaches the caller, like the routine's opening steps).
//
// Inside a batch on the object (LumoBeginBatch, engine/Connection.h) the
// same calls work on a savepoint of the batch's transaction: the commit
// releases it, so the routine's rows wait for the end of the batch, and
// the rollback undoes this routine's rows alone, so that the routines
// before it keep theirs and an operation's own undo (the compensating
// delete of a new person) works as without a batch.
#include <string_view>
#include <utility>

#include "platform/ErrorReport.h"
#include "engine/Connection.h"

namespace lumo::access {

// True when a failure was reported (and the transaction rolled back).
template <class Body>
bool committed(std::string_view locationCode, db::Connection& cnn, Body&& body) {
    const bool failed = reported(locationCode, [&] {
        std::forward<Body>(body)();
        cnn.CommitTrans();
    });
    if (failed && cnn.InTransaction()) cnn.RollbackTrans();
    return failed;
}

// A routine whose transaction begins under its own handler.
template <class Body>
bool transacted(std::string_view locationCode, db::Connection& cnn, Body&& body) {
    return committed(locationCode, cnn, [&] {
        cnn.BeginTrans();
        std::forward<Body>(body)();
    });
}

}  // namespace lumo::access
