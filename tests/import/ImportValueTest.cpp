// The conversion of one stored Jet number into the value our column keeps.
// The Jet fixtures are written by a generator outside this project and hold
// no Byte above 127, so the conversion is tested on cells made here: a Byte
// is unsigned (200 stays 200, not -56), Integer and Long are signed.
#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/Error.h"
#include "tools/import/ImportValue.h"

namespace lumo::test {
namespace {

using tools::ColumnKind;

// The libmdb type that the import names `name` (its messages' names).
int jetType(std::string_view name) {
    for (int type = 0; type < 64; ++type)
        if (tools::jetTypeName(type) == name) return type;
    ADD_FAILURE() << "no Jet type " << name;
    return -1;
}

TEST(ImportValue, WholeNumbersKeepTheirValueAndSign) {
    const struct {
        const char* type;
        std::vector<unsigned char> stored;  // little-endian, as Jet stores it
        ColumnKind kind;
        std::int64_t value;
    } cases[]{
        {"Byte", {200}, ColumnKind::Integer, 200},
        {"Byte", {200}, ColumnKind::Long, 200},
        {"Byte", {255}, ColumnKind::Integer, 255},
        {"Byte", {128}, ColumnKind::Integer, 128},
        {"Byte", {127}, ColumnKind::Integer, 127},
        {"Byte", {0}, ColumnKind::Long, 0},
        {"Integer", {0xFF, 0x7F}, ColumnKind::Integer, 32767},
        {"Integer", {0x00, 0x80}, ColumnKind::Integer, -32768},
        {"Integer", {0xFF, 0xFF}, ColumnKind::Long, -1},
        {"Integer", {0xC8, 0x00}, ColumnKind::Integer, 200},
        {"Long", {0xFF, 0xFF, 0xFF, 0x7F}, ColumnKind::Long, 2147483647},
        {"Long", {0x00, 0x00, 0x00, 0x80}, ColumnKind::Key, -2147483648LL},
        {"Long", {0xFF, 0x7F, 0x00, 0x00}, ColumnKind::Integer, 32767},
        {"Long", {0x00, 0x80, 0xFF, 0xFF}, ColumnKind::Integer, -32768},
    };
    for (const auto& c : cases) {
        tools::JetCell cell;
        cell.null = false;
        cell.bytes = c.stored;
        const tools::ImportValue value = tools::convertCell(cell, jetType(c.type), c.kind);
        ASSERT_TRUE(std::holds_alternative<std::int64_t>(value)) << c.type << " " << c.value;
        EXPECT_EQ(std::get<std::int64_t>(value), c.value) << c.type;
    }
}

TEST(ImportValue, ALongBeyondIntegerAndANullAreNotNumbers) {
    tools::JetCell cell;
    cell.null = false;
    const std::vector<unsigned char> big{0x00, 0x80, 0x00, 0x00};  // 32768
    cell.bytes = big;
    try {
        tools::convertCell(cell, jetType("Long"), ColumnKind::Integer);
        ADD_FAILURE() << "32768 went into an Integer column";
    } catch (const Error& e) {
        EXPECT_NE(std::string_view(e.what()).find("値 32768 は整数型 (Integer) の列に入りません"), std::string_view::npos)
            << e.what();
    }
    tools::JetCell null;
    EXPECT_TRUE(std::holds_alternative<std::nullptr_t>(tools::convertCell(null, jetType("Byte"), ColumnKind::Integer)));
}

}  // namespace
}  // namespace lumo::test
