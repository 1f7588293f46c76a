#include "tests/sync/SyncTestSupport.h"

#include <algorithm>
#include <chrono>
#include <sstream>
#include <stdexcept>

#include "exchange/ContactStore.h"
#include "exchange/VCardReader.h"
#include "sync/CardDavClient.h"
#include "sync/LocalBook.h"
#include "sync/Multistatus.h"
#include "tests/support/ChildProcess.h"

namespace lumo::test {
namespace fs = std::filesystem;

RadicaleServer& sharedRadicale() {
    static RadicaleServer server(std::map<std::string, std::string>{{kUser, kPassword}});
    return server;
}

sync::HttpSettings account() {
    sync::HttpSettings settings;
    settings.user = kUser;
    settings.password = kPassword;
    return settings;
}

Folder::Folder() {
    const ChildExit exit = runProgram({buildProgram("lumo").string(), "init", dir_.path().string()});
    if (exit.status != 0) throw std::runtime_error("lumo init failed: " + exit.err);
}

exchange::Contact person(const std::string& last, const std::string& first, const std::vector<std::string>& phones,
                         const std::vector<std::string>& mails) {
    exchange::Contact c;
    c.person.strLastName = last;
    c.person.strFirstName = first;
    LumoAccess::Integer rank = 1;
    for (const std::string& phone : phones) {
        LumoAccess::PhoneInformation p;
        p.strPhoneNumber = phone;
        p.strType = "MOBILE";
        p.intRank = rank++;
        c.phones.push_back(p);
    }
    rank = static_cast<LumoAccess::Integer>(mails.size());
    for (const std::string& mail : mails) {
        LumoAccess::MailInformation m;
        m.strMailAddress = mail;
        m.strType = "HOME";
        m.intRank = rank--;
        c.mails.push_back(m);
    }
    return c;
}

long long addHere(const Folder& folder, exchange::Contact contact) {
    exchange::ContactStore store(folder.path());
    return store.add(contact);
}

namespace {

LumoAccess::Long idOf(exchange::ContactStore& store, const std::string& last) {
    for (const LumoAccess::Long id : store.ids())
        if (store.read(id).person.strLastName == last) return id;
    throw std::runtime_error("no person " + last);
}

std::string unfolded(const std::string& card) {
    std::string out;
    for (std::size_t i = 0; i < card.size(); ++i) {
        if (card[i] == '\r') continue;
        if (card[i] == '\n' && i + 1 < card.size() && (card[i + 1] == ' ' || card[i + 1] == '\t')) {
            ++i;
            continue;
        }
        out += card[i];
    }
    return out;
}

std::string valueOf(const std::string& line) { return line.substr(line.find(':') + 1); }

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : ",") + p;
    return out;
}

sync::CardDavClient clientOf(const std::string& url) { return sync::CardDavClient(sync::ServerUrl::parse(url), account()); }

}  // namespace

void changePhonesHere(const Folder& folder, const std::string& last, const std::vector<std::string>& phones) {
    exchange::ContactStore store(folder.path());
    exchange::Contact c = store.read(idOf(store, last));
    exchange::Contact fresh = person(last, c.person.strFirstName, phones);
    c.phones = fresh.phones;
    store.update(c);
}

void removeHere(const Folder& folder, const std::string& last) {
    exchange::ContactStore store(folder.path());
    store.remove(idOf(store, last));
}

void setChangedHereAt(const Folder& folder, long long secondsFromNow) {
    const auto when = fs::file_time_type::clock::now() + std::chrono::seconds(secondsFromNow);
    for (const char* name : {"LumoBase.mdb", "LumoBase.mdb-wal"}) {
        std::error_code ignored;
        fs::last_write_time(folder.path() / "Data" / name, when, ignored);
    }
}

void putCard(const std::string& url, const std::string& name, const std::string& card, const std::string& ifMatch) {
    sync::CardDavClient client = clientOf(url);
    std::string etag;
    const std::string href = sync::ServerUrl::parse(url).path + name;
    if (client.put(href, card, ifMatch, etag) != sync::PutResult::Stored) throw std::runtime_error("PUT refused: " + name);
}

void deleteCard(const std::string& url, const std::string& name) {
    sync::CardDavClient client = clientOf(url);
    client.remove(sync::ServerUrl::parse(url).path + name, "");
}

std::string etagOf(const std::string& url, const std::string& name) {
    sync::CardDavClient client = clientOf(url);
    for (const sync::CardEtag& card : client.listAll().present)
        if (card.href.ends_with("/" + name)) return card.etag;
    throw std::runtime_error("no card " + name);
}

