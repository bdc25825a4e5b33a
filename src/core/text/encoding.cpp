#include "core/text/encoding.h"

#include <cstdint>
#include <cstring>

namespace tw {
namespace {

// Code points of the bytes 0x80..0x9F in Windows-1252; 0 marks the unassigned ones.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Length of the UTF-8 sequence starting at bytes[i], or 0 when it is malformed.
size_t SequenceLength(std::string_view bytes, size_t i) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
    unsigned char c = b(i);
    if (c < 0x80) return 1;
    size_t len;
    char32_t min;
    if ((c & 0xE0) == 0xC0) len = 2, min = 0x80;
    else if ((c & 0xF0) == 0xE0) len = 3, min = 0x800;
    else if ((c & 0xF8) == 0xF0) len = 4, min = 0x10000;
    else return 0;
    if (i + len > bytes.size()) return 0;
    char32_t cp = c & (0x7F >> len);
    for (size_t k = 1; k < len; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::optional<std::u32string> DecodeUtf8(std::string_view text) {
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        size_t len = SequenceLength(text, i);
        if (len == 0) return std::nullopt;
        char32_t cp = static_cast<unsigned char>(text[i]) & (len == 1 ? 0x7F : (0x7F >> len));
        for (size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        out.push_back(cp);
        i += len;
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        // Runs of ASCII are the common case in the program's files: eight bytes at a time.
        while (i + 8 <= bytes.size()) {
            std::uint64_t word;
            std::memcpy(&word, bytes.data() + i, 8);
            if (word & 0x8080808080808080ULL) break;
            i += 8;
        }
        if (i >= bytes.size()) break;
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        size_t len = SequenceLength(bytes, i);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (unsigned char c : bytes) {
        if (c < 0x80) out += static_cast<char>(c);
        else if (c < 0xA0 && kCp1252High[c - 0x80] != 0) AppendUtf8(out, kCp1252High[c - 0x80]);
        else AppendUtf8(out, c);
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        size_t len = SequenceLength(text, i);
        if (len == 0) {  // not UTF-8: keep the byte
            out += text[i++];
            continue;
        }
        char32_t cp = static_cast<unsigned char>(text[i]) & (len == 1 ? 0x7F : (0x7F >> len));
        for (size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        i += len;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
            continue;
        }
        char mapped = '?';
        for (int k = 0; k < 32; ++k)
            if (kCp1252High[k] == cp || (kCp1252High[k] == 0 && cp == static_cast<char32_t>(0x80 + k)))
                mapped = static_cast<char>(0x80 + k);
        out += mapped;
    }
    return out;
}

std::string DecodeFileText(std::string_view bytes) {
    if (IsValidUtf8(bytes)) return std::string(bytes);
    return Cp1252ToUtf8(bytes);
}

size_t Utf8Length(std::string_view text) {
    size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80;
    return n;
}

std::string_view Utf8Left(std::string_view text, size_t count) {
    size_t i = 0;
    for (size_t seen = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (seen == count) break;
            ++seen;
        }
    }
    return text.substr(0, i);
}

}  // namespace tw
