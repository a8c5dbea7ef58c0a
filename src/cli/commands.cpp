// The commands of pixmint-icons that need nothing but the formats core: they list the icons of
// an executable, library, icon library or icon file, write each of them out as an .ico file,
// or write the thumbnail a file manager shows.
#include "cli/commands.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "cli/usage.h"
#include "formats/IconResources.h"
#include "formats/Png.h"
#include "formats/SafeWrite.h"
#include "formats/Thumbnail.h"
#include "formats/UserFile.h"

namespace {

constexpr int kNoIcons = 1;
constexpr int kUnreadable = 2;

// Names are the system's bytes and are printed as they are: not every name is UTF-8.
int failWith(const QByteArray &name, const QString &message, int status)
{
    std::fprintf(stderr, "pixmint-icons: %s: %s\n", name.constData(), qPrintable(message));
    return status;
}

// A group name as one field of a line: control characters, the line and paragraph separators
// and lone surrogates become escapes, and so does the backslash that starts them.
QByteArray escapedName(const QString &name)
{
    QString out;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            out += c;
            out += name[++i];
        } else if (u == u'\\') {
            out += QLatin1String("\\\\");
        } else if (u == u'\t' || u == u'\n' || u == u'\r') {
            out += u == u'\t'   ? QLatin1String("\\t")
                   : u == u'\n' ? QLatin1String("\\n")
                                : QLatin1String("\\r");
        } else if (u < 0x20 || u == 0x7F) {
            out += QString::asprintf("\\x%02x", unsigned(u));
        } else if ((u >= 0x80 && u < 0xA0) || u == 0x2028 || u == 0x2029 || c.isSurrogate()) {
            out += QString::asprintf("\\u%04x", unsigned(u));
        } else {
            out += c;
        }
    }
    return out.toUtf8();
}

// The first error standard output gave, kept for the exit status.
int outputError = 0;

void writeOut(const QByteArray &bytes)
{
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()) &&
        outputError == 0)
        outputError = errno;
}

// `status`, unless standard output did not take everything written to it (a full disk).
int finishOutput(int status)
{
    if (std::fflush(stdout) != 0 && outputError == 0)
        outputError = errno;
    if (outputError == 0)
        return status;
    std::fprintf(stderr, "pixmint-icons: cannot write the output: %s\n",
                 std::strerror(outputError));
    return kUnreadable;
}

QString imageList(const IconGroup &group)
{
    QStringList images;
    for (const IconGroupImage &image : group.images) {
        // The group entry's word stands only when the image's own header cannot be read.
        const auto info = probeIconImage(image.data);
        images << QStringLiteral("%1x%2x%3")
                      .arg(info ? info->width : image.width)
                      .arg(info ? info->height : image.height)
                      .arg(info ? info->bitCount : image.bitCount);
    }
    return images.join(u' ');
}

int list(const std::vector<IconGroup> &groups)
{
    QByteArray out;
    for (size_t i = 0; i < groups.size(); ++i) {
        out += QByteArray::number(qulonglong(i)) + '\t' + escapedName(groups[i].name) + '\t' +
               imageList(groups[i]).toUtf8() + '\n';
    }
    writeOut(out);
    return 0;
}

