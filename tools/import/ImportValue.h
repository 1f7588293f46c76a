#pragma once
// Turning one stored Jet value into the value our column keeps, without
// loss: keys and numbers exactly, Yes/No as -1/0, dates as the stored
// automation-date number (so days before 1899-12-30 and times without a
// date stay what they are), text whole, and Null apart from "".
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "tools/import/JetFile.h"
#include "tools/init/Sqlite.h"

namespace lumo::tools {

// What our schema declares a column as (the first word of its type).
enum class ColumnKind { Key, Long, Integer, YesNo, Date, Text };

// Throws lumo::Error for a declared type the suite does not use.
ColumnKind columnKindOf(std::string_view declaredType, bool primaryKey);

// Whether every value of a source column of libmdb type `jetType` fits a
// column of this kind (a Long into an Integer column is checked per value).
bool canHold(ColumnKind kind, int jetType);

// A converted value that owns its text until it is bound.
using ImportValue = std::variant<std::nullptr_t, std::int64_t, double, std::string>;

// Converts one cell of a column that canHold() accepted. Throws lumo::Error
// (saying why) when the value does not fit or its bytes are damaged.
ImportValue convertCell(const JetCell& cell, int jetType, ColumnKind kind);

// The view of a converted value that a statement binds; valid while `value` lives.
SqlValue bindable(const ImportValue& value);

// The name of a libmdb column type, for messages.
std::string_view jetTypeName(int jetType);

}  // namespace lumo::tools
