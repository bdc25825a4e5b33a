#include "core/importexport/birthday2000.h"

namespace tw {

static_assert(kBirthday2000Header.size() == 63);

TCsvExportResult ExportBirthday2000(TCoreSession& session, const std::string& file_name,
                                    std::string* written_name, std::string* error) {
    const TCsvExportSettings settings{
        .Fields = kBirthday2000Fields, .Separator = std::string(","), .Quote = true, .LastNameFirst = false};
    return ExportDelimited(session, settings, true, file_name, written_name, error);
}

TCsvImportOutcome ImportBirthday2000(TCoreSession& session, const std::string& file_name) {
    TCsvImportSettings settings;
    settings.Fields = kBirthday2000Fields;
    settings.SkipFirstLine = true;
    return ImportCSV(session, settings, file_name);
}

}  // namespace tw
