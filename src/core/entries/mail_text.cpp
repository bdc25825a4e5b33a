#include "core/entries/mail_text.h"

#include <utility>

#include "core/entries/entry_texts.h"
#include "core/text/clock.h"
#include "core/text/date_text.h"
#include "core/text/text_helpers.h"

namespace tw {

std::string ReplacePlaceholder(std::string_view text, std::string_view key, std::string_view value) {
    std::string placeholder = LowerAscii("%" + std::string(key) + "%");
    // Lowering A–Z keeps every byte where it is, so positions found in the folded copy hold for
    // the text itself.
    std::string folded = LowerAscii(text);
    std::string out;
    size_t pos = 0;
    for (size_t hit; (hit = folded.find(placeholder, pos)) != std::string::npos;
         pos = hit + placeholder.size()) {
        out.append(text, pos, hit - pos);
        out.append(value);
    }
    out.append(text.substr(pos));
    return out;
}

std::string FillMailText(std::string_view mail_template, const TTWEntry& entry) {
    TFrozenNow one_moment;
    std::string next_date = DateToText(entry.NextDate());
    std::string next_text = entry.NextText();
    // Each value joins the text before the later keys are searched, so the order is part of what
    // a user's template produces (a name holding "%email%" ends up with the address).
    const std::pair<const char*, std::string> values[] = {
        {"name", entry.Name},
        {"date", DateToText(entry.Date)},
        {"fulldate", entry.BirthWeekdayText() + ", den " + DateToText(entry.Date)},
        {"email", entry.EMail},
        {"remark", entry.Remark},
        {"event", entry.EventText()},
        {"age", IntToStr(entry.Age())},
        {"fullage", entry.AgeText()},
        {"next", next_date},
        {"daystonext", IntToStr(entry.DaysToNext())},
        {"fulldaystonext", next_text},
        {"fullnext", entry.NextWeekdayText() + ", den " + next_date + " (" + next_text + ")"},
        {"rememberoptions", RememberOptionsText(entry)},
        {"remembertimes", RememberTimesText(entry)},
    };
    std::string text = ReplaceAll(mail_template, "\\n", "\r\n");
    for (const auto& [key, value] : values) text = ReplacePlaceholder(text, key, value);
    return text;
}

std::string FillMailText(std::string_view mail_template, int id, const TTWEntries& entries) {
    if (const TTWEntry* entry = entries.FindId(id)) return FillMailText(mail_template, *entry);
    return ReplaceAll(mail_template, "\\n", "\r\n");
}

}  // namespace tw
