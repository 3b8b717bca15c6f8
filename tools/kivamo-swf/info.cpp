// kivamo-swf info and tags: what the container and the tag stream say about a movie.
#include "commands.h"

#include "swf/format/header.h"
#include "swf/format/summary.h"
#include "swf/format/tags.h"
#include "swf/movie/movie.h"

#include <cstdio>
#include <iostream>

namespace kivamo_swf {

namespace {

// The frame rate as an exact decimal: 8.8 fixed point never needs more than eight places.
std::string formatRate(std::uint16_t rate)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.8f", rate / 256.0);
    std::string text(buffer);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.')
        text.pop_back();
    return text;
}

// Loads the single movie argument, or explains on stderr why it cannot; truncation counts as failure.
int loadMovie(const Arguments& args, const char* command, swf::SwfFile& out)
{
    if (args.size() != 1)
        return fail(kExitUsage, std::string("usage: kivamo-swf ") + command + " MOVIE.swf");
    auto loaded = swf::loadSwfFile(args[0]);
    if (!loaded)
        return fail(kExitUnreadable, args[0] + ": " + loaded.error());
    if (loaded->truncated) {
        return fail(kExitUnreadable, args[0] + ": truncated: " + std::to_string(loaded->data.size())
                                         + " of " + std::to_string(loaded->header.fileLength) + " bytes present");
    }
    out = std::move(loaded).value();
    return kExitOk;
}

}  // namespace

int runInfo(const Arguments& args)
{
    swf::SwfFile file;
    if (int status = loadMovie(args, "info", file))
        return status;
    const swf::Header& h = file.header;
    swf::MovieSummary summary = swf::summarize(file);
    auto movie = swf::buildMovie(file);
    // Pixel sizes follow the header reader: each edge truncated to whole pixels, then subtracted.
    int width = h.frameSize.xMax / 20 - h.frameSize.xMin / 20;
    int height = h.frameSize.yMax / 20 - h.frameSize.yMin / 20;
    std::cout << "signature: " << h.signature << '\n'
              << "version: " << int(h.version) << '\n'
              << "compressed: " << swf::compressionName(h.compression) << '\n'
              << "file_length: " << h.fileLength << '\n'
              << "width: " << width << '\n'
              << "height: " << height << '\n'
              << "frame_rect_twips: " << h.frameSize.xMin << ' ' << h.frameSize.yMin << ' ' << h.frameSize.xMax
              << ' ' << h.frameSize.yMax << '\n'
              << "frame_rate: " << formatRate(h.frameRate) << '\n'
              << "frame_count: " << h.frameCount << '\n'
              << "frames_found: " << summary.frames << '\n'
              << "tags: " << summary.tags << '\n'
              << "characters: " << summary.characters << '\n'
              << "scripts: " << summary.scripts << '\n'
              << "scripts_skipped: " << movie->stats.skippedScripts << '\n'
              << "tags_skipped: " << movie->stats.skippedTags << '\n'
              << "tags_damaged: " << movie->stats.damagedTags << '\n'
              << "as3: " << (summary.actionScript3 ? "yes" : "no") << '\n';
    for (const std::string& problem : summary.problems)
        std::cerr << "kivamo-swf: warning: " << problem << '\n';
    return kExitOk;
}

int runTags(const Arguments& args)
{
    swf::SwfFile file;
    if (int status = loadMovie(args, "tags", file))
        return status;
    swf::TagStream stream(file.data.data(), file.data.size(), file.firstTagOffset);
    swf::TagHeader tag;
    while (stream.next(tag)) {
        std::printf("%zu %u %s %u\n", tag.offset, unsigned(tag.code), swf::tagName(tag.code), unsigned(tag.length));
    }
    if (stream.damaged())
        std::cerr << "kivamo-swf: warning: " << stream.problem() << '\n';
    return kExitOk;
}

}  // namespace kivamo_swf
