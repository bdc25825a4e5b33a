#include "core/ini/ini_store.h"

#include <charconv>
#include <cstring>
#include <optional>

#include "core/text/date_text.h"
#include "core/text/encoding.h"
#include "core/text/files.h"

namespace tw {
namespace {

constexpr std::uint32_t kInExtra = 0x80000000u;
constexpr std::uint32_t kNoKey = 0;
// Sections with more keys than this get a hash index; smaller ones are scanned by hash tag,
// which is faster for the dozen keys of an entry.
constexpr size_t kScanLimit = 16;

// The number a section name stands for when it is written exactly as a decimal number.
std::optional<long long> DecimalName(std::string_view name) {
    if (name.empty() || name.size() > 18 || (name.size() > 1 && name[0] == '0')) return std::nullopt;
    long long value = 0;
    for (char c : name) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::uint32_t KeyHash(std::string_view key) { return FoldedHash(key) | 1u; }

// A cheap tag that keys equal under the INI comparison share: the length and the folded first
// and last byte (bytes of accented letters count as 0, since their case lives in the byte). The
// lines of a section that is only read are told apart by it before their text is compared.
std::uint32_t KeyTag(std::string_view key) {
    auto fold = [](char c) -> std::uint32_t {
        unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x80) return 0;
        return u >= 'A' && u <= 'Z' ? u + 32u : u;
    };
    if (key.empty()) return 1;
    return (static_cast<std::uint32_t>(key.size() & 0xFFFF) | (fold(key.front()) << 16) | (fold(key.back()) << 24)) | 1u;
}

std::optional<int> ParseIniInteger(std::string_view text) {
    bool negative = false;
    std::string_view digits = text;
    if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
        negative = digits[0] == '-';
        digits.remove_prefix(1);
    }
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits.remove_prefix(2);
    }
    if (digits.empty()) return std::nullopt;
    long long value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    if (negative) value = -value;
    // Hexadecimal texts wrap into the 32-bit range, as "0xFFFFFFFF" reads as -1.
    if (base == 16 && value >= 0 && value <= 0xFFFFFFFFLL) return static_cast<int>(static_cast<std::uint32_t>(value));
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace

struct TIniStore::Line {
    std::uint32_t Offset = 0;  // into base_, or into extra_ with kInExtra set
    std::uint32_t Length = 0;
    std::uint32_t Hash = kNoKey;  // KeyHash of the key (KeyTag in the read cache), kNoKey without "="
};

struct TIniStore::LineTable {
    std::vector<Line> Lines;
    std::unique_ptr<TFoldedIndex> Keys;  // built on demand for big sections
};

// A section read from the file keeps only the place of its lines in the file text; the table of
// its lines is built when it is first changed, or when it is too big to be searched line by line.
// Most sections of a large file are only ever read, so this saves memory and the time to build
// a table per section when the file is opened.
struct TIniStore::Section {
    Line Name;
    std::uint32_t BodyOffset = 0;  // its lines in base_, while Table is not built
    std::uint32_t BodyLength = 0;
    std::uint32_t LineCount = 0;   // lines of the body
    mutable std::unique_ptr<LineTable> Table;
    bool Erased = false;
};

namespace {

// Calls visit(line text, offset in text) for every line of a section body (no empty lines, no
// end-of-file marks, CR before LF dropped) until visit returns true.
template <typename Visit>
void ForEachBodyLine(std::string_view text, size_t offset, size_t length, Visit visit) {
    size_t pos = offset, stop = offset + length;
    while (pos < stop) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos || end > stop) end = stop;
        size_t next = end + 1;
        if (end > pos && text[end - 1] == '\r') --end;
        std::string_view line = text.substr(pos, end - pos);
        size_t at = pos;
        pos = next;
        if (line.empty() || line == "\x1A") continue;
        if (visit(line, at)) return;
    }
}

}  // namespace

TIniStore::TIniStore() = default;
TIniStore::~TIniStore() = default;

std::string_view TIniStore::LineText(const Line& line) const {
    const std::string& buffer = (line.Offset & kInExtra) ? extra_ : base_;
    return std::string_view(buffer).substr(line.Offset & ~kInExtra, line.Length);
}

std::string_view TIniStore::KeyOf(const Line& line) const {
    std::string_view text = LineText(line);
    return text.substr(0, text.find('='));
}

TIniStore::Line TIniStore::MakeLine(std::string_view text) {
    Line line;
    line.Offset = static_cast<std::uint32_t>(extra_.size()) | kInExtra;
    line.Length = static_cast<std::uint32_t>(text.size());
    size_t eq = text.find('=');
    line.Hash = eq == std::string_view::npos ? kNoKey : KeyHash(text.substr(0, eq));
    extra_.append(text);
    return line;
}

