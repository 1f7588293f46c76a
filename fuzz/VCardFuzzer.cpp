// The vCard reader on any bytes. Properties: it never crashes, hangs or
// throws; every card it reads whole, written by us (3.0 and 4.0) and read
// again, is one card without problems whose every value had a place, and
// writing that card gives the same text again (so it read back the same).
#include <cstdint>
#include <string>
#include <string_view>

#include "exchange/VCardReader.h"
#include "exchange/VCardWriter.h"
#include "fuzz/Check.h"

using lumo::fuzz::check;
using namespace lumo::exchange;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<ReadCard> cards;
    try {
        cards = readVCards(bytes, "fuzz.vcf");
    } catch (...) {
        check(false, "readVCards does not throw");
    }
    for (const ReadCard& card : cards) {
        if (card.rejected) continue;
        for (VCardVersion version : {VCardVersion::v30, VCardVersion::v40}) {
            const std::string written = writeVCard(card.contact, version, card.uid);
            const auto again = readVCards(written, "written.vcf");
            check(again.size() == 1, "a written card reads as one card");
            check(!again[0].rejected && again[0].problems.empty(), "a written card reads without problems");
            check(again[0].placedElsewhere.empty(), "every value of a written card has its place");
            check(again[0].uid == card.uid, "the UID comes back");
            check(writeVCard(again[0].contact, version, again[0].uid) == written, "a written card reads back the same");
        }
    }
    return 0;
}
