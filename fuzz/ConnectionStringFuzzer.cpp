// Connection strings. Properties: any text either parses or fails with
// lumo::Error; any path (no NUL) built into a connection string by the one
// builder parses back to exactly that path and the Jet provider; a path
// without special characters is written unquoted.
#include <cstdint>
#include <string>

#include "fuzz/Check.h"
#include "platform/Error.h"
#include "engine/Connection.h"
#include "engine/ConnectionString.h"

using lumo::fuzz::check;
using namespace lumo::db;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        (void)parseConnectionString(text);
    } catch (const lumo::Error&) {
    }
    if (text.find('\0') != std::string::npos) return 0;
    const std::string built = jetConnectionString(text);
    const ConnectionStringParts parts = parseConnectionString(built);
    check(parts.dataSource == text, "a built connection string gives the path back");
    check(parts.provider == kJetProvider, "a built connection string names the Jet provider");
    const bool plain = !text.empty() && text.find_first_of(";\"'") == std::string::npos &&
                       text.front() != ' ' && text.back() != ' ' && text.front() != '\t' && text.back() != '\t' &&
                       text.front() != '\r' && text.back() != '\r' && text.front() != '\n' && text.back() != '\n';
    if (plain) check(built == "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + text, "a plain path is not quoted");
    return 0;
}
