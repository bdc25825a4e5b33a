#include "report/print_report.h"

#include <gtest/gtest.h>

#include <QPdfWriter>
#include <string>
#include <vector>

#include "core/test_support.h"
#include "core/text/encoding.h"
#include "report/pdf_report.h"
#include "report/pdf_tools.h"

namespace tw {
namespace {

class PrintReportTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(EnsureGuiApplication()); }

    test::TTempDir dir_;
    test::TTestLanguage lang_{{{41, "Name"}, {50, "Tagwacht %s - Liste vom %s - Seite %d"}}};
    test::TScopedClock clock_{test::D(5, 3, 2024) + 0.5};
};

TEST_F(PrintReportTest, PagesStartWithHeaderAndHeadingsAndColumnsLineUp) {
    TTWEntries entries;
    std::vector<int> ids;
    const int kRows = 120;  // more than one A4 page at 3 mm a line
    for (int n = 1; n <= kRows; ++n) {
        TTWEntry entry;
        entry.Id = n;
        entry.Name = (n == 7 ? "Maximiliane Müller-Lüdenscheidt " : "Person ") + std::to_string(n);
        entry.Date = test::D(1, 2, 1990);
        entries.Append(entry);
        ids.push_back(kRows + 1 - n);  // display order: last entry first
    }
    const std::string file = dir_.File("druck.pdf");
    {
        QPdfWriter printer(QString::fromStdString(file));
        ASSERT_TRUE(PrintEntries(printer, entries, ids));
    }

    const auto pages = test::PdfPages(file);
    ASSERT_GE(pages.size(), 2u);
    int next = kRows;
    for (size_t p = 0; p < pages.size(); ++p) {
        const std::vector<std::string>& lines = pages[p];
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(lines[0], "Tagwacht 6.3.2 - Liste vom 05.03.2024 - Seite " + std::to_string(p + 1));
        EXPECT_EQ(lines[1].rfind("Name ", 0), 0u) << lines[1];
        // The padding of the fixed-pitch lines puts the first bar behind the longest name on every
        // line (pdftotext turns long runs of blanks into columns only roughly, so no exact count).
        auto bar = [](const std::string& line) { return Utf8Length(line.substr(0, line.find('|'))); };
        EXPECT_GE(bar(lines[1]), Utf8Length("Maximiliane Müller-Lüdenscheidt 7")) << lines[1];
        for (size_t i = 2; i < lines.size(); ++i, --next) {
            const std::string name =
                (next == 7 ? "Maximiliane Müller-Lüdenscheidt " : "Person ") + std::to_string(next);
            EXPECT_EQ(lines[i].rfind(name + " ", 0), 0u) << lines[i];
            EXPECT_EQ(bar(lines[i]), bar(lines[1])) << lines[i];
        }
    }
    EXPECT_EQ(next, 0) << "every row printed once";
    EXPECT_NE(test::RunCommand("pdffonts " + test::ShellQuote(file)).find("DejaVuSansMono"),
              std::string::npos);
}

}  // namespace
}  // namespace tw
