#include "core/options/options.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "core/ini/ini_files.h"
#include "core/options/password_cipher.h"
#include "core/test_support.h"
#include "core/text/encoding.h"
#include "core/text/files.h"

namespace tw {
namespace {

using test::ReadFile;
using test::WriteFile;

// Options on a temporary data folder, with a program folder that holds a usable notify.wav and an
// autostart folder of its own.
class Options : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(program_.File("notify.wav"), "RIFF....WAVE");
        setenv("XDG_CONFIG_HOME", config_.Path().c_str(), 1);
        ASSERT_TRUE(files_.Open(data_.Path(), nullptr));
    }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }

    void Load() {
        TOptionsFiles files{files_.OptionsIni, program_.Path(), autostart_};
        LoadOptions(options_, files, sort_, 8);
    }
    void Save(TSaveMode mode) {
        TOptionsFiles files{files_.OptionsIni, program_.Path(), autostart_};
        SaveOptions(options_, files, mode, DesignLayout(), sort_);
    }
    // Starts over from the file on disk, as a new start of the program does.
    void Reopen() {
        ASSERT_TRUE(files_.OptionsIni.Open(data_.File("options.ini")));
        options_ = TTWOptions{};
    }
    std::string Ini() { return ReadFile(data_.File("options.ini")); }

    test::TTestLanguage language_{{{37, "%s/%s/%s"}, {106, "Erinnerung"}}};
    test::TRecordingMessages messages_;
    test::TTempDir data_, program_, config_;
    TTWIniFiles files_;
    TAutostart autostart_{"/opt/tagwacht/bin/tagwacht"};
    TTWOptions options_;
    TListSortState sort_{0, false};  // as the application object starts
};

