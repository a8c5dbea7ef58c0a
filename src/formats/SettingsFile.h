#pragma once

#include <QByteArray>
#include <QString>

// The per-user settings files, in the Pixmint folder of the XDG config folder. Their failures
// are silent: a file that cannot be read counts as missing, one that cannot be written keeps
// what it held. A link among them is used only when it and its file belong to the running user.
namespace SettingsFile {

// The full name of a settings file, such as "registry.ini".
QString path(const QString &name);

struct Contents
{
    enum Status {
        Read,     // `bytes` holds the file
        Missing,  // there is no such file
        Unusable, // a link not to be followed, no regular file, or unreadable
        TooLarge, // larger than the caller takes
    } status = Missing;
    QByteArray bytes;
};
// Reads at most `limit` bytes of a regular file, without ever waiting on a pipe or device.
Contents read(const QString &path, qint64 limit);
// Replaces the file whole, making its folder first; false when that failed.
bool write(const QString &path, const QByteArray &bytes);

} // namespace SettingsFile
