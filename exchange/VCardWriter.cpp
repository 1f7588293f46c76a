#include "exchange/VCardWriter.h"

#include <cstdio>
#include <vector>

#include "exchange/VCardMapping.h"
#include "exchange/VCardSyntax.h"
#include "platform/Dates.h"

namespace lumo::exchange {
namespace {

using namespace mapping;
using syntax::appendFolded;

// One content line being built: name, parameters, value.
class LineBuilder {
public:
    LineBuilder(VCardVersion version, std::string_view name, std::string_view group = {})
        : v40_(version == VCardVersion::v40) {
        if (!group.empty()) (line_ += group) += '.';
        line_ += name;
    }
    // A parameter; its value quoted where it holds a separator (RFC 6868
    // carets for quotes, carets and line breaks).
    LineBuilder& param(std::string_view name, std::string_view value) { return params(name, {value}); }
    // A parameter with a list of values, each quoted on its own if need be.
    LineBuilder& params(std::string_view name, std::initializer_list<std::string_view> values) {
        (line_ += ';') += name;
        line_ += '=';
        bool first = true;
        for (std::string_view value : values) {
            if (!first) line_ += ',';
            first = false;
            line_ += quoted(value);
        }
        return *this;
    }
    LineBuilder& types(const std::array<std::string_view, 2>& types, std::string_view extra = {}) {
        std::string list;
        for (std::string_view t : types) {
            if (t.empty()) continue;
            if (!list.empty()) list += ',';
            list += v40_ ? std::string(t) : syntax::upperAscii(t);
        }
        if (!extra.empty()) {
            if (!list.empty()) list += ',';
            list += extra;
        }
        if (!list.empty()) (line_ += ";TYPE=") += list;
        return *this;
    }
    // Text components, escaped; line ends other than CR LF are named in a
    // parameter so that they come back as they were.
    void finish(std::string& out, std::initializer_list<std::string_view> components) {
        finishAll(out, components);
    }
    template <class Range>
    void finishAll(std::string& out, const Range& components) {
        std::string value, forms;
        bool first = true, plain = true;
        for (std::string_view c : components) {
            if (!first) value += ';';
            first = false;
            value += syntax::escapeText(c);
            collectNewlines(c, forms, plain);
        }
        if (!plain) (((line_ += ';') += kNewlinesParam) += '=') += forms;  // a list of plain tokens
        finishRaw(out, value);
    }
    void finishRaw(std::string& out, std::string_view value) {
        line_ += ':';
        line_ += value;
        appendFolded(out, line_);
    }

private:
    static void collectNewlines(std::string_view text, std::string& forms, bool& plain) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            std::string_view form;
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                form = "RN";
                ++i;
            } else if (text[i] == '\r') {
                form = "R", plain = false;
            } else if (text[i] == '\n') {
                form = "N", plain = false;
            } else {
                continue;
            }
            if (!forms.empty()) forms += ',';
            forms += form;
        }
    }
    static std::string quoted(std::string_view value) {
        std::string out;
        bool quote = false;
        for (char c : value) {
            if (c == '^') out += "^^";
            else if (c == '"') out += "^'";
            else if (c == '\n') out += "^n";
            else if (c == '\r') continue;
            else {
                if (c == ';' || c == ':' || c == ',') quote = true;
                out += c;
            }
        }
        return quote ? "\"" + out + "\"" : out;
    }

    bool v40_;
    std::string line_;
};

bool writtenIn(unsigned written, VCardVersion version) {
    return (written & (version == VCardVersion::v40 ? k40 : k30)) != 0;
}

std::string formatDate(double value, VCardVersion version) {
    const dates::DateTime t = dates::fromAutomation(value);
    char text[32];
    const bool hasTime = t.hour || t.minute || t.second;
    if (version == VCardVersion::v40) {
        if (hasTime)
            std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute,
                          t.second);
        else
            std::snprintf(text, sizeof text, "%04d%02d%02d", t.year, t.month, t.day);
    } else {
        if (hasTime)
            std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                          t.minute, t.second);
        else
            std::snprintf(text, sizeof text, "%04d-%02d-%02d", t.year, t.month, t.day);
    }
    return text;
}

std::string joinedReadings(const PersonInformation& p, const PersonProperty& row) {
    std::string joined;
    for (TextField f : row.fields) {
        if (!f || (p.*f).empty()) continue;
        if (!joined.empty()) joined += ' ';
        joined += p.*f;
    }
    return joined;
}

std::string formattedName(const PersonInformation& p) {
    std::string name = p.strLastName;
    if (!p.strFirstName.empty()) {
        if (!name.empty()) name += ' ';
        name += p.strFirstName;
    }
    if (name.empty()) name = p.strCompany;
    if (name.empty()) name = p.strNickName;
    return name;
}

