#include "core/importexport/contacts_import.h"

#include <climits>
#include <vector>

#include "core/app/core_session.h"
#include "core/entries/entry_files.h"
#include "core/importexport/progress.h"
#include "core/text/encoding.h"
#include "core/text/files.h"
#include "core/text/messages.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

// A field value as one line of text: the data files hold one value per line, so line breaks
// and other control characters become a single blank; blanks around the value go.
std::string CleanText(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    bool pending_blank = false;
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == ' ') {
            pending_blank = !clean.empty();
            continue;
        }
        if (pending_blank) clean.push_back(' ');
        pending_blank = false;
        clean.push_back(c);
    }
    return clean;
}

// Telephones that the contact's home or business telephone number is not.
bool IsOtherDevice(const TVCardProperty& tel) {
    for (const char* type : {"fax", "pager", "cell", "modem", "car", "isdn", "bbs", "video"})
        if (tel.HasType(type)) return true;
    return false;
}

std::string TelephoneNumber(const TVCardProperty& tel) {
    std::string number = CleanText(tel.Text());
    // vCard 4.0 may give the number as a "tel:" address.
    if (SameTextAscii(std::string_view(number).substr(0, 4), "tel:")) number.erase(0, 4);
    return number;
}

std::string NameFromParts(const TVCardProperty& n) {
    std::vector<std::string> parts = n.Components();
    parts.resize(5);
    std::string name;
    // Family; Given; Additional; Prefix; Suffix — the full name reads given first.
    for (size_t i : {1, 2, 0, 4}) {
        std::string part = CleanText(parts[i]);
        if (part.empty()) continue;
        if (!name.empty()) name.push_back(' ');
        name += part;
    }
    return name;
}

std::optional<TDateTime> BirthdayDate(const TVCardDate& birthday) {
    int year = birthday.Year == 0 ? kUnknownYear : birthday.Year;
    // The year 9999 has no 29 February; the program reminds of such a birthday on 28 February
    // anyway.
    if (year == kUnknownYear && birthday.Month == 2 && birthday.Day == 29) return EncodeDate(year, 2, 28);
    return EncodeDate(year, birthday.Month, birthday.Day);
}

std::string MailValue(const TContact& contact, int mail_choice) {
    switch (mail_choice) {
        case 1:
            return contact.Email1Address;
        case 2:
            return contact.Email2Address;
        case 3:
            return contact.Email3Address;
        default:
            return "";
    }
}

std::string RemarkValue(const TContact& contact, int remark_choice) {
    switch (remark_choice) {
        case rcNickName:
            return contact.NickName;
        case rcWebPage:
            return contact.WebPage;
        case rcHobby:
            return contact.Hobby;
        case rcHomeTelephone:
            return contact.HomeTelephoneNumber;
        case rcBusinessTelephone:
            return contact.BusinessTelephoneNumber;
        case rcCompanyName:
            return contact.CompanyName;
        case rcLanguage:
            return contact.Language;
        default:
            return "";
    }
}

// The entry of one card, or nothing when the card is skipped.
std::optional<TTWEntry> EntryFromCard(const TVCard& card, int mail_choice, int remark_choice) {
    if (!card.Complete) return std::nullopt;
    TContact contact = ContactFromVCard(card);
    if (!contact.Birthday) return std::nullopt;
    std::optional<TDateTime> date = BirthdayDate(*contact.Birthday);
    if (!date) return std::nullopt;
    TTWEntry entry;
    entry.Name = contact.FullName;
    entry.Date = *date;
    entry.Event = 0;
    entry.EMail = MailValue(contact, mail_choice);
    entry.Remark = std::string(Utf8Left(RemarkValue(contact, remark_choice), 255));
    entry.RememberOptions = {roStandard};
    entry.RememberTimes = {rtStandard};
    // Checked before writing: an invalid entry in the program's own files stops the program.
    if (Utf8Length(entry.EMail) > 255 || !IsValid(entry)) return std::nullopt;
    return entry;
}

// Takes the imported entries out of the files and the collection again, last first.
void RemoveImported(TCoreSession& session, const std::vector<int>& ids) {
    for (auto id = ids.rbegin(); id != ids.rend(); ++id) {
        const TTWEntry* entry = session.Entries.FindId(*id);
        if (!entry) continue;
        DeleteEntryData(*entry, session.IniFiles);
        session.Entries.RemoveEntry(*id);
    }
}

bool IsBlankText(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

}  // namespace

