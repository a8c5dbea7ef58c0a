#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include "app/frmGeral.h"
#include "formats/ByteReader.h"
#include "support/ScriptedSeam.h"
#include "support/files.h"
#include "support/icons.h"
#include "toolkit/twips.h"
#include "viewers/frmInfo.h"

namespace {

const QString NoFile = QStringLiteral("Select a bitmap or RLE file to detail...");

// A bitmap that Qt reads, with the header fields given.
QByteArray bitmap(int32_t width, int32_t height, uint16_t bits, uint32_t imageSize)
{
    const qsizetype colours = bits <= 8 ? 1 << bits : 0;
    const int pixels = (width * bits + 31) / 32 * 4 * std::abs(height);
    QByteArray b("BM", 2), size;
    for (uint32_t v : {uint32_t(54 + 4 * colours + pixels), 0u, uint32_t(54 + 4 * colours)})
        appendLE32(b, v);
    appendLE32(size, imageSize);
    b += dibHeader(width, height, bits).replace(20, 4, size);
    return b + QByteArray(4 * colours, '\x40') + QByteArray(pixels, '\x7F');
}

// A 1 x 1 GIF; with a header, a comment puts its bytes 16 to 53 where a bitmap keeps its fields.
QByteArray gif(const QByteArray &header = {})
{
    QByteArray b("GIF89a\x01\0\x01\0\0\0\0", 13);
    if (!header.isEmpty())
        b += "\x21\xFE\x28" + header.mid(16, 38) + QByteArray(3, '\0');
    return b + QByteArray("\x2C\0\0\0\0\x01\0\x01\0\x80\xFF\0\0\0\0\0\x02\x02\x44\x01\0\x3B", 22);
}

class Info : public ::testing::Test
{
protected:
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    QString write(const QString &name, const QByteArray &bytes)
    {
        EXPECT_TRUE(writeAll(dir.filePath(name), bytes));
        return dir.filePath(name);
    }

    // Opens the file as Open would name it and brings the window to the front.
    QStringList activate(const QString &path)
    {
        f.setMsg(path);
        info.Form_Activate();
        QStringList lines;
        for (const QLabel *value : info.lblInfo)
            lines << value->text();
        return lines;
    }

    QTemporaryDir dir;
    frmGeral &f = Forms::get<frmGeral>();
    frmInfo &info = Forms::get<frmInfo>();
};

} // namespace

TEST_F(Info, LaysOutSixLinesThatExplainABitmapInTheLocalesGrouping)
{
    // Whatever the desktop's serif, no caption is cut or covered by its value.
    for (size_t i = 0; i < 6; ++i) {
        const QLabel *caption = info.Label1[i];
        EXPECT_GE(caption->width(), caption->sizeHint().width());
        EXPECT_GT(info.lblInfo[i]->x(), caption->geometry().right());
        EXPECT_EQ(info.lblInfo[i]->y(), caption->y());
    }
    EXPECT_TRUE(info.lblInfo[5]->wordWrap()); // the longest notes take two lines

    const QString path = write(QStringLiteral("a.bmp"), bitmap(32, 32, 8, 1024));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(activate(path), QStringList({"32 pixels", "32 pixels", "1.024 bytes", "1",
                                           "8 (256 colours)", "Uncompressed bitmap."}));
    EXPECT_EQ(info.lblInfo[5]->toolTip(),
              QStringLiteral("Bitmap uses the maximum number of colours corresponding to the "
                             "bits-per-pixel for the compression mode.\nAll 256 colour indices "
                             "are considered important for displaying this bitmap."));
    // The C locale's numbers have no separator of their own.
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(activate(path)[2], QStringLiteral("1,024 bytes"));
    EXPECT_EQ(groupedNumber(999), QStringLiteral("999"));

    EXPECT_EQ(activate(write(QStringLiteral("b.bmp"), bitmap(8, -4, 24, 0))),
              QStringList({"8 pixels", "-4 pixels", "BI_RGB bitmap; size variable.", "1",
                           "24 (16777216 colours)", "Uncompressed bitmap."}));
    EXPECT_EQ(
        activate(testData("good/bmp32.bmp")).mid(4),
        QStringList({"32 (4294967296 colours)", "Uncompressed 16- or 32-bit-per-pixel format."}));
    EXPECT_GE(info.lblInfo[4]->width(), info.lblInfo[4]->sizeHint().width());
    for (const char *bits : {"8", "4"})
        EXPECT_EQ(activate(testData(QStringLiteral("good/bmp%1-rle.bmp").arg(bits)))[5],
                  QStringLiteral("Run-length encoded (RLE) format for bitmaps with %1 bits per "
                                 "pixel.")
                      .arg(bits));
    EXPECT_TRUE(scripted().messages.empty());
}

