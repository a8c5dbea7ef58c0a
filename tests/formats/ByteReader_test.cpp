#include <gtest/gtest.h>

#include "formats/ByteReader.h"

TEST(ByteReader, ReadsLittleEndianValuesInsideTheData)
{
    const QByteArray data("\x01\x02\x03\x04\xFF\xFF\xFE\xFF", 8);
    const ByteReader r(data);
    EXPECT_EQ(r.u8(7), 0xFF);
    EXPECT_EQ(r.u16(0), 0x0201);
    EXPECT_EQ(r.u32(0), 0x04030201u);
    EXPECT_EQ(r.i16(4), -1);
    EXPECT_EQ(r.i32(4), -0x10001);
    EXPECT_EQ(r.bytes(2, 3), QByteArrayView("\x03\x04\xFF", 3));
    EXPECT_EQ(r.bytes(8, 0), QByteArrayView());
}

TEST(ByteReader, RefusesEveryReadThatWouldPassTheEnd)
{
    const QByteArray data(8, '\0');
    const ByteReader r(data);
    EXPECT_FALSE(r.u8(8));
    EXPECT_FALSE(r.u16(7));
    EXPECT_FALSE(r.u32(5));
    EXPECT_FALSE(r.i32(UINT64_MAX - 1));
    EXPECT_FALSE(r.bytes(4, UINT64_MAX - 2)); // offset plus length wraps in 64 bits
    EXPECT_FALSE(r.bytes(9, 0));
    EXPECT_FALSE(ByteReader(QByteArrayView()).u8(0));
}

TEST(ByteReader, WritesWhatItReads)
{
    QByteArray out;
    appendLE16(out, 0xBEEF);
    appendLE32(out, 0xDEADBEEF);
    EXPECT_EQ(out, QByteArray("\xEF\xBE\xEF\xBE\xAD\xDE", 6));
}
