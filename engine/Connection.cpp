#include "engine/Connection.h"

#include <algorithm>
#include <new>
#include <cctype>
#include <cstring>
#include <optional>
#include <sstream>

#include "platform/Dates.h"
#include "platform/Error.h"
#include "platform/FailureKinds.h"
#include "ConnectionImpl.h"
#include "StatementWatch.h"
#include "platform/FaultInjection.h"
#include "engine/JetAggregates.h"
#include "engine/JetFunctions.h"
#include "engine/JetOperators.h"
#include "engine/LikeFunction.h"
#include "engine/BatchWords.h"
#include "engine/ConnectionString.h"
#include "engine/DatabaseFile.h"
#include "engine/JetDateLiteral.h"
#include "engine/functions/FunctionCall.h"

namespace lumo::db {
namespace {

bool equalsNoCase(std::string_view a, std::string_view b) { return NoCaseEqual{}(a, b); }

// Jet's '&': joins the text of its operands, a Null operand counting as "";
// only when every operand is Null is the result Null. Each operand joins as
// its text in Jet's writing (jet::joinedText): a date from one of Jet's
// functions as a date, a real number as 1 or 1E+20, not as SQLite does.
void concatFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    std::string out;
    bool allNull = true;
    try {
        for (int i = 0; i < argc; ++i) {
            if (sqlite3_value_type(argv[i]) == SQLITE_NULL) continue;
            allNull = false;
            out += jet::joinedText(argv[i]);
        }
    } catch (const std::bad_alloc&) {
        return sqlite3_result_error_nomem(ctx);
    }
    if (allNull) return sqlite3_result_null(ctx);
    // Given no length, SQLite copies the terminator with the text and marks
    // it terminated; otherwise every reader of the value as text (the
    // recordset's, for one) makes a terminated copy of it first. A text
    // holding a NUL needs its length.
    if (out.find('\0') == std::string::npos) sqlite3_result_text(ctx, out.c_str(), -1, SQLITE_TRANSIENT);
    else sqlite3_result_text(ctx, out.data(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

VarType typeFromDeclaration(const char* declared) {
    if (!declared) return VarType::Empty;
    std::string word;
    for (const char* p = declared; *p && !std::isspace(static_cast<unsigned char>(*p)) && *p != '('; ++p)
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    if (word == "INTEGER" || word == "LONG" || word == "COUNTER" || word == "INT") return VarType::Long;
    if (word == "SHORT" || word == "SMALLINT") return VarType::Integer;
    if (word == "YESNO" || word == "BIT" || word == "BOOLEAN") return VarType::Boolean;
    if (word == "DATETIME" || word == "DATE") return VarType::Date;
    if (word == "DOUBLE" || word == "REAL" || word == "FLOAT") return VarType::Double;
    if (word == "TEXT" || word == "MEMO" || word == "VARCHAR" || word == "CHAR") return VarType::String;
    return VarType::Empty;
}

// SQLite names columns of flattened joins "ID:1"; Jet never does.
std::string withoutSuffix(const char* name) {
    std::string s = name ? name : "";
    const std::size_t colon = s.rfind(':');
    if (colon != std::string::npos && colon + 1 < s.size() &&
        std::all_of(s.begin() + static_cast<std::ptrdiff_t>(colon) + 1, s.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        s.erase(colon);
    return s;
}

// Which result columns come from select-list items that Jet would name
// Expr1000, Expr1001, ...; one '*' item stands for whatever columns the
// other items leave. Empty when the items cannot be matched to the columns.
std::vector<bool> expressionColumns(const std::vector<JetStatement::Item>& items, int count) {
    using Item = JetStatement::Item;
    const auto stars = std::count(items.begin(), items.end(), Item::Star);
    const auto others = static_cast<long>(items.size()) - stars;
    if (items.empty() || stars > 1 || (stars == 0 && others != count) || others > count) return {};
    std::vector<bool> out;
    for (Item item : items) {
        if (item == Item::Star) out.insert(out.end(), static_cast<std::size_t>(count - others), false);
        else out.push_back(item == Item::Expression);
    }
    return out;
}

std::shared_ptr<const ColumnSet> describeColumns(sqlite3* db, sqlite3_stmt* st, const JetStatement& translation,
                                                 bool withRowid) {
    auto set = std::make_shared<ColumnSet>();
    int count = sqlite3_column_count(st);
    if (withRowid) set->rowidColumn = --count;  // the row identity is the last column
    std::vector<std::string> tables(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        ColumnInfo info;
        info.name = withoutSuffix(sqlite3_column_name(st, i));
        info.type = typeFromDeclaration(sqlite3_column_decltype(st, i));
        const char* table = sqlite3_column_table_name(st, i);
        const char* origin = sqlite3_column_origin_name(st, i);
        if (table && origin) {
            info.origin = origin;
            info.table = table;
            tables[static_cast<std::size_t>(i)] = table;
            int autoinc = 0;
            if (sqlite3_table_column_metadata(db, nullptr, table, origin, nullptr, nullptr, nullptr, nullptr, &autoinc) ==
                SQLITE_OK)
                info.autoNumber = autoinc != 0;
        }
        set->columns.push_back(std::move(info));
    }
    // A computed column has no declaration; where the translation knows
    // its value is a date (DateAdd(...), #7:00:00# + 0.1), it reads as
    // one. Only dates: SQLite keeps them as plain numbers, while every
    // other type a value has SQLite keeps itself.
    if (translation.itemTypes.size() == static_cast<std::size_t>(count))
        for (int i = 0; i < count; ++i) {
            ColumnInfo& info = set->columns[static_cast<std::size_t>(i)];
            if (info.type == VarType::Empty && info.origin.empty() &&
                translation.itemTypes[static_cast<std::size_t>(i)] == JetType::Date) {
                info.type = VarType::Date;
                info.inferred = true;
            }
        }
    // SQLite would name such a column after its text, which is our
    // translation ("lumo_concat(...)", "?"), not what the user wrote.
    const std::vector<bool> expressions = expressionColumns(translation.items, count);
    int nextExpression = 1000;
    for (std::size_t i = 0; i < expressions.size(); ++i)
        if (expressions[i]) set->columns[i].name = "Expr" + std::to_string(nextExpression++);
    // Two result columns of one name are told apart as Table.Column, the
    // table as written in the statement where the statement says it.
    const bool haveQualifiers = translation.qualifiers.size() == static_cast<std::size_t>(count);
    std::vector<std::string> finalNames;
    for (int i = 0; i < count; ++i) {
        const std::string& name = set->columns[static_cast<std::size_t>(i)].name;
        const auto same = std::count_if(set->columns.begin(), set->columns.end(),
                                        [&](const ColumnInfo& c) { return NoCaseEqual{}(c.name, name); });
        std::string qualifier;
        if (same > 1) {
            qualifier = haveQualifiers ? translation.qualifiers[static_cast<std::size_t>(i)] : std::string();
            if (qualifier.empty()) qualifier = tables[static_cast<std::size_t>(i)];
        }
        finalNames.push_back(qualifier.empty() ? name : qualifier + "." + name);
    }
    for (int i = 0; i < count; ++i) {
        set->columns[static_cast<std::size_t>(i)].name = std::move(finalNames[static_cast<std::size_t>(i)]);
        set->index.emplace(set->columns[static_cast<std::size_t>(i)].name, i);  // the first of a name wins
    }
    set->uniqueNames = set->index.size() == set->columns.size();
    for (int i = 0; i <= count; ++i) set->following.push_back(i);
    set->allPlain = std::all_of(set->columns.begin(), set->columns.end(), [](const ColumnInfo& c) { return !c.origin.empty(); });
    set->allKeys = std::all_of(set->columns.begin(), set->columns.end(), [](const ColumnInfo& c) { return c.autoNumber; });
    return set;
}

// A text assigned to a Date column, read as Jet reads it: the forms of the
// desktop's date recognition, or a date with a time in Jet's own forms.
// Anything else stays text, and the column's check refuses it.
std::optional<double> textAsDate(const std::string& text) {
    if (std::optional<double> date = dates::recognize(text)) return date;
    try {
        return jetDateLiteral(text);
    } catch (const Error&) {
        return std::nullopt;
    }
}

// Whether a table's column is declared Date/Time, for the translation
// (JetDateColumns.h). No such table or column is an answer (nothing); any
// other failure to read the schema fails the statement, since a shape
// translated without its dates would be cached and answer wrongly later.
std::optional<bool> declaredAsDate(ConnectionImpl& cn, std::string_view table, std::string_view column) {
    const char* declared = nullptr;
    const int rc = sqlite3_table_column_metadata(cn.handle(), nullptr, std::string(table).c_str(),
                                                 std::string(column).c_str(), &declared, nullptr, nullptr, nullptr, nullptr);
    if (rc == SQLITE_ERROR) return std::nullopt;
    if (rc != SQLITE_OK) cn.fail("SQL 文を実行できません");
    return typeFromDeclaration(declared) == VarType::Date;
}

// Whether a table's column is a whole number (JetWholeColumns.h); failures
// as for declaredAsDate.
std::optional<bool> declaredWhole(ConnectionImpl& cn, std::string_view table, std::string_view column) {
    const char* declared = nullptr;
    const int rc = sqlite3_table_column_metadata(cn.handle(), nullptr, std::string(table).c_str(),
                                                 std::string(column).c_str(), &declared, nullptr, nullptr, nullptr, nullptr);
    if (rc == SQLITE_ERROR) return std::nullopt;
    if (rc != SQLITE_OK) cn.fail("SQL 文を実行できません");
    const VarType type = typeFromDeclaration(declared);
    return type == VarType::Long || type == VarType::Integer;
}

}  // namespace

std::size_t NoCaseHash::operator()(std::string_view s) const noexcept {
    std::size_t h = 1469598103934665603ull;
    for (unsigned char c : s) h = (h ^ NoCaseEqual::upper(c)) * 1099511628211ull;
    return h;
}

sqlite3* ConnectionImpl::handle() const {
    if (!db) throw Error("接続が開かれていません。操作を実行するには、先に接続を開いてください。");
    return db.get();
}

void ConnectionImpl::fail(std::string_view what) const {
    std::string message = describeFailure(db.get());
    throw Error(std::string(what) + ": " + message, failureKind(db.get()));
}

namespace {

constexpr std::string_view kBatchLost =
    "一括処理のトランザクションは、失敗のあとデータベース エンジンによって取り消されました";
// The savepoint that stands for a BeginTrans transaction inside a batch.
constexpr const char* kSavepoint = "SAVEPOINT lumo_transaction";
constexpr const char* kReleaseSavepoint = "RELEASE lumo_transaction";
constexpr const char* kRollbackToSavepoint = "ROLLBACK TO lumo_transaction";

}  // namespace

void ConnectionImpl::checkBatch() {
    if (!inBatch) return;
    // SQLite back in autocommit mode means it rolled the batch back itself.
    if (!batchLost && db && sqlite3_get_autocommit(db.get())) batchLost = true;
    if (batchLost) throw Error(std::string(kBatchLost) + "。" + std::string(kBatchNothingStored));
}

void ConnectionImpl::endBatch() {
    inBatch = false;
    inBatchSavepoint = false;
    batchLost = false;
    inTransaction = false;
}

namespace {

enum class Text { Plain, WithRowid, Narrowed };

PreparedStatement prepareTranslated(ConnectionImpl& cn, JetStatement translation, Text which) {
    sqlite3* h = cn.handle();
    PreparedStatement prepared;
    prepared.translation = std::move(translation);
    const bool withRowid = which == Text::WithRowid;
    const std::string& sql = withRowid                 ? prepared.translation.sqlWithRowid
                             : which == Text::Narrowed ? prepared.translation.narrowedSql
                                                       : prepared.translation.sql;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v3(h, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &raw, nullptr) !=
        SQLITE_OK)
        cn.fail("SQL 文を実行できません");
    if (!raw) throw Error("SQL 文が空です。");
    prepared.statement.reset(raw);
    prepared.withRowid = withRowid;
    prepared.parameterCount = sqlite3_bind_parameter_count(raw);
    if (sqlite3_column_count(raw) > 0) prepared.columns = describeColumns(h, raw, prepared.translation, withRowid);
    return prepared;
}

}  // namespace

namespace {

// The cache key of a shape read through `reads`: the names, each with its
// length, ahead of the shape, after a NUL that no cached shape starts
// with (a statement that starts with one is empty to SQLite and fails).
std::string readingKey(const std::string& shape, const std::vector<std::string>& reads) {
    std::string key(1, '\0');
    for (const std::string& r : reads) key.append(std::to_string(r.size())).append(1, ':').append(r);
    return key.append(1, '\0').append(shape);
}

}  // namespace

PreparedStatement& ConnectionImpl::prepare(const JetSqlText& text, const std::vector<std::string>& reads) {
    const std::string narrowedKey = reads.empty() ? std::string() : readingKey(text.shape(), reads);
    const std::string& key = reads.empty() ? text.shape() : narrowedKey;
    if (auto it = byShape.find(std::string_view(key)); it != byShape.end()) {
        lru.splice(lru.begin(), lru, it->second);
        return it->second->second;
    }
    const DateColumnLookup dateColumns = [this](std::string_view table, std::string_view column) {
        return declaredAsDate(*this, table, column);
    };
    const SubstringIndexLookup indexes = [this](std::string_view table) { return substringIndex(table); };
    const UniqueKeyLookup keys = [this](std::string_view source, std::string_view column) {
        return uniqueKey(source, column);
    };
    const WholeColumnLookup wholeColumns = [this](std::string_view table, std::string_view column) {
        return declaredWhole(*this, table, column);
    };
    PreparedStatement prepared =
        prepareTranslated(*this, text.translate(dateColumns, indexes, keys, wholeColumns, reads), Text::Plain);
    markDateParameters(prepared);
    if (lru.size() >= kCacheCapacity) {
        byShape.erase(lru.back().first);
        lru.pop_back();
    }
    lru.emplace_front(key, std::move(prepared));
    byShape.emplace(lru.front().first, lru.begin());
    return lru.front().second;
}

void ConnectionImpl::markDateParameters(PreparedStatement& prepared) {
    const JetStatement& t = prepared.translation;
    prepared.dateParameters.assign(t.parameterColumns.size(), false);
    for (std::size_t i = 0; i < t.parameterColumns.size(); ++i) {
        if (t.parameterColumns[i].empty()) continue;
        const char* declared = nullptr;
        if (sqlite3_table_column_metadata(handle(), nullptr, t.writtenTable.c_str(), t.parameterColumns[i].c_str(),
                                          &declared, nullptr, nullptr, nullptr, nullptr) == SQLITE_OK)
            prepared.dateParameters[i] = typeFromDeclaration(declared) == VarType::Date;
    }
}

PreparedStatement* ConnectionImpl::rowidVariant(PreparedStatement& plain) {
    if (plain.source == PreparedStatement::Source::Unknown) {
        const std::string& single = plain.translation.singleSource;
        plain.source = plain.columns && !single.empty() && tableExists(single) ? PreparedStatement::Source::OneTable
                                                                               : PreparedStatement::Source::Other;
    }
    if (plain.source != PreparedStatement::Source::OneTable) return nullptr;
    if (!plain.rowidVariant)
        plain.rowidVariant =
            std::make_unique<PreparedStatement>(prepareTranslated(*this, plain.translation, Text::WithRowid));
    return plain.rowidVariant.get();
}

PreparedStatement* ConnectionImpl::narrowedVariant(PreparedStatement& plain, const std::vector<SqlLiteral>& literals,
                                                   std::vector<std::string>& queries) {
    const auto& patterns = plain.translation.narrowingPatterns;
    if (patterns.empty()) return nullptr;
    queries.clear();
    for (const auto& chain : patterns) {
        std::optional<std::string> query = substringQuery(literals, chain);
        if (!query) return nullptr;
        queries.push_back(std::move(*query));
    }
    if (!plain.narrowedVariant)
        plain.narrowedVariant =
            std::make_unique<PreparedStatement>(prepareTranslated(*this, plain.translation, Text::Narrowed));
    return plain.narrowedVariant.get();
}

// A table's key is its INTEGER PRIMARY KEY alone; a view's is what the
// file declares in lumo_view_keys (a file made before has none).
bool ConnectionImpl::uniqueKey(std::string_view source, std::string_view column) {
    std::string key = std::string(source) + '\n' + std::string(column);
    if (auto it = uniqueKeys.find(key); it != uniqueKeys.end()) return it->second;
    const auto ask = [&](const char* sql) {
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v2(handle(), sql, -1, &raw, nullptr) != SQLITE_OK) fail("SQL 文を実行できません");
        StatementHandle st(raw);
        sqlite3_bind_text(raw, 1, source.data(), static_cast<int>(source.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(raw, 2, column.data(), static_cast<int>(column.size()), SQLITE_TRANSIENT);
        const int rc = sqlite3_step(raw);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) fail("SQL 文を実行できません");
        return rc == SQLITE_ROW && sqlite3_column_int(raw, 0) == 1;
    };
    const bool unique =
        (tableExists("lumo_view_keys") &&
         ask("SELECT 1 FROM lumo_view_keys WHERE VIEW_NAME = ?1 COLLATE NOCASE AND KEY_COLUMN = ?2 COLLATE NOCASE")) ||
        ask("SELECT count(*) = 1 AND sum(name = ?2 COLLATE NOCASE AND upper(type) = 'INTEGER') = 1 "
            "FROM pragma_table_info(?1) WHERE pk > 0");
    uniqueKeys.emplace(std::move(key), unique);
    return unique;
}

// An index is used only when the file describes it whole: a row naming
// tables the file lacks (a file edited by hand) counts as no index.
const SubstringIndex* ConnectionImpl::substringIndex(std::string_view table) {
    if (!substringIndexes) {
        std::vector<SubstringIndex> found;
        if (tableExists("lumo_search_indexes")) {
            sqlite3_stmt* raw = nullptr;
            if (sqlite3_prepare_v2(handle(),
                                   "SELECT TABLE_NAME, KEY_COLUMN, COLUMN_NAMES, WORDS_TABLE, UNINDEXED_TABLE "
                                   "FROM lumo_search_indexes",
                                   -1, &raw, nullptr) != SQLITE_OK)
                fail("SQL 文を実行できません");
            StatementHandle st(raw);
            const auto text = [&](int i) {
                const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(raw, i));
                return std::string(p ? p : "");
            };
            int rc;
            while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
                SubstringIndex index{text(0), text(1), {}, text(3), text(4)};
                std::istringstream names(text(2));
                for (std::string name; names >> name;) index.columns.push_back(name);
                if (tableExists(index.table) && tableExists(index.words) && tableExists(index.unindexed))
                    found.push_back(std::move(index));
            }
            if (rc != SQLITE_DONE) fail("SQL 文を実行できません");
        }
        substringIndexes = std::move(found);
    }
    for (const SubstringIndex& index : *substringIndexes)
        if (NoCaseEqual{}(index.table, table)) return &index;
    return nullptr;
}

// Only an answer is kept: a lookup that failed (a locked file, say) is
// reported and asked again next time, or the table would stay read-only.
bool ConnectionImpl::tableExists(const std::string& name) {
    if (auto it = isTable.find(name); it != isTable.end()) return it->second;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(handle(), "SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1 COLLATE NOCASE",
                           -1, &raw, nullptr) != SQLITE_OK)
        fail("SQL 文を実行できません");
    StatementHandle st(raw);
    sqlite3_bind_text(raw, 1, name.c_str(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(raw);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) fail("SQL 文を実行できません");
    const bool found = rc == SQLITE_ROW;
    isTable.emplace(name, found);
    return found;
}

sqlite3_stmt* ConnectionImpl::ownStatement(const std::string& sql, std::string_view doing) {
    if (auto it = ownStatements.find(sql); it != ownStatements.end()) return it->second.get();
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v3(handle(), sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &raw,
                           nullptr) != SQLITE_OK)
        fail(doing);
    StatementHandle st(raw);
    if (ownStatements.size() >= kOwnCapacity) ownStatements.clear();
    return ownStatements.emplace(sql, std::move(st)).first->second.get();
}

// Texts are bound without a copy (SQLITE_STATIC): they stay in `literals`,
// which outlives the run, and the next run of the statement binds every
// parameter anew before stepping, since each parameter is a literal of its
// text (JetSqlText refuses markers written by the caller, which would
// otherwise be left holding an earlier run's pointer).
StatementRun::StatementRun(sqlite3* db, PreparedStatement& prepared, const std::vector<SqlLiteral>& literals,
                           const std::vector<std::string>& after)
    : db_(db), prepared_(prepared) {
    sqlite3_stmt* st = prepared.statement.get();
    for (std::size_t i = 0; i < literals.size() && static_cast<int>(i) < prepared.parameterCount; ++i) {
        const SqlLiteral& lit = literals[i];
        const int n = static_cast<int>(i) + 1;
        switch (lit.kind) {
        case SqlLiteral::Kind::Integer: sqlite3_bind_int64(st, n, lit.integer); break;
        case SqlLiteral::Kind::Real: sqlite3_bind_double(st, n, lit.real); break;
        case SqlLiteral::Kind::Text:
            if (i < prepared.dateParameters.size() && prepared.dateParameters[i]) {
                if (const std::optional<double> date = textAsDate(lit.text)) {
                    sqlite3_bind_double(st, n, *date);
                    break;
                }
            }
            sqlite3_bind_text(st, n, lit.text.data(), static_cast<int>(lit.text.size()), SQLITE_STATIC);
            break;
        }
    }
    for (std::size_t k = 0; k < after.size(); ++k)
        sqlite3_bind_text(st, static_cast<int>(literals.size() + k) + 1, after[k].data(),
                          static_cast<int>(after[k].size()), SQLITE_STATIC);
}

// Every run binds all its parameters, so the old values need no clearing.
StatementRun::~StatementRun() { sqlite3_reset(prepared_.statement.get()); }

bool StatementRun::step() {
    const int rc = sqlite3_step(prepared_.statement.get());
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    throw Error("SQL 文を実行できません: " + describeFailure(db_), failureKind(db_));
}

void bindValue(sqlite3_stmt* st, int i, const Variant& value) {
    switch (value.type()) {
    case VarType::Empty:
    case VarType::Null: sqlite3_bind_null(st, i); break;
    case VarType::Integer:
    case VarType::Long: sqlite3_bind_int(st, i, value.toLong()); break;
    case VarType::Boolean: sqlite3_bind_int(st, i, value.toBool() ? -1 : 0); break;
    case VarType::Double:
    case VarType::Date: sqlite3_bind_double(st, i, value.toDouble()); break;
    case VarType::String: {
        const std::string& s = *value.stringValue();
        sqlite3_bind_text(st, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
        break;
    }
    }
}

Variant coerce(const Variant& value, VarType type) {
    if (value.isNull() || value.isEmpty()) return Variant::null();
    switch (type) {
    case VarType::Long: return Variant(value.toLong());
    case VarType::Integer: return Variant(value.toInteger());
    case VarType::Boolean: return Variant(value.toBool());
    case VarType::Date: return Variant::date(value.toDate());
    case VarType::Double: return Variant(value.toDouble());
    case VarType::String: return Variant(value.toString());
    default: return value;
    }
}

Connection::Connection() : impl_(std::make_shared<ConnectionImpl>()) {}
// Recordsets may still share the internals; closing here ends the handle
// now and leaves them failing cleanly.
Connection::~Connection() { Close(); }

ConnectionImpl& implOf(const Connection& connection) { return *connection.impl_; }

const void* faultIdentity(const Connection& connection) { return &implOf(connection); }

void Connection::Open(std::string_view connectionString, std::string_view, std::string_view, int) {
    if (impl_->db) throw Error("接続は既に開かれています。");
    ConnectionStringParts cs = parseConnectionString(connectionString);
    std::replace(cs.dataSource.begin(), cs.dataSource.end(), '\\', '/');
    if (cs.provider.empty())
        throw Error("接続文字列にプロバイダが指定されていません。", ReportKind::BadArgument);
    if (!equalsNoCase(cs.provider, kJetProvider))
        throw Error("プロバイダ '" + cs.provider + "' が見つかりません。正しくインストールされていない可能性があります。",
                    ReportKind::BadArgument);
    if (cs.dataSource.empty())
        throw Error("接続文字列にデータ ソース (Data Source) が指定されていません。", ReportKind::BadArgument);
    faultPoint(FaultStep::Open, impl_.get(), cs.dataSource,
               [&] { return "データベース ファイル '" + cs.dataSource + "' を開けません"; });
    OpenedFile file = openDatabaseFile(cs.dataSource);
    DbHandle db(file.db.release());
    sqlite3* raw = db.get();
    sqlite3_stmt* st = nullptr;
    // A function that failed to register would show up only later, as "no
    // such function" in some statement.
    if (const int rc = sqlite3_create_function_v2(raw, "lumo_concat", -1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_SUBTYPE, nullptr,
                                                  &concatFunction, nullptr, nullptr, nullptr);
        rc != SQLITE_OK)
        throw Error("データベース ファイル '" + cs.dataSource + "' を開けません: " + sqlite3_errstr(rc),
                    kindOfSqliteResult(rc));
    installLike(raw);
    installJetFunctions(raw);
    installJetOperators(raw);
    installJetAggregates(raw);
    bool walMode = false;
    if (sqlite3_prepare_v2(raw, "PRAGMA journal_mode", -1, &st, nullptr) == SQLITE_OK) {
        StatementHandle guard(st);
        if (sqlite3_step(st) == SQLITE_ROW) {
            // Null when SQLite ran out of memory converting the value.
            const auto* mode = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
            walMode = mode && NoCaseEqual{}(mode, "wal");
        }
    }
    const auto hold = impl_->lockHandle();
    impl_->snapshot->attach(raw, cs.dataSource, walMode);
    impl_->db = std::move(db);
    impl_->made = std::move(file.made);
    impl_->path = cs.dataSource;
    ++impl_->opened;
}

void Connection::Close() {
    const auto hold = impl_->lockHandle();
    impl_->snapshot->detach();
    impl_->byShape.clear();
    impl_->lru.clear();  // statements go before the handle
    impl_->ownStatements.clear();
    impl_->isTable.clear();
    impl_->db.reset();  // SQLite rolls back an open transaction or batch
    impl_->made.reset();  // after the handle
    impl_->endBatch();
}

bool Connection::IsOpen() const { return impl_->db != nullptr; }

const std::string& Connection::DataSource() const { return impl_->path; }

int32_t Connection::Execute(std::string_view sql, int) {
    const auto hold = impl_->lockHandle();
    sqlite3* db = impl_->handle();
    faultPoint(FaultStep::Execute, impl_.get(), impl_->path, "SQL 文を実行できません");
    const JetSqlText text = impl_->shapes.split(sql);
    PreparedStatement& prepared = impl_->prepare(text);
    tellWatcher(sql, prepared, text.literals());
    const bool writes = !prepared.columns;
    if (writes) {
        impl_->snapshot->beforeWrite();
        impl_->checkBatch();
    } else if (!impl_->inTransaction) impl_->snapshot->beforeRead();
    {
        StatementRun run(db, prepared, text.literals());
        while (run.step()) {
        }
    }
    if (!writes) return 0;
    if (!impl_->inTransaction) impl_->snapshot->afterWrite();
    return sqlite3_changes(db);
}

namespace {

// The savepoint statements of a batch, prepared once per connection: a
// batch runs two for every row it writes, and parsing them each time was
// a twentieth of an import's work.
int runSavepointStatement(ConnectionImpl& impl, const char* sql) {
    sqlite3_stmt* st = impl.ownStatement(sql, "トランザクションを処理できません");
    const int rc = sqlite3_step(st);
    sqlite3_reset(st);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

}  // namespace

void Connection::BeginTrans() {
    const auto hold = impl_->lockHandle();
    sqlite3* db = impl_->handle();
    if (impl_->inBatch) {
        if (impl_->inBatchSavepoint) throw Error("トランザクションは既に開始されています (入れ子にはできません)。");
        faultPoint(FaultStep::BeginTrans, impl_.get(), impl_->path, "トランザクションを開始できません");
        impl_->checkBatch();
        if (runSavepointStatement(*impl_, kSavepoint) != SQLITE_OK)
            impl_->fail("トランザクションを開始できません");
        impl_->inBatchSavepoint = true;
        return;
    }
    if (impl_->inTransaction) throw Error("トランザクションは既に開始されています (入れ子にはできません)。");
    faultPoint(FaultStep::BeginTrans, impl_.get(), impl_->path, "トランザクションを開始できません");
    impl_->snapshot->beforeWrite();
    // IMMEDIATE: the write lock is taken now, waiting for another writer
    // to finish. A deferred transaction that read first could not write
    // later once another connection had written in between (SQLite fails
    // such a write at once, without waiting), and the library's writes
    // read before they write.
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        impl_->fail("トランザクションを開始できません");
    impl_->inTransaction = true;
}

void Connection::CommitTrans() {
    const auto hold = impl_->lockHandle();
    sqlite3* db = impl_->handle();
    if (impl_->inBatch) {
        if (!impl_->inBatchSavepoint) throw Error("トランザクションが開始されていません。");
        // As below, a failed release leaves the savepoint open for the
        // caller's rollback.
        faultPoint(FaultStep::CommitTrans, impl_.get(), impl_->path, "コミットできません");
        impl_->checkBatch();
        if (runSavepointStatement(*impl_, kReleaseSavepoint) != SQLITE_OK) impl_->fail("コミットできません");
        impl_->inBatchSavepoint = false;
        return;
    }
    if (!impl_->inTransaction) throw Error("トランザクションが開始されていません。");
    // A failed commit leaves the transaction open, as SQLite does when it
    // cannot commit; the caller rolls it back.
    faultPoint(FaultStep::CommitTrans, impl_.get(), impl_->path, "コミットできません");
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) impl_->fail("コミットできません");
    impl_->inTransaction = false;
    impl_->snapshot->afterWrite();
}

void Connection::RollbackTrans() {
    const auto hold = impl_->lockHandle();
    sqlite3* db = impl_->handle();
    if (impl_->inBatch) {
        if (!impl_->inBatchSavepoint) throw Error("トランザクションが開始されていません。");
        impl_->inBatchSavepoint = false;
        int rc = SQLITE_OK;
        // A batch SQLite has already rolled back holds nothing of this
        // transaction any more (checkBatch refuses what comes next).
        if (sqlite3_get_autocommit(db)) impl_->batchLost = true;
        else if ((rc = runSavepointStatement(*impl_, kRollbackToSavepoint)) == SQLITE_OK)
            rc = runSavepointStatement(*impl_, kReleaseSavepoint);
        faultPoint(FaultStep::RollbackTrans, impl_.get(), impl_->path, "ロールバックできません");
        if (rc != SQLITE_OK) impl_->fail("ロールバックできません");
        return;
    }
    if (!impl_->inTransaction) throw Error("トランザクションが開始されていません。");
    impl_->inTransaction = false;
    const int rc = sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    // Reported after the rollback: SQLite ends a transaction whose rollback
    // failed from its journal, so the old state is what remains either way.
    faultPoint(FaultStep::RollbackTrans, impl_.get(), impl_->path, "ロールバックできません");
    if (rc != SQLITE_OK) impl_->fail("ロールバックできません");
}

bool Connection::InTransaction() const { return impl_->inBatch ? impl_->inBatchSavepoint : impl_->inTransaction; }

void Connection::BeginBatch() {
    const auto hold = impl_->lockHandle();
    sqlite3* db = impl_->handle();
    if (impl_->inBatch) throw Error("一括処理は既に始まっています (入れ子にはできません)。");
    if (impl_->inTransaction) throw Error("トランザクションの途中では一括処理を始められません。");
    faultPoint(FaultStep::BeginTrans, impl_.get(), impl_->path, "一括処理を始められません");
    impl_->snapshot->beforeWrite();
    // IMMEDIATE, as in BeginTrans.
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        impl_->fail("一括処理を始められません");
    impl_->inTransaction = true;
    impl_->inBatch = true;
}

void Connection::EndBatch() {
    const auto hold = impl_->lockHandle();
    sqlite3* db = impl_->handle();
    if (!impl_->inBatch) throw Error("一括処理は始まっていません。");
    if (impl_->inBatchSavepoint) throw Error("トランザクションの途中では一括処理を終えられません。");
    std::string failure;
    if (impl_->batchLost || sqlite3_get_autocommit(db)) {
        failure = kBatchLost;
    } else {
        try {
            faultPoint(FaultStep::CommitTrans, impl_.get(), impl_->path, "一括処理をコミットできません");
            if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
                impl_->fail("一括処理をコミットできません");
        } catch (const std::exception& e) {
            failure = e.what();
        }
    }
    if (failure.empty()) {
        impl_->endBatch();
        impl_->snapshot->afterWrite();
        return;
    }
    // A commit that failed leaves the transaction open (or SQLite ended
    // it): rolled back here, so that what stays is the file before the
    // batch, and the batch ends either way.
    if (!sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    impl_->endBatch();
    throw Error(failure + "。" + std::string(kBatchNothingStored));
}

void Connection::CancelBatch() {
    const auto hold = impl_->lockHandle();
    sqlite3* db = impl_->handle();
    if (!impl_->inBatch) throw Error("一括処理は始まっていません。");
    const int rc = sqlite3_get_autocommit(db) ? SQLITE_OK : sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    impl_->endBatch();
    // After the rollback, as in RollbackTrans.
    faultPoint(FaultStep::RollbackTrans, impl_.get(), impl_->path, "一括処理をロールバックできません");
    if (rc != SQLITE_OK) impl_->fail("一括処理をロールバックできません");
}

bool Connection::InBatch() const { return impl_->inBatch; }

}  // namespace lumo::db
