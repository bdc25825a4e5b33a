#include "cli/entry_commands.h"

#include <cmath>
#include <cstdio>

#include "cli/cli_args.h"
#include "cli/cli_context.h"
#include "core/entries/entry_files.h"
#include "core/entries/entry_texts.h"
#include "core/entries/entry_validation.h"
#include "core/entries/list_view.h"
#include "core/text/clock.h"
#include "core/text/date_text.h"

namespace tw::cli {
namespace {

void PrintLine(const std::string& text) { std::printf("%s\n", text.c_str()); }

int Usage(const std::string& message) {
    std::fprintf(stderr, "tagwacht-cli: %s\n", message.c_str());
    return kExitUsage;
}

bool LoadAll(TCoreSession& session) { return session.Entries.LoadEntries(session.IniFiles); }

const TTWEntry* EntryOfArg(TCoreSession& session, const std::string& word, int* status) {
    std::optional<int> id = ParseInt(word);
    if (!id) {
        *status = Usage("ID must be a whole number: " + word);
        return nullptr;
    }
    const TTWEntry* entry = session.Entries.FindId(*id);
    if (!entry) *status = Fail("no entry with id " + word);
    return entry;
}

// The entry a command of the form "COMMAND ID" names, with the entries loaded; nullptr with the
// exit status filled when the arguments are wrong or there is no such entry.
const TTWEntry* EntryOfCommand(TCoreSession& session, const std::vector<std::string>& words, const char* usage,
                               int* status) {
    TCommandArgs args;
    std::string error;
    if (!ParseCommandArgs(words, {}, {}, &args, &error)) {
        *status = Usage(error);
        return nullptr;
    }
    if (args.Positional.size() != 1) {
        *status = Usage(usage);
        return nullptr;
    }
    if (!LoadAll(session)) {
        *status = kExitFailed;
        return nullptr;
    }
    return EntryOfArg(session, args.Positional[0], status);
}

}  // namespace

int RunShow(TCoreSession& session, const std::vector<std::string>& words) {
    int status = kExitOk;
    const TTWEntry* entry = EntryOfCommand(session, words, "usage: show ID", &status);
    if (!entry) return status;

    TFrozenNow one_moment;
    const TTWEntry& e = *entry;
    const std::pair<const char*, std::string> lines[] = {
        {"Id", std::to_string(e.Id)},
        {"Name", e.Name},
        {"Date", DateToText(e.Date)},
        {"Sex", std::to_string(e.Sex)},
        {"EMail", e.EMail},
        {"Remark", e.Remark},
        {"Event", std::to_string(e.Event)},
        {"EventText", e.EventText()},
        {"UserEvent", e.UserEvent},
        {"Image", e.Image},
        {"Age", std::to_string(e.Age())},
        {"AgeText", e.AgeText()},
        {"AgeInDays", std::to_string(std::llround(e.AgeInDays()))},
        {"NextDate", DateToText(e.NextDate())},
        {"DaysToNext", std::to_string(e.DaysToNext())},
        {"NextText", e.NextText()},
        {"LastDate", DateToText(e.LastDate())},
        {"DaysSinceLast", std::to_string(e.DaysSinceLast())},
        {"SinceLastText", e.SinceLastText()},
        {"ZodiacSign", e.ZodiacSign()},
        {"BirthWeekday", e.BirthWeekdayText()},
        {"NextWeekday", e.NextWeekdayText()},
        {"LastWeekday", e.LastWeekdayText()},
        {"RememberOptions", RememberOptionsText(e)},
        {"RememberTimes", RememberTimesText(e)},
    };
    for (const auto& [key, value] : lines) PrintLine(std::string(key) + ": " + value);
    return WriteBack(session);
}

int RunList(TCoreSession& session, const std::vector<std::string>& words) {
    TCommandArgs args;
    std::string error;
    if (!ParseCommandArgs(words, {"--sort"}, {"--ctrl"}, &args, &error)) return Usage(error);
    if (!args.Positional.empty()) return Usage("usage: list [--sort COLUMN [--ctrl]]");
    std::optional<int> column;
    if (auto text = args.Value("--sort")) {
        column = ParseInt(*text);
        if (!column || *column < 0 || *column >= kListColumns) return Usage("COLUMN must be 0 to 7");
    } else if (args.Has("--ctrl")) {
        return Usage("--ctrl needs --sort");
    }
    if (!LoadAll(session)) return kExitFailed;

    std::vector<TListRow> rows = ListRows(session.Entries);
    if (column) {
        // A first click on the column: the comparison's own order.
        TListSortState state;
        SortRows(rows, *column, args.Has("--ctrl"), session.Entries, state);
    }
    std::string out;
    for (const TListRow& row : rows) {
        for (int c = 0; c < kListColumns; ++c) {
            if (c > 0) out += '\t';
            out += row[static_cast<size_t>(c)];
        }
        out += '\n';
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return WriteBack(session);
}

int RunAdd(TCoreSession& session, const std::vector<std::string>& words) {
    TCommandArgs args;
    std::string error;
    if (!ParseCommandArgs(words, {"--email", "--remark", "--event", "--user-event", "--sex"}, {}, &args, &error))
        return Usage(error);
    if (args.Positional.size() != 2) return Usage("usage: add NAME DATE [--email X] [--remark X] [--event 0|1|2] "
                                                  "[--user-event X] [--sex 0|1|2]");
    TEntryBasics basics;
    basics.Name = args.Positional[0];
    basics.DateText = args.Positional[1];
    // Besides the form's "dd.mm.yyyy" a script may write "1.2.1980".
    if (!EntryBasicsDate(basics))
        if (auto loose = TextToDate(basics.DateText)) basics.DateText = DateToText(*loose);
    basics.EMail = args.Value("--email").value_or("");
    basics.UserEvent = args.Value("--user-event").value_or("");
    std::optional<int> event = ParseInt(args.Value("--event").value_or("0"));
    std::optional<int> sex = ParseInt(args.Value("--sex").value_or("0"));
    if (!event || *event < 0 || *event > 2) return Usage("--event must be 0, 1 or 2");
    if (!sex || *sex < 0 || *sex > 2) return Usage("--sex must be 0, 1 or 2");
    basics.Event = *event;
    if (std::string problem = ValidateEntryBasics(basics); !problem.empty()) {
        Messages().MsgBox(problem, TMsgButtons::Ok, TMsgIcon::Error);
        return kExitFailed;
    }
    if (!LoadAll(session)) return kExitFailed;

    TTWEntry entry;
    entry.Id = static_cast<int>(TTWEntries::NextFreeId(session.IniFiles.EntriesIni));
    entry.Name = basics.Name;
    entry.Date = *EntryBasicsDate(basics);
    entry.EMail = basics.EMail;
    entry.Remark = args.Value("--remark").value_or("");
    entry.Event = basics.Event;
    entry.UserEvent = basics.UserEvent;
    entry.Sex = *sex;
    entry.RememberTimes = {rtStandard};
    entry.RememberOptions = {roStandard};
    WriteEntry(entry, session.IniFiles);
    if (!session.Entries.AddEntry(entry.Id, session.IniFiles)) return kExitFailed;
    if (int status = WriteBack(session); status != kExitOk) return status;
    PrintLine(std::to_string(entry.Id));
    return kExitOk;
}

int RunDelete(TCoreSession& session, const std::vector<std::string>& words) {
    int status = kExitOk;
    const TTWEntry* entry = EntryOfCommand(session, words, "usage: delete ID", &status);
    if (!entry) return status;
    int id = entry->Id;
    DeleteEntryData(*entry, session.IniFiles);
    session.Entries.RemoveEntry(id);
    return WriteBack(session);
}

}  // namespace tw::cli
