#include <gtest/gtest.h>

#include "toolkit/SeqFile.h"

namespace {
QStringList readAll(const QByteArray &data)
{
    SeqFile::Reader r(data);
    QStringList out;
    QString f;
    while (r.next(f))
        out << f;
    EXPECT_TRUE(r.atEnd());
    return out;
}
} // namespace

TEST(SeqFile, WritesQuotedFieldsAndReadsThemAndUnquotedOnesBack)
{
    EXPECT_EQ(SeqFile::writeRecord({QStringLiteral("a"), QStringLiteral("b")}),
              QByteArray("\"a\",\"b\"\r\n"));
    const QStringList first{QStringLiteral("C:\\a, b"), QString(), QStringLiteral("  x  ")};
    const QStringList second{QStringLiteral("Größe")};
    EXPECT_EQ(readAll(SeqFile::writeRecord(first) + SeqFile::writeRecord(second)), first + second);

    // Unquoted fields run to a comma or a line's end.
    EXPECT_EQ(readAll("  12 , abc def,\"q\"\r\n7\n  last  "),
              (QStringList{"12", "abc def", "q", "7", "last"}));
    EXPECT_EQ(readAll("\"a\"junk,b\r\n\r\n\"unterminated, still"),
              (QStringList{"a", "b", "unterminated, still"}));
    EXPECT_EQ(readAll("x,,y"), (QStringList{"x", "", "y"}));
    EXPECT_EQ(readAll(" \r\n\t "), QStringList());
}
