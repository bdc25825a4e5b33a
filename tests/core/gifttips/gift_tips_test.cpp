#include "core/gifttips/gift_tips.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <set>
#include <string>
#include <vector>

#include "core/net/server_process.h"
#include "core/test_support.h"
#include "core/text/files.h"

namespace tw {
namespace {

using test::D;

constexpr const char* kFilesMissing = "Die richtigen Dateien für die Geschenktipps wurden nicht gefunden!";
constexpr const char* kTemplateBroken = "Fehler beim einlesen des HTML Templates!";
const std::string kEuro = "\xE2\x82\xAC";

size_t Occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(GiftTips, WidthClassesChangeAtTheirBoundaries) {
    const std::pair<int, int> cases[] = {{-1, 0},   {0, 0},    {479, 0}, {480, 1},  {654, 1},
                                         {655, 2},  {834, 2},  {835, 3}, {1019, 3}, {1020, 4},
                                         {1199, 4}, {1200, 5}, {4000, 5}};
    for (const auto& [width, columns] : cases) EXPECT_EQ(ColumnsForWidth(width), columns) << width;
}

TEST(GiftTips, PriceHasTwoDecimalsRoundedHalfAwayFromZeroAndTheEuroSign) {
    struct Case {
        double price;
        const char* separator;
        std::string text;
    };
    const Case cases[] = {
        {19.9, ",", "19,90" + kEuro},
        {5, ",", "5,00" + kEuro},
        {0.125, ",", "0,13" + kEuro},              // an exact half goes up
        {-0.125, ",", "-0,13" + kEuro},            // and away from zero below zero
        {2.675, ",", "2,67" + kEuro},              // stored just below the half: down
        {0.005, ",", "0,01" + kEuro},              // stored just above the half: up
        {1234567.891, ".", "1234567.89" + kEuro},  // no thousands separator
        {-0.001, ",", "0,00" + kEuro},
        {99.999, ".", "100.00" + kEuro},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatPrice(c.price, c.separator), c.text) << c.price;
}

// A program folder with the three gift-tip files: markers in mixed case, CR LF line breaks,
// the path placeholder in mixed case, a product list in Windows-1252 with lines that do not fit.
class GiftTipsFiles : public ::testing::Test {
  protected:
    test::TTempDir program_;
    test::TRecordingMessages messages_;
    TTWGeschenktipps tips_;

    std::string Folder() const { return program_.Path() + "/geschenktipps/"; }

    void SetUp() override {
        mkdir(Folder().c_str(), 0700);
        WriteMain(
            "<html><body>\r\n<img src=\"%%Template_Path%%logo.png\">\r\n%%PROD_details_START%%\r\n"
            "<td>[%%prod_name%%|%%PROD_PRICE%%|%%prod_image%%|\r\n%%prod_url%%|%%Prod_Beschreibung%%|"
            "%%prod_name%%]</td>\r\n%%prod_details_Ende%%\r\n</body>\r\n</html>\r\n");
        test::WriteFile(Folder() + "template_geschenkbox.html",
                        "<div>%%TEMPLATE_PATH%%box.png %%prod_name%%</div>\n<p>%%prod_price%%</p>\n");
        test::WriteFile(Folder() + "remember.csv",
                        "Name;x;Beschreibung;Bild;Preis;URL\r\n"
                        "Teeset;1;\"Kanne; Tassen\";tee.png;19,90;https://s/tee\r\n"
                        "  Kerze\t;2; Duft ;kerze.png; 5 ;https://s/kerze\r\n"
                        "Stift;3;Gravur;stift.png;12.5;https://s/stift\r\n"
                        "Buch;4;zu wenig Felder;buch.png;9,90\r\n"
                        "Decke;5;Preis fehlt;decke.png;gratis;https://s/decke\r\n"
                        "\r\n"
                        "  \t \r\n"
                        "Gutschein f\xFCr zwei;6;Wellness;;49,00;https://s/gutschein\r\n");
    }
    void WriteMain(const std::string& text) { test::WriteFile(Folder() + "template_main.html", text); }

