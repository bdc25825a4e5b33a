#include "core/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tw::test {

TMsgAnswer TRecordingMessages::MsgBox(const std::string& text, TMsgButtons buttons, TMsgIcon icon) {
    Boxes.push_back(text);
    Icons.push_back(icon);
    if (buttons == TMsgButtons::Ok) return TMsgAnswer::Ok;
    if (Answers.empty()) return TMsgAnswer::Yes;
    TMsgAnswer answer = Answers.front();
    Answers.erase(Answers.begin());
    return answer;
}

TTempDir::TTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tagwacht-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    if (!made) throw std::runtime_error("mkdtemp failed");
    path_ = made;
}

TTempDir::~TTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

namespace {

std::string TestLanguageFile(const std::map<int, std::string>& texts) {
    std::string file = "[Information]\r\nLanguage=Test\r\nMadeBy=\r\nEMail=\r\n\r\n[Strings]\r\n";
    for (int n = 0; n <= 199; ++n) {
        auto given = texts.find(n);
        file += std::to_string(n) + "=" + (given != texts.end() ? given->second : "T" + std::to_string(n)) + "\r\n";
    }
    return file;
}

}  // namespace

TTestLanguage::TTestLanguage(std::map<int, std::string> texts, const std::string& extra_sections)
    : languages_(dir_.Path(), options_) {
    WriteFile(dir_.File("test.twl"), TestLanguageFile(texts) + extra_sections);
    options_.Open(dir_.File("options.ini"));
    options_.WriteString("Language", "CurrentLang", "test.twl");
    languages_.LoadLanguages();
    languages_.GetCurrentLanguage();
    languages_.LoadStrings();
    SetLanguages(&languages_);
}

TTestLanguage::~TTestLanguage() { SetLanguages(nullptr); }

TDateTime D(int day, int month, int year) {
    auto date = EncodeDate(year, month, day);
    EXPECT_TRUE(date.has_value()) << day << "." << month << "." << year;
    return date.value_or(0);
}

}  // namespace tw::test
