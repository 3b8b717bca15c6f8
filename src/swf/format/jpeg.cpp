// JPEG through libjpeg, with the repairs SWF's JPEG data needs and an error handler that never exits.
#include "swf/format/bitmapcodecs.h"

#include "swf/limits.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <string>

#include <jpeglib.h>

namespace swf::bitmapcodecs {

namespace {

constexpr std::uint8_t kMarkerStart = 0xD8;  // SOI
constexpr std::uint8_t kMarkerEnd = 0xD9;    // EOI
constexpr std::uint8_t kMarkerScan = 0xDA;   // SOS

bool standalone(std::uint8_t marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// Copies the marker segments of one part into out, dropping start and end markers. Returns true once a
// scan started (everything after it has been copied as it stands).
bool copySegments(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out)
{
    std::size_t pos = 0;
    while (pos < size) {
        if (data[pos] != 0xFF) {
            ++pos;  // garbage between segments: look for the next marker
            continue;
        }
        while (pos < size && data[pos] == 0xFF)
            ++pos;
        if (pos >= size)
            break;
        std::uint8_t marker = data[pos++];
        if (marker == kMarkerStart || marker == kMarkerEnd || marker == 0x00)
            continue;
        if (marker == kMarkerScan) {
            out.push_back(0xFF);
            out.insert(out.end(), data + pos - 1, data + size);
            return true;
        }
        out.push_back(0xFF);
        out.push_back(marker);
        if (standalone(marker))
            continue;
        if (size - pos < 2)
            break;
        std::size_t length = (std::size_t(data[pos]) << 8) | data[pos + 1];
        std::size_t take = std::min(length, size - pos);
        out.insert(out.end(), data + pos, data + pos + take);
        pos += take;
    }
    return false;
}

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr info)
{
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    errors->base.format_message(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// Warnings (such as data ending early) keep decoding and print nothing: a partial picture is shown.
void onMessage(j_common_ptr) {}

void onProgress(j_common_ptr info)
{
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > limits::kMaxJpegScans) {
        auto* errors = reinterpret_cast<ErrorManager*>(info->err);
        std::snprintf(errors->message, sizeof errors->message, "JPEG has too many scans");
        std::longjmp(errors->jump, 1);
    }
}

// All state a decode touches lives here, outside the frame that calls setjmp, so a longjmp leaves it
// well defined.
struct JpegJob {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    jpeg_progress_mgr progress{};
    std::vector<std::uint8_t> stream;
    std::vector<std::uint8_t> row;
    Bitmap bitmap;
    bool headerOnly = false;
};

std::uint32_t cmykToArgb(const std::uint8_t* p, bool inverted)
{
    // Adobe writes CMYK inverted; plain CMYK is converted the same way after flipping.
    std::uint32_t c = inverted ? p[0] : 255 - p[0], m = inverted ? p[1] : 255 - p[1];
    std::uint32_t y = inverted ? p[2] : 255 - p[2], k = inverted ? p[3] : 255 - p[3];
    return 0xFF000000u | ((c * k / 255) << 16) | ((m * k / 255) << 8) | (y * k / 255);
}

void storeRow(JpegJob& job, std::uint32_t y)
{
    std::uint32_t* out = job.bitmap.pixels.data() + std::size_t(y) * job.bitmap.width;
    const std::uint8_t* in = job.row.data();
    int components = job.info.output_components;
    bool inverted = job.info.saw_Adobe_marker;
    for (std::uint32_t x = 0; x < job.bitmap.width; ++x, in += components) {
        if (components == 4)
            out[x] = cmykToArgb(in, inverted);
        else if (components == 3)
            out[x] = 0xFF000000u | (std::uint32_t(in[0]) << 16) | (std::uint32_t(in[1]) << 8) | in[2];
        else
            out[x] = 0xFF000000u | (std::uint32_t(in[0]) * 0x010101u);
    }
}

// Returns an empty string on success, else the reason. Only plain C state changes between setjmp and
// any longjmp, so nothing needs unwinding.
std::string runJpeg(JpegJob& job)
{
    if (setjmp(job.errors.jump) != 0) {
        jpeg_destroy_decompress(&job.info);
        return job.errors.message;
    }
    jpeg_create_decompress(&job.info);
    job.info.mem->max_memory_to_use = limits::kMaxJpegWorkBytes;
    job.progress.progress_monitor = onProgress;
    job.info.progress = &job.progress;
    jpeg_mem_src(&job.info, job.stream.data(), static_cast<unsigned long>(job.stream.size()));
    jpeg_read_header(&job.info, TRUE);
    job.bitmap.width = job.info.image_width;
    job.bitmap.height = job.info.image_height;
    if (job.headerOnly || !sizeAllowed(job.bitmap.width, job.bitmap.height)) {
        jpeg_destroy_decompress(&job.info);
        return job.headerOnly ? "" : "JPEG is larger than the bitmap limits allow";
    }
    bool cmyk = job.info.jpeg_color_space == JCS_CMYK || job.info.jpeg_color_space == JCS_YCCK;
    job.info.out_color_space = cmyk ? JCS_CMYK : (job.info.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB);
    jpeg_start_decompress(&job.info);
    job.row.resize(std::size_t(job.info.output_width) * job.info.output_components);
    job.bitmap.pixels.assign(std::size_t(job.bitmap.width) * job.bitmap.height, 0xFF000000u);
    while (job.info.output_scanline < job.info.output_height) {
        JSAMPROW rows[1] = {job.row.data()};
        std::uint32_t y = job.info.output_scanline;
        if (jpeg_read_scanlines(&job.info, rows, 1) != 1)
            break;
        storeRow(job, y);
    }
    // Destroying without finishing ignores whatever follows the last scan line.
    jpeg_destroy_decompress(&job.info);
    return "";
}

void prepare(JpegJob& job, const std::uint8_t* tables, std::size_t tablesSize, const std::uint8_t* data,
             std::size_t size)
{
    job.info.err = jpeg_std_error(&job.errors.base);
    job.errors.base.error_exit = onError;
    job.errors.base.output_message = onMessage;
    job.stream = cleanJpegStream(tables, tablesSize, data, size);
}

}  // namespace

std::vector<std::uint8_t> cleanJpegStream(const std::uint8_t* tables, std::size_t tablesSize,
                                          const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> out{0xFF, kMarkerStart};
    out.reserve(tablesSize + size + 4);
    bool scanned = false;
    if (tables != nullptr && tablesSize > 0)
        scanned = copySegments(tables, tablesSize, out);
    if (!scanned && data != nullptr)
        scanned = copySegments(data, size, out);
    if (!scanned || out.size() < 2 || out[out.size() - 2] != 0xFF || out.back() != kMarkerEnd) {
        out.push_back(0xFF);
        out.push_back(kMarkerEnd);
    }
    return out;
}

Result<Bitmap> decodeJpeg(const std::uint8_t* tables, std::size_t tablesSize, const std::uint8_t* data,
                          std::size_t size)
{
    auto job = std::make_unique<JpegJob>();
    prepare(*job, tables, tablesSize, data, size);
    std::string problem = runJpeg(*job);
    if (!problem.empty())
        return Result<Bitmap>::failure("JPEG: " + problem);
    return std::move(job->bitmap);
}

BitmapSize probeJpeg(const std::uint8_t* tables, std::size_t tablesSize, const std::uint8_t* data,
                     std::size_t size)
{
    auto job = std::make_unique<JpegJob>();
    job->headerOnly = true;
    prepare(*job, tables, tablesSize, data, size);
    if (!runJpeg(*job).empty())
        return {};
    return {job->bitmap.width, job->bitmap.height};
}

}  // namespace swf::bitmapcodecs
