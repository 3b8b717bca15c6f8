// PNG images inside DefineBitsJPEG2/3 through libpng, read from memory with an error handler that unwinds.
#include "swf/format/bitmapcodecs.h"

#include "swf/limits.h"

#include <csetjmp>
#include <cstring>
#include <memory>
#include <string>

#include <png.h>

namespace swf::bitmapcodecs {

namespace {

struct PngJob {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
    std::string problem;
    std::vector<std::uint8_t> rgba;
    std::vector<png_bytep> rows;
    std::uint32_t width = 0, height = 0;
    bool headerOnly = false;
};

void onRead(png_structp png, png_bytep out, png_size_t count)
{
    auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
    if (count > job->size - job->pos)
        png_error(png, "PNG data ends early");
    std::memcpy(out, job->data + job->pos, count);
    job->pos += count;
}

void onError(png_structp png, png_const_charp message)
{
    auto* job = static_cast<PngJob*>(png_get_error_ptr(png));
    job->problem = message ? message : "damaged PNG";
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// Asks libpng for 8-bit RGBA whatever the file holds (palette, grey, 16-bit, tRNS transparency).
void requestRgba(png_structp png, png_infop info)
{
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

bool runPng(PngJob& job, png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png)) != 0)
        return false;
    png_set_read_fn(png, &job, onRead);
    png_set_user_limits(png, limits::kMaxBitmapSide, limits::kMaxBitmapSide);
    png_set_chunk_malloc_max(png, 64 * 1024 * 1024);
    png_read_info(png, info);
    job.width = png_get_image_width(png, info);
    job.height = png_get_image_height(png, info);
    if (job.headerOnly)
        return true;
    if (!sizeAllowed(job.width, job.height)) {
        job.problem = "PNG is larger than the bitmap limits allow";
        return false;
    }
    requestRgba(png, info);
    if (png_get_rowbytes(png, info) != std::size_t(job.width) * 4) {
        job.problem = "PNG has an unsupported pixel layout";
        return false;
    }
    job.rgba.resize(std::size_t(job.width) * job.height * 4);
    job.rows.resize(job.height);
    for (std::uint32_t y = 0; y < job.height; ++y)
        job.rows[y] = job.rgba.data() + std::size_t(y) * job.width * 4;
    png_read_image(png, job.rows.data());
    return true;
}

// Runs libpng over the job; the png structures are created and destroyed here, around runPng's setjmp.
bool readPng(PngJob& job)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, onError, onWarning);
    if (png == nullptr) {
        job.problem = "libpng could not start";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    bool ok = info != nullptr && runPng(job, png, info);
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return ok;
}

}  // namespace

Result<Bitmap> decodePng(const std::uint8_t* data, std::size_t size)
{
    auto job = std::make_unique<PngJob>();
    job->data = data;
    job->size = size;
    if (!readPng(*job))
        return Result<Bitmap>::failure("PNG: " + job->problem);
    Bitmap bitmap;
    bitmap.width = job->width;
    bitmap.height = job->height;
    bitmap.pixels.resize(std::size_t(job->width) * job->height);
    const std::uint8_t* p = job->rgba.data();
    for (std::uint32_t& pixel : bitmap.pixels) {
        pixel = packStraight(p[0], p[1], p[2], p[3]);
        p += 4;
    }
    return bitmap;
}

BitmapSize probePng(const std::uint8_t* data, std::size_t size)
{
    auto job = std::make_unique<PngJob>();
    job->data = data;
    job->size = size;
    job->headerOnly = true;
    if (!readPng(*job))
        return {};
    return {job->width, job->height};
}

}  // namespace swf::bitmapcodecs
