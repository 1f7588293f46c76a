#pragma once
// `lumo sync DIR --url URL [--user NAME] [--password-file FILE] [...]`: two-way
// sync of DIR/Data/LumoBase.mdb with one CardDAV address book.
#include "tools/lumo/Command.h"

namespace lumo::tools {

extern const Command kSyncCommand;

}  // namespace lumo::tools
