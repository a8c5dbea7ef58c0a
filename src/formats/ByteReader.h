#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Little-endian reads over untrusted bytes. Every read checks offset plus size against the data
// in 64-bit arithmetic and gives nothing instead of reading past the end.
class ByteReader
{
public:
    explicit ByteReader(std::string_view data)
        : data_(data)
    {
    }

    uint64_t size() const { return uint64_t(data_.size()); }
    bool has(uint64_t offset, uint64_t length) const
    {
        return offset <= size() && length <= size() - offset;
    }
    std::optional<uint8_t> u8(uint64_t offset) const;
    std::optional<uint16_t> u16(uint64_t offset) const;
    std::optional<uint32_t> u32(uint64_t offset) const;
    std::optional<int16_t> i16(uint64_t offset) const;
    std::optional<int32_t> i32(uint64_t offset) const;
    // The bytes from offset, or nothing when they are not all there.
    std::optional<std::string_view> bytes(uint64_t offset, uint64_t length) const;

private:
    std::string_view data_;
};

// Little-endian writes, for the files whose reads are above, onto any byte string that takes
// push_back (std::string, QByteArray).
template<typename Bytes> void appendLE16(Bytes &out, uint16_t value)
{
    out.push_back(char(value & 0xFF));
    out.push_back(char(value >> 8));
}

template<typename Bytes> void appendLE32(Bytes &out, uint32_t value)
{
    appendLE16(out, uint16_t(value & 0xFFFF));
    appendLE16(out, uint16_t(value >> 16));
}

// The big-endian word at `bytes`, which holds at least four.
inline uint32_t bigEndian32(std::string_view bytes)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value = value << 8 | uint8_t(bytes[i]);
    return value;
}
