#include "engine/DatabaseFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/Error.h"
#include "platform/FailureKinds.h"

namespace lumo::db {
namespace {

// 'LUMO': every database file of the suite carries it (PRAGMA application_id,
// stored big-endian at offset 68 of the file's header).
constexpr std::uint32_t kApplicationId = 0x4C554D4F;
constexpr std::size_t kHeaderSize = 100;

std::string quoted(const std::string& path) { return "'" + path + "'"; }

std::string damaged(const std::string& path) {
    return "データベース ファイル " + quoted(path) + " は破損しています (database disk image is malformed)。"
           "バックアップから戻してください。";
}

std::string notOurs(const std::string& path) { return quoted(path) + " は Lumo のデータベース ファイルではありません。"; }

// Reads the header and refuses anything that is not a database file of the
// suite before SQLite sees it (SQLite would treat an empty or foreign file
// as a new database).
void checkFileKind(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == EACCES)
            throw Error("データベース ファイル " + quoted(path) + " を読み取れません (フォルダーへのアクセス許可がありません)。",
                        ReportKind::ReadOnly);
        throw Error("データベース ファイル " + quoted(path) + " が見つかりません。", ReportKind::NotFound);
    }
    if (S_ISDIR(info.st_mode))
        throw Error(quoted(path) + " はフォルダーです。データベース ファイルを指定してください。", ReportKind::BadArgument);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        throw Error("データベース ファイル " + quoted(path) + " を読み取れません (" +
                    (error == EACCES ? std::string("アクセス許可がありません") : std::strerror(error)) + ")。",
                    kindOfSystemError(error));
    }
    std::array<unsigned char, kHeaderSize> header{};
    std::size_t got = 0;
    while (got < header.size()) {
        const ssize_t n = ::read(fd, header.data() + got, header.size() - got);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (info.st_size == 0) throw Error("データベース ファイル " + quoted(path) + " は空です (0 バイト)。", ReportKind::Damaged);
    const auto startsWith = [&](std::size_t at, std::string_view text) {
        return got >= at + text.size() && std::memcmp(header.data() + at, text.data(), text.size()) == 0;
    };
    if (startsWith(4, "Standard Jet DB") || startsWith(4, "Standard ACE DB"))
        throw Error(quoted(path) + " は Microsoft Access (Jet) のデータベースです。"
                    "このまま開くことはできません。lumo import で Lumo のデータベースに変換してください"
                    " (lumo import SOURCE DEST)。",
                    ReportKind::Damaged);
    if (!startsWith(0, std::string_view("SQLite format 3\0", 16))) throw Error(notOurs(path), ReportKind::Damaged);
    if (got < kHeaderSize) throw Error(damaged(path), ReportKind::Damaged);  // cut off inside its own header
    const std::uint32_t id = static_cast<std::uint32_t>(header[68]) << 24 | static_cast<std::uint32_t>(header[69]) << 16 |
                             static_cast<std::uint32_t>(header[70]) << 8 | header[71];
    if (id != kApplicationId) throw Error(notOurs(path), ReportKind::Damaged);
}

bool writable(const std::string& path) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) folder = ".";
    return ::access(path.c_str(), W_OK) == 0 && ::access(folder.c_str(), W_OK) == 0;
}

// A file: URI for the path ('?', '#' and '%' would otherwise be read as
// parts of the URI).
std::string fileUri(const std::string& path, const char* query) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string uri = "file:";
    for (unsigned char c : path) {
        if (c == '?' || c == '#' || c == '%' || c < 0x20) {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        } else {
            uri += static_cast<char>(c);
        }
    }
    return uri + "?" + query;
}