std::vector<std::string> rowsHere(const Folder& folder) {
    std::vector<std::string> rows = queryRows(
        folder.personDb(),
        "SELECT p.LASTNAME || ' ' || p.FIRSTNAME || ' / ' ||"
        " COALESCE((SELECT group_concat(TEL_NUMBER, ',') FROM (SELECT TEL_NUMBER FROM T_PHONE f"
        "   WHERE f.PERSON_ID = p.PERSON_ID ORDER BY RANK, PHONE_ID)), '') || ' / ' ||"
        " COALESCE((SELECT group_concat(MAIL_ADDRESS, ',') FROM (SELECT MAIL_ADDRESS FROM T_EMAIL m"
        "   WHERE m.PERSON_ID = p.PERSON_ID ORDER BY RANK DESC, MAIL_ID)), '')"
        " FROM T_PERSON p");
    std::ranges::sort(rows);
    return rows;
}

std::vector<std::string> cardsThere(const std::map<std::string, std::string>& storedCards) {
    std::vector<std::string> rows;
    for (const auto& [file, card] : storedCards) {
        std::string name;
        std::vector<std::string> phones, mails;
        std::istringstream lines(unfolded(card));
        for (std::string line; std::getline(lines, line);) {
            const std::string property = line.substr(0, line.find_first_of(":;"));
            const std::string bare = property.substr(property.find('.') + 1);  // item1.TEL
            if (bare == "N") {
                const std::string value = valueOf(line);
                const std::size_t semicolon = value.find(';');
                const std::size_t second = value.find(';', semicolon + 1);
                name = value.substr(0, semicolon) + " " + value.substr(semicolon + 1, second - semicolon - 1);
            } else if (bare == "TEL") {
                phones.push_back(valueOf(line));
            } else if (bare == "EMAIL") {
                mails.push_back(valueOf(line));
            }
        }
        rows.push_back(name + " / " + joined(phones) + " / " + joined(mails));
    }
    std::ranges::sort(rows);
    return rows;
}

std::string checkAgreement(const Folder& folder, const std::map<std::string, std::string>& storedCards) {
    std::ostringstream problems;
    const fs::path stateFile = folder.path() / "Data" / "LumoSync.sqlite";
    const std::vector<std::string> persons = queryRows(folder.personDb(), "SELECT PERSON_ID FROM T_PERSON ORDER BY 1");
    const long long pending = scalarOf(stateFile, "SELECT COUNT(*) FROM pending_upload");
    if (pending != 0) problems << pending << " pending uploads left; ";
    const std::vector<std::string> pairs = queryRows(stateFile, "SELECT person_id, href, uid FROM card ORDER BY 1");
    if (pairs.size() != persons.size()) problems << pairs.size() << " pairs for " << persons.size() << " persons; ";
    if (pairs.size() != storedCards.size()) problems << pairs.size() << " pairs for " << storedCards.size() << " cards; ";
    exchange::ContactStore store(folder.path());
    sync::LocalBook book(folder.path());
    for (const std::string& row : pairs) {
        const std::size_t bar = row.find('|'), bar2 = row.find('|', bar + 1);
        const long long id = std::stoll(row.substr(0, bar));
        const std::string href = row.substr(bar + 1, bar2 - bar - 1);
        const std::string uid = row.substr(bar2 + 1);
        const std::string file = href.substr(href.find_last_of('/') + 1);
        const auto card = storedCards.find(file);
        if (card == storedCards.end()) {
            problems << "no card " << file << " on the server; ";
            continue;
        }
        const std::string synced = queryRows(stateFile, "SELECT synced FROM card WHERE href = '" + href + "'").at(0);
        std::string here;
        try {
            here = book.cardOf(store.read(static_cast<LumoAccess::Long>(id)), uid);
        } catch (const std::exception& e) {
            problems << "person " << id << ": " << e.what() << "; ";
            continue;
        }
        // The server stores cards in its own form (Radicale writes them anew),
        // so its card is compared as the card it reads as.
        const std::vector<exchange::ReadCard> read = exchange::readVCards(card->second, file);
        if (read.size() != 1) {
            problems << "card " << file << " holds " << read.size() << " cards; ";
            continue;
        }
        if (here != synced) problems << "person " << id << " differs from its synced card; ";
        if (book.cardOf(read[0].contact, uid) != synced)
            problems << "card " << file << " differs from its synced card; ";
        if (read[0].uid != uid) problems << "card " << file << " has UID " << read[0].uid << ", not " << uid << "; ";
    }
    return problems.str();
}

sync::SyncReport syncNow(const Folder& folder, const std::string& url, const sync::HttpSettings& http) {
    return sync::syncFolder(folder.path(), sync::SyncSettings{url, http});
}

}  // namespace lumo::test
