#include "core/ini/folded_index.h"

namespace tw {
namespace {

// Folds one byte position of UTF-8 text; accented capitals À–Þ are C3 80–C3 9E (without the
// multiplication sign C3 97) and fold to C3 A0–C3 BE.
inline unsigned char FoldAt(std::string_view s, size_t i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0x80 && c <= 0x9E && c != 0x97 && i > 0 && static_cast<unsigned char>(s[i - 1]) == 0xC3)
        return static_cast<unsigned char>(c + 32);
    return c;
}

}  // namespace

std::uint32_t FoldedHash(std::string_view name) {
    std::uint32_t h = 2166136261u;
    for (size_t i = 0; i < name.size(); ++i) {
        h ^= FoldAt(name, i);
        h *= 16777619u;
    }
    return h ^ (h >> 15);
}

bool FoldedEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && FoldAt(a, i) != FoldAt(b, i)) return false;
    return true;
}

void TFoldedIndex::Insert(std::uint32_t id, std::uint32_t hash) {
    if ((used_ + 1) * 10 >= slots_.size() * 7) Grow(live_ * 2 + 16);
    size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        if (slots_[i].Id == kEmpty || slots_[i].Id == kRemoved) {
            if (slots_[i].Id == kEmpty) ++used_;
            slots_[i] = {id + 1, hash};
            ++live_;
            return;
        }
    }
}

void TFoldedIndex::Remove(std::uint32_t id, std::uint32_t hash) {
    if (slots_.empty()) return;
    size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        if (slots_[i].Id == kEmpty) return;
        if (slots_[i].Id == id + 1) {
            slots_[i].Id = kRemoved;
            --live_;
            return;
        }
    }
}

void TFoldedIndex::Clear() {
    slots_.clear();
    used_ = live_ = 0;
}

void TFoldedIndex::Reserve(size_t count) {
    if (count * 10 >= slots_.size() * 7) Grow(count);
}

void TFoldedIndex::Grow(size_t capacity) {
    size_t size = 16;
    while (size * 7 <= capacity * 10) size *= 2;
    std::vector<Slot> old_slots(size);
    old_slots.swap(slots_);
    used_ = live_ = 0;
    for (const Slot& slot : old_slots)
        if (slot.Id != kEmpty && slot.Id != kRemoved) Insert(slot.Id - 1, slot.Hash);
}

}  // namespace tw
