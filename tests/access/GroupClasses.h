#pragma once
// What differs between the three classes for the group operations:
// database, names, location codes, and whether GetGroupLabel and
// DeleteGroup return an error flag (only the scrap class).
#include <string_view>

#include <gtest/gtest.h>

#include "access/LumoAccess.h"
#include "schema/Schema.h"

namespace lumo::test {

using namespace LumoAccess;

template <class T>
struct GroupClass;

template <>
struct GroupClass<clsPidAccess> {
    static std::string_view ddl() { return schema::personDdl(); }
    static constexpr const char* table = "T_GROUPING";
    static constexpr const char* key = "TYPE_ID";
    static constexpr const char* caption = "LABEL";
    static constexpr const char* members = "T_PERSON";
    static constexpr const char* memberKey = "TYPE_ID";
    static constexpr const char* groupIDCode = "CLS-pida1035";
    static constexpr const char* groupLabelCode = "CLS-pida1036";
    static constexpr const char* deleteCode = "CLS-pida1042";
    static constexpr const char* groupIDExCode = "CLS-pida1044";
    static constexpr bool flags = false;
    static bool groupLabel(clsPidAccess& o, LabelTable& t) { return o.GetGroupLabel(t), false; }
    static bool deleteGroup(clsPidAccess& o, Long id) { return o.DeleteGroup(id), false; }
};

template <>
struct GroupClass<clsIidAccess> {
    static std::string_view ddl() { return schema::itemDdl(); }
    static constexpr const char* table = "T_iGROUPING";
    static constexpr const char* key = "ITYPE_ID";
    static constexpr const char* caption = "ILABEL";
    static constexpr const char* members = "T_ITEMS";
    static constexpr const char* memberKey = "ITYPE_ID";
    static constexpr const char* groupIDCode = "CLS-iida1026";
    static constexpr const char* groupLabelCode = "CLS-iida1008";
    static constexpr const char* deleteCode = "CLS-iida1029";
    static constexpr const char* groupIDExCode = "CLS-iida1038";
    static constexpr bool flags = false;
    static bool groupLabel(clsIidAccess& o, LabelTable& t) { return o.GetGroupLabel(t), false; }
    static bool deleteGroup(clsIidAccess& o, Long id) { return o.DeleteGroup(id), false; }
};

template <>
struct GroupClass<clsScrapAccess> {
    static std::string_view ddl() { return schema::scrapDdl(); }
    static constexpr const char* table = "T_GROUPING";
    static constexpr const char* key = "LABEL_ID";
    static constexpr const char* caption = "LABEL";
    static constexpr const char* members = "T_SCRAP";
    static constexpr const char* memberKey = "LABEL_ID";
    static constexpr const char* groupIDCode = "CLS-srca1015";
    static constexpr const char* groupLabelCode = "CLS-srca1014";
    static constexpr const char* deleteCode = "CLS-srca1018";
    static constexpr const char* groupIDExCode = "CLS-srca1016";
    static constexpr bool flags = true;
    static bool groupLabel(clsScrapAccess& o, LabelTable& t) { return o.GetGroupLabel(t); }
    static bool deleteGroup(clsScrapAccess& o, Long id) { return o.DeleteGroup(id); }
};

using GroupClasses = ::testing::Types<clsPidAccess, clsIidAccess, clsScrapAccess>;

}  // namespace lumo::test
