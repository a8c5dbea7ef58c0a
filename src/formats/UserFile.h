#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "formats/FormatError.h"

// The most any reader takes from a file the user named.
constexpr qint64 kMaxUserFileBytes = qint64(512) * 1024 * 1024;

// The whole of a file the user named, without ever blocking on it: only a regular file (links
// followed) is read, so a FIFO, a device, a socket or a folder is refused before anything is
// read, and so is a file of more than `limit` bytes. Nothing, with the reason, otherwise. The
// path is given as the system spells it, since not every name is UTF-8.
std::optional<QByteArray> readUserFile(const QByteArray &path, qint64 limit = kMaxUserFileBytes,
                                       FormatError *error = nullptr);
std::optional<QByteArray> readUserFile(const QString &path, qint64 limit = kMaxUserFileBytes,
                                       FormatError *error = nullptr);
// At most the first `count` bytes of a file the user named, under the same rules; a shorter file
// gives what it has.
std::optional<QByteArray> readUserFileHead(const QString &path, qint64 count,
                                           FormatError *error = nullptr);
// The system's own words for an errno value.
QString systemError(int code);
