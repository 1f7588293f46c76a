#pragma once
// A file written under a temporary name beside its final name and moved
// into place only when complete. Until then (or if publishing fails) the
// destructor removes it, so a failed run leaves nothing half-made; the
// temporary files of runs that were killed are removed by the next run
// for the same target.
#include <filesystem>

namespace lumo::tools {

class StagedFile {
public:
    // Creates an empty temporary file in the folder of `target`, after
    // removing those that killed runs left for it.
    explicit StagedFile(std::filesystem::path target);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    const std::filesystem::path& path() const { return temporary_; }
    const std::filesystem::path& target() const { return target_; }

    // Moves the file to its final name; fails (lumo::Error) rather than
    // replace a file that appeared there meanwhile.
    void publish();
    // Removes a published file again (when a later file of the same run
    // could not be published).
    void withdraw() noexcept;

private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    bool published_ = false;
};

}  // namespace lumo::tools
