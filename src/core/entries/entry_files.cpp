#include "core/entries/entry_files.h"

#include <unistd.h>

#include "core/ini/typed_reads.h"
#include "core/languages/languages.h"
#include "core/text/date_text.h"
#include "core/text/encoding.h"
#include "core/text/files.h"
#include "core/text/messages.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

constexpr const char* kTimeKeys[] = {"RT_standard", "RT_d0", "RT_d1",  "RT_d2",  "RT_d5",
                                     "RT_d7",       "RT_d10", "RT_d14", "RT_d21", "RT_d28"};
constexpr const char* kOptionKeys[] = {"RO_standard", "RO_sound", "RO_speach", "RO_keyboard", "RO_email"};

std::string Quoted(const std::string& section) { return " \"" + section + "\""; }

bool IsBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

TReadEntryResult ReadEntryFrom(TTWEntry& entry, int id, TIniStore& e, TIniStore& r, TTWIniFiles* own) {
    entry = TTWEntry{};
    entry.Id = id;
    const std::string s = std::to_string(id);

    entry.Name = ReadStringChecked(e, s, "Name", 255);
    entry.Date = ReadDateChecked(e, s, "Date");
    entry.EMail = ReadStringChecked(e, s, "EMail", 255);
    entry.Remark = ReadStringChecked(e, s, "Remark", 255);
    entry.UserEvent = ReadStringChecked(e, s, "UserEvent", 255);
    if (e.FindValue(s, "Image")) entry.Image = ReadStringChecked(e, s, "Image", 255);
    else e.WriteString(s, "Image", "");
    if (own && !entry.Image.empty() && !FileExists(entry.Image)) entry.Image.clear();

    entry.Event = ReadIntegerChecked(e, s, "Event", -1, -1);
    if (entry.Event < 0 || entry.Event > 2) {
        entry.Event = 0;
        e.WriteInteger(s, "Event", 0);
        ShowError(GetText(79) + Quoted(s) + " - " + GetText(80));
    }
    entry.Sex = ReadIntegerChecked(e, s, "Sex", -1, -1);
    if (entry.Sex < 0 || entry.Sex > 2) {
        entry.Sex = 0;
        e.WriteInteger(s, "Sex", 0);
    }
    entry.EmailTo = ReadStringChecked(e, s, "EMAIL_to", 255);
    entry.EmailFrom = ReadStringChecked(e, s, "EMAIL_from", 255);
    entry.EmailText = ReadStringChecked(e, s, "EMAIL_text", 100000);
    if (e.ValueExists(s, "EMAIL_subject")) entry.EmailSubject = ReadStringChecked(e, s, "EMAIL_subject", 255);
    if (IsBlank(entry.EmailSubject)) entry.EmailSubject = GetText(106);
    entry.EmailOnly = ReadBoolChecked(e, s, "EMAIL_only");
    entry.NetSendServer = e.ReadString(s, "NetSendServer", "");
    entry.NetSendRecp = e.ReadString(s, "NetSendRecp", "");

    entry.RememberOptions = ReadRememberOptions(r, s);
    entry.RememberTimes = ReadRememberTimes(r, s);

    if (IsValid(entry)) return TReadEntryResult::Valid;
    ShowError(GetText(79) + Quoted(s) + "\n\r" + GetText(81));
    if (own) {
        // The entry leaves the program's files for entries.invalid.ini, so the next start loads
        // every other entry and nothing of it is lost; then the program stops.
        std::string error;
        if (!QuarantineEntry(id, *own, &error)) ShowError(error);
        Messages().FatalStop();
    }
    return TReadEntryResult::Invalid;
}

}  // namespace

namespace {

// Reads a reminder set key by key; an empty set becomes the standard element alone, also in the
// file.
template <typename Set, typename Element, size_t N>
Set ReadSet(TIniStore& store, std::string_view section, const char* const (&keys)[N]) {
    Set set;
    for (size_t k = 0; k < N; ++k)
        if (ReadBoolChecked(store, section, keys[k])) set.Include(static_cast<Element>(k));
    if (set.Empty()) {
        for (size_t k = 0; k < N; ++k) store.WriteBool(section, keys[k], k == 0);
        set.Include(static_cast<Element>(0));
    }
    return set;
}

}  // namespace

TRememberOptions ReadRememberOptions(TIniStore& store, std::string_view section) {
    return ReadSet<TRememberOptions, TRememberOption>(store, section, kOptionKeys);
}

TRememberTimes ReadRememberTimes(TIniStore& store, std::string_view section) {
    return ReadSet<TRememberTimes, TRememberTime>(store, section, kTimeKeys);
}

