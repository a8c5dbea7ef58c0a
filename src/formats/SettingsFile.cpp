#include "formats/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <sys/stat.h>

#include "formats/QtBridge.h"

namespace SettingsFile {

QString path(const QString &name)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Pixmint/") + name;
}

std::optional<QByteArray> read(const QString &path, qint64 limit, FormatError *error)
{
    const auto target = SafeWrite::writableTarget(QFile::encodeName(path).toStdString(), error);
    if (!target)
        return std::nullopt;
    struct stat st
    {
    };
    if (::lstat(target->c_str(), &st) != 0) {
        return failed(error,
                      errno == ENOENT ? FormatError::Kind::NotFound : FormatError::Kind::System,
                      systemError(errno));
    }
    if (S_ISREG(st.st_mode) && st.st_size > limit)
        return failed(error, FormatError::Kind::TooLarge, QStringLiteral("The file is too large."));
    // Never waits on a pipe or a device put in the file's place.
    FormatError why;
    QByteArray bytes;
    // A file that fails here after the checks above changed in between or cannot be read:
    // either way it is left alone.
    if (!readUserFileInto(*target, limit, &why, bufferOf(bytes)))
        return failed(error, FormatError::Kind::Refused, why.message);
    return bytes;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    return SafeWrite::replaceFile(path, bytes);
}

} // namespace SettingsFile
