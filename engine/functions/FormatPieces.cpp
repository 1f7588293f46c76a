#include <algorithm>

#include "platform/Utf8.h"
#include "engine/functions/FormatText.h"

namespace lumo::db::jet {

std::vector<FormatPiece> formatPieces(std::string_view format) {
    std::vector<FormatPiece> pieces;
    for (std::size_t i = 0; i < format.size();) {
        const char c = format[i];
        if (c == '"') {
            const std::size_t close = format.find('"', i + 1);
            const std::size_t end = close == std::string_view::npos ? format.size() : close;
            pieces.push_back({true, format.substr(i + 1, end - i - 1)});
            i = end + 1;
        } else if (c == '\\' && i + 1 < format.size()) {
            const std::size_t length = utf8::characterBytes(format.substr(i + 1));
            pieces.push_back({true, format.substr(i + 1, length)});
            i += 1 + length;
        } else {
            const std::size_t length = utf8::characterBytes(format.substr(i));
            pieces.push_back({length > 1, format.substr(i, length)});
            i += length;
        }
    }
    return pieces;
}

std::vector<std::string_view> formatSections(std::string_view format) {
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '"') quoted = !quoted;
        else if (format[i] == '\\' && !quoted) ++i;
        else if (format[i] == ';' && !quoted) {
            sections.push_back(format.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(format.substr(start < format.size() ? start : format.size()));
    return sections;
}

FormatKind formatKind(std::string_view format) {
    bool digits = false, text = false;
    const std::vector<FormatPiece> pieces = formatPieces(format);
    // A digit placeholder makes a number format, whatever letters its
    // sections show: the Zero of '#,##0;(#,##0);Zero' is no date's e, the
    // Null of '0;-0;0;Null' no minute.
    if (std::any_of(pieces.begin(), pieces.end(),
                    [](const FormatPiece& p) { return !p.literal && (p.text[0] == '0' || p.text[0] == '#'); }))
        return FormatKind::Number;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const FormatPiece& piece = pieces[i];
        if (piece.literal) continue;
        switch (piece.text[0] | 0x20) {
        case 'y': case 'm': case 'd': case 'h': case 'n': case 's': case 'w': case 'q': case 'c': case 'a': case 't':
        case 'g':
            return FormatKind::Date;
        case 'o':  // oooo, the month's Japanese name
            if (i + 3 < pieces.size() && std::all_of(pieces.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                                     pieces.begin() + static_cast<std::ptrdiff_t>(i) + 4,
                                                     [](const FormatPiece& p) { return !p.literal && (p.text[0] | 0x20) == 'o'; }))
                return FormatKind::Date;
            break;
        case 'e':  // the era's year, unless it is a number's E+ or e-
            if (i + 1 < pieces.size() && (pieces[i + 1].text == "+" || pieces[i + 1].text == "-")) break;
            return FormatKind::Date;
        default: break;
        }
        const char c = piece.text[0];
        if (c == '0' || c == '#') digits = true;
        if (c == '@' || c == '&' || c == '<' || c == '>') text = true;
    }
    return text && !digits ? FormatKind::Text : FormatKind::Number;
}

}  // namespace lumo::db::jet
