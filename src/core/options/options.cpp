#include "core/options/options.h"

#include "core/entries/entry_files.h"
#include "core/ini/typed_reads.h"
#include "core/languages/languages.h"
#include "core/options/password_cipher.h"
#include "core/text/files.h"
#include "core/text/messages.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

constexpr const char* kWindow = "window";
constexpr const char* kListView = "ListView";
constexpr const char* kProgram = "Program";
constexpr const char* kEMail = "EMail";
constexpr const char* kRememberEMail = "RememberEMail";

bool IsBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

std::string LowerExtension(const std::string& path) {
    std::string name = ExtractFileName(path);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? "" : LowerAscii(name.substr(dot));
}

// A key that is read only when present; otherwise the given value stands, without a message.
bool OptionalBool(TIniStore& ini, const char* section, const char* key, bool otherwise) {
    return ini.ValueExists(section, key) ? ReadBoolChecked(ini, section, key) : otherwise;
}

}  // namespace

TWindowLayout DesignLayout() {
    TWindowLayout layout;
    layout.Width = 800;
    layout.Height = 560;
    layout.Left = 160;
    layout.Top = 120;
    layout.Maximized = false;
    layout.ColumnWidths = {0, 170, 80, 110, 160, 110, 170, 200};
    return layout;
}

bool CheckSoundFile(const std::string& path, bool quiet) {
    int reason = 0;
    if (!FileExists(path)) reason = 36;
    else if (GetFileSize(path) > 1024000) reason = 35;
    else if (LowerExtension(path) != ".wav") reason = 34;
    if (reason == 0) return true;
    if (!quiet) Messages().MsgBox(GetText(reason), TMsgButtons::Ok, TMsgIcon::Error);
    return false;
}

void WriteDefaultOptions(TTWOptions& options, TOptionsFiles& files, const TWindowLayout& layout,
                         const TListSortState& sort) {
    if (files.OptionsIni.ValueExists(kProgram, "OptionsSet")) return;
    files.OptionsIni.WriteInteger(kProgram, "OptionsSet", 1);
    options = TTWOptions{};
    options.Maximized = true;
    options.ProgramOptions.Updatecheck = true;
    options.RememberTimes = {rtD0, rtD1, rtD5, rtD7, rtD14, rtD21};
    options.RememberOptions = {roSound, roKeyboard};
    options.MailServer.Port = 25;
    options.ProgramOptions.RememberSound = files.ProgramDir + "/notify.wav";
    SaveOptions(options, files, TSaveMode::Full, layout, sort);
}

void LoadOptions(TTWOptions& options, TOptionsFiles& files, TListSortState& sort, int list_columns,
                 const TWindowLayout& design) {
    TIniStore& ini = files.OptionsIni;
    WriteDefaultOptions(options, files, design, sort);

    options.RememberOptions = ReadRememberOptions(ini, "RO");
    options.RememberTimes = ReadRememberTimes(ini, "RT");

    options.Width = ReadIntegerChecked(ini, kWindow, "width", -1, -1);
    options.Height = ReadIntegerChecked(ini, kWindow, "height", -1, -1);
    options.Top = ReadIntegerChecked(ini, kWindow, "top", -1, -1);
    options.Left = ReadIntegerChecked(ini, kWindow, "left", -1, -1);
    options.Maximized = ReadBoolChecked(ini, kWindow, "maximized");
    // The main window is never smaller than 400 by 150 and never starts off the screen's top left.
    if (options.Width < 400) options.Width = 400;
    if (options.Height < 150) options.Height = 150;
    if (options.Top < 0) options.Top = 0;
    if (options.Left < 0) options.Left = 0;

    TTWEMailServerOptions& server = options.MailServer;
    server.Server = ReadStringChecked(ini, kEMail, "Server", 255);
    server.Port = ReadIntegerChecked(ini, kEMail, "Port", 1, 9999);
    server.AuthenticationRequired = ReadBoolChecked(ini, kEMail, "AuthenticationRequired");
    server.Username = ReadStringChecked(ini, kEMail, "Username", 255);
    server.Password = DecryptText(ReadStringChecked(ini, kEMail, "Password", 255));

    TTWProgramOptions& program = options.ProgramOptions;
    program.AutoTimeSync = OptionalBool(ini, kProgram, "AutoTimeSync", false);
    program.Autostart = ReadBoolChecked(ini, kProgram, "Autostart");
    files.Autostart.Set(program.Autostart);
    program.ThenClose = ReadBoolChecked(ini, kProgram, "ThenClose");
    program.Updatecheck = OptionalBool(ini, kProgram, "Updatecheck", true);
    program.OnceDay = ReadBoolChecked(ini, kProgram, "OnceDay");
    program.AutoCloseRememberWindow = OptionalBool(ini, kProgram, "AutoCloseRememberWindow", false);
    int dbl_list = ReadIntegerChecked(ini, kProgram, "DblList", 0, 2);
    program.DblList = dbl_list >= 0 && dbl_list <= 2 ? dbl_list : 0;
    program.DblEmptyList = ReadIntegerChecked(ini, kProgram, "DblEmptyList", 0, 1) == 1;
    program.RememberSound = ReadStringChecked(ini, kProgram, "RememberSound", 1000);

    if (!CheckSoundFile(program.RememberSound, true)) {
        std::string fallback = files.ProgramDir + "/notify.wav";
        program.RememberSound = CheckSoundFile(fallback, true) ? fallback : "";
    }

    options.ColumnWidths.assign(static_cast<size_t>(std::max(list_columns, 0)), 0);
    for (int i = 1; i <= list_columns - 2; ++i) {
        options.ColumnWidths[static_cast<size_t>(i)] =
            ReadIntegerChecked(ini, kListView, ("Column" + std::to_string(i)).c_str(), -1, -1);
    }

    if (ini.ValueExists(kProgram, "TimeServer")) program.TimeServer = ReadStringChecked(ini, kProgram, "TimeServer", 255);

    sort.SortDir = !ReadBoolChecked(ini, kProgram, "SortDir");
    sort.SortColumn = ReadIntegerChecked(ini, kProgram, "SortColumn", -1, -1);
    if (sort.SortColumn == 0) sort.SortColumn = 1;

    TTWEmailOptions& mail = options.MailDefaults;
    mail.EmailTo = ReadStringChecked(ini, kRememberEMail, "EMAIL_to", 255);
    mail.EmailFrom = ReadStringChecked(ini, kRememberEMail, "EMAIL_from", 255);
    mail.EmailText = ReadStringChecked(ini, kRememberEMail, "EMAIL_text", 10000);
    mail.EmailSubject.clear();
    if (ini.ValueExists(kRememberEMail, "EMAIL_subject"))
        mail.EmailSubject = ReadStringChecked(ini, kRememberEMail, "EMAIL_subject", 255);
    mail.EmailOnly = ReadBoolChecked(ini, kRememberEMail, "EMAIL_only");
    if (IsBlank(mail.EmailSubject)) mail.EmailSubject = GetText(106);

    // Repairs made while loading are on disk once loading ends.
    std::string error;
    if (!ini.UpdateFile(&error)) ShowError(error);
}

