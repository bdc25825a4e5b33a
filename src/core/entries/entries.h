#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/entries/entry.h"
#include "core/ini/ini_files.h"

namespace tw {

/// An ordered collection of entries: the program's main list, the due entries of a reminder run,
/// or the entries of an archive being imported. The order is the section order of the file at
/// load time; added entries go to the end. Ids are not forced to be unique.
class TTWEntries {
public:
    /// Called after each entry while loading, so the window can let pending messages run.
    using TProgress = std::function<void()>;

    size_t Count() const { return entries_.size(); }
    TTWEntry& operator[](size_t index) { return *entries_[index]; }
    const TTWEntry& operator[](size_t index) const { return *entries_[index]; }

    /// The last index whose Id is id, or -1.
    long long IndexOfId(int id) const;
    /// The entry with that id (the last one), or nullptr.
    TTWEntry* FindId(int id);
    const TTWEntry* FindId(int id) const;

    /// True when some entry's Name equals name, ignoring the case of A–Z.
    bool NameExists(const std::string& name) const;

    /// Replaces the content by every entry of the program's own files. Write-backs of repairs are
    /// coalesced into one per file at the end. Returns false when an invalid entry stopped the
    /// program (the entries read so far stay).
    bool LoadEntries(TTWIniFiles& files, const TProgress& progress = {});

    /// Replaces the content by every valid entry of other stores (an unpacked archive); invalid
    /// ones are reported and skipped.
    void LoadEntries(TIniStore& entries, TIniStore& reminders, const TProgress& progress = {});

    /// The smallest id without a section in entries.ini.
    static long long NextFreeId(const TIniStore& entries_ini);

    /// Appends a new entry read from the program's own files. False when it was invalid.
    bool AddEntry(int id, TTWIniFiles& files);

    /// Appends an entry that is already filled.
    TTWEntry& Append(TTWEntry entry);

    /// Takes the entry with that id (the last one) out of the collection; the files stay as they
    /// are. An id that is not there changes nothing.
    void RemoveEntry(int id);

    void Clear();

private:
    template <typename ReadOne>
    bool Load(TIniStore& entries_ini, const TProgress& progress, ReadOne read_one);
    void Index(size_t position);

    std::vector<std::unique_ptr<TTWEntry>> entries_;
    std::unordered_map<int, size_t> last_index_;  // id -> last position holding it
    size_t duplicates_ = 0;                       // entries added whose id was already there
};

}  // namespace tw
