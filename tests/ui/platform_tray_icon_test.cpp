#include <gtest/gtest.h>

#include <QPixmap>
#include <QSignalSpy>
#include <filesystem>

#include "core/test_support.h"
#include "platform/tray_icon.h"

namespace tw {
namespace {

TEST(PlatformTrayTip, CutCountsCharactersNotUtf16Units) {
    const QString emoji = QString::fromUtf8("\U0001F382");  // two UTF-16 units
    struct Case {
        QString text;
        QString expected;
    };
    const Case cases[] = {
        {QString(127, u'x'), QString(127, u'x')},
        {QString(128, u'x'), QString(127, u'x')},
        {QString(200, u'ä'), QString(127, u'ä')},
        // The 127th character lies outside the basic plane: kept whole, nothing after it.
        {QString(126, u'a') + emoji + QStringLiteral("b"), QString(126, u'a') + emoji},
        {QString(127, u'a') + emoji, QString(127, u'a')},
        {QString(), QString()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CutToCharacters(c.text, kMaxTipCharacters), c.expected) << c.text.size();
    }
}

TEST(PlatformTrayIcon, TipIsKeptWholeAndShownCutTo127) {
    TTWTrayIcon tray(QString::fromLatin1(TAGWACHT_RESOURCE_DIR));
    tray.BaseTip = QStringLiteral("Tagwacht 6.3.2");
    const QString long_tip = tray.BaseTip + QStringLiteral("\n\r") + QString(150, u'ü');
    tray.SetTip(long_tip);
    EXPECT_EQ(tray.Tip(), long_tip);
    // 14 + LF + CR + 111 characters; the CR of the stored line break is not shown.
    EXPECT_EQ(tray.ShownTip(), tray.BaseTip + QStringLiteral("\n") + QString(111, u'ü'));
}

TEST(PlatformTrayIcon, WithoutATrayTheIconIsNeverShown) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()) << "off-screen has no tray";
    TTWTrayIcon tray(QString::fromLatin1(TAGWACHT_RESOURCE_DIR));
    tray.SetTip(QStringLiteral("Tagwacht 6.3.2"));
    tray.ShowIcon();
    EXPECT_FALSE(tray.Shown());
    EXPECT_FALSE(tray.SystemIcon().isVisible());
    tray.HideIcon();
    EXPECT_FALSE(tray.Shown());
    tray.ShowIcon();  // a later attempt is allowed and fails the same way
    EXPECT_FALSE(tray.Shown());
    EXPECT_EQ(tray.Tip(), QStringLiteral("Tagwacht 6.3.2"));
}

TEST(PlatformTrayIcon, ActivationsBecomeTheThreeMouseEvents) {
    TTWTrayIcon tray(QString::fromLatin1(TAGWACHT_RESOURCE_DIR));
    QSignalSpy right(&tray, &TTWTrayIcon::RightReleased);
    QSignalSpy left(&tray, &TTWTrayIcon::LeftReleased);
    QSignalSpy twice(&tray, &TTWTrayIcon::DoubleClicked);
    struct Case {
        QSystemTrayIcon::ActivationReason reason;
        int right, left, twice;
    };
    const Case cases[] = {
        {QSystemTrayIcon::Context, 1, 0, 0},     {QSystemTrayIcon::Trigger, 0, 1, 0},
        {QSystemTrayIcon::DoubleClick, 0, 0, 1}, {QSystemTrayIcon::MiddleClick, 0, 0, 0},
        {QSystemTrayIcon::Unknown, 0, 0, 0},
    };
    for (const Case& c : cases) {
        right.clear();
        left.clear();
        twice.clear();
        emit tray.SystemIcon().activated(c.reason);
        EXPECT_EQ(right.count(), c.right) << c.reason;
        EXPECT_EQ(left.count(), c.left) << c.reason;
        EXPECT_EQ(twice.count(), c.twice) << c.reason;
    }
}

TEST(PlatformProgramIcon, ReadsTheSvgAndFallsBackToPng) {
    EXPECT_FALSE(ProgramIcon(QString::fromLatin1(TAGWACHT_RESOURCE_DIR)).pixmap(32, 32).isNull());

    test::TTempDir dir;
    const QString program_dir = QString::fromStdString(dir.Path());
    EXPECT_TRUE(ProgramIcon(program_dir).isNull());

    std::filesystem::create_directory(dir.File("icons"));
    test::WriteFile(dir.File("icons/tagwacht.svg"), "not a picture");
    EXPECT_TRUE(ProgramIcon(program_dir).isNull());
    QPixmap png(48, 48);
    png.fill(Qt::red);
    ASSERT_TRUE(png.save(QString::fromStdString(dir.File("icons/tagwacht.png"))));
    const QIcon icon = ProgramIcon(program_dir);
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(32, 32).toImage().pixelColor(16, 16), QColor(Qt::red));
}

}  // namespace
}  // namespace tw
