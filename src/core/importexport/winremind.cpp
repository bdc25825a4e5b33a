#include "core/importexport/winremind.h"

#include "core/importexport/csv_import.h"
#include "core/importexport/csv_split.h"
#include "core/languages/languages.h"
#include "core/text/date_text.h"

namespace tw {

bool ImportWinRemind(TCoreSession& session, const std::string& file_name, std::string* error) {
    std::string text;
    if (!ReadImportText(file_name, &text, error)) return false;
    const std::vector<std::string_view> lines = SplitTextLines(text);
    const std::string no_remark = GetText(117);

    // Every block is read before the first is added, so a damaged file adds nothing.
    std::vector<TTWEntry> people;
    bool complete = false;
    for (size_t k = 0;; ++k) {
        const size_t base = 5 * k;
        if (base + 4 >= lines.size()) {
            if (error)
                *error = file_name + ": the file ends inside the block of person " + std::to_string(k + 1);
            break;
        }
        std::optional<TDateTime> date = FixedTextToDate(lines[base + 2]);
        if (!date) {
            if (error) *error = file_name + ": line " + std::to_string(base + 3) + " holds no date";
            return false;
        }
        TTWEntry& entry = people.emplace_back();
        entry.Name = lines[base + 1];
        entry.Date = *date;
        entry.Remark = lines[base + 4] == no_remark ? std::string() : std::string(lines[base + 4]);
        entry.RememberOptions = {roStandard};
        entry.RememberTimes = {rtStandard};
        if (lines.size() == base + 6) {
            complete = true;
            break;
        }
    }

    TImportBatch batch(session);
    for (TTWEntry& entry : people) batch.Add(std::move(entry));
    std::string write_error;
    if (!batch.Finish(&write_error)) {
        if (error) *error = write_error;
        return false;
    }
    return complete;
}

}  // namespace tw
