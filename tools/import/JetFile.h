#pragma once
// A Jet database file read through libmdb, read-only. libmdb does the page
// work (catalog, table definitions, row location, null flags, memo page
// chains); this layer hands out each row's stored bytes per column, so
// that the conversion can tell Null from "" and read text and memo values
// whole, which libmdb's bound values cannot.
//
// A JetFile owns its libmdb handle; a JetTable belongs to one JetFile and
// must not outlive it. libmdb keeps per-handle state (the current page), so
// a file and its tables are used by one thread, one table at a time.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "tools/import/LibraryOutput.h"

namespace lumo::tools {

// The stored value of one column in one row. Yes/No lives in the row's
// null flags in Jet, so it arrives as `yes` and is never Null.
struct JetCell {
    bool null = true;
    bool yes = false;
    std::span<const unsigned char> bytes;  // fixed-size value, text or memo content
};

struct JetColumn {
    std::string name;
    int type = 0;  // libmdb's MDB_* column type
};

class JetFile {
public:
    // Throws lumo::Error when the file is missing or not a Jet 4 (or
    // later) database.
    explicit JetFile(const std::filesystem::path& path);
    ~JetFile();
    JetFile(const JetFile&) = delete;
    JetFile& operator=(const JetFile&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The user tables, in catalog order (stored queries, system and
    // linked tables are not tables here).
    std::vector<std::string> tableNames() const;
    // What libmdb wrote itself while it read this file, once each line.
    std::vector<std::string> libraryLines() const { return output_.lines(); }

private:
    friend class JetTable;
    void open();
    struct Handle;  // libmdb's handle, kept out of this header
    std::filesystem::path path_;
    mutable LibraryOutput output_;  // outlives the handle, so that closing it is captured too
    std::unique_ptr<Handle> handle_;
};

class JetTable {
public:
    // Throws lumo::Error when the table cannot be read.
    JetTable(const JetFile& file, const std::string& name);
    ~JetTable();
    JetTable(const JetTable&) = delete;
    JetTable& operator=(const JetTable&) = delete;

    const std::string& name() const { return name_; }
    const std::vector<JetColumn>& columns() const { return columns_; }
    // The row count the table definition records.
    std::uint32_t storedRowCount() const;

    // Calls `row` with one cell per column for every row, in stored order;
    // the cells are valid during the call only. Throws lumo::Error for a
    // row whose values lie outside its page or whose memo is cut short
    // (a damaged file).
    void forEachRow(const std::function<void(std::span<const JetCell>)>& row);

private:
    struct Definition;  // libmdb's table definition
    const JetFile* file_;
    std::string name_;
    std::unique_ptr<Definition> definition_;
    std::vector<JetColumn> columns_;
    std::vector<std::vector<unsigned char>> memos_;  // per column, reused from row to row
};

}  // namespace lumo::tools
