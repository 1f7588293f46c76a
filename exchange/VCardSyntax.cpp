#include "exchange/VCardSyntax.h"

#include "exchange/Charset.h"
#include "platform/Utf8.h"

namespace lumo::exchange::syntax {

std::string upperAscii(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return u;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

namespace {

bool containsIgnoreCase(std::string_view haystack, std::string_view needle) {
    if (needle.size() > haystack.size()) return false;
    for (std::size_t i = 0; i + needle.size() <= haystack.size(); ++i)
        if (equalsIgnoreCase(haystack.substr(i, needle.size()), needle)) return true;
    return false;
}

// Whether the name and parameters of a line (before its first ':') ask
// for quoted-printable.
bool namesQuotedPrintable(std::string_view line) {
    const std::size_t colon = line.find(':');
    return containsIgnoreCase(line.substr(0, colon == std::string_view::npos ? line.size() : colon),
                              "QUOTED-PRINTABLE");
}

class LineCollector {
public:
    explicit LineCollector(std::vector<Line>& out) : out_(out) {}

    void physical(std::string_view text, int number) {
        if (!current_.text.empty() || started_) {
            if (quotedPrintable_ && !current_.text.empty() && current_.text.back() == '=') {
                current_.text.pop_back();
                append(text);
                return;
            }
            if (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
                append(text.substr(1));
                return;
            }
        }
        flush();
        if (text.empty()) return;
        started_ = true;
        current_.number = number;
        append(text);
        quotedPrintable_ = namesQuotedPrintable(current_.text);
    }

    void flush() {
        if (started_ && !current_.text.empty()) out_.push_back(std::move(current_));
        current_ = Line{};
        started_ = false;
        quotedPrintable_ = false;
    }

private:
    void append(std::string_view text) {
        if (current_.tooLong) return;
        if (current_.text.size() + text.size() > kMaxLine) {
            current_.text.append(text.substr(0, kMaxLine - current_.text.size()));
            current_.tooLong = true;
            return;
        }
        current_.text.append(text);
    }

    std::vector<Line>& out_;
    Line current_;
    bool started_ = false;
    bool quotedPrintable_ = false;
};

}  // namespace

std::vector<Line> logicalLines(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    std::vector<Line> lines;
    LineCollector collector(lines);
    int number = 1;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        std::size_t end = start;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
        if (end == bytes.size()) {
            if (start < bytes.size()) collector.physical(bytes.substr(start), number);
            break;
        }
        collector.physical(bytes.substr(start, end - start), number);
        std::size_t next = end + 1;
        if (bytes[end] == '\r' && next < bytes.size() && bytes[next] == '\n') ++next;
        ++number;
        start = next;
    }
    collector.flush();
    return lines;
}

bool Property::has(std::string_view param) const {
    for (const Parameter& p : params)
        if (p.name == param) return true;
    return false;
}

std::vector<std::string> Property::values(std::string_view param) const {
    std::vector<std::string> all;
    for (const Parameter& p : params)
        if (p.name == param) all.insert(all.end(), p.values.begin(), p.values.end());
    return all;
}

std::string Property::first(std::string_view param) const {
    for (const Parameter& p : params)
        if (p.name == param && !p.values.empty()) return p.values.front();
    return {};
}

bool Property::hasType(std::string_view type) const {
    // TYPE="voice,home" (quoted, as RFC 6350's examples write it) is a list too.
    for (const Parameter& p : params)
        if (p.name == "TYPE")
            for (const std::string& v : p.values)
                for (std::string_view t : splitEscaped(v, ','))
                    if (equalsIgnoreCase(t, type)) return true;
    return false;
}

namespace {

// RFC 6868: ^n is a line break, ^' a double quote, ^^ a caret.
std::string decodeParameterValue(std::string_view v) {
    int bad = 0;
    const std::string valid = validUtf8(v, bad);
    v = valid;
    std::string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] == '^' && i + 1 < v.size() && (v[i + 1] == 'n' || v[i + 1] == '\'' || v[i + 1] == '^')) {
            out += v[i + 1] == 'n' ? '\n' : v[i + 1] == '\'' ? '"' : '^';
            ++i;
        } else {
            out += v[i];
        }
    }
    return out;
}

}  // namespace

