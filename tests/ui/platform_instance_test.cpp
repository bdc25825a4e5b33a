#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <algorithm>
#include <filesystem>
#include <string>

#include "core/test_support.h"
#include "platform/instance.h"

namespace tw {
namespace {

TEST(PlatformHasSwitch, AnyArgumentMatchesIgnoringCaseOfAsciiLettersOnly) {
    struct Case {
        QStringList arguments;
        bool expected;
    };
    const Case cases[] = {
        {{"/usr/bin/tagwacht", "autostart"}, true},
        {{"/usr/bin/tagwacht", "AUTOSTART"}, true},
        {{"/usr/bin/tagwacht", "/home/anna/liste.twf", "AutoStart"}, true},  // not only argument 1
        {{"autostart"}, true},                                               // argument 0 counts too
        {{"/usr/bin/tagwacht"}, false},
        {{}, false},
        {{"/usr/bin/tagwacht", "autostart2"}, false},
        {{"/usr/bin/tagwacht", "--autostart"}, false},
        {{"/usr/bin/tagwacht", "auto start"}, false},
        // U+017F LONG S folds to "s" under Unicode rules; only A to Z may differ.
        {{"/usr/bin/tagwacht", QString::fromUtf8("auto\u017Ftart")}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HasSwitch(c.arguments, QStringLiteral("autostart")), c.expected)
            << c.arguments.join(' ').toStdString();
    }
    // Letters beyond A to Z keep their case.
    EXPECT_FALSE(HasSwitch({QString::fromUtf8("ÄRGER")}, QString::fromUtf8("ärger")));
    EXPECT_TRUE(HasSwitch({QString::fromUtf8("äRGER")}, QString::fromUtf8("ärger")));
}

// A /proc tree in a temporary folder: per process a status file with its user, an exe link and
// a comm file, each only where the case needs it.
class PlatformProcessCount : public ::testing::Test {
  protected:
    test::TTempDir proc_;
    const uid_t me_ = getuid();

    QString Root() const { return QString::fromStdString(proc_.Path()); }

    void AddProcess(const std::string& pid, uid_t uid, const std::string& exe_target,
                    const std::string& comm = "", bool with_status = true) {
        const std::string dir = proc_.File(pid);
        std::filesystem::create_directory(dir);
        if (with_status) {
            test::WriteFile(dir + "/status", "Name:\tx\nState:\tS (sleeping)\nUid:\t" + std::to_string(uid) +
                                                 "\t" + std::to_string(uid) + "\t" + std::to_string(uid) +
                                                 "\t" + std::to_string(uid) + "\nGid:\t0\t0\t0\t0\n");
        }
        // Targets need not exist: only the link text is read.
        if (!exe_target.empty()) std::filesystem::create_symlink(exe_target, dir + "/exe");
        if (!comm.empty()) test::WriteFile(dir + "/comm", comm + "\n");
    }

    std::vector<pid_t> Found(uid_t uid) const {
        QVector<pid_t> found = FindRunningInstances(QStringLiteral("tagwacht"), Root(), uid);
        std::vector<pid_t> sorted(found.begin(), found.end());
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    }
};

TEST_F(PlatformProcessCount, CountsTheUsersProcessesNamedTagwacht) {
    AddProcess("101", me_, "/opt/tagwacht/tagwacht");
    AddProcess("102", me_, "/usr/bin/tagwacht (deleted)");  // program file replaced while it runs
    AddProcess("103", me_, "", "tagwacht");                 // exe unreadable: comm names it
    AddProcess("107", me_, "/usr/local/bin/TagWacht");
    AddProcess("104", me_ + 1, "/usr/bin/tagwacht", "tagwacht");  // another user's
    AddProcess("105", me_, "/usr/bin/tagwacht-cli", "tagwacht-cli");
    AddProcess("106", me_, "/home/anna/tagwacht/sleep", "tagwacht");                 // exe wins over comm
    AddProcess("108", me_, "/usr/bin/tagwacht", "tagwacht", /*with_status=*/false);  // ended meanwhile
    AddProcess("109", me_, "", "sleep");
    AddProcess("self", me_, "/usr/bin/tagwacht");  // not a process id

    EXPECT_EQ(Found(me_), (std::vector<pid_t>{101, 102, 103, 107}));
    EXPECT_EQ(Found(me_ + 1), (std::vector<pid_t>{104}));
    EXPECT_EQ(CountRunningInstances(QStringLiteral("tagwacht"), Root()), 4);
}

TEST_F(PlatformProcessCount, AlreadyRunningOnlyWhenAnotherInstanceBesidesThisOne) {
    AddProcess("200", me_, "/usr/bin/tagwacht");
    AddProcess("201", me_ + 1, "/usr/bin/tagwacht");
    EXPECT_FALSE(IsAlreadyRunning(Root()));  // this process alone
    AddProcess("202", me_, "/usr/bin/tagwacht");
    EXPECT_TRUE(IsAlreadyRunning(Root()));
}

TEST_F(PlatformProcessCount, MissingProcFolderFindsNothing) {
    EXPECT_EQ(CountRunningInstances(QStringLiteral("tagwacht"), Root() + QStringLiteral("/missing")), 0);
}

TEST(PlatformProcessCountReal, FindsARunningChildByItsExecutableName) {
    test::TTempDir dir;
    const QString copy = QString::fromStdString(dir.File("tagwacht"));
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/sleep"), copy));
    ASSERT_EQ(chmod(dir.File("tagwacht").c_str(), 0755), 0);

    QProcess child;
    child.start(copy, {QStringLiteral("30")});
    ASSERT_TRUE(child.waitForStarted(5000));
    const pid_t pid = static_cast<pid_t>(child.processId());
    const auto listed = [pid] {
        return FindRunningInstances(QStringLiteral("tagwacht"), QStringLiteral("/proc"), getuid())
            .contains(pid);
    };
    EXPECT_TRUE(listed());
    EXPECT_FALSE(
        FindRunningInstances(QStringLiteral("sleep"), QStringLiteral("/proc"), getuid()).contains(pid));
    EXPECT_FALSE(FindRunningInstances(QStringLiteral("tagwacht"), QStringLiteral("/proc"), getuid() + 1)
                     .contains(pid));

    child.kill();
    ASSERT_TRUE(child.waitForFinished(5000));
    EXPECT_FALSE(listed());
}

}  // namespace
}  // namespace tw
