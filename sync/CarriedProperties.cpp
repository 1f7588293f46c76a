#include "sync/CarriedProperties.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "exchange/VCardMapping.h"
#include "exchange/VCardReader.h"
#include "exchange/VCardSyntax.h"
#include "exchange/VCardWriter.h"

namespace lumo::sync {
namespace {

using exchange::syntax::equalsIgnoreCase;
using LumoAccess::PersonInformation;

// Properties that describe the card being written, not the person: the
// person's card has its own.
constexpr std::array<std::string_view, 7> kCardItself = {"VERSION", "PRODID", "UID", "FN", "REV", "BEGIN", "END"};

// One content line of the server's card: its bytes as the server sent
// them (folds included, line ends made CR LF) and what it says.
struct RawLine {
    std::string raw;       // without the final line end
    std::string unfolded;  // as the reader sees it
    exchange::syntax::Property property;
    bool parsed = false;
    std::string groupKey;  // the group in upper case (groups ignore case); "" for none
};

std::vector<std::string_view> physicalLines(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        out.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) out.push_back(text.substr(start));
    return out;
}

bool namesQuotedPrintable(std::string_view unfolded) {
    const std::string head = exchange::syntax::upperAscii(unfolded.substr(0, unfolded.find(':')));
    return head.find("QUOTED-PRINTABLE") != std::string::npos;
}

bool isLine(std::string_view text, std::string_view word) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return equalsIgnoreCase(text, word);
}

// The content lines of the first card, BEGIN and END left out. A line
// continues on the next physical line when that starts with a blank, or,
// quoted-printable, when it ends in '='.
std::vector<RawLine> contentLines(std::string_view card) {
    std::vector<RawLine> lines;
    std::string raw;
    const auto flush = [&] {
        if (raw.empty()) return;
        RawLine line;
        line.raw = std::move(raw);
        raw.clear();
        const std::vector<exchange::syntax::Line> logical = exchange::syntax::logicalLines(line.raw);
        if (!logical.empty()) {
            line.unfolded = logical.front().text;
            line.parsed = exchange::syntax::parseProperty(logical.front(), line.property);
            if (line.parsed) line.groupKey = exchange::syntax::upperAscii(line.property.group);
        }
        lines.push_back(std::move(line));
    };
    bool inCard = false;
    for (const std::string_view physical : physicalLines(card)) {
        const bool continues = !raw.empty() && ((!physical.empty() && (physical.front() == ' ' || physical.front() == '\t')) ||
                                                (raw.back() == '=' && namesQuotedPrintable(raw)));
        if (continues) {
            (raw += "\r\n") += physical;
            continue;
        }
        flush();
        if (physical.empty()) continue;
        if (!inCard) {
            inCard = isLine(physical, "BEGIN:VCARD");
            continue;
        }
        if (isLine(physical, "END:VCARD")) break;
        raw = std::string(physical);
    }
    flush();
    return lines;
}

using Memo = std::pair<std::string, std::string>;  // label, value

enum class Kind { Ignored, Memo, Owned };

struct Verdict {
    Kind kind = Kind::Owned;
    std::vector<Memo> memos;  // Kind::Memo: what the reader made of it
};

using Slot = std::pair<LumoAccess::String PersonInformation::*, LumoAccess::String PersonInformation::*>;
constexpr std::array<Slot, 6> kMemoSlots = {{{&PersonInformation::strLabel1, &PersonInformation::strMemo1},
                                             {&PersonInformation::strLabel2, &PersonInformation::strMemo2},
                                             {&PersonInformation::strLabel3, &PersonInformation::strMemo3},
                                             {&PersonInformation::strLabel4, &PersonInformation::strMemo4},
                                             {&PersonInformation::strLabel5, &PersonInformation::strMemo5},
                                             {&PersonInformation::strLabel6, &PersonInformation::strMemo6}}};

const std::string& emptyCard() {
    static const std::string card = exchange::writeVCard(exchange::Contact{}, exchange::VCardVersion::v30, "");
    return card;
}

// What the reader makes of `line` alone (with the labels of its group).
Verdict judge(const RawLine& line, const std::vector<const RawLine*>& groupLabels, const std::string& version) {
    std::string probe = "BEGIN:VCARD\r\nVERSION:" + version + "\r\n" + line.raw + "\r\n";
    for (const RawLine* label : groupLabels) (probe += label->raw) += "\r\n";
    probe += "END:VCARD\r\n";
    std::vector<exchange::ReadCard> read = exchange::readVCards(probe, "");
    if (read.size() != 1) return {};
    exchange::Contact& contact = read.front().contact;
    if (exchange::writeVCard(contact, exchange::VCardVersion::v30, "") == emptyCard()) return {Kind::Ignored, {}};
    Verdict verdict{Kind::Memo, {}};
    for (const auto& [label, memo] : kMemoSlots) {
        if ((contact.person.*label).empty() && (contact.person.*memo).empty()) continue;
        verdict.memos.emplace_back(contact.person.*label, contact.person.*memo);
        (contact.person.*label).clear();
        (contact.person.*memo).clear();
    }
    if (verdict.memos.empty() || exchange::writeVCard(contact, exchange::VCardVersion::v30, "") != emptyCard()) return {};
    return verdict;
}

