#include "core/entries/entry_texts.h"

#include "core/languages/languages.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

void AppendItem(std::string& list, const std::string& item) {
    if (!list.empty()) list += ", ";
    list += item;
}

}  // namespace

std::vector<std::string> EmailTextToLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            lines.push_back(std::move(line));
            line.clear();
            ++i;
        } else {
            line += text[i];
        }
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

std::string LinesToEmailText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += text.empty() ? line : "\\n" + line;
    return text;
}

std::string RememberTimesText(const TTWEntry& entry) {
    std::string text;
    for (int k = 0; k < static_cast<int>(std::size(kRememberDays)); ++k)
        if (entry.RememberTimes.Has(static_cast<TRememberTime>(rtD0 + k)))
            AppendItem(text, IntToStr(kRememberDays[k]));
    if (entry.RememberTimes.Has(rtStandard)) AppendItem(text, GetText(100));
    return text;
}

std::string RememberOptionsText(const TTWEntry& entry) {
    const TRememberOptions& options = entry.RememberOptions;
    if (options.Has(roStandard)) return GetText(100);
    std::string text;
    if (options.Has(roSound)) AppendItem(text, GetText(101));
    if (options.Has(roKeyboard)) AppendItem(text, GetText(102));
    if (options.Has(roSpeech)) AppendItem(text, GetText(103));
    if (options.Has(roEmail)) AppendItem(text, GetText(entry.EmailOnly ? 104 : 43));
    return text;
}

}  // namespace tw