bool parseProperty(const Line& line, Property& property) {
    const std::string_view text = line.text;
    property = Property{};
    property.line = line.number;
    std::size_t i = 0;
    while (i < text.size() && text[i] != ';' && text[i] != ':') ++i;
    if (i == text.size()) return false;
    std::string_view name = text.substr(0, i);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
    if (const auto dot = name.rfind('.'); dot != std::string_view::npos) {
        property.group = std::string(name.substr(0, dot));
        name.remove_prefix(dot + 1);
    }
    // Names are letters, digits and '-' (RFC 6350 3.3); '_' is tolerated.
    const auto isName = [](std::string_view n) {
        return !n.empty() && n.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_") ==
                                 std::string_view::npos;
    };
    if (!isName(name) || (!property.group.empty() && !isName(property.group))) return false;
    property.name = upperAscii(name);
    while (i < text.size() && text[i] == ';') {
        ++i;
        const std::size_t nameStart = i;
        while (i < text.size() && text[i] != '=' && text[i] != ';' && text[i] != ':') ++i;
        Parameter p;
        std::string_view pname = text.substr(nameStart, i - nameStart);
        while (!pname.empty() && pname.back() == ' ') pname.remove_suffix(1);
        if (i < text.size() && text[i] == '=') {
            p.name = upperAscii(pname);
            ++i;
            while (true) {
                std::string value;
                if (i < text.size() && text[i] == '"') {
                    const std::size_t close = text.find('"', i + 1);
                    if (close == std::string_view::npos) return false;
                    value = decodeParameterValue(text.substr(i + 1, close - i - 1));
                    i = close + 1;
                } else {
                    const std::size_t start = i;
                    while (i < text.size() && text[i] != ',' && text[i] != ';' && text[i] != ':') ++i;
                    value = decodeParameterValue(text.substr(start, i - start));
                }
                p.values.push_back(std::move(value));
                if (i < text.size() && text[i] == ',') {
                    ++i;
                    continue;
                }
                break;
            }
        } else {
            // vCard 2.1 writes a bare value: TEL;HOME;VOICE:
            if (pname.empty()) continue;
            const std::string upper = upperAscii(pname);
            if (upper == "QUOTED-PRINTABLE" || upper == "BASE64" || upper == "8BIT" || upper == "7BIT") {
                p.name = "ENCODING";
            } else {
                p.name = "TYPE";
            }
            p.values.push_back(decodeParameterValue(pname));
        }
        property.params.push_back(std::move(p));
    }
    if (i >= text.size() || text[i] != ':') return false;
    property.value = std::string(text.substr(i + 1));
    return true;
}

std::string escapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
            case '\\': out += "\\\\"; break;
            case ',': out += "\\,"; break;
            case ';': out += "\\;"; break;
            case '\r':
                if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
                out += "\\n";
                break;
            case '\n': out += "\\n"; break;
            default: out += c;
        }
    }
    return out;
}

std::string unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char n = text[i + 1];
            if (n == 'n' || n == 'N') {
                out += '\n';
                ++i;
                continue;
            }
            if (n == '\\' || n == ',' || n == ';' || n == ':') {
                out += n;
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::vector<std::string_view> splitEscaped(std::string_view value, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\') {
            ++i;
            continue;
        }
        if (value[i] == separator) {
            parts.push_back(value.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(value.substr(start));
    return parts;
}

std::string decodeQuotedPrintable(std::string_view text) {
    const auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size()) {
            const int hi = hex(text[i + 1]), lo = hex(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

void appendFolded(std::string& out, std::string_view line) {
    constexpr std::size_t kOctets = 75;
    std::size_t room = kOctets;
    bool first = true;
    while (!line.empty()) {
        std::size_t take = 0;
        while (take < line.size()) {
            const std::size_t n = utf8::characterBytes(line.substr(take));
            if (take + n > room) break;
            take += n;
        }
        if (take == 0) take = utf8::characterBytes(line);  // cannot happen with room >= 4
        if (!first) out += ' ';
        out.append(line.substr(0, take));
        out += "\r\n";
        line.remove_prefix(take);
        first = false;
        room = kOctets - 1;
    }
    if (first) out += "\r\n";
}

}  // namespace lumo::exchange::syntax
