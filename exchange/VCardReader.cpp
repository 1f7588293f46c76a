#include "exchange/VCardReader.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>

#include "exchange/Charset.h"
#include "exchange/Kana.h"
#include "exchange/VCardMapping.h"
#include "exchange/VCardSyntax.h"
#include "platform/Dates.h"

namespace lumo::exchange {
namespace {

using namespace mapping;
using syntax::equalsIgnoreCase;
using syntax::Property;
using LumoAccess::Integer;

// Properties that describe the card rather than the person, or that another
// property already gave: left out without a word.
constexpr std::string_view kQuiet[] = {
    "VERSION", "PRODID", "REV", "UID", "FN", "KIND", "X-ABSHOWAS", "X-ABUID", "X-ABADR", "X-ABLABEL",
    "X-EVOLUTION-FILE-AS", "SOURCE", "NAME", "CLIENTPIDMAP", "X-EVOLUTION-WEBDAV-ETAG", "MAILER",
};

// Binary properties: never decoded, counted when they carry data.
constexpr std::string_view kBinary[] = {"PHOTO", "LOGO", "SOUND", "KEY"};

// iPhone's labels that say no more than the field they are on.
constexpr std::string_view kPlainLabels[] = {"HomePage", "Home", "Work", "Other"};

// Google's own system groups, which are not the person's group.
constexpr std::string_view kSystemCategories[] = {"myContacts", "starred"};

template <std::size_t N>
bool among(const std::string_view (&list)[N], std::string_view name) {
    return std::ranges::any_of(list, [&](std::string_view x) { return equalsIgnoreCase(x, name); });
}

// A value with no column, to be kept in a free memo pair (or the note).
struct Leftover {
    std::string label;
    std::string value;
    std::string origin;  // what the report names
};

class CardReader {
public:
    CardReader(std::string_view source, int line) : source_(source) { card_.line = line; }

    void problem(int line, const std::string& message) {
        problems_.emplace_back(line, std::string(source_) + ":" + std::to_string(line) + ": " + message);
    }
    void reject(int line, const std::string& message) {
        problem(line, message);
        card_.rejected = true;
    }

    ReadCard finish(std::vector<Property>& properties) {
        for (const Property& p : properties)
            if (p.name == "VERSION") version_ = syntax::unescape(p.value);
        for (const Property& p : properties)
            if (p.name == kLabel && !p.group.empty()) labels_[p.group] = appleLabel(text(p));
        for (const Property& p : properties)
            if (p.name == "PRODID") ours_ = text(p) == kProductId;
        for (const Property& p : properties) take(p, false);
        // Other forms of the readings, only when the card gave none itself.
        if (readingsEmpty()) {
            for (const Property& p : properties) take(p, true);
            if (readingsEmpty() && !sortAs_.empty()) {
                assign(&PersonInformation::strLastAlias, sortAs_[0], nLine_, "N (SORT-AS)");
                if (sortAs_.size() > 1) assign(&PersonInformation::strFirstAlias, sortAs_[1], nLine_, "N (SORT-AS)");
            }
        }
        finishName();
        finishLists();
        placeLeftovers();
        // In the order of the file's lines, whichever step found them.
        std::ranges::stable_sort(problems_, {}, &std::pair<int, std::string>::first);
        for (auto& [line, text] : problems_) card_.problems.push_back(std::move(text));
        return std::move(card_);
    }

private:
    // ------------------------------------------------------------ values

    // The value's bytes after its transfer encoding and character set, not
    // yet unescaped; nothing for binary data.
    std::optional<std::string> decoded(const Property& p) {
        const std::string encoding = syntax::upperAscii(p.first("ENCODING"));
        if (encoding == "B" || encoding == "BASE64") return std::nullopt;
        std::string bytes = encoding == "QUOTED-PRINTABLE" ? syntax::decodeQuotedPrintable(p.value) : p.value;
        const std::string charset = p.first("CHARSET");
        if (!charset.empty() && !equalsIgnoreCase(charset, "UTF-8")) {
            if (auto text = decodeCharset(bytes, charset)) return *text;
            problem(p.line, p.name + ": 文字コード " + charset + " として読めません");
        }
        int bad = 0;
        std::string text = validUtf8(bytes, bad);
        if (bad) problem(p.line, p.name + ": UTF-8 として正しくないバイトを " + std::to_string(bad) + " か所 U+FFFD に置き換えました");
        return text;
    }

