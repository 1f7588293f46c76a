#pragma once
// The statements of the address book's lists, and how the search box's
// text reaches the library's person search. The lists run on the
// program's own engine connection; the search statement itself comes from
// the library (clsPidAccess::CreateSimpleViewQuery). Free functions, no
// state; any thread.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumo::book {

// A word made literal for the library's LIKE patterns, in Jet's way: `%`,
// `_` and `[` become `[%]`, `[_]` and `[[]`. Quotes stay: the library
// writes the word into its statement as a quoted literal itself.
std::string literalLikeWord(std::string_view word);

// What the search box asks the library for: a text of phone characters
// (digits, with - ( ) + and blanks, at least one digit) searches the phone
// numbers, anything else the names, readings, spouse and company. Both
// already literal (literalLikeWord). Full-width digits and hyphens count as
// their ASCII forms, as a Japanese input method types them.
struct SearchWords {
    std::string name;
    std::string phone;
    bool empty() const { return name.empty() && phone.empty(); }
};
SearchWords searchWords(std::string_view text);

// Every person (or the members of one group, typeId > 0) with the reading
// the list is sorted by: PERSON_ID, PERSON_ALIAS.
std::string personIdsStatement(int32_t typeId);

// The list's columns for a set of persons: PERSON_ID, PERSON_NAME,
// PERSON_ALIAS, PHONE, ADDRESS, LABEL.
std::string personRowsStatement(const std::vector<int32_t>& ids);

// Every group with its member count, in key order: TYPE_ID, LABEL, MEMBERS.
std::string groupCountsStatement();
std::string personCountStatement();

// The key the list sorts readings by: katakana as its hiragana, so that
// オブライエン sorts among the お.
std::string readingSortKey(std::string_view reading);

// The index row (あ, か, ... わ) a reading starts in: 0 to 9, or -1 for a
// reading that starts with no kana. Katakana counts as its hiragana.
int kanaRowOf(std::string_view reading);
// The captions of the index rows, in order.
const std::vector<std::string>& kanaRowCaptions();

}  // namespace lumo::book
