#pragma once
// One export run, independent of any window: lists the record identifiers,
// reads and writes every record through clsExportSource, reports progress
// and honours a stop request after the current record. The wizard's
// progress window and `lumo export` both drive it.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/StagedFile.h"

namespace lumo::exporter {

struct ExportHooks {
    std::function<void(int32_t maximum)> setRange;  // once, before the first record
    std::function<void(int32_t value)> setValue;    // after each record
    std::function<void()> yield;                    // let the host handle its events
    std::function<bool()> stopRequested;            // read after each record
    std::function<void()> restoreCursor;            // before a failure is reported
};

struct ExportResult {
    bool failed = false;     // a failure of the run itself was reported
    bool stopped = false;    // the host asked to stop before the end
    int32_t records = 0;     // lines written after the header
    std::size_t replaced = 0;  // characters written as '?'
};

// The location code of the run's own failures (it belongs to the progress
// window that hosts it).
inline constexpr const char* kRunLocation = "FM-pi1003";

// The file is written under a temporary name beside `file` and moved to
// `file` when the run ends, also when it was stopped (the lines written so
// far are kept). After a failure it is removed and a previous `file` stays
// as it was. A failed write ends the run with its one report. With
// `replace` No, a file that exists at the end (however new) is not
// replaced and the run fails.
ExportResult runExport(const std::string& connection, const std::string& file, int16_t kind, const ExportHooks& hooks,
                       StagedFile::Replace replace = StagedFile::Replace::Yes);

// The identifier query of each kind.
const char* identifierQuery(int16_t kind);

}  // namespace lumo::exporter
