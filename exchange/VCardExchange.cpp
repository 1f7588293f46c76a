#include "exchange/VCardExchange.h"

#include <algorithm>
#include <iostream>
#include <iterator>
#include <set>

#include "exchange/CardUid.h"
#include "exchange/ContactStore.h"
#include "exchange/Duplicates.h"
#include "exchange/FileBytes.h"
#include "exchange/VCardReader.h"
#include "platform/Error.h"

namespace lumo::exchange {
namespace {

namespace fs = std::filesystem;
using LumoAccess::Long;

std::string displayName(const Contact& c) {
    std::string name = c.person.strLastName;
    if (!c.person.strFirstName.empty()) name += (name.empty() ? "" : " ") + c.person.strFirstName;
    if (name.empty()) name = c.person.strCompany;
    if (name.empty()) name = "(名前なし)";
    return name;
}

// The chosen persons, each with its card, in id order.
template <class Visit>
void forEachCard(ContactStore& store, CardUids& uids, const ExportOptions& options, ExportResult& result,
                 Visit visit) {
    std::vector<Long> ids = store.ids();
    if (!options.ids.empty()) {
        const std::set<Long> all(ids.begin(), ids.end());
        for (Long id : options.ids)
            if (!all.contains(id)) result.problems.push_back("人物 " + std::to_string(id) + " はいません");
        std::vector<Long> chosen;
        for (Long id : options.ids)
            if (all.contains(id) && std::ranges::find(chosen, id) == chosen.end()) chosen.push_back(id);
        ids = std::move(chosen);
    }
    for (Long id : ids) {
        Contact contact;
        try {
            contact = store.read(id);
        } catch (const Error& e) {
            result.problems.push_back(e.what());
            continue;
        }
        if (options.group && contact.group != *options.group) continue;
        const std::string uid = uids.uidOf(id);
        visit(contact, uid, writeVCard(contact, options.version, uid));
        ++result.persons;
    }
}

void saveUids(CardUids& uids, std::vector<std::string>& problems) {
    try {
        uids.save();
    } catch (const Error& e) {
        problems.push_back(std::string("UID の記録を保存できません (次の書き出しでは UID が変わります): ") + e.what());
    }
}

}  // namespace

std::string exportVCardText(const fs::path& dir, const ExportOptions& options, ExportResult& result) {
    ContactStore store(dir);
    CardUids uids(dir);
    std::string text;
    forEachCard(store, uids, options, result, [&](const Contact&, const std::string&, const std::string& card) {
        text += card;
    });
    saveUids(uids, result.problems);
    return text;
}

ExportResult exportVCards(const fs::path& dir, const ExportOptions& options) {
    ExportResult result;
    if (options.file.empty() == options.folder.empty())
        throw Error("書き出し先はファイルかフォルダのどちらか一つです");
    if (!options.file.empty()) {
        const std::string text = exportVCardText(dir, options, result);
        if (!options.replace && fs::exists(options.file))
            throw Error("ファイル '" + options.file.string() + "' は既にあります (--force で置き換えます)");
        writeFileStaged(options.file, text, options.replace);
        result.files.push_back(options.file);
        return result;
    }
    std::error_code ec;
    fs::create_directories(options.folder, ec);
    if (!fs::is_directory(options.folder)) throw Error("フォルダ '" + options.folder.string() + "' を作れません: " + ec.message());
    ContactStore store(dir);
    CardUids uids(dir);
    forEachCard(store, uids, options, result, [&](const Contact&, const std::string& uid, const std::string& card) {
        const fs::path file = options.folder / CardUids::fileNameFor(uid);
        if (!options.replace && fs::exists(file))
            throw Error("ファイル '" + file.string() + "' は既にあります (--force で置き換えます)");
        writeFileStaged(file, card, options.replace);
        result.files.push_back(file);
    });
    saveUids(uids, result.problems);
    return result;
}

std::vector<ImportSource> importSources(const std::vector<std::string>& names) {
    std::vector<ImportSource> sources;
    for (const std::string& name : names) {
        if (name == "-") {
            sources.push_back({"-", std::string(std::istreambuf_iterator<char>(std::cin), {})});
            continue;
        }
        if (fs::is_directory(name)) {
            std::vector<fs::path> files;
            for (const auto& entry : fs::directory_iterator(name)) {
                std::string ext = entry.path().extension().string();
                for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                if (entry.is_regular_file() && ext == ".vcf") files.push_back(entry.path());
            }
            std::ranges::sort(files);
            for (const fs::path& f : files) sources.push_back({f.string(), readFileBytes(f)});
            continue;
        }
        sources.push_back({name, readFileBytes(name)});
    }
    return sources;
}

ImportReport importVCards(const fs::path& dir, const std::vector<ImportSource>& sources, const ImportOptions& options) {
    ImportReport report;
    ContactStore store(dir);
    CardUids uids(dir);
    // The persons already there, read once, and every person added since:
    // a card that is one of them is skipped.
    KnownContacts known;
    const std::vector<Long> ids = store.ids();
    const std::set<Long> existing(ids.begin(), ids.end());
    for (Long id : ids) {
        try {
            known.add(store.read(id));
        } catch (const Error&) {
            // A person the library cannot read is no duplicate of anyone.
        }
    }
    // One batch for the whole import: each person is still stored whole
    // or not at all, and the file is committed once at the end instead of
    // once per row.
    if (!options.dryRun) store.beginBatch();
    for (const ImportSource& source : sources) {
        // Each card as it is read: a large file's cards are not all held.
        forEachVCard(source.bytes, source.name, [&](ReadCard& card) {
            const std::string where = source.name + ":" + std::to_string(card.line);
            report.problems.insert(report.problems.end(), card.problems.begin(), card.problems.end());
            if (card.rejected) {
                if (card.outsideCard) return;
                ++report.cards;
                ++report.rejected;
                return;
            }
            ++report.cards;
            report.photosSkipped += card.photosSkipped;
            Contact& contact = card.contact;
            const std::string name = displayName(contact);
            if (options.group) {
                if (!contact.group.empty() && contact.group != *options.group)
                    card.placedElsewhere.push_back("CATEGORIES (" + contact.group + ") → 使いません (--group " +
                                                   *options.group + ")");
                contact.group = *options.group;
            }
            const auto owner = card.uid.empty() ? std::nullopt : uids.personOf(card.uid);
            const bool sameUid = owner && existing.contains(*owner);
            if (sameUid || known.has(contact)) {
                ++report.present;
                report.skipped.push_back(where + " " + name + ": 既にあります" +
                                         (sameUid ? " (同じ UID)" : " (同じ名前・ふりがなで、電話番号かメールが同じ)"));
                return;
            }
            for (const std::string& placed : card.placedElsewhere)
                report.placedElsewhere.push_back(where + " " + name + ": " + placed);
            if (!options.dryRun) {
                try {
                    const Long id = store.add(contact);
                    report.addedIds.push_back(id);
                    if (!card.uid.empty()) uids.remember(id, card.uid);
                } catch (const Error& e) {
                    ++report.failed;
                    report.problems.push_back(where + ": " + name + " を登録できません: " + e.what());
                    return;
                }
            }
            ++report.added;
            known.add(contact);
        });
    }
    if (!options.dryRun) {
        try {
            store.commitBatch();
        } catch (const Error& e) {
            // Nothing of the batch is stored: the persons counted as added
            // are not there, and their UIDs must not be remembered.
            report.problems.push_back(std::string(e.what()) + ": 追加するはずの " + std::to_string(report.added) +
                                      " 人はどれも登録されていません");
            report.failed += report.added;
            report.added = 0;
            report.addedIds.clear();
            return report;
        }
        try {
            uids.save();
        } catch (const Error& e) {
            report.problems.push_back(std::string("UID の記録を保存できません: ") + e.what());
        }
    }
    return report;
}

}  // namespace lumo::exchange
