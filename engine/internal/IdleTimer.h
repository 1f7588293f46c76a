#pragma once
// The process's idle timer: ends the shared read transactions of
// connections that stopped reading (see ReadSnapshot in ConnectionImpl.h).
//
// One thread for the whole process, started by the first watchIdle and
// joined when the process exits or the library is unloaded. It holds weak
// references only and touches a connection's handle only with the
// connection's lock taken by try_lock. watchIdle may be called from any
// thread. A child made by fork() starts its own thread when it first needs
// one.
#include <memory>

namespace lumo::db {

class ReadSnapshot;

// Looks at `snapshot` from now on until its read transaction has ended.
// False when there is no timer (the process is exiting, or no thread could
// be started): the caller asks again with its next read transaction.
bool watchIdle(std::weak_ptr<ReadSnapshot> snapshot);

}  // namespace lumo::db
