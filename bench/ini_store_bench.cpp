// ini-store-bench [N]: measures the INI store on a generated entries.ini of N entries (default
// 100000): opening, key look-ups, one write-back and the peak memory, each against its goal.
// It only prints; nothing here fails on a missed goal.

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "bench_support.h"
#include "core/ini/ini_store.h"

namespace {

namespace fs = std::filesystem;
using tw::bench::Clock;
using tw::bench::Megabytes;
using tw::bench::PeakMegabytes;
using tw::bench::SecondsSince;
using tw::bench::Verdict;

constexpr unsigned kDefaultCount = 100000;
constexpr unsigned kSmallCount = 10000;
constexpr std::uint64_t kLookups = 2'500'000;
constexpr double kOpenGoalSeconds = 0.3;
constexpr double kWriteBackGoalSeconds = 0.3;
constexpr double kPeakGoalRatio = 3.0;
// With ten times the entries a search through the sections takes about ten times as long; a
// constant-time look-up should stay below this factor, the rest being cache misses.
constexpr double kLookupGrowthLimit = 2.0;

// Keys every generated entry has, and keys the program reads but never writes, so that a part
// of the look-ups finds nothing.
constexpr std::string_view kPresentKeys[] = {
    "Name",  "Date",     "Sex",        "EMail",      "Remark",        "UserEvent",  "Image",
    "Event", "EMAIL_to", "EMAIL_from", "EMAIL_text", "EMAIL_subject", "EMAIL_only",
};
constexpr std::string_view kMissingKeys[] = {"NetSendServer", "NetSendRecp"};
constexpr std::uint32_t kMissingPercent = 10;

// SplitMix64: cheap enough that drawing the next look-up barely shows in the look-up time.
class TSplitMix {
  public:
    explicit TSplitMix(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

  private:
    std::uint64_t state_;
};

// Runs the generator as a child process, so that its memory stays out of our peak figure.
bool Generate(const std::string& generator, unsigned count, const std::string& path) {
    return tw::bench::RunProcess({generator, std::to_string(count), path});
}

struct TLookupRun {
    double Seconds = 0;
    std::uint64_t Checksum = 0;
};

// Random sections, random keys, about one in ten missing. Section names are formatted from the
// id, as the program does, rather than taken from a list whose own cache misses would count. The
// summed value lengths are printed, so the calls cannot be optimised away.
// In random order every look-up lands on a cold section, so at large N its time is mostly cache
// misses; in file order (25 keys per section, as loading an entry reads them) the cost of the
// look-up itself shows.
TLookupRun RunLookups(const tw::TIniStore& store, unsigned count, bool in_file_order = false) {
    TSplitMix random(42);
    TLookupRun run;
    char name[16];
    Clock::time_point start = Clock::now();
    for (std::uint64_t i = 0; i < kLookups; ++i) {
        std::uint64_t r = random.Next();
        auto id = in_file_order ? static_cast<unsigned>((i / 25) % count)
                                : static_cast<unsigned>(((r & 0xFFFFFFFFu) * count) >> 32);
        std::string_view section(name,
                                 static_cast<size_t>(std::to_chars(name, name + sizeof name, id).ptr - name));
        std::uint32_t pick = static_cast<std::uint32_t>(r >> 32) % 100;
        std::string_view key = pick < kMissingPercent ? kMissingKeys[pick % std::size(kMissingKeys)]
                                                      : kPresentKeys[pick % std::size(kPresentKeys)];
        run.Checksum += store.ReadString(section, key, "").size();
    }
    run.Seconds = SecondsSince(start);
    return run;
}

double NanosecondsPerLookup(const TLookupRun& run) {
    return run.Seconds * 1e9 / static_cast<double>(kLookups);
}

int Run(unsigned count) {
    std::string generator = tw::bench::SiblingExecutable("gen-entries-ini");
    if (generator.empty()) return 1;
    tw::bench::TTempDir dir;
    if (dir.Path().empty()) {
        std::perror("cannot create a temporary folder");
        return 1;
    }
    std::string big_path = dir.Path() + "/entries.ini";
    std::string small_path = dir.Path() + "/entries-small.ini";
    if (!Generate(generator, count, big_path) || !Generate(generator, kSmallCount, small_path)) return 1;

    double file_mb = Megabytes(static_cast<double>(fs::file_size(big_path)));
    double peak_before_open_mb = PeakMegabytes();
    double open_seconds = 0;
    double peak_after_open_mb = 0;
    TLookupRun big_run, big_ordered_run;
    double write_seconds = 0;
    double peak_mb = 0;
    {
        tw::TIniStore store;
        std::string error;
        Clock::time_point start = Clock::now();
        bool opened = store.Open(big_path, &error);
        open_seconds = SecondsSince(start);
        peak_after_open_mb = PeakMegabytes();
        if (!opened || store.SectionCount() != count) {
            std::fprintf(stderr, "Open failed: %s (%zu sections)\n", error.c_str(), store.SectionCount());
            return 1;
        }

        big_run = RunLookups(store, count);
        big_ordered_run = RunLookups(store, count, true);

        store.WriteString(std::to_string(count / 2), "Remark", "Adresse geändert");
        start = Clock::now();
        bool written = store.UpdateFile(&error);
        write_seconds = SecondsSince(start);
        if (!written) {
            std::fprintf(stderr, "UpdateFile failed: %s\n", error.c_str());
            return 1;
        }
        peak_mb = PeakMegabytes();
    }

    // The small store is opened only after the big one is gone, so it neither adds to the peak nor
    // leaves freed memory behind that would make the big Open look cheaper.
    TLookupRun small_run, small_ordered_run;
    {
        tw::TIniStore store;
        std::string error;
        if (!store.Open(small_path, &error) || store.SectionCount() != kSmallCount) {
            std::fprintf(stderr, "Open failed: %s (%zu sections)\n", error.c_str(), store.SectionCount());
            return 1;
        }
        small_run = RunLookups(store, kSmallCount);
        small_ordered_run = RunLookups(store, kSmallCount, true);
    }

    double big_ns = NanosecondsPerLookup(big_run);
    double small_ns = NanosecondsPerLookup(small_run);
    double growth = NanosecondsPerLookup(big_ordered_run) / NanosecondsPerLookup(small_ordered_run);
    double ratio = peak_mb / file_mb;
    std::printf("INI store benchmark, entries.ini with N = %u entries\n", count);
    std::printf("  %-20s %10.2f MB\n", "file size", file_mb);
    std::printf("  %-20s %10.3f s    goal < %.1f s    %s\n", "open", open_seconds, kOpenGoalSeconds,
                Verdict(open_seconds < kOpenGoalSeconds));
    std::printf("  %-20s %10.3f s    checksum %llu (N = %u: %llu)\n", "2.5 million look-ups", big_run.Seconds,
                static_cast<unsigned long long>(big_run.Checksum), kSmallCount,
                static_cast<unsigned long long>(small_run.Checksum));
    std::printf("  %-20s %10.1f ns   N = %u: %.1f ns (cold sections: cache misses)\n", "per random look-up",
                big_ns, kSmallCount, small_ns);
    std::printf("  %-20s %10.1f ns   N = %u: %.1f ns, x%.2f    goal O(1): < x%.0f    %s\n",
                "per look-up in order", NanosecondsPerLookup(big_ordered_run), kSmallCount,
                NanosecondsPerLookup(small_ordered_run), growth, kLookupGrowthLimit,
                Verdict(growth < kLookupGrowthLimit));
    std::printf("  %-20s %10.3f s    goal < %.1f s    %s\n", "write-back", write_seconds,
                kWriteBackGoalSeconds, Verdict(write_seconds < kWriteBackGoalSeconds));
    std::printf("  %-20s %10.2f MB   %.2fx file size    goal < %.0fx    %s\n", "peak memory", peak_mb, ratio,
                kPeakGoalRatio, Verdict(ratio < kPeakGoalRatio));
    std::printf("  %-20s %10.2f MB   %.2fx file size\n", "  after Open", peak_after_open_mb,
                peak_after_open_mb / file_mb);
    std::printf("  %-20s %10.2f MB   process without the store\n", "  before Open", peak_before_open_mb);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    unsigned count = kDefaultCount;
    if (argc > 2) {
        std::fprintf(stderr, "usage: ini-store-bench [N]\n");
        return 2;
    }
    if (argc == 2) {
        std::string_view text = argv[1];
        auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), count);
        if (ec != std::errc() || end != text.data() + text.size() || count == 0) {
            std::fprintf(stderr, "usage: ini-store-bench [N]   (N >= 1)\n");
            return 2;
        }
    }
    return Run(count);
}