    std::string Block(const std::string& name, const std::string& price, const std::string& image,
                      const std::string& url, const std::string& description) const {
        return "<td>[" + name + "|" + price + "|" + image + "|" + url + "|" + description + "|" + name +
               "]</td>";
    }
    std::vector<std::string> AllBlocks(const char* separator) const {
        return {Block("Teeset", FormatPrice(19.9, separator), "tee.png", "https://s/tee", "Kanne; Tassen"),
                Block("Kerze", FormatPrice(5, separator), "kerze.png", "https://s/kerze", "Duft"),
                Block("Stift", FormatPrice(12.5, separator), "stift.png", "https://s/stift", "Gravur"),
                Block("Gutschein f\xC3\xBCr zwei", FormatPrice(49, separator), "", "https://s/gutschein",
                      "Wellness")};
    }
};

TEST_F(GiftTipsFiles, ReadsTheProductsThatFitAndSplitsTheMainTemplate) {
    tips_.LoadFiles(program_.Path());

    EXPECT_TRUE(messages_.Boxes.empty());
    EXPECT_TRUE(tips_.Loaded);
    std::vector<std::string> products;
    for (const TTWProdukt& p : tips_.Products) {
        products.push_back(p.ProdName + "|" + p.ProdDescription + "|" + p.ProdImage + "|" +
                           FormatPrice(p.ProdPrice, ",") + "|" + p.ProdURL);
    }
    EXPECT_EQ(products, (std::vector<std::string>{
                            "Teeset|Kanne; Tassen|tee.png|19,90" + kEuro + "|https://s/tee",
                            "Kerze|Duft|kerze.png|5,00" + kEuro + "|https://s/kerze",
                            "Stift|Gravur|stift.png|12,50" + kEuro + "|https://s/stift",
                            "Gutschein f\xC3\xBCr zwei|Wellness||49,00" + kEuro + "|https://s/gutschein",
                        }));
    EXPECT_EQ(tips_.Folder(), Folder());
    EXPECT_EQ(tips_.PageHead, "<html><body><img src=\"" + Folder() + "logo.png\">");
    EXPECT_EQ(tips_.ProductBlock,
              "<td>[%%prod_name%%|%%PROD_PRICE%%|%%prod_image%%|%%prod_url%%|%%Prod_Beschreibung%%|"
              "%%prod_name%%]</td>");
    EXPECT_EQ(tips_.PageTail, "</body></html>");
    EXPECT_EQ(tips_.BoxTemplate, "<div>" + Folder() + "box.png %%prod_name%%</div><p>%%prod_price%%</p>");
}

TEST_F(GiftTipsFiles, AMissingFileIsReportedAndLeavesTheTipsOff) {
    for (const char* name : {"remember.csv", "template_main.html", "template_geschenkbox.html"}) {
        SetUp();
        messages_.Boxes.clear();
        std::remove((Folder() + name).c_str());

        tips_.LoadFiles(program_.Path());

        EXPECT_FALSE(tips_.Loaded) << name;
        EXPECT_EQ(messages_.Boxes, std::vector<std::string>{kFilesMissing}) << name;
        EXPECT_EQ(tips_.BuildPage(3, false, ","), "") << name;
    }
}

TEST_F(GiftTipsFiles, MainTemplateWithoutValidMarkerLinesIsReported) {
    const char* templates[] = {
        "<html>\n<td>x</td>\n%%prod_details_ende%%\n</html>\n",                  // no start line
        "<html>\n%%prod_details_start%%\n<td>x</td>\n</html>\n",                 // no end line
        "<html>\n%%prod_details_ende%%\n<td>x</td>\n%%prod_details_start%%\n",   // end before start
        "<html>\n %%prod_details_start%%\n<td>x</td>\n%%prod_details_ende%%\n",  // not the whole line
        "<tr>%%prod_details_start%%<td>x</td>%%prod_details_ende%%</tr>\n",      // inside a line
    };
    for (const char* text : templates) {
        WriteMain(text);
        messages_.Boxes.clear();

        tips_.LoadFiles(program_.Path());

        EXPECT_FALSE(tips_.Loaded) << text;
        EXPECT_EQ(messages_.Boxes, std::vector<std::string>{kTemplateBroken}) << text;
    }
}

TEST_F(GiftTipsFiles, MainPageShowsDifferentRandomProductsBetweenHeadAndTail) {
    tips_.LoadFiles(program_.Path());
    std::vector<std::string> blocks = AllBlocks(",");
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        tips_.SeedRandom(seed);
        std::string page = tips_.BuildPage(3, false, ",");

        ASSERT_EQ(page.rfind(tips_.PageHead, 0), 0u);
        ASSERT_TRUE(page.ends_with(tips_.PageTail));
        std::string products =
            page.substr(tips_.PageHead.size(), page.size() - tips_.PageHead.size() - tips_.PageTail.size());
        size_t found = 0;
        for (const std::string& block : blocks) {
            size_t times = Occurrences(products, block);
            EXPECT_LE(times, 1u);
            found += times;
        }
        EXPECT_EQ(found, 3u) << page;
        EXPECT_EQ(Occurrences(products, "<td>"), 3u) << page;
    }
}

TEST_F(GiftTipsFiles, FewerProductsThanColumnsShowsEachOnceInRandomOrder) {
    tips_.LoadFiles(program_.Path());
    std::vector<std::string> blocks = AllBlocks(".");
    std::set<size_t> first_shown;
    for (std::uint32_t seed = 1; seed <= 60; ++seed) {
        tips_.SeedRandom(seed);
        std::string page = tips_.BuildPage(5, false, ".");
        size_t first = std::string::npos;
        size_t first_block = 0;
        for (size_t i = 0; i < blocks.size(); ++i) {
            ASSERT_EQ(Occurrences(page, blocks[i]), 1u) << page;
            size_t at = page.find(blocks[i]);
            if (at < first) {
                first = at;
                first_block = i;
            }
        }
        first_shown.insert(first_block);
    }
    EXPECT_EQ(first_shown.size(), blocks.size());
}

TEST_F(GiftTipsFiles, SingleEntryShowsOneBoxWithoutHeadAndTail) {
    tips_.LoadFiles(program_.Path());
    std::set<std::string> boxes;
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        tips_.SeedRandom(seed);
        boxes.insert(tips_.BuildPage(0, true, ","));
    }
    EXPECT_EQ(boxes,
              (std::set<std::string>{
                  "<div>" + Folder() + "box.png Teeset</div><p>19,90" + kEuro + "</p>",
                  "<div>" + Folder() + "box.png Kerze</div><p>5,00" + kEuro + "</p>",
                  "<div>" + Folder() + "box.png Stift</div><p>12,50" + kEuro + "</p>",
                  "<div>" + Folder() + "box.png Gutschein f\xC3\xBCr zwei</div><p>49,00" + kEuro + "</p>",
              }));
}