TEST_F(Options, FirstStartWritesTheDefaults) {
    Load();
    for (const char* line : {"OptionsSet=1", "Port=25", "Updatecheck=1", "maximized=0", "RT_standard=0", "RT_d0=1",
                             "RT_d1=1", "RT_d2=0", "RT_d5=1", "RT_d10=0", "RT_d7=1", "RT_d14=1", "RT_d21=1",
                             "RT_d28=0", "RO_standard=0", "RO_sound=1", "RO_speach=0", "RO_keyboard=1",
                             "RO_email=0"})
        EXPECT_NE(Ini().find(std::string(line) + "\r\n"), std::string::npos) << line;
    EXPECT_NE(Ini().find("RememberSound=" + program_.File("notify.wav") + "\r\n"), std::string::npos);
    EXPECT_TRUE(messages_.Boxes.empty()) << messages_.Boxes.front();
    EXPECT_EQ(options_.RememberTimes.Value, 438);
    EXPECT_EQ(options_.RememberOptions.Value, 10);
    EXPECT_FALSE(options_.Maximized) << "the first save took the window as designed";
    EXPECT_EQ(options_.MailDefaults.EmailSubject, "Erinnerung");
    EXPECT_EQ(options_.ColumnWidths, DesignLayout().ColumnWidths.size() == 8
                                         ? (std::vector<int>{0, 170, 80, 110, 160, 110, 170, 0})
                                         : std::vector<int>{});
    struct stat st {};
    ASSERT_EQ(stat(data_.File("options.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "the file holds the mail password";
}

TEST_F(Options, LoadingCorrectsAndFallsBack) {
    Load();
    TIniStore& ini = files_.OptionsIni;
    ini.WriteInteger("window", "width", 300);
    ini.WriteInteger("window", "height", 100);
    ini.WriteInteger("window", "top", -20);
    ini.WriteInteger("Program", "DblList", -3);
    ini.WriteInteger("Program", "SortColumn", 0);
    ini.WriteBool("Program", "SortDir", true);
    for (const char* key : {"Updatecheck", "AutoTimeSync", "AutoCloseRememberWindow", "TimeServer"})
        ini.DeleteKey("Program", key);
    ini.WriteString("RememberEMail", "EMAIL_subject", "   ");
    ini.WriteString("Program", "RememberSound", program_.File("song.mp3"));
    WriteFile(program_.File("song.mp3"), "ID3");
    messages_.Boxes.clear();
    Load();

    EXPECT_EQ(options_.Width, 400);
    EXPECT_EQ(options_.Height, 150);
    EXPECT_EQ(options_.Top, 0);
    EXPECT_EQ(ini.ReadInteger("window", "width", 0), 300) << "corrected in memory only";
    EXPECT_EQ(options_.ProgramOptions.DblList, 0);
    EXPECT_EQ(ini.ReadInteger("Program", "DblList", 9), 0) << "the lower bound is written back";
    EXPECT_TRUE(options_.ProgramOptions.Updatecheck);
    EXPECT_FALSE(options_.ProgramOptions.AutoTimeSync);
    EXPECT_FALSE(options_.ProgramOptions.AutoCloseRememberWindow);
    EXPECT_EQ(options_.MailDefaults.EmailSubject, "Erinnerung");
    EXPECT_EQ(options_.ProgramOptions.RememberSound, program_.File("notify.wav"));
    EXPECT_EQ(sort_.SortColumn, 1);
    EXPECT_FALSE(sort_.SortDir) << "negated, so the first sort restores it";
    ASSERT_EQ(messages_.Boxes.size(), 1u) << "only DblList, out of its bounds";
    EXPECT_NE(messages_.Boxes[0].find("options.ini/Program/DblList"), std::string::npos);
}

TEST_F(Options, SoundFileChecks) {
    std::string big = program_.File("big.wav"), upper = program_.File("LOUD.WAV");
    WriteFile(big, std::string(1024001, 'x'));
    WriteFile(upper, "RIFF");
    test::TTestLanguage texts({{34, "kein WAV"}, {35, "zu groß"}, {36, "fehlt"}});
    struct Case {
        std::string path;
        bool ok;
        const char* reason;
    } cases[] = {
        {program_.File("notify.wav"), true, ""}, {upper, true, ""},  {big, false, "zu groß"},
        {program_.File("x.mp3"), false, "fehlt"}, {program_.Path(), false, "fehlt"},
    };
    WriteFile(program_.File("y.mp3"), "ID3");
    EXPECT_FALSE(CheckSoundFile(program_.File("y.mp3"), false));
    for (const Case& c : cases) {
        EXPECT_EQ(CheckSoundFile(c.path, true), c.ok) << c.path;
        EXPECT_EQ(CheckSoundFile(c.path, false), c.ok) << c.path;
    }
    EXPECT_EQ(messages_.Boxes, (std::vector<std::string>{"kein WAV", "zu groß", "fehlt", "fehlt"}));
}

TEST_F(Options, PasswordSurvivesSaveAndRestartWithoutBeingStored) {
    Load();
    options_.MailServer.Password = "geheim&Passwort=42";
    options_.MailServer.Server = "smtp.example.org";
    Save(TSaveMode::Full);
    EXPECT_EQ(Ini().find("geheim"), std::string::npos);
    Reopen();
    Load();
    EXPECT_EQ(options_.MailServer.Password, "geheim&Passwort=42");
    EXPECT_EQ(options_.MailServer.Server, "smtp.example.org");
}

TEST_F(Options, SaveModesWriteTheirKeysOnly) {
    Load();
    options_.ProgramOptions.AutoTimeSync = true;
    options_.ProgramOptions.OnceDay = true;
    sort_ = {5, true};
    Save(TSaveMode::TimeSyncOnly);
    EXPECT_NE(Ini().find("AutoTimeSync=1"), std::string::npos);
    EXPECT_NE(Ini().find("OnceDay=0"), std::string::npos);
    EXPECT_NE(Ini().find("SortColumn=0"), std::string::npos);
    Save(TSaveMode::LayoutOnly);
    EXPECT_NE(Ini().find("SortColumn=5"), std::string::npos);
    EXPECT_NE(Ini().find("SortDir=1"), std::string::npos);
    EXPECT_NE(Ini().find("OnceDay=0"), std::string::npos);
    Save(TSaveMode::Full);
    EXPECT_NE(Ini().find("OnceDay=1"), std::string::npos);
}

TEST_F(Options, AutostartEntryFollowsTheOption) {
    std::string folder = config_.File("autostart");
    Load();
    EXPECT_FALSE(FileExists(folder + "/Tagwacht6.desktop"));
    options_.ProgramOptions.Autostart = true;
    Save(TSaveMode::Full);
    EXPECT_NE(ReadFile(folder + "/Tagwacht6.desktop").find("Exec=\"/opt/tagwacht/bin/tagwacht\" \"autostart\"\n"),
              std::string::npos);

    WriteFile(folder + "/Tagwacht.desktop", "[Desktop Entry]\nExec=\"/other/tagwacht\" \"autostart\"\n");
    options_.ProgramOptions.Autostart = false;
    Save(TSaveMode::Full);
    EXPECT_FALSE(FileExists(folder + "/Tagwacht6.desktop"));
    EXPECT_TRUE(FileExists(folder + "/Tagwacht.desktop")) << "another command stays";

    WriteFile(folder + "/Tagwacht.desktop", "[Desktop Entry]\nExec=" + autostart_.Command() + "\n");
    options_.ProgramOptions.Autostart = true;
    Save(TSaveMode::Full);
    Save(TSaveMode::Full);
    EXPECT_FALSE(FileExists(folder + "/Tagwacht.desktop")) << "the older entry of the same command goes";
}

TEST(PasswordCipher, RoundTripsIntoOnePrintableLine) {
    std::string wide;
    for (char32_t cp : {U'ä', U'ß', U'€', U'漢', U'\U0001F382', U'\uFFFD', U'\u2400', U'\u2401', U'\U0010FFFF'}) {
        std::string one;
        if (cp < 0x800) one = {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F))};
        else if (cp < 0x10000)
            one = {static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                   static_cast<char>(0x80 | (cp & 0x3F))};
        else
            one = {static_cast<char>(0xF0 | (cp >> 18)), static_cast<char>(0x80 | ((cp >> 12) & 0x3F)),
                   static_cast<char>(0x80 | ((cp >> 6) & 0x3F)), static_cast<char>(0x80 | (cp & 0x3F))};
        wide += one;
    }
    std::string all_ascii;
    for (int c = 0x20; c < 0x7F; ++c) all_ascii += static_cast<char>(c);
    const std::string passwords[] = {"", "a", "geheim", std::string(255, 'x'), std::string(255, '~'),
                                     all_ascii + all_ascii + all_ascii.substr(0, 65), "Tab\there", wide,
                                     "\xC2\xA0\xC3\xBF\xC2\x80"};
    for (const std::string& password : passwords) {
        std::string enciphered = EncryptText(password);
        EXPECT_EQ(DecryptText(enciphered), password) << password;
        EXPECT_LE(Utf8Length(enciphered), 255u);
        EXPECT_TRUE(IsValidUtf8(enciphered));
        for (unsigned char c : enciphered) EXPECT_TRUE(c >= 0x20 && c != 0x7F) << password;
        if (password.size() > 3) EXPECT_NE(enciphered, password);
    }
    EXPECT_EQ(Utf8Length(EncryptText(std::string(255, 'x'))), 255u) << "printable text keeps its length";
    EXPECT_EQ(EncryptText("\xFF"), "") << "not UTF-8";
    EXPECT_EQ(EncryptText(std::string(200, '\t')), "") << "too long once escaped";
    EXPECT_EQ(DecryptText("\xE2\x90\x80"), "") << "an escape without its code";
}

}  // namespace
}  // namespace tw
