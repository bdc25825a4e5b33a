#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "core/app/paths.h"
#include "core/entries/entry_files.h"
#include "core/importexport/archive.h"
#include "core/importexport/archive_unpack.h"
#include "core/importexport/progress.h"
#include "core/languages/languages.h"
#include "core/text/files.h"
#include "core/text/messages.h"

namespace tw {
namespace {

struct TWorkFolders {
    std::string Temp;    ///< receives the two entry files
    std::string Images;  ///< receives the pictures
};

// Creates a working folder, or takes the one a failed import left; a link or file of that name
// is not used, so nothing is unpacked to a place outside the data folder.
bool MakeWorkFolder(const std::string& path, std::string* error) {
    if (mkdir(path.c_str(), 0700) == 0) return true;
    int failure = errno;
    struct stat st {};
    if (failure == EEXIST && lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
    *error = "Cannot create folder \"" + path + "\": " +
             (failure == EEXIST ? "a file or link of that name is in the way" : std::strerror(failure));
    return false;
}

void RemoveWorkFolders(const TWorkFolders& folders) {
    DeleteFiles(folders.Temp + "/*");
    rmdir(folders.Images.c_str());
    rmdir(folders.Temp.c_str());
}

// The extension of a picture path with its dot, as stored; the path may come from another
// system and use "\".
std::string PictureExtension(const std::string& image) {
    size_t slash = image.find_last_of("/\\");
    std::string name = slash == std::string::npos ? image : image.substr(slash + 1);
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? "" : name.substr(dot);
}

bool MoveFile(const std::string& from, const std::string& to, std::string* error) {
    if (rename(from.c_str(), to.c_str()) == 0) return true;
    if (errno != EXDEV) {
        *error = "Cannot move file \"" + from + "\" to \"" + to + "\": " + std::strerror(errno);
        return false;
    }
    // The pictures folder is on another file system (a link to another disk).
    std::string bytes;
    if (!ReadFileBytes(from, &bytes, error) || !WriteFileAtomically(to, bytes, error)) return false;
    unlink(from.c_str());
    return true;
}

// Moves the archived picture of the entry that had old_id into the pictures folder under the
// entry's new id and returns its path. Empty when the archive holds no such picture: the path
// stored in the archive names a file of the exporting computer (possibly another entry's
// picture on this one), which the new entry must never point to.
std::string TakePicture(const TTWEntry& entry, int old_id, const TUnpackedArchive& unpacked,
                        const TWorkFolders& folders, const std::string& data_dir) {
    if (entry.Image.empty()) return "";
    std::string extension = PictureExtension(entry.Image);
    std::string member = std::to_string(old_id) + extension;
    if (!unpacked.Pictures.count(member)) return "";
    std::string folder = data_dir + "/" + kImagesFolder;
    std::string target = folder + "/" + std::to_string(entry.Id) + extension;
    std::string error;
    if (!EnsureDirectory(folder, &error) || !MoveFile(folders.Images + "/" + member, target, &error)) {
        ShowError(error);
        return "";
    }
    return target;
}

bool SaveDataFiles(TTWIniFiles& files, std::string* error) {
    bool ok = true;
    for (TIniStore* store : {&files.EntriesIni, &files.EOptionsIni, &files.RemIni}) {
        std::string one;
        if (!store->UpdateFile(&one)) {
            ok = false;
            if (error) *error = one;
        }
    }
    return ok;
}

// Removes the entries written by this import, last first, with their pictures.
void TakeBack(std::vector<TTWEntry>& written, TTWIniFiles& files) {
    for (auto entry = written.rbegin(); entry != written.rend(); ++entry) DeleteEntryData(*entry, files);
    written.clear();
}

TImportResult AddEntries(TCoreSession& session, const TTWEntries& imported, const TUnpackedArchive& unpacked,
                         const TWorkFolders& folders, std::string* error) {
    TTWIniFiles& files = session.IniFiles;
    // A new run: a cancel pressed while unpacking does not count.
    Progress().BeginProgress(true, static_cast<int>(imported.Count()), false);
    std::vector<TTWEntry> written;
    written.reserve(imported.Count());
    bool cancelled = false;
    for (size_t i = 0; i < imported.Count() && !cancelled; ++i) {
        TTWEntry entry = imported[i];
        int old_id = entry.Id;
        entry.Id = static_cast<int>(TTWEntries::NextFreeId(files.EntriesIni));
        entry.Image = TakePicture(entry, old_id, unpacked, folders, session.DataDir);
        WriteEntry(entry, files);
        written.push_back(std::move(entry));
        Progress().SetProgressPosition(static_cast<int>(i + 1));
        Messages().ProcessMessages();
        cancelled = Progress().CancelRequested();
    }
    if (cancelled) TakeBack(written, files);
    bool saved = SaveDataFiles(files, error);
    if (!saved) {
        // Entries that cannot be saved are taken back, so the list never shows what the files
        // lack; the files keep what they had, or get it back with the next write.
        TakeBack(written, files);
        SaveDataFiles(files, nullptr);
    }
    session.Entries.Clear();
    session.Entries.LoadEntries(files, [] { Messages().ProcessMessages(); });
    if (!saved) return TImportResult::Failed;
    return cancelled ? TImportResult::Cancelled : TImportResult::Done;
}

TImportResult UnpackAndAdd(TCoreSession& session, const std::string& file_name, const TWorkFolders& folders,
                           std::string* error) {
    if (!MakeWorkFolder(folders.Temp, error) || !MakeWorkFolder(folders.Images, error))
        return TImportResult::Failed;
    // Files an interrupted import left behind must not pass for members of this archive.
    DeleteFiles(folders.Temp + "/*");
    TUnpackedArchive unpacked;
    if (!UnpackArchive(file_name, folders.Temp, folders.Images, TUnpackLimits{}, &unpacked, error))
        return TImportResult::Failed;
    if (!unpacked.EntriesFile || !unpacked.EOptionsFile) {
        *error = "The archive \"" + file_name + "\" holds no " +
                 (unpacked.EntriesFile ? "eoptions.ini" : "entries.ini") + ".";
        return TImportResult::Failed;
    }
    TIniStore entries_ini, reminders_ini;
    if (!entries_ini.Open(folders.Temp + "/entries.ini", error) ||
        !reminders_ini.Open(folders.Temp + "/eoptions.ini", error))
        return TImportResult::Failed;
    // Entries that are not valid are reported and left out; the program's own files are not
    // touched by this read.
    TTWEntries imported;
    imported.LoadEntries(entries_ini, reminders_ini, [] { Messages().ProcessMessages(); });
    return AddEntries(session, imported, unpacked, folders, error);
}

}  // namespace

TImportResult ImportArchive(TCoreSession& session, const std::string& file_name) {
    if (!FileExists(file_name)) return TImportResult::Failed;
    const TWorkFolders folders{session.DataDir + "/" + kImportTempFolder,
                               session.DataDir + "/" + kImportTempFolder + "/" + kImagesFolder};
    TImportResult result;
    std::string error;
    {
        TProgressRun progress(true, -1, false);
        Messages().SetStatusText(GetText(113));
        Messages().ProcessMessages();
        result = UnpackAndAdd(session, file_name, folders, &error);
    }
    RemoveWorkFolders(folders);
    if (!error.empty()) ShowError(error);
    Messages().SetStatusText(GetText(114));
    return result;
}

}  // namespace tw
