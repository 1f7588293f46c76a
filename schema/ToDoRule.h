#pragma once
// The rule by which a note gives a ToDo row, which every writer of the
// files keeps alike: the library when it stores a new person or sheet (the
// whole note) or records a changed dated entry of a note, and `lumo init`
// when it writes the sample books directly. Length is counted in
// characters, not bytes: ten kanji are ten characters.
#include <cstddef>
#include <string_view>

#include "platform/Utf8.h"

namespace lumo::schema {

inline constexpr std::size_t kToDoCharacters = 10;

// True when `text` has at least kToDoCharacters characters; reads no
// further than that many.
inline bool longEnoughForToDo(std::string_view text) {
    return text.size() >= kToDoCharacters &&
           utf8::characterCount(utf8::firstCharacters(text, kToDoCharacters)) == kToDoCharacters;
}

}  // namespace lumo::schema
