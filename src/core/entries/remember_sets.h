#pragma once

#include <cstdint>
#include <initializer_list>

namespace tw {

/// How to remind; bit k of the stored byte is element k.
enum TRememberOption : std::uint8_t { roStandard, roSound, roSpeech, roKeyboard, roEmail };

/// When to remind, by days before the next occurrence; bit k of the stored word is element k.
enum TRememberTime : std::uint8_t { rtStandard, rtD0, rtD1, rtD2, rtD5, rtD7, rtD10, rtD14, rtD21, rtD28 };

/// A small set of enumeration elements kept as bits.
template <typename Element, typename Bits>
struct TElementSet {
    Bits Value = 0;

    constexpr TElementSet() = default;
    constexpr TElementSet(std::initializer_list<Element> elements) {
        for (Element e : elements) Include(e);
    }
    constexpr bool Has(Element e) const { return (Value >> e) & 1u; }
    constexpr void Include(Element e) { Value = static_cast<Bits>(Value | (1u << e)); }
    constexpr void Exclude(Element e) { Value = static_cast<Bits>(Value & ~(1u << e)); }
    constexpr void Set(Element e, bool on) { on ? Include(e) : Exclude(e); }
    constexpr bool Empty() const { return Value == 0; }
    constexpr bool operator==(const TElementSet&) const = default;
};

using TRememberOptions = TElementSet<TRememberOption, std::uint8_t>;
using TRememberTimes = TElementSet<TRememberTime, std::uint16_t>;

/// Day counts of rtD0 … rtD28, in element order.
inline constexpr int kRememberDays[] = {0, 1, 2, 5, 7, 10, 14, 21, 28};

}  // namespace tw
