#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <optional>

// The INI text of QSettings' IniFormat, read and written here so that the store can be checked
// before it is trusted and written whole through one checked write, while QSettings still reads
// it. Keys are "section/name" paths (a key of no section has no "/"), values are kept as the
// file spells them.
namespace IniFile {

using Entries = QMap<QString, QByteArray>;

// The entries; nothing when the text is no INI file: a NUL, bytes that are not UTF-8, or a line
// that is neither blank, a comment, a "[section]" nor "key=value".
std::optional<Entries> parse(const QByteArray &text);
// The text of the entries, section by section.
QByteArray write(const Entries &entries);

// A value as one text; nothing for a list ("a, b") or a typed value ("@ByteArray(...)").
std::optional<QString> text(const QByteArray &value);
// The value spelling of a text.
QByteArray value(const QString &text);

} // namespace IniFile
