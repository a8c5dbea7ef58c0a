#include "formats/UserFile.h"

#include <QFile>
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

} // namespace

std::optional<QByteArray> readUserFile(const QByteArray &path, qint64 limit, FormatError *error)
{
    // Opening a device can have effects of its own, so its kind is asked first; the descriptor
    // is checked again, since the name may change in between.
    struct stat info
    {
    };
    if (::stat(path.constData(), &info) != 0)
        return systemFailure(error, errno);
    if (!S_ISREG(info.st_mode))
        return notRegular(error);
    const Descriptor fd(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        return systemFailure(error, errno);
    if (::fstat(fd.get(), &info) != 0)
        return systemFailure(error, errno);
    if (!S_ISREG(info.st_mode))
        return notRegular(error);
    if (info.st_size > limit)
        return tooLarge(error);
    // Files under /proc say they are empty and may still hold bytes: read to the end, capped.
    QByteArray bytes;
    bytes.reserve(qsizetype(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
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

std::optional<QByteArray> readUserFile(const QString &path, qint64 limit, FormatError *error)
{
    return readUserFile(QFile::encodeName(path), limit, error);
}

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}
