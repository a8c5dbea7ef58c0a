#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

bool startTestProgram(const QTemporaryDir &home)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!home.isValid())
        return false;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home.filePath(QStringLiteral("cache"))));
    return true;
}

QString testData(const QString &name)
{
    return QStringLiteral(PIXMINT_TEST_DATA "/") + name;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

bool makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

bool giveToAnotherUser(const QString &path)
{
    return ::lchown(QFile::encodeName(path).constData(), 4242, 4242) == 0;
}

FailingWrites::FailingWrites(SafeWrite::Step step, int error)
{
    SafeWrite::setTestHook([this, step, error](SafeWrite::Step at, const std::string &) {
        reached += at == SafeWrite::Step::Rename;
        return at == step ? error : 0;
    });
}

FailingWrites::~FailingWrites()
{
    SafeWrite::setTestHook({});
}

SmallDisk::SmallDisk()
{
    if (::mount("tmpfs", QFile::encodeName(path()).constData(), "tmpfs", 0, "size=16k") == 0)
        mounted_ = true;
    else
        why_ = QStringLiteral("cannot mount a small tmpfs here: ") + std::strerror(errno);
}

SmallDisk::~SmallDisk()
{
    if (mounted_)
        ::umount2(QFile::encodeName(path()).constData(), MNT_DETACH);
}

void SmallDisk::fill()
{
    QFile filler(path() + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly))
        return;
    const QByteArray block(512, 'f');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
}

bool SmallDisk::makeReadOnly()
{
    return ::mount("tmpfs", QFile::encodeName(path()).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY,
                   "size=16k") == 0;
}
