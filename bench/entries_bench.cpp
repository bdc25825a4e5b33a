// entries-bench: measures what the main window does with a large data folder: loading every entry
// (TTWIniFiles::Open and LoadEntries), building the list rows and a first click on each column
// header, for N = 1,000, 10,000 and 100,000 generated entries, and the peak memory of each; also
// the daily selection, and the quick selection that "tagwacht-cli due" runs on the opened files
// instead of loading them (ScanDueEntries). Every N runs in a process of its own (the benchmark
// starts itself with "--one N"), so that each peak is that N's own; "entries-bench --one N" alone
// prints that N's figures as one line, which is the run to hand to a profiler. It only prints;
// nothing here fails on a missed goal.

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "bench_support.h"
#include "core/entries/entries.h"
#include "core/entries/list_view.h"
#include "core/ini/ini_files.h"
#include "core/languages/languages.h"
#include "core/options/options.h"
#include "core/reminders/due_fast.h"
#include "core/reminders/due_selection.h"
#include "core/text/clock.h"
#include "core/text/messages.h"

namespace {

using tw::bench::Clock;
using tw::bench::SecondsSince;

constexpr unsigned kCounts[] = {1000, 10000, 100000};
constexpr unsigned kGoalCount = 100000;
constexpr double kLoadGoalSeconds = 0.5;
constexpr double kSortGoalSeconds = 0.2;
constexpr double kPeakGoalMegabytes = 150;

struct TSortCase {
    int Column;
    bool Ctrl;
    const char* Label;
};

// The columns in the order a user might click them; Datum once as a plain click, once with ctrl.
constexpr TSortCase kSorts[] = {
    {1, false, "1 Name"},  {2, false, "2 Datum"}, {2, true, "2 +ctrl"}, {3, false, "3 Ereig"},
    {4, false, "4 Alter"}, {5, false, "5 Next"},  {6, false, "6 Mail"}, {7, false, "7 Komm"},
};
constexpr size_t kSortCount = std::size(kSorts);
constexpr double kSelectGoalSeconds = 0.1;

// What one child measures; it travels to the parent as one line of numbers.
struct TResult {
    unsigned Count = 0;
    size_t Loaded = 0;
    double OpenSeconds = 0;
    double LoadEntriesSeconds = 0;
    double RowsSeconds = 0;
    double SortSeconds[kSortCount] = {};
    double SelectSeconds = 0;
    size_t DueCount = 0;
    double ScanSeconds = 0;  // the quick selection of "tagwacht-cli due" (ScanDueEntries)
    size_t ScanCount = 0;
    bool ScanDone = false;
    double BaselineMegabytes = 0;
    double PeakMegabytes = 0;
    unsigned Boxes = 0;

    double LoadSeconds() const { return OpenSeconds + LoadEntriesSeconds; }
    size_t SlowestSort() const {
        return static_cast<size_t>(std::max_element(SortSeconds, SortSeconds + kSortCount) - SortSeconds);
    }
};

std::string Serialize(const TResult& r) {
    std::ostringstream out;
    out.precision(9);
    out << "result " << r.Count << ' ' << r.Loaded << ' ' << r.OpenSeconds << ' ' << r.LoadEntriesSeconds
        << ' ' << r.RowsSeconds;
    for (double s : r.SortSeconds) out << ' ' << s;
    out << ' ' << r.SelectSeconds << ' ' << r.DueCount << ' ' << r.ScanSeconds << ' ' << r.ScanCount << ' '
        << r.ScanDone;
    out << ' ' << r.BaselineMegabytes << ' ' << r.PeakMegabytes << ' ' << r.Boxes << '\n';
    return out.str();
}

bool Deserialize(const std::string& text, TResult* r) {
    std::istringstream in(text.substr(std::min(text.find("result "), text.size())));
    std::string word;
    in >> word >> r->Count >> r->Loaded >> r->OpenSeconds >> r->LoadEntriesSeconds >> r->RowsSeconds;
    for (double& s : r->SortSeconds) in >> s;
    in >> r->SelectSeconds >> r->DueCount >> r->ScanSeconds >> r->ScanCount >> r->ScanDone;
    in >> r->BaselineMegabytes >> r->PeakMegabytes >> r->Boxes;
    return word == "result" && !in.fail();
}

// Counts the boxes the core shows; loading a clean generated folder should show none. The texts
// still go to standard error, so that a repair report can be read.
class TCountingMessages : public tw::TMessages {
  public:
    tw::TMsgAnswer MsgBox(const std::string& text, tw::TMsgButtons buttons, tw::TMsgIcon) override {
        ++Boxes;
        std::fprintf(stderr, "box: %s\n", text.c_str());
        return buttons == tw::TMsgButtons::YesNo ? tw::TMsgAnswer::No : tw::TMsgAnswer::Ok;
    }
    void FatalStop() override { Stopped = true; }

