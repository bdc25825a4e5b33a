#include "core/reminders/due_fast.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <optional>
#include <string_view>

#include "core/languages/languages.h"
#include "core/reminders/due_selection.h"
#include "core/reminders/reminder_text.h"
#include "core/text/clock.h"
#include "core/text/date_text.h"
#include "core/text/encoding.h"
#include "core/text/text_helpers.h"

// The quick selection reads what loading an entry reads (entry_files.cpp) and decides as
// SelectDueEntries does; whatever loading would repair, report or refuse sends the caller to the
// full reading instead, so the two can only differ where this file misjudges what is clean. The
// comparison tests run both over the same folders.

namespace tw {
namespace {

// The keys of an entry's section that loading reads through the checked reads, in the order
// WriteEntry writes them, with the length above which loading reports the value (0: not a text).
enum TEntryKey {
    kName,
    kDate,
    kSex,
    kEMail,
    kRemark,
    kUserEvent,
    kImage,
    kEvent,
    kEmailTo,
    kEmailFrom,
    kEmailText,
    kEmailSubject,
    kEmailOnly,
    kEntryKeyCount
};
constexpr std::string_view kEntryKeyNames[kEntryKeyCount] = {
    "Name",  "Date",     "Sex",        "EMail",      "Remark",        "UserEvent", "Image",
    "Event", "EMAIL_to", "EMAIL_from", "EMAIL_text", "EMAIL_subject", "EMAIL_only"};
constexpr size_t kEntryMaxLength[kEntryKeyCount] = {255, 0,   0,   255,    255, 255, 255,
                                                    0,   255, 255, 100000, 255, 0};
// Every key but EMAIL_subject, which loading reads only when it is there.
constexpr unsigned kRequiredEntryKeys = ((1u << kEntryKeyCount) - 1) & ~(1u << kEmailSubject);

// eoptions.ini in the order WriteEntry writes it ("RT_d10" before "RT_d7"). The sets keep their
// own bit order: rtStandard, rtD0 … rtD28, then roStandard … roEmail.
constexpr std::string_view kReminderKeyNames[] = {
    "RT_standard", "RT_d0",  "RT_d1",       "RT_d2",    "RT_d5",     "RT_d10",      "RT_d7",   "RT_d14",
    "RT_d21",      "RT_d28", "RO_standard", "RO_sound", "RO_speach", "RO_keyboard", "RO_email"};
constexpr size_t kReminderKeyCount = std::size(kReminderKeyNames);
constexpr int kReminderBit[kReminderKeyCount] = {0, 1, 2, 3, 4, 6, 5, 7, 8, 9, 10, 11, 12, 13, 14};
constexpr unsigned kTimeBits = (1u << 10) - 1;

constexpr char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Keys compare as the store compares them; for keys made of ASCII letters that is A–Z folded.
bool SameKey(std::string_view key, std::string_view name) {
    if (key.size() != name.size()) return false;
    for (size_t i = 0; i < key.size(); ++i)
        if (key[i] != name[i] && FoldAscii(key[i]) != FoldAscii(name[i])) return false;
    return true;
}

bool IsMarkKey(std::string_view key) {
    return key.size() > 4 && FoldAscii(key[0]) == 'r' && FoldAscii(key[1]) == 'e' &&
           FoldAscii(key[2]) == 'm' && key[3] == '_';
}

// The keys of one kind of section. A section the program wrote has them in its write order, so
// each line is first tested against the key expected there, as "Key=" spelled as written, with
// two word comparisons; any other line is looked up by its folded key.
template <size_t N>
class TSectionKeys {
  public:
    explicit TSectionKeys(const std::string_view (&names)[N]) : names_(names) {
        static_assert(N < 32);
        for (size_t k = 0; k < N; ++k) {
            char text[16] = {}, mask[16] = {};
            size_t length = names[k].size() + 1;  // with "="
            std::memcpy(text, names[k].data(), length - 1);
            text[length - 1] = '=';
            std::memset(mask, 0xFF, length);
            std::memcpy(prefix_[k].Word, text, sizeof text);
            std::memcpy(prefix_[k].Mask, mask, sizeof mask);
            prefix_[k].Length = length;
            by_length_[names[k].size()][counts_[names[k].size()]++] = static_cast<std::uint8_t>(k);
        }
    }

    /// The key at k + 1 in write order, or -1 after the last.
    static int Next(int k) { return k + 1 < static_cast<int>(N) ? k + 1 : -1; }

