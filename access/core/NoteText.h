#pragma once
// A note with its characters indexed, so that the note-entry reader can
// address characters by 1-based position in constant time. Positions count
// characters as lumo::utf8 does; the pieces handed out are views of the
// note's own bytes.
//
// A NoteText refers to the text it was made from and holds only the index:
// the text must outlive it. It is used by one thread, like the access
// object that makes it for the length of one call.
#include <cstdint>
#include <string_view>
#include <vector>

namespace lumo::access {

class NoteText {
public:
    // Fails (lumo::Error) for a text of more characters than a Long holds.
    explicit NoteText(std::string_view text);

    std::string_view text() const { return text_; }
    int32_t length() const { return length_; }

    // The character at `position` (1..length) is a line feed or a
    // carriage return.
    bool isLineFeed(int32_t position) const { return byteAt(position) == '\n'; }
    bool isCarriageReturn(int32_t position) const { return byteAt(position) == '\r'; }

    // The characters first..last (1-based, inclusive; empty when last < first).
    std::string_view characters(int32_t first, int32_t last) const;

private:
    std::size_t offset(int32_t position) const;
    char byteAt(int32_t position) const { return text_[offset(position)]; }

    std::string_view text_;
    int32_t length_ = 0;
    // Byte offset of each character, followed by the text's size; empty
    // for pure ASCII text, where the offset of position p is p - 1.
    std::vector<uint32_t> starts_;
};

}  // namespace lumo::access
