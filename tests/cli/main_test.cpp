// The real pixmint-icons program, run as a user would.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

#include "formats/ByteReader.h"
#include "formats/IconImage.h"
#include "formats/IconResources.h"
#include "formats/IconScale.h"
#include "formats/PixelImage.h"
#include "formats/QtBridge.h"
#include "support/files.h"
#include "support/icons.h"

namespace {

struct Outcome
{
    int status = -1;
    QString out;
    QString err;
    bool operator==(const Outcome &) const = default;
};

void PrintTo(const Outcome &o, std::ostream *os)
{
    *os << o.status << " / " << o.out.toStdString() << " / " << o.err.toStdString();
}

// pixmint-icons, or the `program` that runs it.
Outcome icons(const QStringList &arguments, const QString &standardOutput = QString(),
              const QString &program = QStringLiteral(PIXMINT_ICONS))
{
    QProcess p;
    if (!standardOutput.isEmpty())
        p.setStandardOutputFile(standardOutput);
    p.start(program, arguments);
    EXPECT_TRUE(p.waitForFinished(30000)) << program.toStdString();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QString data(const char *name)
{
    return testData(QStringLiteral("good/resources/") + QLatin1String(name));
}

QString saved(const QTemporaryDir &dir, const char *name, const QByteArray &bytes)
{
    QString path = dir.filePath(QLatin1String(name));
    EXPECT_TRUE(writeAll(path, bytes)) << name;
    return path;
}

// A refusal as a user reads it: `status`, nothing on standard output, and one line on standard
// error that holds `reason`.
void expectRefused(const QStringList &arguments, int status = 2, const QString &reason = {})
{
    SCOPED_TRACE(arguments.join(u' ').toStdString());
    const Outcome r = icons(arguments);
    EXPECT_EQ(r.status, status);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err.count(u'\n'), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(reason)) << r.err.toStdString();
}

} // namespace

TEST(PixmintIcons, ListShowsEachImagesOwnSizeAndDepthAndExtractWritesEveryGroupWhole)
{
    const std::pair<const char *, QString> listings[] = {
        {"groups64.dll", QStringLiteral("0\tALPHA\t256x256x32 32x32x32\n"
                                        "1\tBETA\t32x32x4 32x32x32 16x16x32 32x32x8\n"
                                        "2\tZETA\t16x16x4 32x32x4\n"
                                        "3\t3\t48x48x8\n"
                                        "4\t7\t16x16x8 32x32x8 32x32x32\n")},
        {"library.icl", QStringLiteral("0\t20\t32x32x4 16x16x4\n"
                                       "1\tSMILE\t32x32x8\n"
                                       "2\t10\t32x32x1 32x32x32\n")}};
    for (const auto &[name, listing] : listings) {
        SCOPED_TRACE(name);
        EXPECT_EQ(icons({"list", data(name)}), (Outcome{0, listing, {}}));
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("icons"));
        const QByteArray file = readAll(data(name));
        const auto groups = readIconGroups(bytesView(file));
        ASSERT_TRUE(groups);
        EXPECT_EQ(icons({"extract", data(name), out}),
                  (Outcome{0, QString::number(groups->size()) + u'\n', {}}));
        EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), qsizetype(groups->size()));
        const QString base = QString::fromLatin1(name).section(u'.', 0, 0);
        for (size_t i = 0; i < groups->size(); ++i) {
            const QString path = QStringLiteral("%1/%2_%3.ico").arg(out, base).arg(i);
            EXPECT_EQ(readAll(path), toByteArray(groupToIco((*groups)[i]))) << i;
        }
    }
}

