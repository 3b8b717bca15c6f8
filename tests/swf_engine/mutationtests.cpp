// Every corpus movie, cut short at many points and with seeded bit flips in its uncompressed bytes, loads,
// plays a few frames and renders without crashing, hanging or growing without bound.
#include "helpers.h"

#include "swf/format/header.h"

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <random>

namespace kivamo::test {
namespace {

void collectMovies(const std::string& dir, std::vector<std::string>& out, int depth = 0)
{
    DIR* d = opendir(dir.c_str());
    if (!d || depth > 4)
        return;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        std::string path = dir + "/" + name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".swf") == 0)
            out.push_back(path);
        else if (e->d_type == DT_DIR)
            collectMovies(path, out, depth + 1);
    }
    closedir(d);
    std::sort(out.begin(), out.end());
}

// The movie uncompressed with an "FWS" signature, so flips land in tags rather than in the zlib stream.
Bytes uncompressed(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto file = swf::parseSwf(bytes.data(), bytes.size());
    if (!file)
        return bytes;
    Bytes data = file->data;
    if (data.size() >= 3) {
        data[0] = 'F';
        data[1] = 'W';
        data[2] = 'S';
    }
    return data;
}

void exercise(const Bytes& movie)
{
    auto player = swf::Player::fromBytes(movie.data(), movie.size());
    if (!player)
        return;
    swf::Player& p = *player.value();
    swf::View view;
    view.width = 160;
    view.height = 120;
    view.quality = swf::Quality::Low;
    for (int frame = 0; frame < 3; ++frame) {
        p.advance();
        swf::renderImage(p, view);
    }
    p.gotoFrame(0);
    p.gotoFrame(p.totalFrames() - 1);
}

TEST(Mutation, CutAndBitFlippedCorpusMoviesNeverCrash)
{
    std::vector<std::string> movies;
    collectMovies(KIVAMO_CORPUS_DIR, movies);
    ASSERT_GT(movies.size(), 100u);
    std::mt19937 random(20261208);
    std::size_t variants = 0;
    for (const std::string& path : movies) {
        Bytes original = uncompressed(path);
        SCOPED_TRACE(path);
        exercise(original);
        for (int cut = 1; cut <= 6; ++cut) {
            Bytes truncated(original.begin(), original.begin() + original.size() * cut / 7);
            exercise(truncated);
            ++variants;
        }
        for (int round = 0; round < 12 && original.size() > 8; ++round) {
            Bytes flipped = original;
            for (int flip = 0; flip < 3; ++flip) {
                std::size_t bit = random() % ((flipped.size() - 8) * 8);
                flipped[8 + bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
            }
            exercise(flipped);
            ++variants;
        }
    }
    EXPECT_GT(variants, 3000u);
    std::printf("%zu movies, %zu damaged copies\n", movies.size(), variants);
}

}  // namespace
}  // namespace kivamo::test
