#pragma once
// `lumo print hagaki DIR ... --out FILE.pdf`: the address sides of New Year
// cards (or 長形3号 envelopes) as a PDF, one card a page.
#include "tools/lumo/Command.h"

namespace lumo::tools {

extern const Command kPrintCommand;

}  // namespace lumo::tools