TEST(PixmintIcons, ExitStatusTellsWhatWentWrong)
{
    // An icon whose name is taken by a folder, and for the reader's reasons (the other special
    // files are the pictures') what is not a regular file, and a file over 512 MiB.
    QTemporaryDir out;
    ASSERT_TRUE(QDir(out.path()).mkdir(QStringLiteral("groups64_2.ico")));
    QFile huge(out.filePath(QStringLiteral("huge.dll")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(513) * 1024 * 1024));
    const auto told = [](const QString &file, const char *reason) {
        return QStringLiteral("pixmint-icons: %1: %2\n").arg(file, QLatin1String(reason));
    };
    // No icons is 1; no such file, no library, or a folder that cannot be made (its parent is
    // a file) is 2; each says why in one line.
    const std::tuple<QStringList, int, QString> failures[] = {
        {{"list", data("noicons.dll")}, 1, told(data("noicons.dll"), "The file holds no icons.")},
        {{"extract", data("noicons.dll"), QDir::tempPath()}, 1, {}},
        {{"list", data("missing.dll")}, 2, {}},
        {{"list", data("make-fixtures.sh")}, 2, {}},
        {{"extract", data("beta.ico"), data("beta.ico") + "/out"}, 2, {}},
        {{"extract", data("groups64.dll"), out.path()},
         2,
         told(out.filePath(QStringLiteral("groups64_2.ico")), "cannot write: Is a directory")},
        {{"list", "/dev/zero"}, 2, told(QStringLiteral("/dev/zero"), "It is not a regular file.")},
        {{"list", huge.fileName()}, 2, told(huge.fileName(), "The file is too large.")}};
    for (const auto &[arguments, status, reason] : failures)
        expectRefused(arguments, status, reason);

    EXPECT_EQ(icons({"--help"}).status, 0);
    for (const QStringList &wrong : {QStringList(), QStringList{"show", data("beta.ico")},
                                     QStringList{"thumbnail", data("beta.ico")}}) {
        const Outcome r = icons(wrong);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains(QStringLiteral("Usage:")));
    }
}

TEST(PixmintIcons, ExtractWritesRepeatedImagesOnceAndRefusesIconsTooLargeToWrite)
{
    QImage noise(128, 128, QImage::Format_ARGB32);
    std::srand(3);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            noise.setPixel(x, y, uint32_t(std::rand()) | 0xFF000000u);
    const QByteArray png = pngBytes(noise);
    QTemporaryDir dir;
    // 63000 entries naming one image: listed as they are, written as one image.
    const QString repeated = saved(dir, "repeated.ico", icoFile({png}, 63000));
    const Outcome listed = icons({"list", repeated});
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out.count(QStringLiteral("128x128x32")), 63000);
    const QString out = dir.filePath(QStringLiteral("out"));
    EXPECT_EQ(icons({"extract", repeated, out}), (Outcome{0, QStringLiteral("1\n"), {}}));
    const QByteArray single = readAll(out + QStringLiteral("/repeated_0.ico"));
    EXPECT_EQ(single.size(), 6 + 16 + png.size());
    EXPECT_EQ(readIconDirectory(bytesView(single))->size(), 1u);

    // 300 images of their own: the icon is not written, and the tool says why.
    std::vector<QByteArray> images(300);
    for (size_t i = 0; i < images.size(); ++i)
        images[i] = QByteArray::number(100000 + int(i));
    const QString crowded = saved(dir, "crowded.ico", icoFile(images));
    EXPECT_EQ(icons({"extract", crowded, out}),
              (Outcome{2, QStringLiteral("0\n"),
                       QStringLiteral("pixmint-icons: %1/crowded_0.ico: cannot write: The icon "
                                      "has more than 256 images.\n")
                           .arg(out)}));
    EXPECT_FALSE(QFile::exists(out + QStringLiteral("/crowded_0.ico")));
}

