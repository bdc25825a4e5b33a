// Checks the language files shipped in resources/languages against what the program asks of them.

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "core/ini/ini_store.h"
#include "core/languages/languages.h"
#include "core/test_support.h"
#include "core/text/encoding.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

const std::string kLanguageDir = TAGWACHT_RESOURCE_DIR "/languages";

enum class TArg { Text, Int };
constexpr TArg kText = TArg::Text;
constexpr TArg kInt = TArg::Int;

struct TCitedText {
    int Number;
    std::vector<TArg> Args;  ///< what the callers pass to Format; empty: the text is shown as it stands
};

// Every text number the program looks up, with the arguments its callers hand to Format.
// clang-format off
const std::vector<TCitedText> kCitedTexts = {
    {0, {}}, {1, {}}, {2, {}}, {3, {}}, {4, {}}, {5, {}}, {6, {}}, {7, {}}, {8, {}},
    {9, {}}, {10, {}}, {11, {}}, {12, {}}, {13, {}}, {14, {}}, {15, {}}, {16, {}}, {17, {}},
    {18, {}}, {19, {}}, {20, {}}, {21, {}}, {22, {}}, {23, {}}, {24, {}}, {25, {}}, {26, {}},
    {27, {}}, {28, {}}, {29, {}}, {30, {}}, {31, {}}, {32, {}}, {33, {}}, {34, {}}, {35, {}},
    {36, {}},
    {37, {kText, kText, kText}},            // file name, section, key of a repaired INI value
    {38, {}}, {39, {}}, {40, {}}, {41, {}}, {42, {}}, {43, {}}, {44, {}}, {45, {}}, {46, {}},
    {47, {}}, {48, {}}, {49, {}},
    {50, {kText, kText, kInt}},             // print header: version, date, page
    {51, {kText}},                          // window key without a component
    {52, {kText}},                          // id of the entry that could not be deleted
    {64, {}}, {65, {}}, {66, {}}, {68, {}}, {69, {}}, {70, {}},
    {71, {kText, kInt}},                    // age in years, months
    {72, {}}, {73, {}}, {74, {}}, {75, {}}, {76, {}}, {77, {}}, {78, {}}, {79, {}}, {80, {}},
    {81, {}}, {82, {}}, {83, {}}, {84, {}}, {85, {}}, {86, {}}, {87, {}}, {88, {}}, {89, {}},
    {90, {}}, {91, {}}, {92, {}},
    {93, {kInt}},                           // days to the next occurrence
    {94, {}}, {95, {}}, {96, {}}, {97, {}}, {98, {}},
    {99, {kInt}},                           // days since the last occurrence
    {100, {}}, {101, {}}, {102, {}}, {103, {}}, {104, {}}, {105, {}}, {106, {}}, {107, {}},
    {108, {kText, kText, kText, kText}},    // version, release date, announcement, download address
    {109, {}},
    {110, {kText, kText}},                  // message, release date
    {111, {}}, {112, {}}, {113, {}}, {114, {}}, {115, {}}, {116, {}}, {117, {}},
    {118, {kText, kText}},                  // weekday, date
    {119, {}}, {120, {}}, {121, {}}, {122, {}}, {123, {}}, {124, {}}, {125, {}}, {126, {}}, {127, {}},
    {128, {}}, {129, {}}, {130, {}}, {131, {}}, {132, {}}, {133, {}}, {134, {}}, {135, {}}, {136, {}},
    {137, {}}, {138, {}},
    {139, {kInt}},                          // number of entries to delete
    {140, {kText, kText, kText, kText}},    // error class, message, sender class, system message
    {141, {}}, {142, {}},
    {143, {kInt, kInt}},                    // step, number of steps
    {144, {kText, kText}},                  // name and blank, time since the day
    {145, {kText, kText}},                  // name and blank, time since the day
    {146, {kText, kText, kText}},           // time since the day, weekday, date
    {147, {kText, kText}},                  // name and blank, time to the day
    {148, {kText, kText}},                  // name and blank, time to the day
    {149, {kText, kText, kText}},           // time to the day, weekday, date
    {150, {}}, {151, {}}, {152, {}}, {153, {}}, {154, {}}, {155, {}}, {157, {}}, {158, {}}, {159, {}},
    {160, {}}, {161, {}}, {162, {}}, {163, {}}, {164, {}}, {166, {}}, {167, {}}, {168, {}}, {169, {}},
    {170, {}}, {172, {}}, {173, {}}, {174, {}}, {175, {}}, {176, {}}, {177, {}}, {179, {}}, {180, {}},
    {181, {}}, {182, {}}, {183, {}}, {184, {}}, {185, {}}, {186, {}}, {187, {}}, {188, {}}, {189, {}},
    {191, {}}, {192, {}}, {193, {}},
};
// clang-format on

