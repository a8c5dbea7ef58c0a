#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>

#include "formats/FormatError.h"
#include "formats/SafeWrite.h"
#include "formats/UserFile.h"

// The formats core speaks the C++ library: bytes as std::string and std::string_view, words as
// UTF-8. The layers on Qt keep Qt's types and cross over here.

// The bytes of a QByteArray or QByteArrayView, not copied.
inline std::string_view bytesView(QByteArrayView bytes)
{
    return {bytes.data(), size_t(bytes.size())};
}

inline QByteArrayView qtView(std::string_view bytes)
{
    return {bytes.data(), qsizetype(bytes.size())};
}

inline QByteArray toByteArray(std::string_view bytes)
{
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

inline QByteArray toByteArray(const std::string &bytes)
{
    return toByteArray(std::string_view(bytes));
}

inline std::optional<QByteArray> toByteArray(const std::optional<std::string> &bytes)
{
    if (!bytes)
        return std::nullopt;
    return toByteArray(*bytes);
}

inline QString toQString(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// The failure with words made on the Qt side.
inline std::nullopt_t failed(FormatError *error, FormatError::Kind kind, const QString &message)
{
    return failed(error, kind, message.toStdString());
}

// A QByteArray as the buffer a file is read into.
inline ByteBuffer bufferOf(QByteArray &bytes)
{
    return [&bytes](size_t size) {
        bytes.resize(qsizetype(size));
        return bytes.data();
    };
}

// readUserFile and readUserFileHead for a name held as text, straight into a QByteArray.
inline std::optional<QByteArray>
readUserFile(const QString &path, int64_t limit = kMaxUserFileBytes, FormatError *error = nullptr)
{
    QByteArray bytes;
    if (!readUserFileInto(QFile::encodeName(path).toStdString(), limit, error, bufferOf(bytes)))
        return std::nullopt;
    return bytes;
}

inline std::optional<QByteArray> readUserFileHead(const QString &path, int64_t count,
                                                  FormatError *error = nullptr)
{
    QByteArray bytes;
    if (!readUserFileHeadInto(QFile::encodeName(path).toStdString(), count, error, bufferOf(bytes)))
        return std::nullopt;
    return bytes;
}

namespace SafeWrite {

// replaceFile for a name held as text. A name that held bytes Qt could not decode (they show
// as U+FFFD) is refused unless it exists as spelled, so a write never lands on another name.
inline bool replaceFile(const QString &path, QByteArrayView bytes, FormatError *error = nullptr,
                        Sync sync = Sync::ToDisk)
{
    const std::string native = QFile::encodeName(path).toStdString();
    struct stat st;
    if (path.contains(QChar::ReplacementCharacter) && ::lstat(native.c_str(), &st) != 0) {
        failed(error, FormatError::Kind::Refused,
               "The name holds bytes that are not UTF-8 text, so it cannot be written as it was "
               "chosen.");
        return false;
    }
    return replaceFile(native, bytesView(bytes), error, sync);
}

} // namespace SafeWrite