TEST(PixmintIcons, NamesOfGroupsAreEscapedAndNamesOfFilesKeptByteForByte)
{
    QByteArray library = readAll(data("groups64.dll"));
    const auto rename = [&library](const QString &from, const QString &to) {
        ASSERT_EQ(from.size(), to.size());
        const QByteArray old(reinterpret_cast<const char *>(from.utf16()), from.size() * 2);
        const qsizetype at = library.indexOf(old);
        ASSERT_GE(at, 0);
        library.replace(at, old.size(),
                        QByteArray(reinterpret_cast<const char *>(to.utf16()), to.size() * 2));
    };
    rename(QStringLiteral("ALPHA"), QStringLiteral("AL\tHA"));
    rename(QStringLiteral("BETA"), QStringLiteral("B\nT\r"));
    rename(QStringLiteral("ZETA"), QString::fromUtf16(u"\0\\\u2028\u0085", 4));
    QTemporaryDir dir;
    EXPECT_EQ(icons({"list", saved(dir, "names.dll", library)}),
              (Outcome{0,
                       QStringLiteral("0\tAL\\tHA\t256x256x32 32x32x32\n"
                                      "1\tB\\nT\\r\t32x32x4 32x32x32 16x16x32 32x32x8\n"
                                      "2\t\\x00\\\\\\u2028\\u0085\t16x16x4 32x32x4\n"
                                      "3\t3\t48x48x8\n"
                                      "4\t7\t16x16x8 32x32x8 32x32x32\n"),
                       {}}));

    // File names are taken and written byte for byte; those that are not UTF-8 reach the tool
    // only through a shell.
    const QString script = QStringLiteral(
        "cd '%1' && cp '%2' \"$(printf 'n\\377.ico')\" && '%3' list \"$(printf 'n\\377.ico')\" && "
        "'%3' extract \"$(printf 'n\\377.ico')\" \"$(printf 'd\\377')\"");
    EXPECT_EQ(icons({"-c", script.arg(dir.path(), data("beta.ico"), QStringLiteral(PIXMINT_ICONS))},
                    {}, QStringLiteral("/bin/sh")),
              (Outcome{0, QStringLiteral("0\t\t32x32x4 32x32x32 16x16x32 32x32x8\n1\n"), {}}));
    const QByteArray written = QFile::encodeName(dir.path()) + "/d\xff/n\xff_0.ico";
    struct stat info = {};
    EXPECT_EQ(::stat(written.constData(), &info), 0);
    EXPECT_EQ(qint64(info.st_size), readAll(data("beta.ico")).size());
}

TEST(PixmintIcons, AFullDiskOrOutputGivesStatusTwoAndTheCause)
{
    EXPECT_EQ(
        icons({"list", data("groups64.dll")}, "/dev/full"),
        (Outcome{2, {}, "pixmint-icons: cannot write the output: No space left on device\n"}));
    EXPECT_EQ(icons({"--help"}, "/dev/full").status, 2);

    SmallDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.why().toStdString();
    // A thumbnail host's empty file stays empty.
    const QString host = disk.path() + QStringLiteral("/host.png");
    ASSERT_TRUE(writeAll(host, QByteArray()));
    disk.fill();
    const Outcome extracted = icons({"extract", data("groups64.dll"), disk.path()});
    EXPECT_EQ(extracted.status, 2);
    EXPECT_TRUE(extracted.err.endsWith(QStringLiteral(": No space left on device\n")))
        << extracted.err.toStdString();
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("filler"), QStringLiteral("host.png")}));
    const Outcome thumbnail = icons({"thumbnail", data("groups32.dll"), host});
    EXPECT_EQ(thumbnail.status, 2);
    EXPECT_TRUE(thumbnail.err.contains(QString::fromStdString(systemError(ENOSPC))))
        << thumbnail.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(host));
    EXPECT_EQ(QFileInfo(host).size(), 0);
}

namespace {

// The image of an extracted .ico file that suits `side`, as the editor draws it with
// transparency, fitted the way a thumbnail is: smaller to fit, or larger by a whole factor.
Pixels expectedThumbnail(const QString &ico, int side)
{
    const auto file = readUserFile(ico);
    const auto entries = readIconDirectory(bytesView(file.value_or(QByteArray())));
    EXPECT_TRUE(entries) << ico.toStdString();
    std::vector<IconImageInfo> infos;
    std::vector<QByteArrayView> images;
    for (const IconDirEntry &e : entries.value_or(std::vector<IconDirEntry>())) {
        images.push_back(QByteArrayView(*file).sliced(e.imageOffset, e.bytesInRes));
        infos.push_back(*probeIconImage(bytesView(images.back())));
    }
    const auto image = decodeIconImage(images[size_t(iconImageForSide(infos, side))]);
    Pixels shown = toPixels(composeIcon(*image, 0));
    const int larger = std::max(shown.width, shown.height);
    if (larger > side)
        return scaledPixels(shown, shown.width * side / larger, shown.height * side / larger);
    return scaledPixels(shown, shown.width * (side / larger), shown.height * (side / larger));
}

// Clear pixels compare equal whatever colour they hold.
Pixels normalised(Pixels p)
{
    for (uint32_t &v : p.argb)
        v = (v >> 24) == 0 ? 0 : v;
    return p;
}

} // namespace

