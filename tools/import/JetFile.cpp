#include "tools/import/JetFile.h"

#include <mdbtools.h>

#include <cstring>
#include <fstream>

#include "platform/Error.h"

namespace lumo::tools {
namespace {

constexpr int kRowOffsetMask = 0x1FFF;  // the flag bits above it mark deleted and lookup rows
// The memo length word: the top two bits say where the text is, the low
// 24 bits how long it is.
constexpr std::uint32_t kMemoLengthMask = 0x00FFFFFF;

std::uint32_t littleEndian32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The signature every Jet (and Access 2007 and later) file starts with.
// libmdb takes some other files for Jet 3 files, so it is checked first.
bool hasJetSignature(const std::filesystem::path& path) {
    char header[19] = {};
    std::ifstream in(path, std::ios::binary);
    if (!in.read(header, sizeof header)) return false;
    return std::memcmp(header + 4, "Standard Jet DB", 15) == 0 || std::memcmp(header + 4, "Standard ACE DB", 15) == 0;
}

[[noreturn]] void damaged(const std::string& table, const std::string& what) {
    throw Error("表 " + table + " の行を読めません。ファイルが壊れています (damaged row): " + what);
}

}  // namespace

struct JetFile::Handle {
    MdbHandle* mdb = nullptr;
    ~Handle() {
        if (mdb) mdb_close(mdb);
    }
};

struct JetTable::Definition {
    MdbTableDef* table = nullptr;
    ~Definition() {
        if (table) mdb_free_tabledef(table);
    }
};

JetFile::JetFile(const std::filesystem::path& path) : path_(path), handle_(std::make_unique<Handle>()) {
    try {
        open();
    } catch (const Error& e) {
        // The file is not made, so its libmdb lines go with the failure.
        std::string text = e.what();
        for (const std::string& line : output_.lines()) text += " (libmdb: " + line + ")";
        throw Error(text);
    }
}

void JetFile::open() {
    const std::filesystem::path& path = path_;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw Error(path.string() + " がありません (no such file)");
    const auto quiet = output_.capture();
    // libmdb opens read-only unless asked for MDB_WRITABLE: the source is
    // never written.
    if (hasJetSignature(path)) handle_->mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
    if (!handle_->mdb)
        throw Error(path.string() + " は Jet (Microsoft Access) のデータベースではありません (not a Jet database)");
    if (handle_->mdb->f->jet_version == MDB_VER_JET3)
        throw Error(path.string() + " は Jet 3 (Access 97) の形式です。Jet 4 (Access 2000) 以降の形式だけを取り込めます"
                                    " (only Jet 4 and later files can be imported)");
    if (!mdb_read_catalog(handle_->mdb, MDB_TABLE))
        throw Error(path.string() + " の目録を読めません。ファイルが壊れています (cannot read the catalog)");
}

JetFile::~JetFile() = default;

std::vector<std::string> JetFile::tableNames() const {
    std::vector<std::string> names;
    MdbHandle* mdb = handle_->mdb;
    for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry)) names.emplace_back(entry->object_name);
    }
    return names;
}

JetTable::JetTable(const JetFile& file, const std::string& name)
    : file_(&file), name_(name), definition_(std::make_unique<Definition>()) {
    MdbHandle* mdb = file.handle_->mdb;
    const auto quiet = file.output_.capture();
    MdbCatalogEntry* entry = mdb_get_catalogentry_by_name(mdb, name.c_str());
    if (entry) definition_->table = mdb_read_table(entry);
    if (!definition_->table || !mdb_read_columns(definition_->table))
        throw Error("表 " + name + " の定義を読めません。ファイルが壊れています (cannot read the table definition)");
    MdbTableDef* table = definition_->table;
    for (unsigned int i = 0; i < table->num_cols; ++i) {
        auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        columns_.push_back({column->name, column->col_type});
    }
    memos_.resize(columns_.size());
}

JetTable::~JetTable() = default;

