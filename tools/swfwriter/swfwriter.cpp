#include "swfwriter/swfwriter.h"

#include <lzma.h>
#include <zlib.h>

#include <fstream>

namespace kivamo::test {

void BitWriter::ub(std::uint32_t value, unsigned bits)
{
    for (unsigned i = bits; i-- > 0;) {
        m_current = static_cast<std::uint8_t>((m_current << 1) | ((value >> i) & 1u));
        if (++m_used == 8) {
            m_bytes.push_back(m_current);
            m_current = 0;
            m_used = 0;
        }
    }
}

void BitWriter::sb(std::int32_t value, unsigned bits)
{
    ub(static_cast<std::uint32_t>(value), bits);
}

void BitWriter::flush()
{
    if (m_used > 0)
        ub(0, 8 - m_used);
}

const Bytes& BitWriter::bytes()
{
    flush();
    return m_bytes;
}

unsigned BitWriter::bitsForUnsigned(std::uint32_t value)
{
    unsigned bits = 0;
    while (value) {
        ++bits;
        value >>= 1;
    }
    return bits;
}

unsigned BitWriter::bitsForSigned(std::int32_t value)
{
    if (value == 0)
        return 0;
    std::uint32_t magnitude = value < 0 ? ~static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    return bitsForUnsigned(magnitude) + 1;
}

ByteWriter& ByteWriter::u8(std::uint8_t v)
{
    m_bytes.push_back(v);
    return *this;
}

ByteWriter& ByteWriter::u16(std::uint16_t v)
{
    u8(v & 0xff);
    return u8(v >> 8);
}

ByteWriter& ByteWriter::u32(std::uint32_t v)
{
    u16(v & 0xffff);
    return u16(v >> 16);
}

ByteWriter& ByteWriter::cstring(const std::string& s)
{
    m_bytes.insert(m_bytes.end(), s.begin(), s.end());
    return u8(0);
}

ByteWriter& ByteWriter::bytes(const Bytes& b)
{
    m_bytes.insert(m_bytes.end(), b.begin(), b.end());
    return *this;
}

Bytes rectBytes(const TwipsRect& rect, unsigned nbits)
{
    if (nbits == 0) {
        for (std::int32_t v : {rect.xMin, rect.xMax, rect.yMin, rect.yMax}) {
            unsigned need = BitWriter::bitsForSigned(v);
            if (need > nbits)
                nbits = need;
        }
    }
    BitWriter bits;
    bits.ub(nbits, 5);
    for (std::int32_t v : {rect.xMin, rect.xMax, rect.yMin, rect.yMax})
        bits.sb(v, nbits);
    return bits.bytes();
}

SwfWriter::SwfWriter(std::uint8_t version, TwipsRect frame, std::uint16_t rate)
    : m_version(version), m_frame(frame), m_rate(rate)
{
}

SwfWriter& SwfWriter::tag(std::uint16_t code, const Bytes& body, bool longForm)
{
    ByteWriter w;
    if (body.size() >= 0x3f || longForm) {
        w.u16(static_cast<std::uint16_t>((code << 6) | 0x3f));
        w.u32(static_cast<std::uint32_t>(body.size()));
    } else {
        w.u16(static_cast<std::uint16_t>((code << 6) | body.size()));
    }
    w.bytes(body);
    m_tags.insert(m_tags.end(), w.data().begin(), w.data().end());
    return *this;
}

SwfWriter& SwfWriter::showFrame()
{
    ++m_frames;
    return tag(1);
}

SwfWriter& SwfWriter::backgroundColour(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return tag(9, {r, g, b});
}

SwfWriter& SwfWriter::declaredFrameCount(std::uint16_t count)
{
    m_declaredFrames = count;
    return *this;
}

Bytes SwfWriter::finish(SwfCompression compression) const
{
    ByteWriter body;
    body.bytes(rectBytes(m_frame));
    body.u16(m_rate);
    body.u16(static_cast<std::uint16_t>(m_declaredFrames >= 0 ? m_declaredFrames : m_frames));
    body.bytes(m_tags);
    body.u16(0);  // End

    const std::uint32_t fileLength = static_cast<std::uint32_t>(8 + body.data().size());
    ByteWriter out;
    const char* signature = compression == SwfCompression::None ? "FWS"
        : compression == SwfCompression::Zlib                   ? "CWS"
                                                                : "ZWS";
    out.u8(signature[0]).u8(signature[1]).u8(signature[2]).u8(m_version).u32(fileLength);
    if (compression == SwfCompression::None) {
        out.bytes(body.data());
    } else if (compression == SwfCompression::Zlib) {
        out.bytes(zlibCompress(body.data()));
    } else {
        Bytes lzma = lzmaCompressSwfBody(body.data());
        out.u32(static_cast<std::uint32_t>(lzma.size() - 5));
        out.bytes(lzma);
    }
    return out.data();
}

Bytes zlibCompress(const Bytes& data)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    Bytes out(size);
    compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), Z_BEST_COMPRESSION);
    out.resize(size);
    return out;
}

Bytes lzmaCompressSwfBody(const Bytes& data)
{
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_alone_encoder(&stream, &options) != LZMA_OK)
        return {};
    Bytes out(data.size() + data.size() / 2 + 1024);
    stream.next_in = data.data();
    stream.avail_in = data.size();
    stream.next_out = out.data();
    stream.avail_out = out.size();
    while (lzma_code(&stream, LZMA_FINISH) == LZMA_OK) {
    }
    out.resize(out.size() - stream.avail_out);
    lzma_end(&stream);
    // lzma_alone: 5 property bytes, an 8-byte size, then the data; SWF keeps no size field.
    if (out.size() < 13)
        return {};
    out.erase(out.begin() + 5, out.begin() + 13);
    return out;
}

bool writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace kivamo::test