    // Line ends as they were written: X-LUMO-NEWLINES names every one that
    // was not CR LF; without it every line end becomes CR LF.
    class Newlines {
    public:
        explicit Newlines(const Property& p) : forms_(p.values(kNewlinesParam)) {}
        std::string restore(std::string_view s) {
            std::string out;
            out.reserve(s.size() + 8);
            for (std::size_t i = 0; i < s.size(); ++i) {
                if (s[i] != '\r' && s[i] != '\n') {
                    out += s[i];
                    continue;
                }
                if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
                const std::string form = next_ < forms_.size() ? forms_[next_++] : "RN";
                out += form == "N" ? "\n" : form == "R" ? "\r" : "\r\n";
            }
            return out;
        }

    private:
        std::vector<std::string> forms_;
        std::size_t next_ = 0;
    };

    std::string text(const Property& p) {
        const auto bytes = decoded(p);
        if (!bytes) return {};
        Newlines newlines(p);
        return newlines.restore(syntax::unescape(*bytes));
    }

    std::vector<std::string> components(const Property& p) {
        std::vector<std::string> parts;
        const auto bytes = decoded(p);
        if (!bytes) return parts;
        Newlines newlines(p);
        for (std::string_view part : syntax::splitEscaped(*bytes, ';'))
            parts.push_back(newlines.restore(syntax::unescape(part)));
        return parts;
    }

    static std::string appleLabel(std::string label) {
        // _$!<Mobile>!$_ is iPhone's name for a label of its own list.
        if (label.starts_with("_$!<") && label.ends_with(">!$_")) label = label.substr(4, label.size() - 8);
        return label;
    }

    std::string labelOf(const Property& p) const {
        if (p.group.empty()) return {};
        const auto it = labels_.find(p.group);
        return it == labels_.end() ? std::string() : it->second;
    }

    // ------------------------------------------------------------ fields

    // A field takes the first value given; a different later one is kept as
    // a leftover, so that nothing is lost.
    void assign(TextField field, std::string value, int, std::string_view origin) {
        std::string& target = card_.contact.person.*field;
        if (value.empty() || target == value) return;
        if (target.empty()) {
            target = std::move(value);
            return;
        }
        leftovers_.push_back({std::string(origin), std::move(value), std::string(origin) + " (2つ目)"});
    }

    bool readingsEmpty() const {
        return std::ranges::all_of(kNameReadings, [&](TextField f) { return (card_.contact.person.*f).empty(); });
    }

    static std::optional<double> parseDate(std::string_view v) {
        // 2024-01-31, 20240131, either with Thh:mm:ss / Thhmmss and a zone
        // (ignored); --0131 has no year and is not a date we can keep.
        std::string digits;
        std::size_t i = 0;
        for (; i < v.size() && v[i] != 'T' && v[i] != 't'; ++i)
            if (v[i] != '-') {
                if (v[i] < '0' || v[i] > '9') return std::nullopt;
                digits += v[i];
            }
        if (digits.size() != 8 || v.starts_with("--")) return std::nullopt;
        const auto number = [](std::string_view s) {
            int n = 0;
            std::from_chars(s.data(), s.data() + s.size(), n);
            return n;
        };
        int hour = 0, minute = 0, second = 0;
        if (i < v.size()) {
            std::string t;
            for (++i; i < v.size() && v[i] != 'Z' && v[i] != '+' && v[i] != '-'; ++i)
                if (v[i] != ':') {
                    if (v[i] < '0' || v[i] > '9') return std::nullopt;
                    t += v[i];
                }
            if (t.size() < 4 || t.size() > 6) return std::nullopt;
            t.resize(6, '0');
            hour = number(t.substr(0, 2)), minute = number(t.substr(2, 2)), second = number(t.substr(4, 2));
            if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
        }
        try {
            return dates::toAutomation(number(std::string_view(digits).substr(0, 4)),
                                       number(std::string_view(digits).substr(4, 2)),
                                       number(std::string_view(digits).substr(6, 2)), hour, minute, second);
        } catch (...) {
            return std::nullopt;
        }
    }