std::uint32_t JetTable::storedRowCount() const { return definition_->table->num_rows; }

void JetTable::forEachRow(const std::function<void(std::span<const JetCell>)>& row) {
    MdbTableDef* table = definition_->table;
    MdbHandle* mdb = file_->handle_->mdb;
    const std::size_t pageSize = mdb->fmt->pg_size;
    std::vector<MdbField> fields(table->num_cols);
    std::vector<JetCell> cells(table->num_cols);
    std::vector<unsigned char> chunk(pageSize);

    // Reads one memo whole: libmdb hands out its pieces (inline, one page,
    // or a chain of pages) one call at a time, into the column's bound
    // buffer, which is bound only here so that fetching rows never formats
    // values.
    const auto readMemo = [&](MdbColumn* column, const MdbField& field, std::vector<unsigned char>& out) {
        if (field.siz < MDB_MEMO_OVERHEAD) damaged(name_, std::string(column->name) + ": memo header");
        unsigned char header[MDB_MEMO_OVERHEAD];
        std::memcpy(header, field.value, sizeof header);
        const std::size_t expected = littleEndian32(header) & kMemoLengthMask;
        struct Unbind {
            MdbColumn* column;
            ~Unbind() { column->bind_ptr = nullptr; }
        } unbind{column};
        column->bind_ptr = chunk.data();
        out.clear();
        std::size_t got = mdb_ole_read(mdb, column, header, chunk.size());
        while (got > 0 && out.size() + got <= expected) {
            out.insert(out.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got));
            if (out.size() == expected) break;
            got = mdb_ole_read_next(mdb, column, header);
        }
        if (out.size() != expected)
            damaged(name_, std::string(column->name) + ": memo of " + std::to_string(expected) + " bytes, " +
                               std::to_string(out.size()) + " found");
    };

    // Fetches the next row into `cells`; false after the last one.
    const auto fetch = [&] {
        if (!mdb_fetch_row(table)) return false;
        // mdb_fetch_row leaves the row's page current; its null flags and
        // value positions come from cracking the row again.
        int start = 0;
        size_t size = 0;
        if (table->cur_row == 0 || mdb_find_row(mdb, static_cast<int>(table->cur_row) - 1, &start, &size) != 0)
            damaged(name_, "row position");
        start &= kRowOffsetMask;
        if (static_cast<std::size_t>(start) + size > pageSize) damaged(name_, "row outside its page");
        if (mdb_crack_row(table, start, size, fields.data()) < 0) damaged(name_, "row layout");

        for (std::size_t i = 0; i < fields.size(); ++i) {
            const MdbField& field = fields[i];
            auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, field.colnum));
            JetCell& cell = cells[static_cast<std::size_t>(field.colnum)];
            cell = JetCell{};
            if (column->col_type == MDB_BOOL) {
                // Jet keeps Yes/No in the null flags: a set flag is Yes.
                cell.null = false;
                cell.yes = !field.is_null;
                continue;
            }
            if (field.is_null) continue;
            if (field.siz < 0 || field.start < start ||
                static_cast<std::size_t>(field.start) + static_cast<std::size_t>(field.siz) > static_cast<std::size_t>(start) + size)
                damaged(name_, std::string(column->name) + ": value outside its row");
            cell.null = false;
            if (column->col_type == MDB_MEMO || column->col_type == MDB_OLE) {
                std::vector<unsigned char>& memo = memos_[static_cast<std::size_t>(field.colnum)];
                readMemo(column, field, memo);
                cell.bytes = memo;
            } else {
                cell.bytes = {static_cast<const unsigned char*>(field.value), static_cast<std::size_t>(field.siz)};
            }
        }
        return true;
    };

    {
        const auto quiet = file_->output_.capture();
        mdb_rewind_table(table);
    }
    for (;;) {
        {
            // libmdb runs captured; `row` (which may print progress) outside.
            const auto quiet = file_->output_.capture();
            if (!fetch()) break;
        }
        row(cells);
    }
}

}  // namespace lumo::tools
