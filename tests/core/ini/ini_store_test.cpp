#include "core/ini/ini_store.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "core/test_support.h"
#include "core/text/files.h"

namespace tw {
namespace {

using test::ReadFile;
using test::TTempDir;
using test::WriteFile;

TEST(IniStore, ReadsTheFormatAndWritesItBackNormalised) {
    TTempDir dir;
    // LF-only lines, text before the first section, a ";" line, a line without "=", the 0x1A
    // end-of-file line, blanks around "=", a repeated key and a repeated section.
    WriteFile(dir.File("a.ini"),
              "stray=1\n[1]\nName=Anna\n;note=x\nno equals sign\nname=second\n\x1A\n key = v \n"
              "[Empty]\n[1]\nName=Dropped\n[2]\r\nName=Bert\r\n");
    TIniStore store;
    ASSERT_TRUE(store.Open(dir.File("a.ini")));

    EXPECT_EQ(store.ReadSections(), (std::vector<std::string>{"1", "Empty", "2"}));
    EXPECT_EQ(store.ReadString("1", "NAME", "?"), "Anna");  // first key wins, any case
    EXPECT_EQ(store.ReadString("1", ";note", "?"), "x");    // no comment handling
    EXPECT_EQ(store.ReadString("1", " key ", "?"), " v ");  // nothing trimmed
    EXPECT_FALSE(store.ValueExists("1", "key"));
    EXPECT_FALSE(store.ValueExists("", "stray"));
    EXPECT_EQ(store.ReadSection("1"), (std::vector<std::string>{"Name", ";note", "name", " key "}));
    EXPECT_TRUE(store.SectionExists("empty"));
    EXPECT_TRUE(store.Modified()) << "the repeated section makes the file count as changed";

    ASSERT_TRUE(store.UpdateFile());
    EXPECT_FALSE(store.Modified());
    EXPECT_EQ(ReadFile(dir.File("a.ini")),
              "[1]\r\nName=Anna\r\n;note=x\r\nno equals sign\r\nname=second\r\n key = v \r\n\r\n"
              "[2]\r\nName=Bert\r\n\r\n");
}

TEST(IniStore, WritesOnlyWhatReallyChanged) {
    TTempDir dir;
    WriteFile(dir.File("a.ini"), "[S]\r\nKey=1\r\n\r\n");
    TIniStore store;
    ASSERT_TRUE(store.Open(dir.File("a.ini")));

    store.WriteInteger("s", "KEY", 1);
    EXPECT_FALSE(store.Modified()) << "same text";
    store.WriteString("S", "Key", "2");
    EXPECT_TRUE(store.Modified());
    store.WriteString("New", "K", "v");  // new section at the end, new key at the end
    store.WriteString("S", "Other", "x");
    EXPECT_EQ(store.ToText(), "[S]\r\nKey=2\r\nOther=x\r\n\r\n[New]\r\nK=v\r\n\r\n");

    // Nothing reaches the disk before a write-back point.
    EXPECT_EQ(ReadFile(dir.File("a.ini")), "[S]\r\nKey=1\r\n\r\n");
    ASSERT_TRUE(store.WriteBackPoint());
    EXPECT_EQ(ReadFile(dir.File("a.ini")), store.ToText());
}

TEST(IniStore, ErasedSectionComesBackAtTheEnd) {
    TIniStore store;
    store.Parse("[0]\r\nA=1\r\n[1]\r\nA=2\r\n");
    store.EraseSection("0");
    EXPECT_FALSE(store.SectionExists("0"));
    EXPECT_EQ(store.SectionCount(), 1u);
    store.WriteString("0", "A", "3");
    EXPECT_EQ(store.ReadSections(), (std::vector<std::string>{"1", "0"}));
    store.DeleteKey("1", "a");
    EXPECT_EQ(store.ToText(), "[0]\r\nA=3\r\n\r\n") << "a section without lines is not written";
}

TEST(IniStore, ReadsNumbersLikeTheProgramWritesThem) {
    struct Case {
        const char* value;
        int integer;  // read with default -7
        bool boolean;  // read with default false
    } cases[] = {
        {"12", 12, true},  {"-3", -3, true},     {"0x1", 1, true},   {"0X1f", 31, true}, {"0", 0, false},
        {"abc", -7, false}, {"", -7, false},      {" 5", -7, false},  {"5 ", -7, false}, {"0x", -7, false},
        {"99999999999", -7, false}, {"0xFFFFFFFF", -1, true},
    };
    for (const Case& c : cases) {
        TIniStore store;
        store.WriteString("S", "K", c.value);
        EXPECT_EQ(store.ReadInteger("S", "K", -7), c.integer) << c.value;
        EXPECT_EQ(store.ReadBool("S", "K", false), c.boolean) << c.value;
    }
}

TEST(IniStore, ReadsWindows1252AndWritesUtf8) {
    TTempDir dir;
    WriteFile(dir.File("a.ini"), "[M\xFCller]\r\nName=J\xFCrgen \x80\r\n\xC4nderung\xC4=ja\r\n");
    TIniStore store;
    ASSERT_TRUE(store.Open(dir.File("a.ini")));
    EXPECT_EQ(store.ReadString("MÜLLER", "Name", ""), "Jürgen €");
    EXPECT_EQ(store.ReadString("Müller", "änderungä", ""), "ja") << "accented letters compare without case";
    store.DeleteKey("Müller", "ÄNDERUNGÄ");
    store.WriteString("Müller", "Name", "Jürgen");
    ASSERT_TRUE(store.UpdateFile());
    EXPECT_EQ(ReadFile(dir.File("a.ini")), "[Müller]\r\nName=Jürgen\r\n\r\n");
}

TEST(IniStore, BigSectionsFindTheFirstKeyAfterChanges) {
    TIniStore store;
    std::string text = "[Rem]\r\n";
    for (int i = 0; i < 200; ++i) text += "K" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    text += "k7=repeat\r\n";
    store.Parse(text);
    EXPECT_EQ(store.ReadString("rem", "K7", ""), "7");
    store.DeleteKey("Rem", "K7");
    EXPECT_EQ(store.ReadString("Rem", "K7", ""), "repeat") << "the repeat is now the first";
    store.WriteString("Rem", "New", "x");
    EXPECT_EQ(store.ReadString("Rem", "new", ""), "x");
    EXPECT_EQ(store.ReadString("Rem", "K199", ""), "199");
    EXPECT_FALSE(store.ValueExists("Rem", "K200"));
}

TEST(IniStore, MissingFileIsEmptyAndCreatedOnFirstWrite) {
    TTempDir dir;
    TIniStore store;
    ASSERT_TRUE(store.Open(dir.File("new.ini")));
    EXPECT_EQ(store.SectionCount(), 0u);
    ASSERT_TRUE(store.UpdateFile());
    EXPECT_FALSE(FileExists(dir.File("new.ini"))) << "nothing changed, nothing written";
    store.WriteString("S", "K", "V");
    ASSERT_TRUE(store.UpdateFile());
    EXPECT_EQ(ReadFile(dir.File("new.ini")), "[S]\r\nK=V\r\n\r\n");
}

TEST(IniStore, FailedWriteBackKeepsTheOldFileAndTheChanges) {
    TTempDir dir;
    std::string original = "[S]\r\nK=" + std::string(100, 'o') + "\r\n\r\n";
    WriteFile(dir.File("a.ini"), original);
    TIniStore store;
    ASSERT_TRUE(store.Open(dir.File("a.ini")));
    store.WriteString("S", "K", std::string(100000, 'n'));

    // A file-size limit makes the write fail half-way, as a full disk would.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    std::string error;
    bool written = store.UpdateFile(&error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_FALSE(written);
    EXPECT_NE(error.find("a.ini"), std::string::npos) << error;
    EXPECT_EQ(ReadFile(dir.File("a.ini")), original);
    EXPECT_TRUE(store.Modified());
    ASSERT_TRUE(store.UpdateFile(&error)) << error;
    EXPECT_EQ(store.ReadString("S", "K", "").size(), 100000u);
    EXPECT_EQ(ReadFile(dir.File("a.ini")).size(), 100000u + 11);
}

TEST(IniStore, DeferredWriteBackWritesOnceAtTheEnd) {
    TTempDir dir;
    TIniStore store;
    ASSERT_TRUE(store.Open(dir.File("a.ini")));
    {
        TDeferredWriteBack outer(store);
        {
            TDeferredWriteBack inner(store);
            store.WriteString("S", "K", "1");
            ASSERT_TRUE(store.WriteBackPoint());
        }
        EXPECT_FALSE(FileExists(dir.File("a.ini"))) << "held off while the outer operation runs";
    }
    EXPECT_EQ(ReadFile(dir.File("a.ini")), "[S]\r\nK=1\r\n\r\n");
}

TEST(IniStore, DirectoryInsteadOfFileIsAnError) {
    TTempDir dir;
    TIniStore store;
    std::string error;
    EXPECT_FALSE(store.Open(dir.Path(), &error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace tw
