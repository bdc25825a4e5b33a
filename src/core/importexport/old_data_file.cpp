#include "core/importexport/old_data_file.h"

#include <algorithm>
#include <vector>

#include "core/importexport/csv_import.h"
#include "core/importexport/progress.h"
#include "core/text/date_text.h"
#include "core/text/encoding.h"
#include "core/text/files.h"
#include "core/text/messages.h"

namespace tw {
namespace {

struct TStringField {
    size_t Offset;
    size_t Capacity;  // characters after the length byte
};

constexpr TStringField kName{0, 40};
constexpr TStringField kDate{41, 10};
constexpr TStringField kRemark{52, 33};

// A length-prefixed string of the record. A length byte larger than the field is taken as the
// field's capacity, so a damaged record never reads into the next field.
std::string ReadField(std::string_view record, TStringField field) {
    size_t length = std::min<size_t>(static_cast<unsigned char>(record[field.Offset]), field.Capacity);
    return DecodeFileText(record.substr(field.Offset + 1, length));
}

}  // namespace

TOldDataOutcome ImportOldData(TCoreSession& session, const std::string& file_name) {
    TOldDataOutcome outcome;
    std::string bytes;
    if (!ReadFileBytes(file_name, &bytes, &outcome.Error)) return outcome;
    if (bytes.empty()) {
        outcome.Error = file_name + ": the file is empty";
        return outcome;
    }
    const size_t claimed = static_cast<unsigned char>(bytes[0]);
    const size_t present = std::min(claimed, (bytes.size() - 1) / kOldDataRecordSize);
    outcome.Skipped = static_cast<int>(claimed - present);

    // Every record is read before the first is added, so a damaged file adds nothing.
    std::vector<TTWEntry> records(present);
    for (size_t k = 0; k < present; ++k) {
        std::string_view record =
            std::string_view(bytes).substr(1 + k * kOldDataRecordSize, kOldDataRecordSize);
        std::string date_text = ReadField(record, kDate);
        std::optional<TDateTime> date = TextToDate(date_text);
        if (!date) {
            outcome.Error = file_name + ": record " + std::to_string(k + 1) + " holds no valid date (\"" +
                            date_text + "\")";
            outcome.Skipped = 0;
            return outcome;
        }
        TTWEntry& entry = records[k];
        entry.Name = ReadField(record, kName);
        entry.Date = *date;
        entry.Remark = ReadField(record, kRemark);
        entry.RememberOptions = {roStandard};
        entry.RememberTimes = {rtStandard};
    }

    TImportBatch batch(session);
    TProgressRun progress(true, static_cast<int>(present), false);
    bool cancelled = false;
    for (size_t k = 0; k < present; ++k) {
        // An invalid record would stop the program when it is read back; it is left out instead.
        if (!batch.Add(std::move(records[k]))) ++outcome.Skipped;
        Progress().SetProgressPosition(static_cast<int>(k + 1));
        Messages().ProcessMessages();
        if (Progress().CancelRequested()) {
            cancelled = true;
            break;
        }
    }
    if (cancelled) batch.RollBack();
    if (!batch.Finish(&outcome.Error)) return outcome;
    outcome.Result = cancelled ? TImportResult::Cancelled : TImportResult::Done;
    outcome.Imported = batch.Count();
    return outcome;
}

}  // namespace tw
