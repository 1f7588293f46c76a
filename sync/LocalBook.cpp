#include "sync/LocalBook.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <utility>

#include "exchange/VCardWriter.h"

namespace lumo::sync {

LocalBook::LocalBook(const std::filesystem::path& folder) : store_(folder) {}

std::vector<PersonId> LocalBook::ids() {
    std::vector<PersonId> out;
    for (const LumoAccess::Long id : store_.ids()) out.push_back(id);
    return out;
}

const exchange::Contact& LocalBook::contact(PersonId id) {
    auto it = read_.find(id);
    if (it == read_.end()) it = read_.emplace(id, store_.read(static_cast<LumoAccess::Long>(id))).first;
    return it->second;
}

std::string LocalBook::cardOf(PersonId id, const std::string& uid) { return cardOf(contact(id), uid); }

std::string LocalBook::cardOf(exchange::Contact contact, const std::string& uid) {
    if (!defaultGroup_) defaultGroup_ = store_.groupCaption(store_.groupId(""));
    if (contact.group == *defaultGroup_) contact.group.clear();
    return exchange::writeVCard(contact, exchange::VCardVersion::v30, uid);
}

PersonId LocalBook::add(exchange::Contact contact) {
    contact.person.lngPersonID = 0;
    const PersonId id = store_.add(contact);
    read_.erase(id);
    return id;
}

void LocalBook::update(PersonId id, exchange::Contact contact) {
    contact.person.lngPersonID = static_cast<LumoAccess::Long>(id);
    store_.update(contact);
    read_.erase(id);
}

void LocalBook::remove(PersonId id) {
    store_.remove(static_cast<LumoAccess::Long>(id));
    read_.erase(id);
}

long long LocalBook::lastWritten(const std::filesystem::path& folder) {
    long long latest = 0;
    for (const char* name : {"LumoBase.mdb", "LumoBase.mdb-wal"}) {
        std::error_code error;
        const auto time = std::filesystem::last_write_time(folder / "Data" / name, error);
        if (error) continue;
        const auto system = std::chrono::file_clock::to_sys(time);
        latest = std::max<long long>(latest, std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count());
    }
    return latest;
}

}  // namespace lumo::sync
