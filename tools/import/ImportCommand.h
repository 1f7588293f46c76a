#pragma once
// `lumo import SOURCE DEST`: brings the Jet database files of the Windows
// suite (Data/LumoBase.mdb, iLumoBase.mdb, LumoScrap.mdb) into new
// databases of ours in DEST/Data, row for row. SOURCE is never written;
// existing files in DEST are never replaced; the new files appear only
// when the whole import succeeded.
#include <filesystem>
#include <iosfwd>
#include <vector>

#include "tools/import/ImportReport.h"
#include "tools/lumo/Command.h"

namespace lumo::tools {

struct ImportOptions {
    std::filesystem::path source;
    std::filesystem::path destination;
    bool skipUnknown = false;
};

// Throws UsageError.
ImportOptions parseImportOptions(Arguments args);

// Imports every source file present, or nothing. `err` gets the progress
// (when `terminal`). Throws lumo::Error.
std::vector<FileResult> importDatabases(const ImportOptions& options, std::ostream& err, bool terminal);

extern const Command kImportCommand;

}  // namespace lumo::tools
