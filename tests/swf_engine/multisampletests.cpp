// Four-sample pictures: each pixel is the rounded average of its four samples, channel by channel.
#include "helpers.h"

#include <gtest/gtest.h>

namespace kivamo::test {
namespace {

constexpr std::uint16_t kPlaceObject2 = 26;

// A red rectangle over the white stage from its left side to `right` twips.
QImage redUpTo(std::int32_t right)
{
    auto [code, body] = rectangleShape(1, {0, right, 0, 2000}, {255, 0, 0, 255});
    SwfWriter w = smallMovie();
    w.tag(code, body).tag(kPlaceObject2, placeObject2(placeAt(1, 1))).showFrame();
    return renderFrame(*playerFor(w.finish()), swf::Quality::High);
}

TEST(Multisample, EdgePixelsAverageTheirSamplesRounded)
{
    // The samples lie at 1/8, 3/8, 5/8 and 7/8 of a pixel across: an edge a quarter into pixel 10
    // covers one of them, an edge three quarters in covers three.
    QImage quarter = redUpTo(205), threeQuarters = redUpTo(215);
    EXPECT_EQ(quarter.pixel(9, 50), qRgba(255, 0, 0, 255));
    EXPECT_EQ(quarter.pixel(10, 50), qRgba(255, 191, 191, 255));  // (3 x 255 + 2) / 4
    EXPECT_EQ(quarter.pixel(11, 50), qRgba(255, 255, 255, 255));
    EXPECT_EQ(threeQuarters.pixel(10, 50), qRgba(255, 64, 64, 255));  // (255 + 2) / 4
}

}  // namespace
}  // namespace kivamo::test
