#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>
#include <optional>

// Little-endian reads over untrusted bytes. Every read checks offset plus size against the data
// in 64-bit arithmetic and gives nothing instead of reading past the end.
class ByteReader
{
public:
    explicit ByteReader(QByteArrayView data)
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
    std::optional<QByteArrayView> bytes(uint64_t offset, uint64_t length) const;

private:
    QByteArrayView data_;
};

// Little-endian writes, for the files whose reads are above.
void appendLE16(QByteArray &out, uint16_t value);
void appendLE32(QByteArray &out, uint32_t value);