    void assignDate(LumoAccess::Date PersonInformation::*field, const Property& p, std::string_view origin) {
        const std::string value = text(p);
        const auto date = parseDate(value);
        double& target = card_.contact.person.*field;
        if (!date) {
            if (!value.empty()) leftovers_.push_back({std::string(origin), value, std::string(origin) + " (日付として読めません)"});
            return;
        }
        if (target == *date) return;
        if (target == 0) {
            target = *date;
            return;
        }
        leftovers_.push_back({std::string(origin), value, std::string(origin) + " (2つ目)"});
    }

    const PersonProperty* rowFor(const Property& p, bool fallback) const {
        const PersonProperty* untyped = nullptr;
        const PersonProperty* firstFree = nullptr;
        const PersonProperty* first = nullptr;
        bool typed = false;
        for (const PersonProperty& row : personProperties()) {
            if (row.name != p.name) continue;
            if (row.fallback != fallback) continue;
            if (!row.type.empty()) {
                typed = true;
                if (p.hasType(row.type)) return &row;
                if (!first) first = &row;
                if (!firstFree && rowIsFree(row)) firstFree = &row;
            } else if (!untyped) {
                untyped = &row;
            }
        }
        if (untyped) return untyped;
        // ADR and URL without home or work: the first of the two still
        // free. SOUND and RELATED without a type of ours are not ours.
        if (typed && (p.name == "ADR" || p.name == "URL")) return firstFree ? firstFree : first;
        return nullptr;
    }

    bool rowIsFree(const PersonProperty& row) const {
        return std::ranges::all_of(row.fields, [&](TextField f) { return !f || (card_.contact.person.*f).empty(); });
    }

    void takeRow(const PersonProperty& row, const Property& p) {
        switch (row.form) {
            case Form::Text:
            case Form::SortString:
                assign(row.fields[0], text(p), p.line, p.name);
                break;
            case Form::Components:
            case Form::Kana: {
                auto parts = components(p);
                for (std::size_t i = 0; i < parts.size(); ++i) {
                    std::string part = row.form == Form::Kana ? fullWidthKana(parts[i]) : std::move(parts[i]);
                    if (i < row.fields.size() && row.fields[i]) assign(row.fields[i], std::move(part), p.line, p.name);
                    else if (!part.empty())
                        leftovers_.push_back({p.name, std::move(part), p.name + " の " + std::to_string(i + 1) + " 番目"});
                }
                if (p.name == "N") {
                    nLine_ = p.line;
                    // SORT-AS="Mann,James" (RFC 6350's own example) lists the components too.
                    for (const std::string& v : p.values("SORT-AS"))
                        for (std::string_view part : syntax::splitEscaped(v, ','))
                            sortAs_.emplace_back(part);
                    haveN_ = true;
                }
                break;
            }
            case Form::Address: {
                // post office box; extended; street; locality; region; code; country
                auto parts = components(p);
                parts.resize(std::max<std::size_t>(parts.size(), 7));
                // In Japanese order: prefecture, city, street.
                std::string first = parts[4] + parts[3] + parts[2];
                std::string second = parts[1];
                for (std::size_t extra : {std::size_t{0}, std::size_t{6}}) {
                    if (parts[extra].empty()) continue;
                    if (!second.empty()) second += ' ';
                    second += parts[extra];
                    card_.placedElsewhere.push_back(p.name + (extra == 0 ? " の私書箱" : " の国") + " → " +
                                                    fieldName(row.fields[2]));
                }
                for (std::size_t i = 7; i < parts.size(); ++i)
                    if (!parts[i].empty()) leftovers_.push_back({p.name, parts[i], p.name + " の " + std::to_string(i + 1) + " 番目"});
                if (!rowIsFree(row) && !(first.empty() && second.empty() && parts[5].empty())) {
                    leftovers_.push_back({p.name, parts[5] + " " + first + " " + second, p.name + " (3つ目)"});
                    break;
                }
                assign(row.fields[0], parts[5], p.line, p.name);
                assign(row.fields[1], first, p.line, p.name);
                assign(row.fields[2], second, p.line, p.name);
                break;
            }
            case Form::Date:
                assignDate(row.date, p, p.name);
                break;
            case Form::Number: {
                const std::string value = text(p);
                int n = 0;
                const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
                if (ec == std::errc() && end == value.data() + value.size() && n >= -32768 && n <= 32767)
                    card_.contact.person.*row.number = static_cast<Integer>(n);
                else if (!value.empty())
                    leftovers_.push_back({p.name, value, p.name + " (数として読めません)"});
                break;
            }
        }
    }

