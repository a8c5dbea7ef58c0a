#include "formats/SafeWrite.h"

#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "formats/UserFile.h"

namespace SafeWrite {

namespace {

TestHook &testHook()
{
    static TestHook hook;
    return hook;
}

// The errno a test wants at this step, or 0.
int injected(Step step, const QByteArray &target)
{
    const TestHook &hook = testHook();
    return hook ? hook(step, target) : 0;
}

using Kind = FormatError::Kind;

bool fail(FormatError *error, Kind kind, const QString &reason)
{
    failed(error, kind, reason);
    return false;
}

bool failWithErrno(FormatError *error, int code)
{
    return fail(error, Kind::System, systemError(code));
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// Where a link points, taken relative to the link's own folder.
std::optional<QByteArray> linkTarget(const QByteArray &link)
{
    QByteArray buffer(4096, Qt::Uninitialized);
    const ssize_t n = ::readlink(link.constData(), buffer.data(), size_t(buffer.size()));
    if (n >= buffer.size())
        errno = ENAMETOOLONG;
    if (n < 0 || n >= buffer.size())
        return std::nullopt;
    buffer.truncate(n);
    return buffer.startsWith('/') ? buffer : folderOf(link) + '/' + buffer;
}

// A fresh file beside `target` that no existing name or link can stand in for. -1 with errno
// set on failure.
int createTemporary(const QByteArray &target, QByteArray &temporary)
{
    static constexpr char letters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    if (const int error = injected(Step::Create, target)) {
        errno = error;
        return -1;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray suffix(6, '\0');
        for (char &c : suffix)
            c = letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
        temporary = folderOf(target) + "/.pixmint-" + suffix + ".part";
        const int fd = ::open(temporary.constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// 0 when every byte was written, else the errno of the write that failed.
int writeAll(int fd, const QByteArray &bytes, const QByteArray &target)
{
    if (const int error = injected(Step::Write, target))
        return error;
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(std::min<qsizetype>(left, 1 << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        data += n;
        left -= n;
    }
    return 0;
}

// 0 when the temporary holds the bytes and is closed, else the errno of the step that failed.
// The descriptor is closed either way.
int finish(int fd, const QByteArray &bytes, const QByteArray &target, Sync sync)
{
    int error = writeAll(fd, bytes, target);
    if (!error && sync == Sync::ToDisk) {
        error = injected(Step::Sync, target);
        // A file system that cannot sync has nothing to sync.
        if (!error && ::fsync(fd) != 0 && errno != EINVAL)
            error = errno;
    }
    // Errors that only show when the file is closed (a network file system's quota) count too.
    if (::close(fd) != 0 && errno != EINTR && !error)
        error = errno;
    return error;
}

} // namespace

std::optional<QByteArray> writableTarget(const QByteArray &path, FormatError *error)
{
    QByteArray current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(current.constData(), &st) != 0) {
            // A new file, or a folder the write itself will report on.
            if (hops == 0)
                return current;
            if (errno == ENOENT)
                fail(error, Kind::Refused,
                     QStringLiteral("It is a link to a file that does not exist."));
            else
                failWithErrno(error, errno);
            return std::nullopt;
        }
        if (!S_ISLNK(st.st_mode)) {
            if (hops > 0 && st.st_uid != ::geteuid()) {
                fail(error, Kind::Refused,
                     QStringLiteral("It is a link to a file of another user."));
                return std::nullopt;
            }
            return current;
        }
        const std::optional<QByteArray> next = linkTarget(current);
        if (st.st_uid != ::geteuid() || !next) {
            if (next)
                fail(error, Kind::Refused, QStringLiteral("It is a link of another user."));
            else
                failWithErrno(error, errno);
            return std::nullopt;
        }
        current = *next;
    }
    failWithErrno(error, ELOOP);
    return std::nullopt;
}

bool replaceFile(const QByteArray &path, const QByteArray &bytes, FormatError *error, Sync sync)
{
    const std::optional<QByteArray> target = writableTarget(path, error);
    if (!target)
        return false;
    struct stat old;
    const bool exists = ::lstat(target->constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        return fail(error, Kind::Refused,
                    S_ISDIR(old.st_mode) ? systemError(EISDIR)
                                         : QStringLiteral("It is not a regular file."));
    QByteArray temporary;
    const int fd = createTemporary(*target, temporary);
    if (fd < 0)
        return failWithErrno(error, errno);
    // The replacement keeps the permissions of the file it replaces.
    if (exists)
        (void)::fchmod(fd, old.st_mode & 07777);
    int failure = finish(fd, bytes, *target, sync);
    if (!failure) {
        failure = injected(Step::Rename, *target);
        if (!failure && ::rename(temporary.constData(), target->constData()) != 0)
            failure = errno;
    }
    if (!failure)
        return true;
    ::unlink(temporary.constData());
    return failWithErrno(error, failure);
}

bool replaceFile(const QString &path, const QByteArray &bytes, FormatError *error, Sync sync)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (path.contains(QChar::ReplacementCharacter) && ::lstat(native.constData(), &st) != 0)
        return fail(error, Kind::Refused,
                    QStringLiteral("The name holds bytes that are not UTF-8 text, so it "
                                   "cannot be written as it was chosen."));
    return replaceFile(native, bytes, error, sync);
}

void setTestHook(TestHook hook)
{
    testHook() = std::move(hook);
}

} // namespace SafeWrite
