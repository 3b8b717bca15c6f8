// Movies like those the fuzzer found to crash, hang or exhaust memory (tests/fuzz/, written by hand after
// each finding) load, play, render and seek as the fuzz target drives them, and end with a defined result.
#include "helpers.h"

#include <algorithm>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace kivamo::test {
namespace {

std::vector<std::string> findings()
{
    const std::string dir = std::string(KIVAMO_TEST_SOURCE_DIR) + "/fuzz";
    std::vector<std::string> out;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".swf") == 0)
                out.push_back(dir + "/" + name);
        }
        closedir(d);
    }
    std::sort(out.begin(), out.end());
    return out;
}

TEST(FuzzFindings, EachLoadsPlaysRendersAndSeeks)
{
    const auto files = findings();
    ASSERT_FALSE(files.empty());
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        std::ifstream in(file, std::ios::binary);
        const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_FALSE(bytes.empty());
        auto player = swf::Player::fromBytes(bytes.data(), bytes.size());
        if (!player)
            continue;  // refused with a message: a defined result
        swf::Player& p = *player.value();
        for (int frame = 0; frame < 3; ++frame) {
            p.advance();
            EXPECT_EQ(renderFrame(p, swf::Quality::High, 64, 48).size(), QSize(64, 48));
        }
        p.gotoFrame(0);
        EXPECT_EQ(renderFrame(p, swf::Quality::High, 64, 48).size(), QSize(64, 48));
    }
}

TEST(FuzzFindings, SpritesThatDoubleAtEveryLevelStopAtTheStepLimit)
{
    // Sprite 41 shows a red square; each sprite 2..40 places two of the next one in its only frame, and
    // the root places sprite 2: 2^40 sprites within the nesting limit if nothing counted them.
    constexpr std::uint16_t kPlaceObject2 = 26, kDefineSprite = 39, kShowFrame = 1;
    SwfWriter w = smallMovie();
    auto square = rectangleShape(1, {0, 1000, 0, 1000}, {255, 0, 0, 255});
    w.tag(square.first, square.second);
    w.tag(kDefineSprite, spriteBody(41, 1, {{kPlaceObject2, placeObject2(placeAt(1, 1))}, {kShowFrame, {}}}));
    for (std::uint16_t id = 40; id >= 2; --id)
        w.tag(kDefineSprite, spriteBody(id, 1,
                                        {{kPlaceObject2, placeObject2(placeAt(1, static_cast<std::uint16_t>(id + 1)))},
                                         {kPlaceObject2, placeObject2(placeAt(2, static_cast<std::uint16_t>(id + 1), 100))},
                                         {kShowFrame, {}}}));
    w.tag(kPlaceObject2, placeObject2(placeAt(1, 2))).showFrame();
    auto player = playerFor(w.finish());
    ASSERT_TRUE(player);
    player->advance();
    QImage image = renderFrame(*player, swf::Quality::Low);
    EXPECT_TRUE(near(image, 10, 10, QColor(255, 0, 0)));  // what was created is drawn
    player->gotoFrame(0);
    EXPECT_TRUE(near(renderFrame(*player, swf::Quality::Low), 10, 10, QColor(255, 0, 0)));
}

}  // namespace
}  // namespace kivamo::test
