#include "platform/FailureKinds.h"

#include <sqlite3.h>

#include <cerrno>
#include <span>

namespace lumo {
namespace {

enum class Origin { Sqlite, System };

struct KindRow {
    Origin origin;
    int code;
    ReportKind kind;
};

// Codes not listed (SQLITE_ERROR: an SQL text refused; SQLITE_NOMEM,
// ENOMEM; SQLITE_INTERRUPT, ...) are Other: the caller can do nothing
// particular about them.
constexpr KindRow kKinds[] = {
    {Origin::Sqlite, SQLITE_CONSTRAINT, ReportKind::Constraint},
    {Origin::Sqlite, SQLITE_BUSY, ReportKind::Busy},
    {Origin::Sqlite, SQLITE_LOCKED, ReportKind::Busy},
    {Origin::Sqlite, SQLITE_READONLY, ReportKind::ReadOnly},
    {Origin::Sqlite, SQLITE_PERM, ReportKind::ReadOnly},
    {Origin::Sqlite, SQLITE_FULL, ReportKind::DiskFullOrIo},
    {Origin::Sqlite, SQLITE_IOERR, ReportKind::DiskFullOrIo},
    {Origin::Sqlite, SQLITE_CORRUPT, ReportKind::Damaged},
    {Origin::Sqlite, SQLITE_NOTADB, ReportKind::Damaged},
    {Origin::Sqlite, SQLITE_FORMAT, ReportKind::Damaged},
    {Origin::Sqlite, SQLITE_CANTOPEN, ReportKind::NotFound},
    {Origin::Sqlite, SQLITE_NOTFOUND, ReportKind::NotFound},
    {Origin::Sqlite, SQLITE_MISMATCH, ReportKind::BadArgument},
    {Origin::Sqlite, SQLITE_RANGE, ReportKind::BadArgument},
    {Origin::Sqlite, SQLITE_TOOBIG, ReportKind::BadArgument},
    {Origin::Sqlite, SQLITE_MISUSE, ReportKind::BadArgument},
    {Origin::System, ENOENT, ReportKind::NotFound},
    {Origin::System, ENOTDIR, ReportKind::NotFound},
    {Origin::System, EEXIST, ReportKind::Constraint},
    {Origin::System, EAGAIN, ReportKind::Busy},
    {Origin::System, EBUSY, ReportKind::Busy},
    {Origin::System, ETXTBSY, ReportKind::Busy},
    {Origin::System, EACCES, ReportKind::ReadOnly},
    {Origin::System, EPERM, ReportKind::ReadOnly},
    {Origin::System, EROFS, ReportKind::ReadOnly},
    {Origin::System, ENOSPC, ReportKind::DiskFullOrIo},
    {Origin::System, EDQUOT, ReportKind::DiskFullOrIo},
    {Origin::System, EFBIG, ReportKind::DiskFullOrIo},
    {Origin::System, EIO, ReportKind::DiskFullOrIo},
    {Origin::System, EISDIR, ReportKind::BadArgument},
    {Origin::System, EINVAL, ReportKind::BadArgument},
    {Origin::System, ENAMETOOLONG, ReportKind::BadArgument},
};

ReportKind lookUp(Origin origin, int code) noexcept {
    for (const KindRow& row : std::span(kKinds))
        if (row.origin == origin && row.code == code) return row.kind;
    return ReportKind::Other;
}

}  // namespace

ReportKind kindOfSqliteResult(int resultCode) noexcept { return lookUp(Origin::Sqlite, resultCode & 0xff); }

ReportKind kindOfSystemError(int errorNumber) noexcept { return lookUp(Origin::System, errorNumber); }

}  // namespace lumo
