#include "ui/ui_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <QItemSelectionModel>
#include <QTableView>

#include "core/entries/entry_files.h"
#include "core/ini/ini_files.h"
#include "core/text/date_text.h"
#include "ui/entry_list_model.h"

namespace tw::test {

TMainWindowFixture::TMainWindowFixture(const std::vector<TFixtureEntry>& entries, bool then_close,
                                       bool autostart_argument) {
    if (const char* home = std::getenv("XDG_CONFIG_HOME")) old_config_home_ = home;
    setenv("XDG_CONFIG_HOME", config_.Path().c_str(), 1);
    {
        TTWIniFiles files;
        std::string error;
        EXPECT_TRUE(files.Open(data_.Path(), &error)) << error;
        int id = 0;
        for (const TFixtureEntry& fixture : entries) {
            TTWEntry entry;
            entry.Id = id++;
            entry.Name = fixture.Name;
            entry.Date = FixedTextToDate(fixture.Date).value_or(0);
            entry.RememberTimes = {rtStandard};
            entry.RememberOptions = {roStandard};
            if (fixture.Change) fixture.Change(entry);
            WriteEntry(entry, files);
            if (fixture.OnlyTheseMarks)
                files.EntriesIni.DeleteKey(std::to_string(entry.Id), "REM_" + std::to_string(entry.Age()));
            for (const std::string& mark : fixture.Marks)
                files.EntriesIni.WriteBool(std::to_string(entry.Id), mark, true);
            for (const auto& [key, value] : fixture.Keys)
                files.EntriesIni.WriteString(std::to_string(entry.Id), key, value);
        }
        EXPECT_TRUE(files.WriteAll(&error)) << error;
    }
    TStartupSettings settings;
    settings.ProgramDir = TAGWACHT_RESOURCE_DIR;
    settings.DataDir = data_.Path();
    settings.ExecutablePath = data_.File("tagwacht");
    settings.FirstArgumentIsAutostart = autostart_argument;
    std::string error;
    if (then_close) {
        // A first start writes the defaults; the user then switched "ThenClose" on.
        {
            TTagwacht first;
            EXPECT_TRUE(first.Construct(settings, {}, DesignLayout(), &error)) << error;
        }
        TTWIniFiles files;
        EXPECT_TRUE(files.Open(data_.Path(), &error)) << error;
        files.OptionsIni.WriteBool("Program", "ThenClose", true);
        EXPECT_TRUE(files.WriteAll(&error)) << error;
    }
    app_ = std::make_unique<TTagwacht>();
    SetApp(app_.get());
    window_ = std::make_unique<TfMain>(*app_);
    EXPECT_TRUE(app_->Construct(settings, {}, DesignLayout(), &error)) << error;
    EXPECT_TRUE(window_->LoadEntriesAtStart());
}

TMainWindowFixture::~TMainWindowFixture() {
    window_.reset();
    SetApp(nullptr);
    app_.reset();
    if (old_config_home_.empty())
        unsetenv("XDG_CONFIG_HOME");
    else
        setenv("XDG_CONFIG_HOME", old_config_home_.c_str(), 1);
}

std::vector<std::string> TMainWindowFixture::ListedNames() const {
    std::vector<std::string> names;
    for (const TListRow& row : window_->ListModel()->Rows()) names.push_back(row[1]);
    return names;
}

void TMainWindowFixture::Highlight(const std::vector<int>& rows) {
    QItemSelectionModel* selection = window_->List()->selectionModel();
    selection->clearSelection();
    for (size_t i = 0; i < rows.size(); ++i) {
        const QModelIndex index = window_->ListModel()->index(rows[i], 1);
        const auto flags = QItemSelectionModel::Select | QItemSelectionModel::Rows;
        if (i == 0)
            selection->setCurrentIndex(index, flags);
        else
            selection->select(index, flags);
    }
}

}  // namespace tw::test
