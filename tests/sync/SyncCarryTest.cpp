// A phone's card keeps what the address book does not hold (its photo, its
// own properties and labels) when a change made here goes back to the
// server: the card uploaded and the card the server then stores are
// compared in full with cards written out by hand, after a plain change
// and after a conflict, whichever side wins it.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>

#include "tests/sync/SyncTestSupport.h"

namespace lumo::test {
namespace {

using Rows = std::vector<std::string>;

std::string newBook() {
    static std::atomic<int> next{0};
    return sharedRadicale().makeAddressBook(kUser, "carry" + std::to_string(++next));
}

std::map<std::string, std::string> stored(const std::string& url) {
    std::string path = url.substr(0, url.size() - 1);
    return sharedRadicale().storedCards(kUser, path.substr(path.find_last_of('/') + 1));
}

constexpr const char* kFile = "A1B2C3D4-iphone.vcf";

// As an iPhone writes a card: a relation with its own label, a labelled
// mobile number, a Skype name, a photo folded at 75 octets.
std::string phoneCard(const std::string& tel, const std::string& photo) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Apple Inc.//iPhone OS 17.0//EN\r\nN:鈴木;花子;;;\r\nFN:鈴木 花子\r\n"
           "item1.X-ABRELATEDNAMES;type=pref:鈴木 一郎\r\nitem1.X-ABLabel:_$!<Father>!$_\r\n"
           "item2.TEL;type=CELL;type=VOICE;type=pref:" + tel + "\r\nitem2.X-ABLabel:_$!<Mobile>!$_\r\n"
           "X-SKYPE:hanako.suzuki\r\n"
           "PHOTO;ENCODING=b;TYPE=JPEG:" + photo.substr(0, 47) + "\r\n " + photo.substr(47) + "\r\n"
           "X-ABSHOWAS:PERSON\r\nREV:2024-05-01T09:00:00Z\r\nUID:A1B2C3D4-iphone\r\nEND:VCARD\r\n";
}

const std::string kPhoto = "/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAgGBgcGBQgHBwcJCQgKDBQNDAsLDBkSEw8UHRofHh0aHBwgJC4nICIs";
const std::string kNewPhoto = "/9j/4AAQSkZJRgABAgAAAQABAAD/2wBDAAMCAgMCAgMDAwMEAwMEBQgFBQQEBQoHBwYIDAoMDAsKCwsNDhIQ";

// What we upload for 鈴木 花子 with the phone number `tel` over the server's
// card with `photo`: our card, then the server's lines we do not own, in
// the server's own form (Radicale keeps cards unfolded and sorted). Its
// REV and the label of the number (ours now) are left out.
std::string uploaded(const std::string& tel, const std::string& photo) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Lumo//LumoExchange//JA\r\nUID:A1B2C3D4-iphone\r\nFN:鈴木 花子\r\n"
           "N:鈴木;花子;;;\r\nTEL;TYPE=CELL:" + tel + "\r\n"
           "PHOTO;ENCODING=b;TYPE=JPEG:" + photo + "\r\n"
           "item1.X-ABLABEL:_$!<Father>!$_\r\n"
           "item1.X-ABRELATEDNAMES;TYPE=pref:鈴木 一郎\r\n"
           "X-ABSHOWAS:PERSON\r\nX-SKYPE:hanako.suzuki\r\nEND:VCARD\r\n";
}

// ... and that card as the server stores it.
std::string storedThere(const std::string& tel, const std::string& photo) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Lumo//LumoExchange//JA\r\nUID:A1B2C3D4-iphone\r\nFN:鈴木 花子\r\n"
           "N:鈴木;花子;;;\r\n"
           "PHOTO;ENCODING=b;TYPE=JPEG:" + photo + "\r\n"
           "TEL;TYPE=CELL:" + tel + "\r\n"
           "item1.X-ABLABEL:_$!<Father>!$_\r\n"
           "item1.X-ABRELATEDNAMES;TYPE=pref:鈴木 一郎\r\n"
           "X-ABSHOWAS:PERSON\r\nX-SKYPE:hanako.suzuki\r\nEND:VCARD\r\n";
}

// The phone's card as the server stores it, untouched by us.
std::string phoneCardThere(const std::string& tel, const std::string& photo) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Apple Inc.//iPhone OS 17.0//EN\r\nUID:A1B2C3D4-iphone\r\n"
           "FN:鈴木 花子\r\nN:鈴木;花子;;;\r\n"
           "PHOTO;ENCODING=b;TYPE=JPEG:" + photo + "\r\nREV:2024-05-01T09:00:00Z\r\n"
           "item2.TEL;TYPE=CELL,VOICE,pref:" + tel + "\r\n"
           "item1.X-ABLABEL:_$!<Father>!$_\r\nitem2.X-ABLABEL:_$!<Mobile>!$_\r\n"
           "item1.X-ABRELATEDNAMES;TYPE=pref:鈴木 一郎\r\n"
           "X-ABSHOWAS:PERSON\r\nX-SKYPE:hanako.suzuki\r\nEND:VCARD\r\n";
}

