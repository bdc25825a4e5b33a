#include "platform/instance.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fstream>
#include <sstream>
#include <string>

namespace tw {

namespace {

bool SameTextAsciiLetters(const QString& a, const QString& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x - u'A' + u'a');
        if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y - u'A' + u'a');
        if (x != y) return false;
    }
    return true;
}

// Files under /proc report a size of 0, so they are read to their end rather than by size.
std::string ReadWholeFile(const QString& path) {
    std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
    if (!in) return std::string();
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// The real user id from the "Uid:" line of a status file; nothing when the file is gone.
bool ReadRealUid(const QString& status_path, uid_t* uid) {
    std::istringstream status(ReadWholeFile(status_path));
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Uid:", 0) != 0) continue;
        std::istringstream fields(line.substr(4));
        unsigned long long value = 0;
        if (!(fields >> value)) return false;
        *uid = static_cast<uid_t>(value);
        return true;
    }
    return false;
}

QString ExecutableName(const QString& process_dir) {
    const QByteArray link = QFile::encodeName(process_dir + QStringLiteral("/exe"));
    char target[4096];
    const ssize_t length = readlink(link.constData(), target, sizeof target - 1);
    if (length > 0) {
        QString path = QFile::decodeName(QByteArray(target, static_cast<qsizetype>(length)));
        // A program file replaced while it runs (an update, a rebuild) still names the same program.
        static const QString kDeletedMark = QStringLiteral(" (deleted)");
        if (path.endsWith(kDeletedMark)) path.chop(kDeletedMark.size());
        return QFileInfo(path).fileName();
    }
    std::istringstream comm(ReadWholeFile(process_dir + QStringLiteral("/comm")));
    std::string name;
    std::getline(comm, name);
    return QFile::decodeName(QByteArray::fromStdString(name));
}

}  // namespace

bool HasSwitch(const QStringList& arguments, const QString& name) {
    for (const QString& argument : arguments) {
        if (SameTextAsciiLetters(argument, name)) return true;
    }
    return false;
}

QVector<pid_t> FindRunningInstances(const QString& executable_name, const QString& proc_root, uid_t uid) {
    QVector<pid_t> found;
    const QStringList entries = QDir(proc_root).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool numeric = false;
        const long pid = entry.toLong(&numeric);
        if (!numeric || pid <= 0) continue;
        const QString process_dir = proc_root + QLatin1Char('/') + entry;
        uid_t owner = 0;
        if (!ReadRealUid(process_dir + QStringLiteral("/status"), &owner) || owner != uid) continue;
        const QString name = ExecutableName(process_dir);
        if (!name.isEmpty() && SameTextAsciiLetters(name, executable_name)) {
            found.push_back(static_cast<pid_t>(pid));
        }
    }
    return found;
}

int CountRunningInstances(const QString& executable_name, const QString& proc_root) {
    return static_cast<int>(FindRunningInstances(executable_name, proc_root, getuid()).size());
}

bool IsAlreadyRunning(const QString& proc_root) {
    return CountRunningInstances(QString::fromLatin1(kProgramExecutableName), proc_root) > 1;
}

}  // namespace tw