    // ------------------------------------------------------------ lists

    struct ListEntry {
        std::string label, value, type;
        std::optional<int> rank;
    };

    ListEntry listEntry(const Property& p, std::span<const KindType> table) {
        ListEntry e;
        e.label = labelOf(p);
        e.value = text(p);
        if (e.value.starts_with("tel:")) e.value.erase(0, 4);
        if (e.value.starts_with("mailto:")) e.value.erase(0, 7);
        if (p.has(kTypeParam)) {
            e.type = p.first(kTypeParam);
        } else {
            for (const KindType& k : table)
                if (p.hasType(k.types[0])) {
                    e.type = k.ours;
                    break;
                }
        }
        if (p.has(kRankParam)) {
            const std::string r = p.first(kRankParam);
            int n = 0;
            const auto [end, ec] = std::from_chars(r.data(), r.data() + r.size(), n);
            if (ec == std::errc() && end == r.data() + r.size() && n >= -32768 && n <= 32767) e.rank = n;
            else problem(p.line, p.name + ": " + std::string(kRankParam) + " が数ではありません");
        }
        return e;
    }

    void relation(std::string_view kind, std::string name, const Property& p) {
        if (equalsIgnoreCase(kind, "spouse")) {
            assign(&PersonInformation::strMate, std::move(name), p.line, p.name);
        } else if (equalsIgnoreCase(kind, "child")) {
            children_.push_back(std::move(name));
        } else if (!name.empty()) {
            leftovers_.push_back({kind.empty() ? p.name : std::string(kind), std::move(name), p.name});
        }
    }

    void androidCustom(const Property& p) {
        auto parts = components(p);
        if (parts.empty()) return;
        parts.resize(std::max<std::size_t>(parts.size(), 4));
        const std::string& kind = parts[0];
        if (kind == "vnd.android.cursor.item/nickname") {
            assign(&PersonInformation::strNickName, parts[1], p.line, "X-ANDROID-CUSTOM (nickname)");
        } else if (kind == "vnd.android.cursor.item/relation") {
            // Relation types of Android's contacts: 14 spouse, 3 child, 0 a label of its own.
            const std::string& type = parts[2];
            relation(type == "14" ? "spouse" : type == "3" ? "child" : type == "0" ? parts[3] : "relation", parts[1], p);
        } else if (kind == "vnd.android.cursor.item/contact_event") {
            // Event types: 1 anniversary, 3 birthday.
            Property date = p;
            date.value = parts[1];
            date.params.clear();
            if (parts[2] == "1") assignDate(&PersonInformation::dyAnniversary, date, "X-ANDROID-CUSTOM (anniversary)");
            else if (parts[2] == "3") assignDate(&PersonInformation::dyBirthday, date, "X-ANDROID-CUSTOM (birthday)");
            else if (!parts[1].empty()) leftovers_.push_back({parts[3].empty() ? "記念日" : parts[3], parts[1], "X-ANDROID-CUSTOM (event)"});
        } else {
            std::string value;
            for (std::size_t i = 1; i < parts.size(); ++i)
                if (!parts[i].empty()) value += (value.empty() ? "" : " ") + parts[i];
            if (!value.empty()) leftovers_.push_back({kind.substr(kind.rfind('/') + 1), value, "X-ANDROID-CUSTOM"});
        }
    }