TEST(PixmintIcons, ThumbnailsAreTheExtractedImageForTheSizeFitted)
{
    QTemporaryDir dir;
    for (const char *name :
         {"resources/groups32.dll", "resources/groups64.dll", "resources/library.icl", "multi.ico",
          "icon-invert.ico", "icon-png.ico", "icon1.ico"}) {
        const QString source = testData(QStringLiteral("good/") + QLatin1String(name));
        ASSERT_EQ(icons({"extract", source, dir.path()}).status, 0);
        const QString first =
            dir.filePath(QFileInfo(source).completeBaseName() + QStringLiteral("_0.ico"));
        for (const int side : {16, 20, 32, 48, 100, 128}) {
            const QString out = dir.filePath(QStringLiteral("thumb.png"));
            const Outcome r = icons({"thumbnail", "-s", QString::number(side), source, out});
            ASSERT_EQ(r.status, 0) << r.err.toStdString();
            const QImage png(out);
            EXPECT_TRUE(png.hasAlphaChannel());
            const Pixels expected = normalised(expectedThumbnail(first, side));
            const Pixels got = normalised(toPixels(png));
            EXPECT_EQ(got.width, expected.width) << source.toStdString() << " at " << side;
            EXPECT_TRUE(got.argb == expected.argb) << source.toStdString() << " at " << side;
        }
    }
    // 128 when no size is given.
    const QString out = dir.filePath(QStringLiteral("default.png"));
    ASSERT_EQ(icons({"thumbnail", data("groups32.dll"), out}).status, 0);
    EXPECT_EQ(QImage(out).size(), QSize(128, 128));
}

TEST(PixmintIcons, ThumbnailRefusesWithOneLineAndWritesNothing)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.exe"));
    ASSERT_TRUE(makeFifo(fifo));
    QFile huge(dir.filePath(QStringLiteral("huge.exe")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(600) * 1024 * 1024));
    const QString out = dir.filePath(QStringLiteral("out.png"));
    QStringList inputs{data("noicons.dll"), data("missing.dll"), data("make-fixtures.sh"), fifo,
                       huge.fileName()};
    for (const QString &name : QDir(testData(QStringLiteral("damaged"))).entryList(QDir::Files))
        inputs << testData(QStringLiteral("damaged/") + name);
    for (const QString &input : inputs) {
        const Outcome r = icons({"thumbnail", input, out});
        // A damaged file may still hold a good first icon; otherwise nothing is written.
        if (r.status == 0 && input.contains(QStringLiteral("/damaged/"))) {
            EXPECT_FALSE(QImage(out).isNull()) << input.toStdString();
            QFile::remove(out);
            continue;
        }
        EXPECT_EQ(r.status, 2) << input.toStdString();
        EXPECT_EQ(r.err.count(u'\n'), 1) << r.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(out)) << input.toStdString();
    }
    const QString ico = testData(QStringLiteral("good/multi.ico"));
    const QString nowhere = dir.filePath(QStringLiteral("no/such/folder.png"));
    for (const QString size : {"0", "1025", "12x"})
        expectRefused({"thumbnail", "-s", size, ico, out}, 2,
                      size + QStringLiteral(": the size must be 1 to 1024"));
    expectRefused({"thumbnail", ico, nowhere}, 2,
                  nowhere + QStringLiteral(": cannot write: No such file or directory"));
    EXPECT_FALSE(QFileInfo::exists(out));
}

