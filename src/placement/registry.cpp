#include "placement/registry.h"

#include <QSettings>
#include <QStandardPaths>

#include "app/toolkit/Seam.h"
#include "app/toolkit/UserFile.h"

int32_t RegStatus = ERROR_SUCCESS;

namespace {

constexpr qsizetype MaxValueLength = 254; // the read buffer holds 255 with the terminating zero

// The store: one INI file of the user's. Keys are recorded under "keys/", values under
// "values/", each path segment escaped so that QSettings' own separators cannot split it.
// Nothing when the store's name is taken by something QSettings would block on or misread,
// such as a FIFO: the store is then out of reach, as a store that cannot be opened.
std::unique_ptr<QSettings> openStore()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/Pixmint/registry.ini");
    if (!isRegularFileOrMissing(path))
        return nullptr;
    auto s = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                         QStringLiteral("Pixmint"), QStringLiteral("registry"));
    if (s->status() == QSettings::FormatError)
        RegStatus = ERROR_BADDB;
    return s;
}

// Writes the store's changes to its file, noting a write that failed.
void commit(QSettings &store)
{
    store.sync();
    if (store.status() != QSettings::NoError)
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

bool keyExists(const QSettings &store, int32_t root, const QString &subkey)
{
    const QString key = storeKey(root, subkey);
    return !key.isEmpty() &&
           (subkey.isEmpty() || store.value(QStringLiteral("keys/") + key).toBool());
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
    int32_t root = 0;
    SplitKeyPath(path, root);
    if (root == 0)
        return QString();
    RegStatus = ERROR_SUCCESS;
    const auto store = openStore();
    if (!store || !keyExists(*store, root, path)) {
        RegStatus = ERROR_FILE_NOT_FOUND;
        return QStringLiteral("Error");
    }
    const QVariant value = store->value(valueKey(root, path, name));
    // Only string values are read; a hand-edited list or a missing value is no string.
    if (value.typeId() != QMetaType::QString) {
        RegStatus = ERROR_FILE_NOT_FOUND;
        return QStringLiteral("Error");
    }
    const QString text = value.toString();
    if (text.size() > MaxValueLength) {
        RegStatus = ERROR_MORE_DATA;
        return QStringLiteral("Error");
    }
    return trimBlanks(text);
}

void CreateRegKey(QString path)
{
    int32_t root = 0;
    SplitKeyPath(path, root);
    if (root == 0 || path.isEmpty())
        return;
    if (storeKey(root, path).isEmpty())
        return;
    RegStatus = ERROR_SUCCESS;
    const auto store = openStore();
    if (!store) {
        RegStatus = ERROR_CANTWRITE;
        return;
    }
    QString partial;
    for (const QString &segment : path.split('\\')) {
        partial += (partial.isEmpty() ? QString() : QStringLiteral("\\")) + segment;
        store->setValue(QStringLiteral("keys/") + storeKey(root, partial), true);
    }
    commit(*store);
}

void WriteRegValue(QString path, const QString &name, const QString &text)
{
    int32_t root = 0;
    SplitKeyPath(path, root);
    if (root == 0)
        return;
    RegStatus = ERROR_SUCCESS;
    const auto store = openStore();
    if (!store) {
        RegStatus = ERROR_CANTWRITE;
        return;
    }
    if (!keyExists(*store, root, path)) {
        RegStatus = ERROR_FILE_NOT_FOUND;
        return;
    }
    store->setValue(valueKey(root, path, name), text);
    commit(*store);
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
