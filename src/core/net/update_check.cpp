#include "core/net/update_check.h"

#include <unistd.h>

#include <cstdlib>

#include "core/languages/languages.h"
#include "core/net/site_url.h"
#include "core/text/count_text.h"
#include "core/text/messages.h"
#include "core/text/text_helpers.h"

namespace tw {
namespace {

constexpr const char* kSection = "Update";

// A private folder for "update.tmp": the program folder may not be writable, and a fixed name
// in a shared folder could be planted by someone else. Removed with its content on the way out.
class TPrivateTempDir {
  public:
    TPrivateTempDir() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/tagwacht-update-XXXXXX";
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TPrivateTempDir() {
        if (path_.empty()) return;
        unlink(File().c_str());
        rmdir(path_.c_str());
    }
    bool Valid() const { return !path_.empty(); }
    std::string File() const { return path_ + "/update.tmp"; }

  private:
    std::string path_;
};

TMsgAnswer Ask(const std::string& text) {
    return Messages().MsgBox(text, TMsgButtons::YesNo, TMsgIcon::Information);
}

}  // namespace

TTWUpdateClass ReadUpdateAnswer(const TIniStore& answer) {
    TTWUpdateClass update;
    update.Available = answer.ReadBool("update", "update", false);
    if (!update.Available) return update;
    update.UpdateId = answer.ReadInteger("update", "id", -1);
    update.Kind = answer.ReadInteger("update", "type", -1);
    update.Text = answer.ReadString("update", "text", "");
    if (update.Text.empty()) update.Text = "Keine";
    update.Version = answer.ReadString("update", "v1", "0") + "." + answer.ReadString("update", "v2", "0") +
                     "." + answer.ReadString("update", "v3", "0");
    update.ReleaseDate = answer.ReadString("update", "date", "01.01.2000");
    return update;
}

std::string UpdateRequestUrl() {
    return SiteUrl() + "/update.php?v1=" + std::to_string(kVersionMajor) +
           "&v2=" + std::to_string(kVersionMinor) + "&v3=" + std::to_string(kVersionRelease);
}

std::string SetupDownloadUrl() { return SiteUrl() + "/download/setup.exe"; }

TTWUpdate::TTWUpdate(TIndyEngine& engine, TIniStore& options_ini, bool& online)
    : engine_(&engine), options_ini_(&options_ini), online_(&online) {}

bool TTWUpdate::IsKnown(int update_id) const {
    return update_id != -1 && options_ini_->ValueExists(kSection, std::to_string(update_id));
}

void TTWUpdate::Remember(int update_id) {
    options_ini_->WriteString(kSection, std::to_string(update_id), "1");
    options_ini_->WriteBackPoint();
}

void TTWUpdate::Forget(int update_id) {
    options_ini_->DeleteKey(kSection, std::to_string(update_id));
    options_ini_->WriteBackPoint();
}

void TTWUpdate::CheckForUpdate(bool silent) {
    TTWUpdateClass update;
    {
        TPrivateTempDir folder;
        std::string error =
            folder.Valid() ? engine_->Download(UpdateRequestUrl(), folder.File()) : kUnknownError;
        if (!error.empty()) {
            if (!silent) Messages().MsgBox(GetText(107), TMsgButtons::Ok, TMsgIcon::Error);
            *online_ = false;
            return;
        }
        *online_ = true;
        if (OnOnline) OnOnline();
        TIniStore answer;
        if (!answer.Open(folder.File())) {
            if (!silent) Messages().MsgBox(GetText(112), TMsgButtons::Ok, TMsgIcon::Error);
            return;
        }
        update = ReadUpdateAnswer(answer);
    }
    bool shown = false;
    if (!ShowAnnouncement(update, &shown)) {
        if (!silent) Messages().MsgBox(GetText(112), TMsgButtons::Ok, TMsgIcon::Error);
        return;
    }
    if (!shown && !silent) Messages().MsgBox(GetText(111), TMsgButtons::Ok, TMsgIcon::Information);
}

bool TTWUpdate::ShowAnnouncement(const TTWUpdateClass& update, bool* shown) {
    *shown = false;
    if (!update.Available || IsKnown(update.UpdateId)) return true;
    Remember(update.UpdateId);
    if (update.Kind == 0) {
        if (OnBringToFront) OnBringToFront();
        auto question =
            TryFormat(GetText(108), {update.Version, update.ReleaseDate, update.Text, SetupDownloadUrl()});
        if (!question) return false;
        bool download = Ask(*question) == TMsgAnswer::Yes;
        if (Ask(GetText(109)) == TMsgAnswer::Yes) Forget(update.UpdateId);
        if (download) Messages().OpenDocument(SetupDownloadUrl());
        *shown = true;
    } else if (update.Kind == 1) {
        if (OnBringToFront) OnBringToFront();
        auto question = TryFormat(GetText(110), {ReplaceAll(update.Text, "<br>", "\n"), update.ReleaseDate});
        if (!question) return false;
        if (Ask(*question) == TMsgAnswer::Yes) Forget(update.UpdateId);
        *shown = true;
    }
    return true;
}

}  // namespace tw
