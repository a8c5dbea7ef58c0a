// pixmint-icons: lists the icons of an executable, library, icon library or icon file, or
// writes each of them out as an .ico file.
#include <QByteArray>
#include <QString>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "formats/IconResources.h"
#include "formats/SafeWrite.h"
#include "formats/UserFile.h"

namespace {

constexpr int kNoIcons = 1;
constexpr int kUnreadable = 2;

constexpr char kUsage[] = R"(Usage: pixmint-icons list FILE
       pixmint-icons extract FILE DIR

Reads the icons of a Windows executable or library (PE32, PE32+ or 16-bit NE), an icon
library (.icl) or an icon file (.ico); the kind is told from the content, not the name.
Icons are counted from 0 in the order Windows' ExtractIcon gives them.

  list      prints one line per icon: its index, a tab, its group name (the resource id in
            decimal, or its name as stored), a tab, and its images in the group's order as
            WIDTHxHEIGHTxBITS separated by blanks, as each image's own header says (BITS is
            32 for PNG-compressed images). Control characters in a name are written as
            escapes, so that every icon keeps to one line of three fields: \t, \n and \r,
            \xHH for the other codes below 32 and for 127, \uHHHH for the other control
            characters and the line and paragraph separators, and \\ for a backslash.
  extract   writes every icon, with all its images, to DIR/NAME_INDEX.ico, where NAME is
            FILE's name without its last extension, and prints how many it wrote. An image
            that repeats an earlier one of its icon is written once; an icon of more than 256
            images or 64 MiB is not written.

FILE and DIR are taken byte for byte, whatever their encoding. Only a regular file of at most
512 MiB is read.

Exit status: 0 on success, 1 when the file holds no icons, 2 when it cannot be read (missing,
not a regular file, a read error, not an icon source, damaged), when an icon or the output
cannot be written (a full disk), or when the command line is wrong.
)";

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

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        writeOut(kUsage);
        return finishOutput(0);
    }
    const bool listing = argc == 3 && std::strcmp(argv[1], "list") == 0;
    const bool extracting = argc == 4 && std::strcmp(argv[1], "extract") == 0;
    if (!listing && !extracting) {
        std::fputs(kUsage, stderr);
        return kUnreadable;
    }
    const QByteArray path(argv[2]);
    FormatError error;
    const std::optional<QByteArray> bytes = readUserFile(path, kMaxUserFileBytes, &error);
    if (!bytes)
        return failWith(path, error.message, kUnreadable);
    const auto groups = readIconGroups(*bytes, &error);
    if (!groups) {
        return failWith(path, error.message,
                        error.kind == FormatError::Kind::NoIcons ? kNoIcons : kUnreadable);
    }
    return finishOutput(listing ? list(*groups) : extract(*groups, path, QByteArray(argv[3])));
}
