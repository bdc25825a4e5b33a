#include "core/importexport/html_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/importexport/csv_test_session.h"
#include "core/text/files.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

using test::D;

// Sets or clears an environment variable for the lifetime of the object.
class TScopedEnv {
  public:
    TScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~TScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

class HtmlExport : public test::ImportSessionTest {
  protected:
    TScopedEnv site_{"TAGWACHT_SITE_URL", nullptr};

    void Add(int id, const std::string& name, TDateTime date, int event = 0,
             const std::string& user_event = "", const std::string& email = "",
             const std::string& remark = "") {
        TTWEntry entry;
        entry.Id = id;
        entry.Name = name;
        entry.Date = date;
        entry.Event = event;
        entry.UserEvent = user_event;
        entry.EMail = email;
        entry.Remark = remark;
        session_.Entries.Append(entry);
    }

    // The lines of the written page; every line must end with CR LF.
    std::vector<std::string> Lines(const std::string& path) {
        std::string text = test::ReadFile(path);
        EXPECT_TRUE(text.size() >= 2 && text.substr(text.size() - 2) == "\r\n");
        std::vector<std::string> lines = SplitText(text, '\n');
        lines.pop_back();
        for (std::string& line : lines) {
            EXPECT_TRUE(!line.empty() && line.back() == '\r') << line;
            if (!line.empty()) line.pop_back();
        }
        return lines;
    }
};

const char* const kPageStart = R"(<!DOCTYPE html PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">
<html>
  <head>
    <meta http-equiv="Content-Type" content="text/html; charset=utf-8">
    <title>Tagwacht - Export</title>
    <style type="text/css">
      body,table
        {
          font-family: Tahoma,Arial,Verdana,Sans-Serif;
          color: #000000;
          font-size: 8pt;
          background-color: #FFFFFF;
        }
      a,a:active,a:link,a:hover,a:visited
        {
          color: #0000FF;
          text-decoration: none;
        }
      a:hover
        {
          text-decoration: underline;
        }
    </style>
  </head>
  <body>
    <div style="text-align: center"><center>
      <span style="text-decoration: underline">
        T116 T77, 01.06.2024
      </span>
      <br><br>
      <table style="border: none;width: 95%">
        <tr>
)";

std::string HeadingCells() {
    std::string cells;
    for (const char* heading : {"T41", "T46", "T44", "T47", "T45", "T43", "T42"})
        cells += std::string(
                     "          <td style=\"border: 1px dotted black; font-weight: bold; text-align: center; "
                     "background-color: #BFBFBF\">\n            ") +
                 heading + "\n          </td>\n";
    return cells + "        </tr>\n";
}

std::string Row(const char* shade, const std::vector<std::string>& values) {
    std::string row = "        <tr>\n";
    for (const std::string& value : values)
        row += std::string("          <td style=\"background-color: ") + shade + "\">\n            " + value +
               "\n          </td>\n";
    return row + "        </tr>\n";
}

const char* const kPageEnd = R"(      </table>
      <br>
      <span style="font-size: 7pt">
        <a href="https://www.tagwacht.de">Tagwacht 6.3.2</a>
      </span>
    </center></div>
  </body>
</html>
)";

TEST_F(HtmlExport, PageLinesInDisplayOrder) {
    // Year 9999 keeps the age and next-time texts fixed: text 64, and text 87 (today) or 88
    // (tomorrow) on 1 June 2024, a Saturday (text 77).
    Add(0, "Anna", D(2, 6, 9999), 0, "", "anna@example.de", "Chefin");
    Add(1, "Bernd", D(1, 6, 9999), 2, "Jubil\xC3\xA4um");
    Add(2, "Carla", D(3, 6, 9999), 1);
    const std::string path = files_.File("liste.html");
    ASSERT_TRUE(ExportHTML(session_, path, {1, 0, 2}));

    std::string expected =
        std::string(kPageStart) + HeadingCells() +
        Row("#E4E4E4", {"Bernd", "01.06.9999", "T64", "T87", "Jubil\xC3\xA4um", "", ""}) +
        Row("#FFFFFF", {"Anna", "02.06.9999", "T64", "T88", "Geburtstag", "anna@example.de", "Chefin"}) +
        Row("#E4E4E4", {"Carla", "03.06.9999", "T64", "T89", "Hochzeitstag", "", ""}) + kPageEnd;
    EXPECT_EQ(Lines(path), SplitText(expected.substr(0, expected.size() - 1), '\n'));
}

