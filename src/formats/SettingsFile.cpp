#include "formats/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <sys/stat.h>

#include "formats/SafeWrite.h"
#include "formats/UserFile.h"

namespace SettingsFile {

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
    struct stat st
    {
    };
    if (::lstat(target->constData(), &st) != 0)
        return {errno == ENOENT ? Contents::Missing : Contents::Unusable, {}};
    if (S_ISREG(st.st_mode) && st.st_size > limit)
        return {Contents::TooLarge, {}};
    // Never waits on a pipe or a device put in the file's place.
    const std::optional<QByteArray> bytes = readUserFile(*target, limit);
    if (!bytes)
        return {Contents::Unusable, {}};
    return {Contents::Read, *bytes};
}

bool write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    return SafeWrite::replaceFile(path, bytes);
}

} // namespace SettingsFile
