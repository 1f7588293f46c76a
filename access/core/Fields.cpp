#include "access/core/Fields.h"

#include "platform/db/Recordset.h"

namespace lumo::access {
namespace {

const db::Variant& valueOf(db::Recordset& rs, std::string_view column) { return rs.Fields(column).Value(); }

}  // namespace

std::string textOf(db::Recordset& rs, std::string_view column, std::string_view whenNull) {
    const db::Variant& v = valueOf(rs, column);
    if (const std::string* text = v.stringValue()) return *text;
    return v.isNull() ? std::string(whenNull) : v.toString();
}

double dateOf(db::Recordset& rs, std::string_view column) {
    const db::Variant& v = valueOf(rs, column);
    return v.isNull() ? 0.0 : v.toDate();
}

int16_t integerOrZero(db::Recordset& rs, std::string_view column) {
    const db::Variant& v = valueOf(rs, column);
    return v.isNull() ? int16_t{0} : v.toInteger();
}

int32_t longOrZero(db::Recordset& rs, std::string_view column) {
    const db::Variant& v = valueOf(rs, column);
    return v.isNull() ? 0 : v.toLong();
}

bool flagOf(db::Recordset& rs, std::string_view column) {
    const db::Variant& v = valueOf(rs, column);
    return !v.isNull() && v.toDouble() != 0;
}

int32_t longOf(db::Recordset& rs, std::string_view column) { return valueOf(rs, column).toLong(); }

int16_t integerOf(db::Recordset& rs, std::string_view column) { return valueOf(rs, column).toInteger(); }


int16_t narrowToInteger(int32_t value) { return db::Variant(value).toInteger(); }

db::Variant textOrNull(const std::string& text) { return text.empty() ? db::Variant::null() : db::Variant(text); }

void setDate(db::Recordset& rs, std::string_view column, double date, ZeroDate zero) {
    if (date != 0) rs.Fields(column) = db::Variant::date(date);
    else if (zero == ZeroDate::Null) rs.Fields(column) = db::Variant::null();
}

}  // namespace lumo::access
