#include "formats/UserFile.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Kind = FormatError::Kind;

std::nullopt_t systemFailure(FormatError *error, int code)
{
    return failed(error, code == ENOENT ? Kind::NotFound : Kind::System, systemError(code));
}

std::nullopt_t notRegular(FormatError *error)
{
    return failed(error, Kind::Refused, QStringLiteral("It is not a regular file."));
}

std::nullopt_t tooLarge(FormatError *error)
{
    return failed(error, Kind::TooLarge, QStringLiteral("The file is too large."));
}

// Closes the descriptor whatever way the read ends.
class Descriptor
{
public:
    explicit Descriptor(int fd)
        : fd_(fd)
    {
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

// Opens a regular file for reading; a FIFO, a device, a socket or a folder is refused before it
// is opened. Opening a device can have effects of its own, so its kind is asked first; the
// descriptor is checked again, since the name may change in between.
std::optional<int> openRegular(const QByteArray &path, struct stat &info, FormatError *error)
{
    if (::stat(path.constData(), &info) != 0)
        return systemFailure(error, errno);
    if (!S_ISREG(info.st_mode))
        return notRegular(error);
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return systemFailure(error, errno);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int code = errno;
        ::close(fd);
        return S_ISREG(info.st_mode) ? systemFailure(error, code) : notRegular(error);
    }
    return fd;
}

// Reads to the end. Past `limit` bytes the read fails when `whole`; otherwise it stops there.
std::optional<QByteArray> readUpTo(int fd, qint64 limit, bool whole, qint64 expected,
                                   FormatError *error)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(std::min(expected, limit)));
    char buffer[65536];
    for (;;) {
        const qint64 wanted =
            whole ? qint64(sizeof buffer) : std::min(qint64(sizeof buffer), limit - bytes.size());
        const ssize_t n = wanted > 0 ? ::read(fd, buffer, size_t(wanted)) : 0;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return systemFailure(error, errno);
        if (n == 0)
            return bytes;
        if (bytes.size() + n > limit)
            return tooLarge(error);
        bytes.append(buffer, n);
    }
}

} // namespace

std::optional<QByteArray> readUserFile(const QByteArray &path, qint64 limit, FormatError *error)
{
    struct stat info
    {
    };
    const std::optional<int> opened = openRegular(path, info, error);
    if (!opened)
        return std::nullopt;
    const Descriptor fd(*opened);
    if (info.st_size > limit)
        return tooLarge(error);
    // Files under /proc say they are empty and may still hold bytes: read to the end, capped.
    return readUpTo(fd.get(), limit, true, info.st_size, error);
}

std::optional<QByteArray> readUserFileHead(const QString &path, qint64 count, FormatError *error)
{
    struct stat info
    {
    };
    const std::optional<int> opened = openRegular(QFile::encodeName(path), info, error);
    if (!opened)
        return std::nullopt;
    const Descriptor fd(*opened);
    return readUpTo(fd.get(), count, false, info.st_size, error);
}

std::optional<QByteArray> readUserFile(const QString &path, qint64 limit, FormatError *error)
{
    return readUserFile(QFile::encodeName(path), limit, error);
}

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}
