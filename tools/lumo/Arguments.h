#pragma once
// How every subcommand of `lumo` reads its arguments, so that they all
// agree: a word that starts with '-' (but is not "-" alone, which names
// standard input or a folder) is an option, anything else an operand, and
// the first "--" ends the options: every word after it is an operand, as
// with other Unix programs (`lumo init -- -dash`).
//
// An ArgumentReader is a cursor over the arguments it is given; they must
// outlive it. One thread, one walk.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "tools/lumo/Command.h"

namespace lumo::tools {

class ArgumentReader {
public:
    explicit ArgumentReader(Arguments args) : args_(args) {}

    // Moves to the next word, stepping over the first "--". False at the end.
    bool next();
    std::string_view word() const { return args_[at_]; }
    // The current word is an option (it starts with '-' and comes before "--").
    bool isOption() const;
    bool is(std::string_view option) const { return isOption() && word() == option; }
    // The value of `option` when the current word is it: "--name=value",
    // or "--name value" (which takes the next word, even one after "--").
    // Nothing when the current word is another one; UsageError with
    // `missing` when no value follows.
    std::optional<std::string_view> value(std::string_view option, std::string_view missing);
    // Throws UsageError naming the current word as an option the command
    // does not know.
    [[noreturn]] void refuseOption() const;

private:
    Arguments args_;
    std::size_t at_ = static_cast<std::size_t>(-1);
    bool optionsEnded_ = false;
};

// The words before the first "--": the only place where `lumo` looks for
// --help, so that `lumo init -- --help` makes a folder named --help.
Arguments optionWords(Arguments args);

}  // namespace lumo::tools
