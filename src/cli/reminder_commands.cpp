#include "cli/reminder_commands.h"

#include <cstdio>

#include "cli/cli_args.h"
#include "cli/cli_context.h"
#include "core/app/paths.h"
#include "core/languages/languages.h"
#include "core/net/indy_engine.h"
#include "core/options/options.h"
#include "core/reminders/due_selection.h"
#include "core/reminders/reminder_mail.h"
#include "core/reminders/reminder_text.h"

namespace tw::cli {
namespace {

struct TSelection {
    TTWOptions Options;
    TTWEntries Due;
};

// Loads options and entries as the desktop program starts, then selects as its check does;
// --now as "Jetzt erinnern" does, with the once-a-day rule off.
bool Select(TCoreSession& session, const std::vector<std::string>& words, TSelection* selection, int* status) {
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
    LoadOptions(selection->Options, files, sort, 8);
    if (!session.Entries.LoadEntries(session.IniFiles)) {
        *status = kExitFailed;
        return false;
    }
    bool once_day = !args.Has("--now") && selection->Options.ProgramOptions.OnceDay;
    SelectDueEntries(session.Entries, session.IniFiles, selection->Options, once_day, selection->Due);
    return true;
}

void PrintRow(const std::vector<std::string>& cells) {
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) line += (i ? "\t" : "") + cells[i];
    std::printf("%s\n", line.c_str());
}

}  // namespace

int RunDue(TCoreSession& session, const std::vector<std::string>& words) {
    TSelection selection;
    int status = kExitOk;
    if (!Select(session, words, &selection, &status)) return status;
    for (size_t i = 0; i < selection.Due.Count(); ++i) {
        const TTWEntry& entry = selection.Due[i];
        PrintRow({std::to_string(entry.Id), entry.Name, ReminderSentence(entry, session.IniFiles.EntriesIni)});
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
            std::optional<TReminderMail> mail = BuildReminderMail(entry.Id, session.Entries, selection.Options);
            std::string error = mail ? engine.SendMail(server.Server, server.Port, server.AuthenticationRequired,
                                                       server.Username, server.Password, mail->To, mail->From,
                                                       mail->Subject, mail->Body)
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
