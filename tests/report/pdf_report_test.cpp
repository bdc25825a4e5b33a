#include "report/pdf_report.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/test_support.h"
#include "core/text/date_text.h"
#include "core/text/files.h"
#include "report/pdf_info.h"
#include "report/pdf_tools.h"

namespace tw {
namespace {

using Pages = std::vector<std::vector<std::string>>;

const std::map<int, std::string> kGerman = {{41, "Name"},         {46, "Datum"},      {44, "Alter"},
                                            {47, "Nächstes Mal"}, {45, "Ereignis"},   {43, "E-Mail"},
                                            {42, "Kommentar"},    {83, "Geburtstag"}, {84, "Hochzeitstag"}};
const std::map<int, std::string> kEnglish = {{41, "Name"},  {46, "Date"},   {44, "Age"},   {47, "Next time"},
                                             {45, "Event"}, {43, "E-mail"}, {42, "Remark"}};

std::string PersonName(int n) {
    char name[32];
    std::snprintf(name, sizeof name, "Person %03d", n);
    return name;
}

TPdfTabs NumberedRows(int count) {
    TPdfTabs rows;
    for (int n = 1; n <= count; ++n)
        rows.AddRow(PersonName(n), "01.02.1990", "34 Jahre", "in 5 Tagen", "Geburtstag", "p@example.org", "");
    return rows;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    return all;
}

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

// True when the texts appear in the line in this order.
bool InOrder(const std::string& line, const std::vector<std::string>& texts) {
    size_t at = 0;
    for (const std::string& text : texts) {
        at = line.find(text, at);
        if (at == std::string::npos) return false;
        at += text.size();
    }
    return true;
}

class PdfReportTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(EnsureGuiApplication()); }
    void SetUp() override { ResetPdfHeadings(); }
    void TearDown() override { ResetPdfHeadings(); }

    test::TTempDir dir_;
    test::TTestLanguage lang_{kGerman};
};

TEST_F(PdfReportTest, TitleHeadingsRowsAndDocumentInformation) {
    TPdfTabs rows;
    rows.AddRow("Jürgen Groß", "01.02.1990", "34 Jahre", "in 5 Tagen", "Geburtstag", "j@example.org",
                "Nachbar");
    const std::string file = dir_.File("liste.pdf");
    ASSERT_TRUE(RenderPdfReport(file, rows));

    const Pages pages = test::PdfPages(file);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].size(), 3u);
    EXPECT_EQ(pages[0][0], "Tagwacht - Export");
    EXPECT_TRUE(
        InOrder(pages[0][1], {"Name", "Datum", "Alter", "Nächstes Mal", "Ereignis", "E-Mail", "Kommentar"}))
        << pages[0][1];
    EXPECT_TRUE(InOrder(pages[0][2], {"Jürgen Groß", "01.02.1990", "34 Jahre", "in 5 Tagen", "Geburtstag",
                                      "j@example.org", "Nachbar"}))
        << pages[0][2];

    auto info = test::PdfInfo(file);
    EXPECT_EQ(info["Creator"], "Tagwacht");
    EXPECT_EQ(info["Subject"], "Tagwacht - Export");
    EXPECT_EQ(info["Author"], "Tagwacht");
    EXPECT_EQ(info["Producer"], "Tagwacht");
    ASSERT_EQ(info.count("Title"), 1u);
    EXPECT_EQ(info["Title"], "");
    double width = 0, height = 0;
    ASSERT_EQ(std::sscanf(info["Page size"].c_str(), "%lf x %lf", &width, &height), 2) << info["Page size"];
    EXPECT_GT(width, height) << "landscape";

    // Every font the document uses is embedded, the report font among them.
    const std::string fonts = test::RunCommand("pdffonts " + test::ShellQuote(file));
    EXPECT_NE(fonts.find("DejaVuSans"), std::string::npos) << fonts;
    std::istringstream lines(fonts);
    std::string header, rule, line;
    std::getline(lines, header);
    std::getline(lines, rule);
    const size_t emb = header.find("emb");
    ASSERT_NE(emb, std::string::npos);
    while (std::getline(lines, line)) EXPECT_EQ(line.substr(emb, 3), "yes") << line;
}