    unsigned Boxes = 0;
    bool Stopped = false;
};

// The first-start standard reminder days and channels.
tw::TTWOptions DailyOptions() {
    tw::TTWOptions options;
    options.RememberTimes = {tw::rtD0, tw::rtD1, tw::rtD5, tw::rtD7, tw::rtD14, tw::rtD21};
    options.RememberOptions = {tw::roSound, tw::roKeyboard};
    return options;
}

// One N in this process: generate the folder, then measure as the program starts up and as the
// user clicks through the column headers of the same list.
int RunOne(unsigned count) {
    std::string generator = tw::bench::SiblingExecutable("gen-entries-ini");
    tw::bench::TTempDir dir;
    if (generator.empty() || dir.Path().empty()) {
        std::fprintf(stderr, "cannot prepare the data folder\n");
        return 1;
    }
    if (!tw::bench::RunProcess(
            {generator, std::to_string(count), dir.Path() + "/entries.ini", dir.Path() + "/eoptions.ini"}))
        return 1;

    TResult result;
    result.Count = count;
    result.BaselineMegabytes = tw::bench::PeakMegabytes();

    TCountingMessages messages;
    tw::SetMessages(&messages);
    tw::TTWIniFiles files;
    std::string error;
    Clock::time_point start = Clock::now();
    bool opened = files.Open(dir.Path(), &error);
    result.OpenSeconds = SecondsSince(start);
    if (!opened) {
        std::fprintf(stderr, "Open failed: %s\n", error.c_str());
        return 1;
    }

    // The program reads its language before the entries; the error reports need its texts.
    tw::TTWLanguages languages(TAGWACHT_RESOURCE_DIR "/languages", files.OptionsIni);
    if (!languages.LoadLanguages() || languages.GetCurrentLanguage().empty()) {
        std::fprintf(stderr, "no language in %s/languages\n", TAGWACHT_RESOURCE_DIR);
        return 1;
    }
    languages.LoadStrings();
    tw::SetLanguages(&languages);

    // What "tagwacht-cli due" does instead of loading: the quick selection on the freshly opened
    // files, on the same day and with the same options as the selection below.
    {
        tw::TFixedClock day(*tw::EncodeDate(2025, 12, 20) + 0.5);
        tw::SetClock(&day);
        start = Clock::now();
        size_t lines = 0;
        result.ScanDone = tw::ScanDueEntries(files, DailyOptions(), false,
                                             [&](const tw::TDueLine&) { ++lines; }) == tw::TDueScan::Done;
        result.ScanSeconds = SecondsSince(start);
        result.ScanCount = lines;
        tw::SetClock(nullptr);
    }

    tw::TTWEntries entries;
    start = Clock::now();
    bool loaded = entries.LoadEntries(files);
    result.LoadEntriesSeconds = SecondsSince(start);
    result.Loaded = entries.Count();
    if (!loaded || messages.Stopped) {
        std::fprintf(stderr, "LoadEntries stopped after %zu entries\n", entries.Count());
        return 1;
    }

    start = Clock::now();
    std::vector<tw::TListRow> rows = tw::ListRows(entries);
    result.RowsSeconds = SecondsSince(start);

    // Each column is a first click (a fresh state), on the list as the previous click left it.
    for (size_t i = 0; i < kSortCount; ++i) {
        tw::TListSortState state;
        start = Clock::now();
        tw::SortRows(rows, kSorts[i].Column, kSorts[i].Ctrl, entries, state);
        result.SortSeconds[i] = SecondsSince(start);
    }
    // The daily check, on a day the generated marks are current for (they count ages to 2025), with
    // the first-start standard reminder days.
    {
        tw::TFixedClock day(*tw::EncodeDate(2025, 12, 20) + 0.5);
        tw::SetClock(&day);
        tw::TTWEntries due;
        start = Clock::now();
        tw::SelectDueEntries(entries, files, DailyOptions(), false, due);
        result.SelectSeconds = SecondsSince(start);
        result.DueCount = due.Count();
        tw::SetClock(nullptr);
    }
    result.PeakMegabytes = tw::bench::PeakMegabytes();
    result.Boxes = messages.Boxes;

    tw::SetLanguages(nullptr);
    tw::SetMessages(nullptr);
    std::fputs(Serialize(result).c_str(), stdout);
    return 0;
}

double Milliseconds(double seconds) { return seconds * 1e3; }
double MicrosecondsPerEntry(double seconds, unsigned count) { return seconds * 1e6 / count; }

void PrintHeader() {
    std::printf(
        "Entries benchmark: load = TTWIniFiles::Open + LoadEntries, rows = ListRows, then a first\n"
        "click on each column (SortRows); times in ms, each N in a process of its own\n\n");
    std::printf("%8s %8s %8s", "N", "load", "rows");
    for (const TSortCase& sort : kSorts) std::printf(" %8s", sort.Label);
    std::printf(" %8s %6s\n", "peak MB", "boxes");
}

void PrintRow(const TResult& r) {
    std::printf("%8u %8.1f %8.1f", r.Count, Milliseconds(r.LoadSeconds()), Milliseconds(r.RowsSeconds));
    for (double s : r.SortSeconds) std::printf(" %8.1f", Milliseconds(s));
    std::printf(" %8.1f %6u\n", r.PeakMegabytes, r.Boxes);
    std::fflush(stdout);
}

void PrintGrowth(const std::vector<TResult>& results) {
    std::printf("\nMicroseconds per entry (linear growth keeps these flat; a sort may add a factor log N)\n");
    std::printf("%8s %8s %8s %8s %8s  %s\n", "N", "open", "entries", "load", "sort", "(slowest column)");
    for (const TResult& r : results) {
        size_t slowest = r.SlowestSort();
        std::printf("%8u %8.2f %8.2f %8.2f %8.3f  (%s)\n", r.Count,
                    MicrosecondsPerEntry(r.OpenSeconds, r.Count),
                    MicrosecondsPerEntry(r.LoadEntriesSeconds, r.Count),
                    MicrosecondsPerEntry(r.LoadSeconds(), r.Count),
                    MicrosecondsPerEntry(r.SortSeconds[slowest], r.Count), kSorts[slowest].Label);
    }
}

void PrintGoals(const TResult& r) {
    std::printf("\nGoals at N = %u (%zu entries loaded, %.1f MB before opening)\n", r.Count, r.Loaded,
                r.BaselineMegabytes);
    std::printf("  %-24s %9.3f s    goal < %.1f s     %s   (open %.3f s, LoadEntries %.3f s)\n", "load",
                r.LoadSeconds(), kLoadGoalSeconds, tw::bench::Verdict(r.LoadSeconds() < kLoadGoalSeconds),
                r.OpenSeconds, r.LoadEntriesSeconds);
    for (size_t i = 0; i < kSortCount; ++i)
        std::printf("  %-24s %9.3f s    goal < %.1f s     %s\n",
                    ("sort " + std::string(kSorts[i].Label)).c_str(), r.SortSeconds[i], kSortGoalSeconds,
                    tw::bench::Verdict(r.SortSeconds[i] < kSortGoalSeconds));
    std::printf("  %-24s %9.3f s    goal < %.1f s     %s   (%zu due on 20.12.2025)\n", "select due entries",
                r.SelectSeconds, kSelectGoalSeconds, tw::bench::Verdict(r.SelectSeconds < kSelectGoalSeconds),
                r.DueCount);
    std::printf("  %-24s %9.3f s    goal < %.1f s     %s   (%zu lines, %s)\n", "quick due selection",
                r.ScanSeconds, kSelectGoalSeconds,
                tw::bench::Verdict(r.ScanDone && r.ScanSeconds < kSelectGoalSeconds), r.ScanCount,
                !r.ScanDone                 ? "fell back to loading"
                : r.ScanCount == r.DueCount ? "same count"
                                            : "COUNT DIFFERS");
    std::printf("  %-24s %9.1f MB   goal < %.0f MB    %s\n", "peak memory", r.PeakMegabytes,
                kPeakGoalMegabytes, tw::bench::Verdict(r.PeakMegabytes < kPeakGoalMegabytes));
}

int RunAll() {
    std::string self = tw::bench::SiblingExecutable("entries-bench");
    if (self.empty()) return 1;
    PrintHeader();
    std::vector<TResult> results;
    for (unsigned count : kCounts) {
        std::string output;
        TResult result;
        if (!tw::bench::RunProcess({self, "--one", std::to_string(count)}, &output) ||
            !Deserialize(output, &result)) {
            std::fprintf(stderr, "no result for N = %u\n", count);
            return 1;
        }
        PrintRow(result);
        results.push_back(result);
    }
    PrintGrowth(results);
    for (const TResult& r : results)
        if (r.Count == kGoalCount) PrintGoals(r);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 1) return RunAll();
    unsigned count = 0;
    std::string_view text = argc == 3 && std::string_view(argv[1]) == "--one" ? argv[2] : "";
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || count == 0) {
        std::fprintf(stderr, "usage: entries-bench [--one N]\n");
        return 2;
    }
    return RunOne(count);
}
