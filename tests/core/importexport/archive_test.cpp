#include "core/importexport/archive.h"

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/entries/entry_files.h"
#include "core/importexport/archive_unpack.h"
#include "core/importexport/progress.h"
#include "core/test_support.h"
#include "core/text/files.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::D;

// Records status texts too, and lets a test act where the job lets window messages run.
class TJobMessages : public test::TRecordingMessages {
  public:
    void SetStatusText(const std::string& text) override { StatusTexts.push_back(text); }
    void ProcessMessages() override {
        if (OnProcess) OnProcess();
    }
    std::vector<std::string> StatusTexts;
    std::function<void()> OnProcess;
};

// A data folder opened the way the program opens it.
class TDataFolder {
  public:
    TDataFolder() {
        Session.DataDir = dir_.Path();
        std::string error;
        EXPECT_TRUE(Session.IniFiles.Open(dir_.Path(), &error)) << error;
    }

    std::string File(const std::string& name) const { return dir_.File(name); }
    std::string Picture(const std::string& name) const { return dir_.File("images/" + name); }

    void WritePicture(const std::string& name, const std::string& bytes) {
        fs::create_directories(fs::path(Picture(name)).parent_path());
        test::WriteFile(Picture(name), bytes);
    }

    /// Writes an entry as the wizard saves it; with picture bytes, its picture "<id>.jpg" as well.
    void Add(int id, const std::string& name, const std::string& picture = "") {
        TTWEntry entry;
        entry.Id = id;
        entry.Name = name;
        entry.Date = D(10, 5, 1980);
        entry.EmailSubject = "Hallo";
        entry.RememberOptions = {roStandard};
        entry.RememberTimes = {rtStandard, rtD7};
        if (!picture.empty()) {
            WritePicture(std::to_string(id) + ".jpg", picture);
            entry.Image = Picture(std::to_string(id) + ".jpg");
        }
        WriteEntry(entry, Session.IniFiles);
    }

    /// Puts every change on disk.
    void Write() {
        std::string error;
        ASSERT_TRUE(Session.IniFiles.WriteAll(&error)) << error;
    }

    /// Puts every change on disk and loads the collection, as at start-up.
    void Save() {
        Write();
        Session.Entries.LoadEntries(Session.IniFiles);
    }

    std::vector<int> Ids() const {
        std::vector<int> ids;
        for (size_t i = 0; i < Session.Entries.Count(); ++i) ids.push_back(Session.Entries[i].Id);
        return ids;
    }

    TCoreSession Session;

  private:
    test::TTempDir dir_;
};

struct TMember {
    std::string Name;
    std::string Data = {};
    unsigned Type = AE_IFREG;
    std::string Link = {};  // target of a symbolic link
};

// A ZIP file built with libarchive, encrypted when a password is given, carrying the marker.
void WriteCraftedArchive(const std::string& path, const std::vector<TMember>& members,
                         const std::string& password) {
    std::unique_ptr<archive, int (*)(archive*)> a(archive_write_new(), archive_write_free);
    ASSERT_EQ(archive_write_set_format_zip(a.get()), ARCHIVE_OK);
    if (!password.empty()) {
        ASSERT_EQ(archive_write_set_options(a.get(), "zip:encryption=zipcrypt"), ARCHIVE_OK);
        ASSERT_EQ(archive_write_set_passphrase(a.get(), password.c_str()), ARCHIVE_OK);
    }
    ASSERT_EQ(archive_write_open_filename(a.get(), path.c_str()), ARCHIVE_OK);
    for (const TMember& member : members) {
        std::unique_ptr<archive_entry, void (*)(archive_entry*)> entry(archive_entry_new(),
                                                                       archive_entry_free);
        archive_entry_set_pathname(entry.get(), member.Name.c_str());
        archive_entry_set_filetype(entry.get(), member.Type);
        archive_entry_set_perm(entry.get(), 0644);
        if (!member.Link.empty()) archive_entry_set_symlink(entry.get(), member.Link.c_str());
        archive_entry_set_size(entry.get(), static_cast<la_int64_t>(member.Data.size()));
        ASSERT_EQ(archive_write_header(a.get(), entry.get()), ARCHIVE_OK) << member.Name;
        if (!member.Data.empty()) {
            ASSERT_EQ(archive_write_data(a.get(), member.Data.data(), member.Data.size()),
                      static_cast<la_ssize_t>(member.Data.size()));
        }
    }
    ASSERT_EQ(archive_write_close(a.get()), ARCHIVE_OK);
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.write(kArchiveMarker, 4);
}

