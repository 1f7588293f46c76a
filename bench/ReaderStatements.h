#pragma once
// The statements the library's readers hand to SQLite for one record
// (without the row identity the engine adds to them), for the benchmarks
// that run them straight through SQLite.
#include <string>
#include <string_view>

#include "access/item/ItemRows.h"

namespace lumo::bench::reader {

inline constexpr std::string_view kPerson = "SELECT * FROM T_PERSON WHERE T_PERSON.PERSON_ID = ?";
inline constexpr std::string_view kPhones =
    "SELECT T_PHONE.PHONE_ID, T_PHONE.TYPE, T_PHONE.LABEL, T_PHONE.TEL_NUMBER, T_PHONE.RANK FROM T_PHONE "
    "WHERE PERSON_ID = ? ORDER BY T_PHONE.RANK, T_PHONE.PHONE_ID";
inline constexpr std::string_view kMails =
    "SELECT T_EMAIL.MAIL_ID, T_EMAIL.TYPE, T_EMAIL.LABEL, T_EMAIL.MAIL_ADDRESS, T_EMAIL.RANK FROM T_EMAIL "
    "WHERE PERSON_ID = ? ORDER BY T_EMAIL.RANK DESC";
inline constexpr std::string_view kChildren = "SELECT * FROM T_CHILDREN WHERE PERSON_ID = ?";
inline constexpr std::string_view kSheet = "SELECT * FROM T_SHEET WHERE ID = ?";
inline constexpr std::string_view kGoods = "SELECT * FROM T_ITEMS WHERE ID = ?";

template <class Record>
std::string counterpart(const access::ItemTable<Record>& t) {
    return "SELECT * FROM " + std::string(t.table) + " WHERE " + std::string(t.keyColumn) + " = ?";
}

}  // namespace lumo::bench::reader
