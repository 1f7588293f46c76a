#include "greetings/PrintSelection.h"

#include <algorithm>
#include <set>

#include "greetings/YearList.h"
#include "platform/Error.h"

namespace lumo::greetings {

using namespace LumoAccess;

PrintSelection selectCards(AddressBook& book, const PrintRequest& request) {
    const std::vector<PersonEntry> persons = readPersons(book.connection(), request.group);
    const std::vector<YearListRow> rows =
        buildYearList(persons, readGreetings(book.connection(), request.year), request.year, Season::NewYear);
    const std::set<Long> wanted(request.ids.begin(), request.ids.end());
    for (Long id : wanted)
        if (std::ranges::none_of(rows, [&](const YearListRow& r) { return r.personId == id; }))
            throw Error("人物 " + std::to_string(id) + " が見つかりません");
    const auto joint = loadJointNames(jointNamesFile(book.folder()));

    PrintSelection selection;
    for (const YearListRow& row : rows) {
        // The 送る list is last year's correspondents; the mourning among
        // them are left out below, with the reason.
        const bool chosen = !wanted.empty() ? wanted.contains(row.personId)
                            : request.group  ? true
                                             : row.lastSent || row.lastReceived;
        if (!chosen) continue;
        if (row.mourning) {
            selection.leftOut.push_back({row.personId, row.name, std::to_string(request.year) + "年は喪中です"});
            continue;
        }
        const PersonInformation person = book.access().GetPersonalInformation(row.personId);
        std::vector<ChildrenInformation> children;
        if (person.lngPersonID != row.personId || book.access().GetChildInformation(row.personId, children)) {
            selection.leftOut.push_back({row.personId, row.name, "人物を読めません"});
            continue;
        }
        const auto choice = joint.find(row.personId);
        cards::Recipient recipient =
            recipientOf(person, children, choice == joint.end() ? JointChoice{} : choice->second, request.address);
        if (!hasAddress(recipient)) {
            selection.leftOut.push_back(
                {row.personId, row.name, request.address == AddressKind::Office ? "会社の住所がありません" : "住所がありません"});
            continue;
        }
        selection.cards.push_back({row.personId, row.name, std::move(recipient)});
    }
    return selection;
}

std::optional<Long> findGroup(AddressBook& book, const std::string& captionOrId) {
    LabelTable labels;
    book.access().GetGroupLabel(labels);
    for (const auto& [id, caption] : labels)
        if (caption == captionOrId || id == captionOrId) return std::stol(id);
    return std::nullopt;
}

}  // namespace lumo::greetings