TEST_F(PdfReportTest, FortyEightRowsOnTheFirstPageFiftyOnEachFurtherBelowRepeatedHeadings) {
    const struct {
        int rows;
        std::vector<int> rows_per_page;
    } cases[] = {{0, {0}}, {48, {48}}, {49, {48, 1}}, {99, {48, 50, 1}}};
    for (const auto& c : cases) {
        const std::string file = dir_.File("rows" + std::to_string(c.rows) + ".pdf");
        ASSERT_TRUE(RenderPdfReport(file, NumberedRows(c.rows)));
        const Pages pages = test::PdfPages(file);
        ASSERT_EQ(pages.size(), c.rows_per_page.size()) << c.rows;
        int next = 1;
        for (size_t p = 0; p < pages.size(); ++p) {
            const std::vector<std::string>& lines = pages[p];
            const size_t headings = p == 0 ? 1 : 0;  // the title comes first on page 1 only
            ASSERT_EQ(lines.size(), headings + 1 + c.rows_per_page[p]) << c.rows << " rows, page " << p + 1;
            if (p == 0) {
                EXPECT_EQ(lines[0], "Tagwacht - Export");
            }
            EXPECT_TRUE(InOrder(lines[headings], {"Name", "Datum", "Kommentar"})) << lines[headings];
            for (size_t i = headings + 1; i < lines.size(); ++i, ++next)
                EXPECT_TRUE(StartsWith(lines[i], PersonName(next))) << lines[i] << " on page " << p + 1;
        }
        EXPECT_EQ(next, c.rows + 1);
    }
}

TEST_F(PdfReportTest, TextWiderThanItsTabIsCutAtTheTabOrThePageEdge) {
    const std::string long_name = "Bartholomäus Maximilian von Hohenzollern-Sigmaringen der Dritte";
    const std::string long_remark =
        "Kennt sich aus mit Gartenbau, Segelbooten und alten Landkarten aller Art";
    TPdfTabs rows;
    rows.AddRow(long_name, "01.02.1990", "34 Jahre", "in 5 Tagen", "Geburtstag", "b@example.org",
                long_remark);
    const std::string file = dir_.File("lang.pdf");
    ASSERT_TRUE(RenderPdfReport(file, rows));

    const Pages pages = test::PdfPages(file);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].size(), 3u) << Joined(pages[0]);
    const std::string& row = pages[0][2];
    EXPECT_TRUE(InOrder(row, {"Bartholomäus", "…", "01.02.1990", "b@example.org", "Kennt sich", "…"})) << row;
    EXPECT_EQ(row.find("Dritte"), std::string::npos) << row;
    EXPECT_EQ(row.find("Landkarten"), std::string::npos) << row;
    // The last tab would reach past an A4 landscape page; the text stops short of its edge.
    const test::TTextExtent extent = test::PdfTextExtent(file);
    EXPECT_GT(extent.PageWidth, 800);
    EXPECT_LT(extent.MaxRight, extent.PageWidth - 10);
}

TEST_F(PdfReportTest, InformationCanBeReplacedAgainAndTakesAnyText) {
    const std::string file = dir_.File("info.pdf");
    ASSERT_TRUE(RenderPdfReport(file, NumberedRows(1)));
    std::string pdf = test::ReadFile(file);
    const std::string damaged = pdf.substr(0, pdf.find("trailer"));
    std::string unchanged = damaged;
    EXPECT_FALSE(ReplacePdfInfo(unchanged, {}));
    EXPECT_TRUE(unchanged == damaged);

    // A second update chains to the first; brackets, backslashes and umlauts survive.
    ASSERT_TRUE(ReplacePdfInfo(pdf, {"Jürgens (Liste) \\ 2024", "Ärger", "(", "x", "y"}));
    test::WriteFile(file, pdf);
    auto info = test::PdfInfo(file);
    EXPECT_EQ(info["Title"], "Jürgens (Liste) \\ 2024");
    EXPECT_EQ(info["Author"], "Ärger");
    EXPECT_EQ(info["Subject"], "(");
    EXPECT_EQ(info["Producer"], "y");
    EXPECT_NE(info["CreationDate"], "");
    EXPECT_EQ(test::PdfPages(file).at(0).at(2).rfind("Person 001", 0), 0u);
}

TEST(PdfFileName, PdfExtensionIsAddedUnlessPresentInAnyCase) {
    const std::pair<std::string, std::string> cases[] = {
        {"liste", "liste.pdf"},
        {"/tmp/liste.pdf", "/tmp/liste.pdf"},
        {"liste.PDF", "liste.PDF"},
        {"liste.Pdf", "liste.Pdf"},
        {"liste.txt", "liste.txt.pdf"},
        {"liste.pdf.bak", "liste.pdf.bak.pdf"},
        {"export.pdf/liste", "export.pdf/liste.pdf"},
        {"liste.", "liste..pdf"},
    };
    for (const auto& [given, written] : cases) EXPECT_EQ(WithPdfExtension(given), written) << given;
}

TTWEntry Entry(int id, const std::string& name, TDateTime date, int event,
               const std::string& user_event = "") {
    TTWEntry entry;
    entry.Id = id;
    entry.Name = name;
    entry.Date = date;
    entry.Event = event;
    entry.UserEvent = user_event;
    entry.EMail = name.substr(0, 4) + "@example.org";
    entry.Remark = "Bemerkung " + name;
    return entry;
}

