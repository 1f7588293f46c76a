#pragma once
// The transaction of one writing routine on the object's connection. Every
// writer of the library commits and rolls back through `committed`, so the
// order is the same everywhere: the routine's steps and the commit run
// under its handler; after a reported failure the open transaction is
// rolled back, and a rollback that fails reaches the caller, whose own
// handler reports it.
//
// Where the transaction begins decides who reports a failing BeginTrans:
// `transacted` begins it under the routine's handler (the failure is the
// routine's own), `begunThenCommitted` just before it (the failure reaches
// the caller, like the routine's opening steps), and `transacted` with a
// `before` step begins it after steps whose writes stand on their own (a
// note's ToDo rows), all under the routine's handler. No writer calls
// BeginTrans itself.
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

// A routine whose transaction begins before its handler: a failing
// BeginTrans reaches the caller.
template <class Body>
bool begunThenCommitted(std::string_view locationCode, db::Connection& cnn, Body&& body) {
    cnn.BeginTrans();
    return committed(locationCode, cnn, std::forward<Body>(body));
}

// A routine whose `before` step runs under its handler outside the
// transaction (its writes stay when `body` then fails); the transaction
// begins after it.
template <class Before, class Body>
bool transacted(std::string_view locationCode, db::Connection& cnn, Before&& before, Body&& body) {
    return committed(locationCode, cnn, [&] {
        std::forward<Before>(before)();
        cnn.BeginTrans();
        std::forward<Body>(body)();
    });
}

}  // namespace lumo::access