TEST_F(GiftTipsFiles, NoColumnsOrNoProductsGiveHeadAndTailOnly) {
    tips_.LoadFiles(program_.Path());
    EXPECT_EQ(tips_.BuildPage(0, false, ","), tips_.PageHead + tips_.PageTail);

    test::WriteFile(Folder() + "remember.csv", "Name;x;Beschreibung;Bild;Preis;URL\n");
    tips_.LoadFiles(program_.Path());
    ASSERT_TRUE(tips_.Loaded);
    EXPECT_EQ(tips_.BuildPage(5, false, ","), tips_.PageHead + tips_.PageTail);
    EXPECT_EQ(tips_.BuildPage(1, true, ","), "");
}

TEST(GiftTips, ShippedFilesLoadWithAPictureForEveryProduct) {
    test::TRecordingMessages messages;
    TTWGeschenktipps tips;
    tips.LoadFiles(TAGWACHT_RESOURCE_DIR);

    EXPECT_TRUE(messages.Boxes.empty());
    ASSERT_TRUE(tips.Loaded);
    EXPECT_GE(tips.Products.size(), 10u);
    for (const TTWProdukt& p : tips.Products) {
        EXPECT_TRUE(FileExists(tips.Folder() + p.ProdImage)) << p.ProdName << ": " << p.ProdImage;
        EXPECT_GT(p.ProdPrice, 0) << p.ProdName;
        EXPECT_EQ(p.ProdURL.rfind(std::string(kDefaultShopUrl) + "/", 0), 0u) << p.ProdURL;
    }
    EXPECT_NE(tips.PageHead.find(tips.Folder()), std::string::npos);
}

// Today is 11 December 2026; the seven entries are listed out of date order.
class GiftQueries : public ::testing::Test {
  protected:
    test::TTestLanguage language_{{{83, "Geburtstag"}, {84, "Hochzeitstag"}}};
    test::TScopedClock clock_{D(11, 12, 2026) + 0.75};
    test::TScopedEnv shop_{"TAGWACHT_SHOP_URL", "http://127.0.0.1:8123/"};
    TTWEntries entries_;

    TTWEntry Entry(const char* name, TDateTime date, int event, const char* user_event, int sex,
                   const char* remark) {
        TTWEntry entry;
        entry.Id = static_cast<int>(entries_.Count()) + 1;
        entry.Name = name;
        entry.Date = date;
        entry.Event = event;
        entry.UserEvent = user_event;
        entry.Sex = sex;
        entry.Remark = remark;
        return entry;
    }
    void Add(const char* name, TDateTime date, int event = 0, const char* user_event = "", int sex = 0,
             const char* remark = "") {
        entries_.Append(Entry(name, date, event, user_event, sex, remark));
    }
};

