#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/entries/entries.h"
#include "core/entries/entry.h"

namespace tw {

/// The gift shop compiled into the program.
inline constexpr const char* kDefaultShopUrl = "https://shop.tagwacht.de";
/// The shop's suggestion page for the next entries (main window).
inline constexpr const char* kMainShopPath = "/shop/catalog/tipps.php";
/// The shop's suggestion page for one entry (reminder window).
inline constexpr const char* kReminderShopPath = "/shop/catalog/tipp.php";
/// How many entries the main window's shop page asks about.
inline constexpr size_t kMainShopEntries = 5;

/// One product of the local gift-tip list.
struct TTWProdukt {
    std::string ProdName;
    std::string ProdDescription;
    std::string ProdImage;  ///< inserted into the templates as written (a file name or address)
    double ProdPrice = 0;
    std::string ProdURL;
};

/// The gift suggestions of the main and reminder windows: local pages composed from the
/// templates and the product list in the program's "geschenktipps" folder, or (online) the
/// addresses of the gift shop's suggestion pages. The windows show what this builds.
class TTWGeschenktipps {
  public:
    TTWGeschenktipps();

    std::vector<TTWProdukt> Products;  ///< in file order
    std::string BoxTemplateFile;
    std::string BoxTemplate;  ///< template_geschenkbox.html, lines joined
    std::string MainTemplateFile;
    std::string ProductBlock;  ///< the lines between the two marker lines, joined
    std::string PageHead;      ///< the lines before the start marker, joined
    std::string PageTail;      ///< the lines after the end marker, joined
    std::string ProductFile;
    bool OnlineMode = false;  ///< show the shop's pages instead of local ones
    bool Loaded = false;      ///< all three files were found and read, the markers are valid
    int Columns = 0;          ///< products side by side in the main window's view (0..5)

    /// Follows the application's Online flag (set once the update server answered).
    void RefreshOnline(bool online) { OnlineMode = online; }

    /// Reads remember.csv, template_main.html and template_geschenkbox.html from
    /// program_dir + "/geschenktipps/". A missing or unreadable file, or a main template
    /// without valid marker lines, is reported in a message box (German, whatever the
    /// language) and leaves Loaded false. Product lines that do not fit are skipped.
    void LoadFiles(const std::string& program_dir);

    /// The folder the files were read from, with a trailing "/" (empty before LoadFiles).
    const std::string& Folder() const { return folder_; }

    /// A local page: count different products drawn at random (count becomes 1 for a single
    /// entry, and is limited to the number of products), each put into the product block
    /// (between PageHead and PageTail) or, for a single entry, into the box template alone.
    /// Prices are written with the decimal separator given. Empty when not Loaded.
    std::string BuildPage(int count, bool single_entry, const std::string& decimal_separator);

    /// Makes the product draws repeatable (tests); the generator is seeded from the clock
    /// otherwise.
    void SeedRandom(std::uint32_t seed) { random_.seed(seed); }

  private:
    bool ReadMainTemplate(const std::string& text);

    std::string folder_;
    std::mt19937 random_;
};

/// Products side by side for a view of that width in pixels: below 480 none, then one per
/// class up to five from 1200 on.
int ColumnsForWidth(int width);

/// The price rounded to two decimals (halves away from zero), with exactly two decimals, the
/// separator given, no thousands separator, and the euro sign right after it: "19,90€".
std::string FormatPrice(double price, const std::string& decimal_separator);

/// Reads one line of remember.csv (not the heading): the fields name;unused;description;
/// image;price;address, quotes and trimming as the program's field splitter does them. The
/// price may use "," or "." as its decimal separator, since the file ships with the program
/// and cannot know the user's locale. False for a line that does not fit.
bool ParseProductLine(std::string_view line, TTWProdukt* product);

/// The gift shop without a trailing "/": TAGWACHT_SHOP_URL when set and not empty, else the
/// compiled-in address.
std::string ShopUrl();

/// The text with every byte outside the unreserved characters of RFC 3986 written as %XX.
std::string PercentEncode(std::string_view text);

/// "?ereignis1=…&name1=…&alter1=…&datum1=…&geschlecht1=…&kommentar1=…&ereignis2=…" for the
/// entries in order, numbered from 1; values percent-encoded. Empty for no entries.
std::string GiftQuery(const std::vector<const TTWEntry*>& entries);

/// The (at most) count entries whose next occurrence comes soonest, soonest first; entries
/// with equal days keep their collection order. Reads the clock once.
std::vector<const TTWEntry*> SoonestEntries(const TTWEntries& entries, size_t count);

/// The shop's page for the five soonest entries; without a query when there are no entries.
std::string MainShopAddress(const TTWEntries& entries);

/// The shop's page for the entry of a reminder.
std::string ReminderShopAddress(const TTWEntry& entry);

}  // namespace tw