void TIniStore::Clear() {
    base_.clear();
    extra_.clear();
    sections_.clear();
    section_index_.Clear();
    live_sections_ = 0;
    modified_ = false;
    free_frontier_ = 0;
    free_holes_.clear();
    read_cache_.clear();
    read_cache_section_ = SIZE_MAX;
}

bool TIniStore::Open(const std::string& path, std::string* error) {
    Clear();
    path_ = path;
    if (DirectoryExists(path)) {
        if (error) *error = "Cannot open file \"" + path + "\": it is a folder";
        return false;
    }
    if (!FileExists(path)) return true;
    std::string bytes;
    if (!ReadFileBytes(path, &bytes, error)) return false;
    if (bytes.size() >= kInExtra) {
        if (error) *error = "File too large: \"" + path + "\"";
        return false;
    }
    Parse(std::move(bytes));
    return true;
}

void TIniStore::Parse(std::string bytes) {
    Clear();
    base_ = IsValidUtf8(bytes) ? std::move(bytes) : Cp1252ToUtf8(bytes);
    // Sizing the tables once saves the copies and page faults of growing them line by line.
    size_t headers = base_.size() > 0 && base_[0] == '[';
    for (size_t at = base_.find("\n["); at != std::string::npos; at = base_.find("\n[", at + 2)) ++headers;
    sections_.reserve(headers);
    section_index_.Reserve(headers);
    Section* current = nullptr;
    bool dropping = false;  // inside a repeated section, whose lines are discarded
    auto close_section = [&](size_t at) {
        if (current) current->BodyLength = static_cast<std::uint32_t>(at - current->BodyOffset);
        current = nullptr;
    };
    std::string_view text(base_);
    ForEachBodyLine(text, 0, text.size(), [&](std::string_view line, size_t line_start) {
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            close_section(line_start);
            std::string_view name = line.substr(1, line.size() - 2);
            dropping = FindSection(name) != nullptr;
            if (dropping) {
                modified_ = true;
                return false;
            }
            sections_.emplace_back();
            current = &sections_.back();
            current->Name = {static_cast<std::uint32_t>(line_start + 1), static_cast<std::uint32_t>(name.size()),
                             FoldedHash(name)};
            // The body starts right after the header; the rest of the header's line end reads
            // as an empty line, which is skipped.
            current->BodyOffset = static_cast<std::uint32_t>(line_start + line.size());
            section_index_.Insert(static_cast<std::uint32_t>(sections_.size() - 1), current->Name.Hash);
            ++live_sections_;
        } else if (current && !dropping) {
            ++current->LineCount;
        }
        return false;
    });
    close_section(text.size());
}

TIniStore::LineTable& TIniStore::Materialize(const Section& section) const {
    if (section.Table) return *section.Table;
    section.Table = std::make_unique<LineTable>();
    std::vector<Line>& lines = section.Table->Lines;
    lines.reserve(section.LineCount);
    ForEachBodyLine(base_, section.BodyOffset, section.BodyLength, [&](std::string_view line, size_t at) {
        size_t eq = line.find('=');
        lines.push_back({static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(line.size()),
                         eq == std::string_view::npos ? kNoKey : KeyHash(line.substr(0, eq))});
        return false;
    });
    return *section.Table;
}

template <typename Visit>
void TIniStore::ForEachLine(const Section& section, Visit visit) const {
    if (section.Table) {
        for (const Line& line : section.Table->Lines)
            if (visit(LineText(line))) return;
        return;
    }
    ForEachBodyLine(base_, section.BodyOffset, section.BodyLength,
                    [&](std::string_view line, size_t) { return visit(line); });
}

TIniStore::Section* TIniStore::FindSection(std::string_view name) {
    // Readers ask for many keys of one section in a row.
    if (last_section_ < sections_.size() && !sections_[last_section_].Erased &&
        FoldedEqual(LineText(sections_[last_section_].Name), name))
        return &sections_[last_section_];
    long long i = section_index_.Find(name, FoldedHash(name),
                                      [this](std::uint32_t id) { return LineText(sections_[id].Name); });
    if (i < 0) return nullptr;
    last_section_ = static_cast<size_t>(i);
    return &sections_[last_section_];
}

const TIniStore::Section* TIniStore::FindSection(std::string_view name) const {
    return const_cast<TIniStore*>(this)->FindSection(name);
}