    /// The length of "Key=" when the line at p starts with key k's, exactly as written; else 0.
    size_t StartsLine(const char* p, const char* end, int k) const {
        if (end - p < 16) return 0;  // near the end of the file text the generic look-up does it
        const TPrefix& prefix = prefix_[k];
        std::uint64_t word[2];
        std::memcpy(word, p, sizeof word);
        return ((word[0] & prefix.Mask[0]) == prefix.Word[0] && (word[1] & prefix.Mask[1]) == prefix.Word[1])
                   ? prefix.Length
                   : 0;
    }

    /// The index of the key, compared as the store compares keys, or -1.
    int Find(std::string_view key) const {
        if (key.size() >= kMaxLength) return -1;
        for (size_t i = 0; i < counts_[key.size()]; ++i)
            if (SameKey(key, names_[by_length_[key.size()][i]])) return by_length_[key.size()][i];
        return -1;
    }

  private:
    static constexpr size_t kMaxLength = 15;  // "Key=" fits the two words
    struct TPrefix {
        std::uint64_t Word[2];
        std::uint64_t Mask[2];
        size_t Length;
    };
    const std::string_view (&names_)[N];
    TPrefix prefix_[N] = {};
    std::uint8_t by_length_[kMaxLength][N] = {};
    std::uint8_t counts_[kMaxLength] = {};
};

const TSectionKeys kEntrySectionKeys(kEntryKeyNames);
const TSectionKeys kReminderSectionKeys(kReminderKeyNames);

// Calls visit(k, value) for each line of a section text whose key is key k of the list, and
// adds the text after "REM_" of each occurrence mark to marks when given. Lines are read as the
// store reads them: LF or CR LF ends, lines without "=" and empty lines skipped.
template <size_t N, typename Visit>
void ScanLines(std::string_view text, const TSectionKeys<N>& keys, std::vector<std::string_view>* marks,
               Visit visit) {
    const char* p = text.data();
    const char* const end = p + text.size();
    int expected = 0;
    while (p < end) {
        if (*p == '\n') {
            ++p;
            continue;
        }
        if (*p == '\r' && end - p >= 2 && p[1] == '\n') {
            p += 2;
            continue;
        }
        int k = -1;
        const char* value = nullptr;
        if (size_t length = expected >= 0 ? keys.StartsLine(p, end, expected) : 0) {
            k = expected;
            value = p + length;
        } else {
            // Keys are short: a plain loop finds the "=" (or the line end) before any value.
            const char* q = p;
            while (q < end && *q != '=' && *q != '\n') ++q;
            if (q == end || *q == '\n') {
                p = q + 1;
                continue;
            }
            std::string_view key(p, static_cast<size_t>(q - p));
            value = q + 1;
            if (marks && IsMarkKey(key))
                marks->push_back(key.substr(4));
            else
                k = keys.Find(key);
        }
        const char* value_end;
        // Most values of eoptions.ini are one digit.
        if (end - value >= 3 && value[0] != '\n' && value[1] == '\r' && value[2] == '\n') {
            value_end = value + 1;
            p = value + 3;
        } else {
            const char* line_end =
                static_cast<const char*>(std::memchr(value, '\n', static_cast<size_t>(end - value)));
            p = line_end ? line_end + 1 : end;
            value_end = line_end ? line_end : end;
            if (value_end > value && value_end[-1] == '\r') --value_end;
        }
        if (k >= 0) {
            visit(k, std::string_view(value, static_cast<size_t>(value_end - value)));
            expected = keys.Next(k);
        }
    }
}

// The id of a section name as loading accepts it: a non-negative decimal int written without
// sign or leading zero.
std::optional<int> EntryId(std::string_view name) {
    if (name.empty() || name.size() > 10 || (name.size() > 1 && name[0] == '0')) return std::nullopt;
    long long id = 0;
    for (char c : name) {
        if (c < '0' || c > '9') return std::nullopt;
        id = id * 10 + (c - '0');
    }
    if (id > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(id);
}

// A value that the checked text read takes as it is (no shortening, no report).
bool FitsLength(std::string_view value, size_t max_length) {
    return max_length == 0 || value.size() <= max_length || Utf8Length(value) <= max_length;
}

// A code that the checked integer read and the range check of loading take as they are.
std::optional<int> CleanCode(std::string_view value) {
    if (value.size() != 1 || value[0] < '0' || value[0] > '2') return std::nullopt;
    return value[0] - '0';
}

bool TimesContainDays(TRememberTimes times, int days) {
    for (size_t k = 0; k < std::size(kRememberDays); ++k)
        if (kRememberDays[k] == days) return times.Has(static_cast<TRememberTime>(k + 1));
    return false;
}

// What the selection needs of one entry, read from its two sections.
struct TScannedEntry {
    std::string_view Name;
    TDateTime Date = 0;
    TCivilDate Civil;
    int Event = 0;
    std::vector<std::string_view> Marks;  // the texts after "REM_" of the occurrence marks
};

// The date of a "Date" value as ReadDateChecked reads it (TextToDate), with its year, month
// and day; the usual "dd.mm.yyyy" without the general parser.
std::optional<TDateTime> ReadDate(std::string_view text, TCivilDate& civil) {
    auto digit = [&](size_t i) { return text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1000000; };
    if (text.size() == 10 && text[2] == '.' && text[5] == '.') {
        int day = digit(0) * 10 + digit(1), month = digit(3) * 10 + digit(4);
        int year = digit(6) * 1000 + digit(7) * 100 + digit(8) * 10 + digit(9);
        if (day >= 0 && month >= 0 && year >= 0) {
            // A year 0 is an unknown year, as TextToDate reads it.
            civil = {year == 0 ? 9999 : year, month, day};
            return EncodeDate(civil.Year, month, day);
        }
    }
    std::optional<TDateTime> date = TextToDate(text);
    if (date) civil = DecodeDate(*date);
    return date;
}

// Reads the entries.ini section; false when loading would not take it as it is.
bool ScanEntrySection(std::string_view text, TScannedEntry& entry) {
    std::string_view values[kEntryKeyCount];
    unsigned seen = 0;
    entry.Marks.clear();
    ScanLines(text, kEntrySectionKeys, &entry.Marks, [&](int k, std::string_view value) {
        // The first of two equal keys is the one read.
        if (seen & (1u << k)) return;
        values[k] = value;
        seen |= 1u << k;
    });
    if ((seen & kRequiredEntryKeys) != kRequiredEntryKeys) return false;
    for (int k = 0; k < kEntryKeyCount; ++k)
        if (!FitsLength(values[k], kEntryMaxLength[k])) return false;
    std::optional<TDateTime> date = ReadDate(values[kDate], entry.Civil);
    std::optional<int> event = CleanCode(values[kEvent]);
    if (!date || !event || !CleanCode(values[kSex])) return false;
    // What IsValid asks of the entry's own section.
    size_t name_length = Utf8Length(values[kName]);
    if (name_length < 2 || name_length > 255 || entry.Civil.Year < 1 || entry.Civil.Year > 9999) return false;
    if (!values[kEMail].empty() && !IsValidEMail(values[kEMail])) return false;
    entry.Name = values[kName];
    entry.Date = *date;
    entry.Event = *event;
    return true;
}

// A section of eoptions.ini exactly as WriteEntry writes it, from the line end after its header
// to the blank line after it, with '?' for the values: most sections are, and those are read by
// comparing a word at a time.
class TReminderTemplate {
  public:
    TReminderTemplate() {
        text_ = "\r\n";
        for (size_t k = 0; k < kReminderKeyCount; ++k) {
            text_.append(kReminderKeyNames[k]).append("=");
            value_at_[k] = text_.size();
            text_.append("?\r\n");
        }
        text_.append("\r\n");
        mask_.assign(text_.size(), '\xFF');
        for (size_t at : value_at_) mask_[at] = '\0';
    }

    /// The set bits (reminder bits as in ScanReminderSection) when the text is the template with
    /// "0" or "1" for each value; nothing otherwise.
    std::optional<unsigned> Match(std::string_view text) const {
        if (text.size() != text_.size()) return std::nullopt;
        size_t i = 0;
        for (; i + 8 <= text.size(); i += 8) {
            std::uint64_t word, want, mask;
            std::memcpy(&word, text.data() + i, 8);
            std::memcpy(&want, text_.data() + i, 8);
            std::memcpy(&mask, mask_.data() + i, 8);
            if ((word ^ want) & mask) return std::nullopt;
        }
        for (; i < text.size(); ++i)
            if (mask_[i] && text[i] != text_[i]) return std::nullopt;
        unsigned set = 0;
        for (size_t k = 0; k < kReminderKeyCount; ++k) {
            char value = text[value_at_[k]];
            if (value == '1')
                set |= 1u << kReminderBit[k];
            else if (value != '0')
                return std::nullopt;
        }
        return set;
    }

  private:
    std::string text_;
    std::string mask_;
    size_t value_at_[kReminderKeyCount] = {};
};

const TReminderTemplate kReminderTemplate;

// The reminder times of an eoptions.ini section; nothing when loading would repair or report a
// key, or rewrite an empty set.
std::optional<TRememberTimes> ScanReminderSection(std::string_view text) {
    constexpr unsigned kAll = (1u << kReminderKeyCount) - 1;
    unsigned seen = 0, set = 0;
    bool clean = true;
    if (std::optional<unsigned> written = kReminderTemplate.Match(text)) {
        seen = kAll;
        set = *written;
    } else {
        ScanLines(text, kReminderSectionKeys, nullptr, [&](int k, std::string_view value) {
            const unsigned bit = 1u << kReminderBit[k];
            if (seen & bit) return;
            seen |= bit;
            // Other numbers read as they are too, but "0" and "1" are all the program writes.
            if (value.size() != 1 || (value[0] != '0' && value[0] != '1'))
                clean = false;
            else if (value[0] == '1')
                set |= bit;
        });
    }
    if (!clean || seen != kAll || (set & kTimeBits) == 0 || (set >> 10) == 0) return std::nullopt;
    TRememberTimes times;
    times.Value = static_cast<std::uint16_t>(set & kTimeBits);
    return times;
}

// The reminder times of every section of eoptions.ini in file order, read before the entries so
// that an entry finds its own at the same place in the usual case, without a look-up by name.
struct TReminderRecord {
    int Id = -1;  // -1 for a name that is no entry's
    bool Clean = false;
    TRememberTimes Times;
};

std::vector<TReminderRecord> ScanReminderSections(const TIniStore& store) {
    std::vector<TReminderRecord> records;
    records.reserve(store.SectionCount());
    store.ForEachSectionText([&](std::string_view name, std::optional<std::string_view> text) {
        TReminderRecord record;
        if (std::optional<int> id = EntryId(name)) record.Id = *id;
        std::optional<TRememberTimes> times = text ? ScanReminderSection(*text) : std::nullopt;
        record.Clean = times.has_value();
        if (times) record.Times = *times;
        records.push_back(record);
        return true;
    });
    return records;
}

bool HasMark(const TScannedEntry& entry, int occurrence) {
    char digits[16];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, occurrence);
    std::string_view wanted(digits, static_cast<size_t>(end - digits));
    for (std::string_view mark : entry.Marks)
        if (mark == wanted) return true;
    return false;
}

// The next and the last occurrence of an entry depend on its day and month only, so the day
// counts and their texts are worked out once per day and month, by the entry's own arithmetic.
class TDayMonthTexts {
  public:
    int DaysToNext(const TTWEntry& entry, const TCivilDate& date) {
        Slot& slot = At(date);
        if (slot.DaysToNext < 0) slot.DaysToNext = entry.DaysToNext();
        return slot.DaysToNext;
    }
    const std::string& NextText(const TTWEntry& entry, const TCivilDate& date) {
        Slot& slot = At(date);
        if (!slot.HasNextText) slot.NextText = entry.NextText(), slot.HasNextText = true;
        return slot.NextText;
    }
    const std::string& SinceLastText(const TTWEntry& entry, const TCivilDate& date) {
        Slot& slot = At(date);
        if (!slot.HasSinceLastText) slot.SinceLastText = entry.SinceLastText(), slot.HasSinceLastText = true;
        return slot.SinceLastText;
    }

