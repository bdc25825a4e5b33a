#include "core/options/password_cipher.h"

#include <cstdint>
#include <optional>

#include "core/text/encoding.h"

namespace tw {
namespace {

// Characters are enciphered within their class, so printable text stays printable and keeps its
// length: printable ASCII, printable Latin-1, and every other character from U+0100 on (without
// the surrogates and the escape character). Control characters and the escape character itself
// are written as the escape character followed by a printable ASCII character.
constexpr char32_t kEscape = 0x2400;  // SYMBOL FOR NULL
constexpr char32_t kMaxScalar = 0x10FFFF;
constexpr std::uint32_t kAsciiSize = 0x7F - 0x20;             // 0x20..0x7E
constexpr std::uint32_t kLatinSize = 0x100 - 0xA0;            // 0xA0..0xFF
constexpr std::uint32_t kWideSize = kMaxScalar + 1 - 0x100 - 0x800 - 1;

// The key stream; the same for both directions.
class TKeyStream {
public:
    TKeyStream() : state_(0x54616777616368ULL ^ 0x9E3779B97F4A7C15ULL) {}
    std::uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<std::uint32_t>(state_ >> 11);
    }

private:
    std::uint64_t state_;
};

bool IsControl(char32_t cp) { return cp < 0x20 || (cp >= 0x7F && cp < 0xA0); }

// Position of a wide character in its class, skipping the surrogates and the escape character.
std::uint32_t WideIndex(char32_t cp) {
    std::uint32_t i = cp - 0x100;
    if (cp > 0xDFFF) i -= 0x800;
    if (cp > kEscape) i -= 1;
    return i;
}

char32_t WideChar(std::uint32_t i) {
    char32_t cp = i + 0x100;
    if (cp >= kEscape) cp += 1;
    if (cp >= 0xD800) cp += 0x800;
    // The escape character lies below the surrogates, so one pass settles both.
    return cp;
}

std::uint32_t Rotate(std::uint32_t index, std::uint32_t size, std::uint32_t key, bool forward) {
    std::uint32_t shift = key % size;
    return forward ? (index + shift) % size : (index + size - shift) % size;
}

// Escape codes: 0..31 the C0 controls, 32 DEL, 33..64 the C1 controls, 65 the escape character.
std::uint32_t EscapeCode(char32_t cp) {
    if (cp < 0x20) return cp;
    if (cp == kEscape) return 65;
    return cp - 0x7F + 32;
}

char32_t FromEscapeCode(std::uint32_t code) {
    if (code < 32) return code;
    if (code == 65) return kEscape;
    return code - 32 + 0x7F;
}

}  // namespace

std::string EncryptText(std::string_view text) {
    auto chars = DecodeUtf8(text);
    if (!chars) return "";
    TKeyStream keys;
    std::string out;
    size_t length = 0;
    for (char32_t cp : *chars) {
        std::uint32_t key = keys.Next();
        if (IsControl(cp) || cp == kEscape) {
            AppendUtf8(out, kEscape);
            AppendUtf8(out, 0x21 + Rotate(EscapeCode(cp), 66, key, true));
            length += 2;
        } else if (cp < 0x7F) {
            AppendUtf8(out, 0x20 + Rotate(cp - 0x20, kAsciiSize, key, true));
            ++length;
        } else if (cp < 0x100) {
            AppendUtf8(out, 0xA0 + Rotate(cp - 0xA0, kLatinSize, key, true));
            ++length;
        } else {
            AppendUtf8(out, WideChar(Rotate(WideIndex(cp), kWideSize, key, true)));
            ++length;
        }
    }
    return length <= 255 ? out : "";
}

std::string DecryptText(std::string_view text) {
    auto chars = DecodeUtf8(text);
    if (!chars) return "";
    TKeyStream keys;
    std::string out;
    for (size_t i = 0; i < chars->size(); ++i) {
        char32_t cp = (*chars)[i];
        std::uint32_t key = keys.Next();
        if (cp == kEscape) {
            if (++i >= chars->size()) return "";
            char32_t code = (*chars)[i];
            if (code < 0x21 || code >= 0x21 + 66) return "";
            AppendUtf8(out, FromEscapeCode(Rotate(code - 0x21, 66, key, false)));
        } else if (IsControl(cp)) {
            return "";
        } else if (cp < 0x7F) {
            AppendUtf8(out, 0x20 + Rotate(cp - 0x20, kAsciiSize, key, false));
        } else if (cp < 0x100) {
            AppendUtf8(out, 0xA0 + Rotate(cp - 0xA0, kLatinSize, key, false));
        } else {
            AppendUtf8(out, WideChar(Rotate(WideIndex(cp), kWideSize, key, false)));
        }
    }
    return out;
}

}  // namespace tw
