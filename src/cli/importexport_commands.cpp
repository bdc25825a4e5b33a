#include "cli/importexport_commands.h"

#include <algorithm>
#include <cstdio>

#include "cli/cli_args.h"
#include "cli/cli_context.h"
#include "core/importexport/archive.h"
#include "core/importexport/birthday2000.h"
#include "core/importexport/contacts_import.h"
#include "core/importexport/csv_export.h"
#include "core/importexport/csv_import.h"
#include "core/importexport/html_export.h"
#include "core/importexport/old_data_file.h"
#include "core/importexport/winremind.h"
#include "core/languages/languages.h"
#include "core/text/text_helpers.h"
#include "report/pdf_report.h"

namespace tw::cli {
namespace {

std::string Extension(const std::string& file_name) {
    const size_t slash = file_name.find_last_of('/');
    const size_t dot = file_name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    return LowerAscii(file_name.substr(dot));
}

int UsageError(const std::string& message) {
    std::fprintf(stderr, "tagwacht-cli: %s\n", message.c_str());
    return kExitUsage;
}

// The outcome in the words the desktop shows, on standard output when it went well.
int Report(bool ok, int text) {
    if (!ok) return Fail(GetText(text));
    std::printf("%s\n", GetText(text).c_str());
    return kExitOk;
}

// The text of a failed job, with the job's own explanation when it gave one.
int FailWith(int text, const std::string& detail) { return Fail(GetText(text) + (detail.empty() ? "" : " " + detail)); }

std::vector<int> CollectionIds(const TCoreSession& session) {
    std::vector<int> ids;
    ids.reserve(session.Entries.Count());
    for (size_t i = 0; i < session.Entries.Count(); ++i) ids.push_back(session.Entries[i].Id);
    return ids;
}

int ReportCsvImport(const TCsvImportOutcome& outcome) {
    switch (outcome.Result) {
    case TCsvImportResult::AllImported: return Report(true, 130);
    case TCsvImportResult::LinesSkipped: return Report(true, 131);
    case TCsvImportResult::Cancelled: return Report(true, 176);
    case TCsvImportResult::Failed: break;
    }
    return FailWith(132, outcome.Error);
}

int ReportCsvExport(TCsvExportResult result, const std::string& error) {
    if (result == TCsvExportResult::Written) return Report(true, 125);
    if (result == TCsvExportResult::Cancelled) return Report(true, 175);
    return FailWith(126, error);
}

}  // namespace

int RunImport(TCoreSession& session, const std::vector<std::string>& words) {
    TCommandArgs args;
    std::string error;
    if (!ParseCommandArgs(words, {"--fields", "--mail", "--remark"}, {"--skip-first-line"}, &args, &error))
        return UsageError(error);
    if (args.Positional.size() != 1) return UsageError("usage: import FILE [options]");
    const std::string& file = args.Positional[0];
    if (!session.Entries.LoadEntries(session.IniFiles)) return kExitFailed;
    const std::string extension = Extension(file);

    if (extension == ".twf") {
        const TImportResult result = ImportArchive(session, file);
        if (result == TImportResult::Done) return Report(true, 130);
        if (result == TImportResult::Cancelled) return Report(true, 176);
        return Report(false, 132);
    }
    if (extension == ".csv" || extension == ".txt") {
        TCsvImportSettings settings;
        if (auto codes = args.Value("--fields")) {
            auto fields = ParseCsvFields(*codes);
            if (!fields) return UsageError("--fields takes field codes 0..6 separated by commas");
            settings.Fields = *fields;
        }
        if (!IsCompleteImportSelection(settings.Fields)) return Fail(GetText(129));
        settings.SkipFirstLine = args.Has("--skip-first-line");
        return ReportCsvImport(ImportCSV(session, settings, file));
    }
    if (extension == ".geb") return ReportCsvImport(ImportBirthday2000(session, file));
    if (extension == ".bkp") {
        if (ImportWinRemind(session, file, &error)) return Report(true, 130);
        return FailWith(132, error);
    }
    if (extension == ".twd") {
        const TOldDataOutcome outcome = ImportOldData(session, file);
        if (outcome.Result == TImportResult::Done) return Report(true, outcome.Skipped > 0 ? 131 : 130);
        if (outcome.Result == TImportResult::Cancelled) return Report(true, 176);
        return FailWith(132, outcome.Error);
    }
    if (extension == ".vcf") {
        int mail = kMailNone;
        if (auto value = args.Value("--mail"); value && *value != "none") {
            auto number = ParseInt(*value);
            if (!number || *number < 1 || *number > 3) return UsageError("--mail takes none, 1, 2 or 3");
            mail = *number;
        }
        int remark = rcNothing;
        if (auto value = args.Value("--remark")) {
            auto number = ParseInt(*value);
            if (!number || *number < 0 || *number > 7) return UsageError("--remark takes a code 0..7");
            remark = *number;
        }
        switch (ImportContacts(session, file, mail, remark, &error)) {
        case TContactsImportResult::Done: return Report(true, 130);
        case TContactsImportResult::Skipped: return Report(true, 131);
        case TContactsImportResult::Cancelled: return Report(true, 176);
        case TContactsImportResult::Failed: break;
        }
        return Fail(error.empty() ? GetText(133) : GetText(132) + " " + error);
    }
    return UsageError("import: unknown file type \"" + extension + "\" (.twf .csv .txt .geb .bkp .twd .vcf)");
}

int RunExport(TCoreSession& session, const std::vector<std::string>& words) {
    TCommandArgs args;
    std::string error;
    if (!ParseCommandArgs(words, {"--fields", "--separator"}, {"--no-quotes", "--last-name-first", "--store"},
                          &args, &error))
        return UsageError(error);
    if (args.Positional.size() != 1) return UsageError("usage: export FILE [options]");
    const std::string& file = args.Positional[0];
    if (!session.Entries.LoadEntries(session.IniFiles)) return kExitFailed;
    const std::string extension = Extension(file);

    if (extension == ".twf") {
        const auto compression = args.Has("--store") ? TArchiveCompression::Store : TArchiveCompression::Deflate;
        const bool written = ExportArchive(session, file, compression);
        return Report(written, written ? 125 : 126);
    }
    if (extension == ".csv" || extension == ".txt") {
        TCsvExportSettings settings;
        const auto fields = ParseCsvFields(args.Value("--fields").value_or("0,3,4,5"));
        if (!fields || fields->empty()) return UsageError("--fields takes field codes 0..6 separated by commas");
        settings.Fields = *fields;
        settings.Separator = args.Value("--separator").value_or(";");
        settings.Quote = !args.Has("--no-quotes");
        settings.LastNameFirst = args.Has("--last-name-first");
        std::string written;
        const TCsvExportResult result = ExportCSV(session, settings, file, &written, &error);
        return ReportCsvExport(result, error);
    }
    if (extension == ".geb") {
        std::string written;
        return ReportCsvExport(ExportBirthday2000(session, file, &written, &error), error);
    }
    if (extension == ".pdf") {
        // The report is drawn with Qt Gui, off-screen.
        if (!EnsureGuiApplication()) return Fail(GetText(126));
        const bool written = ExportPDF(session, file, CollectionIds(session));
        return Report(written, written ? 125 : 126);
    }
    if (extension == ".html" || extension == ".htm") {
        if (ExportHTML(session, file, CollectionIds(session), &error)) return Report(true, 125);
        return FailWith(126, error);
    }
    return UsageError("export: unknown file type \"" + extension + "\" (.twf .csv .txt .geb .html .htm .pdf)");
}

}  // namespace tw::cli
