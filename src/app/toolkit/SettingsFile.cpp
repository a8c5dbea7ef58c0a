#include "app/toolkit/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/toolkit/SafeWrite.h"

namespace SettingsFile {

namespace {

// Reads to the end, stopping once past `limit`: some files tell no size or grow while read.
Contents readOpen(int fd, qint64 limit)
{
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return {Contents::Unusable, {}};
    if (st.st_size > limit)
        return {Contents::TooLarge, {}};
    QByteArray bytes;
    char piece[65536];
    for (;;) {
        const ssize_t n = ::read(fd, piece, sizeof piece);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return {Contents::Unusable, {}};
        if (n == 0)
            return {Contents::Read, bytes};
        bytes.append(piece, n);
        if (bytes.size() > limit)
            return {Contents::TooLarge, {}};
    }
}

} // namespace

QString path(const QString &name)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Pixmint/") + name;
}

Contents read(const QString &path, qint64 limit)
{
    const auto target = SafeWrite::writableTarget(QFile::encodeName(path));
    if (!target)
        return {Contents::Unusable, {}};
    // Opening a pipe or a device must not wait for a writer; the type is checked once open.
    const int fd = ::open(target->constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return {errno == ENOENT ? Contents::Missing : Contents::Unusable, {}};
    Contents contents = readOpen(fd, limit);
    ::close(fd);
    return contents;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    return SafeWrite::replaceFile(path, bytes);
}

} // namespace SettingsFile
