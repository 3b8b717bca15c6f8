#include "swf/format/header.h"

#include "swf/io/bytereader.h"
#include "swf/io/decompress.h"
#include "swf/limits.h"

#include <cstring>
#include <fstream>

namespace swf {

const char* compressionName(Compression compression)
{
    switch (compression) {
    case Compression::None:
        return "none";
    case Compression::Zlib:
        return "zlib";
    case Compression::Lzma:
        return "lzma";
    }
    return "none";
}

Rect readRect(ByteReader& reader)
{
    BitReader bits(reader);
    unsigned nbits = bits.ub(5);
    Rect r;
    r.xMin = bits.sb(nbits);
    r.xMax = bits.sb(nbits);
    r.yMin = bits.sb(nbits);
    r.yMax = bits.sb(nbits);
    return r;
}

namespace {

// Inflates the body after the 8-byte prefix; the prefix is kept so offsets stay file offsets.
Result<std::vector<std::uint8_t>> bodyOf(const std::uint8_t* data, std::size_t size, Header& header,
                                         bool& truncated, std::vector<std::string>& problems)
{
    std::vector<std::uint8_t> bytes(data, data + 8);
    if (header.compression == Compression::None) {
        bytes.assign(data, data + size);
        truncated = size < header.fileLength;
        return bytes;
    }
    if (header.fileLength > limits::kMaxMovieBytes)
        return Result<std::vector<std::uint8_t>>::failure(
            "declared size of " + std::to_string(header.fileLength) + " bytes exceeds the limit of "
            + std::to_string(limits::kMaxMovieBytes) + " bytes");
    std::size_t want = header.fileLength > 8 ? header.fileLength - 8 : 0;
    Inflated body;
    if (header.compression == Compression::Zlib) {
        body = inflateZlib(data + 8, size - 8, want);
    } else {
        // ZWS: a 4-byte compressed length precedes the LZMA properties.
        if (size < 12)
            return Result<std::vector<std::uint8_t>>::failure("truncated header");
        body = inflateSwfLzma(data + 12, size - 12, want);
    }
    if (!body.problem.empty())
        problems.push_back(body.problem);
    truncated = body.truncated;
    bytes.insert(bytes.end(), body.bytes.begin(), body.bytes.end());
    return bytes;
}

}  // namespace

Result<SwfFile> parseSwf(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return Result<SwfFile>::failure("not an SWF movie (too short)");
    SwfFile file;
    Header& h = file.header;
    h.signature.assign(reinterpret_cast<const char*>(data), 3);
    if (h.signature == "FWS")
        h.compression = Compression::None;
    else if (h.signature == "CWS")
        h.compression = Compression::Zlib;
    else if (h.signature == "ZWS")
        h.compression = Compression::Lzma;
    else
        return Result<SwfFile>::failure("not an SWF movie (no FWS, CWS or ZWS signature)");
    if (size < 8)
        return Result<SwfFile>::failure("truncated header");
    ByteReader prefix(data, size);
    prefix.skip(3);
    h.version = prefix.u8();
    h.fileLength = prefix.u32();

    auto body = bodyOf(data, size, h, file.truncated, file.problems);
    if (!body)
        return Result<SwfFile>::failure(body.error());
    file.data = std::move(body).value();

    ByteReader reader(file.data.data(), file.data.size());
    reader.seek(8);
    h.frameSize = readRect(reader);
    h.frameRate = reader.u16();
    h.frameCount = reader.u16();
    if (reader.overrun())
        return Result<SwfFile>::failure("truncated header");
    file.firstTagOffset = reader.position();
    return file;
}

Result<SwfFile> loadSwfFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return Result<SwfFile>::failure("cannot open " + path);
    in.seekg(0, std::ios::end);
    std::streamoff length = in.tellg();
    if (length < 0)
        return Result<SwfFile>::failure("cannot read " + path);
    if (static_cast<std::uint64_t>(length) > limits::kMaxMovieBytes)
        return Result<SwfFile>::failure("file is larger than the limit of "
                                        + std::to_string(limits::kMaxMovieBytes) + " bytes");
    in.seekg(0, std::ios::beg);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    if (length > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), length))
        return Result<SwfFile>::failure("cannot read " + path);
    return parseSwf(bytes.data(), bytes.size());
}

}  // namespace swf
