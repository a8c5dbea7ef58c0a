#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "formats/BitmapHeader.h"
#include "support/files.h"

// The other refusals come from the reader the pictures share.
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
    ASSERT_TRUE(makeFifo(fifo));
    EXPECT_FALSE(readBitmapHeaderFile(fifo, &error));
    EXPECT_EQ(error.kind, FormatError::Kind::Refused);
}