void writePerson(std::string& out, const PersonInformation& p, VCardVersion version) {
    for (const PersonProperty& row : personProperties()) {
        if (!writtenIn(row.written, version)) continue;
        const auto field = [&](int i) -> std::string_view { return row.fields[i] ? std::string_view(p.*row.fields[i]) : ""; };
        LineBuilder line(version, row.name);
        if (!row.type.empty()) line.types({row.type, {}});
        if (!row.valueType.empty() && version == VCardVersion::v40) line.param("VALUE", row.valueType);
        switch (row.form) {
            case Form::Text:
                if (field(0).empty()) continue;
                line.finish(out, {field(0)});
                break;
            case Form::Components:
                if (row.name == "N") {
                    // N is always written (3.0 requires it); 4.0 adds the
                    // readings as its sort forms.
                    if (version == VCardVersion::v40 && (!p.strLastAlias.empty() || !p.strFirstAlias.empty()))
                        line.params("SORT-AS", {p.strLastAlias, p.strFirstAlias});
                    line.finish(out, {field(0), field(1), "", "", ""});
                    break;
                }
                if (field(0).empty() && field(1).empty()) continue;
                line.finish(out, {field(0), field(1)});
                break;
            case Form::Address:
                if (field(0).empty() && field(1).empty() && field(2).empty()) continue;
                line.finish(out, {"", field(2), field(1), "", "", field(0), ""});
                break;
            case Form::Date:
                if (p.*row.date == 0) continue;
                line.finishRaw(out, formatDate(p.*row.date, version));
                break;
            case Form::Number:
                if (p.*row.number == 0) continue;
                line.finishRaw(out, std::to_string(p.*row.number));
                break;
            case Form::SortString: {
                const std::string joined = joinedReadings(p, row);
                if (joined.empty()) continue;
                line.finish(out, {joined});
                break;
            }
            case Form::Kana:
                break;  // read only
        }
    }
}

const KindType* kindOf(std::span<const KindType> table, std::string_view ours) {
    for (const KindType& k : table)
        if (syntax::equalsIgnoreCase(k.ours, ours)) return &k;
    return nullptr;
}

// What a reader makes of the vCard types written for `kind`.
std::string_view typeReadBack(std::span<const KindType> table, const KindType* kind) {
    if (!kind) return {};
    for (const KindType& k : table)
        if (k.types[0] == kind->types[0] || k.types[0] == kind->types[1]) return k.ours;
    return {};
}

template <class Row>
void writeList(std::string& out, const std::vector<Row>& rows, VCardVersion version, std::string_view name,
               std::span<const KindType> table, std::string Row::*value, bool descending, int& item,
               std::string_view extraType) {
    const int n = static_cast<int>(rows.size());
    for (int i = 0; i < n; ++i) {
        const Row& row = rows[static_cast<std::size_t>(i)];
        std::string group;
        if (!row.strLabel.empty()) group = "item" + std::to_string(++item);
        LineBuilder line(version, name, group);
        const KindType* kind = kindOf(table, row.strType);
        line.types(kind ? kind->types : std::array<std::string_view, 2>{}, extraType);
        if (typeReadBack(table, kind) != row.strType) line.param(kTypeParam, row.strType);
        const int position = descending ? n - i : i + 1;
        if (row.intRank != position) line.param(kRankParam, std::to_string(row.intRank));
        line.finish(out, {row.*value});
        if (!group.empty()) LineBuilder(version, kLabel, group).finish(out, {row.strLabel});
    }
}

}  // namespace

std::string writeVCard(const Contact& contact, VCardVersion version, std::string_view uid) {
    if (version == VCardVersion::v21) version = VCardVersion::v30;
    const bool v40 = version == VCardVersion::v40;
    const PersonInformation& p = contact.person;
    std::string out;
    out.reserve(1024);
    out += "BEGIN:VCARD\r\n";
    out += v40 ? "VERSION:4.0\r\n" : "VERSION:3.0\r\n";
    LineBuilder(version, "PRODID").finish(out, {kProductId});
    if (!uid.empty()) LineBuilder(version, "UID").finish(out, {uid});
    LineBuilder(version, "FN").finish(out, {formattedName(p)});
    writePerson(out, p, version);

    int item = 0;
    writeList(out, contact.phones, version, kPhone, phoneTypes(), &LumoAccess::PhoneInformation::strPhoneNumber,
              false, item, {});
    writeList(out, contact.mails, version, kMail, mailTypes(), &LumoAccess::MailInformation::strMailAddress, true,
              item, v40 ? "" : "INTERNET");

    bool childReadings = false;
    for (const auto& child : contact.children) {
        childReadings = childReadings || !child.strAlias.empty();
        if (v40) LineBuilder(version, kRelated).types({"child", {}}).param("VALUE", "text").finish(out, {child.strName});
        else LineBuilder(version, kChild30).finish(out, {child.strName});
    }
    if (childReadings)
        for (const auto& child : contact.children) LineBuilder(version, kChildReading).finish(out, {child.strAlias});

    for (const auto& g : contact.greetings) {
        std::vector<std::string> components{std::to_string(g.lngYear)};
        for (GreetingFlag flag : greetingFlags()) components.emplace_back(g.*flag ? "1" : "0");
        components.push_back(g.strMemo);
        LineBuilder(version, kGreeting).finishAll(out, components);
    }
    if (!contact.group.empty()) LineBuilder(version, kGroup).finish(out, {contact.group});
    out += "END:VCARD\r\n";
    return out;
}

}  // namespace lumo::exchange
