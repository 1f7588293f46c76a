#pragma once
// Where a run finds its databases and leaves its files: a scratch folder
// with one lumo-init folder per data size (named by the number of persons)
// and an "out" folder for the exported files and child logs.
#include <cstdint>
#include <filesystem>
#include <string>

#include "engine/ConnectionString.h"

namespace lumo::bench {

class BenchData {
public:
    explicit BenchData(std::filesystem::path root) : root_(std::move(root)) {}

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path folder(std::int64_t persons) const { return root_ / std::to_string(persons); }
    std::string personDatabase(std::int64_t persons) const { return database(persons, "LumoBase.mdb"); }
    std::string itemDatabase(std::int64_t persons) const { return database(persons, "iLumoBase.mdb"); }
    std::string out(const std::string& name) const { return (root_ / "out" / name).string(); }

private:
    std::string database(std::int64_t persons, const char* file) const {
        return (folder(persons) / "Data" / file).string();
    }
    std::filesystem::path root_;
};

// The connection text the export program passes for a database file.
inline std::string connectionFor(const std::string& database) {
    return db::jetConnectionString(database);
}

}  // namespace lumo::bench
