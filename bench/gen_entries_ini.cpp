// gen-entries-ini N OUTFILE [EOPTIONSFILE] [--checked-until DD.MM.YYYY]: writes an entries.ini of
// N entries (sections 0..N-1) shaped like the files the program writes, for the benchmarks, and
// with a third argument the matching eoptions.ini. The output depends only on the arguments: the
// engine is std::mt19937 with a fixed seed, and the draws use our own arithmetic because the
// standard distributions differ between library implementations. eoptions.ini draws from an
// engine of its own, so entries.ini stays the same whether it is written or not.
//
// The occurrence marks count ages to 2025, so a check long after that finds almost every entry
// caught up. With --checked-until they are those of a user whose daily check ran every day
// before that date, so a check on that day selects only what is due by the reminder days.

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr std::uint32_t kSeed = 42;
constexpr std::uint32_t kOptionsSeed = 4242;
// Ages in REM_ marks are counted to this year, so the file does not change with the clock.
constexpr int kReferenceYear = 2025;
constexpr int kUnknownYear = 9999;

class TRandom {
  public:
    explicit TRandom(std::uint32_t seed) : engine_(seed) {}

    /// Uniform in 0..n-1.
    std::uint32_t Below(std::uint32_t n) {
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(engine_()) * n) >> 32);
    }
    int Between(int low, int high) {
        return low + static_cast<int>(Below(static_cast<std::uint32_t>(high - low + 1)));
    }
    bool Percent(std::uint32_t p) { return Below(100) < p; }

    template <typename T, size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Below(N)];
    }

  private:
    std::mt19937 engine_;
};

constexpr std::string_view kMaleNames[] = {
    "Peter",      "Michael", "Thomas",   "Andreas",   "Stefan",    "Klaus",     "Jürgen",   "Jörg",
    "Uwe",        "Günter",  "Björn",    "Matthias",  "Lukas",     "Jonas",     "Felix",    "Maximilian",
    "Paul",       "Leon",    "Tobias",   "Sebastian", "Christian", "Alexander", "Wolfgang", "Hans-Jürgen",
    "Karl-Heinz", "Dieter",  "Horst",    "Rüdiger",   "Sören",     "Jan",       "Niklas",   "Finn",
    "Elias",      "Mehmet",  "Ahmet",    "Mustafa",   "Piotr",     "Tomasz",    "Luca",     "Marco",
    "Giuseppe",   "José",    "François", "Pierre",    "Søren",     "Lars",      "Mikael",   "Sergej",
    "Dmitri",     "John",    "David",    "Kenji",     "Emre",      "Noah",      "Ben",      "Henrik",
    "Ole",        "Frank",   "Bernd",    "Heinz",     "Günther",   "Detlef",
};

constexpr std::string_view kFemaleNames[] = {
    "Anna",      "Maria",     "Ursula",    "Monika", "Petra",     "Sabine",     "Renate", "Helga",
    "Karin",     "Brigitte",  "Jutta",     "Bärbel", "Jördis",    "Käthe",      "Sophie", "Marie",
    "Emma",      "Mia",       "Hannah",    "Lena",   "Lea",       "Laura",      "Julia",  "Katharina",
    "Christine", "Claudia",   "Susanne",   "Andrea", "Nicole",    "Stefanie",   "Anja",   "Birgit",
    "Gülay",     "Özlem",     "Ayşe",      "Fatma",  "Agnieszka", "Małgorzata", "Zoë",    "Chloé",
    "Inés",      "Françoise", "Giulia",    "Elena",  "Olga",      "Natalia",    "Ingrid", "Åsa",
    "Sarah",     "Emily",     "Yuki",      "Leonie", "Charlotte", "Johanna",    "Frieda", "Grete",
    "Lotte",     "Gisela",    "Hildegard", "Doris",  "Heike",     "Silke",      "Anke",
};

