#pragma once
// `lumo export person|goods [--out FILE] [--force] [DIR]`: the wizard's
// export run without windows, on DIR/Data/LumoBase.mdb or iLumoBase.mdb.
#include "tools/lumo/Command.h"

namespace lumo::tools {

extern const Command kExportCommand;

}  // namespace lumo::tools