// Takes a memo out of the person when it holds it (in a memo pair, or as a
// "label: value" line of the note, where the reader puts what finds no free
// pair); false when the person no longer holds it.
bool takeMemo(PersonInformation& person, const Memo& memo) {
    for (const auto& [label, value] : kMemoSlots)
        if (person.*label == memo.first && person.*value == memo.second) {
            (person.*label).clear();
            (person.*value).clear();
            return true;
        }
    const std::string line = memo.first + ": " + memo.second;
    std::string& note = person.strNote;
    if (note == line) {
        note.clear();
        return true;
    }
    if (note.starts_with(line + "\r\n")) {
        note.erase(0, line.size() + 2);
        return true;
    }
    for (std::size_t at = note.find("\r\n" + line); at != std::string::npos; at = note.find("\r\n" + line, at + 2)) {
        const std::size_t end = at + 2 + line.size();
        if (end == note.size() || note.compare(end, 2, "\r\n") == 0) {
            note.erase(at, 2 + line.size());
            return true;
        }
    }
    return false;
}

std::set<std::string> groupsOf(std::string_view card) {
    std::set<std::string> out;
    for (const RawLine& line : contentLines(card))
        if (!line.groupKey.empty()) out.insert(line.groupKey);
    return out;
}

// The carried line, with its group renamed when it must be.
void appendCarried(std::string& out, const RawLine& line, const std::map<std::string, std::string>& renamed) {
    const auto it = line.groupKey.empty() ? renamed.end() : renamed.find(line.groupKey);
    if (it == renamed.end()) {
        (out += line.raw) += "\r\n";
        return;
    }
    const std::string& group = line.property.group;
    if (line.raw.compare(0, group.size() + 1, group + ".") == 0) {
        ((out += it->second) += line.raw.substr(group.size())) += "\r\n";
        return;
    }
    // Folded within its group name: written out anew.
    exchange::syntax::appendFolded(out, it->second + line.unfolded.substr(group.size()));
}

}  // namespace

std::string cardWithCarriedOver(exchange::Contact person, std::string_view serverCard, const CardWriter& write) {
    const std::vector<RawLine> lines = contentLines(serverCard);
    std::string version = "3.0";
    std::map<std::string, std::vector<const RawLine*>> labels;  // by group
    for (const RawLine& line : lines) {
        if (!line.parsed) continue;
        if (line.property.name == "VERSION") version = exchange::syntax::unescape(line.property.value);
        if (line.property.name == exchange::mapping::kLabel && !line.groupKey.empty())
            labels[line.groupKey].push_back(&line);
    }

    // Each line's fate; the labels of a group follow its other lines.
    std::vector<bool> carried(lines.size(), false);
    std::map<std::string, bool> groupOwned, groupCarries;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const RawLine& line = lines[i];
        if (!line.parsed) {
            carried[i] = true;  // not ours to judge: kept as it came
            continue;
        }
        const std::string& name = line.property.name;
        // The card's own lines, and our own properties, which the person's
        // card writes afresh.
        if (std::ranges::find(kCardItself, name) != kCardItself.end() || name.starts_with("X-LUMO-")) continue;
        if (name == exchange::mapping::kLabel && !line.groupKey.empty()) continue;
        static const std::vector<const RawLine*> none;
        const auto group = labels.find(line.groupKey);
        const Verdict verdict = judge(line, line.groupKey.empty() || group == labels.end() ? none : group->second, version);
        bool keep = verdict.kind == Kind::Ignored;
        if (verdict.kind == Kind::Memo) {
            PersonInformation trial = person.person;
            keep = std::ranges::all_of(verdict.memos, [&](const Memo& memo) { return takeMemo(trial, memo); });
            if (keep) person.person = std::move(trial);
        }
        carried[i] = keep;
        if (!line.groupKey.empty()) {
            if (verdict.kind == Kind::Owned) groupOwned[line.groupKey] = true;
            if (keep) groupCarries[line.groupKey] = true;
        }
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const RawLine& line = lines[i];
        if (!line.parsed || line.property.name != exchange::mapping::kLabel || line.groupKey.empty()) continue;
        // A label with nothing else in its group is the phone's own affair.
        const bool alone = !groupOwned.contains(line.groupKey) && !groupCarries.contains(line.groupKey) &&
                           std::ranges::none_of(lines, [&](const RawLine& other) {
                               return other.groupKey == line.groupKey && other.property.name != exchange::mapping::kLabel;
                           });
        carried[i] = alone || (groupCarries.contains(line.groupKey) && !groupOwned.contains(line.groupKey));
    }

    std::string card = write(person);
    if (std::ranges::none_of(carried, [](bool c) { return c; })) return card;

    // Groups the person's card numbers for its own labels are not the
    // phone's: a carried group of the same name moves to a free itemN.
    std::set<std::string> used = groupsOf(card);
    std::set<std::string> carriedGroups;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (carried[i] && !lines[i].groupKey.empty()) carriedGroups.insert(lines[i].groupKey);
    std::map<std::string, std::string> renamed;
    int next = 1;
    for (const std::string& group : carriedGroups) {
        if (!used.contains(group)) continue;
        std::string name;
        do name = "item" + std::to_string(next++);
        while (used.contains(exchange::syntax::upperAscii(name)) || carriedGroups.contains(exchange::syntax::upperAscii(name)));
        used.insert(exchange::syntax::upperAscii(name));
        renamed.emplace(group, name);
    }

    std::string extra;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (carried[i]) appendCarried(extra, lines[i], renamed);
    const std::size_t end = card.rfind("END:VCARD");
    card.insert(end == std::string::npos ? card.size() : end, extra);
    return card;
}

}  // namespace lumo::sync
