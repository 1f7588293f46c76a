#pragma once
// A small, realistic Japanese data set for trying the suite out. It holds a
// few awkward values on purpose (an apostrophe, a comma, a double quote,
// half-width kana, ① and 髙) so that quoting and encoding faults show.
#include "tools/init/Books.h"

namespace lumo::tools {

void addSamplePersons(PersonBook& book);
void addSampleItems(ItemLedger& ledger);
void addSampleScraps(ScrapBook& book);

}  // namespace lumo::tools