std::string uploadedCard(const Folder& folder) {
    const Rows rows = queryRows(folder.path() / "Data" / "LumoSync.sqlite",
                                std::string("SELECT card FROM server_card WHERE href LIKE '%/") + kFile + "'");
    return rows.empty() ? std::string() : rows.front();
}

// The phone's card, taken here by a first sync.
void startWithPhoneCard(const std::string& url, const Folder& folder) {
    putCard(url, kFile, phoneCard("080-3333-4444", kPhoto));
    ASSERT_EQ(syncNow(folder, url).addedHere, 1);
}

void expectBoth(const Folder& folder, const std::string& url, const std::string& tel, const std::string& cardThere) {
    EXPECT_EQ(stored(url).at(kFile), cardThere);
    const Rows rows{"鈴木 花子 / " + tel + " / "};
    EXPECT_EQ(rowsHere(folder), rows);
    EXPECT_EQ(cardsThere(stored(url)), rows);
    EXPECT_EQ(checkAgreement(folder, stored(url)), "");
    // The phone's relation and Skype name are memos here, once each.
    EXPECT_EQ(queryRows(folder.personDb(), "SELECT LABEL1, MEMO1, LABEL2, MEMO2, COALESCE(LABEL3, '') FROM T_PERSON"),
              Rows{"Father|鈴木 一郎|X-SKYPE|hanako.suzuki|"});
}

TEST(SyncCarryTest, ALocalChangeKeepsThePhonesPhotoPropertiesAndLabels) {
    const std::string url = newBook();
    Folder here;
    startWithPhoneCard(url, here);
    changePhonesHere(here, "鈴木", {"080-9999-0000"});
    EXPECT_EQ(syncNow(here, url).updatedThere, 1);
    EXPECT_EQ(uploadedCard(here), uploaded("080-9999-0000", kPhoto));
    expectBoth(here, url, "080-9999-0000", storedThere("080-9999-0000", kPhoto));
}

// A state file of a sync that kept no server cards: the card is fetched
// before the upload, and the phone's lines still go along.
TEST(SyncCarryTest, WithoutAKeptServerCardTheCardIsFetchedFirst) {
    const std::string url = newBook();
    Folder here;
    startWithPhoneCard(url, here);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((here.path() / "Data" / "LumoSync.sqlite").c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, "DELETE FROM server_card", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    changePhonesHere(here, "鈴木", {"080-9999-0000"});
    EXPECT_EQ(syncNow(here, url).updatedThere, 1);
    EXPECT_EQ(uploadedCard(here), uploaded("080-9999-0000", kPhoto));
    expectBoth(here, url, "080-9999-0000", storedThere("080-9999-0000", kPhoto));
}

// The phone changes the number and the photo, we change the number: the
// winner is whole, and still has the phone's photo (the new one).
TEST(SyncCarryTest, TheWinnerOfAConflictKeepsThePhonesProperties) {
    const struct {
        const char* name;
        long long hereChangedAt;  // seconds from now
        const char* winner;
    } cases[]{{"here newer", 3600, "080-9999-0000"}, {"phone newer", -3600, "080-5555-0000"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string url = newBook();
        Folder here;
        startWithPhoneCard(url, here);
        changePhonesHere(here, "鈴木", {"080-9999-0000"});
        putCard(url, kFile, phoneCard("080-5555-0000", kNewPhoto), etagOf(url, kFile));
        setChangedHereAt(here, c.hereChangedAt);
        const sync::SyncReport r = syncNow(here, url);
        EXPECT_EQ(r.conflicts, 1);
        if (c.hereChangedAt > 0) {
            EXPECT_EQ(uploadedCard(here), uploaded(c.winner, kNewPhoto));
        }
        expectBoth(here, url, c.winner,
                   c.hereChangedAt > 0 ? storedThere(c.winner, kNewPhoto) : phoneCardThere(c.winner, kNewPhoto));

        // A later change here still carries the phone's photo along.
        changePhonesHere(here, "鈴木", {"080-1212-3434"});
        EXPECT_EQ(syncNow(here, url).updatedThere, 1);
        EXPECT_EQ(uploadedCard(here), uploaded("080-1212-3434", kNewPhoto));
        expectBoth(here, url, "080-1212-3434", storedThere("080-1212-3434", kNewPhoto));
    }
}

}  // namespace
}  // namespace lumo::test
