#include "app/processes.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

// A program run from an anonymous memory file has no file name of its own.
bool isProgramName(const QString &name)
{
    return !name.isEmpty() && !name.startsWith(QLatin1String("memfd:"));
}

QString programName(const QString &dir)
{
    QString exe = QFileInfo(QFileInfo(dir + "/exe").symLinkTarget()).fileName();
    exe.remove(QLatin1String(" (deleted)"));
    if (isProgramName(exe))
        return exe;
    // Another user's process hides its executable, and one run from memory has none, but both
    // keep the name they were started by; kernel threads have no command line and are not
    // applications.
    QFile cmdline(dir + "/cmdline");
    if (!cmdline.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray arguments = cmdline.read(4096);
    if (arguments.isEmpty())
        return QString();
    QFile comm(dir + "/comm");
    if (comm.open(QIODevice::ReadOnly)) {
        QString name = QString::fromLocal8Bit(comm.readAll()).trimmed();
        if (isProgramName(name))
            return name;
    }
    const QString started =
        QFileInfo(QString::fromLocal8Bit(arguments.split('\0').first())).fileName();
    return isProgramName(started) ? started : QString();
}

} // namespace

QStringList runningApplications(const QString &procRoot)
{
    // Unsorted and typed by the directory itself: a sorted list stats every entry first.
    QDirIterator proc(procRoot, QDir::Dirs | QDir::NoDotAndDotDot);
    QList<qint64> pids;
    while (proc.hasNext()) {
        bool ok = false;
        const qint64 pid = proc.nextFileInfo().fileName().toLongLong(&ok);
        if (ok)
            pids.append(pid);
    }
    std::sort(pids.begin(), pids.end());

    QStringList names;
    for (qint64 pid : pids) {
        const QString name = programName(procRoot + '/' + QString::number(pid));
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}
