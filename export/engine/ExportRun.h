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
    int32_t unread = 0;      // of them, records written as the empty line because a read reported
    std::size_t replaced = 0;  // characters written as '?'
    bool keptExisting = false;  // stopped with a file at `file`: that file stays, the partial one is dropped
};

// The location code of the run's own failures (it belongs to the progress
// window that hosts it).
inline constexpr const char* kRunLocation = "FM-pi1003";

// The file is written under a temporary name beside `file` and moved to
// `file` when the run ends. A stopped run keeps the lines written so far
// only where no file of that name exists: a partial file never replaces
// one (keptExisting), whatever `replace` says. After a failure the new
// file is removed and a previous `file` stays as it was. A failed write
// ends the run with its one report. With `replace` No, a file that exists
// at the end (however new) is not replaced and the run fails.
//
// The run ends with one information message when there is something to
// tell: characters replaced by '?', records written as the empty line,
// an existing file kept after a stop.
ExportResult runExport(const std::string& connection, const std::string& file, int16_t kind, const ExportHooks& hooks,
                       StagedFile::Replace replace = StagedFile::Replace::Yes);

// The information message that ends a run ("" when there is nothing to
// tell), one sentence per line.
std::string finalMessage(const ExportResult& result);

// The identifier query of each kind.
const char* identifierQuery(int16_t kind);

}  // namespace lumo::exporter