constexpr std::string_view kLastNames[] = {
    "Müller",     "Schmidt",     "Schneider", "Fischer",      "Weber",    "Meyer",        "Wagner",
    "Becker",     "Schulz",      "Hoffmann",  "Schäfer",      "Koch",     "Bauer",        "Richter",
    "Klein",      "Wolf",        "Schröder",  "Neumann",      "Schwarz",  "Zimmermann",   "Braun",
    "Krüger",     "Hofmann",     "Hartmann",  "Lange",        "Schmitt",  "Werner",       "Schmitz",
    "Krause",     "Meier",       "Lehmann",   "Schmid",       "Schulze",  "Maier",        "Köhler",
    "Herrmann",   "König",       "Walter",    "Mayer",        "Huber",    "Kaiser",       "Fuchs",
    "Peters",     "Lang",        "Scholz",    "Möller",       "Weiß",     "Jung",         "Hahn",
    "Schubert",   "Vogel",       "Friedrich", "Keller",       "Günther",  "Frank",        "Berger",
    "Winkler",    "Roth",        "Beck",      "Lorenz",       "Baumann",  "Franke",       "Albrecht",
    "Schuster",   "Simon",       "Ludwig",    "Böhm",         "Winter",   "Kraus",        "Martin",
    "Schumacher", "Krämer",      "Vogt",      "Stein",        "Jäger",    "Otto",         "Sommer",
    "Groß",       "Seidel",      "Heinrich",  "Brandt",       "Haas",     "Schreiber",    "Graf",
    "Schulte",    "Dietrich",    "Ziegler",   "Kuhn",         "Kühn",     "Pohl",         "Engel",
    "Horn",       "Busch",       "Bergmann",  "Voigt",        "Sauer",    "Arnold",       "Pfeiffer",
    "Yılmaz",     "Kaya",        "Demir",     "Öztürk",       "Şahin",    "Nowak",        "Kowalski",
    "Wiśniewski", "Lewandowski", "Rossi",     "Russo",        "Bianchi",  "García",       "Fernández",
    "López",      "Dubois",      "Lefèvre",   "Jensen",       "Nielsen",  "Sørensen",     "Andersson",
    "Ivanov",     "Smith",       "Johnson",   "Tanaka",       "Nguyen",   "Papadopoulos", "Dvořák",
    "Novák",      "Horváth",     "O'Brien",   "van der Berg", "de Vries", "Lüdenscheidt", "Gößmann",
    "Bräuer",     "Düring",
};

constexpr std::string_view kRemarks[] = {
    "Patenkind",
    "Cousine",
    "Schulfreund",
    "Nachbarn von gegenüber",
    "Kollegin aus der Buchhaltung",
    "mag Rotwein",
    "Anruf nicht vergessen!",
    "Karte schicken",
    "Lieblingsblumen: Tulpen",
    "Studienfreund aus Göttingen",
    "Geschenkidee: Buch über Segeln",
    "Tante mütterlicherseits",
    "wohnt jetzt in München",
    "Trainer im Sportverein",
};

constexpr std::string_view kUserEvents[] = {
    "Namenstag", "Todestag", "Firmenjubiläum", "Einschulung", "Taufe", "Kennenlerntag", "Jahrestag",
};

constexpr std::string_view kMailDomains[] = {"example.org", "example.com", "example.net"};

// Spellings of the non-ASCII letters in the name lists for mail addresses.
constexpr std::pair<std::string_view, std::string_view> kAsciiSpellings[] = {
    {"ä", "ae"}, {"ö", "oe"}, {"ü", "ue"}, {"Ä", "ae"}, {"Ö", "oe"}, {"Ü", "ue"}, {"ß", "ss"}, {"é", "e"},
    {"è", "e"},  {"ë", "e"},  {"ç", "c"},  {"ø", "oe"}, {"å", "aa"}, {"Å", "aa"}, {"ł", "l"},  {"ś", "s"},
    {"ş", "s"},  {"Ş", "s"},  {"ı", "i"},  {"á", "a"},  {"í", "i"},  {"ó", "o"},  {"ř", "r"},
};

// Lower-case ASCII for the local part of an address: letters transliterated, anything else
// that cannot appear in an address (space, apostrophe, hyphen) left out.
std::string MailPart(std::string_view name) {
    std::string out;
    size_t i = 0;
    while (i < name.size()) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x80) {
            if (c >= 'A' && c <= 'Z')
                out += static_cast<char>(c + 32);
            else if (c >= 'a' && c <= 'z')
                out += static_cast<char>(c);
            ++i;
            continue;
        }
        bool known = false;
        for (const auto& [letter, ascii] : kAsciiSpellings) {
            if (name.substr(i, letter.size()) == letter) {
                out += ascii;
                i += letter.size();
                known = true;
                break;
            }
        }
        if (!known) ++i;
    }
    return out;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

void AppendTwoDigits(std::string& out, int value) {
    out += static_cast<char>('0' + value / 10);
    out += static_cast<char>('0' + value % 10);
}

