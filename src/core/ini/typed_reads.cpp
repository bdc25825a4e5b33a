#include "core/ini/typed_reads.h"

#include "core/languages/languages.h"
#include "core/text/clock.h"
#include "core/text/date_text.h"
#include "core/text/encoding.h"
#include "core/text/files.h"
#include "core/text/messages.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

std::string Where(const TIniStore& store, std::string_view section, std::string_view key) {
    return Format(GetText(37), {ExtractFileName(store.FileName()), std::string(section), std::string(key)});
}

// A failed write-back keeps the changes in memory; they are written, or reported, when the
// operation that reads ends.
void PassWriteBackPoint(TIniStore& store) { store.WriteBackPoint(); }

}  // namespace

std::string ReadStringChecked(TIniStore& store, std::string_view section, std::string_view key, int max_length) {
    PassWriteBackPoint(store);
    if (auto found = store.FindValue(section, key)) {
        std::string text(*found);
        // A text no longer in bytes than the limit is within it in characters too.
        if (max_length >= 0 && text.size() > static_cast<size_t>(max_length) &&
            Utf8Length(text) > static_cast<size_t>(max_length)) {
            text = std::string(Utf8Left(text, static_cast<size_t>(max_length)));
            ShowError(Where(store, section, key) + kCrLf + GetText(38));
        }
        return text;
    }
    store.WriteString(section, key, key == "Date" ? "01.01.2000" : "");
    ShowError(Where(store, section, key));
    return "";
}

bool ReadBoolChecked(TIniStore& store, std::string_view section, std::string_view key) {
    PassWriteBackPoint(store);
    if (auto found = store.FindValue(section, key)) {
        // The common values need no number parsing.
        if (*found == "0") return false;
        if (*found == "1") return true;
        return store.ReadBool(section, key, false);
    }
    store.WriteString(section, key, "0");
    ShowError(Where(store, section, key));
    return false;
}

TDateTime ReadDateChecked(TIniStore& store, std::string_view section, std::string_view key) {
    PassWriteBackPoint(store);
    if (auto found = store.FindValue(section, key)) {
        if (auto date = TextToDate(*found)) return *date;
    }
    store.WriteDate(section, key, *EncodeDate(1970, 1, 1));
    ShowError(Where(store, section, key));
    return Now();
}

int ReadIntegerChecked(TIniStore& store, std::string_view section, std::string_view key, int minimum, int maximum) {
    PassWriteBackPoint(store);
    std::optional<std::string_view> found = store.FindValue(section, key);
    if (!found) {
        store.WriteInteger(section, key, 0);
        if (key != "Sex")
            ShowError("Fehler beim Lesen aus der Datei \"" + ExtractFileName(store.FileName()) + "\" aus Sektion \"" +
                      std::string(section) + "\" bei Wert \"" + std::string(key) + "\"");
        return -1;
    }
    // The common one-digit values need no number parsing.
    int value = found->size() == 1 && (*found)[0] >= '0' && (*found)[0] <= '9' ? (*found)[0] - '0'
                                                                             : store.ReadInteger(section, key, -1);
    if (minimum >= 0 && value < minimum) {
        store.WriteInteger(section, key, minimum);
        ShowError(Where(store, section, key) + "\n\r" + GetText(39));
    }
    if (maximum >= 0 && value > maximum) {
        store.WriteInteger(section, key, maximum);
        ShowError(Where(store, section, key) + "\n\r" + GetText(40));
    }
    return value;
}

}  // namespace tw
