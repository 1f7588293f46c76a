#pragma once
// The three database files of the suite and the DDL that creates them.
// The DDL texts are the .sql files of this folder, embedded at build time;
// `lumo init` runs them to make new, empty databases.
#include <array>
#include <cstdint>
#include <string_view>

namespace lumo::schema {

// PRAGMA application_id of every file we create ('LUMO'); the engine layer
// recognises our databases by it.
inline constexpr std::int32_t kApplicationId = 0x4C554D4F;
inline constexpr int kUserVersion = 3;

// Names inside the Data folder.
inline constexpr std::string_view kPersonFile = "LumoBase.mdb";
inline constexpr std::string_view kItemFile = "iLumoBase.mdb";
inline constexpr std::string_view kScrapFile = "LumoScrap.mdb";
inline constexpr std::string_view kDataFolder = "Data";

std::string_view personDdl();
std::string_view itemDdl();
std::string_view scrapDdl();

struct DatabaseFile {
    std::string_view fileName;
    std::string_view ddl;
};

// Person, item and scrap database, in that order.
inline std::array<DatabaseFile, 3> databaseFiles() {
    return {{{kPersonFile, personDdl()}, {kItemFile, itemDdl()}, {kScrapFile, scrapDdl()}}};
}

}  // namespace lumo::schema
