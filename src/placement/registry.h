#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <utility>

// Per-user string values under keys named by one text path, such as
// "HKEY_CURRENT_USER\Software\Window Position", kept in an INI store in the XDG config folder.

constexpr int32_t HKEY_CLASSES_ROOT = int32_t(0x80000000);
constexpr int32_t HKEY_CURRENT_USER = int32_t(0x80000001);
constexpr int32_t HKEY_LOCAL_MACHINE = int32_t(0x80000002);
constexpr int32_t HKEY_USERS = int32_t(0x80000003);
constexpr int32_t HKEY_PERFORMANCE_DATA = int32_t(0x80000004);
constexpr int32_t HKEY_CURRENT_CONFIG = int32_t(0x80000005);
constexpr int32_t HKEY_DYN_DATA = int32_t(0x80000006);

// Status codes of the last store call, as the layer reports them in RegStatus.
enum RegStatusCode : int32_t {
    ERROR_SUCCESS = 0,
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_ACCESS_DENIED = 5,
    ERROR_MORE_DATA = 234,
    ERROR_BADDB = 1009,
    ERROR_CANTWRITE = 1013,
};

// The status of the last store call (0 success) made by this thread; the layer's only memory
// between calls.
extern thread_local int32_t RegStatus;

// The predefined root a name stands for (exact, case-sensitive), or 0.
int32_t RootKeyFromName(const QString &name);
// Checks the path ("HKEY_" first, no trailing "\"), sets root and leaves the subkey in path.
// A malformed path is shown to the user and gives root 0.
void SplitKeyPath(QString &path, int32_t &root);
// The value's text with its blanks trimmed; "Error" when the key or value cannot be read or the
// value is longer than 254 characters; empty when the root is not recognised.
QString ReadRegValue(QString path, const QString &name);
// Creates the key, and the keys above it, unless it exists.
void CreateRegKey(QString path);
// Stores the text as a string value of an existing key; nothing happens for a missing key.
void WriteRegValue(QString path, const QString &name, const QString &text);

// Several values of one key from one read of the store, so that they belong together; each
// as ReadRegValue gives it.
QStringList ReadRegValues(QString path, const QStringList &names);
// Names and texts of string values.
using RegValues = QList<std::pair<QString, QString>>;
// Creates the key unless it exists and stores the values in one write of the store, so that
// another copy reads all of them or none.
void CreateRegKeyWithValues(QString path, const RegValues &values);
// The file that holds the store. One that does not read as a store (or is over 1 MiB) is kept
// beside it as "registry.ini.damaged" when the next write starts a fresh one.
QString RegStoreFile();
// Words for a status code.
QString RegErrorText(int32_t status);