TEST_F(GiftQueries, MainPageAsksForTheFiveSoonestNumberedFromTheSoonest) {
    Add("Zoe Ende", D(10, 12, 1980));                                                        // 364 days
    Add("J\xC3\xBCrgen M\xC3\xBCller", D(15, 12, 1960), 0, "", 1, "Rotwein & K\xC3\xA4se");  // 4
    Add("Oma Erna", D(11, 12, 1940), 0, "", 2);                                              // today
    Add("Max", D(2, 1, 9999), 2, "Abschluss 2/3");                                           // 22, no year
    Add("Paar Schmidt", D(24, 12, 2001), 1);                                                 // 13
    Add("Tim", D(1, 3, 2000));                                                               // 80
    Add("Lea", D(31, 12, 2010), 0, "", 2, "a=b?");                                           // 20

    EXPECT_EQ(MainShopAddress(entries_),
              "http://127.0.0.1:8123/shop/catalog/tipps.php"
              "?ereignis1=Geburtstag&name1=Oma%20Erna&alter1=86&datum1=11.12.1940&geschlecht1=2&kommentar1="
              "&ereignis2=Geburtstag&name2=J%C3%BCrgen%20M%C3%BCller&alter2=65&datum2=15.12.1960"
              "&geschlecht2=1&kommentar2=Rotwein%20%26%20K%C3%A4se"
              "&ereignis3=Hochzeitstag&name3=Paar%20Schmidt&alter3=24&datum3=24.12.2001&geschlecht3=0"
              "&kommentar3="
              "&ereignis4=Geburtstag&name4=Lea&alter4=15&datum4=31.12.2010&geschlecht4=2&kommentar4=a%3Db%3F"
              "&ereignis5=Abschluss%202%2F3&name5=Max&alter5=-1&datum5=02.01.9999&geschlecht5=0&kommentar5=");
}

TEST_F(GiftQueries, NoEntriesGiveThePageWithoutQuery) {
    EXPECT_EQ(MainShopAddress(entries_), "http://127.0.0.1:8123/shop/catalog/tipps.php");

    Add("Ben", D(1, 1, 2000));
    EXPECT_EQ(MainShopAddress(entries_),
              "http://127.0.0.1:8123/shop/catalog/tipps.php"
              "?ereignis1=Geburtstag&name1=Ben&alter1=26&datum1=01.01.2000&geschlecht1=0&kommentar1=");
}

TEST_F(GiftQueries, ReminderPageAsksForItsEntryAsNumberOne) {
    TTWEntry entry = Entry("Eva & Tom", D(5, 6, 9999), 1, "", 0, "100% \"sicher\"");
    EXPECT_EQ(ReminderShopAddress(entry),
              "http://127.0.0.1:8123/shop/catalog/tipp.php?ereignis1=Hochzeitstag&name1=Eva%20%26%20Tom"
              "&alter1=-1&datum1=05.06.9999&geschlecht1=0&kommentar1=100%25%20%22sicher%22");
}

TEST_F(GiftQueries, SoonestFiveAmongAHundredThousandEntries) {
    for (int i = 0; i < 100000; ++i) Add("X", D(1 + i % 28, 3 + i % 8, 1950 + i % 60));
    const char* soonest[] = {"E", "D", "C", "B", "A"};  // 5, 4, 3, 2, 1 days to go, added last first
    for (int i = 0; i < 5; ++i) Add(soonest[i], D(16 - i, 12, 1990));

    auto started = std::chrono::steady_clock::now();
    std::vector<const TTWEntry*> found = SoonestEntries(entries_, kMainShopEntries);
    auto took = std::chrono::steady_clock::now() - started;

    std::string names;
    for (const TTWEntry* entry : found) names += entry->Name;
    EXPECT_EQ(names, "ABCDE");
    EXPECT_LT(took, std::chrono::seconds(5));
}

TEST(GiftTips, ShopAddressComesFromTheEnvironmentOrTheCompiledDefault) {
    {
        test::TScopedEnv unset("TAGWACHT_SHOP_URL", nullptr);
        EXPECT_EQ(ShopUrl(), "https://shop.tagwacht.de");
    }
    {
        test::TScopedEnv empty("TAGWACHT_SHOP_URL", "");
        EXPECT_EQ(ShopUrl(), "https://shop.tagwacht.de");
    }
    test::TScopedEnv local("TAGWACHT_SHOP_URL", "http://127.0.0.1:9/shop//");
    EXPECT_EQ(ShopUrl(), "http://127.0.0.1:9/shop");
}

}  // namespace
}  // namespace tw
