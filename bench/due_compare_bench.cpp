// due-compare-bench: the whole-process time of "tagwacht-cli due" on a generated data folder of
// 100,000 entries, side by side with two classic command-line reminders reading the same people
// (name, date, kind of event; year 9999 written as no year) in their own file formats:
// "birthday -W 28 -f FILE" and "remind FILE". Each program runs several times in turns, its
// output going to /dev/null, and the median wall time counts; the median user CPU time is shown
// beside it, since it varies less on a busy machine. It only prints; nothing here fails on a
// missed goal.
//
// tagwacht-cli runs on two folders that differ only in their occurrence marks: "daily", the
// marks of a user whose check ran every day until yesterday (only the entries due by their
// reminder days are selected), and "a year late", the generator's plain marks, which count ages
// to 2025 (on the first check after a long pause almost every entry is caught up, so nearly
// every entry is printed with its sentence).
//
// The peers are not needed to build or test Tagwacht; "apt-get install birthday remind" brings
// them. A peer that is not installed is reported and left out.
//
// The programs select different things (tagwacht-cli by each entry's reminder days and its
// caught-up rule, the peers by a fixed 28-day window), so their output line counts differ; the
// counts are printed only to show that each one did read the whole file.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "bench_support.h"

namespace {

namespace fs = std::filesystem;
using tw::bench::Clock;
using tw::bench::SecondsSince;

constexpr unsigned kCount = 100000;
constexpr int kRuns = 9;
constexpr int kWarnDays = 28;
constexpr int kUnknownYear = 9999;
constexpr double kBarSeconds = 0.3;

// What the peers need of an entry.
struct TPerson {
    std::string Name;
    int Day = 0;
    int Month = 0;
    int Year = 0;   // 0 when unknown
    int Event = 0;  // 0 birthday, 1 wedding anniversary, 2 the event named UserEvent
    std::string UserEvent;
};

// One program under test and what was measured of it.
struct TProgram {
    std::string Label;
    std::vector<std::string> Args;
    std::vector<std::string> Files;  // what it reads, for the size column
    bool Available = false;
    bool IsTagwacht = false;
    std::vector<double> Times;
    std::vector<double> UserTimes;
    double Median = 0;
    double UserMedian = 0;
    size_t Lines = 0;
};

bool ParseInt(std::string_view text, int* value) {
    if (text.empty()) return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    *value = v;
    return true;
}

// "dd.mm.yyyy" as the program stores it.
bool ParseDate(std::string_view text, TPerson* person) {
    int year = 0;
    if (text.size() != 10 || text[2] != '.' || text[5] != '.' || !ParseInt(text.substr(0, 2), &person->Day) ||
        !ParseInt(text.substr(3, 2), &person->Month) || !ParseInt(text.substr(6), &year))
        return false;
    person->Year = year == kUnknownYear ? 0 : year;
    return true;
}

// Reads name, date and event of every section of a generated entries.ini (CR LF lines).
bool ReadPeople(const std::string& path, std::vector<TPerson>* people) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string_view view = line;
        if (view.starts_with('[')) {
            people->emplace_back();
            continue;
        }
        if (people->empty()) continue;
        TPerson& person = people->back();
        if (view.starts_with("Name="))
            person.Name = view.substr(5);
        else if (view.starts_with("UserEvent="))
            person.UserEvent = view.substr(10);
        else if (view.starts_with("Event="))
            ParseInt(view.substr(6), &person.Event);
        else if (view.starts_with("Date=") && !ParseDate(view.substr(5), &person)) {
            std::fprintf(stderr, "unexpected date in %s: %s\n", path.c_str(), line.c_str());
            return false;
        }
    }
    return true;
}

// The text a peer shows for the person: the name, and for an event of one's own its name.
std::string Subject(const TPerson& person) {
    return person.Event == 2 && !person.UserEvent.empty() ? person.Name + " " + person.UserEvent
                                                          : person.Name;
}

void AppendTwoDigits(std::string& out, int value) {
    out += static_cast<char>('0' + value / 10);
    out += static_cast<char>('0' + value % 10);
}

// birthday's format: "Name=DD/MM[/YYYY] bd|ann". '=' ends the name there and '#' or '&' at the
// start of a line mean something else, so those are replaced.
std::string BirthdayLine(const TPerson& person) {
    std::string name = Subject(person);
    std::replace(name.begin(), name.end(), '=', '-');
    if (!name.empty() && (name[0] == '#' || name[0] == '&')) name[0] = '_';
    std::string out = name + '=';
    AppendTwoDigits(out, person.Day);
    out += '/';
    AppendTwoDigits(out, person.Month);
    if (person.Year != 0) out += '/' + std::to_string(person.Year);
    // Anniversaries and events of one's own both recur yearly and count years, as "ann" does.
    out += person.Event == 0 ? " bd\n" : " ann\n";
    return out;
}

