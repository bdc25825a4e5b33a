#include "core/importexport/csv_export.h"

#include "core/importexport/birthday2000.h"
#include "core/importexport/progress.h"
#include "core/text/date_text.h"
#include "core/text/encoding.h"
#include "core/text/files.h"
#include "core/text/messages.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

std::string_view TrimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// The value between double quotes. A quote inside is doubled, so that spreadsheet programs
// read it back and the program's own reader keeps the field (and its separators) together.
void AppendQuoted(std::string& line, std::string_view value) {
    line += '"';
    for (char c : value) {
        if (c == '"') line += '"';
        line += c;
    }
    line += '"';
}

std::string LowerExtension(const std::string& file_name) {
    std::string name = ExtractFileName(file_name);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : LowerAscii(name.substr(dot));
}

}  // namespace

std::string WithExtension(const std::string& file_name, const std::vector<std::string>& accepted) {
    std::string extension = LowerExtension(file_name);
    for (const std::string& ok : accepted)
        if (extension == ok) return file_name;
    return file_name + accepted.front();
}

std::string CsvFieldValue(const TTWEntry& entry, TCsvField field, bool last_name_first) {
    switch (field) {
        case TCsvField::Name:
            return entry.Name;
        case TCsvField::FirstName:
        case TCsvField::LastName: {
            // The name is cut at its first blank. A name of one word is all first word, so it is
            // the first name, or the last name when the last name comes first.
            std::string_view name = TrimBlanks(entry.Name);
            size_t blank = name.find(' ');
            std::string_view first_word = name.substr(0, blank);
            std::string_view rest =
                blank == std::string_view::npos ? std::string_view() : name.substr(blank + 1);
            bool wants_first_word = (field == TCsvField::FirstName) != last_name_first;
            return std::string(wants_first_word ? first_word : rest);
        }
        case TCsvField::Date:
            return DateToText(entry.Date);
        case TCsvField::EMail:
            return entry.EMail;
        case TCsvField::Remark:
            return entry.Remark;
        case TCsvField::Event:
            return entry.EventText();
    }
    return {};
}

TCsvExportResult ExportDelimited(TCoreSession& session, const TCsvExportSettings& settings, bool birthday2000,
                                 const std::string& file_name, std::string* written_name,
                                 std::string* error) {
    const std::string path =
        birthday2000 ? WithExtension(file_name, {".geb"}) : WithExtension(file_name, {".csv", ".txt"});
    if (written_name) *written_name = path;
    const std::string separator(TrimSpaces(settings.Separator));
    if (settings.Fields.empty() || separator.empty()) {
        if (error) *error = settings.Fields.empty() ? "No field to export" : "The separator is blank";
        return TCsvExportResult::Failed;
    }

    TAtomicFile file;
    if (!file.Begin(path, error)) return TCsvExportResult::Failed;
    if (birthday2000) file.Write(std::string(kBirthday2000Header) + kCrLf);

    TTWEntries& entries = session.Entries;
    TProgressRun progress(false, static_cast<int>(entries.Count()), false);
    std::string line;
    for (size_t i = 0; i < entries.Count(); ++i) {
        line.clear();
        for (size_t j = 0; j < settings.Fields.size(); ++j) {
            if (j > 0) line += separator;
            std::string value = CsvFieldValue(entries[i], settings.Fields[j], settings.LastNameFirst);
            if (settings.Quote)
                AppendQuoted(line, value);
            else
                line += value;
        }
        if (birthday2000) line += kBirthday2000Tail;
        line += kCrLf;
        file.Write(birthday2000 ? Utf8ToCp1252(line) : line);

        Progress().SetProgressPosition(static_cast<int>(i + 1));
        Messages().ProcessMessages();
        // Without Commit the temporary file goes and an earlier file stays as it was.
        if (Progress().CancelRequested()) return TCsvExportResult::Cancelled;
    }
    return file.Commit(error) ? TCsvExportResult::Written : TCsvExportResult::Failed;
}

TCsvExportResult ExportCSV(TCoreSession& session, const TCsvExportSettings& settings,
                           const std::string& file_name, std::string* written_name, std::string* error) {
    return ExportDelimited(session, settings, false, file_name, written_name, error);
}

}  // namespace tw
