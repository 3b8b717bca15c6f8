// The SWF container: signature, version, compression, frame size, rate and count, and the movie's bytes.
#pragma once

#include "swf/result.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace swf {

enum class Compression { None, Zlib, Lzma };

const char* compressionName(Compression compression);

// A rectangle in twips (1/20 pixel), as SWF stores frame sizes and bounds.
struct Rect {
    std::int32_t xMin = 0;
    std::int32_t xMax = 0;
    std::int32_t yMin = 0;
    std::int32_t yMax = 0;
};

struct Header {
    std::string signature;  // "FWS", "CWS" or "ZWS"
    std::uint8_t version = 0;
    Compression compression = Compression::None;
    std::uint32_t fileLength = 0;  // the uncompressed length the header declares
    Rect frameSize;
    std::uint16_t frameRate = 0;  // 8.8 fixed point
    std::uint16_t frameCount = 0;

    double framesPerSecond() const { return frameRate / 256.0; }
};

struct SwfFile {
    Header header;
    // The whole movie uncompressed, the 8 header bytes included, so tag offsets are file offsets.
    std::vector<std::uint8_t> data;
    std::size_t firstTagOffset = 0;
    // Fewer bytes arrived than the header declares.
    bool truncated = false;
    std::vector<std::string> problems;
};

// Reads a rectangle record (5-bit field size, then four signed fields) at the reader's position.
class ByteReader;
Rect readRect(ByteReader& reader);

// Parses the container of a movie held in memory; fails when it is no SWF or its header is cut off.
Result<SwfFile> parseSwf(const std::uint8_t* data, std::size_t size);

// Reads and parses a movie file.
Result<SwfFile> loadSwfFile(const std::string& path);

}  // namespace swf