TIniStore::Section& TIniStore::SectionForWrite(std::string_view name) {
    if (Section* found = FindSection(name)) return *found;
    sections_.emplace_back();
    Section& section = sections_.back();
    section.Name.Offset = static_cast<std::uint32_t>(extra_.size()) | kInExtra;
    section.Name.Length = static_cast<std::uint32_t>(name.size());
    section.Name.Hash = FoldedHash(name);
    extra_.append(name);
    section.Table = std::make_unique<LineTable>();
    section_index_.Insert(static_cast<std::uint32_t>(sections_.size() - 1), section.Name.Hash);
    ++live_sections_;
    return section;
}

long long TIniStore::FindKey(const Section& section, std::string_view key) const {
    LineTable& table = Materialize(section);
    const std::vector<Line>& lines = table.Lines;
    std::uint32_t hash = KeyHash(key);
    if (lines.size() <= kScanLimit) {
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].Hash == hash && FoldedEqual(KeyOf(lines[i]), key)) return static_cast<long long>(i);
        return -1;
    }
    auto name_of = [&](std::uint32_t id) { return KeyOf(lines[id]); };
    if (!table.Keys) {
        table.Keys = std::make_unique<TFoldedIndex>();
        table.Keys->Reserve(lines.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].Hash == kNoKey) continue;
            // The first line of a key wins; later repeats stay out of the index.
            if (table.Keys->Find(KeyOf(lines[i]), lines[i].Hash, name_of) < 0)
                table.Keys->Insert(static_cast<std::uint32_t>(i), lines[i].Hash);
        }
    }
    return table.Keys->Find(key, hash, name_of);
}

std::optional<std::string_view> TIniStore::FindLineText(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (!s) return std::nullopt;
    if (s->Table || s->LineCount > kScanLimit) {
        long long i = FindKey(*s, key);
        if (i < 0) return std::nullopt;
        return LineText(s->Table->Lines[static_cast<size_t>(i)]);
    }
    // A small section that was only read: the lines of the section read last are kept in one
    // shared table, since readers ask for many keys of one section in a row.
    const size_t index = static_cast<size_t>(s - sections_.data());
    if (read_cache_section_ != index) {
        read_cache_.clear();
        ForEachBodyLine(base_, s->BodyOffset, s->BodyLength, [&](std::string_view line, size_t at) {
            size_t eq = line.find('=');
            read_cache_.push_back({static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(line.size()),
                                   eq == std::string_view::npos ? kNoKey : KeyTag(line.substr(0, eq))});
            return false;
        });
        read_cache_section_ = index;
    }
    const std::uint32_t tag = KeyTag(key);
    for (const Line& line : read_cache_)
        if (line.Hash == tag && FoldedEqual(KeyOf(line), key)) return LineText(line);
    return std::nullopt;
}

long long TIniStore::LowestFreeNumber() const {
    while (!free_holes_.empty()) {
        long long hole = *free_holes_.begin();
        if (!SectionExists(std::to_string(hole))) return hole;
        free_holes_.erase(free_holes_.begin());
    }
    while (SectionExists(std::to_string(free_frontier_))) ++free_frontier_;
    return free_frontier_;
}

bool TIniStore::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

std::optional<std::string_view> TIniStore::SectionText(std::string_view section) const {
    const Section* s = FindSection(section);
    if (!s || s->Table) return std::nullopt;
    return std::string_view(base_).substr(s->BodyOffset, s->BodyLength);
}

void TIniStore::ForEachSectionText(
    const std::function<bool(std::string_view name, std::optional<std::string_view> text)>& visit) const {
    for (const Section& s : sections_) {
        if (s.Erased) continue;
        std::optional<std::string_view> text;
        if (!s.Table) text = std::string_view(base_).substr(s.BodyOffset, s.BodyLength);
        if (!visit(LineText(s.Name), text)) return;
    }
}

std::vector<std::string> TIniStore::ReadSections() const {
    std::vector<std::string> names;
    names.reserve(live_sections_);
    for (const Section& s : sections_)
        if (!s.Erased) names.emplace_back(LineText(s.Name));
    return names;
}

std::vector<std::string> TIniStore::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    if (const Section* s = FindSection(section))
        ForEachLine(*s, [&](std::string_view line) {
            size_t eq = line.find('=');
            if (eq != std::string_view::npos) keys.emplace_back(line.substr(0, eq));
            return false;
        });
    return keys;
}

std::vector<std::string> TIniStore::ReadSectionLines(std::string_view section) const {
    std::vector<std::string> lines;
    if (const Section* s = FindSection(section))
        ForEachLine(*s, [&](std::string_view line) {
            lines.emplace_back(line);
            return false;
        });
    return lines;
}

