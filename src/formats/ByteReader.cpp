#include "formats/ByteReader.h"

#include <type_traits>

namespace {

template<typename T> std::optional<T> readLittle(std::string_view data, uint64_t offset)
{
    using U = std::make_unsigned_t<T>;
    U value = 0;
    const auto at = size_t(offset); // the caller checked that the bytes are there
    for (size_t i = 0; i < sizeof(T); ++i)
        value |= U(U(uint8_t(data[at + i])) << (8 * i));
    return T(value);
}

} // namespace

std::optional<uint8_t> ByteReader::u8(uint64_t offset) const
{
    if (!has(offset, 1))
        return std::nullopt;
    return readLittle<uint8_t>(data_, offset);
}

std::optional<uint16_t> ByteReader::u16(uint64_t offset) const
{
    if (!has(offset, 2))
        return std::nullopt;
    return readLittle<uint16_t>(data_, offset);
}

std::optional<uint32_t> ByteReader::u32(uint64_t offset) const
{
    if (!has(offset, 4))
        return std::nullopt;
    return readLittle<uint32_t>(data_, offset);
}

std::optional<int16_t> ByteReader::i16(uint64_t offset) const
{
    if (!has(offset, 2))
        return std::nullopt;
    return readLittle<int16_t>(data_, offset);
}

std::optional<int32_t> ByteReader::i32(uint64_t offset) const
{
    if (!has(offset, 4))
        return std::nullopt;
    return readLittle<int32_t>(data_, offset);
}

std::optional<std::string_view> ByteReader::bytes(uint64_t offset, uint64_t length) const
{
    if (!has(offset, length))
        return std::nullopt;
    return data_.substr(size_t(offset), size_t(length));
}
