#pragma once
// `lumo postal import [--date YYYY-MM-DD] [--] DIR FILE`: loads Japan Post's
// postal code file (utf_ken_all.csv) into DIR/Data/LumoPostal.sqlite, the
// address book's own file beside the databases, whole or not at all.
#include "tools/lumo/Command.h"

namespace lumo::tools {

extern const Command kPostalCommand;

}  // namespace lumo::tools
