#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_context.h"
#include "cli/entry_commands.h"
#include "cli/importexport_commands.h"
#include "cli/reminder_commands.h"
#include "core/app/paths.h"

namespace {

constexpr const char* kUsage =
    "usage: tagwacht-cli [--data-dir DIR] [--program-dir DIR] COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  show ID         one entry, a line \"Key: value\" per field\n"
    "  list [--sort COLUMN [--ctrl]]\n"
    "                  the main list, columns separated by TAB; sorted as a first click on\n"
    "                  column 0..7 sorts it (--ctrl as with the Ctrl key held)\n"
    "  add NAME DATE [--email X] [--remark X] [--event 0|1|2] [--user-event X] [--sex 0|1|2]\n"
    "                  a new entry with the standard reminder settings (DATE dd.mm.yyyy,\n"
    "                  year 9999 when unknown); prints its id\n"
    "  delete ID       removes the entry, its reminder settings, marks and picture\n"
    "  due [--now]     the entries the daily check selects now: id, name, reminder sentence;\n"
    "                  --now as \"Jetzt erinnern\" (once-a-day rule off); marks nothing\n"
    "  remind [--now]  the same, then writes the reminder marks and sends the e-mails the\n"
    "                  entries ask for; one line per entry with the mail's outcome\n"
    "  import FILE [--fields CODES] [--skip-first-line] [--mail none|1|2|3] [--remark CODE]\n"
    "                  by extension: .twf .csv .txt .geb .bkp .twd .vcf; CODES are the CSV field\n"
    "                  codes in column order (default 0,3)\n"
    "  export FILE [--fields CODES] [--separator C] [--no-quotes] [--last-name-first] [--store]\n"
    "                  by extension: .twf .csv .txt .geb .html .htm .pdf (CSV default fields 0,3,4,5)\n"
    "\n"
    "The data folder is --data-dir, else TAGWACHT_DATA_DIR, else savedir.txt in the program\n"
    "folder, else $XDG_DATA_HOME/Tagwacht.\n";

}  // namespace

int main(int argc, char** argv) {
    using namespace tw;
    using namespace tw::cli;
    std::setlocale(LC_ALL, "");
    std::vector<std::string> words(argv + 1, argv + argc);

    std::string data_dir, program_dir;
    size_t i = 0;
    for (; i < words.size(); ++i) {
        if ((words[i] == "--data-dir" || words[i] == "--program-dir") && i + 1 < words.size()) {
            (words[i] == "--data-dir" ? data_dir : program_dir) = words[i + 1];
            ++i;
        } else if (words[i] == "--help" || words[i] == "-h") {
            std::fputs(kUsage, stdout);
            return kExitOk;
        } else {
            break;
        }
    }
    if (i >= words.size()) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    const std::string command = words[i];
    const std::vector<std::string> rest(words.begin() + static_cast<std::ptrdiff_t>(i) + 1, words.end());

    using TRun = int (*)(TCoreSession&, const std::vector<std::string>&);
    const std::pair<const char*, TRun> commands[] = {
        {"show", RunShow}, {"list", RunList}, {"add", RunAdd}, {"delete", RunDelete},
        {"due", RunDue},   {"remind", RunRemind}, {"import", RunImport}, {"export", RunExport}};
    TRun run = nullptr;
    for (const auto& [name, function] : commands)
        if (command == name) run = function;
    if (!run) {
        std::fprintf(stderr, "tagwacht-cli: unknown command \"%s\"\n\n%s", command.c_str(), kUsage);
        return kExitUsage;
    }

    TStderrMessages messages;
    SetMessages(&messages);
    if (program_dir.empty()) program_dir = FindProgramDir(ExecutableDir());
    if (data_dir.empty()) data_dir = ChooseDataDir(program_dir);
    TCoreSession session;
    std::string error;
    if (!session.Open(program_dir, data_dir, &error)) return Fail(error);
    int status = run(session, rest);
    SetMessages(nullptr);
    return status;
}