bool TIniStore::ValueExists(std::string_view section, std::string_view key) const {
    return FindLineText(section, key).has_value();
}

std::optional<std::string_view> TIniStore::FindValue(std::string_view section, std::string_view key) const {
    std::optional<std::string_view> text = FindLineText(section, key);
    if (!text) return std::nullopt;
    return text->substr(text->find('=') + 1);
}

std::string TIniStore::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    std::optional<std::string_view> value = FindValue(section, key);
    return std::string(value ? *value : def);
}

int TIniStore::ReadInteger(std::string_view section, std::string_view key, int def) const {
    std::optional<std::string_view> value = FindValue(section, key);
    return value ? ParseIniInteger(*value).value_or(def) : def;
}

bool TIniStore::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniStore::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Section& s = SectionForWrite(section);
    LineTable& table = Materialize(s);
    long long i = FindKey(s, key);
    if (i >= 0) {
        Line& line = table.Lines[static_cast<size_t>(i)];
        std::string_view old = LineText(line);
        std::string_view old_key = old.substr(0, old.find('='));
        if (old.substr(old_key.size() + 1) == value) return;
        // The line keeps its own spelling of the key.
        std::string text;
        text.reserve(old_key.size() + 1 + value.size());
        text.append(old_key).append("=").append(value);
        line = MakeLine(text);
    } else {
        std::string text;
        text.reserve(key.size() + 1 + value.size());
        text.append(key).append("=").append(value);
        table.Lines.push_back(MakeLine(text));
        if (table.Keys) table.Keys->Insert(static_cast<std::uint32_t>(table.Lines.size() - 1), table.Lines.back().Hash);
    }
    modified_ = true;
}

void TIniStore::WriteInteger(std::string_view section, std::string_view key, long long value) {
    WriteString(section, key, std::to_string(value));
}

void TIniStore::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TIniStore::WriteDate(std::string_view section, std::string_view key, TDateTime value) {
    WriteString(section, key, DateToText(value));
}

void TIniStore::AppendLine(std::string_view section, std::string_view text) {
    LineTable& table = Materialize(SectionForWrite(section));
    table.Lines.push_back(MakeLine(text));
    table.Keys.reset();
    modified_ = true;
}

void TIniStore::EraseSection(std::string_view section) {
    Section* s = FindSection(section);
    if (!s) return;
    section_index_.Remove(static_cast<std::uint32_t>(s - sections_.data()), s->Name.Hash);
    if (auto number = DecimalName(section); number && *number < free_frontier_) free_holes_.insert(*number);
    s->Erased = true;
    s->Table.reset();
    s->LineCount = 0;
    --live_sections_;
    modified_ = true;
}

void TIniStore::DeleteKey(std::string_view section, std::string_view key) {
    Section* s = FindSection(section);
    if (!s) return;
    long long i = FindKey(*s, key);
    if (i < 0) return;
    LineTable& table = *s->Table;
    table.Lines.erase(table.Lines.begin() + i);
    table.Keys.reset();
    modified_ = true;
}

template <typename Sink>
void TIniStore::WriteTo(Sink& sink) const {
    for (const Section& s : sections_) {
        if (s.Erased || (s.Table ? s.Table->Lines.empty() : s.LineCount == 0)) continue;
        sink("[");
        sink(LineText(s.Name));
        sink("]\r\n");
        ForEachLine(s, [&](std::string_view line) {
            sink(line);
            sink("\r\n");
            return false;
        });
        sink("\r\n");
    }
}

std::string TIniStore::ToText() const {
    std::string out;
    auto sink = [&](std::string_view piece) { out.append(piece); };
    WriteTo(sink);
    return out;
}

bool TIniStore::UpdateFile(std::string* error) {
    if (!modified_) return true;
    TAtomicFile file;
    if (!file.Begin(path_, error, new_file_mode_, force_file_mode_)) return false;
    auto sink = [&](std::string_view piece) { file.Write(piece); };
    WriteTo(sink);
    if (!file.Commit(error)) return false;
    modified_ = false;
    return true;
}

bool TIniStore::WriteBackPoint(std::string* error) { return deferred_ > 0 || UpdateFile(error); }

TDeferredWriteBack::TDeferredWriteBack(TIniStore& store) : store_(&store) { ++store_->deferred_; }

TDeferredWriteBack::~TDeferredWriteBack() { Finish(); }

bool TDeferredWriteBack::Finish(std::string* error) {
    if (!store_) return true;
    TIniStore* store = store_;
    store_ = nullptr;
    return --store->deferred_ > 0 || store->UpdateFile(error);
}

}  // namespace tw