// remind's format: one yearly REM with a 28-day advance warning. '%' and '[' start substitutions
// and expressions in a MSG body, so they are written escaped.
std::string RemindLine(const TPerson& person) {
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string body;
    for (char c : Subject(person)) {
        if (c == '%')
            body += "%%";
        else if (c == '[')
            body += "[\"[\"]";
        else
            body += c;
    }
    body += person.Event == 0 ? "'s birthday" : person.Event == 1 ? "'s wedding anniversary" : "";
    return "REM " + std::to_string(person.Day) + " " + kMonths[person.Month - 1] + " +" +
           std::to_string(kWarnDays) + " MSG " + body + " %b.\n";
}

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

// The executable's full path as the shell would find it; empty when it is not installed.
std::string FindInPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (!dirs.empty()) {
        size_t colon = dirs.find(':');
        std::string_view dir = dirs.substr(0, colon);
        dirs = colon == std::string_view::npos ? "" : dirs.substr(colon + 1);
        if (dir.empty()) continue;
        std::string candidate = std::string(dir) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return "";
}

// What one run of a program took.
struct TTiming {
    double Wall = -1;  // negative when it failed
    double User = 0;
};

// Runs the program with its output going to /dev/null (a terminal or pipe would add its own
// cost) and measures the wall time from start to exit and the user CPU time of all its threads.
TTiming TimeProcess(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    Clock::time_point start = Clock::now();
    int err = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (err != 0) {
        std::fprintf(stderr, "cannot start %s: %s\n", argv[0], std::generic_category().message(err).c_str());
        return {};
    }
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0)
        if (errno != EINTR) return {};
    TTiming timing;
    timing.Wall = SecondsSince(start);
    timing.User =
        static_cast<double>(usage.ru_utime.tv_sec) + static_cast<double>(usage.ru_utime.tv_usec) / 1e6;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s did not exit with 0\n", argv[0]);
        return {};
    }
    return timing;
}

// remind separates its reminders with empty lines, so only lines with text count.
size_t CountLines(const std::string& text) {
    size_t lines = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) ++lines;
        start = end + 1;
    }
    return lines;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double FilesMegabytes(const std::vector<std::string>& files) {
    double bytes = 0;
    for (const std::string& file : files) {
        std::error_code ec;
        uintmax_t size = fs::file_size(file, ec);
        if (!ec) bytes += static_cast<double>(size);
    }
    return tw::bench::Megabytes(bytes);
}

void PrintTable(const std::vector<TProgram>& programs) {
    const TProgram& tagwacht = programs.front();
    std::printf("%-34s %8s %9s %8s %8s %8s %8s %8s %7s\n", "program", "data MB", "median s", "min s", "max s",
                "user s", "x tagw.", "tagw. x", "lines");
    for (const TProgram& p : programs) {
        if (!p.Available) {
            std::printf("%-34s %8.1f %9s   (not installed: skipped)\n", p.Label.c_str(),
                        FilesMegabytes(p.Files), "-");
            continue;
        }
        auto [low, high] = std::minmax_element(p.Times.begin(), p.Times.end());
        std::printf("%-34s %8.1f %9.3f %8.3f %8.3f %8.3f %8.2f %8.2f %7zu\n", p.Label.c_str(),
                    FilesMegabytes(p.Files), p.Median, *low, *high, p.UserMedian, p.Median / tagwacht.Median,
                    tagwacht.Median / p.Median, p.Lines);
    }
    std::printf(
        "\n\"x tagw.\" is the program's time / the first tagwacht-cli's; \"tagw. x\" the other way round\n"
        "(below 1 means that tagwacht-cli is faster). user s: median user CPU time of all threads.\n"
        "Lines: non-empty output lines. The programs select differently (the peers: a fixed 28-day\n"
        "window; tagwacht-cli: each entry's reminder days plus every entry whose last occurrence\n"
        "carries no reminder mark), so the counts only show that each one read the whole file.\n");
}

void PrintGoals(const std::vector<TProgram>& programs) {
    std::printf("\nGoals at N = %u\n", kCount);
    std::string peers;
    double fastest_peer = 0;
    for (const TProgram& p : programs) {
        if (p.IsTagwacht || !p.Available) continue;
        fastest_peer = peers.empty() ? p.Median : std::min(fastest_peer, p.Median);
        peers += (peers.empty() ? "" : ", ") + p.Label;
    }
    for (const TProgram& p : programs) {
        if (!p.IsTagwacht) continue;
        std::printf("  %-42s %7.3f s  bar < %.1f s   %s\n", p.Label.c_str(), p.Median, kBarSeconds,
                    tw::bench::Verdict(p.Median < kBarSeconds));
        if (peers.empty())
            std::printf("  %-42s no peer installed (apt-get install birthday remind)\n",
                        "  faster than the peers");
        else
            std::printf("  %-42s %s   (compared with: %s)\n", "  faster than the peers",
                        tw::bench::Verdict(p.Median < fastest_peer), peers.c_str());
    }
}