    void greeting(const Property& p) {
        const auto parts = components(p);
        LumoAccess::GreetingInformation g;
        const auto flags = greetingFlags();
        bool ok = parts.size() == flags.size() + 2;
        if (ok) {
            const auto [end, ec] = std::from_chars(parts[0].data(), parts[0].data() + parts[0].size(), g.lngYear);
            ok = ec == std::errc() && end == parts[0].data() + parts[0].size();
        }
        for (std::size_t i = 0; ok && i < flags.size(); ++i) {
            ok = parts[i + 1] == "0" || parts[i + 1] == "1";
            g.*flags[i] = parts[i + 1] == "1";
        }
        if (!ok) {
            problem(p.line, p.name + ": 年;8つの 0/1;メモ の形ではありません");
            leftovers_.push_back({p.name, text(p), p.name + " (形が違います)"});
            return;
        }
        g.strMemo = parts.back();
        card_.contact.greetings.push_back(std::move(g));
    }

    // ------------------------------------------------------------ dispatch

    void take(const Property& p, bool fallback) {
        if (const PersonProperty* row = rowFor(p, fallback)) {
            takeRow(*row, p);
            // The person's own fields have no label of their own; say so
            // for a label that says more than home or work.
            if (const std::string label = labelOf(p); !label.empty() && !among(kPlainLabels, label))
                card_.placedElsewhere.push_back(p.name + " のラベル「" + label + "」 → 取り込みません (ラベルの列がありません)");
            return;
        }
        if (fallback) return;
        // Rows only the fallback pass reads are left for it.
        if (std::ranges::any_of(personProperties(), [&](const PersonProperty& r) {
                return r.fallback && r.name == p.name && (r.type.empty() || p.hasType(r.type));
            }))
            return;
        const std::string& name = p.name;
        const bool binary = among(kBinary, name);
        if (binary || syntax::upperAscii(p.first("ENCODING")) == "B" ||
            syntax::upperAscii(p.first("ENCODING")) == "BASE64") {
            const std::string encoding = syntax::upperAscii(p.first("ENCODING"));
            if (encoding == "B" || encoding == "BASE64") ++card_.photosSkipped;
            card_.placedElsewhere.push_back(name + " → 取り込みません (画像などのデータ)");
            return;
        }
        if (name == kPhone) {
            phones_.push_back(listEntry(p, phoneTypes()));
        } else if (name == kMail) {
            mails_.push_back(listEntry(p, mailTypes()));
        } else if (name == kRelated) {
            std::string kind;
            for (const std::string& t : p.values("TYPE"))
                if (equalsIgnoreCase(t, "spouse") || equalsIgnoreCase(t, "child")) kind = t;
            if (kind.empty() && !p.values("TYPE").empty()) kind = p.values("TYPE").front();
            relation(kind, text(p), p);
        } else if (name == kChild30) {
            children_.push_back(text(p));
        } else if (name == kChildReading) {
            childReadings_.push_back(text(p));
        } else if (name == "X-ABRELATEDNAMES") {
            const std::string label = labelOf(p);
            relation(equalsIgnoreCase(label, "Spouse") || label == "配偶者" ? "spouse"
                     : equalsIgnoreCase(label, "Child") || label == "子供" ? "child"
                     : label.empty() ? "X-ABRELATEDNAMES" : label,
                     text(p), p);
        } else if (name == "X-ABDATE") {
            const std::string label = labelOf(p);
            if (equalsIgnoreCase(label, "Anniversary") || label == "記念日")
                assignDate(&PersonInformation::dyAnniversary, p, "X-ABDATE (Anniversary)");
            else leftovers_.push_back({label.empty() ? name : label, text(p), name});
        } else if (name == "X-ANDROID-CUSTOM") {
            androidCustom(p);
        } else if (name == kGreeting) {
            greeting(p);
        } else if (name == kGroup) {
            categories(p);
        } else if (name == "UID") {
            card_.uid = text(p);
        } else if (name == "FN") {
            formattedName_ = text(p);
        } else if (among(kQuiet, name)) {
            return;
        } else {
            std::string label = labelOf(p);
            if (label.empty()) label = name;
            const std::string value = text(p);
            if (!value.empty()) leftovers_.push_back({label, value, name});
        }
    }

