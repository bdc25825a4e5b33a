#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tw {

/// The hash of a name as the INI files compare names: without regard to the case of the
/// letters A–Z and of the accented Latin letters (À–Þ), so "ÄNDERUNG" and "änderung" agree.
std::uint32_t FoldedHash(std::string_view name);

/// True when two names are equal under that comparison.
bool FoldedEqual(std::string_view a, std::string_view b);

/// An open-addressing hash index from names to small integer ids. It stores only the ids; the
/// caller supplies each id's hash and name, so an index of a million keys takes a few bytes per
/// key.
class TFoldedIndex {
public:
    /// The id stored for a name, or -1. name_of(id) returns the name behind an id.
    template <typename NameOf>
    long long Find(std::string_view name, std::uint32_t hash, NameOf name_of) const {
        if (slots_.empty()) return -1;
        size_t mask = slots_.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            std::uint32_t slot = slots_[i];
            if (slot == kEmpty) return -1;
            if (slot != kRemoved && hashes_[i] == hash && FoldedEqual(name_of(slot - 1), name)) return slot - 1;
        }
    }

    /// Adds an id under its name's hash; the caller makes sure the name is not there yet.
    void Insert(std::uint32_t id, std::uint32_t hash);

    /// Removes the id stored under that hash.
    void Remove(std::uint32_t id, std::uint32_t hash);

    void Clear();
    void Reserve(size_t count);

private:
    static constexpr std::uint32_t kEmpty = 0;
    static constexpr std::uint32_t kRemoved = 0xFFFFFFFFu;
    void Grow(size_t capacity);

    std::vector<std::uint32_t> slots_;   // id + 1, kEmpty or kRemoved
    std::vector<std::uint32_t> hashes_;  // hash of the slot's name, checked before the names
    size_t used_ = 0;                    // slots that are not empty (live or removed)
    size_t live_ = 0;
};

}  // namespace tw
