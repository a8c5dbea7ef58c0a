#include "formats/UserFile.h"

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
    return failed(error, Kind::Refused, "It is not a regular file.");
}

std::nullopt_t tooLarge(FormatError *error)
{
    return failed(error, Kind::TooLarge, "The file is too large.");
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
std::optional<int> openRegular(const std::string &path, struct stat &info, FormatError *error)
{
    if (::stat(path.c_str(), &info) != 0)
        return systemFailure(error, errno);
    if (!S_ISREG(info.st_mode))
        return notRegular(error);
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return systemFailure(error, errno);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int code = errno;
        ::close(fd);
        return S_ISREG(info.st_mode) ? systemFailure(error, code) : notRegular(error);
    }
    return fd;
}

// Reads to the end into `buffer`, grown as the bytes come. Past `limit` bytes the read fails
// when `whole`; otherwise it stops there.
bool readUpTo(int fd, int64_t limit, bool whole, int64_t expected, FormatError *error,
              const ByteBuffer &buffer)
{
    const uint64_t most = uint64_t(std::max<int64_t>(limit, 0)) + (whole ? 1 : 0);
    // One byte beyond what the file says it holds, so that its end shows without a second buffer.
    uint64_t room =
        std::min(std::max<uint64_t>(uint64_t(std::max<int64_t>(expected, 0)) + 1, 4096), most);
    char *data = buffer(size_t(room));
    uint64_t total = 0;
    for (;;) {
        if (total == room) {
            if (room == most && whole) {
                tooLarge(error);
                return false;
            }
            if (room == most)
                break;
            room = std::min(room * 2, most);
            data = buffer(size_t(room));
        }
        const ssize_t n =
            ::read(fd, data + total, size_t(std::min<uint64_t>(room - total, 1 << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            systemFailure(error, errno);
            return false;
        }
        if (n == 0)
            break;
        total += uint64_t(n);
    }
    buffer(size_t(total));
    return true;
}

} // namespace

bool readUserFileInto(const std::string &path, int64_t limit, FormatError *error,
                      const ByteBuffer &buffer)
{
    struct stat info
    {
    };
    const std::optional<int> opened = openRegular(path, info, error);
    if (!opened)
        return false;
    const Descriptor fd(*opened);
    if (info.st_size > limit) {
        tooLarge(error);
        return false;
    }
    // Files under /proc say they are empty and may still hold bytes: read to the end, capped.
    return readUpTo(fd.get(), limit, true, info.st_size, error, buffer);
}

std::optional<std::string> readUserFile(const std::string &path, int64_t limit, FormatError *error)
{
    std::string bytes;
    if (!readUserFileInto(path, limit, error, [&bytes](size_t size) {
            bytes.resize(size);
            return bytes.data();
        }))
        return std::nullopt;
    return bytes;
}

bool readUserFileHeadInto(const std::string &path, int64_t count, FormatError *error,
                          const ByteBuffer &buffer)
{
    struct stat info
    {
    };
    const std::optional<int> opened = openRegular(path, info, error);
    if (!opened)
        return false;
    const Descriptor fd(*opened);
    return readUpTo(fd.get(), count, false, info.st_size, error, buffer);
}

std::string systemError(int code)
{
    return std::strerror(code);
}