  private:
    struct Slot {
        int DaysToNext = -1;
        bool HasNextText = false;
        bool HasSinceLastText = false;
        std::string NextText;
        std::string SinceLastText;
    };
    Slot& At(const TCivilDate& date) { return slots_[(date.Month - 1) * 31 + (date.Day - 1)]; }
    std::array<Slot, 12 * 31> slots_;
};

// An entry the scan selected, kept small: a large folder on the first check after a long pause
// has most of its entries caught up.
struct TSelected {
    std::string_view Name;  // in the store's text
    TDateTime Date;
    int Id;
    std::int8_t Event;
    bool CaughtUp;
};

// The reminder sentence as ReminderSentence words it, from what the scan already knows: the
// four patterns are looked up once, the day texts once per day and month.
class TSentences {
  public:
    void Word(const TSelected& selected, TDueLine& line) {
        entry_.Date = selected.Date;
        entry_.Event = selected.Event;
        const TCivilDate date = DecodeDate(selected.Date);
        const bool birthday = selected.Event == 0;
        const std::string& when =
            selected.CaughtUp ? texts_.SinceLastText(entry_, date) : texts_.NextText(entry_, date);
        line.Id = selected.Id;
        line.Name.assign(selected.Name);
        line.Sentence = Format(Pattern(selected.CaughtUp ? (birthday ? 144 : 145) : (birthday ? 147 : 148)),
                               {line.Name + " ", when});
    }

