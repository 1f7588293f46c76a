#pragma once
// Where the files to import are: SOURCE is a folder holding Data/*.mdb,
// the Data folder itself, or one .mdb file. A file's name (in any letter
// case, as Windows folders may hold them) says which of our databases it
// becomes.
#include <filesystem>
#include <vector>

#include "schema/Schema.h"

namespace lumo::tools {

struct SourceFile {
    std::filesystem::path path;
    schema::DatabaseFile target;
};

// Person, item and scrap file, those present, in that order. Throws
// lumo::Error when there is nothing to import.
std::vector<SourceFile> findSources(const std::filesystem::path& source);

}  // namespace lumo::tools
