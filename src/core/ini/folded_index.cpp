#include "core/ini/folded_index.h"

#include <algorithm>
#include <cstring>

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
    // Eight bytes at a time: runs of ASCII are folded with word arithmetic, other words byte by
    // byte; both give the same folded word, so the hash does not depend on the path taken.
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    std::uint64_t h = 0x9E3779B97F4A7C15ULL ^ name.size();
    unsigned char prev = 0;
    for (size_t i = 0; i < name.size(); i += 8) {
        size_t n = std::min<size_t>(8, name.size() - i);
        std::uint64_t word = 0;
        std::memcpy(&word, name.data() + i, n);
        if ((word & kHigh) == 0) {
            // Bytes from 'A' to 'Z' get their 0x20 bit set.
            std::uint64_t above_a = word + 0x3F3F3F3F3F3F3F3FULL;  // high bit set for bytes >= 'A'
            std::uint64_t above_z = word + 0x2525252525252525ULL;  // high bit set for bytes > 'Z'
            word |= ((above_a & ~above_z) & kHigh) >> 2;
        } else {
            std::uint64_t folded = 0;
            for (size_t k = 0; k < n; ++k) {
                unsigned char c = static_cast<unsigned char>(name[i + k]);
                unsigned char f = c;
                if (c >= 'A' && c <= 'Z') f = static_cast<unsigned char>(c + 32);
                else if (c >= 0x80 && c <= 0x9E && c != 0x97 && (k ? static_cast<unsigned char>(name[i + k - 1]) : prev) == 0xC3)
                    f = static_cast<unsigned char>(c + 32);
                folded |= static_cast<std::uint64_t>(f) << (8 * k);
            }
            word = folded;
        }
        prev = static_cast<unsigned char>(name[i + n - 1]);
        h = (h ^ word) * 0xFF51AFD7ED558CCDULL;
        h ^= h >> 32;
    }
    return static_cast<std::uint32_t>(h ^ (h >> 29));
}

bool FoldedEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    if (a == b) return true;  // the usual case: the same spelling
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