std::set<std::string> CitedKeys() {
    std::set<std::string> keys;
    for (const TCitedText& cited : kCitedTexts) keys.insert(IntToStr(cited.Number));
    return keys;
}

std::string Joined(const std::set<std::string>& keys) {
    std::string out;
    for (const std::string& key : keys) out += (out.empty() ? "" : " ") + key;
    return out;
}

// Arguments that cannot be mistaken for the text around them, so the result shows which
// argument each placeholder took.
std::vector<TFormatArg> MarkerArgs(const std::vector<TArg>& kinds) {
    std::vector<TFormatArg> args;
    for (size_t i = 0; i < kinds.size(); ++i) {
        if (kinds[i] == TArg::Text)
            args.emplace_back("<arg" + std::to_string(i) + ">");
        else
            args.emplace_back(static_cast<long long>(918273 + i));
    }
    return args;
}

std::string MarkerText(const TFormatArg& arg) {
    return std::holds_alternative<std::string>(arg) ? std::get<std::string>(arg)
                                                    : IntToStr(std::get<long long>(arg));
}

struct TLanguageFile {
    const char* FileName;
    const char* DisplayName;
};

void PrintTo(const TLanguageFile& file, std::ostream* out) { *out << file.FileName; }

class LanguageFileTest : public ::testing::TestWithParam<TLanguageFile> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(options_.Open(temp_.File("options.ini")));
        ASSERT_TRUE(languages_.LoadLanguages());
        ASSERT_GE(languages_.IndexOfLanguage(GetParam().FileName), 0)
            << GetParam().FileName << " is missing from " << kLanguageDir << " or not a usable language file";
        languages_.SetCurrentLanguage(GetParam().FileName);
        languages_.LoadStrings();
    }

    const TTWLanguage& Language() const {
        return languages_.Languages[static_cast<size_t>(languages_.IndexOfLanguage(GetParam().FileName))];
    }

    test::TRecordingMessages messages_;
    test::TTempDir temp_;
    TIniStore options_;
    TTWLanguages languages_{kLanguageDir, options_};
};

TEST_P(LanguageFileTest, InformationMakesItAUsableLanguage) {
    EXPECT_TRUE(languages_.IsValidLanguageFile(GetParam().FileName));
    EXPECT_EQ(Language().Language, GetParam().DisplayName);
    EXPECT_FALSE(Language().MadeBy.empty());
    EXPECT_FALSE(Language().EMail.empty());
    EXPECT_EQ(Language().IniFile->ReadSection("Information"),
              (std::vector<std::string>{"Language", "MadeBy", "EMail"}));
    EXPECT_EQ(messages_.Boxes, std::vector<std::string>{});
}