    void categories(const Property& p) {
        const auto bytes = decoded(p);
        if (!bytes) return;
        for (std::string_view raw : syntax::splitEscaped(*bytes, ',')) {
            std::string caption = syntax::unescape(raw);
            if (caption.empty() || among(kSystemCategories, caption)) continue;
            if (card_.contact.group.empty()) card_.contact.group = std::move(caption);
            else if (caption != card_.contact.group) otherGroups_.push_back(std::move(caption));
        }
    }

    // ------------------------------------------------------------ finishing

    void finishName() {
        PersonInformation& person = card_.contact.person;
        // FN is a name only where N gives none and FN is not the company or
        // nickname shown in its place (our own cards derive FN so).
        if (person.strLastName.empty() && person.strFirstName.empty() && !formattedName_.empty() && !ours_ &&
            formattedName_ != person.strCompany && formattedName_ != person.strNickName) {
            person.strLastName = formattedName_;
            if (haveN_) card_.placedElsewhere.push_back("FN → 姓 (N に名前がありません)");
        }
        if (person.strLastName.empty() && person.strFirstName.empty() && person.strCompany.empty() &&
            person.strNickName.empty() && !ours_)
            reject(card_.line, "名前がありません (N, FN, ORG, NICKNAME のどれもありません)");
    }

    void finishLists() {
        Contact& c = card_.contact;
        const int phones = static_cast<int>(phones_.size());
        for (int i = 0; i < phones; ++i) {
            ListEntry& e = phones_[static_cast<std::size_t>(i)];
            LumoAccess::PhoneInformation row;
            row.strLabel = std::move(e.label);
            row.strPhoneNumber = std::move(e.value);
            row.strType = std::move(e.type);
            row.intRank = static_cast<Integer>(e.rank.value_or(i + 1));
            c.phones.push_back(std::move(row));
        }
        const int mails = static_cast<int>(mails_.size());
        for (int i = 0; i < mails; ++i) {
            ListEntry& e = mails_[static_cast<std::size_t>(i)];
            LumoAccess::MailInformation row;
            row.strLabel = std::move(e.label);
            row.strMailAddress = std::move(e.value);
            row.strType = std::move(e.type);
            row.intRank = static_cast<Integer>(e.rank.value_or(mails - i));
            c.mails.push_back(std::move(row));
        }
        for (std::size_t i = 0; i < children_.size(); ++i) {
            LumoAccess::ChildrenInformation child;
            child.strName = std::move(children_[i]);
            if (i < childReadings_.size()) child.strAlias = std::move(childReadings_[i]);
            c.children.push_back(std::move(child));
        }
        for (std::size_t i = children_.size(); i < childReadings_.size(); ++i)
            if (!childReadings_[i].empty())
                leftovers_.push_back({std::string(kChildReading), childReadings_[i], std::string(kChildReading) + " (子供がいません)"});
        for (std::string& g : otherGroups_) leftovers_.push_back({"分類", std::move(g), std::string(kGroup) + " (2つ目以降)"});
    }

    static std::string fieldName(TextField f) {
        using P = PersonInformation;
        if (f == &P::strHomeAddress2) return "自宅住所２";
        if (f == &P::strOfficeAddress2) return "会社住所２";
        return "住所";
    }

