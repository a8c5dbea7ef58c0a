#include "filemanager/Trash.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Names taken in the trash are retried this often before the trash counts as unusable.
constexpr int kNameTries = 100;
const QByteArray kInfoSuffix = ".trashinfo";

int errnoOr(int fallback)
{
    return errno != 0 ? errno : fallback;
}

QByteArray joinPath(const QByteArray &folder, const QByteArray &name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

QByteArray parentOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

std::optional<QByteArray> realPath(const QByteArray &path)
{
    const std::unique_ptr<char, decltype(&free)> p(::realpath(path.constData(), nullptr), &free);
    if (!p)
        return std::nullopt;
    return QByteArray(p.get());
}

// A folder of the user's, not a link: the only kind a trash is made of.
bool ownFolder(const QByteArray &path)
{
    struct stat st
    {
    };
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

// Makes the folder when it is missing; true when it is then a folder of the user's.
bool ensureOwnFolder(const QByteArray &path)
{
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    return ownFolder(path);
}

QByteArray dataHome()
{
    QByteArray xdg = qgetenv("XDG_DATA_HOME");
    if (xdg.startsWith('/'))
        return xdg;
    return qgetenv("HOME") + "/.local/share";
}

// The device of the nearest folder that exists on the way to `path`.
std::optional<dev_t> deviceOnTheWayTo(QByteArray path)
{
    struct stat st
    {
    };
    for (;;) {
        if (::stat(path.constData(), &st) == 0)
            return st.st_dev;
        if (path == "/" || path.isEmpty())
            return std::nullopt;
        path = parentOf(path);
    }
}

// The top of the file system that holds `folder` (a real path): the last folder going up
// that is still on device `dev`.
QByteArray topOf(QByteArray folder, dev_t dev)
{
    struct stat st
    {
    };
    while (folder != "/") {
        const QByteArray up = parentOf(folder);
        if (::stat(up.constData(), &st) != 0 || st.st_dev != dev)
            break;
        folder = up;
    }
    return folder;
}

struct TrashPlace
{
    QByteArray folder; // holds files/ and info/
    QByteArray top;    // the file system's top for a volume's trash; empty for the home trash
};

std::optional<TrashPlace> homeTrash()
{
    const QByteArray home = dataHome();
    if (!QDir().mkpath(QFile::decodeName(home)))
        return std::nullopt;
    const QByteArray folder = joinPath(home, "Trash");
    if (!ensureOwnFolder(folder))
        return std::nullopt;
    return TrashPlace{folder, QByteArray()};
}

std::optional<TrashPlace> volumeTrash(const QByteArray &top)
{
    const QByteArray uid = QByteArray::number(::geteuid());
    // An administrator's shared trash counts only when it is a sticky folder, not a link.
    const QByteArray shared = joinPath(top, ".Trash");
    struct stat st
    {
    };
    if (::lstat(shared.constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) &&
        ensureOwnFolder(joinPath(shared, uid)))
        return TrashPlace{joinPath(shared, uid), top};
    const QByteArray own = joinPath(top, ".Trash-" + uid);
    if (ensureOwnFolder(own))
        return TrashPlace{own, top};
    return std::nullopt;
}

QByteArray infoRecord(const QByteArray &path, const TrashPlace &place)
{
    const QByteArray shown = place.top.isEmpty() ? path
                             : place.top == "/"  ? path.mid(1)
                                                 : path.mid(place.top.size() + 1);
    return "[Trash Info]\nPath=" + shown.toPercentEncoding("/") + "\nDeletionDate=" +
           QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toLatin1() +
           '\n';
}

// Creates the record `info` afresh, written whole and synced; 0 or the errno value.
int writeRecord(const QByteArray &info, const QByteArray &record)
{
    const int fd =
        ::open(info.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return errnoOr(EIO);
    qsizetype done = 0;
    int error = 0;
    while (done < record.size() && error == 0) {
        const ssize_t n = ::write(fd, record.constData() + done, size_t(record.size() - done));
        if (n > 0)
            done += n;
        else if (n == 0 || errno != EINTR)
            error = n == 0 ? EIO : errnoOr(EIO);
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errnoOr(EIO);
    if (::close(fd) != 0 && error == 0)
        error = errnoOr(EIO);
    if (error != 0)
        ::unlink(info.constData());
    return error;
}

QByteArray candidate(const QByteArray &name, int n)
{
    if (n == 1)
        return name;
    const qsizetype dot = name.lastIndexOf('.');
    const QByteArray stem = dot > 0 ? name.left(dot) : name;
    const QByteArray extension = dot > 0 ? name.mid(dot) : QByteArray();
    return stem + " (" + QByteArray::number(n) + ')' + extension;
}

int moveInto(const QByteArray &path, const QByteArray &name, const TrashPlace &place)
{
    const QByteArray files = joinPath(place.folder, "files");
    const QByteArray info = joinPath(place.folder, "info");
    if (!ensureOwnFolder(files) || !ensureOwnFolder(info))
        return errnoOr(ENOTDIR);
    const QByteArray record = infoRecord(path, place);
    for (int n = 1; n <= kNameTries; ++n) {
        const QByteArray trashName = candidate(name, n);
        if (trashName.size() + kInfoSuffix.size() > NAME_MAX)
            return ENAMETOOLONG;
        const QByteArray infoFile = joinPath(info, trashName + kInfoSuffix);
        if (const int e = writeRecord(infoFile, record)) {
            if (e == EEXIST)
                continue;
            return e;
        }
        const QByteArray target = joinPath(files, trashName);
        struct stat st
        {
        };
        if (::lstat(target.constData(), &st) != 0 &&
            ::rename(path.constData(), target.constData()) == 0)
            return 0;
        const int e = errno == 0 || errno == ENOENT ? EEXIST : errno;
        ::unlink(infoFile.constData());
        if (e != EEXIST)
            return e;
    }
    return EEXIST;
}

} // namespace

int moveToTrash(const QByteArray &path)
{
    struct stat st
    {
    };
    if (::lstat(path.constData(), &st) != 0)
        return errnoOr(ENOENT);
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    const std::optional<QByteArray> folder = realPath(parentOf(path));
    if (name.isEmpty() || name == "." || name == ".." || !folder)
        return EINVAL;
    const QByteArray full = joinPath(*folder, name);
    const std::optional<dev_t> homeDevice = deviceOnTheWayTo(dataHome());
    const std::optional<TrashPlace> place =
        homeDevice == st.st_dev ? homeTrash() : volumeTrash(topOf(*folder, st.st_dev));
    if (!place)
        return errnoOr(EACCES);
    return moveInto(full, name, *place);
}