TContact ContactFromVCard(const TVCard& card) {
    TContact contact;
    const TVCardProperty *fn = nullptr, *n = nullptr, *bday = nullptr;
    int emails = 0;
    auto take_first = [](std::string& field, const TVCardProperty& property) {
        if (field.empty()) field = CleanText(property.Text());
    };
    for (const TVCardProperty& property : card.Properties) {
        const std::string& name = property.Name;
        if (name == "FN" && !fn)
            fn = &property;
        else if (name == "N" && !n)
            n = &property;
        else if (name == "BDAY" && !bday)
            bday = &property;
        else if (name == "EMAIL" && emails < 3) {
            std::string* slots[] = {&contact.Email1Address, &contact.Email2Address, &contact.Email3Address};
            *slots[emails++] = CleanText(property.Text());
        } else if (name == "NICKNAME")
            take_first(contact.NickName, property);
        else if (name == "URL")
            take_first(contact.WebPage, property);
        else if (name == "HOBBY" || name == "X-HOBBY")
            take_first(contact.Hobby, property);
        else if (name == "LANG")
            take_first(contact.Language, property);
        else if (name == "ORG" && contact.CompanyName.empty())
            contact.CompanyName = CleanText(property.Components()[0]);
        else if (name == "TEL" && !IsOtherDevice(property)) {
            if (property.HasType("home") && contact.HomeTelephoneNumber.empty())
                contact.HomeTelephoneNumber = TelephoneNumber(property);
            if (property.HasType("work") && contact.BusinessTelephoneNumber.empty())
                contact.BusinessTelephoneNumber = TelephoneNumber(property);
        }
    }
    if (fn) contact.FullName = CleanText(fn->Text());
    if (contact.FullName.empty() && n) contact.FullName = NameFromParts(*n);
    if (bday) contact.Birthday = VCardBirthday(*bday);
    return contact;
}

TContactsImportResult ImportContacts(TCoreSession& session, const std::string& file_name, int mail_choice,
                                     int remark_choice, std::string* error) {
    if (error) error->clear();
    std::string bytes, read_error;
    if (!ReadFileBytes(file_name, &bytes, &read_error)) {
        if (error) *error = read_error;
        return TContactsImportResult::Failed;
    }
    const std::string text = DecodeVCardFile(std::move(bytes));
    const size_t total = TVCardReader::CountCards(text);
    // An empty file is an address book without contacts; anything else without a card is not a
    // vCard file at all.
    if (total == 0) return IsBlankText(text) ? TContactsImportResult::Done : TContactsImportResult::Failed;

    TTWIniFiles& files = session.IniFiles;
    TProgressRun progress(true, total > INT_MAX ? INT_MAX : static_cast<int>(total), false);
    std::vector<int> imported;
    bool skipped = false, cancelled = false;
    std::string write_error;
    bool written = true;
    {
        // The files are written once, when the import ends, not once per contact.
        TDeferredWriteBack entries_write(files.EntriesIni), options_write(files.EOptionsIni),
            rem_write(files.RemIni);
        TVCardReader reader(text);
        TVCard card;
        for (int position = 1; reader.Next(card); ++position) {
            std::optional<TTWEntry> entry = EntryFromCard(card, mail_choice, remark_choice);
            if (entry) {
                entry->Id = static_cast<int>(TTWEntries::NextFreeId(files.EntriesIni));
                WriteEntry(*entry, files);
                if (session.Entries.AddEntry(entry->Id, files))
                    imported.push_back(entry->Id);
                else
                    skipped = true;
            } else {
                skipped = true;
            }
            // Skipped contacts count as progress too, so a cancel is never held up by them.
            Progress().SetProgressPosition(position);
            Messages().ProcessMessages();
            if (Progress().CancelRequested()) {
                cancelled = true;
                break;
            }
        }
        if (cancelled) RemoveImported(session, imported);
        std::string one;
        for (TDeferredWriteBack* write : {&entries_write, &options_write, &rem_write})
            if (!write->Finish(&one)) written = false, write_error = one;
    }
    if (!written) {
        // Nothing of a half-written import stays: the entries go again, and the files are brought
        // back to what they held before where they can be written.
        if (!cancelled) RemoveImported(session, imported);
        for (TIniStore* store : {&files.EntriesIni, &files.EOptionsIni, &files.RemIni}) store->UpdateFile();
        if (error) *error = write_error;
        return TContactsImportResult::Failed;
    }
    if (cancelled) return TContactsImportResult::Cancelled;
    return skipped ? TContactsImportResult::Skipped : TContactsImportResult::Done;
}

}  // namespace tw