// Makes the folder and the folders above it.
bool makeFolder(const QByteArray &dir, QString *reason)
{
    for (qsizetype end = 1; end <= dir.size(); ++end) {
        if (end < dir.size() && dir[end] != '/')
            continue;
        if (::mkdir(dir.left(end).constData(), 0777) != 0 && errno != EEXIST) {
            *reason = systemError(errno);
            return false;
        }
    }
    struct stat info
    {
    };
    if (::stat(dir.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        *reason = systemError(errno == 0 ? ENOTDIR : errno);
        return false;
    }
    return true;
}

// The file's name without its folder and its last extension.
QByteArray completeBaseName(const QByteArray &path)
{
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    const qsizetype dot = name.lastIndexOf('.');
    return dot < 0 ? name : name.left(dot);
}

int extract(const std::vector<IconGroup> &groups, const QByteArray &file, const QByteArray &dir)
{
    QString reason;
    if (!makeFolder(dir, &reason))
        return failWith(dir, QStringLiteral("cannot create the folder: ") + reason, kUnreadable);
    const QByteArray base = (dir.endsWith('/') ? dir : dir + '/') + completeBaseName(file);
    int written = 0;
    int status = 0;
    for (size_t i = 0; i < groups.size(); ++i) {
        const QByteArray target = base + '_' + QByteArray::number(qulonglong(i)) + ".ico";
        FormatError error;
        const QByteArray ico = groupToIco(groups[i], &error);
        // A group with no readable image gives no file, but keeps its index. One too large to
        // write is reported, and the others are written all the same.
        if (ico.isEmpty()) {
            if (!error.message.isEmpty())
                status =
                    failWith(target, QStringLiteral("cannot write: ") + error.message, kUnreadable);
            continue;
        }
        // Each file appears whole or not at all, and no link of another user is written
        // through. Batch output is not synced to disk file by file, as the saving editor's is.
        if (!SafeWrite::replaceFile(target, ico, &error, SafeWrite::Sync::Later))
            return failWith(target, QStringLiteral("cannot write: ") + error.message, kUnreadable);
        ++written;
    }
    writeOut(QByteArray::number(written) + '\n');
    return status;
}

// A thumbnailer reads every file of a folder it is shown, so it reads no more than this.
constexpr qint64 kMaxThumbnailSource = qint64(48) * 1024 * 1024;
constexpr int kDefaultSide = 128;

// SIZE as file managers pass it: a decimal number from 1 to 1024.
std::optional<int> sideOf(const char *text)
{
    int side = 0;
    for (const char *c = text; *c != 0; ++c) {
        if (*c < '0' || *c > '9' || side > kMaxThumbnailSide)
            return std::nullopt;
        side = side * 10 + (*c - '0');
    }
    if (side < 1 || side > kMaxThumbnailSide)
        return std::nullopt;
    return side;
}

std::optional<Pixels> thumbnailOf(const QByteArray &path, int side, FormatError *error)
{
    const std::optional<QByteArray> bytes = readUserFile(path, kMaxThumbnailSource, error);
    if (!bytes)
        return std::nullopt;
    return iconThumbnail(*bytes, side, error);
}

// thumbnail [-s SIZE] FILE OUTPUT: nothing is written unless the whole thumbnail is.
int thumbnail(int argc, char **argv)
{
    const bool sized = argc == 6 && std::strcmp(argv[2], "-s") == 0;
    if (!sized && argc != 4)
        return usageError();
    const std::optional<int> side = sized ? sideOf(argv[3]) : kDefaultSide;
    if (!side)
        return failWith(QByteArray(argv[3]), QStringLiteral("the size must be 1 to 1024"),
                        kUnreadable);
    const QByteArray input(argv[argc - 2]);
    const QByteArray output(argv[argc - 1]);
    FormatError error;
    const auto image = thumbnailOf(input, *side, &error);
    if (!image)
        return failWith(input, error.message, kUnreadable);
    const QByteArray png = encodePng(*image);
    if (png.isEmpty())
        return failWith(output, QStringLiteral("cannot make the PNG"), kUnreadable);
    if (!SafeWrite::replaceFile(output, png, &error, SafeWrite::Sync::Later))
        return failWith(output, QStringLiteral("cannot write: ") + error.message, kUnreadable);
    return 0;
}

int listOrExtract(int argc, char **argv)
{
    const bool listing = std::strcmp(argv[1], "list") == 0;
    if (argc != (listing ? 3 : 4))
        return usageError();
    const QByteArray path(argv[2]);
    FormatError error;
    const std::optional<QByteArray> bytes = readUserFile(path, kMaxUserFileBytes, &error);
    if (!bytes)
        return failWith(path, error.message, kUnreadable);
    // The file outlives the groups, so the images stay slices of it.
    const auto groups = readIconGroups(*bytes, &error, {SIZE_MAX, true});
    if (!groups) {
        return failWith(path, error.message,
                        error.kind == FormatError::Kind::NoIcons ? kNoIcons : kUnreadable);
    }
    return finishOutput(listing ? list(*groups) : extract(*groups, path, QByteArray(argv[3])));
}

} // namespace

int usageError()
{
    std::fputs(kUsage, stderr);
    return kUnreadable;
}

std::optional<int> runCoreCommand(int argc, char **argv, GifReader gif)
{
    if (argc < 2)
        return std::nullopt;
    const QByteArrayView command(argv[1]);
    if (argc == 2 && (command == "--help" || command == "-h")) {
        writeOut(kUsage);
        return finishOutput(0);
    }
    if (command == "list" || command == "extract")
        return listOrExtract(argc, argv);
    if (command == "thumbnail")
        return thumbnail(argc, argv);
    if (command == "create")
        return createIconSet(argc, argv, gif);
    if (command == "convert")
        return convertImage(argc, argv, gif);
    return std::nullopt;
}
