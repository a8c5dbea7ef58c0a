#include "formats/SafeWrite.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/random.h>
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
int injected(Step step, const std::string &target)
{
    const TestHook &hook = testHook();
    return hook ? hook(step, target) : 0;
}

using Kind = FormatError::Kind;

bool fail(FormatError *error, Kind kind, std::string reason)
{
    failed(error, kind, std::move(reason));
    return false;
}

bool failWithErrno(FormatError *error, int code)
{
    return fail(error, Kind::System, systemError(code));
}

std::string folderOf(const std::string &path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Where a link points, taken relative to the link's own folder.
std::optional<std::string> linkTarget(const std::string &link)
{
    std::string buffer(4096, '\0');
    const ssize_t n = ::readlink(link.c_str(), buffer.data(), buffer.size());
    if (n >= ssize_t(buffer.size()))
        errno = ENAMETOOLONG;
    if (n < 0 || n >= ssize_t(buffer.size()))
        return std::nullopt;
    buffer.resize(size_t(n));
    return buffer.starts_with('/') ? buffer : folderOf(link) + '/' + buffer;
}

// A fresh file beside `target` that no existing name or link can stand in for. -1 with errno
// set on failure.
int createTemporary(const std::string &target, std::string &temporary)
{
    static constexpr char letters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    if (const int error = injected(Step::Create, target)) {
        errno = error;
        return -1;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        // The system's entropy, so that no two programs pick alike; without it, the process and
        // the attempt still tell names apart.
        unsigned char random[6] = {};
        if (::getrandom(random, sizeof random, 0) != ssize_t(sizeof random)) {
            const uint64_t id = uint64_t(::getpid()) << 8 | uint64_t(attempt);
            std::memcpy(random, &id, sizeof random);
        }
        std::string suffix(sizeof random, '\0');
        for (size_t i = 0; i < suffix.size(); ++i)
            suffix[i] = letters[random[i] % (sizeof letters - 1)];
        temporary = folderOf(target) + "/.pixmint-" + suffix + ".part";
        const int fd =
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// 0 when every byte was written, else the errno of the write that failed.
int writeAll(int fd, std::string_view bytes, const std::string &target)
{
    if (const int error = injected(Step::Write, target))
        return error;
    const char *data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, std::min<size_t>(left, 1 << 30));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        data += n;
        left -= size_t(n);
    }
    return 0;
}

// 0 when the temporary holds the bytes and is closed, else the errno of the step that failed.
// The descriptor is closed either way.
int finish(int fd, std::string_view bytes, const std::string &target, Sync sync)
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

std::optional<std::string> writableTarget(const std::string &path, FormatError *error)
{
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(current.c_str(), &st) != 0) {
            // A new file, or a folder the write itself will report on.
            if (hops == 0)
                return current;
            if (errno == ENOENT)
                fail(error, Kind::Refused, "It is a link to a file that does not exist.");
            else
                failWithErrno(error, errno);
            return std::nullopt;
        }
        if (!S_ISLNK(st.st_mode)) {
            if (hops > 0 && st.st_uid != ::geteuid()) {
                fail(error, Kind::Refused, "It is a link to a file of another user.");
                return std::nullopt;
            }
            return current;
        }
        const std::optional<std::string> next = linkTarget(current);
        if (st.st_uid != ::geteuid() || !next) {
            if (next)
                fail(error, Kind::Refused, "It is a link of another user.");
            else
                failWithErrno(error, errno);
            return std::nullopt;
        }
        current = *next;
    }
    failWithErrno(error, ELOOP);
    return std::nullopt;
}

bool replaceFile(const std::string &path, std::string_view bytes, FormatError *error, Sync sync)
{
    const std::optional<std::string> target = writableTarget(path, error);
    if (!target)
        return false;
    struct stat old;
    const bool exists = ::lstat(target->c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        return fail(error, Kind::Refused,
                    S_ISDIR(old.st_mode) ? systemError(EISDIR) : "It is not a regular file.");
    std::string temporary;
    const int fd = createTemporary(*target, temporary);
    if (fd < 0)
        return failWithErrno(error, errno);
    // The replacement keeps the permissions of the file it replaces.
    if (exists)
        (void)::fchmod(fd, old.st_mode & 07777);
    int failure = finish(fd, bytes, *target, sync);
    if (!failure) {
        failure = injected(Step::Rename, *target);
        if (!failure && ::rename(temporary.c_str(), target->c_str()) != 0)
            failure = errno;
    }
    if (!failure)
        return true;
    ::unlink(temporary.c_str());
    return failWithErrno(error, failure);
}

Fill fillEmptyFile(const std::string &path, std::string_view bytes, FormatError *error)
{
    // Without blocking on a FIFO planted under the name, and without following a link.
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Fill::NotEmpty;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != 0 ||
        st.st_uid != ::geteuid()) {
        ::close(fd);
        return Fill::NotEmpty;
    }
    int failure = writeAll(fd, bytes, path);
    if (failure)
        (void)::ftruncate(fd, 0);
    if (::close(fd) != 0 && errno != EINTR && !failure)
        failure = errno;
    if (!failure)
        return Fill::Filled;
    failWithErrno(error, failure);
    return Fill::Failed;
}

void setTestHook(TestHook hook)
{
    testHook() = std::move(hook);
}

} // namespace SafeWrite
