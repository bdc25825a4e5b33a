#pragma once

#include <optional>
#include <string>

#include "core/importexport/vcard_parser.h"

namespace tw {

class TCoreSession;

/// Outcome of a contacts import; the numbers are the program's result codes.
enum class TContactsImportResult {
    Done = 0,       ///< every contact was imported (also: the file holds no contact at all)
    Skipped = 1,    ///< imported, but at least one contact was skipped (no or unreadable birthday,
                    ///< invalid name or e-mail address, cut-off card)
    Failed = 2,     ///< the file cannot be read, holds no vCard, or the data files cannot be
                    ///< written; nothing was added
    Cancelled = 3,  ///< the user cancelled; the contacts added so far were removed again
};

/// The e-mail choice: which EMAIL of the contact becomes the entry's address.
inline constexpr int kMailNone = 0;  ///< none; 1, 2 and 3 take the 1st, 2nd and 3rd EMAIL

/// The remark choice: which contact field becomes the entry's remark.
enum TRemarkChoice {
    rcNickName = 0,           ///< NICKNAME
    rcWebPage = 1,            ///< URL
    rcHobby = 2,              ///< HOBBY or X-HOBBY
    rcHomeTelephone = 3,      ///< TEL of type home
    rcBusinessTelephone = 4,  ///< TEL of type work
    rcCompanyName = 5,        ///< first component of ORG
    rcLanguage = 6,           ///< LANG
    rcNothing = 7,            ///< no remark
};

/// The contact fields the import can take over from one vCard, each the first one the card
/// holds, as text without the vCard escapes. Empty when the card lacks the field.
struct TContact {
    std::string FullName;  ///< FN; without FN the parts of N (given, additional, family, suffix)
    std::optional<TVCardDate> Birthday;                       ///< BDAY; nothing when missing or not a date
    std::string Email1Address, Email2Address, Email3Address;  ///< the 1st, 2nd and 3rd EMAIL
    std::string NickName;                                     ///< NICKNAME
    std::string WebPage;                                      ///< URL
    std::string Hobby;                    ///< HOBBY (RFC 6715) or X-HOBBY, whichever comes first
    std::string HomeTelephoneNumber;      ///< TEL of type home that is no fax, pager or mobile
    std::string BusinessTelephoneNumber;  ///< TEL of type work that is no fax, pager or mobile
    std::string CompanyName;              ///< first component of ORG
    std::string Language;                 ///< LANG
};

/// The contact fields of a card.
TContact ContactFromVCard(const TVCard& card);

/// Adds every contact of a vCard file (2.1, 3.0 or 4.0) that has a birthday as a new birthday
/// entry with the standard reminder settings, ids by NextFreeId, to the data files and to
/// session.Entries. mail_choice: kMailNone or 1..3 (anything else counts as none);
/// remark_choice: a TRemarkChoice (anything outside 0..6 counts as rcNothing).
///
/// A contact without a readable birthday, with a name of fewer than 2 or more than 255
/// characters, or with a chosen address that the program rejects is skipped and counted; the
/// import goes on. A birthday without a year gets the year 9999. The progress state shows the
/// run and offers a cancel. Every change is on disk when the import returns; if the data files
/// cannot be written, the contacts are taken out again and the result is Failed.
///
/// error: on Failed, the reason when it is not the file's content (the file cannot be read, the
/// data files cannot be written); empty when the file simply holds no vCard.
TContactsImportResult ImportContacts(TCoreSession& session, const std::string& file_name, int mail_choice,
                                     int remark_choice, std::string* error = nullptr);

}  // namespace tw
