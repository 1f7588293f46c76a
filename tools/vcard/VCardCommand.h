#pragma once
// `lumo vcard export|import`: the address book of DIR as vCard files and
// back (exchange/VCardExchange.h).
#include "tools/lumo/Command.h"

namespace lumo::tools {

extern const Command kVCardCommand;

}  // namespace lumo::tools
