#pragma once
// What differs between the person and the item class for notes and ToDo
// rows: database, note table and key, link column, location codes, and the
// result of UpdateNote (Empty for persons, none for sheets).
#include "tests/access/AccessTestSupport.h"

namespace lumo::test {

template <class T>
struct NoteClass;

template <>
struct NoteClass<LumoAccess::clsPidAccess> {
    static std::string_view ddl() { return schema::personDdl(); }
    static constexpr const char* table = "T_PERSON";
    static constexpr const char* key = "PERSON_ID";
    static constexpr const char* link = "PERSON_ID";
    static constexpr const char* initializeCode = "CLS-pida1007";
    static constexpr const char* updateCode = "CLS-pida1043";
    static constexpr const char* deleteCode = "CLS-pida1045";
    // True when the result is Empty, as it always must be.
    static bool updateNote(LumoAccess::clsPidAccess& o, LumoAccess::Long id, const std::string& note,
                           LumoAccess::String* reserved = nullptr) {
        return LumoAccess::isEmpty(o.UpdateNote(id, note, reserved));
    }
};

template <>
struct NoteClass<LumoAccess::clsIidAccess> {
    static std::string_view ddl() { return schema::itemDdl(); }
    static constexpr const char* table = "T_SHEET";
    static constexpr const char* key = "ID";
    static constexpr const char* link = "SHEET_ID";
    static constexpr const char* initializeCode = "CLS-iida1002";
    static constexpr const char* updateCode = "CLS-iida1022";
    static constexpr const char* deleteCode = "CLS-iida1037";
    static bool updateNote(LumoAccess::clsIidAccess& o, LumoAccess::Long id, const std::string& note,
                           LumoAccess::String* reserved = nullptr) {
        o.UpdateNote(id, note, reserved);
        return true;
    }
};

}  // namespace lumo::test
