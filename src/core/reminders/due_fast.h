#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/ini/ini_files.h"
#include "core/options/options.h"

namespace tw {

/// One entry of the due list: its id, its name and its reminder sentence.
struct TDueLine {
    int Id = 0;
    std::string Name;
    std::string Sentence;
    bool operator==(const TDueLine&) const = default;
};

/// Receives the lines of the due list one after the other, in collection order.
using TDueSink = std::function<void(const TDueLine&)>;

/// How a quick selection ended.
enum class TDueScan {
    Done,           ///< every line of the due list went to the sink
    NeedsFullRead,  ///< something needs the full reading; nothing went to the sink
};

/// The entries the daily check selects now, exactly as loading the collection from freshly
/// opened files (TTWEntries::LoadEntries) followed by SelectDueEntries and ReminderSentence
/// gives them; with once_day, entries reminded today are left out. Only the keys the decision
/// needs are read, straight from the text of entries.ini and eoptions.ini; no collection is
/// built and the lines are worded only for the entries selected. Changes nothing.
///
/// NeedsFullRead when any section is not in the form that loading takes as it is: a key that
/// is missing, a value that loading would repair or report, an invalid entry, a section that
/// is not an entry's, or a store with changes not yet on disk. The caller then loads the
/// entries and selects the usual way (SelectDueLines), which repairs and reports.
TDueScan ScanDueEntries(const TTWIniFiles& files, const TTWOptions& options, bool once_day,
                        const TDueSink& emit);

/// The due list of a loaded collection: SelectDueEntries (which flags caught-up entries Missed
/// in the collection) and each selected entry's ReminderSentence.
void SelectDueLines(TTWEntries& entries, TTWIniFiles& files, const TTWOptions& options, bool once_day,
                    const TDueSink& emit);

}  // namespace tw