// A day as the option --checked-until gives it.
struct TDay {
    int Year = 0;
    int Month = 0;
    int Day = 0;
};

// "dd.mm.yyyy"; nothing when the text is not such a date.
std::optional<TDay> ParseDay(std::string_view text) {
    TDay day;
    auto number = [&](size_t at, size_t length, int* value) {
        auto [end, ec] = std::from_chars(text.data() + at, text.data() + at + length, *value);
        return ec == std::errc() && end == text.data() + at + length;
    };
    if (text.size() != 10 || text[2] != '.' || text[5] != '.' || !number(0, 2, &day.Day) ||
        !number(3, 2, &day.Month) || !number(6, 4, &day.Year) || day.Month < 1 || day.Month > 12 ||
        day.Day < 1 || day.Day > DaysInMonth(day.Year, day.Month))
        return std::nullopt;
    return day;
}

void AppendEntry(std::string& out, TRandom& random, unsigned id, const std::optional<TDay>& checked_until) {
    int event = random.Percent(82) ? 0 : random.Percent(60) ? 1 : 2;
    bool male = random.Percent(50);
    std::string_view first = male ? random.Pick(kMaleNames) : random.Pick(kFemaleNames);
    std::string_view last = random.Pick(kLastNames);

    std::string name(first);
    if (event == 1) {
        // Anniversaries belong to couples.
        name += " und ";
        name += male ? random.Pick(kFemaleNames) : random.Pick(kMaleNames);
    } else if (random.Percent(6)) {
        name += ' ';
        name += male ? random.Pick(kMaleNames) : random.Pick(kFemaleNames);
    }
    name += ' ';
    name += last;
    if (random.Percent(4)) {
        name += '-';
        name += random.Pick(kLastNames);
    }

    bool unknown_year = random.Percent(5);
    int year = unknown_year ? kUnknownYear
               : event == 0 ? random.Between(1930, 2023)
                            : random.Between(1955, 2024);
    int month = random.Between(1, 12);
    int day = random.Between(1, DaysInMonth(year, month));

    int sex = event == 1 || random.Percent(8) ? 0 : male ? 1 : 2;

    std::string mail;
    if (random.Percent(50)) {
        mail = MailPart(first);
        mail += random.Percent(80) ? "." : "";
        mail += MailPart(last);
        if (random.Percent(15)) mail += std::to_string(random.Between(1, 99));
        mail += '@';
        mail += random.Pick(kMailDomains);
    }

    out += '[';
    out += std::to_string(id);
    out += "]\r\nName=";
    out += name;
    out += "\r\nDate=";
    AppendTwoDigits(out, day);
    out += '.';
    AppendTwoDigits(out, month);
    out += '.';
    out += std::to_string(year);
    out += "\r\nSex=";
    out += static_cast<char>('0' + sex);
    out += "\r\nEMail=";
    out += mail;
    out += "\r\nRemark=";
    if (random.Percent(15)) out += random.Pick(kRemarks);
    out += "\r\nUserEvent=";
    if (event == 2) out += random.Pick(kUserEvents);
    out += "\r\nImage=";
    if (random.Percent(3)) {
        out += "/home/user/Bilder/Geburtstage/";
        out += MailPart(first);
        out += '_';
        out += MailPart(last);
        out += ".jpg";
    }
    out += "\r\nEvent=";
    out += static_cast<char>('0' + event);
    // Marks of reminders already given: the age of this year's date, often last year's too.
    int age = unknown_year ? 0 : kReferenceYear - year;
    bool older_mark = !unknown_year && age > 0 && random.Percent(40);
    if (checked_until) {
        // A user whose daily check ran every day before that date: the marks of the last two
        // occurrences before it; an entry without a year has the mark its saving wrote (REM_-1)
        // and the one its reminders write (REM_0). The draw above is kept, so that everything
        // else in the file stays as without the option.
        std::vector<int> marks = {-1, 0};
        if (!unknown_year) {
            // 29 February is remembered on 28 February.
            int last = checked_until->Year - year;
            if (month * 100 + std::min(day, month == 2 ? 28 : 31) >=
                checked_until->Month * 100 + checked_until->Day)
                --last;
            marks = {last - 1, last};
        }
        for (int mark : marks) {
            out += "\r\nREM_";
            out += std::to_string(mark);
            out += "=1";
        }
    } else {
        if (older_mark) {
            out += "\r\nREM_";
            out += std::to_string(age - 1);
            out += "=1";
        }
        out += "\r\nREM_";
        out += std::to_string(age);
        out += "=1";
    }

    // A minority sends reminder mails with their own template.
    bool own_mail = !mail.empty() && random.Percent(12);
    out += "\r\nEMAIL_to=";
    if (own_mail) out += mail;
    out += "\r\nEMAIL_from=";
    if (own_mail) out += "ich@example.org";
    out += "\r\nEMAIL_text=";
    if (own_mail) {
        out += male ? "Lieber " : "Liebe ";
        out += first;
        out += ",\\n\\nalles Gute und viel Glück für das neue Lebensjahr!\\n\\nViele Grüße";
    }
    out += "\r\nEMAIL_subject=";
    if (own_mail) {
        out += "Herzlichen Glückwunsch, ";
        out += first;
        out += '!';
    }
    out += "\r\nEMAIL_only=0\r\n\r\n";
}

