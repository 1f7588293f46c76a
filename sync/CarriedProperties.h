#pragma once
// The card a local change uploads: the person's card, plus every property
// of the server's card that the vCard mapping does not own, carried over
// unchanged. A phone's card holds more than the address book keeps (a
// photo, its own X- properties, labels of its own, a property the reader
// leaves out); built from the person alone, the upload would delete all of
// that on the server and so on every phone.
//
// Which properties the mapping owns is decided by the reader itself, one
// property at a time (with the labels of its group): each is read alone as
// a card of its own.
//   - It gives the person nothing (PHOTO, X-ABSHOWAS, an ANNIVERSARY in a
//     form without a year): carried over as the server gave it.
//   - It gives only a memo (an X-SKYPE, an IMPP, a date of the phone's own
//     label), which the person holds as a memo (or a line of the note): the
//     original property is carried over and that memo is not written a
//     second time, so that reading the card back gives the person as it is.
//     A memo the user changed or deleted here is written as the person has
//     it, and the original property is dropped: a deletion stays deleted.
//   - It gives a field of the person (N, TEL, EMAIL, ADR, ...): the person's
//     card writes it, or, when the user deleted it here, leaves it out; the
//     server's version is never carried over. The same holds for the
//     X-ABLabel of such a property's group, and for VERSION, PRODID, UID,
//     FN and REV, which describe the card being written.
// Carried lines keep their parameters, group and folds; a group whose name
// the person's card uses for its own labels is renamed to a free itemN, so
// that no label ends up on the wrong property.
//
// Stateless functions; any thread.
#include <functional>
#include <string>
#include <string_view>

#include "exchange/Contact.h"

namespace lumo::sync {

// Writes a contact as the sync's card (LocalBook::cardOf with the pair's UID).
using CardWriter = std::function<std::string(const exchange::Contact&)>;

// The card to upload for `person`: write(person) when `serverCard` is empty
// or carries nothing over, else the merged card described above.
std::string cardWithCarriedOver(exchange::Contact person, std::string_view serverCard, const CardWriter& write);

}  // namespace lumo::sync
