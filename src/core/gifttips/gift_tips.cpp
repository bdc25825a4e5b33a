#include "core/gifttips/gift_tips.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numeric>
#include <utility>

#include "core/importexport/csv_split.h"
#include "core/text/clock.h"
#include "core/text/date_text.h"
#include "core/text/encoding.h"
#include "core/text/files.h"
#include "core/text/messages.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

constexpr const char* kFilesMissing = "Die richtigen Dateien für die Geschenktipps wurden nicht gefunden!";
constexpr const char* kTemplateBroken = "Fehler beim einlesen des HTML Templates!";
constexpr const char* kEuroSign = "\xE2\x82\xAC";

char LowerChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, size_t position, std::string_view prefix) {
    if (text.size() - position < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (LowerChar(text[position + i]) != LowerChar(prefix[i])) return false;
    }
    return true;
}

// Replaces every placeholder (any case) in one pass, so a value that itself holds a
// placeholder's text stays as it is.
std::string ReplacePlaceholders(std::string_view text,
                                const std::vector<std::pair<std::string_view, std::string_view>>& pairs) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        bool replaced = false;
        if (text[i] == '%') {
            for (const auto& [placeholder, value] : pairs) {
                if (StartsWithNoCase(text, i, placeholder)) {
                    out += value;
                    i += placeholder.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += text[i++];
    }
    return out;
}

std::string JoinLines(const std::vector<std::string_view>& lines, size_t begin, size_t end) {
    std::string joined;
    for (size_t i = begin; i < end && i < lines.size(); ++i) joined += lines[i];
    return joined;
}

std::optional<double> ParsePrice(std::string_view text) {
    std::string number(text);
    size_t comma = number.find(',');
    if (comma != std::string::npos) {
        // Only one separator: "1.234,50" is no number here, as it is none for the locale.
        if (number.find('.') != std::string::npos || number.find(',', comma + 1) != std::string::npos)
            return std::nullopt;
        number[comma] = '.';
    }
    double value = 0;
    const char* first = number.data();
    const char* last = number.data() + number.size();
    auto [end, ec] = std::from_chars(first, last, value);
    if (number.empty() || ec != std::errc() || end != last || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::uint32_t ClockSeed() {
    auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    return static_cast<std::uint32_t>(ticks ^ (ticks >> 32));
}

}  // namespace

TTWGeschenktipps::TTWGeschenktipps() : random_(ClockSeed()) {}

void TTWGeschenktipps::LoadFiles(const std::string& program_dir) {
    Products.clear();
    BoxTemplate.clear();
    ProductBlock.clear();
    PageHead.clear();
    PageTail.clear();
    Loaded = false;

    std::error_code ec;
    std::filesystem::path base = std::filesystem::absolute(program_dir.empty() ? "." : program_dir, ec);
    std::string dir = ec ? program_dir : base.lexically_normal().string();
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    folder_ = (dir == "/" ? "" : dir) + "/geschenktipps/";
    ProductFile = folder_ + "remember.csv";
    MainTemplateFile = folder_ + "template_main.html";
    BoxTemplateFile = folder_ + "template_geschenkbox.html";

    std::string products_text, main_text, box_text, error;
    if (!FileExists(ProductFile) || !FileExists(MainTemplateFile) || !FileExists(BoxTemplateFile) ||
        !ReadImportText(ProductFile, &products_text, &error) ||
        !ReadImportText(MainTemplateFile, &main_text, &error) ||
        !ReadImportText(BoxTemplateFile, &box_text, &error)) {
        Messages().MsgBox(kFilesMissing, TMsgButtons::Ok, TMsgIcon::Error);
        return;
    }

    std::vector<std::string_view> lines = SplitTextLines(products_text);
    for (size_t i = 1; i < lines.size(); ++i) {
        TTWProdukt product;
        if (ParseProductLine(lines[i], &product)) Products.push_back(std::move(product));
    }

    if (!ReadMainTemplate(main_text)) {
        Messages().MsgBox(kTemplateBroken, TMsgButtons::Ok, TMsgIcon::Error);
        return;
    }
    std::vector<std::string_view> box_lines = SplitTextLines(box_text);
    std::string path = HtmlEscape(folder_);
    BoxTemplate =
        ReplacePlaceholders(JoinLines(box_lines, 0, box_lines.size()), {{"%%template_path%%", path}});
    Loaded = true;
}

bool TTWGeschenktipps::ReadMainTemplate(const std::string& text) {
    std::vector<std::string_view> lines = SplitTextLines(text);
    auto find_line = [&](std::string_view marker) {
        for (size_t i = 0; i < lines.size(); ++i) {
            if (SameTextAscii(lines[i], marker)) return static_cast<long long>(i);
        }
        return -1LL;
    };
    long long start = find_line("%%prod_details_start%%");
    long long end = find_line("%%prod_details_ende%%");
    if (start < 0 || end < 0 || end < start) return false;

    std::string path = HtmlEscape(folder_);
    auto part = [&](size_t begin, size_t finish) {
        return ReplacePlaceholders(JoinLines(lines, begin, finish), {{"%%template_path%%", path}});
    };
    PageHead = part(0, static_cast<size_t>(start));
    ProductBlock = part(static_cast<size_t>(start) + 1, static_cast<size_t>(end));
    PageTail = part(static_cast<size_t>(end) + 1, lines.size());
    return true;
}

std::string TTWGeschenktipps::BuildPage(int count, bool single_entry, const std::string& decimal_separator) {
    if (!Loaded) return "";
    std::string page;
    if (single_entry) {
        count = 1;
    } else {
        page = PageHead;
    }
    if (count > 0) {
        size_t drawn = std::min(static_cast<size_t>(count), Products.size());
        // Partial Fisher-Yates: each draw is uniform over the positions not drawn yet.
        std::vector<size_t> positions(Products.size());
        std::iota(positions.begin(), positions.end(), size_t{0});
        const std::string& block = single_entry ? BoxTemplate : ProductBlock;
        for (size_t i = 0; i < drawn; ++i) {
            std::uniform_int_distribution<size_t> pick(i, positions.size() - 1);
            std::swap(positions[i], positions[pick(random_)]);
            const TTWProdukt& product = Products[positions[i]];
            std::string price = FormatPrice(product.ProdPrice, decimal_separator);
            page += ReplacePlaceholders(block, {{"%%prod_image%%", product.ProdImage},
                                                {"%%prod_name%%", product.ProdName},
                                                {"%%prod_beschreibung%%", product.ProdDescription},
                                                {"%%prod_price%%", price},
                                                {"%%prod_url%%", product.ProdURL}});
        }
    }
    if (!single_entry) page += PageTail;
    return page;
}

int ColumnsForWidth(int width) {
    if (width < 480) return 0;
    if (width < 655) return 1;
    if (width < 835) return 2;
    if (width < 1020) return 3;
    if (width < 1200) return 4;
    return 5;
}

std::string FormatPrice(double price, const std::string& decimal_separator) {
    bool negative = std::signbit(price);
    double magnitude = std::fabs(price);
    if (!std::isfinite(magnitude) || magnitude >= 1e15) {
        char buffer[400];
        std::snprintf(buffer, sizeof buffer, "%.2f", price);
        return ReplaceAll(buffer, ".", decimal_separator) + kEuroSign;
    }
    // The product in cents may round; its exact error (fma) decides a seeming half.
    double cents = magnitude * 100;
    double error = std::fma(magnitude, 100, -cents);
    double whole = std::floor(cents);
    double fraction = cents - whole;
    if (fraction > 0.5 || (fraction == 0.5 && error >= 0)) whole += 1;
    auto rounded = static_cast<long long>(whole);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s%lld", negative && rounded != 0 ? "-" : "", rounded / 100);
    char decimals[8];
    std::snprintf(decimals, sizeof decimals, "%02lld", rounded % 100);
    return std::string(buffer) + decimal_separator + decimals + kEuroSign;
}

bool ParseProductLine(std::string_view line, TTWProdukt* product) {
    std::vector<std::string> fields = SplitLine(line, ';', true, true);
    std::string comma_list;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) comma_list += ',';
        comma_list += fields[i];
    }
    if (Utf8Length(comma_list) <= 6 || fields.size() < 6) return false;
    std::optional<double> price = ParsePrice(fields[4]);
    if (!price) return false;
    product->ProdName = fields[0];
    product->ProdDescription = fields[2];
    product->ProdImage = fields[3];
    product->ProdPrice = *price;
    product->ProdURL = fields[5];
    return true;
}

