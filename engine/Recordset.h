#pragma once
// ADO-style recordset. Open reads the whole result (a static cursor);
// recordsets over one table are updatable through Field assignment, AddNew,
// Update and Delete. Recordsets over joins and views are read-only.
//
// Lifetime: a recordset shares its connection's internals; once the
// Connection is closed or destroyed, every operation but Close fails with
// "接続が閉じられているため、..." instead of touching a closed handle.
// Threads: a recordset is used on the thread that uses its connection, one
// call at a time; see Connection.h.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Connection.h"
#include "engine/Variant.h"

namespace lumo::db {

class Recordset;

// A handle to one column of the current row of a recordset.
class Field {
public:
    const std::string& Name() const;
    const Variant& Value() const;       // throws when there is no current row
    void SetValue(Variant value) const;  // throws when not updatable or no current row
    const Field& operator=(Variant value) const { SetValue(std::move(value)); return *this; }

private:
    friend class Recordset;
    Field(Recordset& rs, int index) : rs_(&rs), index_(index) {}
    Recordset* rs_;
    int index_;
};

struct RecordsetImpl;

class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // source: SQL text (options 1, -1 or 8) or a bare table name (options 2).
    void Open(std::string_view source, Connection& connection, int cursorType = adOpenForwardOnly,
              int lockType = adLockReadOnly, int options = adCmdUnspecified);
    void Close();
    bool IsOpen() const;

    // EOF is a macro in <cstdio>, hence the spelling.
    bool Eof() const;
    bool Bof() const;
    void MoveFirst();
    void MoveNext();
    void MoveLast();
    int32_t RecordCount() const;

    // Field by column name (ignoring ASCII case) or by position.
    Field Fields(std::string_view name);
    Field Fields(int index);
    int FieldCount() const;

    void AddNew();
    void Update();
    void Delete(int affectRecords = adAffectCurrent);

private:
    friend class Field;
    std::unique_ptr<RecordsetImpl> impl_;
};

}  // namespace lumo::db
