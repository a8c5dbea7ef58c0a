#include "app/processes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

QStringList runningApplications(const QString &procRoot)
{
    QDir proc(procRoot);
    QList<qint64> pids;
    for (const QString &entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (ok)
            pids.append(pid);
    }
    std::sort(pids.begin(), pids.end());

    QStringList names;
    for (qint64 pid : pids) {
        const QString dir = procRoot + '/' + QString::number(pid);
        QString exe = QFileInfo(QFileInfo(dir + "/exe").symLinkTarget()).fileName();
        exe.remove(QLatin1String(" (deleted)"));
        if (!exe.isEmpty() && !exe.startsWith(QLatin1String("memfd:"))) {
            names.append(exe);
            continue;
        }
        // Another user's process hides its executable, and one run from memory has none, but
        // both keep their name; kernel threads have no command line and are not applications.
        QFile cmdline(dir + "/cmdline");
        if (!cmdline.open(QIODevice::ReadOnly) || cmdline.read(1).isEmpty())
            continue;
        QFile comm(dir + "/comm");
        if (comm.open(QIODevice::ReadOnly)) {
            const QString name = QString::fromLocal8Bit(comm.readAll()).trimmed();
            if (!name.isEmpty())
                names.append(name);
        }
    }
    return names;
}
