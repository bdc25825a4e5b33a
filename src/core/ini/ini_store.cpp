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
    std::uint32_t Hash = kNoKey;  // KeyHash of the key, kNoKey for a line without "="
};

struct TIniStore::Section {
    Line Name;
    std::vector<Line> Lines;
    mutable std::unique_ptr<TFoldedIndex> Keys;  // built on demand for big sections
    bool Erased = false;
};

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
    std::vector<Line> scratch;
    Section* current = nullptr;
    bool dropping = false;  // inside a repeated section, whose lines are discarded
    auto close_section = [&]() {
        if (current) current->Lines.assign(scratch.begin(), scratch.end());
        scratch.clear();
        current = nullptr;
    };
    std::string_view text(base_);
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        size_t next = end + 1;
        if (end > pos && text[end - 1] == '\r') --end;
        std::string_view line = text.substr(pos, end - pos);
        Line stored{static_cast<std::uint32_t>(pos), static_cast<std::uint32_t>(line.size()), kNoKey};
        pos = next;
        if (line.empty() || line == "\x1A") continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            close_section();
            std::string_view name = line.substr(1, line.size() - 2);
            std::uint32_t hash = FoldedHash(name);
            if (FindSection(name)) {
                dropping = true;
                modified_ = true;
                continue;
            }
            dropping = false;
            sections_.emplace_back();
            current = &sections_.back();
            current->Name = {stored.Offset + 1, static_cast<std::uint32_t>(name.size()), hash};
            section_index_.Insert(static_cast<std::uint32_t>(sections_.size() - 1), hash);
            ++live_sections_;
            continue;
        }
        if (!current || dropping) continue;
        size_t eq = line.find('=');
        if (eq != std::string_view::npos) stored.Hash = KeyHash(line.substr(0, eq));
        scratch.push_back(stored);
    }
    close_section();
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
    section_index_.Insert(static_cast<std::uint32_t>(sections_.size() - 1), section.Name.Hash);
    ++live_sections_;
    return section;
}

long long TIniStore::FindKey(const Section& section, std::string_view key) const {
    std::uint32_t hash = KeyHash(key);
    const std::vector<Line>& lines = section.Lines;
    if (lines.size() <= kScanLimit) {
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].Hash == hash && FoldedEqual(KeyOf(lines[i]), key)) return static_cast<long long>(i);
        return -1;
    }
    if (!section.Keys) {
        section.Keys = std::make_unique<TFoldedIndex>();
        section.Keys->Reserve(lines.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].Hash == kNoKey) continue;
            std::string_view k = KeyOf(lines[i]);
            auto name_of = [&](std::uint32_t id) { return KeyOf(lines[id]); };
            // The first line of a key wins; later repeats stay out of the index.
            if (section.Keys->Find(k, lines[i].Hash, name_of) < 0)
                section.Keys->Insert(static_cast<std::uint32_t>(i), lines[i].Hash);
        }
    }
    return section.Keys->Find(key, hash, [&](std::uint32_t id) { return KeyOf(lines[id]); });
}

const TIniStore::Line* TIniStore::FindLine(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (!s) return nullptr;
    long long i = FindKey(*s, key);
    return i < 0 ? nullptr : &s->Lines[static_cast<size_t>(i)];
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
        for (const Line& line : s->Lines)
            if (line.Hash != kNoKey) keys.emplace_back(KeyOf(line));
    return keys;
}

std::vector<std::string> TIniStore::ReadSectionLines(std::string_view section) const {
    std::vector<std::string> lines;
    if (const Section* s = FindSection(section))
        for (const Line& line : s->Lines) lines.emplace_back(LineText(line));
    return lines;
}

bool TIniStore::ValueExists(std::string_view section, std::string_view key) const {
    return FindLine(section, key) != nullptr;
}

std::string TIniStore::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    const Line* line = FindLine(section, key);
    if (!line) return std::string(def);
    std::string_view text = LineText(*line);
    return std::string(text.substr(text.find('=') + 1));
}

int TIniStore::ReadInteger(std::string_view section, std::string_view key, int def) const {
    const Line* line = FindLine(section, key);
    if (!line) return def;
    std::string_view text = LineText(*line);
    return ParseIniInteger(text.substr(text.find('=') + 1)).value_or(def);
}

bool TIniStore::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniStore::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Section& s = SectionForWrite(section);
    long long i = FindKey(s, key);
    if (i >= 0) {
        Line& line = s.Lines[static_cast<size_t>(i)];
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
        s.Lines.push_back(MakeLine(text));
        if (s.Keys) s.Keys->Insert(static_cast<std::uint32_t>(s.Lines.size() - 1), s.Lines.back().Hash);
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
    Section& s = SectionForWrite(section);
    s.Lines.push_back(MakeLine(text));
    s.Keys.reset();
    modified_ = true;
}

void TIniStore::EraseSection(std::string_view section) {
    Section* s = FindSection(section);
    if (!s) return;
    section_index_.Remove(static_cast<std::uint32_t>(s - sections_.data()), s->Name.Hash);
    if (auto number = DecimalName(section); number && *number < free_frontier_) free_holes_.insert(*number);
    s->Erased = true;
    std::vector<Line>().swap(s->Lines);
    s->Keys.reset();
    --live_sections_;
    modified_ = true;
}

void TIniStore::DeleteKey(std::string_view section, std::string_view key) {
    Section* s = FindSection(section);
    if (!s) return;
    long long i = FindKey(*s, key);
    if (i < 0) return;
    s->Lines.erase(s->Lines.begin() + i);
    s->Keys.reset();
    modified_ = true;
}

template <typename Sink>
void TIniStore::WriteTo(Sink& sink) const {
    for (const Section& s : sections_) {
        if (s.Erased || s.Lines.empty()) continue;
        sink("[");
        sink(LineText(s.Name));
        sink("]\r\n");
        for (const Line& line : s.Lines) {
            sink(LineText(line));
            sink("\r\n");
        }
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
