// lumo sync against a second CardDAV server, Debian's Xandikos, started by
// the test on 127.0.0.1 and stopped by its process id: the first sync both
// ways, changes on each side, and a phone's card whose photo and own
// properties go back with a change made here. Xandikos keeps a card as it
// was sent, so the server's card is compared byte for byte, folds and all.
// One case in all, because the server takes seconds to start.
#include <gtest/gtest.h>

#include "sync/CardDavClient.h"
#include "tests/sync/ServerProcess.h"
#include "tests/sync/SyncTestSupport.h"

namespace lumo::test {
namespace {

using Rows = std::vector<std::string>;

// Xandikos with its default address book, /user/contacts/addressbook/.
// Ownership: owns the process and its folder. One thread.
class XandikosServer {
public:
    XandikosServer()
        : port_(freeLoopbackPort()),
          process_({"/usr/bin/xandikos", "-d", (folder_.path() / "root").string(), "--defaults", "-l", "127.0.0.1", "-p",
                    std::to_string(port_)},
                   folder_.path() / "log", port_) {}
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/user/contacts/addressbook/"; }

private:
    TemporaryFolder folder_{"lumo_xandikos"};
    int port_;
    ServerProcess process_;  // ends before its folder
};

// Every card of the address book as the server gives it: file name -> text.
std::map<std::string, std::string> cardsOn(const std::string& url) {
    sync::CardDavClient client(sync::ServerUrl::parse(url), {});
    std::vector<std::string> hrefs;
    for (const sync::CardEtag& card : client.listAll().present) hrefs.push_back(card.href);
    std::map<std::string, std::string> out;
    for (const sync::FetchedCard& card : client.fetch(hrefs)) out[card.href.substr(card.href.rfind('/') + 1)] = card.data;
    return out;
}

// A card's text as a multiget gives it: XML makes every CR LF a LF.
std::string throughXml(std::string text) {
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
    return text;
}

const std::string kPhoto = "/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAgGBgcGBQgHBwcJ\r\n CQgKDBQNDAsLDBkSEw8UHRofHh0aHBwgJC4nICIs";

// An iPhone's card: a relation with its own label, a labelled mobile
// number, a Skype name, a folded photo.
std::string phoneCard(const std::string& tel) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Apple Inc.//iPhone OS 17.0//EN\r\nN:鈴木;花子;;;\r\nFN:鈴木 花子\r\n"
           "item1.X-ABRELATEDNAMES;type=pref:鈴木 一郎\r\nitem1.X-ABLabel:_$!<Father>!$_\r\n"
           "item2.TEL;type=CELL;type=VOICE;type=pref:" + tel + "\r\nitem2.X-ABLabel:_$!<Mobile>!$_\r\n"
           "X-SKYPE:hanako.suzuki\r\nPHOTO;ENCODING=b;TYPE=JPEG:" + kPhoto + "\r\n"
           "X-ABSHOWAS:PERSON\r\nREV:2024-05-01T09:00:00Z\r\nUID:A1B2C3D4-iphone\r\nEND:VCARD\r\n";
}

std::string card(const std::string& uid, const std::string& last, const std::string& first, const std::string& tel) {
    return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + uid + "\r\nFN:" + last + " " + first + "\r\nN:" + last + ";" + first +
           ";;;\r\nTEL;TYPE=CELL:" + tel + "\r\nEND:VCARD\r\n";
}

TEST(XandikosSyncTest, FirstSyncChangesOnEachSideAndAPhonesCardKept) {
    XandikosServer server;
    const std::string url = server.url();
    const sync::HttpSettings open;  // Xandikos asks for no password
    Folder here;
    const auto expectBoth = [&](const Rows& rows) {
        EXPECT_EQ(rowsHere(here), rows);
        EXPECT_EQ(cardsThere(cardsOn(url)), rows);
        EXPECT_EQ(checkAgreement(here, cardsOn(url)), "");
    };

    SCOPED_TRACE("first sync both ways");
    addHere(here, person("山田", "太郎", {"090-1111-2222"}));
    putCard(url, "A1B2C3D4-iphone.vcf", phoneCard("080-3333-4444"));
    sync::SyncReport r = syncNow(here, url, open);
    EXPECT_EQ(r.addedThere, 1);
    EXPECT_EQ(r.addedHere, 1);
    expectBoth({"山田 太郎 / 090-1111-2222 / ", "鈴木 花子 / 080-3333-4444 / "});

    SCOPED_TRACE("changes here, a card added there");
    changePhonesHere(here, "山田", {"090-9999-0000"});
    changePhonesHere(here, "鈴木", {"080-9999-0000"});
    putCard(url, "c1.vcf", card("c1", "伊藤", "四郎", "011-222-3333"));
    r = syncNow(here, url, open);
    EXPECT_EQ(r.updatedThere, 2);
    EXPECT_EQ(r.addedHere, 1);
    expectBoth({"伊藤 四郎 / 011-222-3333 / ", "山田 太郎 / 090-9999-0000 / ", "鈴木 花子 / 080-9999-0000 / "});
    // Our card, then the phone's lines we do not own, as the phone wrote
    // them; its REV and its label of the number (ours now) are left out.
    EXPECT_EQ(cardsOn(url).at("A1B2C3D4-iphone.vcf"),
              throughXml("BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Lumo//LumoExchange//JA\r\nUID:A1B2C3D4-iphone\r\nFN:鈴木 花子\r\n"
              "N:鈴木;花子;;;\r\nTEL;TYPE=CELL:080-9999-0000\r\n"
              "item1.X-ABRELATEDNAMES;type=pref:鈴木 一郎\r\nitem1.X-ABLabel:_$!<Father>!$_\r\n"
              "X-SKYPE:hanako.suzuki\r\nPHOTO;ENCODING=b;TYPE=JPEG:" + kPhoto + "\r\n"
              "X-ABSHOWAS:PERSON\r\nEND:VCARD\r\n"));

    SCOPED_TRACE("a change there, a deletion here");
    putCard(url, "c1.vcf", card("c1", "伊藤", "四郎", "011-999-8888"), etagOf(url, "c1.vcf"));
    removeHere(here, "山田");
    r = syncNow(here, url, open);
    EXPECT_EQ(r.updatedHere, 1);
    EXPECT_EQ(r.deletedThere, 1);
    expectBoth({"伊藤 四郎 / 011-999-8888 / ", "鈴木 花子 / 080-9999-0000 / "});
    r = syncNow(here, url, open);
    EXPECT_EQ(r.addedHere + r.updatedHere + r.deletedHere + r.addedThere + r.updatedThere + r.deletedThere, 0);
}

}  // namespace
}  // namespace lumo::test
