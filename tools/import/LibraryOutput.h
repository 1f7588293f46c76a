#pragma once
// libmdb writes its own warnings ("Oops! didn't get a full page at ...")
// to standard error and standard output. So that they reach the import's
// report, once each, instead of the middle of the user's terminal, the
// import points file descriptors 1 and 2 at a memory file while libmdb
// runs and reads what arrived there afterwards.
//
// A LibraryOutput owns its memory file and copies of the original
// descriptors; a Capture, made by capture(), redirects for its own
// lifetime (nested captures are free). The redirection is process-wide,
// so only one thread may run while a capture is active: the import is
// single-threaded, and calls back into its own code only outside one.
#include <string>
#include <vector>

namespace lumo::tools {

class LibraryOutput {
public:
    LibraryOutput();
    ~LibraryOutput();
    LibraryOutput(const LibraryOutput&) = delete;
    LibraryOutput& operator=(const LibraryOutput&) = delete;

    class [[nodiscard]] Capture {
    public:
        explicit Capture(LibraryOutput& output);
        ~Capture();
        Capture(const Capture&) = delete;
        Capture& operator=(const Capture&) = delete;

    private:
        LibraryOutput& output_;
    };
    Capture capture() { return Capture(*this); }

    // The distinct lines written so far, in the order they first came,
    // each with " (N 回)" when it came N > 1 times.
    std::vector<std::string> lines() const;

private:
    int file_ = -1;          // the memory file; -1 when none could be made (nothing is captured)
    int saved_[2] = {-1, -1};  // the original standard output and error
    int depth_ = 0;
};

}  // namespace lumo::tools
