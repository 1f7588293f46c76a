#pragma once
// ADO-style connection to one database file of the suite, served by SQLite.
// Accepts Jet connection strings ("Provider=Microsoft.Jet.OLEDB.4.0;...") and Jet-dialect
// SQL; see JetSql.h for the translation.
//
// Threads: a connection, and every recordset opened on it, is used by one
// thread at a time (the SQLite handle is opened without its own mutex).
// Different connections may be used on different threads at once, on the
// same file or on different ones. Besides, the process's idle timer thread
// ends a connection's shared read transaction when it has not read for a
// while. It touches the handle only under the connection's lock, which
// every call that uses the handle takes, and skips a connection in use, so
// callers need not care.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/Variant.h"

namespace lumo::db {

// Connection and Recordset option values, as the callers spell them.
enum CursorTypeEnum { adOpenForwardOnly = 0, adOpenKeyset = 1, adOpenDynamic = 2, adOpenStatic = 3 };
enum LockTypeEnum { adLockReadOnly = 1, adLockPessimistic = 2, adLockOptimistic = 3, adLockBatchOptimistic = 4 };
enum CommandTypeEnum { adCmdUnspecified = -1, adCmdText = 1, adCmdTable = 2, adCmdUnknown = 8 };
enum ExecuteOptionEnum { adExecuteNoRecords = 128 };
enum AffectEnum { adAffectCurrent = 1 };

inline constexpr std::string_view kJetProvider = "Microsoft.Jet.OLEDB.4.0";

class Recordset;
struct ConnectionImpl;

// Owns the SQLite handle and its statement cache. Recordsets opened on it
// share its internals: destroying or closing the connection first leaves
// them unable to read or write (they fail with a description), never
// dangling.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<path>" ('\' maps to '/').
    // Never creates a file. Throws lumo::Error with a distinct description
    // for a missing file, an unknown provider, a file that is not one of
    // the suite's databases, and a file written by the Windows Jet engine.
    void Open(std::string_view connectionString, std::string_view userId = {},
              std::string_view password = {}, int options = -1);
    void Close();
    bool IsOpen() const;

    // Runs a statement that returns no rows; returns the rows it changed.
    int32_t Execute(std::string_view sql, int options = -1);

    // One level of transaction; nesting fails.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    // Whether a transaction begun by BeginTrans is open (inside a batch:
    // that transaction's savepoint, not the batch).
    bool InTransaction() const;

    // A batch: from BeginBatch to EndBatch the connection's writes share
    // one transaction of the file, and each BeginTrans ... CommitTrans /
    // RollbackTrans inside it is a savepoint of that transaction. Its
    // commit releases the savepoint (its rows wait for EndBatch), its
    // rollback undoes that transaction's rows alone; a transaction still
    // cannot be nested in another. EndBatch commits everything; when that
    // commit fails, the batch is rolled back and the failure thrown, so
    // nothing of the batch is stored. CancelBatch rolls the batch back, and
    // so does closing the connection. While the batch lasts the file's
    // write lock stays with this connection (other connections wait to
    // write), and other connections see none of its rows.
    //
    // BeginBatch fails inside a transaction or a batch; EndBatch and
    // CancelBatch fail without a batch, EndBatch also while a transaction
    // of the batch is open. When SQLite ends the batch's transaction on its
    // own (it may after an I/O error or a full disk), every later write of
    // the batch fails, and so does EndBatch (which ends the batch): a write
    // that went on would be committed alone while the rows before it are
    // gone.
    void BeginBatch();
    void EndBatch();
    void CancelBatch();
    bool InBatch() const;

    // Path of the open file.
    const std::string& DataSource() const;

private:
    friend class Recordset;
    friend ConnectionImpl& implOf(const Connection& connection);
    std::shared_ptr<ConnectionImpl> impl_;
};

// What the fault switch (platform/FaultInjection.h) knows a connection by:
// the same for the connection and every Recordset opened on it.
const void* faultIdentity(const Connection& connection);

}  // namespace lumo::db
