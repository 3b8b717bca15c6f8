// Writes SWF movies for tests: header, rectangles, tags, frames and End, plain or compressed.
// It grows with the engine; each test describes the movie it builds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kivamo::test {

using Bytes = std::vector<std::uint8_t>;

// Packs bit fields most significant bit first.
class BitWriter {
public:
    void ub(std::uint32_t value, unsigned bits);
    void sb(std::int32_t value, unsigned bits);
    // Pads the current byte with zero bits.
    void flush();
    const Bytes& bytes();

    // Bits needed to hold the value as SWF's unsigned and signed bit fields.
    static unsigned bitsForUnsigned(std::uint32_t value);
    static unsigned bitsForSigned(std::int32_t value);

private:
    Bytes m_bytes;
    std::uint8_t m_current = 0;
    unsigned m_used = 0;
};

// Appends little-endian numbers and strings.
class ByteWriter {
public:
    ByteWriter& u8(std::uint8_t v);
    ByteWriter& u16(std::uint16_t v);
    ByteWriter& u32(std::uint32_t v);
    ByteWriter& s16(std::int16_t v) { return u16(static_cast<std::uint16_t>(v)); }
    ByteWriter& cstring(const std::string& s);
    ByteWriter& bytes(const Bytes& b);
    Bytes& data() { return m_bytes; }
    const Bytes& data() const { return m_bytes; }

private:
    Bytes m_bytes;
};

struct TwipsRect {
    std::int32_t xMin = 0;
    std::int32_t xMax = 0;
    std::int32_t yMin = 0;
    std::int32_t yMax = 0;
};

// A rectangle record; nbits 0 means the smallest size that holds every field.
Bytes rectBytes(const TwipsRect& rect, unsigned nbits = 0);

enum class SwfCompression { None, Zlib, Lzma };

class SwfWriter {
public:
    // A movie of the given version and frame size; rate is 8.8 fixed point (12.5 fps = 0x0C80).
    explicit SwfWriter(std::uint8_t version = 10, TwipsRect frame = {0, 11000, 0, 8000},
                       std::uint16_t rate = 24 << 8);

    // Appends a tag record; bodies of 63 bytes or more, or any with longForm, use the long header.
    SwfWriter& tag(std::uint16_t code, const Bytes& body = {}, bool longForm = false);
    SwfWriter& showFrame();
    SwfWriter& backgroundColour(std::uint8_t r, std::uint8_t g, std::uint8_t b);
    // Overrides the frame count the header declares (otherwise the ShowFrame tags are counted).
    SwfWriter& declaredFrameCount(std::uint16_t count);

    // The finished movie: the tags, an End tag, the header with the true length, compressed as asked.
    Bytes finish(SwfCompression compression = SwfCompression::None) const;

private:
    std::uint8_t m_version;
    TwipsRect m_frame;
    std::uint16_t m_rate;
    int m_frames = 0;
    int m_declaredFrames = -1;
    Bytes m_tags;
};

// The bytes of a movie as a zlib or LZMA body (used by finish, and by tests of broken streams).
Bytes zlibCompress(const Bytes& data);
Bytes lzmaCompressSwfBody(const Bytes& data);  // 5 property bytes, then raw LZMA data

bool writeFile(const std::string& path, const Bytes& bytes);

}  // namespace kivamo::test
