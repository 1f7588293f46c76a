// The library commits every row of a new person on its own, and on a disk
// each commit waits for the disk: the scratch folders of these tests live
// in memory where the machine has /dev/shm (unless TMPDIR says otherwise).
// Set before any test runs, in every process ctest starts.
#include <stdlib.h>

#include <filesystem>

namespace {

const bool kFoldersInMemory = [] {
    if (std::filesystem::is_directory("/dev/shm")) ::setenv("TMPDIR", "/dev/shm", 0);
    return true;
}();

}  // namespace
