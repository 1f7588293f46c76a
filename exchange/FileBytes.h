#pragma once
// Whole files as bytes, for the vCard files and the UID file. Throws
// lumo::Error with the file's name and the system's reason.
#include <filesystem>
#include <string>
#include <string_view>

namespace lumo::exchange {

std::string readFileBytes(const std::filesystem::path& file);
// Writes `bytes` to `target` through a StagedFile, so that the file appears
// whole or not at all.
void writeFileStaged(const std::filesystem::path& target, std::string_view bytes, bool replace);

}  // namespace lumo::exchange
