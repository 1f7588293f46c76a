#pragma once
// What every subcommand of `lumo` shares: its arguments (without the
// program and subcommand names), its output streams, and the exit codes.
#include <iosfwd>
#include <span>
#include <stdexcept>
#include <string_view>

namespace lumo::tools {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;  // 128 + SIGINT, as a shell reports Ctrl-C

// Wrong arguments: the command's usage text follows the message.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using Arguments = std::span<const std::string_view>;

struct Command {
    std::string_view name;
    std::string_view usage;     // the command's lines of `lumo --help`
    std::string_view examples;  // shown by `lumo NAME --help`: command lines that work as written
                                // in an empty folder, in this order (init first)
    // Returns the exit code; throws UsageError for wrong arguments and
    // lumo::Error (or another std::exception) for a failure. Never sees
    // --help: `lumo` answers that itself.
    int (*run)(Arguments args, std::ostream& out, std::ostream& err);
};

inline bool isHelpOption(std::string_view arg) { return arg == "--help" || arg == "-h"; }

}  // namespace lumo::tools
