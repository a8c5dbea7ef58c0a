// pixmint-icons: lists the icons of an executable, library, icon library or icon file, or
// writes each of them out as an .ico file.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/toolkit/SafeWrite.h"
#include "toolwindow/IconResources.h"

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
            32 for PNG-compressed images).
  extract   writes every icon, with all its images, to DIR/NAME_INDEX.ico, where NAME is
            FILE's name without its last extension, and prints how many it wrote.

Exit status: 0 on success, 1 when the file holds no icons, 2 when it cannot be read (missing,
not an icon source, damaged) or an icon or the output cannot be written (a full disk).
)";

int failWith(const QString &message, int status)
{
    std::fprintf(stderr, "pixmint-icons: %s\n", qPrintable(message));
    return status;
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
    return failWith(QStringLiteral("cannot write the output: %1")
                        .arg(QString::fromLocal8Bit(std::strerror(outputError))),
                    kUnreadable);
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
        out += QStringLiteral("%1\t%2\t%3\n")
                   .arg(i)
                   .arg(groups[i].name, imageList(groups[i]))
                   .toUtf8();
    }
    writeOut(out);
    return 0;
}

int extract(const std::vector<IconGroup> &groups, const QString &file, const QString &dir)
{
    if (!QDir().mkpath(dir))
        return failWith(QStringLiteral("cannot create the folder %1").arg(dir), kUnreadable);
    const QString base = QDir(dir).filePath(QFileInfo(file).completeBaseName());
    // Each file appears whole or not at all, and no link of another user is written through.
    // Batch output is not synced to disk file by file, as the saving editor's is.
    int written = 0;
    for (size_t i = 0; i < groups.size(); ++i) {
        const QByteArray ico = groupToIco(groups[i]);
        // A group with no readable image gives no file, but keeps its index.
        if (ico.isEmpty())
            continue;
        const QString target = QStringLiteral("%1_%2.ico").arg(base).arg(i);
        QString reason;
        if (!SafeWrite::replaceFile(target, ico, &reason, SafeWrite::Sync::Later))
            return failWith(QStringLiteral("cannot write %1: %2").arg(target, reason), kUnreadable);
        ++written;
    }
    writeOut(QByteArray::number(written) + '\n');
    return 0;
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
    const QString path = QFile::decodeName(argv[2]);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failWith(QStringLiteral("cannot open %1: %2").arg(path, file.errorString()),
                        kUnreadable);
    const QByteArray bytes = file.readAll();
    IconSourceFailure failure;
    const auto groups = readIconGroups(bytes, &failure);
    if (!groups) {
        return failWith(QStringLiteral("%1: %2").arg(path, failure.message),
                        failure.kind == IconSourceError::NoIcons ? kNoIcons : kUnreadable);
    }
    return finishOutput(listing ? list(*groups)
                                : extract(*groups, path, QFile::decodeName(argv[3])));
}