void SaveOptions(const TTWOptions& options, TOptionsFiles& files, TSaveMode mode, const TWindowLayout& layout,
                 const TListSortState& sort) {
    TIniStore& ini = files.OptionsIni;
    const TTWProgramOptions& program = options.ProgramOptions;
    if (mode == TSaveMode::TimeSyncOnly) {
        ini.WriteBool(kProgram, "AutoTimeSync", program.AutoTimeSync);
    } else {
        ini.WriteInteger(kWindow, "width", layout.Width);
        ini.WriteInteger(kWindow, "height", layout.Height);
        ini.WriteInteger(kWindow, "top", layout.Top);
        ini.WriteInteger(kWindow, "left", layout.Left);
        ini.WriteBool(kWindow, "maximized", layout.Maximized);
        const int columns = static_cast<int>(layout.ColumnWidths.size());
        if (columns >= 3)
            for (int i = 1; i <= columns - 2; ++i)
                ini.WriteInteger(kListView, "Column" + std::to_string(i), layout.ColumnWidths[static_cast<size_t>(i)]);
        ini.WriteBool(kProgram, "SortDir", sort.SortDir);
        ini.WriteInteger(kProgram, "SortColumn", sort.SortColumn);
    }
    if (mode == TSaveMode::Full) {
        const TTWEMailServerOptions& server = options.MailServer;
        ini.WriteString(kEMail, "Server", server.Server);
        ini.WriteInteger(kEMail, "Port", server.Port);
        ini.WriteBool(kEMail, "AuthenticationRequired", server.AuthenticationRequired);
        ini.WriteString(kEMail, "Username", server.Username);
        ini.WriteString(kEMail, "Password", EncryptText(server.Password));
        ini.WriteBool(kProgram, "AutoCloseRememberWindow", program.AutoCloseRememberWindow);
        ini.WriteBool(kProgram, "AutoTimeSync", program.AutoTimeSync);
        ini.WriteString(kProgram, "TimeServer", program.TimeServer);
        ini.WriteBool(kProgram, "Autostart", program.Autostart);
        files.Autostart.Set(program.Autostart);
        ini.WriteBool(kProgram, "ThenClose", program.ThenClose);
        ini.WriteBool(kProgram, "Updatecheck", program.Updatecheck);
        ini.WriteBool(kProgram, "OnceDay", program.OnceDay);
        ini.WriteInteger(kProgram, "DblList", program.DblList >= 0 && program.DblList <= 2 ? program.DblList : 0);
        ini.WriteInteger(kProgram, "DblEmptyList", program.DblEmptyList ? 1 : 0);
        ini.WriteString(kProgram, "RememberSound", program.RememberSound);
        const TTWEmailOptions& mail = options.MailDefaults;
        ini.WriteString(kRememberEMail, "EMAIL_to", mail.EmailTo);
        ini.WriteString(kRememberEMail, "EMAIL_from", mail.EmailFrom);
        ini.WriteString(kRememberEMail, "EMAIL_text", mail.EmailText);
        ini.WriteString(kRememberEMail, "EMAIL_subject", mail.EmailSubject);
        ini.WriteBool(kRememberEMail, "EMAIL_only", mail.EmailOnly);
        WriteRememberOptions(options.RememberOptions, ini, "RO");
        WriteRememberTimes(options.RememberTimes, ini, "RT");
    }
    std::string error;
    if (!ini.UpdateFile(&error)) ShowError(error);
}

}  // namespace tw
