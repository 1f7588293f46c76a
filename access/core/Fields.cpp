#include "access/core/Fields.h"

#include "platform/Error.h"
#include "engine/Recordset.h"

namespace lumo::access {
namespace {

const db::Variant& valueOf(db::Recordset& rs, std::string_view column) { return rs.Fields(column).Value(); }

// Converts the column's value by `convert`, applying the column's Null
// rule. A failure names the table and column: the engine's own typed
// read (a stored value beyond the column's type) as much as ours.
template <class T, class Convert>
T converted(db::Recordset& rs, const TableColumn& c, Convert convert) {
    try {
        const db::Variant& v = valueOf(rs, c.name);
        if (v.isNull() && nullReadsZero(c)) return T{};
        return convert(v);
    } catch (const Error& e) {
        std::string text = e.description();
        text.append("(").append(c.table).append(".").append(c.name).append(")");
        throw Error(text, e.kind());
    }
}

}  // namespace

std::string textOf(db::Recordset& rs, std::string_view column, std::string_view whenNull) {
    const db::Variant& v = valueOf(rs, column);
    if (const std::string* text = v.stringValue()) return *text;
    return v.isNull() ? std::string(whenNull) : v.toString();
}

double dateOf(db::Recordset& rs, const TableColumn& column) {
    return converted<double>(rs, column, [](const db::Variant& v) { return v.toDate(); });
}

bool flagOf(db::Recordset& rs, const TableColumn& column) {
    return converted<bool>(rs, column, [](const db::Variant& v) { return v.toDouble() != 0; });
}

int32_t longOf(db::Recordset& rs, const TableColumn& column) {
    return converted<int32_t>(rs, column, [](const db::Variant& v) { return v.toLong(); });
}

int16_t integerOf(db::Recordset& rs, const TableColumn& column) {
    return converted<int16_t>(rs, column, [](const db::Variant& v) { return v.toInteger(); });
}

int16_t narrowToInteger(int32_t value) { return db::Variant(value).toInteger(); }

void setDate(db::Recordset& rs, std::string_view column, double date, ZeroDate zero) {
    if (date != 0) rs.Fields(column) = db::Variant::date(date);
    else if (zero == ZeroDate::Null) rs.Fields(column) = db::Variant::null();
}

}  // namespace lumo::access
