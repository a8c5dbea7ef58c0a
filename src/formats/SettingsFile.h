#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "formats/FormatError.h"

// The per-user settings files, in the Pixmint folder of the XDG config folder. Their failures
// are silent: a file that cannot be read counts as missing, one that cannot be written keeps
// what it held. A link among them is used only when it and its file belong to the running user.
namespace SettingsFile {

// The full name of a settings file, such as "registry.ini".
QString path(const QString &name);

// At most `limit` bytes of a regular file, read without ever waiting on a pipe or device.
// Nothing, with the reason, when it cannot be read: NotFound when there is no such file,
// TooLarge when it holds more than the caller takes, another kind when it is a link not to be
// followed, no regular file or unreadable.
std::optional<QByteArray> read(const QString &path, qint64 limit, FormatError *error = nullptr);
// Replaces the file whole, making its folder first; false when that failed.
bool write(const QString &path, const QByteArray &bytes);

} // namespace SettingsFile
