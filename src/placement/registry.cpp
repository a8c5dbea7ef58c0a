#include "placement/registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "formats/QtBridge.h"
#include "formats/SettingsFile.h"
#include "placement/IniFile.h"
#include "toolkit/Seam.h"

thread_local int32_t RegStatus = ERROR_SUCCESS;

namespace {

constexpr qsizetype MaxValueLength = 254; // the read buffer holds 255 with the terminating zero
// A store of a few window positions is far smaller: a larger file counts as damaged and is
// never read whole.
constexpr qint64 MaxStoreBytes = 1 << 20;
// How long a write waits for another copy's write to end.
constexpr int LockWaitMs = 5000;
// A lock holds a process id, a program and a host name: far less than this.
constexpr off_t MaxLockBytes = 4096;

// The store as one read of its file found it. Keys are recorded under "keys/", values under
// "values/", each path segment escaped so that the INI file's separators cannot split it.
struct Store
{
    enum State { Fine, Damaged, Unusable } state = Fine;
    IniFile::Entries entries;
};

Store loadStore()
{
    FormatError error;
    if (const auto bytes = SettingsFile::read(RegStoreFile(), MaxStoreBytes, &error)) {
        if (auto entries = IniFile::parse(*bytes))
            return {Store::Fine, *entries};
        return {Store::Damaged, {}};
    }
    switch (error.kind) {
    case FormatError::Kind::NotFound:
        return {Store::Fine, {}};
    case FormatError::Kind::TooLarge:
        return {Store::Damaged, {}};
    default:
        return {Store::Unusable, {}};
    }
}

// Keeps a damaged store as registry.ini.damaged, in place of an older one.
bool setAside()
{
    const auto target = SafeWrite::writableTarget(QFile::encodeName(RegStoreFile()).toStdString());
    return target && std::rename(target->c_str(), (*target + ".damaged").c_str()) == 0;
}

// QLockFile opens and reads a lock it finds without asking what it is: a pipe there blocks it
// for ever, a link to /dev/zero or a huge file is read without end. Anything but a small regular
// file is no lock of a running copy, and is removed as a stale lock would be; false when it
// cannot be.
bool clearForeignLock(const QByteArray &lock)
{
    struct stat st
    {
    };
    if (::lstat(lock.constData(), &st) != 0 || (S_ISREG(st.st_mode) && st.st_size <= MaxLockBytes))
        return true;
    return (S_ISDIR(st.st_mode) ? ::rmdir(lock.constData()) : ::unlink(lock.constData())) == 0 ||
           errno == ENOENT;
}

// Applies `change` to the store and writes it in one piece when that changed it, under the
// lock QSettings takes too, so that the writes of two running copies merge. A damaged store
// is set aside and a fresh one started; a store that must not be touched stays as it is.
void updateStore(const std::function<void(IniFile::Entries &)> &change)
{
    const QString path = RegStoreFile();
    QDir().mkpath(QFileInfo(path).path());
    const QString lockPath = path + QStringLiteral(".lock");
    QLockFile lock(lockPath);
    if (!clearForeignLock(QFile::encodeName(lockPath)) || !lock.tryLock(LockWaitMs)) {
        RegStatus = ERROR_CANTWRITE;
        return;
    }
    Store store = loadStore();
    if (store.state == Store::Unusable) {
        RegStatus = ERROR_ACCESS_DENIED;
        return;
    }
    const IniFile::Entries before = store.entries;
    change(store.entries);
    if (store.entries == before)
        return;
    if ((store.state == Store::Damaged && !setAside()) ||
        !SettingsFile::write(path, IniFile::write(store.entries)))
        RegStatus = ERROR_CANTWRITE;
}

QString escaped(QString segment)
{
    return segment.replace('%', QLatin1String("%25"))
        .replace('/', QLatin1String("%2F"))
        .replace('\\', QLatin1String("%5C"));
}

// The store's name for a root and subkey; empty when a segment is empty ("A\\B").
QString storeKey(int32_t root, const QString &subkey)
{
    QString key = QString::number(uint32_t(root), 16);
    if (subkey.isEmpty())
        return key;
    for (const QString &segment : subkey.split('\\')) {
        if (segment.isEmpty())
            return QString();
        key += '/' + escaped(segment);
    }
    return key;
}

// A value's name in the store; the unnamed (default) value takes a name no escaping produces.
QString valueKey(int32_t root, const QString &subkey, const QString &name)
{
    return QStringLiteral("values/") + storeKey(root, subkey) + '/' +
           (name.isEmpty() ? QStringLiteral("%") : escaped(name));
}

bool keyExists(const IniFile::Entries &entries, int32_t root, const QString &subkey)
{
    const QString key = storeKey(root, subkey);
    if (key.isEmpty())
        return false;
    if (subkey.isEmpty())
        return true;
    const auto flag = IniFile::text(entries.value(QStringLiteral("keys/") + key));
    return flag && !flag->isEmpty() && *flag != QLatin1String("0") &&
           flag->compare(QLatin1String("false"), Qt::CaseInsensitive) != 0;
}

// Marks the key and every key above it as existing.
void createKey(IniFile::Entries &entries, int32_t root, const QString &subkey)
{
    QString partial;
    for (const QString &segment : subkey.split('\\')) {
        partial += (partial.isEmpty() ? QString() : QStringLiteral("\\")) + segment;
        entries[QStringLiteral("keys/") + storeKey(root, partial)] = IniFile::value("true");
    }
}

QString trimBlanks(const QString &s)
{
    qsizetype first = 0, last = s.size();
    while (first < last && s[first] == ' ')
        ++first;
    while (last > first && s[last - 1] == ' ')
        --last;
    return s.mid(first, last - first);
}

// One value as a read of the store gives it, noting why when there is none.
QString storedValue(const Store &store, int32_t root, const QString &subkey, const QString &name)
{
    const auto error = [](int32_t status) {
        RegStatus = status;
        return QStringLiteral("Error");
    };
    if (store.state != Store::Fine)
        return error(store.state == Store::Damaged ? ERROR_BADDB : ERROR_ACCESS_DENIED);
    if (!keyExists(store.entries, root, subkey))
        return error(ERROR_FILE_NOT_FOUND);
    // Only texts are read; a hand-edited list or a missing value is no text.
    const auto found = store.entries.constFind(valueKey(root, subkey, name));
    const auto text = found == store.entries.cend() ? std::nullopt : IniFile::text(found.value());
    if (!text)
        return error(ERROR_FILE_NOT_FOUND);
    if (text->size() > MaxValueLength)
        return error(ERROR_MORE_DATA);
    return trimBlanks(*text);
}

} // namespace

