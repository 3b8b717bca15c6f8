// Shared helpers of the engine tests: players from written movies, pixels of rendered frames.
#pragma once

#include "support/swfwriter.h"
#include "swf/player.h"
#include "swf/qt/painterbackend.h"

#include <QImage>
#include <memory>

namespace kivamo::test {

inline std::unique_ptr<swf::Player> playerFor(const Bytes& movie)
{
    auto player = swf::Player::fromBytes(movie.data(), movie.size());
    return player ? std::move(player).value() : nullptr;
}

// A 100x100 pixel stage (2000 twips) with a white background.
inline SwfWriter smallMovie()
{
    SwfWriter w(10, {0, 2000, 0, 2000}, 12 << 8);
    w.backgroundColour(255, 255, 255);
    return w;
}

// A solid rectangle shape (DefineShape3) in twips.
inline std::pair<std::uint16_t, Bytes> rectangleShape(std::uint16_t id, TwipsRect r, WriterColour c)
{
    ShapeBuilder s(id, 3);
    int fill = s.solidFill(c);
    s.rectangle(r, fill);
    return {s.tagCode(), s.body()};
}

inline Placement placeAt(std::uint16_t depth, std::uint16_t id, std::int32_t tx = 0, std::int32_t ty = 0)
{
    Placement p;
    p.depth = depth;
    p.characterId = id;
    p.matrix = WriterMatrix{1, 0, 0, 1, tx, ty};
    return p;
}

inline QImage renderFrame(swf::Player& player, swf::Quality quality = swf::Quality::Low, int width = 0, int height = 0)
{
    swf::View view;
    view.quality = quality;
    view.width = width;
    view.height = height;
    return swf::renderImage(player, view);
}

// True when the pixel is within tolerance of the colour on every channel.
inline bool near(const QImage& image, int x, int y, QColor expected, int tolerance = 2)
{
    QColor c = image.pixelColor(x, y);
    return std::abs(c.red() - expected.red()) <= tolerance && std::abs(c.green() - expected.green()) <= tolerance &&
           std::abs(c.blue() - expected.blue()) <= tolerance && std::abs(c.alpha() - expected.alpha()) <= tolerance;
}

// A glyph filling the whole em square above the baseline (0..1024 x -1024..0), for fonts of text tests.
inline Bytes squareGlyph()
{
    BitWriter glyph;
    glyph.ub(1, 4);
    glyph.ub(0, 4);
    glyph.ub(0, 1);
    glyph.ub(0x05, 5);
    glyph.ub(13, 5);
    glyph.sb(0, 13);
    glyph.sb(-1024, 13);
    glyph.ub(1, 1);
    std::int32_t pts[4][2] = {{1024, -1024}, {1024, 0}, {0, 0}, {0, -1024}};
    std::int32_t x = 0, y = -1024;
    for (auto& p : pts) {
        glyph.ub(1, 1);
        glyph.ub(1, 1);
        glyph.ub(12, 4);
        glyph.ub(1, 1);
        glyph.sb(p[0] - x, 14);
        glyph.sb(p[1] - y, 14);
        x = p[0];
        y = p[1];
    }
    glyph.ub(0, 6);
    return glyph.bytes();
}

}  // namespace kivamo::test
