// Inflates the body of "CWS" (zlib) and "ZWS" (LZMA) movies, never beyond a given size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace swf {

struct Inflated {
    std::vector<std::uint8_t> bytes;
    // The compressed stream ended (or broke) before producing the expected size.
    bool truncated = false;
    // What went wrong when the stream broke, empty when it just ended early.
    std::string problem;
};

// Inflates at most maxOutput bytes of a zlib stream.
Inflated inflateZlib(const std::uint8_t* data, std::size_t size, std::size_t maxOutput);

// Inflates an SWF LZMA body: 5 property bytes followed by raw LZMA data, producing at most
// maxOutput bytes (the size the movie's header gives).
Inflated inflateSwfLzma(const std::uint8_t* data, std::size_t size, std::size_t maxOutput);

}  // namespace swf