int ExitCode(const std::string& command) {
    int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Output(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        while (size_t got = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, got);
        pclose(pipe);
    }
    return out;
}

// The values zipinfo prints after a label, one per member.
std::vector<std::string> Values(const std::string& details, const std::string& label) {
    std::vector<std::string> values;
    for (size_t at = details.find(label); at != std::string::npos; at = details.find(label, at + 1)) {
        size_t start = details.find_first_not_of(' ', at + label.size());
        values.push_back(details.substr(start, details.find('\n', start) - start));
    }
    return values;
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// A copy of an exported file with the ZIP signature in place of the marker, for unzip.
std::string AsPlainZip(const std::string& twf, const std::string& zip) {
    std::string bytes = test::ReadFile(twf);
    if (bytes.size() >= 4) bytes.replace(0, 4, "PK\x03\x04");
    test::WriteFile(zip, bytes);
    return zip;
}

std::vector<std::string> FilesBelow(const std::string& folder) {
    std::vector<std::string> found;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); it != fs::recursive_directory_iterator();
         ++it)
        if (!it->is_directory()) found.push_back(fs::relative(it->path(), folder).string());
    std::sort(found.begin(), found.end());
    return found;
}

class Archive : public ::testing::Test {
  protected:
    test::TTestLanguage language_{{{29, "Fehler"},
                                   {79, "Fehler im Eintrag"},
                                   {81, "ungueltig"},
                                   {113, "Importiere"},
                                   {114, "Import beendet"},
                                   {115, "Komprimieren?"}}};
    TJobMessages messages_;
    test::TScopedClock clock_{D(11, 12, 2026) + 0.5};
    test::TTempDir files_;

    void TearDown() override { Progress() = TProgressState{}; }

    /// Entries 0, 1 and 2 with a picture for entry 1, exported; returns the archive's path.
    std::string ExportSample(TArchiveCompression compression = TArchiveCompression::Deflate) {
        TDataFolder source;
        source.Add(0, "Anna");
        source.Add(1, "Bert", "PICTURE-OF-BERT");
        source.Add(2, "Carl");
        source.Save();
        std::string path = files_.File("sample.twf");
        EXPECT_TRUE(ExportArchive(source.Session, path, compression));
        return path;
    }

    /// Data with the entries 0 to 4; entry 0 has a picture.
    static void FillTarget(TDataFolder& target) {
        target.Add(0, "Own zero", "OWN-PICTURE");
        for (int id = 1; id <= 4; ++id) target.Add(id, "Own " + std::to_string(id));
        target.Save();
    }

    std::string Password() const { return Quoted(kArchivePassword); }
};

TEST_F(Archive, ExportWritesAMarkedZipThatOpensOnlyWithThePassword) {
    struct Case {
        TArchiveCompression Compression;
        const char* Method;  // as zipinfo names it
    };
    for (Case c : {Case{TArchiveCompression::Deflate, "deflated"},
                   Case{TArchiveCompression::Store, "none (stored)"}}) {
        SCOPED_TRACE(c.Method);
        TDataFolder source;
        source.Add(0, "Anna");
        source.Add(3, "Dora");
        source.Save();
        struct Seen {
            bool Active, Import, NoCancel;
            int Max;
        };
        std::vector<Seen> seen;
        messages_.OnProcess = [&] {
            const TProgressState& p = Progress();
            seen.push_back({p.ProgressActive, p.ProgressImport, p.ProgressNoCancel, p.ProgressMax});
        };
        std::string twf = files_.File("data.twf");
        ASSERT_TRUE(ExportArchive(source.Session, twf, c.Compression));
        messages_.OnProcess = nullptr;

        std::string bytes = test::ReadFile(twf);
        ASSERT_GT(bytes.size(), 4u);
        EXPECT_EQ(bytes.substr(0, 4), std::string("TW\0\0", 4));
        EXPECT_EQ(bytes.find("PK\x06\x06"), std::string::npos) << "no Zip64 end record";
        std::string zip = AsPlainZip(twf, files_.File("data.zip"));
        EXPECT_EQ(Output("unzip -Z1 " + zip), "entries.ini\neoptions.ini\n");
        EXPECT_EQ(ExitCode("unzip -t -P " + Password() + " " + zip), 0);
        EXPECT_NE(ExitCode("unzip -t -P wrong " + zip), 0);
        EXPECT_EQ(Output("unzip -p -P " + Password() + " " + zip + " entries.ini"),
                  test::ReadFile(source.File("entries.ini")));
        EXPECT_EQ(Output("unzip -p -P " + Password() + " " + zip + " eoptions.ini"),
                  test::ReadFile(source.File("eoptions.ini")));
        std::string details = Output("unzip -Zv " + zip);
        EXPECT_EQ(Values(details, "compression method:"), (std::vector<std::string>{c.Method, c.Method}))
            << details;
        EXPECT_EQ(Values(details, "file security status:"),
                  (std::vector<std::string>{"encrypted", "encrypted"}));
        // Zip64 records would need version 4.5 to extract.
        EXPECT_EQ(Values(details, "minimum software version required to extract:"),
                  (std::vector<std::string>{"2.0", "2.0"}));

        ASSERT_FALSE(seen.empty());
        for (const Seen& s : seen) {
            EXPECT_TRUE(s.Active && !s.Import && s.NoCancel);
            EXPECT_EQ(s.Max, -1);
        }
        EXPECT_FALSE(Progress().ProgressActive);
    }
}