TEST(PixmintIcons, CreateMakesEveryListedSizeFromPictures)
{
    QTemporaryDir dir;
    QImage drawing(32, 32, QImage::Format_ARGB32);
    drawing.fill(Qt::transparent);
    drawing.setPixel(3, 5, qRgba(200, 10, 10, 255));
    const QString png = dir.filePath(QStringLiteral("d.png"));
    const QString gif = testData(QStringLiteral("good/gif-transparent.gif"));
    const QString bmp = testData(QStringLiteral("good/small-20x10.bmp"));
    ASSERT_TRUE(drawing.save(png));
    const QString out = dir.filePath(QStringLiteral("set.ico"));
    const Outcome made = icons({"create", out, png, gif, bmp, "--sizes", "16,32,64,256"});
    ASSERT_EQ(made.status, 0) << made.err.toStdString();
    const auto entries = readIconDirectory(bytesView(readAll(out)));
    ASSERT_TRUE(entries);
    QList<int> widths;
    for (const IconDirEntry &e : *entries)
        widths << e.width;
    EXPECT_EQ(widths, (QList<int>{256, 64, 32, 20, 16, 8}));
    // 64 is the drawing with every pixel a 2 x 2 block (that readers take the file is the
    // writer's own test).
    QImageReader reader(out, "ico");
    ASSERT_TRUE(reader.jumpToImage(1));
    const QImage doubled = reader.read();
    EXPECT_EQ(doubled.pixel(7, 11), qRgba(200, 10, 10, 255));
    EXPECT_EQ(qAlpha(doubled.pixel(8, 11)), 0);

    // convert takes the image that suits the size and scales it; its type is the name's.
    const QString small = dir.filePath(QStringLiteral("small.png"));
    EXPECT_EQ(icons({"convert", out, small, "--size", "10"}).status, 0);
    EXPECT_EQ(QImage(small).size(), QSize(10, 10));
    const QString program = dir.filePath(QStringLiteral("first.bmp"));
    EXPECT_EQ(icons({"convert", data("groups64.dll"), program}).status, 0);
    EXPECT_FALSE(QImage(program).isNull());
}

TEST(PixmintIcons, CreateAndConvertWriteNothingWhenAnythingIsWrong)
{
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("d.png"));
    const QString big = dir.filePath(QStringLiteral("big.png"));
    const QString wide = dir.filePath(QStringLiteral("wide.bmp"));
    ASSERT_TRUE(QImage(32, 32, QImage::Format_RGB32).save(png) &&
                QImage(300, 300, QImage::Format_RGB32).save(big) &&
                QImage(4097, 1, QImage::Format_RGB32).save(wide));
    const QString out = dir.filePath(QStringLiteral("out.ico"));
    const std::pair<QStringList, QString> failures[] = {
        {{"create", out, png, png}, QStringLiteral("Two images of 32 x 32")},
        {{"create", out, big}, QStringLiteral("larger than 256 pixels")},
        {{"create", out, png, "--sizes", "16,0"}, QStringLiteral("the sizes must be 1 to 256")},
        {{"create", out, data("noicons.dll")}, QStringLiteral("noicons.dll")},
        {{"convert", png, dir.filePath(QStringLiteral("out.jpg"))},
         QStringLiteral("must end in .png, .bmp or .ico")},
        {{"convert", png, out, "--size", "1025"}, QStringLiteral("the size must be 1 to 1024")},
        {{"convert", wide, out}, QStringLiteral("larger than 4096 pixels a side")},
        {{"convert", QStringLiteral("/dev/zero"), out},
         QStringLiteral("It is not a regular file.")}};
    for (const auto &[arguments, reason] : failures)
        expectRefused(arguments, 2, reason);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("big.png"), QStringLiteral("d.png"),
                           QStringLiteral("wide.bmp")}));
}

// A thumbnail host makes the output file empty and reads it back through the descriptor it
// holds; it asks for cursors as well as icons.
TEST(PixmintIcons, ThumbnailHostsGetTheirEmptyFileFilledAndCursorsDrawn)
{
    QTemporaryDir dir;
    const QString icon = testData(QStringLiteral("good/icon32.ico"));
    QByteArray cursor = readAll(icon);
    cursor[2] = 2;  // a cursor file
    cursor[10] = 5; // the hot spot where an icon's entry gives planes and depth
    cursor[12] = 7;
    const QString cur = saved(dir, "arrow.cur", cursor);
    const QString out = saved(dir, "host.png", QByteArray());
    QFile held(out);
    ASSERT_TRUE(held.open(QIODevice::ReadOnly));
    const Outcome r = icons({"thumbnail", "-s", "32", cur, out});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QImage shown = QImage::fromData(held.readAll());
    const QString ico = dir.filePath(QStringLiteral("icon.png"));
    ASSERT_EQ(icons({"thumbnail", "-s", "32", icon, ico}).status, 0);
    EXPECT_EQ(shown, QImage(ico));
    // Only the thumbnail takes cursors.
    EXPECT_EQ(icons({"list", cur}).status, 2);
}
