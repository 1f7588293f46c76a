#include "exchange/CardUid.h"

#include <charconv>
#include <cstdio>
#include <random>

#include "exchange/FileBytes.h"
#include "platform/Error.h"

namespace lumo::exchange {
namespace {

constexpr std::string_view kFileName = "LumoCardUids.txt";
constexpr std::string_view kFolderKey = "folder ";

bool isHex32(std::string_view s) {
    return s.size() == 32 && s.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

std::string randomFolderId() {
    std::random_device device;
    std::string id;
    char digit[3];
    for (int i = 0; i < 16; ++i) {
        std::snprintf(digit, sizeof digit, "%02x", static_cast<unsigned>(device() & 0xFF));
        id += digit;
    }
    return id;
}

}  // namespace

CardUids::CardUids(std::filesystem::path folder) : file_(std::move(folder) / "Data" / kFileName) {
    if (!std::filesystem::exists(file_)) return;
    const std::string bytes = readFileBytes(file_);
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string_view line(bytes.data() + start, end - start);
        start = end + 1;
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.starts_with(kFolderKey)) {
            if (isHex32(line.substr(kFolderKey.size()))) folderId_ = std::string(line.substr(kFolderKey.size()));
            continue;
        }
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) continue;
        LumoAccess::Long id = 0;
        const auto [ptr, ec] = std::from_chars(line.data(), line.data() + tab, id);
        if (ec != std::errc() || ptr != line.data() + tab || tab + 1 >= line.size()) continue;
        link(id, std::string(line.substr(tab + 1)));
    }
}

const std::string& CardUids::folderId() {
    if (folderId_.empty()) {
        folderId_ = randomFolderId();
        changed_ = true;
    }
    return folderId_;
}

std::string CardUids::derivedUid(std::string_view folderId, LumoAccess::Long personId) {
    // 8-4-4-4-12 hex digits: the folder's first 96 bits with the version (8)
    // and variant (10) bits set, then the person id.
    std::string hex(folderId.substr(0, 24));
    hex.resize(24, '0');
    hex[12] = '8';
    static constexpr char kDigits[] = "0123456789abcdef";
    const int variant = (hex[16] >= 'a' ? hex[16] - 'a' + 10 : hex[16] - '0');
    hex[16] = kDigits[8 | (variant & 3)];
    char id[9];
    std::snprintf(id, sizeof id, "%08x", static_cast<unsigned>(personId));
    hex += id;
    return "urn:uuid:" + hex.substr(0, 8) + "-" + hex.substr(8, 4) + "-" + hex.substr(12, 4) + "-" + hex.substr(16, 4) +
           "-" + hex.substr(20, 12);
}

std::string CardUids::uidOf(LumoAccess::Long personId) {
    if (const auto it = uids_.find(personId); it != uids_.end()) return it->second;
    return derivedUid(folderId(), personId);
}

std::optional<LumoAccess::Long> CardUids::personOf(std::string_view uid) const {
    // Of several persons with this UID, the first.
    if (const auto it = persons_.find(uid); it != persons_.end()) return *it->second.begin();
    if (folderId_.empty() || uid.size() != 45) return std::nullopt;
    const std::string prefix = derivedUid(folderId_, 0).substr(0, 37);
    if (!uid.starts_with(prefix)) return std::nullopt;
    unsigned id = 0;
    const std::string_view tail = uid.substr(37);
    const auto [ptr, ec] = std::from_chars(tail.data(), tail.data() + tail.size(), id, 16);
    if (ec != std::errc() || ptr != tail.data() + tail.size()) return std::nullopt;
    const auto person = static_cast<LumoAccess::Long>(id);
    if (uids_.contains(person)) return std::nullopt;  // that person's card has another UID
    return person;
}

void CardUids::remember(LumoAccess::Long personId, std::string_view uid) {
    if (uid.empty() || uid.find_first_of("\r\n\t") != std::string_view::npos) return;
    if (!folderId_.empty() && uid == derivedUid(folderId_, personId)) return;
    if (const auto it = uids_.find(personId); it != uids_.end() && it->second == uid) return;
    link(personId, std::string(uid));
    changed_ = true;
}

void CardUids::forget(LumoAccess::Long personId) {
    if (unlink(personId)) changed_ = true;
}

void CardUids::link(LumoAccess::Long personId, std::string uid) {
    unlink(personId);
    persons_[uid].insert(personId);
    uids_.emplace(personId, std::move(uid));
}

bool CardUids::unlink(LumoAccess::Long personId) {
    const auto it = uids_.find(personId);
    if (it == uids_.end()) return false;
    const auto sharing = persons_.find(it->second);
    sharing->second.erase(personId);
    if (sharing->second.empty()) persons_.erase(sharing);
    uids_.erase(it);
    return true;
}

void CardUids::save() {
    if (!changed_) return;
    std::string text = std::string(kFolderKey) + folderId() + "\n";
    for (const auto& [id, uid] : uids_) text += std::to_string(id) + "\t" + uid + "\n";
    writeFileStaged(file_, text, true);
    changed_ = false;
}

std::string CardUids::fileNameFor(std::string_view uid) {
    if (uid.starts_with("urn:uuid:")) uid.remove_prefix(9);
    std::string name;
    for (const char c : uid) {
        const auto u = static_cast<unsigned char>(c);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_') {
            name += c;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", u);
            name += escaped;
        }
    }
    if (name.empty()) name = "card";
    return name.substr(0, 200) + ".vcf";
}

}  // namespace lumo::exchange
