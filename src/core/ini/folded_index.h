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
            const Slot& slot = slots_[i];
            if (slot.Id == kEmpty) return -1;
            if (slot.Id != kRemoved && slot.Hash == hash && FoldedEqual(name_of(slot.Id - 1), name)) return slot.Id - 1;
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

    // The id and its name's hash side by side, so a probe reads one cache line.
    struct Slot {
        std::uint32_t Id = kEmpty;  // id + 1, kEmpty or kRemoved
        std::uint32_t Hash = 0;     // checked before the names are compared
    };
    std::vector<Slot> slots_;
    size_t used_ = 0;                    // slots that are not empty (live or removed)
    size_t live_ = 0;
};

}  // namespace tw