TEST_P(LanguageFileTest, DefinesEachLookedUpNumberOnceAndNothingElse) {
    const std::vector<std::string>& numbers = Language().Numbers;
    std::set<std::string> defined(numbers.begin(), numbers.end());
    EXPECT_EQ(defined.size(), numbers.size()) << "a number is defined twice; only the first one counts";

    // Look-up compares the key with the plain decimal number, so "012" or "12 " would never be found.
    std::set<std::string> cited = CitedKeys();
    std::set<std::string> missing, extra;
    std::set_difference(cited.begin(), cited.end(), defined.begin(), defined.end(),
                        std::inserter(missing, missing.end()));
    std::set_difference(defined.begin(), defined.end(), cited.begin(), cited.end(),
                        std::inserter(extra, extra.end()));
    EXPECT_TRUE(missing.empty()) << "missing: " << Joined(missing);
    EXPECT_TRUE(extra.empty()) << "not looked up by the program: " << Joined(extra);
}

TEST_P(LanguageFileTest, EachTextFitsTheArgumentsItsCallersPass) {
    for (const TCitedText& cited : kCitedTexts) {
        SCOPED_TRACE("text " + IntToStr(cited.Number));
        std::string text = languages_.GetText(cited.Number);
        ASSERT_NE(text, kMissingTextError);
        EXPECT_FALSE(text.empty());
        // Only the lower-case tag becomes a line break; any other spelling would show as typed.
        EXPECT_EQ(LowerAscii(text).find("<br>"), std::string::npos) << text;

        if (cited.Args.empty()) {
            EXPECT_EQ(text.find('%'), std::string::npos) << "shown as it stands, yet holds a %: " << text;
            continue;
        }
        std::vector<TFormatArg> args = MarkerArgs(cited.Args);
        std::optional<std::string> filled = TryFormat(text, args);
        ASSERT_TRUE(filled.has_value()) << "placeholders do not fit the arguments: " << text;
        // TryFormat drops surplus arguments silently: each one must show up, in the callers' order.
        size_t from = 0;
        for (const TFormatArg& arg : args) {
            size_t at = filled->find(MarkerText(arg), from);
            ASSERT_NE(at, std::string::npos)
                << "argument " << MarkerText(arg) << " unused or out of order: " << text;
            from = at + MarkerText(arg).size();
        }
        EXPECT_EQ(filled->find('%'), std::string::npos) << *filled;
    }
}

TEST_P(LanguageFileTest, IsUtf8WithCrLfLineEnds) {
    std::string bytes = test::ReadFile(kLanguageDir + "/" + GetParam().FileName);
    ASSERT_FALSE(bytes.empty());
    EXPECT_TRUE(IsValidUtf8(bytes));
    for (size_t i = 0; i < bytes.size(); ++i) {
        bool lf_after_cr = bytes[i] != '\n' || (i > 0 && bytes[i - 1] == '\r');
        bool cr_before_lf = bytes[i] != '\r' || (i + 1 < bytes.size() && bytes[i + 1] == '\n');
        ASSERT_TRUE(lf_after_cr && cr_before_lf) << "line end other than CR LF at byte " << i;
    }
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}

INSTANTIATE_TEST_SUITE_P(LanguageFiles, LanguageFileTest,
                         ::testing::Values(TLanguageFile{"german.twl", "Deutsch"},
                                           TLanguageFile{"english.twl", "English"}),
                         [](const ::testing::TestParamInfo<TLanguageFile>& info) {
                             std::string name = info.param.FileName;
                             return name.substr(0, name.find('.'));
                         });

// A translation that skips or adds a number shows the English error text in one language only.
TEST(LanguageFiles, GermanAndEnglishDefineTheSameNumbers) {
    TIniStore german, english;
    ASSERT_TRUE(german.Open(kLanguageDir + "/german.twl"));
    ASSERT_TRUE(english.Open(kLanguageDir + "/english.twl"));
    std::vector<std::string> german_keys = german.ReadSection("Strings");
    std::vector<std::string> english_keys = english.ReadSection("Strings");
    ASSERT_FALSE(german_keys.empty());
    EXPECT_EQ(std::set<std::string>(german_keys.begin(), german_keys.end()),
              std::set<std::string>(english_keys.begin(), english_keys.end()));
}

}  // namespace
}  // namespace tw
