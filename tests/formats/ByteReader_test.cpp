#include <gtest/gtest.h>
#include <string>

#include "formats/ByteReader.h"

using namespace std::string_view_literals;

TEST(ByteReader, ReadsInsideTheDataOnlyAndWritesWhatItReads)
{
    const std::string_view data = "\x01\x02\x03\x04\xFF\xFF\xFE\xFF"sv;
    const ByteReader r(data);
    EXPECT_EQ(r.u8(7), 0xFF);
    EXPECT_EQ(r.u16(0), 0x0201);
    EXPECT_EQ(r.u32(0), 0x04030201u);
    EXPECT_EQ(r.i16(4), -1);
    EXPECT_EQ(r.i32(4), -0x10001);
    EXPECT_EQ(r.bytes(2, 3), "\x03\x04\xFF"sv);
    EXPECT_EQ(r.bytes(8, 0), ""sv);
    std::string out;
    appendLE16(out, 0x0201);
    appendLE32(out, 0xFFFEFFFF);
    EXPECT_EQ(out, std::string(data.substr(0, 2)) + std::string(data.substr(4)));

    // Every read that would pass the end is refused.
    EXPECT_FALSE(r.u8(8));
    EXPECT_FALSE(r.u16(7));
    EXPECT_FALSE(r.u32(5));
    EXPECT_FALSE(r.i32(UINT64_MAX - 1));
    EXPECT_FALSE(r.bytes(4, UINT64_MAX - 2)); // offset plus length wraps in 64 bits
    EXPECT_FALSE(r.bytes(9, 0));
    EXPECT_FALSE(ByteReader({}).u8(0));
}
