#pragma once
// `lumo greetings list|mark|joint DIR ...`: the year's list of greetings
// (出, 受, 喪中 per person) read and ticked from the command line.
#include "tools/lumo/Command.h"

namespace lumo::tools {

extern const Command kGreetingsCommand;

}  // namespace lumo::tools
