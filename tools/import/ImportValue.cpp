#include "tools/import/ImportValue.h"

#include <mdbtools.h>

#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <string>

#include "platform/Error.h"
#include "tools/import/JetText.h"

namespace lumo::tools {
namespace {

constexpr std::int64_t kYes = -1;  // Yes/No as the suite stores it
constexpr std::int64_t kNo = 0;

// Fixed-size values are stored little-endian.
std::int64_t signedValue(std::span<const unsigned char> bytes, std::size_t size) {
    if (bytes.size() < size) throw Error("数値が途中で切れています (number cut short)");
    std::uint64_t raw = 0;
    for (std::size_t i = size; i-- > 0;) raw = (raw << 8) | bytes[i];
    const unsigned shift = static_cast<unsigned>(64 - 8 * size);
    return static_cast<std::int64_t>(raw << shift) >> shift;  // sign-extend
}

double doubleValue(std::span<const unsigned char> bytes) {
    if (bytes.size() < sizeof(double)) throw Error("日付が途中で切れています (date cut short)");
    std::uint64_t raw = 0;
    for (std::size_t i = sizeof(double); i-- > 0;) raw = (raw << 8) | bytes[i];
    return std::bit_cast<double>(raw);
}

bool isWholeNumber(int jetType) { return jetType == MDB_BYTE || jetType == MDB_INT || jetType == MDB_LONGINT; }

std::int64_t wholeNumber(const JetCell& cell, int jetType) {
    switch (jetType) {
        case MDB_BYTE:
            return static_cast<std::int64_t>(signedValue(cell.bytes, 1) & 0xFF);  // Byte is unsigned
        case MDB_INT:
            return signedValue(cell.bytes, 2);
        default:
            return signedValue(cell.bytes, 4);
    }
}

}  // namespace

ColumnKind columnKindOf(std::string_view declaredType, bool primaryKey) {
    const std::string_view word = declaredType.substr(0, declaredType.find(' '));
    if (primaryKey && word == "INTEGER") return ColumnKind::Key;
    static constexpr std::array<std::pair<std::string_view, ColumnKind>, 6> kinds{{{"LONG", ColumnKind::Long},
                                                                                    {"SHORT", ColumnKind::Integer},
                                                                                    {"YESNO", ColumnKind::YesNo},
                                                                                    {"DATETIME", ColumnKind::Date},
                                                                                    {"TEXT", ColumnKind::Text},
                                                                                    {"MEMO", ColumnKind::Text}}};
    for (const auto& [name, kind] : kinds)
        if (word == name) return kind;
    throw Error("internal: column type " + std::string(declaredType) + " has no import rule");
}

bool canHold(ColumnKind kind, int jetType) {
    switch (kind) {
        case ColumnKind::Key:
        case ColumnKind::Long:
        case ColumnKind::Integer:
            return isWholeNumber(jetType);
        case ColumnKind::YesNo:
            return jetType == MDB_BOOL;
        case ColumnKind::Date:
            return jetType == MDB_DATETIME;
        case ColumnKind::Text:
            return jetType == MDB_TEXT || jetType == MDB_MEMO;
    }
    return false;
}

ImportValue convertCell(const JetCell& cell, int jetType, ColumnKind kind) {
    if (kind == ColumnKind::YesNo) return cell.yes ? kYes : kNo;
    if (cell.null) return nullptr;
    switch (kind) {
        case ColumnKind::Key:
        case ColumnKind::Long:
        case ColumnKind::Integer: {
            const std::int64_t value = wholeNumber(cell, jetType);
            if (kind == ColumnKind::Integer &&
                (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max()))
                throw Error("値 " + std::to_string(value) + " は整数型 (Integer) の列に入りません (does not fit Integer)");
            return value;
        }
        case ColumnKind::Date:
            return doubleValue(cell.bytes);
        case ColumnKind::Text: {
            bool damagedText = false;
            std::string text = decodeJetText(cell.bytes, damagedText);
            if (damagedText) throw Error("文字列が壊れています (damaged UTF-16 text)");
            return text;
        }
        case ColumnKind::YesNo:
            break;
    }
    return nullptr;
}

SqlValue bindable(const ImportValue& value) {
    return std::visit([](const auto& v) -> SqlValue {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::string>)
            return std::string_view(v);
        else
            return v;
    }, value);
}

std::string_view jetTypeName(int jetType) {
    switch (jetType) {
        case MDB_BOOL: return "Yes/No";
        case MDB_BYTE: return "Byte";
        case MDB_INT: return "Integer";
        case MDB_LONGINT: return "Long";
        case MDB_MONEY: return "Currency";
        case MDB_FLOAT: return "Single";
        case MDB_DOUBLE: return "Double";
        case MDB_DATETIME: return "Date/Time";
        case MDB_BINARY: return "Binary";
        case MDB_TEXT: return "Text";
        case MDB_OLE: return "OLE Object";
        case MDB_MEMO: return "Memo";
        case MDB_REPID: return "Replication ID";
        case MDB_NUMERIC: return "Decimal";
        default: return "unknown";
    }
}

}  // namespace lumo::tools
