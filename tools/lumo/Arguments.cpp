#include "tools/lumo/Arguments.h"

#include <algorithm>

namespace lumo::tools {

namespace {
constexpr std::string_view kEndOfOptions = "--";
}

bool ArgumentReader::next() {
    ++at_;
    if (at_ < args_.size() && !optionsEnded_ && args_[at_] == kEndOfOptions) {
        optionsEnded_ = true;
        ++at_;
    }
    return at_ < args_.size();
}

bool ArgumentReader::isOption() const {
    const std::string_view w = word();
    return !optionsEnded_ && w.size() > 1 && w.front() == '-';
}

std::optional<std::string_view> ArgumentReader::value(std::string_view option, std::string_view missing) {
    if (!isOption()) return std::nullopt;
    const std::string_view w = word();
    if (w == option) {
        if (at_ + 1 >= args_.size()) throw UsageError(std::string(missing));
        return args_[++at_];
    }
    if (option.starts_with("--") && w.size() > option.size() && w.starts_with(option) && w[option.size()] == '=')
        return w.substr(option.size() + 1);
    return std::nullopt;
}

void ArgumentReader::refuseOption() const {
    throw UsageError("知らないオプションです (unknown option): " + std::string(word()));
}

Arguments optionWords(Arguments args) {
    const auto end = std::ranges::find(args, kEndOfOptions);
    return args.first(static_cast<std::size_t>(end - args.begin()));
}

}  // namespace lumo::tools
