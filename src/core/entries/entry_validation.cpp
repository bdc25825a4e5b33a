#include "core/entries/entry_validation.h"

#include "core/languages/languages.h"
#include "core/text/date_text.h"
#include "core/text/encoding.h"
#include "core/text/text_helpers.h"

namespace tw {

std::string CompleteDateText(std::string_view text) {
    std::string t = PadRight(text, ' ', 10);
    if (t.size() != 10) return std::string(text);
    auto blank = [&](size_t position) { return t[position - 1] == ' '; };
    if (blank(1) && !blank(2)) t[0] = '0';
    if (blank(4) && !blank(5)) t[3] = '0';
    if (blank(7) && blank(8) && !blank(9) && !blank(10)) t.replace(6, 2, "19");
    return t;
}

std::optional<TDateTime> EntryBasicsDate(const TEntryBasics& basics) {
    return FixedTextToDate(CompleteDateText(basics.DateText));
}

std::string ValidateEntryBasics(const TEntryBasics& basics) {
    std::string message;
    auto fail = [&](int text) { message += "\r\n-" + GetText(text); };
    if (Utf8Length(basics.Name) < 2) fail(0);
    if (basics.Event == 2 && Utf8Length(basics.UserEvent) < 3) fail(1);
    if (!EntryBasicsDate(basics)) fail(2);
    if (!basics.EMail.empty() && !IsValidEMail(basics.EMail)) fail(3);
    return message.empty() ? message : GetText(8) + ":" + message;
}

}  // namespace tw
