#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "formats/BitmapHeader.h"
#include "formats/ByteReader.h"
#include "support/files.h"

TEST(BitmapHeader, ReadsEachFieldLittleEndianAndSignedWhereTheFormatIs)
{
    QByteArray bytes("BM", 2);
    for (uint32_t v : {0x11223344u, 0u, 0x436u, 40u, 0xFFFFFFE0u, 0x80000000u})
        appendLE32(bytes, v);
    appendLE16(bytes, 0xFFFF);
    appendLE16(bytes, 0x8000);
    for (uint32_t v : {0xFFFFFFF9u, 0x7FFFFFFFu, 2835u, 3780u, 256u, 0xFFFFFFFFu})
        appendLE32(bytes, v);
    ASSERT_EQ(bytes.size(), BitmapHeaderBytes);
    bytes += QByteArray(100, '\x55'); // the pixels are never looked at

    const BitmapHeader h = readBitmapHeader(bytes);
    EXPECT_EQ(h.fileType, 0x4D42);
    EXPECT_EQ(h.fileSize, 0x11223344u);
    EXPECT_EQ(h.pixelOffset, 0x436u);
    EXPECT_EQ(h.headerSize, 40u);
    EXPECT_EQ(h.width, -32);
    EXPECT_EQ(h.height, INT32_MIN);
    EXPECT_EQ(h.planes, -1);
    EXPECT_EQ(h.bitCount, INT16_MIN);
    EXPECT_EQ(h.compression, -7);
    EXPECT_EQ(h.imageSize, INT32_MAX);
    EXPECT_EQ(h.xPelsPerMeter, 2835u);
    EXPECT_EQ(h.yPelsPerMeter, 3780u);
    EXPECT_EQ(h.colorsUsed, 256);
    EXPECT_EQ(h.colorsImportant, -1);

    // A short file reads as if the missing bytes were zeros, a field cut in two included.
    const BitmapHeader cut = readBitmapHeader(bytes.left(20));
    EXPECT_EQ(cut.headerSize, 40u);
    EXPECT_EQ(cut.width, 0xFFE0);
    EXPECT_EQ(cut.height, 0);
    EXPECT_EQ(cut.colorsImportant, 0);
    EXPECT_EQ(readBitmapHeader({}).fileType, 0);
}

TEST(BitmapHeader, ReadsOnlyTheHeadOfRegularFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.bmp"));
    QFile big(path);
    QByteArray head(BitmapHeaderBytes, '\0');
    head[28] = 24;
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.write(head) == head.size() &&
                big.resize(qint64(600) * 1024 * 1024));
    big.close();
    // Larger than any picture the editor reads, and still only its first bytes are wanted.
    const auto header = readBitmapHeaderFile(path);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->bitCount, 24);

    FormatError error;
    EXPECT_FALSE(readBitmapHeaderFile(dir.filePath(QStringLiteral("gone.bmp")), &error));
    EXPECT_EQ(error.kind, FormatError::Kind::NotFound);
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString &special : {QStringLiteral("/dev/zero"), fifo, dir.path()}) {
        EXPECT_FALSE(readBitmapHeaderFile(special, &error)) << special.toStdString();
        EXPECT_EQ(error.kind, FormatError::Kind::Refused);
    }
    EXPECT_FALSE(readBitmapHeaderFile(QStringLiteral("/proc/self/mem"), &error));
    EXPECT_EQ(error.kind, FormatError::Kind::System);
}