TEST_F(PdfReportTest, ExportWritesListeAsListePdfWithTheEntriesTheListRowsName) {
    test::TScopedClock clock(test::D(5, 3, 2024));
    TCoreSession session;
    // Entry 0 was deleted: positions no longer match ids.
    session.Entries.Append(Entry(1, "Anna Adler", test::D(10, 3, 1990), 0));
    session.Entries.Append(Entry(2, "Bernd Bauer", test::D(29, 2, 1988), 1));
    session.Entries.Append(Entry(5, "Clara Cramer", test::D(1, 12, 9999), 2, "Jubiläum"));

    ASSERT_TRUE(ExportPDF(session, dir_.File("liste"), {5, 1, 7, 2}));
    EXPECT_TRUE(FileExists(dir_.File("liste.pdf")));
    EXPECT_FALSE(FileExists(dir_.File("liste")));

    const Pages pages = test::PdfPages(dir_.File("liste.pdf"));
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].size(), 5u) << "id 7 is not in the collection and gives no row";
    const int order[] = {2, 0, 1};
    for (int i = 0; i < 3; ++i) {
        const TTWEntry& entry = session.Entries[order[i]];
        const std::string expected_event = entry.Event == 0   ? "Geburtstag"
                                           : entry.Event == 1 ? "Hochzeitstag"
                                                              : "Jubiläum";
        EXPECT_TRUE(InOrder(pages[0][2 + i], {entry.Name, DateToText(entry.Date), entry.AgeText(),
                                              entry.NextText(), expected_event, entry.EMail, entry.Remark}))
            << pages[0][2 + i];
    }
}

TEST_F(PdfReportTest, HeadingsStayInTheLanguageOfTheFirstExportOfTheRun) {
    TCoreSession session;
    session.Entries.Append(Entry(1, "Anna Adler", test::D(10, 3, 1990), 0));
    ASSERT_TRUE(ExportPDF(session, dir_.File("erste.pdf"), {1}));

    test::TTestLanguage english(kEnglish);
    ASSERT_TRUE(ExportPDF(session, dir_.File("zweite.pdf"), {1}));
    const std::string headings = test::PdfPages(dir_.File("zweite.pdf")).at(0).at(1);
    EXPECT_TRUE(InOrder(headings, {"Datum", "Kommentar"})) << headings;
    EXPECT_EQ(headings.find("Remark"), std::string::npos) << headings;

    // A new run takes the language current then.
    ResetPdfHeadings();
    ASSERT_TRUE(ExportPDF(session, dir_.File("dritte.pdf"), {1}));
    EXPECT_TRUE(InOrder(test::PdfPages(dir_.File("dritte.pdf")).at(0).at(1), {"Date", "Remark"}));
}

TEST_F(PdfReportTest, UnwritableTargetReturnsFalseAndLeavesNothingBehind) {
    const std::string blocker = dir_.File("datei.txt");
    test::WriteFile(blocker, "kein Ordner");
    std::vector<std::string> targets = {dir_.File("fehlt/liste.pdf"), blocker + "/liste.pdf", dir_.Path()};
    std::filesystem::create_directory(dir_.File("nur-lesen"));
    std::filesystem::permissions(dir_.File("nur-lesen"),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (geteuid() != 0) targets.push_back(dir_.File("nur-lesen/liste.pdf"));  // root writes anyway

    for (const std::string& target : targets)
        EXPECT_FALSE(RenderPdfReport(target, NumberedRows(3))) << target;
    TCoreSession session;
    EXPECT_FALSE(ExportPDF(session, dir_.File("fehlt/liste"), {}));

    std::vector<std::string> left;
    for (const auto& item : std::filesystem::recursive_directory_iterator(dir_.Path()))
        left.push_back(item.path().filename().string());
    EXPECT_EQ(left.size(), 2u) << "only datei.txt and nur-lesen, no temporary files";
    EXPECT_EQ(test::ReadFile(blocker), "kein Ordner");
    std::filesystem::permissions(dir_.File("nur-lesen"), std::filesystem::perms::owner_all);
}

TEST_F(PdfReportTest, ExistingFileIsReplacedByTheNewReport) {
    const std::string file = dir_.File("alt.pdf");
    test::WriteFile(file, "alter Inhalt");
    ASSERT_TRUE(RenderPdfReport(file, NumberedRows(2)));
    EXPECT_TRUE(StartsWith(test::ReadFile(file), "%PDF-"));
    EXPECT_EQ(test::PdfPages(file).at(0).size(), 4u);
}

}  // namespace
}  // namespace tw