TEST_F(Archive, ExportAppendsTheExtensionUnlessItIsThere) {
    TDataFolder source;
    source.Add(0, "Anna");
    source.Save();
    struct Case {
        const char* Given;
        const char* Written;
    };
    for (Case c : {Case{"backup", "backup.twf"}, Case{"Backup.TWF", "Backup.TWF"},
                   Case{"notes.zip", "notes.zip.twf"}, Case{"twf", "twf.twf"}}) {
        SCOPED_TRACE(c.Given);
        test::TTempDir folder;
        ASSERT_TRUE(ExportArchive(source.Session, folder.File(c.Given), TArchiveCompression::Store));
        EXPECT_EQ(FilesBelow(folder.Path()), std::vector<std::string>{c.Written});
    }
}

TEST_F(Archive, ExportStoresPicturesByMaskWithTheirPathsBelowTheImagesFolder) {
    TDataFolder source;
    source.Add(0, "Anna", "A");
    source.Save();
    for (const char* name : {"4.JPG", "1.jpeg", "2.bmp", "sub/3.jpg", "notes.txt", "5.png"})
        source.WritePicture(name, name);
    std::string twf = files_.File("pictures.twf");
    ASSERT_TRUE(ExportArchive(source.Session, twf, TArchiveCompression::Deflate));
    std::string zip = AsPlainZip(twf, files_.File("pictures.zip"));
    EXPECT_EQ(Output("unzip -Z1 " + zip),
              "entries.ini\neoptions.ini\n0.jpg\n4.JPG\nsub/3.jpg\n1.jpeg\n2.bmp\n");
    EXPECT_EQ(Output("unzip -p -P " + Password() + " " + zip + " sub/3.jpg"), "sub/3.jpg");
}

TEST_F(Archive, FailedExportReportsAndKeepsWhatWasThere) {
    TDataFolder source;
    source.Add(0, "Anna");
    source.Save();
    // A folder of the archive's name cannot be replaced; a missing folder cannot be written to.
    fs::create_directories(files_.File("keep.twf"));
    test::WriteFile(files_.File("keep.twf/inside"), "kept");
    for (std::string target : {files_.File("keep.twf"), files_.File("missing/backup.twf")}) {
        SCOPED_TRACE(target);
        messages_.Boxes.clear();
        EXPECT_FALSE(ExportArchive(source.Session, target, TArchiveCompression::Deflate));
        ASSERT_EQ(messages_.Boxes.size(), 1u);
        EXPECT_EQ(messages_.Boxes[0].rfind("Fehler:", 0), 0u);
        EXPECT_FALSE(Progress().ProgressActive);
    }
    EXPECT_EQ(FilesBelow(files_.Path()), std::vector<std::string>{"keep.twf/inside"});
}

