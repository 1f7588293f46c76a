#include "access/core/NoteText.h"

#include <algorithm>
#include <limits>

#include "platform/Error.h"
#include "platform/Utf8.h"

namespace lumo::access {
namespace {

[[noreturn]] void tooLong() { throw Error("オーバーフローしました。"); }

}  // namespace

NoteText::NoteText(std::string_view text) : text_(text) {
    // The byte offsets are held in 32 bits; a note that large is no note.
    if (text.size() > std::numeric_limits<uint32_t>::max() - 1) tooLong();
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    std::size_t count = text.size();
    if (!ascii) {
        for (std::size_t at = 0; at < text.size(); at += utf8::characterBytes(text.substr(at)))
            starts_.push_back(static_cast<uint32_t>(at));
        count = starts_.size();
        starts_.push_back(static_cast<uint32_t>(text.size()));
    }
    // The walk over a note moves a position up to two past the last
    // character, and that must still be a Long.
    if (count > static_cast<std::size_t>(std::numeric_limits<int32_t>::max()) - 2) tooLong();
    length_ = static_cast<int32_t>(count);
}

std::size_t NoteText::offset(int32_t position) const {
    const auto index = static_cast<std::size_t>(position - 1);
    return starts_.empty() ? index : starts_[index];
}

std::string_view NoteText::characters(int32_t first, int32_t last) const {
    if (last < first) return {};
    const std::size_t from = offset(first);
    return text_.substr(from, offset(last + 1) - from);
}

}  // namespace lumo::access
