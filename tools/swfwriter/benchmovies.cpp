#include "swfwriter/benchmovies.h"

#include <cmath>

namespace kivamo::test {

namespace {
constexpr std::uint16_t kPlaceObject2 = 26, kRemoveObject2 = 28;
}

void addCircle(ShapeBuilder& shape, std::int32_t x, std::int32_t y, std::int32_t r, int fill)
{
    const double step = M_PI / 4;
    const double control = r / std::cos(step / 2);
    shape.styles(0, fill, 0).moveTo(x + r, y);
    for (int i = 1; i <= 8; ++i) {
        double mid = (i - 0.5) * step, end = i * step;
        shape.curveTo(x + static_cast<std::int32_t>(std::lround(control * std::cos(mid))),
                      y + static_cast<std::int32_t>(std::lround(control * std::sin(mid))),
                      x + static_cast<std::int32_t>(std::lround(r * std::cos(end))),
                      y + static_cast<std::int32_t>(std::lround(r * std::sin(end))));
    }
}

Bytes heavyFrameMovie(int count, int movingFrames)
{
    SwfWriter w(10, {0, 11000, 0, 8000}, 24 << 8);
    w.backgroundColour(16, 16, 32);
    // Area of one circle: three stages shared by `count` circles.
    double area = 3.0 * 11000.0 * 8000.0 / count;
    auto radius = static_cast<std::int32_t>(std::sqrt(area / M_PI));
    for (int i = 0; i < count; ++i) {
        auto id = static_cast<std::uint16_t>(i + 1);
        ShapeBuilder s(id, 3);
        std::int32_t x = (i * 7919) % 11000, y = (i * 104729) % 8000;
        double scale = 2.0 * radius / 32768;
        auto hue = static_cast<std::uint8_t>(i * 37);
        int fill = s.gradientFill(0x12, {scale, 0, 0, scale, x, y},
                                  {{0, {255, hue, 64, 255}}, {180, {hue, 80, 255, 200}}, {255, {0, 0, 0, 0}}});
        addCircle(s, x, y, radius, fill);
        w.tag(s.tagCode(), s.body());
        w.tag(kPlaceObject2, placeObject2([&] {
                  Placement p;
                  p.depth = id;
                  p.characterId = id;
                  p.matrix = WriterMatrix{};
                  return p;
              }()));
    }
    w.showFrame();
    for (int f = 0; f < movingFrames; ++f) {
        Placement p;
        p.depth = static_cast<std::uint16_t>(f % count + 1);
        p.move = true;
        p.matrix = WriterMatrix{1, 0, 0, 1, 1100 * (f % 3 + 1), -800 * (f % 2 + 1)};
        w.tag(kPlaceObject2, placeObject2(p)).showFrame();
    }
    return w.finish();
}

Bytes longTimelineMovie(int frames)
{
    SwfWriter w(10, {0, 11000, 0, 8000}, 24 << 8);
    ShapeBuilder s(1, 3);
    int fill = s.solidFill({200, 60, 60, 255});
    addCircle(s, 0, 0, 400, fill);
    w.tag(s.tagCode(), s.body());
    for (int f = 0; f < frames; ++f) {
        for (int k = 0; k < 10; ++k) {
            Placement p;
            p.depth = static_cast<std::uint16_t>(k + 1);
            if (f == 0)
                p.characterId = 1;
            else
                p.move = true;
            p.matrix = WriterMatrix{1, 0, 0, 1, (f * 13 + k * 1000) % 11000, (f * 7 + k * 700) % 8000};
            w.tag(kPlaceObject2, placeObject2(p));
        }
        if (f % 100 == 50) {
            w.tag(kRemoveObject2, removeObject2(20));
            Placement extra;
            extra.depth = 20;
            extra.characterId = 1;
            extra.matrix = WriterMatrix{2, 0, 0, 2, f % 11000, 4000};
            w.tag(kPlaceObject2, placeObject2(extra));
        }
        w.showFrame();
    }
    return w.finish();
}

}  // namespace kivamo::test
