#pragma once
// `lumo init`: creates the person, item and scrap databases in DIR/Data,
// empty or with sample and synthetic records.
#include <cstdint>
#include <filesystem>
#include <vector>

#include "tools/lumo/Command.h"

namespace lumo::tools {

struct InitOptions {
    std::filesystem::path folder = ".";
    bool sample = false;
    std::int64_t persons = 0;
    std::int64_t sheets = 0;
    std::int64_t scraps = 0;
};

inline constexpr std::int64_t kMaxSyntheticRecords = 1'000'000;

// Throws UsageError.
InitOptions parseInitOptions(Arguments args);

// Creates the three files, or none: an existing file is never replaced,
// and after a failure nothing new is left behind. Returns the paths of
// the new files. Throws lumo::Error.
std::vector<std::filesystem::path> createDatabases(const InitOptions& options);

extern const Command kInitCommand;

}  // namespace lumo::tools