int32_t RootKeyFromName(const QString &name)
{
    static const struct
    {
        const char *name;
        int32_t handle;
    } roots[] = {
        {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
        {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {"HKEY_USERS", HKEY_USERS},
        {"HKEY_PERFORMANCE_DATA", HKEY_PERFORMANCE_DATA},
        {"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
        {"HKEY_DYN_DATA", HKEY_DYN_DATA},
    };
    for (const auto &r : roots)
        if (name == QLatin1String(r.name))
            return r.handle;
    return 0;
}

void SplitKeyPath(QString &path, int32_t &root)
{
    if (!path.startsWith(QLatin1String("HKEY_")) || path.endsWith('\\')) {
        MsgBox(QStringLiteral("Incorrect Format:") + "\n\n" + path, vbOKOnly,
               QStringLiteral("Pixmint"));
        root = 0;
        return;
    }
    const qsizetype p = path.indexOf('\\');
    if (p >= 0) {
        root = RootKeyFromName(path.left(p));
        path = path.mid(p + 1);
    } else {
        root = RootKeyFromName(path);
        path.clear();
    }
}

QString ReadRegValue(QString path, const QString &name)
{
    return ReadRegValues(std::move(path), {name}).constFirst();
}

QStringList ReadRegValues(QString path, const QStringList &names)
{
    int32_t root = 0;
    SplitKeyPath(path, root);
    QStringList results;
    if (root == 0) {
        for (qsizetype i = 0; i < names.size(); ++i)
            results << QString();
        return results;
    }
    RegStatus = ERROR_SUCCESS;
    const Store store = loadStore();
    for (const QString &name : names)
        results << storedValue(store, root, path, name);
    return results;
}

void CreateRegKey(QString path)
{
    CreateRegKeyWithValues(std::move(path), {});
}

void CreateRegKeyWithValues(QString path, const RegValues &values)
{
    int32_t root = 0;
    SplitKeyPath(path, root);
    if (root == 0 || path.isEmpty() || storeKey(root, path).isEmpty())
        return;
    RegStatus = ERROR_SUCCESS;
    updateStore([&](IniFile::Entries &entries) {
        createKey(entries, root, path);
        for (const auto &[name, text] : values)
            entries[valueKey(root, path, name)] = IniFile::value(text);
    });
}

void WriteRegValue(QString path, const QString &name, const QString &text)
{
    int32_t root = 0;
    SplitKeyPath(path, root);
    if (root == 0)
        return;
    RegStatus = ERROR_SUCCESS;
    updateStore([&](IniFile::Entries &entries) {
        if (keyExists(entries, root, path))
            entries[valueKey(root, path, name)] = IniFile::value(text);
        else
            RegStatus = ERROR_FILE_NOT_FOUND;
    });
}

QString RegStoreFile()
{
    return SettingsFile::path(QStringLiteral("registry.ini"));
}

QString RegErrorText(int32_t status)
{
    switch (status) {
    case ERROR_BADDB:
        return QStringLiteral("The Registry Database is corrupt!");
    case 1010:
        return QStringLiteral("Bad Key Name");
    case 1011:
        return QStringLiteral("Can't Open Key");
    case 1012:
        return QStringLiteral("Can't Read Key");
    case ERROR_ACCESS_DENIED:
        return QStringLiteral("Access to this key is denied");
    case ERROR_CANTWRITE:
        return QStringLiteral("Can't Write Key");
    case 14:
        return QStringLiteral("Out of memory");
    case 87:
        return QStringLiteral("Invalid Parameter");
    case ERROR_MORE_DATA:
        return QStringLiteral("There is more data than the buffer has been allocated to hold.");
    default:
        return QStringLiteral("Undefined Error Code:  ") + QString::number(status);
    }
}
