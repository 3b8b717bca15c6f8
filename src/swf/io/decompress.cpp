#include "swf/io/decompress.h"

#include "swf/limits.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <limits>

namespace swf {

namespace {

constexpr std::size_t kChunk = 256 * 1024;

// Grows the output in chunks so that a lying size field costs nothing until data really arrives.
void growFor(std::vector<std::uint8_t>& out, std::size_t used, std::size_t maxOutput)
{
    std::size_t want = std::min(maxOutput, used + kChunk);
    if (out.size() < want)
        out.resize(want);
}

// The LZMA properties give the dictionary size in bytes 1-4 (little-endian), and the decoder allocates
// all of it at once, so a damaged or hostile movie could ask for gigabytes. Lowers it to what the
// output can use; false when even that exceeds the limit.
bool boundDictionary(std::uint8_t* properties, std::size_t maxOutput)
{
    std::uint32_t declared = 0;
    for (int i = 0; i < 4; ++i)
        declared |= std::uint32_t(properties[1 + i]) << (8 * i);
    constexpr std::uint32_t kSmallestDictionary = 4096;
    std::uint64_t needed = std::max<std::uint64_t>(maxOutput, kSmallestDictionary);
    std::uint32_t size = static_cast<std::uint32_t>(std::min<std::uint64_t>(declared, needed));
    if (size > limits::kMaxLzmaDictionaryBytes)
        return false;
    for (int i = 0; i < 4; ++i)
        properties[1 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    return true;
}

}  // namespace

Inflated inflateZlib(const std::uint8_t* data, std::size_t size, std::size_t maxOutput)
{
    Inflated result;
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        result.truncated = true;
        result.problem = "zlib could not start";
        return result;
    }
    std::size_t used = 0;
    std::size_t consumed = 0;
    int status = Z_OK;
    while (used < maxOutput) {
        growFor(result.bytes, used, maxOutput);
        std::size_t inChunk = std::min<std::size_t>(size - consumed, std::numeric_limits<uInt>::max());
        stream.next_in = const_cast<Bytef*>(data + consumed);
        stream.avail_in = static_cast<uInt>(inChunk);
        stream.next_out = result.bytes.data() + used;
        stream.avail_out = static_cast<uInt>(result.bytes.size() - used);
        std::size_t inBefore = stream.avail_in;
        std::size_t outBefore = stream.avail_out;
        status = inflate(&stream, Z_NO_FLUSH);
        consumed += inBefore - stream.avail_in;
        used += outBefore - stream.avail_out;
        if (status == Z_STREAM_END)
            break;
        if (status != Z_OK) {
            if (status != Z_BUF_ERROR)
                result.problem = stream.msg ? stream.msg : "damaged zlib data";
            break;
        }
        if (inBefore == stream.avail_in && outBefore == stream.avail_out)
            break;
    }
    inflateEnd(&stream);
    result.bytes.resize(used);
    result.truncated = used < maxOutput;
    return result;
}

Inflated inflateSwfLzma(const std::uint8_t* data, std::size_t size, std::size_t maxOutput)
{
    Inflated result;
    if (size < 5) {
        result.truncated = true;
        result.problem = "LZMA properties missing";
        return result;
    }
    // The "lzma_alone" format is the five property bytes, the 64-bit uncompressed size and the data;
    // SWF stores the properties and the data, so the header is rebuilt in front of the stream.
    std::uint8_t header[13];
    std::copy(data, data + 5, header);
    if (!boundDictionary(header, maxOutput)) {
        result.truncated = true;
        result.problem = "LZMA dictionary too large";
        return result;
    }
    std::uint64_t expected = maxOutput;
    for (int i = 0; i < 8; ++i)
        header[5 + i] = static_cast<std::uint8_t>(expected >> (8 * i));

    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_alone_decoder(&stream, std::numeric_limits<std::uint64_t>::max()) != LZMA_OK) {
        result.truncated = true;
        result.problem = "LZMA could not start";
        return result;
    }
    std::vector<std::uint8_t> input(header, header + sizeof header);
    input.insert(input.end(), data + 5, data + size);
    stream.next_in = input.data();
    stream.avail_in = input.size();
    std::size_t used = 0;
    while (used < maxOutput) {
        growFor(result.bytes, used, maxOutput);
        stream.next_out = result.bytes.data() + used;
        stream.avail_out = result.bytes.size() - used;
        std::size_t outBefore = stream.avail_out;
        std::size_t inBefore = stream.avail_in;
        lzma_ret status = lzma_code(&stream, LZMA_FINISH);
        used += outBefore - stream.avail_out;
        if (status == LZMA_STREAM_END)
            break;
        if (status != LZMA_OK) {
            if (status != LZMA_BUF_ERROR)
                result.problem = "damaged LZMA data";
            break;
        }
        if (inBefore == stream.avail_in && outBefore == stream.avail_out)
            break;
    }
    lzma_end(&stream);
    result.bytes.resize(used);
    result.truncated = used < maxOutput;
    return result;
}

}  // namespace swf
