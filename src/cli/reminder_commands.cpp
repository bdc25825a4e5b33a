#include "cli/reminder_commands.h"

#include <cstdio>
#include <initializer_list>
#include <string_view>

#include "cli/cli_args.h"
#include "cli/cli_context.h"
#include "core/app/paths.h"
#include "core/languages/languages.h"
#include "core/net/indy_engine.h"
#include "core/options/options.h"
#include "core/reminders/due_fast.h"
#include "core/reminders/due_selection.h"
#include "core/reminders/reminder_mail.h"
#include "core/reminders/reminder_text.h"

namespace tw::cli {
namespace {

// Parses "[--now]" and loads the options as the desktop program starts; once_day tells whether
// the once-a-day rule applies (--now selects as "Jetzt erinnern" does, with the rule off).
bool PrepareSelection(TCoreSession& session, const std::vector<std::string>& words, TTWOptions* options,
                      bool* once_day, int* status) {
    TCommandArgs args;
    std::string error;
    if (!ParseCommandArgs(words, {}, {"--now"}, &args, &error) || !args.Positional.empty()) {
        std::fprintf(stderr, "tagwacht-cli: %s\n", error.empty() ? "unexpected argument" : error.c_str());
        *status = kExitUsage;
        return false;
    }
    TAutostart autostart(ExecutableDir() + "/tagwacht");
    TOptionsFiles files{session.IniFiles.OptionsIni, session.ProgramDir, autostart};
    TListSortState sort;
    LoadOptions(*options, files, sort, 8);
    *once_day = !args.Has("--now") && options->ProgramOptions.OnceDay;
    return true;
}

struct TSelection {
    TTWOptions Options;
    TTWEntries Due;
};

// Loads options and entries as the desktop program starts, then selects as its check does.
bool Select(TCoreSession& session, const std::vector<std::string>& words, TSelection* selection,
            int* status) {
    bool once_day = false;
    if (!PrepareSelection(session, words, &selection->Options, &once_day, status)) return false;
    if (!session.Entries.LoadEntries(session.IniFiles)) {
        *status = kExitFailed;
        return false;
    }
    SelectDueEntries(session.Entries, session.IniFiles, selection->Options, once_day, selection->Due);
    return true;
}

// One line of cells separated by TAB (written as C text: a NUL byte ends it).
void PrintRow(std::initializer_list<std::string_view> cells) {
    std::string line;
    for (const std::string_view* cell = cells.begin(); cell != cells.end(); ++cell) {
        if (cell != cells.begin()) line += '\t';
        line += *cell;
    }
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
}

}  // namespace

int RunDue(TCoreSession& session, const std::vector<std::string>& words) {
    TTWOptions options;
    bool once_day = false;
    int status = kExitOk;
    if (!PrepareSelection(session, words, &options, &once_day, &status)) return status;
    // The daily job on a large folder reads only what the selection needs; a folder with
    // something to repair or report is loaded whole, as the desktop program loads it.
    auto print = [](const TDueLine& line) { PrintRow({std::to_string(line.Id), line.Name, line.Sentence}); };
    if (ScanDueEntries(session.IniFiles, options, once_day, print) == TDueScan::NeedsFullRead) {
        if (!session.Entries.LoadEntries(session.IniFiles)) return kExitFailed;
        SelectDueLines(session.Entries, session.IniFiles, options, once_day, print);
    }
    return WriteBack(session);
}

int RunRemind(TCoreSession& session, const std::vector<std::string>& words) {
    TSelection selection;
    int status = kExitOk;
    if (!Select(session, words, &selection, &status)) return status;
    TIndyEngine engine;
    const TTWEMailServerOptions& server = selection.Options.MailServer;
    bool all_sent = true;
    for (size_t i = 0; i < selection.Due.Count(); ++i) {
        const TTWEntry& entry = selection.Due[i];
        // The sentence is worded before the marks change what counts as caught up.
        std::string sentence = ReminderSentence(entry, session.IniFiles.EntriesIni);
        MarkReminded(entry, session.IniFiles);
        std::string outcome;
        if (ReminderMailGoesOut(entry, session.Entries, selection.Options)) {
            std::optional<TReminderMail> mail =
                BuildReminderMail(entry.Id, session.Entries, selection.Options);
            std::string error =
                mail ? engine.SendMail(server.Server, server.Port, server.AuthenticationRequired,
                                       server.Username, server.Password, mail->To, mail->From, mail->Subject,
                                       mail->Body)
                     : kUnknownError;
            outcome = error.empty() ? GetText(154) : GetText(155) + ": " + error;
            all_sent = all_sent && error.empty();
        }
        PrintRow({std::to_string(entry.Id), entry.Name, sentence, outcome});
    }
    status = WriteBack(session);
    return status == kExitOk && !all_sent ? kExitFailed : status;
}

}  // namespace tw::cli