TEST_F(Archive, ImportAddsEntriesUnderNewIdsWithTheirPictures) {
    TDataFolder target;
    FillTarget(target);
    // Entry 2 of the archive names a picture the archive lacks, at a path that is entry 0's
    // picture here: the new entry must not take it over.
    std::string twf = files_.File("sample.twf");
    {
        TDataFolder source;
        source.Add(0, "Anna");
        source.Add(1, "Bert", "PICTURE-OF-BERT");
        source.Add(2, "Carl");
        source.Session.IniFiles.EntriesIni.WriteString("2", "Image", target.Picture("0.jpg"));
        source.Save();
        ASSERT_TRUE(ExportArchive(source.Session, twf, TArchiveCompression::Deflate));
    }
    chmod(twf.c_str(), 0444);
    const std::string archive_bytes = test::ReadFile(twf);
    struct stat before {};
    ASSERT_EQ(stat(twf.c_str(), &before), 0);
    // A cancel pressed while the archive is unpacked does not count for the entry loop.
    messages_.OnProcess = [] {
        if (Progress().ProgressMax == -1) Progress().RequestCancel();
    };

    ASSERT_EQ(ImportArchive(target.Session, twf), TImportResult::Done);

    EXPECT_EQ(target.Ids(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    const std::string names[] = {"Anna", "Bert", "Carl"};
    for (int id = 5; id <= 7; ++id) EXPECT_EQ(target.Session.Entries.FindId(id)->Name, names[id - 5]);
    EXPECT_EQ(target.Session.Entries.FindId(6)->Image, target.Picture("6.jpg"));
    EXPECT_EQ(test::ReadFile(target.Picture("6.jpg")), "PICTURE-OF-BERT");
    EXPECT_EQ(target.Session.Entries.FindId(5)->Image, "");
    EXPECT_EQ(target.Session.Entries.FindId(7)->Image, "");
    EXPECT_EQ(test::ReadFile(target.Picture("0.jpg")), "OWN-PICTURE");
    EXPECT_EQ(target.Session.Entries.FindId(0)->Image, target.Picture("0.jpg"));
    EXPECT_EQ(messages_.StatusTexts, (std::vector<std::string>{"Importiere", "Import beendet"}));
    EXPECT_TRUE(messages_.Boxes.empty()) << messages_.Boxes[0];
    EXPECT_FALSE(fs::exists(target.File("temp")));
    EXPECT_FALSE(Progress().ProgressActive);

    // Everything is on disk: a fresh start sees the new entries with their reminder settings.
    {
        TTWIniFiles reread;
        std::string error;
        ASSERT_TRUE(reread.Open(target.File(""), &error)) << error;
        EXPECT_EQ(reread.EntriesIni.ReadString("6", "Name", ""), "Bert");
        EXPECT_EQ(reread.EntriesIni.ReadString("6", "Image", ""), target.Picture("6.jpg"));
        EXPECT_EQ(reread.EOptionsIni.ReadString("6", "RT_d7", ""), "1");
        EXPECT_EQ(reread.EntriesIni.ReadString("7", "Name", ""), "Carl");
    }

    // The archive was only read.
    struct stat after {};
    ASSERT_EQ(stat(twf.c_str(), &after), 0);
    EXPECT_EQ(test::ReadFile(twf), archive_bytes);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);

    // Nothing is compared with what is there: a second import adds every entry again.
    ASSERT_EQ(ImportArchive(target.Session, twf), TImportResult::Done);
    EXPECT_EQ(target.Ids(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(target.Session.Entries.FindId(9)->Name, "Bert");
    EXPECT_EQ(test::ReadFile(target.Picture("9.jpg")), "PICTURE-OF-BERT");
    EXPECT_EQ(FilesBelow(target.File("images")), (std::vector<std::string>{"0.jpg", "6.jpg", "9.jpg"}));
}

TEST_F(Archive, ImportTakesNewIdsFromTheGapsAndSkipsPicturesInSubfolders) {
    TDataFolder source;
    source.Add(4, "Eva", "PICTURE-OF-EVA");
    source.Add(9, "Ida");
    source.Save();
    source.WritePicture("old/9.jpg", "NOT-USED");
    std::string twf = files_.File("gaps.twf");
    ASSERT_TRUE(ExportArchive(source.Session, twf, TArchiveCompression::Store));

    TDataFolder target;
    target.Add(0, "Own zero");
    target.Add(2, "Own two");
    target.Save();
    ASSERT_EQ(ImportArchive(target.Session, twf), TImportResult::Done);
    EXPECT_EQ(target.Ids(), (std::vector<int>{0, 2, 1, 3}));
    EXPECT_EQ(target.Session.Entries.FindId(1)->Image, target.Picture("1.jpg"));
    EXPECT_EQ(test::ReadFile(target.Picture("1.jpg")), "PICTURE-OF-EVA");
    EXPECT_EQ(FilesBelow(target.File("images")), std::vector<std::string>{"1.jpg"});
}

TEST_F(Archive, ArchivesThatCannotBeReadAddNothing) {
    std::string good = ExportSample(TArchiveCompression::Store);
    const std::string good_bytes = test::ReadFile(good);
    // Where the data of the first member start: after its local header, name and extra field.
    auto le16 = [&](size_t at) {
        return static_cast<unsigned char>(good_bytes[at]) | static_cast<unsigned char>(good_bytes[at + 1])
                                                                << 8;
    };
    const size_t first_data = 30 + le16(26) + le16(28);

    TDataFolder data_source;
    data_source.Add(0, "Anna");
    data_source.Save();
    const std::string entries = test::ReadFile(data_source.File("entries.ini"));
    const std::string reminders = test::ReadFile(data_source.File("eoptions.ini"));

    struct Case {
        const char* What;
        std::function<void(const std::string&)> Make;
    };
    const Case cases[] = {
        {"wrong password",
         [&](const std::string& path) {
             WriteCraftedArchive(path, {{"entries.ini", entries}, {"eoptions.ini", reminders}},
                                 "another password");
         }},
        {"damaged member",
         [&](const std::string& path) {
             std::string bytes = good_bytes;
             bytes[first_data + 20] ^= 0x55;
             test::WriteFile(path, bytes);
         }},
        {"cut short",
         [&](const std::string& path) {
             test::WriteFile(path, good_bytes.substr(0, good_bytes.size() / 2));
         }},
        {"no archive",
         [&](const std::string& path) { test::WriteFile(path, "TW\0\0 this is not a ZIP file"); }},
        {"empty file", [&](const std::string& path) { test::WriteFile(path, ""); }},
        {"no eoptions.ini",
         [&](const std::string& path) {
             WriteCraftedArchive(path, {{"entries.ini", entries}}, kArchivePassword);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TDataFolder target;
        FillTarget(target);
        const std::string before = test::ReadFile(target.File("entries.ini"));
        std::string twf = files_.File("bad.twf");
        c.Make(twf);
        messages_.Boxes.clear();

        EXPECT_EQ(ImportArchive(target.Session, twf), TImportResult::Failed);

        EXPECT_EQ(target.Ids(), (std::vector<int>{0, 1, 2, 3, 4}));
        EXPECT_EQ(test::ReadFile(target.File("entries.ini")), before);
        EXPECT_FALSE(target.Session.IniFiles.EntriesIni.Modified());
        ASSERT_EQ(messages_.Boxes.size(), 1u);
        EXPECT_EQ(messages_.Boxes[0].rfind("Fehler:", 0), 0u);
        EXPECT_FALSE(fs::exists(target.File("temp")));
        EXPECT_EQ(FilesBelow(target.File("images")), std::vector<std::string>{"0.jpg"});
        EXPECT_FALSE(Progress().ProgressActive);
    }

    // A file that is not there fails without a word (the open dialog lets only existing files through).
    TDataFolder target;
    messages_.Boxes.clear();
    EXPECT_EQ(ImportArchive(target.Session, files_.File("none.twf")), TImportResult::Failed);
    EXPECT_TRUE(messages_.Boxes.empty());
}

TEST_F(Archive, CancelInTheEntryLoopLeavesTheDataAsBefore) {
    std::string twf = ExportSample();
    TDataFolder target;
    FillTarget(target);
    target.Session.IniFiles.RemIni.WriteString("1", "01.01.2026", "1");
    target.Save();
    const std::string files[] = {"entries.ini", "eoptions.ini", "rem.ini"};
    std::vector<std::string> before;
    for (const std::string& name : files) before.push_back(test::ReadFile(target.File(name)));
    int last_position = 0;
    messages_.OnProcess = [&] {
        if (Progress().ProgressMax != 3) return;
        last_position = std::max(last_position, Progress().ProgressPosition);
        if (Progress().ProgressPosition == 2) Progress().RequestCancel();
    };

    EXPECT_EQ(ImportArchive(target.Session, twf), TImportResult::Cancelled);

    EXPECT_EQ(last_position, 2) << "the third entry was never written";
    for (size_t i = 0; i < std::size(files); ++i)
        EXPECT_EQ(test::ReadFile(target.File(files[i])), before[i]) << files[i];
    EXPECT_FALSE(target.Session.IniFiles.EntriesIni.Modified());
    EXPECT_EQ(target.Ids(), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(FilesBelow(target.File("images")), std::vector<std::string>{"0.jpg"});
    EXPECT_FALSE(fs::exists(target.File("temp")));
    EXPECT_FALSE(Progress().ProgressActive);
}

TEST_F(Archive, MembersThatCouldWriteElsewhereAreRefused) {
    test::TTempDir outside;
    TDataFolder data_source;
    data_source.Add(0, "Anna");
    data_source.Save();
    const std::vector<TMember> entry_files = {
        {"entries.ini", test::ReadFile(data_source.File("entries.ini"))},
        {"eoptions.ini", test::ReadFile(data_source.File("eoptions.ini"))}};
    const TMember hostile[] = {
        {"../0.jpg", "ESCAPED"},
        {"../../escape.jpg", "ESCAPED"},
        {outside.File("escape.jpg"), "ESCAPED"},
        {"0.jpg", "", AE_IFLNK, outside.File("escape.jpg")},
        {"sub/", "", AE_IFDIR},
        {"sub/entries.ini", "ESCAPED"},
    };
    for (const TMember& member : hostile) {
        SCOPED_TRACE(member.Name);
        TDataFolder target;
        FillTarget(target);
        const std::string before = test::ReadFile(target.File("entries.ini"));
        const std::vector<std::string> files_before = FilesBelow(target.File(""));
        std::vector<TMember> members = entry_files;
        members.push_back(member);
        std::string twf = files_.File("hostile.twf");
        WriteCraftedArchive(twf, members, kArchivePassword);
        messages_.Boxes.clear();

        EXPECT_EQ(ImportArchive(target.Session, twf), TImportResult::Failed);

        EXPECT_EQ(target.Ids(), (std::vector<int>{0, 1, 2, 3, 4}));
        EXPECT_EQ(test::ReadFile(target.File("entries.ini")), before);
        ASSERT_EQ(messages_.Boxes.size(), 1u);
        EXPECT_NE(messages_.Boxes[0].find("\"" + member.Name + "\""), std::string::npos)
            << messages_.Boxes[0];
        EXPECT_TRUE(FilesBelow(outside.Path()).empty());
        EXPECT_EQ(FilesBelow(target.File("")), files_before);
        EXPECT_EQ(test::ReadFile(target.Picture("0.jpg")), "OWN-PICTURE");
        EXPECT_FALSE(fs::exists(fs::path(target.File("")).parent_path() / "escape.jpg"));
    }
}

TEST_F(Archive, InvalidEntryOfTheArchiveIsSkippedAndReported) {
    TDataFolder source;
    source.Add(0, "Anna");
    source.Add(1, "Bert");
    source.Add(2, "Carl");
    source.Session.IniFiles.EntriesIni.WriteString("1", "Name", "B");  // one character: not valid
    source.Write();
    std::string twf = files_.File("invalid.twf");
    ASSERT_TRUE(ExportArchive(source.Session, twf, TArchiveCompression::Deflate));
    TDataFolder target;
    target.Add(1, "Own one");
    target.Save();
    const std::string own_entry = test::ReadFile(target.File("entries.ini"));
    messages_.Boxes.clear();

    EXPECT_EQ(ImportArchive(target.Session, twf), TImportResult::Done);

    EXPECT_EQ(target.Ids(), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(target.Session.Entries.FindId(0)->Name, "Anna");
    EXPECT_EQ(target.Session.Entries.FindId(2)->Name, "Carl");
    EXPECT_EQ(target.Session.Entries.FindId(1)->Name, "Own one");
    ASSERT_EQ(messages_.Boxes.size(), 1u);
    EXPECT_NE(messages_.Boxes[0].find("Fehler im Eintrag \"1\""), std::string::npos) << messages_.Boxes[0];
    EXPECT_EQ(messages_.FatalStops, 0);
    EXPECT_FALSE(fs::exists(target.File(kInvalidEntriesFile)));
    EXPECT_EQ(test::ReadFile(target.File("entries.ini")).substr(0, own_entry.size()), own_entry);
}

TEST_F(Archive, ImportThatCannotBeSavedTakesItsEntriesBack) {
    std::string twf = ExportSample();
    TDataFolder target;
    FillTarget(target);
    // A folder in place of entries.ini: every write-back of that file fails from now on.
    fs::remove(target.File("entries.ini"));
    fs::create_directories(target.File("entries.ini/blocked"));
    messages_.Boxes.clear();

    EXPECT_EQ(ImportArchive(target.Session, twf), TImportResult::Failed);

    EXPECT_EQ(target.Ids(), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_FALSE(target.Session.IniFiles.EntriesIni.SectionExists("5"));
    EXPECT_FALSE(target.Session.IniFiles.EOptionsIni.SectionExists("5"));
    EXPECT_EQ(FilesBelow(target.File("images")), std::vector<std::string>{"0.jpg"});
    ASSERT_FALSE(messages_.Boxes.empty());
    EXPECT_NE(messages_.Boxes.back().find("entries.ini"), std::string::npos) << messages_.Boxes.back();
}

TEST_F(Archive, UnpackingStopsAtTheSizeBound) {
    std::string twf = files_.File("big.twf");
    WriteCraftedArchive(twf,
                        {{"entries.ini", std::string(600, 'e')}, {"eoptions.ini", std::string(600, 'o')}},
                        kArchivePassword);
    struct Case {
        TUnpackLimits Limits;
        bool Unpacks;
    };
    for (Case c : {Case{{1000, 2000}, true}, Case{{500, 2000}, false}, Case{{1000, 1000}, false}}) {
        SCOPED_TRACE(std::to_string(c.Limits.MaxMemberBytes) + "/" + std::to_string(c.Limits.MaxTotalBytes));
        test::TTempDir work;
        fs::create_directories(work.File("images"));
        TUnpackedArchive unpacked;
        std::string error;
        EXPECT_EQ(UnpackArchive(twf, work.Path(), work.File("images"), c.Limits, &unpacked, &error),
                  c.Unpacks)
            << error;
        EXPECT_EQ(unpacked.EntriesFile && unpacked.EOptionsFile, c.Unpacks);
        if (!c.Unpacks) {
            EXPECT_NE(error.find("more data"), std::string::npos) << error;
        }
        // A member cut off at the bound leaves no file behind.
        EXPECT_EQ(fs::exists(work.File("eoptions.ini")), unpacked.EOptionsFile);
    }
}

TEST(ArchiveMember, NamesAreJudgedBeforeAnythingIsWritten) {
    struct Case {
        const char* Name;
        TArchiveMember Kind;
    };
    const Case cases[] = {
        {"entries.ini", TArchiveMember::EntriesFile},
        {"Entries.INI", TArchiveMember::EntriesFile},
        {"eoptions.ini", TArchiveMember::EOptionsFile},
        {"6.jpg", TArchiveMember::Picture},
        {"6.JPEG", TArchiveMember::Picture},
        {"6.bmp", TArchiveMember::Picture},
        {"options.ini", TArchiveMember::Unused},
        {"6.png", TArchiveMember::Unused},
        {"sub/3.jpg", TArchiveMember::FolderPicture},
        {"sub\\3.bmp", TArchiveMember::FolderPicture},
        {"sub/entries.ini", TArchiveMember::Refused},
        {"../x.jpg", TArchiveMember::Refused},
        {"a/../../x.jpg", TArchiveMember::Refused},
        {"..\\x.jpg", TArchiveMember::Refused},
        {"/etc/x.jpg", TArchiveMember::Refused},
        {"\\x.jpg", TArchiveMember::Refused},
        {"C:x.jpg", TArchiveMember::Refused},
        {"./6.jpg", TArchiveMember::Refused},
        {"..", TArchiveMember::Refused},
        {"", TArchiveMember::Refused},
    };
    for (const Case& c : cases) EXPECT_EQ(ClassifyArchiveMember(c.Name), c.Kind) << c.Name;
}

TEST_F(Archive, CompressionQuestionMapsYesToDeflate) {
    messages_.Answers = {TMsgAnswer::Yes, TMsgAnswer::No};
    EXPECT_EQ(AskArchiveCompression(), TArchiveCompression::Deflate);
    EXPECT_EQ(AskArchiveCompression(), TArchiveCompression::Store);
    EXPECT_EQ(messages_.Boxes, (std::vector<std::string>{"Komprimieren?", "Komprimieren?"}));
    EXPECT_EQ(messages_.Icons, (std::vector<TMsgIcon>{TMsgIcon::Question, TMsgIcon::Question}));
}

}  // namespace
}  // namespace tw