    void placeLeftovers() {
        PersonInformation& p = card_.contact.person;
        using P = PersonInformation;
        const std::array<std::pair<TextField, TextField>, 6> slots = {{{&P::strLabel1, &P::strMemo1},
                                                                       {&P::strLabel2, &P::strMemo2},
                                                                       {&P::strLabel3, &P::strMemo3},
                                                                       {&P::strLabel4, &P::strMemo4},
                                                                       {&P::strLabel5, &P::strMemo5},
                                                                       {&P::strLabel6, &P::strMemo6}}};
        for (Leftover& left : leftovers_) {
            bool placed = false;
            for (std::size_t i = 0; i < slots.size() && !placed; ++i) {
                auto [label, memo] = slots[i];
                if (!(p.*label).empty() || !(p.*memo).empty()) continue;
                p.*label = left.label;
                p.*memo = left.value;
                card_.placedElsewhere.push_back(left.origin + " → メモ" + std::to_string(i + 1) + " (ラベル「" +
                                                left.label + "」)");
                placed = true;
            }
            if (placed) continue;
            if (!p.strNote.empty()) p.strNote += "\r\n";
            p.strNote += left.label + ": " + left.value;
            card_.placedElsewhere.push_back(left.origin + " → 備考");
        }
    }

    std::string_view source_;
    ReadCard card_;
    std::vector<std::pair<int, std::string>> problems_;
    std::string version_;
    bool ours_ = false;
    bool haveN_ = false;
    int nLine_ = 0;
    std::vector<std::string> sortAs_;
    std::string formattedName_;
    std::map<std::string, std::string> labels_;
    std::vector<ListEntry> phones_, mails_;
    std::vector<std::string> children_, childReadings_, otherGroups_;
    std::vector<Leftover> leftovers_;
};

bool isLine(std::string_view text, std::string_view word) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return equalsIgnoreCase(text, word);
}

}  // namespace

void forEachVCard(std::string_view bytes, std::string_view sourceName, const std::function<void(ReadCard&)>& take) {
    const std::vector<syntax::Line> lines = syntax::logicalLines(bytes);
    std::optional<CardReader> card;
    std::vector<Property> properties;
    bool strayReported = false;

    const auto close = [&](bool complete, int line) {
        if (!complete) card->reject(line, "END:VCARD がありません (カードが途中で終わっています)");
        ReadCard done = card->finish(properties);
        card.reset();
        take(done);
        properties.clear();
    };

    for (const syntax::Line& line : lines) {
        if (isLine(line.text, "BEGIN:VCARD")) {
            if (card) close(false, line.number);
            card.emplace(sourceName, line.number);
            strayReported = false;
            continue;
        }
        if (!card) {
            if (!strayReported) {
                ReadCard stray;
                stray.line = line.number;
                stray.rejected = true;
                stray.outsideCard = true;
                stray.problems.push_back(std::string(sourceName) + ":" + std::to_string(line.number) +
                                         ": BEGIN:VCARD の外の行を読み飛ばしました");
                take(stray);
                strayReported = true;
            }
            continue;
        }
        if (isLine(line.text, "END:VCARD")) {
            close(true, line.number);
            continue;
        }
        if (line.tooLong) {
            card->problem(line.number, "行が長すぎます (" + std::to_string(syntax::kMaxLine) + " バイトを超えます)。読み飛ばしました");
            continue;
        }
        Property p;
        if (!syntax::parseProperty(line, p)) {
            card->problem(line.number, "vCard の行として読めません");
            continue;
        }
        properties.push_back(std::move(p));
    }
    if (card) close(false, lines.empty() ? 1 : lines.back().number);
}

std::vector<ReadCard> readVCards(std::string_view bytes, std::string_view sourceName) {
    std::vector<ReadCard> cards;
    forEachVCard(bytes, sourceName, [&](ReadCard& card) { cards.push_back(std::move(card)); });
    return cards;
}

}  // namespace lumo::exchange
