#pragma once
// A file written under a temporary name beside its final name and moved
// into place only when complete, so that it appears whole or not at all.
// Until then (or if publishing fails) the destructor removes it; a process
// that is interrupted removes it from its signal handler (see
// removeStagedFilesOnSignals), and one that was killed outright leaves it
// for removeLeftovers of the next run.
//
// Ownership: the object owns its temporary file; it lives as long as the
// object and is used by the thread that made it. The list of live
// temporary files that the signal handler reads is process-wide.
#include <filesystem>
#include <initializer_list>
#include <vector>

namespace lumo {

class StagedFile {
public:
    enum class Replace { No, Yes };

    // Creates an empty temporary file in the folder of `target`
    // (".<name>.tmp-<pid>-<n>"). Throws lumo::Error.
    explicit StagedFile(std::filesystem::path target);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    const std::filesystem::path& path() const { return temporary_; }
    const std::filesystem::path& target() const { return target_; }

    // Moves the file to its final name in one step. Replace::No fails
    // (lumo::Error) rather than replace a file that exists there, even one
    // that appeared a moment ago; Replace::Yes replaces it, so that readers
    // see either the old file or the new one.
    void publish(Replace replace = Replace::No);
    // Removes a published file again (when a later file of the same run
    // could not be published).
    void withdraw() noexcept;

    // Removes the temporary files beside `target` left by processes that
    // no longer run; returns what it removed.
    static std::vector<std::filesystem::path> removeLeftovers(const std::filesystem::path& target);

private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int slot_ = -1;  // in the list the signal handler reads
    bool published_ = false;
};

// Installs a handler for each signal that removes the temporary files of
// every live StagedFile and then ends the process as the signal would have.
void removeStagedFilesOnSignals(std::initializer_list<int> signalNumbers);

}  // namespace lumo
