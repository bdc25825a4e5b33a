// Times the import and export jobs at 10,000 and 100,000 entries: CSV export and import, archive
// export and import, HTML and PDF export. Each figure is also given per entry, so growth faster
// than linear shows as a rising per-entry time.

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "core/app/core_session.h"
#include "core/importexport/archive.h"
#include "core/importexport/csv_export.h"
#include "core/importexport/csv_import.h"
#include "core/importexport/html_export.h"
#include "core/text/messages.h"
#include "report/pdf_report.h"

namespace {

using tw::bench::Clock;
using tw::bench::SecondsSince;

// Answers every question with Yes and counts the boxes; a job that reports shows up in the table.
class TQuietMessages : public tw::TMessages {
  public:
    tw::TMsgAnswer MsgBox(const std::string& text, tw::TMsgButtons, tw::TMsgIcon) override {
        std::fprintf(stderr, "box: %s\n", text.c_str());
        return tw::TMsgAnswer::Yes;
    }
    void FatalStop() override { std::fprintf(stderr, "fatal stop\n"); }
};

struct TJob {
    const char* Name;
    double Seconds[2] = {0, 0};
    bool Ok[2] = {false, false};
};

std::vector<int> CollectionIds(const tw::TCoreSession& session) {
    std::vector<int> ids;
    for (size_t i = 0; i < session.Entries.Count(); ++i) ids.push_back(session.Entries[i].Id);
    return ids;
}

bool OpenSession(tw::TCoreSession& session, const std::string& data_dir) {
    std::string error;
    if (!session.Open(TAGWACHT_RESOURCE_DIR, data_dir, &error)) {
        std::fprintf(stderr, "cannot open %s: %s\n", data_dir.c_str(), error.c_str());
        return false;
    }
    return session.Entries.LoadEntries(session.IniFiles);
}

bool RunSize(unsigned count, size_t column, std::vector<TJob>& jobs) {
    tw::bench::TTempDir from, csv_to, archive_to, files;
    if (!tw::bench::RunProcess({tw::bench::SiblingExecutable("gen-entries-ini"), std::to_string(count),
                                from.Path() + "/entries.ini", from.Path() + "/eoptions.ini"}))
        return false;
    tw::TCoreSession source;
    if (!OpenSession(source, from.Path())) return false;
    const std::vector<int> ids = CollectionIds(source);
    const auto time = [&](size_t job, const std::function<bool()>& run) {
        const Clock::time_point start = Clock::now();
        jobs[job].Ok[column] = run();
        jobs[job].Seconds[column] = SecondsSince(start);
    };

    tw::TCsvExportSettings csv;
    csv.Fields = {tw::TCsvField::Name, tw::TCsvField::Date, tw::TCsvField::EMail, tw::TCsvField::Remark};
    const std::string csv_file = files.Path() + "/list.csv";
    time(0, [&] { return tw::ExportCSV(source, csv, csv_file) == tw::TCsvExportResult::Written; });
    {
        tw::TCoreSession target;
        if (!OpenSession(target, csv_to.Path())) return false;
        tw::TCsvImportSettings settings;
        settings.Fields = csv.Fields;
        time(1, [&] {
            return tw::ImportCSV(target, settings, csv_file).Result != tw::TCsvImportResult::Failed &&
                   target.Entries.Count() == count;
        });
    }
    const std::string archive = files.Path() + "/backup.twf";
    time(2, [&] { return tw::ExportArchive(source, archive, tw::TArchiveCompression::Deflate); });
    {
        tw::TCoreSession target;
        if (!OpenSession(target, archive_to.Path())) return false;
        time(3, [&] {
            return tw::ImportArchive(target, archive) == tw::TImportResult::Done && target.Entries.Count() == count;
        });
    }
    time(4, [&] { return tw::ExportHTML(source, files.Path() + "/list.html", ids); });
    time(5, [&] { return tw::ExportPDF(source, files.Path() + "/list.pdf", ids); });
    return true;
}

}  // namespace

int main() {
    TQuietMessages messages;
    tw::SetMessages(&messages);
    if (!tw::EnsureGuiApplication()) {
        std::fprintf(stderr, "no off-screen Qt Gui for the PDF\n");
        return 1;
    }
    std::vector<TJob> jobs = {{"CSV export"},     {"CSV import"},  {"archive export"},
                              {"archive import"}, {"HTML export"}, {"PDF export"}};
    const unsigned sizes[2] = {10000, 100000};
    for (size_t column = 0; column < 2; ++column)
        if (!RunSize(sizes[column], column, jobs)) return 1;

    std::printf("%-16s %12s %12s %14s %14s %8s\n", "job", "10,000 (s)", "100,000 (s)", "µs/entry 10k",
                "µs/entry 100k", "growth");
    bool all_ok = true;
    for (const TJob& job : jobs) {
        const double per_small = job.Seconds[0] / sizes[0] * 1e6, per_large = job.Seconds[1] / sizes[1] * 1e6;
        const bool ok = job.Ok[0] && job.Ok[1];
        all_ok = all_ok && ok;
        std::printf("%-16s %12.3f %12.3f %14.1f %14.1f %7.2fx%s\n", job.Name, job.Seconds[0], job.Seconds[1],
                    per_small, per_large, per_large / per_small, ok ? "" : "  FAILED");
    }
    std::printf("growth: time per entry at 100,000 over time per entry at 10,000 (1.00x = linear)\n");
    return all_ok ? 0 : 1;
}