OpenedFile openWith(const std::string& name, int flags) {
    OpenedFile file;
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(name.c_str(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    file.db.reset(raw);
    if (rc != SQLITE_OK)
        throw Error("データベース ファイル " + quoted(name) + " を開けません: " + (raw ? sqlite3_errmsg(raw) : ""),
                    kindOfSqliteResult(rc));
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, 5000);
    file.readOnly = (flags & SQLITE_OPEN_READONLY) != 0;
    return file;
}

// Reads the schema, which is where a damaged file or an unreadable log
// first shows. SQLITE_OK or the failing result code.
int readSchema(sqlite3* db) { return sqlite3_exec(db, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr); }

// The size of a file, or -1 when there is none.
long long sizeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

// A failure that reading without writing may get past: not a damaged
// file, not another program's lock, not a lack of memory.
bool readingOnlyMayHelp(int rc) {
    const int primary = rc & 0xff;
    return primary != SQLITE_CORRUPT && primary != SQLITE_NOTADB && primary != SQLITE_BUSY && primary != SQLITE_LOCKED &&
           primary != SQLITE_NOMEM;
}

// A shared-memory file that no connection has filled: short of its first
// 32 KiB page, which every connection that can use it writes.
bool unfilledSharedMemory(const std::string& path) {
    const long long size = sizeOf(path);
    return size >= 0 && size < 32768;
}

// The write-ahead log and shared-memory files that an attempt to read made
// and could not fill (the log still empty, the shared memory unfilled):
// nobody else has used them, since a connection that could would have
// filled them.
void removeUnfilled(const std::string& path, bool hadLog, bool hadSharedMemory) {
    if (!hadLog && sizeOf(path + "-wal") == 0) ::unlink((path + "-wal").c_str());
    if (!hadSharedMemory && unfilledSharedMemory(path + "-shm")) ::unlink((path + "-shm").c_str());
}

// Opens `path` for reading without writing anything (see openDatabaseFile).
OpenedFile openReadingOnly(const std::string& path) {
    const std::string sharedMemory = path + "-shm";
    const long long log = sizeOf(path + "-wal");
    // A filled shared memory beside a log: a writer may be at work, whose
    // transactions are read through it.
    const bool maybeWritten = log > 0 || (log == 0 && sizeOf(sharedMemory) >= 32768);
    if (!maybeWritten) return openWith(fileUri(path, "immutable=1"), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
    std::unique_ptr<MadeFile> made;
    if (sizeOf(sharedMemory) < 0) {
        const int fd = ::open(sharedMemory.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        // Without one the log cannot be read at all; the file alone is the
        // last state that was checkpointed into it.
        if (fd < 0) return openWith(fileUri(path, "immutable=1"), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
        ::close(fd);
        made = std::make_unique<MadeFile>(sharedMemory);
    }
    // readonly_shm: the shared memory is only read, never grown, and SQLite
    // reads the log itself when no writer keeps the shared memory up.
    OpenedFile file = openWith(fileUri(path, "mode=ro&readonly_shm=1"), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
    file.made = std::move(made);
    return file;
}

}  // namespace

MadeFile::~MadeFile() {
    if (unfilledSharedMemory(path_)) ::unlink(path_.c_str());
}

OpenedFile openDatabaseFile(const std::string& path) {
    checkFileKind(path);
    const bool canWrite = writable(path);
    const bool hadLog = sizeOf(path + "-wal") >= 0, hadSharedMemory = sizeOf(path + "-shm") >= 0;
    OpenedFile file = openWith(path, canWrite ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY);
    int rc = readSchema(file.db.get());
    // A rollback journal left behind must be played back before the file
    // can be read; that needs writing, and reading around it would show
    // half a transaction.
    if (rc != SQLITE_OK && readingOnlyMayHelp(rc) && sizeOf(path + "-journal") <= 0) {
        // Reading a write-ahead-log file makes and grows the log and the
        // shared memory; where that fails, read without them.
        file.db.reset();
        removeUnfilled(path, hadLog, hadSharedMemory);
        file = openReadingOnly(path);
        rc = readSchema(file.db.get());
    }
    if ((rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB) throw Error(damaged(path), ReportKind::Damaged);
    if (rc != SQLITE_OK)
        throw Error("データベース ファイル " + quoted(path) + " を開けません: " + sqlite3_errmsg(file.db.get()),
                    kindOfSqliteResult(rc));
    return file;
}

namespace {

// A refused value of a typed column: the constraint is named
// "<COLUMN>:type:<Jet type>" or "<COLUMN>:range:<Jet type>" (see
// schema/TypeChecks.h). Empty for any other constraint.
std::string typedColumnFailure(std::string_view message) {
    constexpr std::string_view prefix = "CHECK constraint failed: ";
    if (message.substr(0, prefix.size()) != prefix) return {};
    const std::string_view name = message.substr(prefix.size());
    const std::size_t first = name.find(':');
    const std::size_t second = first == std::string_view::npos ? first : name.find(':', first + 1);
    if (second == std::string_view::npos) return {};
    const std::string column(name.substr(0, first));
    const std::string_view kind = name.substr(first + 1, second - first - 1);
    const std::string type(name.substr(second + 1));
    if (kind == "type") return "データ型が一致しません。フィールド '" + column + "' (" + type + " 型) に入らない値です。";
    if (kind == "range") return "オーバーフローしました。フィールド '" + column + "' (" + type + " 型) の範囲を超える値です。";
    return {};
}

}  // namespace

std::string describeFailure(sqlite3* db) {
    if (!db) return "unknown error";
    const int code = sqlite3_extended_errcode(db) & 0xff;
    if (sqlite3_extended_errcode(db) == SQLITE_CONSTRAINT_CHECK)
        if (std::string typed = typedColumnFailure(sqlite3_errmsg(db)); !typed.empty()) return typed;
    const char* name = sqlite3_db_filename(db, "main");
    const std::string path = name ? name : "";
    if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB) return damaged(path);
    if (code == SQLITE_READONLY)
        return "データベース ファイル " + quoted(path) + " は読み取り専用のため、変更できません。";
    return sqlite3_errmsg(db);
}

ReportKind failureKind(sqlite3* db) {
    return db ? kindOfSqliteResult(sqlite3_extended_errcode(db)) : ReportKind::Other;
}

}  // namespace lumo::db
