// Bounds-checked little-endian readers over a byte range; reading past the end yields zeros and sets a flag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace swf {

class ByteReader {
public:
    ByteReader() = default;
    ByteReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::size_t size() const { return m_size; }
    std::size_t position() const { return m_pos; }
    std::size_t remaining() const { return m_pos < m_size ? m_size - m_pos : 0; }
    bool atEnd() const { return m_pos >= m_size; }
    // True once any read asked for bytes the range does not hold.
    bool overrun() const { return m_overrun; }
    const std::uint8_t* data() const { return m_data; }
    const std::uint8_t* current() const { return m_data + (m_pos < m_size ? m_pos : m_size); }

    void seek(std::size_t pos);
    void skip(std::size_t count);

    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    std::uint64_t u64();
    std::int8_t s8() { return static_cast<std::int8_t>(u8()); }
    std::int16_t s16() { return static_cast<std::int16_t>(u16()); }
    std::int32_t s32() { return static_cast<std::int32_t>(u32()); }
    // 8.8 and 16.16 fixed-point numbers.
    double fixed8() { return s16() / 256.0; }
    double fixed16() { return s32() / 65536.0; }
    float f32();
    double f64();
    // SWF's variable-length unsigned 32-bit integer (7 bits per byte, at most 5 bytes).
    std::uint32_t encodedU32();
    // A NUL-terminated string; a missing terminator takes the rest of the range.
    std::string cstring();
    // A view of the next count bytes (fewer at the end of the range).
    ByteReader sub(std::size_t count);

private:
    bool take(std::size_t count);

    const std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_pos = 0;
    bool m_overrun = false;
};

// Reads bit fields, most significant bit first, as SWF packs rectangles, matrices and shape records.
class BitReader {
public:
    explicit BitReader(ByteReader& bytes) : m_bytes(bytes) {}

    std::uint32_t ub(unsigned bits);
    std::int32_t sb(unsigned bits);
    double fb(unsigned bits) { return sb(bits) / 65536.0; }
    bool flag() { return ub(1) != 0; }
    // Drops the rest of the current byte; the next read starts on a byte boundary.
    void align() { m_bitsLeft = 0; }

private:
    ByteReader& m_bytes;
    std::uint8_t m_current = 0;
    unsigned m_bitsLeft = 0;
};

}  // namespace swf