// Today as "dd.mm.yyyy" in local time, the day tagwacht-cli takes as today.
std::string TodayText() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%d.%m.%Y", &local);
    return text;
}

int Run() {
    std::string generator = tw::bench::SiblingExecutable("gen-entries-ini");
    std::string cli = tw::bench::SiblingExecutable("tagwacht-cli");
    tw::bench::TTempDir temp;
    if (generator.empty() || cli.empty() || temp.Path().empty()) {
        std::fprintf(stderr, "cannot prepare the data folder\n");
        return 1;
    }
    // The same people in both folders; only the marks differ.
    const std::string daily = temp.Path() + "/daily";
    const std::string late = temp.Path() + "/late";
    const std::string entries = late + "/entries.ini";
    const std::string birthdays = temp.Path() + "/birthdays";
    const std::string reminders = temp.Path() + "/reminders.rem";
    for (const std::string& folder : {daily, late}) fs::create_directory(folder);
    if (!tw::bench::RunProcess({generator, std::to_string(kCount), entries, late + "/eoptions.ini"}) ||
        !tw::bench::RunProcess({generator, std::to_string(kCount), daily + "/entries.ini",
                                daily + "/eoptions.ini", "--checked-until", TodayText()}))
        return 1;

    std::vector<TPerson> people;
    if (!ReadPeople(entries, &people)) return 1;
    std::string birthday_text, remind_text;
    for (const TPerson& person : people) {
        if (person.Month < 1 || person.Month > 12) {
            std::fprintf(stderr, "an entry of %s has no valid date\n", entries.c_str());
            return 1;
        }
        birthday_text += BirthdayLine(person);
        remind_text += RemindLine(person);
    }
    if (!WriteText(birthdays, birthday_text) || !WriteText(reminders, remind_text)) return 1;

    std::vector<TProgram> programs(4);
    const std::pair<std::string, std::string> folders[] = {{"daily", daily}, {"a year late", late}};
    for (size_t i = 0; i < 2; ++i) {
        const std::string& folder = folders[i].second;
        programs[i].Label = "tagwacht-cli due (" + folders[i].first + ")";
        programs[i].Args = {cli, "--data-dir", folder, "--program-dir", TAGWACHT_RESOURCE_DIR, "due"};
        programs[i].Files = {folder + "/entries.ini", folder + "/eoptions.ini", folder + "/options.ini"};
        programs[i].Available = true;
        programs[i].IsTagwacht = true;
    }
    programs[2].Label = "birthday -W " + std::to_string(kWarnDays);
    programs[2].Args = {FindInPath("birthday"), "-W", std::to_string(kWarnDays), "-f", birthdays};
    programs[2].Files = {birthdays};
    programs[3].Label = "remind";
    programs[3].Args = {FindInPath("remind"), reminders};
    programs[3].Files = {reminders};
    for (TProgram& p : programs) {
        if (p.IsTagwacht) continue;
        p.Available = !p.Args[0].empty();
        if (!p.Available)
            std::printf("%s is not installed; it is left out (apt-get install birthday remind)\n",
                        p.Label.c_str());
    }

    // The untimed first run of each fills the page cache and counts the output; tagwacht-cli's
    // also writes the first-start options.ini, which would otherwise land in the first timing.
    for (TProgram& p : programs) {
        if (!p.Available) continue;
        std::string output;
        if (!tw::bench::RunProcess(p.Args, &output)) return 1;
        p.Lines = CountLines(output);
    }
    for (const std::string& folder : {daily, late})
        if (!fs::exists(folder + "/options.ini"))
            std::fprintf(stderr, "note: tagwacht-cli wrote no options.ini in %s in the warm-up run\n",
                         folder.c_str());

    std::printf(
        "Whole-process time of one daily check on %zu people (%u entries generated),\n"
        "median of %d runs taken in turns, output to /dev/null\n\n",
        people.size(), kCount, kRuns);
    std::fflush(stdout);
    // In turns, so that a slow moment of the machine hits all programs alike.
    for (int run = 0; run < kRuns; ++run) {
        for (TProgram& p : programs) {
            if (!p.Available) continue;
            TTiming timing = TimeProcess(p.Args);
            if (timing.Wall < 0) return 1;
            p.Times.push_back(timing.Wall);
            p.UserTimes.push_back(timing.User);
        }
    }
    for (TProgram& p : programs) {
        if (!p.Available) continue;
        p.Median = Median(p.Times);
        p.UserMedian = Median(p.UserTimes);
    }

    PrintTable(programs);
    PrintGoals(programs);
    return 0;
}

}  // namespace

int main(int argc, char**) {
    if (argc != 1) {
        std::fprintf(stderr, "usage: due-compare-bench\n");
        return 2;
    }
    return Run();
}
