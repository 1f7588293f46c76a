#pragma once
// The content lines of vCard files: splitting a file into logical lines
// (unfolding, quoted-printable soft line breaks), one line into group,
// name, parameters and value, and the value escapes and folding of the
// writer. Stateless functions; any thread.
#include <string>
#include <string_view>
#include <vector>

namespace lumo::exchange::syntax {

// Longest logical line the reader takes; a longer one is reported and left
// out (a note of 70,000 characters is about 200 KB).
inline constexpr std::size_t kMaxLine = 4 * 1024 * 1024;

struct Line {
    std::string text;  // unfolded, without its line end
    int number = 0;    // line of the file it starts on, from 1
    bool tooLong = false;  // longer than kMaxLine; text is cut
};

// The logical lines of a file: a leading UTF-8 BOM is skipped, lines end
// with CR LF, LF or CR, a line starting with a space or a tab continues the
// one before (that one blank removed), and a line that names
// QUOTED-PRINTABLE and ends in '=' continues on the next line. Empty lines
// are dropped.
std::vector<Line> logicalLines(std::string_view bytes);

struct Parameter {
    std::string name;                 // upper case; "TYPE" for a bare 2.1 value ("TEL;HOME:")
    std::vector<std::string> values;  // as written, quotes removed
};

struct Property {
    std::string group;  // "item1" of "item1.TEL", as written
    std::string name;   // upper case
    std::vector<Parameter> params;
    std::string value;  // raw: still escaped or encoded
    int line = 0;
    bool has(std::string_view param) const;
    // The values of a parameter (every occurrence), "" when absent.
    std::vector<std::string> values(std::string_view param) const;
    std::string first(std::string_view param) const;
    // Whether TYPE (or a bare 2.1 parameter) holds `type`, ignoring case.
    bool hasType(std::string_view type) const;
};

// Splits one logical line; false when it has no ':' or no name.
bool parseProperty(const Line& line, Property& property);

// Value escapes. unescape turns \n and \N into LF, and \\ \, \; \: into the
// character; any other backslash stays.
std::string escapeText(std::string_view text);
std::string unescape(std::string_view text);
// Splits at every `separator` without a backslash before it; the parts
// are still escaped.
std::vector<std::string_view> splitEscaped(std::string_view value, char separator);

// Quoted-printable bytes; a broken escape is kept as written.
std::string decodeQuotedPrintable(std::string_view text);
// Base64 is never decoded: photos are skipped.

// Appends one content line with its CR LF, folded so that no line has more
// than 75 octets (the leading blank of a continuation included), never
// inside a UTF-8 character.
void appendFolded(std::string& out, std::string_view line);

std::string upperAscii(std::string_view s);
bool equalsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace lumo::exchange::syntax