// Keys in the order the program writes them ("RT_d10" before "RT_d7").
constexpr std::string_view kTimeKeys[] = {"RT_standard", "RT_d0", "RT_d1",  "RT_d2",  "RT_d5",
                                          "RT_d10",      "RT_d7", "RT_d14", "RT_d21", "RT_d28"};
constexpr std::string_view kOptionKeys[] = {"RO_standard", "RO_sound", "RO_speach", "RO_keyboard",
                                            "RO_email"};

// Bit k of the mask is the value of the k-th key.
template <size_t N>
void AppendFlags(std::string& out, const std::string_view (&keys)[N], unsigned mask) {
    for (size_t k = 0; k < N; ++k) {
        out += keys[k];
        out += (mask >> k) & 1u ? "=1\r\n" : "=0\r\n";
    }
}

// A set of one's own is never empty: the program never writes an empty one.
unsigned OwnSet(TRandom& random, size_t key_count) {
    unsigned mask = 0;
    for (size_t k = 0; k < key_count; ++k)
        if (random.Percent(30)) mask |= 1u << k;
    return mask != 0 ? mask : 1u << random.Below(static_cast<std::uint32_t>(key_count));
}

// Most users keep the standard reminder; a few choose days and ways of their own.
void AppendOptions(std::string& out, TRandom& random, unsigned id) {
    bool standard = random.Percent(85);
    unsigned times = standard ? 1u : OwnSet(random, std::size(kTimeKeys));
    unsigned options = standard ? 1u : OwnSet(random, std::size(kOptionKeys));
    out += '[';
    out += std::to_string(id);
    out += "]\r\n";
    AppendFlags(out, kTimeKeys, times);
    AppendFlags(out, kOptionKeys, options);
    out += "\r\n";
}

bool WriteFile(const char* path, const std::string& text) {
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        std::perror(path);
        return false;
    }
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0 || !written) {
        std::perror(path);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    std::optional<TDay> checked_until;
    bool usage_ok = true;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--checked-until") continue;
        checked_until = i + 1 < args.size() ? ParseDay(args[i + 1]) : std::nullopt;
        usage_ok = checked_until.has_value();
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(std::min(i + 2, args.size())));
        break;
    }
    unsigned count = 0;
    std::string_view count_text = usage_ok && (args.size() == 2 || args.size() == 3) ? args[0] : "";
    auto [end, ec] = std::from_chars(count_text.data(), count_text.data() + count_text.size(), count);
    if (count_text.empty() || ec != std::errc() || end != count_text.data() + count_text.size()) {
        std::fprintf(stderr,
                     "usage: gen-entries-ini N OUTFILE [EOPTIONSFILE] [--checked-until DD.MM.YYYY]\n");
        return 2;
    }
    const std::string entries_path(args[1]);

    TRandom random(kSeed);
    std::string out;
    out.reserve(static_cast<size_t>(count) * 240);
    for (unsigned id = 0; id < count; ++id) AppendEntry(out, random, id, checked_until);
    if (!WriteFile(entries_path.c_str(), out)) return 1;

    if (args.size() == 3) {
        const std::string options_path(args[2]);
        TRandom options_random(kOptionsSeed);
        out.clear();
        for (unsigned id = 0; id < count; ++id) AppendOptions(out, options_random, id);
        if (!WriteFile(options_path.c_str(), out)) return 1;
    }
    return 0;
}
