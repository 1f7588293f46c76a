#pragma once
// Reading vCards (2.1, 3.0 and 4.0, in the dialects phones and other
// address books write) into contacts. Stateless; any thread.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/Contact.h"

namespace lumo::exchange {

struct ReadCard {
    Contact contact;
    std::string uid;   // the card's UID, "" when it has none
    int line = 0;      // line of its BEGIN:VCARD in the source, from 1
    // What had no column of its own and where it went, one entry each,
    // e.g. "X-SKYPE → メモ3 (ラベル X-SKYPE)" or "PHOTO → 取り込みません".
    std::vector<std::string> placedElsewhere;
    // What was wrong with the card, each with the source name and line
    // ("contacts.vcf:12: ..."). A card with problems may still be stored;
    // see rejected.
    std::vector<std::string> problems;
    // True when the card must not be stored (truncated, no END, no name):
    // problems says why.
    bool rejected = false;
    int photosSkipped = 0;  // BASE64 photos, logos and sounds left out
    // Not a card: lines outside BEGIN:VCARD ... END:VCARD, reported in
    // problems (rejected too).
    bool outsideCard = false;
};

// Every card of `bytes` (a whole .vcf file: UTF-8 or the CHARSET its
// properties name, with or without a BOM, LF or CR LF, folded with a space
// or a tab). Never throws for bad input: a card that cannot be read is
// returned rejected with its problems, and the cards after it are read.
// `sourceName` names the file in problems.
std::vector<ReadCard> readVCards(std::string_view bytes, std::string_view sourceName);

// The same cards, each handed to `take` as soon as it is read, so that a
// large file's cards are not all held at once (a card holds every field of
// a person). `take` may move from the card.
void forEachVCard(std::string_view bytes, std::string_view sourceName, const std::function<void(ReadCard&)>& take);

}  // namespace lumo::exchange
