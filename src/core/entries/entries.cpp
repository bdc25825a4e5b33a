#include "core/entries/entries.h"

#include <charconv>

#include "core/entries/entry_files.h"
#include "core/languages/languages.h"
#include "core/text/messages.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

std::optional<int> SectionId(const std::string& name) {
    int id = 0;
    auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), id);
    if (ec != std::errc() || end != name.data() + name.size() || id < 0) return std::nullopt;
    // "05" or "+5" would be read as entry 5 but name another section than the entry's own.
    if (std::to_string(id) != name) return std::nullopt;
    return id;
}

}  // namespace

long long TTWEntries::IndexOfId(int id) const {
    auto hit = last_index_.find(id);
    return hit == last_index_.end() ? -1 : static_cast<long long>(hit->second);
}

TTWEntry* TTWEntries::FindId(int id) {
    long long i = IndexOfId(id);
    return i < 0 ? nullptr : entries_[static_cast<size_t>(i)].get();
}

const TTWEntry* TTWEntries::FindId(int id) const { return const_cast<TTWEntries*>(this)->FindId(id); }

bool TTWEntries::NameExists(const std::string& name) const {
    for (const auto& entry : entries_)
        if (SameTextAscii(entry->Name, name)) return true;
    return false;
}

void TTWEntries::Index(size_t position) {
    auto [slot, added] = last_index_.insert_or_assign(entries_[position]->Id, position);
    if (!added) ++duplicates_;
}

template <typename ReadOne>
bool TTWEntries::Load(TIniStore& entries_ini, const TProgress& progress, ReadOne read_one) {
    Clear();
    std::vector<std::string> names = entries_ini.ReadSections();
    entries_.reserve(names.size());
    last_index_.reserve(names.size());
    for (const std::string& name : names) {
        entries_ini.WriteBackPoint();
        std::optional<int> id = SectionId(name);
        if (!id) {
            // Not a section the program writes; it stays in the file and is not shown.
            ShowError(GetText(79) + " \"" + name + "\"");
            continue;
        }
        auto entry = std::make_unique<TTWEntry>();
        TReadEntryResult result = read_one(*entry, *id);
        if (result == TReadEntryResult::Valid) {
            entries_.push_back(std::move(entry));
            Index(entries_.size() - 1);
        } else if (read_one.StopsOnInvalid) {
            return false;
        }
        if (progress) progress();
    }
    return true;
}

namespace {

struct ReadOwn {
    TTWIniFiles* Files;
    static constexpr bool StopsOnInvalid = true;
    TReadEntryResult operator()(TTWEntry& entry, int id) const { return ReadEntry(entry, id, *Files); }
};

struct ReadOther {
    TIniStore* Entries;
    TIniStore* Reminders;
    static constexpr bool StopsOnInvalid = false;
    TReadEntryResult operator()(TTWEntry& entry, int id) const { return ReadEntry(entry, id, *Entries, *Reminders); }
};

void ReportWriteError(bool ok, const std::string& error) {
    if (!ok) ShowError(error);
}

}  // namespace

bool TTWEntries::LoadEntries(TTWIniFiles& files, const TProgress& progress) {
    bool completed;
    {
        // Repairs made while loading reach the disk once per file, when loading ends.
        TDeferredWriteBack entries_write(files.EntriesIni), options_write(files.EOptionsIni);
        completed = Load(files.EntriesIni, progress, ReadOwn{&files});
        if (!completed) return false;
        std::string error;
        ReportWriteError(entries_write.Finish(&error), error);
        ReportWriteError(options_write.Finish(&error), error);
    }
    return completed;
}

void TTWEntries::LoadEntries(TIniStore& entries, TIniStore& reminders, const TProgress& progress) {
    TDeferredWriteBack entries_write(entries), options_write(reminders);
    Load(entries, progress, ReadOther{&entries, &reminders});
}

long long TTWEntries::NextFreeId(const TIniStore& entries_ini) { return entries_ini.LowestFreeNumber(); }

bool TTWEntries::AddEntry(int id, TTWIniFiles& files) {
    auto entry = std::make_unique<TTWEntry>();
    if (ReadEntry(*entry, id, files) != TReadEntryResult::Valid) return false;
    entries_.push_back(std::move(entry));
    Index(entries_.size() - 1);
    return true;
}

TTWEntry& TTWEntries::Append(TTWEntry entry) {
    entries_.push_back(std::make_unique<TTWEntry>(std::move(entry)));
    Index(entries_.size() - 1);
    return *entries_.back();
}

void TTWEntries::RemoveEntry(int id) {
    long long found = IndexOfId(id);
    if (found < 0) return;
    size_t index = static_cast<size_t>(found);
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    last_index_.erase(id);
    // An earlier entry with the same id becomes the last one; later entries move down a place.
    for (size_t i = duplicates_ > 0 ? index : 0; i-- > 0;)
        if (entries_[i]->Id == id) {
            last_index_[id] = i;
            break;
        }
    for (size_t i = index; i < entries_.size(); ++i)
        if (last_index_[entries_[i]->Id] == i + 1) last_index_[entries_[i]->Id] = i;
}

void TTWEntries::Clear() {
    entries_.clear();
    last_index_.clear();
    duplicates_ = 0;
}

}  // namespace tw
