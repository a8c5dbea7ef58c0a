#include "formats/ReaderProcess.h"

#include <QDeadlineTimer>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "formats/ByteReader.h"
#include "formats/Companion.h"
#include "formats/QtBridge.h"

namespace {

constexpr char kProgram[] = "pixmint-reader";
// Cap on what comes back: the pixels of the clip, or a reason.
constexpr qsizetype kMaxAnswer = qsizetype(64) * 1024 * 1024;

using Kind = FormatError::Kind;

const char *taskName(ProcessRead what)
{
    switch (what) {
    case ProcessRead::Metafile:
        return "metafile";
    case ProcessRead::MetafileWithoutFonts:
        return "metafile-without-fonts";
    case ProcessRead::Picture:
        break;
    }
    return "picture";
}

// The bytes as a file of their own in memory, which the reader maps as its standard input.
int memoryFile(const QByteArray &bytes)
{
    const int fd = ::memfd_create("pixmint-picture", MFD_CLOEXEC);
    if (fd < 0)
        return -1;
    for (QByteArrayView left(bytes); !left.isEmpty();) {
        const ssize_t n = ::write(fd, left.data(), size_t(left.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ::close(fd);
            return -1;
        }
        left = left.sliced(n);
    }
    return fd;
}

// Reads to the end of the pipe; false when the deadline or the size cap comes first.
bool readToEnd(int fd, QByteArray &out, QDeadlineTimer deadline)
{
    char buffer[65536];
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, int(deadline.remainingTime()));
        if (ready == 0 || deadline.hasExpired())
            return false;
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return true;
        }
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return true;
        out.append(buffer, n);
        if (out.size() > kMaxAnswer)
            return false;
    }
}

// Starts the reader on the bytes; its pid, with its standard output in `answer`.
pid_t startReader(const std::string &program, ProcessRead what, int input, int answer, QSize clip,
                  QRgb background)
{
    const QByteArray width = QByteArray::number(clip.width());
    const QByteArray height = QByteArray::number(clip.height());
    const QByteArray back = QByteArray::number(background, 16);
    const char *args[] = {program.c_str(),    taskName(what),   width.constData(),
                          height.constData(), back.constData(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input, 0);
    posix_spawn_file_actions_adddup2(&actions, answer, 1);
    // What Qt and libwmf would say about a bad file is of no use to anyone.
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int failure = ::posix_spawn(&pid, program.c_str(), &actions, nullptr,
                                      const_cast<char *const *>(args), environ);
    posix_spawn_file_actions_destroy(&actions);
    errno = failure;
    return failure == 0 ? pid : -1;
}

// The picture the reader wrote: its width and height, then its ARGB32 rows.
std::optional<QImage> answeredPicture(const QByteArray &answer)
{
    const ByteReader r(bytesView(answer));
    const auto width = r.u32(0), height = r.u32(4);
    if (!width || !height || *width == 0 || *height == 0 || *width > 65535 || *height > 65535 ||
        uint64_t(*width) * *height * 4 != r.size() - 8)
        return std::nullopt;
    QImage image(int(*width), int(*height), QImage::Format_ARGB32);
    if (image.isNull())
        return std::nullopt;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), answer.constData() + 8 + qsizetype(y) * *width * 4,
                    size_t(*width) * 4);
    return image;
}

} // namespace

std::optional<QImage> readInProcess(ProcessRead what, const QByteArray &bytes, QSize clip,
                                    QRgb background, const QString &tooLong, FormatError *error)
{
    static const std::string program = companionProgram(kProgram);
    if (program.empty())
        return failed(error, Kind::CannotDraw,
                      QStringLiteral("The picture reader pixmint-reader is not installed."));
    const QDeadlineTimer deadline(kReaderMillis);
    const int input = memoryFile(bytes);
    int pipe[2] = {-1, -1};
    if (input < 0 || ::pipe2(pipe, O_CLOEXEC) != 0) {
        const int cause = errno;
        if (input >= 0)
            ::close(input);
        return failed(error, Kind::System, systemError(cause));
    }
    const pid_t child = startReader(program, what, input, pipe[1], clip, background);
    const int cause = errno;
    ::close(input);
    ::close(pipe[1]);
    QByteArray out;
    const bool finished = child > 0 && readToEnd(pipe[0], out, deadline);
    ::close(pipe[0]);
    if (child <= 0)
        return failed(error, Kind::System, systemError(cause));
    if (!finished)
        ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!finished)
        return failed(error, Kind::TooLarge, tooLong);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kReaderRefused && !out.isEmpty()) {
        const auto kind = uint8_t(out[0]);
        return failed(error, kind <= uint8_t(Kind::CannotDraw) ? Kind(kind) : Kind::Damaged,
                      out.mid(1, 1024).toStdString());
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        if (auto image = answeredPicture(out))
            return image;
    // Killed by its limits, or crashed on the file.
    return failed(error, Kind::TooLarge, QStringLiteral("The picture is too costly to read."));
}
