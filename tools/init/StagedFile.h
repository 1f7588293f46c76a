#pragma once
// lumo init's staged database files are the platform's staged files.
#include "platform/StagedFile.h"

namespace lumo::tools {

using lumo::StagedFile;

}  // namespace lumo::tools
