// Every bitmap tag in the corpus movies decodes: the movies come from real authoring tools, so they
// carry the JPEG quirks, palettes and PNG/GIF payloads that occur in practice.
#include "swf/format/bitmap.h"
#include "swf/format/header.h"
#include "swf/format/tags.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

namespace fs = std::filesystem;

namespace {

struct Outcome {
    std::size_t movies = 0, tags = 0, decoded = 0;
    std::vector<std::string> failures;
};

// Decodes the bitmap tags on one movie's main timeline (definitions live only there).
void checkMovie(const fs::path& path, Outcome& outcome)
{
    auto movie = swf::loadSwfFile(path.string());
    if (!movie)
        return;
    const std::vector<std::uint8_t>& data = movie->data;
    swf::TagStream stream(data.data(), data.size(), movie->firstTagOffset);
    std::vector<std::uint8_t> tables;
    swf::TagHeader tag;
    bool counted = false;
    while (stream.next(tag)) {
        const std::uint8_t* body = data.data() + tag.bodyOffset;
        if (tag.code == swf::tag::JPEGTables)
            tables.assign(body, body + tag.length);
        if (!swf::isBitmapTag(tag.code) || tag.length < 2)
            continue;
        if (!counted)
            ++outcome.movies;
        counted = true;
        ++outcome.tags;
        auto bitmap = swf::decodeBitmap(tag.code, body + 2, tag.length - 2, tables);
        if (bitmap.ok() && bitmap->pixels.size() == std::size_t(bitmap->width) * bitmap->height)
            ++outcome.decoded;
        else
            outcome.failures.push_back(path.string() + " @" + std::to_string(tag.offset) + " " +
                                       swf::tagName(tag.code) + ": " + bitmap.error());
    }
}

}  // namespace

TEST(CorpusBitmaps, EveryBitmapTagDecodes)
{
    fs::path corpus = KIVAMO_CORPUS_DIR;
    ASSERT_TRUE(fs::is_directory(corpus)) << corpus;
    std::vector<fs::path> movies;
    for (const auto& entry : fs::recursive_directory_iterator(corpus))
        if (entry.is_regular_file() && entry.path().extension() == ".swf")
            movies.push_back(entry.path());
    std::sort(movies.begin(), movies.end());
    Outcome outcome;
    for (const fs::path& movie : movies)
        checkMovie(movie, outcome);
    std::string failures;
    for (const std::string& f : outcome.failures)
        failures += f + "\n";
    RecordProperty("movies_with_bitmaps", int(outcome.movies));
    RecordProperty("bitmap_tags", int(outcome.tags));
    std::printf("%zu movies hold %zu bitmap tags; %zu decode\n", outcome.movies, outcome.tags, outcome.decoded);
    EXPECT_GT(outcome.tags, 0u);
    EXPECT_EQ(outcome.decoded, outcome.tags) << failures;
}

namespace {

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The number after "key": in a small JSON document, or -1.
long jsonNumber(const std::string& json, const std::string& key)
{
    std::smatch match;
    if (!std::regex_search(json, match, std::regex("\"" + key + "\"\\s*:\\s*([0-9]+)")))
        return -1;
    return std::stol(match[1]);
}

}  // namespace

// Single-tag samples: each is one record header and body. Valid bitmap tags decode to the size their
// decoded value gives; the deliberately broken bitmap tags (kept as raw bodies) must fail cleanly.
TEST(CorpusBitmaps, SingleTagSamples)
{
    fs::path folder = fs::path(KIVAMO_CORPUS_DIR) / "ofdb-tags";
    ASSERT_TRUE(fs::is_directory(folder)) << folder;
    int valid = 0, broken = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::string raw = readText(entry.path() / "input.bytes");
        std::string json = readText(entry.path() / "value.json");
        std::vector<std::uint8_t> bytes(raw.begin(), raw.end());
        swf::TagStream stream(bytes.data(), bytes.size(), 0);
        swf::TagHeader tag;
        if (!stream.next(tag) || !swf::isBitmapTag(tag.code))
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        const std::uint8_t* body = bytes.data() + tag.bodyOffset;
        std::size_t size = tag.length;
        auto bitmap = swf::decodeBitmap(tag.code, size >= 2 ? body + 2 : body, size >= 2 ? size - 2 : 0, {});
        if (json.find("\"RawBody\"") != std::string::npos) {
            ++broken;
            EXPECT_FALSE(bitmap.ok());
            continue;
        }
        ++valid;
        ASSERT_TRUE(bitmap.ok()) << bitmap.error();
        EXPECT_EQ(long(bitmap->width), jsonNumber(json, "width"));
        EXPECT_EQ(long(bitmap->height), jsonNumber(json, "height"));
    }
    std::printf("%d valid and %d broken single bitmap tags\n", valid, broken);
    EXPECT_GE(valid, 2);
    EXPECT_GE(broken, 4);
}
