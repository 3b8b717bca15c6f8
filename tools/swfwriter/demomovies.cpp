#include "swfwriter/demomovies.h"

#include "swfwriter/benchmovies.h"

#include <cmath>

namespace kivamo::test {

namespace {

constexpr std::uint16_t kPlaceObject2 = 26, kDefineSprite = 39, kDefineMorphShape = 46, kDefineBitsLossless2 = 36,
                        kDefineFont = 10, kDefineText = 11, kShowFrame = 1;

WriterMatrix rotation(double degrees, double scale, std::int32_t tx, std::int32_t ty)
{
    double r = degrees * M_PI / 180;
    return {scale * std::cos(r), scale * std::sin(r), -scale * std::sin(r), scale * std::cos(r), tx, ty};
}

Placement moveTo(std::uint16_t depth, const WriterMatrix& m)
{
    Placement p;
    p.depth = depth;
    p.move = true;
    p.matrix = m;
    return p;
}

Placement placeNew(std::uint16_t depth, std::uint16_t id, const WriterMatrix& m)
{
    Placement p;
    p.depth = depth;
    p.characterId = id;
    p.matrix = m;
    return p;
}

// Edge records of a rectangle without style arrays; withFill selects fill 1 at the move.
Bytes rectangleEdges(TwipsRect r, bool withFill)
{
    BitWriter bits;
    bits.ub(1, 4);
    bits.ub(0, 4);
    bits.ub(0, 1);
    bits.ub(withFill ? 0x05 : 0x01, 5);
    const unsigned n = 16;
    bits.ub(n, 5);
    bits.sb(r.xMin, n);
    bits.sb(r.yMin, n);
    if (withFill)
        bits.ub(1, 1);
    std::int32_t points[4][2] = {{r.xMax, r.yMin}, {r.xMax, r.yMax}, {r.xMin, r.yMax}, {r.xMin, r.yMin}};
    std::int32_t x = r.xMin, y = r.yMin;
    for (auto& p : points) {
        bits.ub(3, 2);  // straight edge
        bits.ub(n - 2, 4);
        bits.ub(1, 1);
        bits.sb(p[0] - x, n);
        bits.sb(p[1] - y, n);
        x = p[0];
        y = p[1];
    }
    bits.ub(0, 6);
    return bits.bytes();
}

DemoMovie gradients()
{
    SwfWriter w(10, {0, 11000, 0, 8000}, 24 << 8);
    w.backgroundColour(20, 24, 40);
    const WriterColour palette[] = {{255, 90, 60, 255}, {255, 200, 40, 255}, {60, 200, 255, 255}, {160, 90, 255, 255}};
    for (int i = 0; i < 4; ++i) {
        ShapeBuilder s(static_cast<std::uint16_t>(i + 1), 3);
        double scale = 3000.0 / 32768;
        int fill = s.gradientFill(i % 2 ? 0x12 : 0x10, {scale, 0, 0, scale, 0, 0},
                                  {{0, palette[i]}, {255, palette[(i + 1) % 4]}}, i % 3);
        int line = s.lineStyle(60, {255, 255, 255, 200});
        s.rectangle({-1500, 1500, -1500, 1500}, fill, line);
        w.tag(s.tagCode(), s.body());
    }
    for (int f = 0; f < 48; ++f) {
        for (int i = 0; i < 4; ++i) {
            WriterMatrix m = rotation(f * 7.5 * (i % 2 ? -1 : 1), 0.6 + 0.1 * i, 2000 + i * 2400, 4000);
            Placement p = f == 0 ? placeNew(static_cast<std::uint16_t>(i + 1), static_cast<std::uint16_t>(i + 1), m)
                                 : moveTo(static_cast<std::uint16_t>(i + 1), m);
            w.tag(kPlaceObject2, placeObject2(p));
        }
        w.showFrame();
    }
    return {"gradients.swf", "four gradient squares turning, linear and radial, pad, reflect and repeat", w.finish()};
}

DemoMovie bitmaps()
{
    SwfWriter w(10, {0, 11000, 0, 8000}, 24 << 8);
    w.backgroundColour(0, 0, 0);
    const int size = 64;
    Bytes pixels;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            bool check = ((x / 8) + (y / 8)) % 2;
            pixels.push_back(255);
            pixels.push_back(static_cast<std::uint8_t>(check ? 255 : x * 4));
            pixels.push_back(static_cast<std::uint8_t>(check ? 220 : y * 4));
            pixels.push_back(static_cast<std::uint8_t>(check ? 120 : 255 - x * 2));
        }
    ByteWriter bitmap;
    bitmap.u16(1).u8(5).u16(size).u16(size).bytes(zlibCompress(pixels));
    w.tag(kDefineBitsLossless2, bitmap.data());
    ShapeBuilder s(2, 3);
    int fill = s.bitmapFill(1, {20, 0, 0, 20, 0, 0}, 0x40);
    s.rectangle({0, 11000, 0, 8000}, fill);
    w.tag(s.tagCode(), s.body());
    for (int f = 0; f < 36; ++f) {
        WriterMatrix m = rotation(f * 2.5, 1.2 + f * 0.02, 5500, 4000);
        m.tx -= static_cast<std::int32_t>(m.a * 5500 + m.c * 4000);
        m.ty -= static_cast<std::int32_t>(m.b * 5500 + m.d * 4000);
        Placement p = f == 0 ? placeNew(1, 2, m) : moveTo(1, m);
        w.tag(kPlaceObject2, placeObject2(p));
        w.showFrame();
    }
    return {"bitmaps.swf", "a lossless ARGB bitmap as a repeating fill", w.finish()};
}

DemoMovie morph()
{
    SwfWriter w(10, {0, 11000, 0, 8000}, 24 << 8);
    w.backgroundColour(250, 245, 230);
    w.tag(kDefineMorphShape,
          morphRectangles(1, {1000, 3000, 1000, 7000}, {230, 60, 80, 255}, {4000, 10000, 3000, 5000}, {40, 120, 230, 255}));
    for (int f = 0; f < 40; ++f) {
        Placement p;
        p.depth = 1;
        if (f == 0)
            p.characterId = 1;
        else
            p.move = true;
        double t = f < 20 ? f / 19.0 : (39 - f) / 19.0;
        p.ratio = static_cast<std::uint16_t>(std::lround(t * 65535));
        w.tag(kPlaceObject2, placeObject2(p)).showFrame();
    }
    return {"morph.swf", "a tall red bar morphing into a wide blue bar and back", w.finish()};
}

// A font whose glyphs are simple block shapes (a square, a triangle and a circle) spelled as text.
DemoMovie text()
{
    SwfWriter w(10, {0, 11000, 0, 8000}, 24 << 8);
    w.backgroundColour(255, 255, 255);
    auto glyph = [](int kind) {
        ShapeBuilder g(0, 1);
        g.solidFill({0, 0, 0, 255});  // gives the records one fill bit; the style itself is dropped below
        if (kind == 0)
            g.rectangle({100, 900, -900, -100}, 1);
        else if (kind == 1)
            g.styles(0, 1, 0).moveTo(500, -950).lineTo(950, -50).lineTo(50, -50).lineTo(500, -950);
        else
            addCircle(g, 500, -500, 450, 1);
        Bytes body = g.body();
        // Drop the id, bounds and style arrays (one RGB solid fill, no lines): glyphs are bare SHAPE records.
        std::size_t skip = 2 + rectBytes(g.boundsUsed()).size() + 1 + 4 + 1;
        body.erase(body.begin(), body.begin() + static_cast<long>(skip));
        return body;
    };
    Bytes glyphs[3] = {glyph(0), glyph(1), glyph(2)};
    ByteWriter font;
    font.u16(1);
    std::uint16_t offset = 6;
    for (const Bytes& g : glyphs) {
        font.u16(offset);
        offset = static_cast<std::uint16_t>(offset + g.size());
    }
    for (const Bytes& g : glyphs)
        font.bytes(g);
    w.tag(kDefineFont, font.data());
    ByteWriter text;
    text.u16(2).bytes(rectBytes({0, 11000, 0, 8000})).bytes(matrixBytes({})).u8(2).u8(12);
    const WriterColour colours[] = {{220, 40, 60, 255}, {30, 140, 60, 255}, {40, 80, 220, 255}};
    for (int line = 0; line < 3; ++line) {
        text.u8(0x8F).u16(1).u8(colours[line].r).u8(colours[line].g).u8(colours[line].b);
        int height = 900 + line * 150;
        text.s16(500).s16(static_cast<std::int16_t>(2500 + line * 2000)).u16(static_cast<std::uint16_t>(height));
        text.u8(7);
        BitWriter entries;
        for (int k = 0; k < 7; ++k) {
            entries.ub(static_cast<std::uint32_t>((k + line) % 3), 2);
            entries.sb(height * 6 / 5, 12);
        }
        text.bytes(entries.bytes());
    }
    text.u8(0);
    w.tag(kDefineText, text.data()).tag(kPlaceObject2, placeObject2(placeNew(1, 2, {}))).showFrame();
    return {"text.swf", "static text drawn from a font's glyph shapes in three colours and sizes", w.finish()};
}

DemoMovie spritesAndMask()
{
    SwfWriter w(10, {0, 11000, 0, 8000}, 24 << 8);
    w.backgroundColour(30, 30, 30);
    ShapeBuilder petal(1, 3);
    int fill = petal.gradientFill(0x12, {0.05, 0, 0, 0.05, 0, -900}, {{0, {255, 240, 120, 255}}, {255, {255, 80, 40, 255}}});
    addCircle(petal, 0, -900, 500, fill);
    w.tag(petal.tagCode(), petal.body());
    // Sprite 2: six petals around the centre, turning on its own 24-frame timeline.
    std::vector<std::pair<std::uint16_t, Bytes>> flower;
    for (int f = 0; f < 24; ++f) {
        for (int k = 0; k < 6; ++k) {
            WriterMatrix m = rotation(k * 60 + f * 15, 1, 0, 0);
            flower.push_back({kPlaceObject2, placeObject2(f == 0 ? placeNew(static_cast<std::uint16_t>(k + 1), 1, m)
                                                                 : moveTo(static_cast<std::uint16_t>(k + 1), m))});
        }
        flower.push_back({kShowFrame, {}});
    }
    w.tag(kDefineSprite, spriteBody(2, 24, flower));
    // Sprite 3: three flowers, itself a nested timeline of one frame.
    std::vector<std::pair<std::uint16_t, Bytes>> bunch;
    for (int k = 0; k < 3; ++k)
        bunch.push_back({kPlaceObject2, placeObject2(placeNew(static_cast<std::uint16_t>(k + 1), 2,
                                                              rotation(0, 0.6 + 0.2 * k, -3000 + k * 3000, 0)))});
    bunch.push_back({kShowFrame, {}});
    w.tag(kDefineSprite, spriteBody(3, 1, bunch));
    ShapeBuilder window(4, 3);
    int solid = window.solidFill({0, 0, 0, 255});
    addCircle(window, 0, 0, 3000, solid);
    w.tag(window.tagCode(), window.body());
    for (int f = 0; f < 48; ++f) {
        WriterMatrix maskAt{1, 0, 0, 1, 2500 + f * 125, 4000};
        if (f == 0) {
            Placement mask = placeNew(1, 4, maskAt);
            mask.clipDepth = 2;
            w.tag(kPlaceObject2, placeObject2(mask));
            w.tag(kPlaceObject2, placeObject2(placeNew(2, 3, {1, 0, 0, 1, 5500, 4000})));
        } else {
            w.tag(kPlaceObject2, placeObject2(moveTo(1, maskAt)));
        }
        w.showFrame();
    }
    return {"sprites.swf", "nested sprites of turning flowers seen through a moving circular mask", w.finish()};
}

}  // namespace

Bytes morphRectangles(std::uint16_t id, TwipsRect from, WriterColour fromColour, TwipsRect to, WriterColour toColour)
{
    Bytes startEdges = rectangleEdges(from, true);
    Bytes endEdges = rectangleEdges(to, false);
    ByteWriter styles;
    styles.u8(1).u8(0x00);
    styles.u8(fromColour.r).u8(fromColour.g).u8(fromColour.b).u8(fromColour.a);
    styles.u8(toColour.r).u8(toColour.g).u8(toColour.b).u8(toColour.a);
    styles.u8(0);
    ByteWriter body;
    body.u16(id).bytes(rectBytes(from)).bytes(rectBytes(to));
    body.u32(static_cast<std::uint32_t>(styles.data().size() + startEdges.size()));
    body.bytes(styles.data()).bytes(startEdges).bytes(endEdges);
    return body.data();
}

std::vector<DemoMovie> demoMovies()
{
    return {gradients(), bitmaps(), morph(), text(), spritesAndMask(), musicVideo(), interactive()};
}

}  // namespace kivamo::test
