#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "core/importexport/progress.h"
#include "core/test_support.h"
#include "ui/import_progress_window.h"

namespace tw::test {
namespace {

TEST(ImportProgressWindow, FollowsTheJobAndClosesWhenItEnds) {
    TTestLanguage language;
    TProgressState state;
    TfImportProgress window(state);
    window.Tick();
    EXPECT_FALSE(window.isVisible());

    state.BeginProgress(true, 10, false);
    window.Tick();
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.HeadingLabel()->text(), "T173");
    EXPECT_EQ(window.Gauge()->maximum(), 10);
    state.SetProgressPosition(4);
    window.Tick();
    EXPECT_EQ(window.Gauge()->value(), 4);
    EXPECT_EQ(window.StatusLabel()->text(), "4 / 10");

    window.close();  // refused while the job runs
    EXPECT_TRUE(window.isVisible());

    QTest::mouseClick(window.CancelButton(), Qt::LeftButton);
    QTest::mouseClick(window.CancelButton(), Qt::LeftButton);
    EXPECT_TRUE(state.CancelRequested());

    state.BeginProgress(true, 3, false);  // a new total: the gauge starts again, the request is gone
    window.Tick();
    EXPECT_EQ(window.Gauge()->maximum(), 3);
    EXPECT_EQ(window.Gauge()->value(), 0);
    EXPECT_FALSE(state.CancelRequested());

    state.EndProgress();
    window.Tick();
    EXPECT_FALSE(window.isVisible());
}

TEST(ImportProgressWindow, UnknownTotalAndExportWithoutCancel) {
    TTestLanguage language;
    TProgressState state;
    TfImportProgress window(state);
    state.BeginProgress(false, -1, true);
    window.Tick();
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.HeadingLabel()->text(), "T174");
    EXPECT_EQ(window.Gauge()->maximum(), 1);
    EXPECT_EQ(window.Gauge()->value(), 0);
    EXPECT_EQ(window.StatusLabel()->text(), "T188");
    EXPECT_FALSE(window.CancelButton()->isEnabled());
    state.ProgressActive = false;  // even after the job, NoCancel keeps the user from closing it
    window.close();
    EXPECT_TRUE(window.isVisible());
    window.Tick();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(state.ProgressNoCancel);
}

}  // namespace
}  // namespace tw::test