std::string ShopUrl() {
    const char* configured = std::getenv("TAGWACHT_SHOP_URL");
    std::string url = configured && *configured ? configured : kDefaultShopUrl;
    while (!url.empty() && url.back() == '/') url.pop_back();
    return url;
}

std::string PercentEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
            byte == '-' || byte == '.' || byte == '_' || byte == '~') {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

std::string GiftQuery(const std::vector<const TTWEntry*>& entries) {
    std::string query;
    for (size_t i = 0; i < entries.size(); ++i) {
        const TTWEntry& entry = *entries[i];
        std::string number = std::to_string(i + 1);
        const std::pair<const char*, std::string> pairs[] = {
            {"ereignis", entry.EventText()},           {"name", entry.Name},
            {"alter", std::to_string(entry.Age())},    {"datum", DateToText(entry.Date)},
            {"geschlecht", std::to_string(entry.Sex)}, {"kommentar", entry.Remark},
        };
        for (const auto& [key, value] : pairs) {
            query += query.empty() ? '?' : '&';
            query += key + number + "=" + PercentEncode(value);
        }
    }
    return query;
}

std::vector<const TTWEntry*> SoonestEntries(const TTWEntries& entries, size_t count) {
    TFrozenNow frozen;
    std::vector<std::pair<int, size_t>> keys;  // days to go, position
    keys.reserve(entries.Count());
    for (size_t i = 0; i < entries.Count(); ++i) keys.emplace_back(entries[i].DaysToNext(), i);
    size_t taken = std::min(count, keys.size());
    std::partial_sort(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(taken), keys.end());
    std::vector<const TTWEntry*> soonest;
    for (size_t i = 0; i < taken; ++i) soonest.push_back(&entries[keys[i].second]);
    return soonest;
}

std::string MainShopAddress(const TTWEntries& entries) {
    TFrozenNow frozen;
    return ShopUrl() + kMainShopPath + GiftQuery(SoonestEntries(entries, kMainShopEntries));
}

std::string ReminderShopAddress(const TTWEntry& entry) {
    TFrozenNow frozen;
    return ShopUrl() + kReminderShopPath + GiftQuery({&entry});
}

}  // namespace tw
