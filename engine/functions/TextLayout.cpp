// Text formats: @ shows a character or a blank, & a character or
// nothing; placeholders fill from the right unless ! says from the left;
// < and > change the whole text to lower or upper case. A second section
// formats the empty text.
#include "engine/functions/FormatText.h"
#include "engine/functions/TextRules.h"

namespace lumo::db::jet {

std::string layText(std::string_view text, std::string_view format) {
    const std::vector<std::string_view> sections = formatSections(format);
    const std::string_view section = text.empty() && sections.size() >= 2 ? sections[1] : sections[0];
    const std::vector<FormatPiece> pieces = formatPieces(section);
    bool leftToRight = false;
    int caseChange = 0;  // < lower, > upper
    std::size_t places = 0;
    for (const FormatPiece& p : pieces) {
        if (p.literal) continue;
        if (p.text == "!") leftToRight = true;
        else if (p.text == "<") caseChange = -1;
        else if (p.text == ">") caseChange = 1;
        else if (p.text == "@" || p.text == "&") ++places;
    }
    const std::string changed = caseChange < 0 ? lowerCase(text) : caseChange > 0 ? upperCase(text) : std::string(text);
    const std::vector<std::size_t> starts = characterStarts(changed);
    const std::size_t count = starts.size() - 1;
    const auto character = [&](std::size_t k) { return std::string_view(changed).substr(starts[k], starts[k + 1] - starts[k]); };
    // The character each placeholder shows, counted from the side the text is aligned to.
    std::string out;
    std::size_t seen = 0;
    for (const FormatPiece& p : pieces) {
        const bool place = !p.literal && (p.text == "@" || p.text == "&");
        if (!place) {
            if (p.literal || (p.text != "!" && p.text != "<" && p.text != ">")) out += p.text;
            continue;
        }
        if (leftToRight) {
            if (seen < count) out += character(seen);
            else if (p.text == "@") out += ' ';
            if (seen + 1 == places)
                for (std::size_t k = places; k < count; ++k) out += character(k);
        } else {
            const std::size_t fromRight = places - 1 - seen;
            if (seen == 0)
                for (std::size_t k = 0; k + places < count; ++k) out += character(k);
            if (fromRight < count) out += character(count - 1 - fromRight);
            else if (p.text == "@") out += ' ';
        }
        ++seen;
    }
    // Without placeholders (">" alone) the whole text follows the literals.
    if (places == 0) out += changed;
    return out;
}

}  // namespace lumo::db::jet