    TDayMonthTexts& Texts() { return texts_; }

  private:
    const std::string& Pattern(int text) {
        std::optional<std::string>& pattern = patterns_[text - 144];
        if (!pattern) pattern = GetText(text);
        return *pattern;
    }
    std::optional<std::string> patterns_[5];
    TDayMonthTexts texts_;
    TTWEntry entry_;
};

}  // namespace

TDueScan ScanDueEntries(const TTWIniFiles& files, const TTWOptions& options, bool once_day,
                        const TDueSink& emit) {
    // Loading writes such a store back and reports when that fails; the full reading does both.
    if (files.EntriesIni.Modified() || files.EOptionsIni.Modified()) return TDueScan::NeedsFullRead;
    TFrozenNow one_moment;
    const TCivilDate today = DecodeDate(Today());
    TScannedEntry scanned;
    TSentences sentences;
    // Reserved, not touched: only the pages of the entries selected are ever written.
    std::vector<TSelected> selected;
    selected.reserve(files.EntriesIni.SectionCount());
    const std::vector<TReminderRecord> reminders = ScanReminderSections(files.EOptionsIni);
    size_t next_reminders = 0;
    // One entry object carries what the date arithmetic reads of each entry.
    TTWEntry entry;
    bool clean = true;
    files.EntriesIni.ForEachSectionText([&](std::string_view name, std::optional<std::string_view> text) {
        std::optional<int> id = EntryId(name);
        if (!id || !text || !ScanEntrySection(*text, scanned)) {
            clean = false;
            return false;
        }
        std::optional<TRememberTimes> own_times;
        if (next_reminders < reminders.size() && reminders[next_reminders].Id == *id) {
            const TReminderRecord& record = reminders[next_reminders++];
            if (record.Clean) own_times = record.Times;
        } else if (std::optional<std::string_view> section = files.EOptionsIni.SectionText(name)) {
            own_times = ScanReminderSection(*section);
        }
        if (!own_times) {
            clean = false;
            return false;
        }
        entry.Id = *id;
        entry.Date = scanned.Date;
        TRememberTimes times = own_times->Has(rtStandard) ? options.RememberTimes : *own_times;
        bool is_due = TimesContainDays(times, sentences.Texts().DaysToNext(entry, scanned.Civil));
        // The mark of the most recent occurrence; on the day itself that of the one before.
        const bool the_day = scanned.Civil.Day == today.Day && scanned.Civil.Month == today.Month;
        const bool marked = HasMark(scanned, entry.Age() - (the_day ? 1 : 0));
        if (!marked) is_due = true;
        if (is_due && once_day && RemindedToday(entry, files.RemIni)) is_due = false;
        if (is_due)
            selected.push_back({scanned.Name, scanned.Date, *id, static_cast<std::int8_t>(scanned.Event),
                                !marked && !the_day});
        return true;
    });
    if (!clean) return TDueScan::NeedsFullRead;
    TDueLine line;
    for (const TSelected& one : selected) {
        sentences.Word(one, line);
        emit(line);
    }
    return TDueScan::Done;
}

void SelectDueLines(TTWEntries& entries, TTWIniFiles& files, const TTWOptions& options, bool once_day,
                    const TDueSink& emit) {
    TFrozenNow one_moment;
    TTWEntries due;
    SelectDueEntries(entries, files, options, once_day, due);
    for (size_t i = 0; i < due.Count(); ++i) {
        const TTWEntry& entry = due[i];
        emit({entry.Id, entry.Name, ReminderSentence(entry, files.EntriesIni)});
    }
}

}  // namespace tw
