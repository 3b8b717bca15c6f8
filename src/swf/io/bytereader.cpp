#include "swf/io/bytereader.h"

#include <cstring>

namespace swf {

void ByteReader::seek(std::size_t pos)
{
    if (pos > m_size) {
        m_overrun = true;
        pos = m_size;
    }
    m_pos = pos;
}

void ByteReader::skip(std::size_t count)
{
    if (count > remaining()) {
        m_overrun = true;
        m_pos = m_size;
        return;
    }
    m_pos += count;
}

bool ByteReader::take(std::size_t count)
{
    if (count > remaining()) {
        m_overrun = true;
        m_pos = m_size;
        return false;
    }
    return true;
}

std::uint8_t ByteReader::u8()
{
    if (!take(1))
        return 0;
    return m_data[m_pos++];
}

std::uint16_t ByteReader::u16()
{
    if (!take(2))
        return 0;
    std::uint16_t v = std::uint16_t(m_data[m_pos] | (m_data[m_pos + 1] << 8));
    m_pos += 2;
    return v;
}

std::uint32_t ByteReader::u32()
{
    if (!take(4))
        return 0;
    std::uint32_t v = std::uint32_t(m_data[m_pos]) | (std::uint32_t(m_data[m_pos + 1]) << 8)
        | (std::uint32_t(m_data[m_pos + 2]) << 16) | (std::uint32_t(m_data[m_pos + 3]) << 24);
    m_pos += 4;
    return v;
}

std::uint64_t ByteReader::u64()
{
    std::uint64_t low = u32();
    std::uint64_t high = u32();
    return low | (high << 32);
}

float ByteReader::f32()
{
    std::uint32_t bits = u32();
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

double ByteReader::f64()
{
    std::uint64_t bits = u64();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

std::uint32_t ByteReader::encodedU32()
{
    std::uint32_t value = 0;
    for (int i = 0; i < 5; ++i) {
        std::uint8_t b = u8();
        value |= std::uint32_t(b & 0x7f) << (7 * i);
        if (!(b & 0x80))
            break;
    }
    return value;
}

std::string ByteReader::cstring()
{
    std::size_t start = m_pos < m_size ? m_pos : m_size;
    std::size_t end = start;
    while (end < m_size && m_data[end] != 0)
        ++end;
    std::string s(reinterpret_cast<const char*>(m_data + start), end - start);
    if (end < m_size) {
        m_pos = end + 1;
    } else {
        m_pos = m_size;
        m_overrun = true;
    }
    return s;
}

ByteReader ByteReader::sub(std::size_t count)
{
    std::size_t start = m_pos < m_size ? m_pos : m_size;
    if (count > remaining()) {
        m_overrun = true;
        count = remaining();
    }
    m_pos = start + count;
    return ByteReader(m_data + start, count);
}

std::uint32_t BitReader::ub(unsigned bits)
{
    std::uint32_t value = 0;
    if (bits > 32)
        bits = 32;
    while (bits > 0) {
        if (m_bitsLeft == 0) {
            m_current = m_bytes.u8();
            m_bitsLeft = 8;
        }
        unsigned take = bits < m_bitsLeft ? bits : m_bitsLeft;
        unsigned shift = m_bitsLeft - take;
        std::uint32_t part = (m_current >> shift) & ((1u << take) - 1u);
        value = (value << take) | part;
        m_bitsLeft -= take;
        bits -= take;
    }
    return value;
}

std::int32_t BitReader::sb(unsigned bits)
{
    if (bits == 0)
        return 0;
    std::uint32_t v = ub(bits);
    if (bits < 32 && (v & (1u << (bits - 1))))
        v |= ~0u << bits;
    return static_cast<std::int32_t>(v);
}

}  // namespace swf
