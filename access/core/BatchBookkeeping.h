#pragma once
// What a database file asks of a batch of the library (access/Batch.cpp)
// beyond its one transaction. The person file's search indexes put their
// updates off while a row is in lumo_search_deferred, and write them all
// when it is deleted (schema/person.sql): the batch inserts the row right
// after its start and deletes it right before its commit, both inside its
// transaction, so no other connection ever sees the row. Files without the
// table (made before it, and the goods and scrap files) get a plain batch.
// Stateless; used on the object's thread, as its connection is.
#include "engine/Connection.h"

namespace lumo::access {

// Begins the batch on `cnn` with the file's bookkeeping. When that fails
// the batch is rolled back and the failure thrown: no batch is open.
void beginBookkeptBatch(db::Connection& cnn);

// Ends it: the file's bookkeeping, then the commit. When either fails,
// nothing of the batch is stored, the batch has ended, and the failure is
// thrown saying so.
void endBookkeptBatch(db::Connection& cnn);

}  // namespace lumo::access