void WriteRememberOptions(TRememberOptions options, TIniStore& store, std::string_view section) {
    for (size_t k = 0; k < std::size(kOptionKeys); ++k)
        store.WriteBool(section, kOptionKeys[k], options.Has(static_cast<TRememberOption>(k)));
}

void WriteRememberTimes(TRememberTimes times, TIniStore& store, std::string_view section) {
    // "RT_d10" is written before "RT_d7"; files created by the program have their keys in this order.
    static constexpr TRememberTime kWriteOrder[] = {rtStandard, rtD0,  rtD1,  rtD2,  rtD5,
                                                    rtD10,      rtD7,  rtD14, rtD21, rtD28};
    for (TRememberTime t : kWriteOrder) store.WriteBool(section, kTimeKeys[t], times.Has(t));
}

TReadEntryResult ReadEntry(TTWEntry& entry, int id, TTWIniFiles& files) {
    return ReadEntryFrom(entry, id, files.EntriesIni, files.EOptionsIni, &files);
}

TReadEntryResult ReadEntry(TTWEntry& entry, int id, TIniStore& entries, TIniStore& reminders) {
    return ReadEntryFrom(entry, id, entries, reminders, nullptr);
}

bool IsValid(const TTWEntry& entry) {
    size_t name_length = Utf8Length(entry.Name);
    TCivilDate date = DecodeDate(entry.Date);
    return name_length >= 2 && name_length <= 255 && (entry.EMail.empty() || IsValidEMail(entry.EMail)) &&
           !entry.RememberTimes.Empty() && !entry.RememberOptions.Empty() && date.Year >= 1 && date.Year <= 9999;
}

void WriteEntry(const TTWEntry& entry, TTWIniFiles& files) {
    TIniStore& e = files.EntriesIni;
    const std::string s = std::to_string(entry.Id);
    e.WriteString(s, "Name", entry.Name);
    e.WriteDate(s, "Date", entry.Date);
    e.WriteInteger(s, "Sex", entry.Sex >= 0 && entry.Sex <= 2 ? entry.Sex : 0);
    e.WriteString(s, "EMail", entry.EMail);
    e.WriteString(s, "Remark", entry.Remark);
    e.WriteString(s, "UserEvent", entry.UserEvent);
    e.WriteString(s, "Image", FileExists(entry.Image) ? entry.Image : "");
    e.WriteInteger(s, "Event", entry.Event >= 0 && entry.Event <= 2 ? entry.Event : 0);
    e.WriteBool(s, "REM_" + std::to_string(entry.Age()), true);
    e.WriteString(s, "EMAIL_to", entry.EmailTo);
    e.WriteString(s, "EMAIL_from", entry.EmailFrom);
    e.WriteString(s, "EMAIL_text", entry.EmailText);
    e.WriteString(s, "EMAIL_subject", entry.EmailSubject);
    e.WriteBool(s, "EMAIL_only", entry.EmailOnly);
    WriteRememberTimes(entry.RememberTimes, files.EOptionsIni, s);
    WriteRememberOptions(entry.RememberOptions, files.EOptionsIni, s);
}

void DeleteEntryData(const TTWEntry& entry, TTWIniFiles& files) {
    const std::string s = std::to_string(entry.Id);
    files.EntriesIni.EraseSection(s);
    files.EOptionsIni.EraseSection(s);
    files.RemIni.EraseSection(s);
    if (FileExists(entry.Image) && unlink(entry.Image.c_str()) != 0) ShowError(Format(GetText(52), {s}));
}

bool QuarantineEntry(int id, TTWIniFiles& files, std::string* error) {
    const std::string s = std::to_string(id);
    TIniStore invalid;
    std::string folder = ExtractFileDir(files.EntriesIni.FileName());
    if (!invalid.Open((folder.empty() ? "." : folder) + "/" + kInvalidEntriesFile, error)) return false;
    TIniStore* stores[] = {&files.EntriesIni, &files.EOptionsIni, &files.RemIni};
    for (TIniStore* store : stores) {
        if (!store->SectionExists(s)) continue;
        // One section per file and entry; an entry moved out twice gets a numbered name.
        std::string name = ExtractFileName(store->FileName()) + ":" + s;
        for (int n = 2; invalid.SectionExists(name); ++n) name = ExtractFileName(store->FileName()) + ":" + s + "#" + std::to_string(n);
        for (const std::string& line : store->ReadSectionLines(s)) invalid.AppendLine(name, line);
    }
    if (!invalid.UpdateFile(error)) return false;
    bool ok = true;
    for (TIniStore* store : stores) {
        store->EraseSection(s);
        std::string one;
        if (!store->UpdateFile(&one)) {
            ok = false;
            if (error) *error = one;
        }
    }
    return ok;
}

}  // namespace tw
