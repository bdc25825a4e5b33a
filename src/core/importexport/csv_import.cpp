#include "core/importexport/csv_import.h"

#include <algorithm>

#include "core/entries/entry_files.h"
#include "core/importexport/progress.h"
#include "core/text/date_text.h"
#include "core/text/encoding.h"
#include "core/text/messages.h"

namespace tw {

TImportBatch::TImportBatch(TCoreSession& session)
    : session_(session),
      entries_write_(session.IniFiles.EntriesIni),
      options_write_(session.IniFiles.EOptionsIni),
      rem_write_(session.IniFiles.RemIni) {}

TImportBatch::~TImportBatch() {
    if (!finished_) Finish(nullptr);
}

bool TImportBatch::Add(TTWEntry entry) {
    constexpr size_t kMaxText = 255;
    // The files hold at most 255 characters of a remark; a longer one would be cut and reported
    // at every start.
    if (Utf8Length(entry.Remark) > kMaxText) entry.Remark = std::string(Utf8Left(entry.Remark, kMaxText));
    if (!IsValid(entry) || Utf8Length(entry.EMail) > kMaxText) return false;
    TTWIniFiles& files = session_.IniFiles;
    entry.Id = static_cast<int>(TTWEntries::NextFreeId(files.EntriesIni));
    WriteEntry(entry, files);
    if (!session_.Entries.AddEntry(entry.Id, files)) return false;
    ids_.push_back(entry.Id);
    return true;
}

void TImportBatch::RollBack() {
    TTWIniFiles& files = session_.IniFiles;
    for (auto id = ids_.rbegin(); id != ids_.rend(); ++id) {
        const TTWEntry* entry = session_.Entries.FindId(*id);
        if (!entry) continue;
        DeleteEntryData(*entry, files);
        session_.Entries.RemoveEntry(*id);
    }
    ids_.clear();
}

bool TImportBatch::Finish(std::string* error) {
    finished_ = true;
    std::string failure;
    for (TDeferredWriteBack* write : {&entries_write_, &options_write_, &rem_write_}) {
        std::string one;
        if (!write->Finish(&one) && failure.empty()) failure = one;
    }
    if (failure.empty()) return true;
    // What is not on disk must not stay in the list either; the files are then written as they
    // were before the import, or at their next write-back when the disk is still full.
    RollBack();
    for (TIniStore* store :
         {&session_.IniFiles.EntriesIni, &session_.IniFiles.EOptionsIni, &session_.IniFiles.RemIni})
        store->UpdateFile();
    if (error) *error = failure;
    return false;
}

bool IsCompleteImportSelection(const std::vector<TCsvField>& fields) {
    auto has = [&](TCsvField field) {
        return std::find(fields.begin(), fields.end(), field) != fields.end();
    };
    return has(TCsvField::Date) &&
           (has(TCsvField::Name) || (has(TCsvField::FirstName) && has(TCsvField::LastName)));
}

namespace {

// First and last name are joined in either column order; a part the name already holds (the
// file may also have a full-name column) is not added again.
void JoinName(std::string& name, const std::string& part, bool part_is_first) {
    if (part.empty() || name.find(part) != std::string::npos) return;
    std::string_view current = TrimBlanks(name);
    if (current.empty())
        name = part;
    else if (part_is_first)
        name = part + " " + std::string(current);
    else
        name = std::string(current) + " " + part;
}

// The entry one line describes; its date stays at 01.01.0001 when no date field was read.
TTWEntry EntryFromFields(const std::vector<std::string>& fields, const std::vector<TCsvField>& codes,
                         TDateTime no_date) {
    TTWEntry entry;
    entry.Date = no_date;
    const TRememberOptions standard_options{roStandard};
    const TRememberTimes standard_times{rtStandard};
    for (size_t j = 0; j < codes.size() && j < fields.size(); ++j) {
        const std::string& field = fields[j];
        switch (codes[j]) {
            case TCsvField::Name:
                entry.Name = field;
                break;
            case TCsvField::FirstName:
                JoinName(entry.Name, field, true);
                break;
            case TCsvField::LastName:
                JoinName(entry.Name, field, false);
                break;
            case TCsvField::Date:
                if (std::optional<TDateTime> date = TextToDate(field))
                    entry.Date = *date;
                else
                    continue;
                break;
            case TCsvField::EMail:
                entry.EMail = field;
                break;
            case TCsvField::Remark:
                entry.Remark = field;
                break;
            case TCsvField::Event:
                break;
        }
        entry.RememberOptions = standard_options;
        entry.RememberTimes = standard_times;
    }
    return entry;
}

}  // namespace

TCsvImportOutcome ImportCSV(TCoreSession& session, const TCsvImportSettings& settings,
                            const std::string& file_name) {
    TCsvImportOutcome outcome;
    std::string text;
    if (!ReadImportText(file_name, &text, &outcome.Error)) return outcome;
    std::vector<std::string_view> lines = SplitTextLines(text);
    if (lines.empty()) {
        outcome.Error = file_name + ": the file is empty";
        return outcome;
    }

    const TDateTime no_date = *FixedTextToDate("01.01.0001");
    TImportBatch batch(session);
    TProgressRun progress(true, static_cast<int>(lines.size()), false);
    bool cancelled = false;
    const size_t first = settings.SkipFirstLine ? 1 : 0;
    for (size_t i = first; i < lines.size(); ++i) {
        TTWEntry entry = EntryFromFields(SplitImportLine(lines[i]), settings.Fields, no_date);
        // 01.01.0001 is the mark of a line whose date could not be read.
        bool has_date = DateToText(entry.Date) != "01.01.0001";
        if (!has_date || !batch.Add(std::move(entry))) ++outcome.Skipped;

        Progress().SetProgressPosition(static_cast<int>(i - first + 1));
        Messages().ProcessMessages();
        if (Progress().CancelRequested()) {
            cancelled = true;
            break;
        }
    }

    if (cancelled) batch.RollBack();
    outcome.Imported = batch.Count();
    if (!batch.Finish(&outcome.Error)) {
        outcome.Imported = 0;
        outcome.Result = TCsvImportResult::Failed;
    } else if (cancelled) {
        outcome.Result = TCsvImportResult::Cancelled;
    } else if (outcome.Skipped == 0) {
        outcome.Result = TCsvImportResult::AllImported;
    } else {
        // Skipped lines with nothing imported mean a file of another layout, not a partial success.
        outcome.Result = outcome.Imported > 0 ? TCsvImportResult::LinesSkipped : TCsvImportResult::Failed;
    }
    return outcome;
}

}  // namespace tw
