#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/ini/folded_index.h"
#include "core/text/date_time.h"

namespace tw {

/// One INI file held in memory, in the program's own format: sections in file order, names and
/// keys compared without regard to case, the first of two equal sections or keys wins, lines
/// without "=" kept as they are, nothing trimmed, no comments. Files are read as UTF-8 when
/// valid, else as Windows-1252, and written as UTF-8 with CR LF line ends.
///
/// The store is written back whole, and only at write-back points: `WriteBackPoint` (which a
/// `TDeferredWriteBack` can hold off until a longer operation ends) and `UpdateFile`.
class TIniStore {
public:
    TIniStore();
    ~TIniStore();
    TIniStore(const TIniStore&) = delete;
    TIniStore& operator=(const TIniStore&) = delete;

    /// Reads the whole file; a missing file gives an empty store. Returns false and fills the
    /// error text when the file exists but cannot be read (the store is then empty).
    bool Open(const std::string& path, std::string* error = nullptr);

    /// Replaces the content by the given file text without touching the disk; the store counts
    /// as changed only when duplicate sections were dropped.
    void Parse(std::string bytes);

    /// The full path given to Open.
    const std::string& FileName() const { return path_; }

    bool SectionExists(std::string_view section) const;
    /// Section names in file order.
    std::vector<std::string> ReadSections() const;
    /// Keys of a section in file order (lines without "=" are not keys; a repeated key appears
    /// as often as it is written).
    std::vector<std::string> ReadSection(std::string_view section) const;
    /// Every line of a section as stored, keys and other lines alike.
    std::vector<std::string> ReadSectionLines(std::string_view section) const;
    size_t SectionCount() const { return live_sections_; }
    /// The text of a section as read from the file, for readers that scan many sections without
    /// copying: its lines with their line ends, including the empty lines and end-of-file marks
    /// that the other reads skip. Nothing when the section is missing, or when its lines were
    /// changed or indexed since the file was read (read it with the functions here then). Valid
    /// until the store changes.
    std::optional<std::string_view> SectionText(std::string_view section) const;
    /// Calls visit(name, text) for every section in file order, text as SectionText gives it;
    /// stops when visit returns false.
    void ForEachSectionText(
        const std::function<bool(std::string_view name, std::optional<std::string_view> text)>& visit) const;
    /// The smallest n >= 0 such that no section is named by the decimal text of n. Amortised
    /// constant time: the store remembers how far it has looked and which such names were erased.
    long long LowestFreeNumber() const;

    bool ValueExists(std::string_view section, std::string_view key) const;
    /// The value of the key, or nothing when it is missing; valid until the store changes.
    std::optional<std::string_view> FindValue(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    /// Decimal, or hexadecimal after "0x" in any case; any other text gives the default.
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    /// The stored integer is non-zero; the default when the key is missing or not a number.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, long long value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    /// Writes "dd.mm.yyyy"; the time of day is not stored.
    void WriteDate(std::string_view section, std::string_view key, TDateTime value);
    /// Appends a line as it stands (for copying sections between files).
    void AppendLine(std::string_view section, std::string_view line);

    void EraseSection(std::string_view section);
    void DeleteKey(std::string_view section, std::string_view key);

    /// True when the store holds changes that are not on disk.
    bool Modified() const { return modified_; }

    /// Writes the store to its file when it holds changes, atomically. Returns false and fills
    /// the error text when that fails; the changes then stay in memory and are written at the
    /// next write-back.
    bool UpdateFile(std::string* error = nullptr);

    /// A write-back point: UpdateFile, unless a TDeferredWriteBack holds write-backs off.
    bool WriteBackPoint(std::string* error = nullptr);

    /// The whole file text as a write-back would produce it.
    std::string ToText() const;

    /// Permission bits (before the umask) of the file when the first write-back creates it; with
    /// force, of every write-back (a file holding a password stays private whatever it had).
    void SetNewFileMode(unsigned mode, bool force = false) {
        new_file_mode_ = mode;
        force_file_mode_ = force;
    }

private:
    friend class TDeferredWriteBack;
    struct Line;
    struct LineTable;
    struct Section;

    std::string_view LineText(const Line& line) const;
    std::string_view KeyOf(const Line& line) const;
    Line MakeLine(std::string_view text);
    Section* FindSection(std::string_view name);
    const Section* FindSection(std::string_view name) const;
    Section& SectionForWrite(std::string_view name);
    LineTable& Materialize(const Section& section) const;
    long long FindKey(const Section& section, std::string_view key) const;
    std::optional<std::string_view> FindLineText(std::string_view section, std::string_view key) const;
    template <typename Visit>
    void ForEachLine(const Section& section, Visit visit) const;
    void Clear();
    template <typename Sink>
    void WriteTo(Sink& sink) const;

    std::string path_;
    std::string base_;   // the file text as read; lines point into it
    std::string extra_;  // texts written since
    std::vector<Section> sections_;
    TFoldedIndex section_index_;
    size_t live_sections_ = 0;
    mutable size_t last_section_ = SIZE_MAX;  // the section found last
    // The lines of the small, unchanged section read last (sections are read key after key).
    mutable std::vector<Line> read_cache_;
    mutable size_t read_cache_section_ = SIZE_MAX;
    // Every decimal section name below free_frontier_ exists or is in free_holes_.
    mutable long long free_frontier_ = 0;
    mutable std::set<long long> free_holes_;
    bool modified_ = false;
    int deferred_ = 0;
    unsigned new_file_mode_ = 0666;
    bool force_file_mode_ = false;
};

/// Holds off a store's write-back points while it lives; when the last one ends the store is
/// written back if changed. Long operations (loading every entry, imports) use it so that a
/// file is written once per operation, not once per repaired entry.
class TDeferredWriteBack {
public:
    explicit TDeferredWriteBack(TIniStore& store);
    ~TDeferredWriteBack();
    TDeferredWriteBack(const TDeferredWriteBack&) = delete;
    TDeferredWriteBack& operator=(const TDeferredWriteBack&) = delete;

    /// Ends the deferral now and writes back; false with the error text when writing fails.
    bool Finish(std::string* error = nullptr);

private:
    TIniStore* store_;
};

}  // namespace tw
