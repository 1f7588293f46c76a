#pragma once
// What the sync tests share: one Radicale per test program, folders with
// new databases, persons made and changed through the vCard layer's store,
// and both sides summarised in one form ("山田 太郎 / 090-1111-2222 /
// taro@example.jp") so that a test states what both must hold by hand.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "exchange/Contact.h"
#include "sync/HttpClient.h"
#include "sync/SyncFolder.h"
#include "tests/support/DatabaseState.h"
#include "tests/sync/RadicaleServer.h"

namespace lumo::test {

// One Radicale for the whole program, with one user (plain htpasswd), so
// that a wrong password can be tried on it too.
RadicaleServer& sharedRadicale();
inline const std::string kUser = "u";
inline const std::string kPassword = "secret-pw";
sync::HttpSettings account();

// A folder with new empty databases (lumo init).
class Folder {
public:
    Folder();
    const std::filesystem::path& path() const { return dir_.path(); }
    std::filesystem::path personDb() const { return dir_.path() / "Data" / "LumoBase.mdb"; }

private:
    TemporaryFolder dir_{"lumo_sync"};
};

exchange::Contact person(const std::string& last, const std::string& first, const std::vector<std::string>& phones,
                         const std::vector<std::string>& mails = {});

long long addHere(const Folder& folder, exchange::Contact contact);
void changePhonesHere(const Folder& folder, const std::string& last, const std::vector<std::string>& phones);
void removeHere(const Folder& folder, const std::string& last);
// Sets the address book file's last write time (and its log's) to `seconds`
// from now (negative: in the past), as when the person was changed then.
void setChangedHereAt(const Folder& folder, long long secondsFromNow);

// Another client's requests, straight to the server.
void putCard(const std::string& url, const std::string& name, const std::string& card, const std::string& ifMatch = "");
void deleteCard(const std::string& url, const std::string& name);
// The ETag of a card (PROPFIND Depth 0), for a conditional PUT.
std::string etagOf(const std::string& url, const std::string& name);

// "LAST FIRST / phone,phone / mail,mail", sorted.
std::vector<std::string> rowsHere(const Folder& folder);
std::vector<std::string> cardsThere(const std::map<std::string, std::string>& storedCards);

// Every pair of the state file names a person here and a card there, the
// three (state, here, there) holding the same card text, and nothing is
// left over on either side. "" when so, else what differs.
std::string checkAgreement(const Folder& folder, const std::map<std::string, std::string>& storedCards);

sync::SyncReport syncNow(const Folder& folder, const std::string& url, const sync::HttpSettings& http = account());

}  // namespace lumo::test
