#pragma once
// The five group operations, written once over the names of a database's
// group table. Persons, goods and scraps each sit in one group of their
// database; one group is the default group, which takes over the members
// of a deleted group.
#include <string>
#include <string_view>

#include "access/LumoAccess.h"

namespace lumo::access {

class Database;

struct GroupTable {
    std::string_view table;         // the groups
    std::string_view key;           // AutoNumber key of a group
    std::string_view caption;       // caption column
    std::string_view memberTable;   // rows that belong to a group
    std::string_view memberColumn;  // their group column
    struct Codes {
        std::string_view groupingLabel, groupID, groupLabel, deleteGroup, groupIDEx;
    } codes;
};

inline constexpr GroupTable kPersonGroups{
    "T_GROUPING", "TYPE_ID", "LABEL", "T_PERSON", "TYPE_ID",
    {"CLS-pida1034", "CLS-pida1035", "CLS-pida1036", "CLS-pida1042", "CLS-pida1044"}};
inline constexpr GroupTable kItemGroups{
    "T_iGROUPING", "ITYPE_ID", "ILABEL", "T_ITEMS", "ITYPE_ID",
    {"CLS-iida1025", "CLS-iida1026", "CLS-iida1008", "CLS-iida1029", "CLS-iida1038"}};
inline constexpr GroupTable kScrapGroups{
    "T_GROUPING", "LABEL_ID", "LABEL", "T_SCRAP", "LABEL_ID",
    {"CLS-srca1017", "CLS-srca1015", "CLS-srca1014", "CLS-srca1018", "CLS-srca1016"}};

// The caption that stands for an empty one.
inline constexpr std::string_view kNoGroupCaption = "なし";

// The statement a client opens to list the groups.
std::string groupingLabel(const GroupTable& groups);

// The default group; 0 when there is none or on a failure.
LumoAccess::Long groupID(const GroupTable& groups, const Database& db);

// Replaces `labels` by (identifier, caption) of every group in the
// engine's order; untouched when there are none. True after a failure.
bool groupLabel(const GroupTable& groups, const Database& db, LumoAccess::LabelTable& labels);

// The group of a caption ("なし" for an empty one), added when missing;
// 0 on a failure.
LumoAccess::Long groupIDEx(const GroupTable& groups, const Database& db, const std::string& caption);

// Moves the members of group `id` to the default group and deletes the
// group. The default group itself is never deleted. True after a failure.
bool deleteGroup(const GroupTable& groups, const Database& db, LumoAccess::Long id);

}  // namespace lumo::access
