// The card a local change uploads keeps what the server's card holds
// beyond the mapping. The server's card is an iPhone's, written by hand;
// the person is what the reader took from it, then changed here. Every
// expected card is written out in full.
#include <gtest/gtest.h>

#include <functional>

#include "exchange/VCardReader.h"
#include "exchange/VCardWriter.h"
#include "sync/CarriedProperties.h"

namespace lumo::test {
namespace {

// A photo (folded as the phone folds it), a Skype name, a relation with the
// phone's own label in group item1 (the name our card gives its first
// label), an address with the phone's country code, a label of a mapped
// phone number, and the card's own REV.
const std::string kPhoneCard =
    "BEGIN:VCARD\r\n"
    "VERSION:3.0\r\n"
    "PRODID:-//Apple Inc.//iPhone OS 17.0//EN\r\n"
    "N:鈴木;花子;;;\r\n"
    "FN:鈴木 花子\r\n"
    "item1.X-ABRELATEDNAMES;type=pref:鈴木 一郎\r\n"
    "item1.X-ABLabel:_$!<Father>!$_\r\n"
    "item2.TEL;type=CELL;type=VOICE;type=pref:080-3333-4444\r\n"
    "item2.X-ABLabel:_$!<Mobile>!$_\r\n"
    "X-SKYPE:hanako.suzuki\r\n"
    "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAgGBgcGBQgHBwcJCQgKDBQNDAsLDBkSEw8U\r\n"
    " HRofHh0aHBwgJC4nICIsIxwcKDcpLDAxNDQ0Hyc5PTgyPC4zNDL/2wBDAQkJCQwLDBgNDRgy\r\n"
    " IRwhMjIyMjIyMjIy\r\n"
    "X-ABSHOWAS:PERSON\r\n"
    "REV:2024-05-01T09:00:00Z\r\n"
    "UID:A1B2C3D4-iphone\r\n"
    "END:VCARD\r\n";

// What our card is made of in every case below, before the carried lines.
const std::string kOurHead =
    "BEGIN:VCARD\r\n"
    "VERSION:3.0\r\n"
    "PRODID:-//Lumo//LumoExchange//JA\r\n"
    "UID:A1B2C3D4-iphone\r\n"
    "FN:鈴木 花子\r\n"
    "N:鈴木;花子;;;\r\n";

const std::string kPhoto =
    "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDAAgGBgcGBQgHBwcJCQgKDBQNDAsLDBkSEw8U\r\n"
    " HRofHh0aHBwgJC4nICIsIxwcKDcpLDAxNDQ0Hyc5PTgyPC4zNDL/2wBDAQkJCQwLDBgNDRgy\r\n"
    " IRwhMjIyMjIyMjIy\r\n";

exchange::Contact readPhoneCard() {
    std::vector<exchange::ReadCard> read = exchange::readVCards(kPhoneCard, "phone.vcf");
    EXPECT_EQ(read.size(), 1u);
    return read.front().contact;
}

std::string write(const exchange::Contact& c) { return exchange::writeVCard(c, exchange::VCardVersion::v30, "A1B2C3D4-iphone"); }

TEST(CarriedPropertiesTest, WhatTheMappingDoesNotOwnGoesAlongUnchanged) {
    const struct {
        const char* name;
        std::function<void(exchange::Contact&)> change;
        std::string expected;
    } cases[]{
        {"phone number changed here",
         [](exchange::Contact& c) { c.phones.at(0).strPhoneNumber = "080-9999-0000"; },
         kOurHead +
             "item1.TEL;TYPE=CELL:080-9999-0000\r\n"
             "item1.X-ABLABEL:Mobile\r\n"
             "item2.X-ABRELATEDNAMES;type=pref:鈴木 一郎\r\n"  // its group renamed: item1 is our label's
             "item2.X-ABLabel:_$!<Father>!$_\r\n"
             "X-SKYPE:hanako.suzuki\r\n" +
             kPhoto + "X-ABSHOWAS:PERSON\r\nEND:VCARD\r\n"},
        {"phone number deleted here: neither it nor its label comes back",
         [](exchange::Contact& c) { c.phones.clear(); },
         kOurHead +
             "item1.X-ABRELATEDNAMES;type=pref:鈴木 一郎\r\n"  // no label of ours: its own group stays
             "item1.X-ABLabel:_$!<Father>!$_\r\n"
             "X-SKYPE:hanako.suzuki\r\n" +
             kPhoto + "X-ABSHOWAS:PERSON\r\nEND:VCARD\r\n"},
        {"the Skype memo deleted here: the property stays deleted",
         [](exchange::Contact& c) {
             ASSERT_EQ(c.person.strLabel2, "X-SKYPE");  // the relation came first
             c.person.strLabel2.clear();
             c.person.strMemo2.clear();
         },
         kOurHead +
             "item1.TEL;TYPE=CELL:080-3333-4444\r\n"
             "item1.X-ABLABEL:Mobile\r\n"
             "item2.X-ABRELATEDNAMES;type=pref:鈴木 一郎\r\n"
             "item2.X-ABLabel:_$!<Father>!$_\r\n" +
             kPhoto + "X-ABSHOWAS:PERSON\r\nEND:VCARD\r\n"},
        {"the relation memo changed here: ours is written, the phone's dropped",
         [](exchange::Contact& c) {
             ASSERT_EQ(c.person.strLabel1, "Father");
             c.person.strMemo1 = "鈴木 一郎 (父)";
         },
         kOurHead +
             "X-LUMO-MEMO1:Father;鈴木 一郎 (父)\r\n"
             "item1.TEL;TYPE=CELL:080-3333-4444\r\n"
             "item1.X-ABLABEL:Mobile\r\n"
             "X-SKYPE:hanako.suzuki\r\n" +
             kPhoto + "X-ABSHOWAS:PERSON\r\nEND:VCARD\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        exchange::Contact person = readPhoneCard();
        c.change(person);
        EXPECT_EQ(sync::cardWithCarriedOver(person, kPhoneCard, write), c.expected);
    }
}

TEST(CarriedPropertiesTest, ACardOfOursOrNoneCarriesNothing) {
    exchange::Contact person = readPhoneCard();
    const std::string ours = write(person);
    EXPECT_EQ(sync::cardWithCarriedOver(person, "", write), ours);
    EXPECT_EQ(sync::cardWithCarriedOver(person, ours, write), ours);
}

// Read back, the uploaded card is the person as it is here: a carried
// property gives its memo once, not twice.
TEST(CarriedPropertiesTest, TheUploadReadsBackAsThePerson) {
    exchange::Contact person = readPhoneCard();
    person.phones.at(0).strPhoneNumber = "080-9999-0000";
    const std::string uploaded = sync::cardWithCarriedOver(person, kPhoneCard, write);
    const std::vector<exchange::ReadCard> back = exchange::readVCards(uploaded, "uploaded.vcf");
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(write(back.front().contact), write(person));
}

}  // namespace
}  // namespace lumo::test