TEST_F(Info, ReadsAnyPictureAsABitmapHeaderAndWhatIsNoPictureLeavesTheWindowEmpty)
{
    // An icon's directory and first image stand where a bitmap keeps its fields.
    EXPECT_EQ(activate(testData("good/icon8.ico")),
              QStringList({"22 pixels", "40 pixels", "524,289 bytes", "32", "0 (1 colours)",
                           "Unknown compression (64)."}));

    // A GIF shorter than the header: the bytes it lacks read as zeros.
    EXPECT_EQ(
        activate(write(QStringLiteral("tiny.gif"), gif())),
        QStringList({"65537 pixels", "65408 pixels", "59 bytes", "0",
                     "512 (1.3407807929942597e+154 colours)", "Unknown compression (82946)."}));

    // Fields no bitmap has: powers of two that are no whole number of colours, counts of
    // colours in the note, the largest numbers, a power too large to compute. Each field's
    // offset, value and size:
    const std::tuple<int, uint32_t, int> fields[] = {
        {18, 0x7FFFFFFF, 4},   {22, 0x80000000, 4}, {26, 0xFFFF, 2}, {28, 40, 2},
        {30, uint32_t(-7), 4}, {34, 0x80000000, 4}, {46, 5, 4},      {50, 3, 4}};
    QByteArray header(BitmapHeaderBytes, '\0');
    for (const auto &[at, v, size] : fields)
        for (int i = 0; i < size; ++i)
            header[at + i] = char(v >> (8 * i));
    EXPECT_EQ(activate(write(QStringLiteral("odd.gif"), gif(header))),
              QStringList({"2147483647 pixels", "-2147483648 pixels", "-2,147,483,648 bytes", "-1",
                           "40 (1099511627776 colours)", "Unknown compression (-7)."}));
    EXPECT_EQ(info.lblInfo[5]->toolTip(),
              QStringLiteral("The size of the colour table used to optimize performance of "
                             "Windows colour palettes is 5\nThe number of colours that are "
                             "considered important for displaying this bitmap are 3"));
    EXPECT_EQ(powerOfTwoText(-1), QStringLiteral("0.5"));
    EXPECT_EQ(powerOfTwoText(-32768), QStringLiteral("0"));
    EXPECT_EQ(powerOfTwoText(1023), QStringLiteral("8.98846567431158e+307"));
    header.replace(28, 2, QByteArray("\0\4", 2)); // 1024 bits per pixel
    const QString overflow = write(QStringLiteral("overflow.gif"), gif(header));
    EXPECT_EQ(activate(overflow), QStringList({"2147483647 pixels", "-2147483648 pixels",
                                               "-2,147,483,648 bytes", "-1", "", ""}));
    EXPECT_EQ(info.lblFileName->title(), overflow);
    EXPECT_TRUE(info.lblInfo[5]->toolTip().isEmpty());

    // What is no picture leaves the window empty, without a word.
    const QString first = write(QStringLiteral("first.bmp"), bitmap(32, 32, 8, 1024));
    activate(first);
    const qint64 shown = info.Image1->pixmap().cacheKey();
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_TRUE(makeFifo(fifo));
    QFile::remove(first);
    for (const QString &bad : {first, dir.path(), fifo, QStringLiteral("/proc/self/mem"),
                               write(QStringLiteral("text.bmp"), "BM not a picture"),
                               write(QStringLiteral("short.bmp"), bitmap(32, 32, 8, 0).left(60)),
                               QStringLiteral("File: SHELL32.DLL    Total: 40")}) {
        EXPECT_EQ(activate(bad), QStringList(6, QString())) << bad.toStdString();
        EXPECT_EQ(info.lblFileName->title(), NoFile);
        EXPECT_EQ(info.Image1->pixmap().cacheKey(), shown);
    }
    EXPECT_TRUE(scripted().messages.empty());
}

TEST_F(Info, PropertiesShowsTheFileOpenedLastEachTimeItComesToTheFront)
{
    f.Show();
    const QString first = write(QStringLiteral("first.bmp"), bitmap(32, 32, 8, 1024));
    f.setMsg(first);
    f.mnuPropriedade->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&info));
    EXPECT_EQ(info.lblFileName->title(), first);

    const QString second = write(QStringLiteral("second.bmp"), bitmap(20, 10, 24, 0));
    f.setMsg(second);
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.mnuPropriedade->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&info));
    EXPECT_EQ(info.lblFileName->title(), second);
    EXPECT_EQ(info.Image1->pixmap().size(), QSize(20, 10));
    EXPECT_TRUE(info.lblFileName->toolTip().isEmpty());

    // A path wider than the frame keeps its start and the file's name, whole in the tooltip.
    const QString folder = QString(60, QLatin1Char('f')) + QLatin1Char('/') + QString(60, 'g');
    ASSERT_TRUE(QDir(dir.path()).mkpath(folder));
    const QString deep = write(folder + QStringLiteral("/deep.bmp"), bitmap(20, 10, 24, 0));
    activate(deep);
    const QString title = info.lblFileName->title();
    EXPECT_TRUE(title.startsWith(dir.path().left(4)) && title.endsWith("/deep.bmp") &&
                title.size() < deep.size())
        << title.toStdString();
    EXPECT_LT(QFontMetrics(info.lblFileName->font()).horizontalAdvance(title),
              info.lblFileName->width());
    EXPECT_EQ(info.lblFileName->toolTip(), deep);
    // A name too long for the frame on its own is cut in the middle instead.
    const QFontMetrics metrics(info.font());
    const QString name = QStringLiteral("/tmp/") + QString(200, 'n') + QStringLiteral(".bmp");
    const QString cut = elidedPath(name, metrics, 150);
    EXPECT_TRUE(cut.startsWith("/tmp/n") && cut.endsWith("n.bmp")) << cut.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(cut), 150);
}