TEST_F(HtmlExport, EmptyListGivesTheHeadingRowOnly) {
    const std::string path = files_.File("leer.html");
    ASSERT_TRUE(ExportHTML(session_, path, {}));
    std::string expected = std::string(kPageStart) + HeadingCells() + kPageEnd;
    EXPECT_EQ(Lines(path), SplitText(expected.substr(0, expected.size() - 1), '\n'));
}

TEST_F(HtmlExport, HostileValuesAreEscaped) {
    Add(0, "<script>alert(\"x\")</script> & Co", D(2, 6, 1980), 2, "\"><img src=x onerror=alert(1)>",
        "a@b.de", "a<b && c>d");
    TScopedEnv site("TAGWACHT_SITE_URL", "https://example.org/?a=1&b=\"2\"");
    const std::string path = files_.File("boese.html");
    ASSERT_TRUE(ExportHTML(session_, path, {0}));
    std::vector<std::string> lines = Lines(path);
    auto has = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has("            &lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; &amp; Co"));
    EXPECT_TRUE(has("            &quot;&gt;&lt;img src=x onerror=alert(1)&gt;"));
    EXPECT_TRUE(has("            a&lt;b &amp;&amp; c&gt;d"));
    EXPECT_TRUE(has("        <a href=\"https://example.org/?a=1&amp;b=&quot;2&quot;\">Tagwacht 6.3.2</a>"));
    const std::string text = test::ReadFile(path);
    EXPECT_EQ(text.find("<script"), std::string::npos);
    EXPECT_EQ(text.find("<img"), std::string::npos);
}

TEST_F(HtmlExport, WrittenAsDeclaredUtf8) {
    Add(0,
        "J\xC3\xBCrgen Stra\xC3\x9F"
        "e \xE2\x82\xAC",
        D(2, 6, 1980));
    const std::string path = files_.File("utf8.html");
    ASSERT_TRUE(ExportHTML(session_, path, {0}));
    std::vector<std::string> lines = Lines(path);
    EXPECT_EQ(lines[3], "    <meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">");
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "            J\xC3\xBCrgen Stra\xC3\x9F"
                        "e \xE2\x82\xAC"),
              lines.end());
}

TEST_F(HtmlExport, FileNameExtension) {
    struct Case {
        std::string given;
        std::string written;
    };
    const Case cases[] = {
        {"liste", "liste.html"},
        {"liste.htm", "liste.htm"},
        {"Liste.HTML", "Liste.HTML"},
        {"liste.Htm", "liste.Htm"},
        {"liste.txt", "liste.txt.html"},
        {"liste.html.bak", "liste.html.bak.html"},
        {"ordner.htm/liste", "ordner.htm/liste.html"},
    };
    std::filesystem::create_directory(files_.File("ordner.htm"));
    for (const Case& c : cases) {
        EXPECT_EQ(HtmlFileName(c.given), c.written) << c.given;
        ASSERT_TRUE(ExportHTML(session_, files_.File(c.given), {})) << c.given;
        EXPECT_TRUE(FileExists(files_.File(c.written))) << c.given;
    }
    EXPECT_FALSE(FileExists(files_.File("liste.htm.html")));
}

TEST_F(HtmlExport, FailuresWriteNothing) {
    Add(0, "Anna", D(2, 6, 1980));
    std::string error;
    // An id the collection does not hold: a page with a wrong row would look complete.
    EXPECT_FALSE(ExportHTML(session_, files_.File("fehlt.html"), {0, 7}, &error));
    EXPECT_NE(error, "");
    EXPECT_FALSE(FileExists(files_.File("fehlt.html")));
    EXPECT_EQ(std::filesystem::directory_iterator(files_.Path()), std::filesystem::directory_iterator());
    error.clear();
    EXPECT_FALSE(ExportHTML(session_, files_.File("kein/ordner.html"), {0}, &error));
    EXPECT_NE(error, "");
}

TEST_F(HtmlExport, AnExistingFileIsReplaced) {
    Add(0, "Anna", D(2, 6, 1980));
    const std::string path = files_.File("liste.html");
    test::WriteFile(path, std::string(100000, 'x'));
    ASSERT_TRUE(ExportHTML(session_, path, {0}));
    EXPECT_EQ(Lines(path).back(), "</html>");
    EXPECT_EQ(test::ReadFile(path).find('x' + std::string(10, 'x')), std::string::npos);
}

}  // namespace
}  // namespace tw
