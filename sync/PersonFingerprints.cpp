#include "sync/PersonFingerprints.h"

#include <array>
#include <cstdio>

#include "engine/Connection.h"
#include "engine/ConnectionString.h"
#include "engine/Recordset.h"

namespace lumo::sync {
namespace {

// The tables a card is made from, each read in its key order within a person.
struct PersonTable {
    const char* name;
    const char* key;
};
constexpr std::array<PersonTable, 5> kTables{{
    {"T_PERSON", "PERSON_ID"},
    {"T_PHONE", "PHONE_ID"},
    {"T_EMAIL", "MAIL_ID"},
    {"T_GREETING", "GREETING_ID"},
    {"T_CHILDREN", "CHILD_ID"},
}};

// FNV-1a, 64 bits: stable across builds, unlike std::hash.
constexpr unsigned long long kOffset = 14695981039346656037ull;
unsigned long long mix(unsigned long long hash, std::string_view bytes) {
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

// One row as bytes: every field's type and text, separated.
unsigned long long mixRow(unsigned long long hash, db::Recordset& rs, int fields) {
    for (int i = 0; i < fields; ++i) {
        const db::Variant& value = rs.Fields(i).Value();
        const char type = static_cast<char>('0' + static_cast<int>(value.type()));
        hash = mix(hash, std::string_view(&type, 1));
        if (const std::string* text = value.stringValue()) hash = mix(hash, *text);
        else if (!value.isNull() && !value.isEmpty()) hash = mix(hash, value.toString());
        hash = mix(hash, "\x1f");
    }
    return mix(hash, "\x1e");
}

std::string hex(unsigned long long hash) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", hash);
    return text;
}

}  // namespace

PersonFingerprints::PersonFingerprints(const std::filesystem::path& folder)
    : connection_(std::make_unique<db::Connection>()) {
    connection_->Open(db::jetConnectionString((folder / "Data" / "LumoBase.mdb").string()));
}

PersonFingerprints::~PersonFingerprints() = default;

std::map<PersonId, unsigned long long> PersonFingerprints::hashes(const std::string& where) {
    // A renamed group changes the cards of its persons: the captions are
    // part of every fingerprint.
    unsigned long long groups = kOffset;
    {
        db::Recordset rs;
        rs.Open("SELECT * FROM T_GROUPING ORDER BY TYPE_ID", *connection_, db::adOpenForwardOnly, db::adLockReadOnly,
                db::adCmdText);
        const int fields = rs.FieldCount();
        for (; !rs.Eof(); rs.MoveNext()) groups = mixRow(groups, rs, fields);
        rs.Close();
    }
    std::map<PersonId, unsigned long long> out;
    for (std::size_t t = 0; t < kTables.size(); ++t) {
        const PersonTable& table = kTables[t];
        db::Recordset rs;
        rs.Open(std::string("SELECT * FROM ") + table.name + where + " ORDER BY PERSON_ID, " + table.key, *connection_,
                db::adOpenForwardOnly, db::adLockReadOnly, db::adCmdText);
        const int fields = rs.FieldCount();
        for (; !rs.Eof(); rs.MoveNext()) {
            const db::Variant& person = rs.Fields("PERSON_ID").Value();
            if (person.isNull()) continue;
            const PersonId id = person.toLong();
            auto it = out.find(id);
            if (it == out.end()) {
                if (t != 0) continue;  // rows of no person
                it = out.emplace(id, groups).first;
            }
            it->second = mix(mixRow(it->second, rs, fields), table.name);
        }
        rs.Close();
    }
    return out;
}

std::map<PersonId, std::string> PersonFingerprints::all() {
    std::map<PersonId, std::string> out;
    for (const auto& [id, hash] : hashes("")) out.emplace(id, hex(hash));
    return out;
}

std::string PersonFingerprints::of(PersonId id) {
    const auto one = hashes(" WHERE PERSON_ID = " + std::to_string(id));
    const auto it = one.find(id);
    return it == one.end() ? std::string() : hex(it->second);
}

}  // namespace lumo::sync
