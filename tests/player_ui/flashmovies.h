// Small movies for the TShockwaveFlash tests: numbered frames of coloured squares, written with the
// SWF writer into a temporary folder.
#pragma once

#include "support/testfiles.h"

#include <QColor>
#include <QImage>

#include <cstdlib>
#include <string>

namespace kivamo::test {

constexpr std::uint16_t kFlashDoAction = 12, kFlashPlaceObject2 = 26, kFlashRemoveObject2 = 28;

// The colour of frame i's square; every frame differs from its neighbours.
inline WriterColour frameColour(int i)
{
    return WriterColour{std::uint8_t(40 + (i * 37) % 200), std::uint8_t((i * 91) % 256), std::uint8_t(200 - (i * 13) % 150), 255};
}

// A 100×100-pixel movie of frames frames at fps frames per second: frame i shows a square of
// frameColour(i) from 25 to 75 pixels on a background of the given colour; firstScript runs on frame 0.
inline Bytes squaresMovie(int frames, int fps = 10, WriterColour background = {255, 255, 255, 255},
                          const Bytes& firstScript = {})
{
    SwfWriter w(10, {0, 2000, 0, 2000}, std::uint16_t(fps << 8));
    w.backgroundColour(background.r, background.g, background.b);
    for (int i = 0; i < frames; ++i) {
        ShapeBuilder s(std::uint16_t(i + 1), 3);
        int fill = s.solidFill(frameColour(i));
        s.rectangle({500, 1500, 500, 1500}, fill);
        w.tag(s.tagCode(), s.body());
        if (i > 0)
            w.tag(kFlashRemoveObject2, removeObject2(1));
        Placement p;
        p.depth = 1;
        p.characterId = std::uint16_t(i + 1);
        w.tag(kFlashPlaceObject2, placeObject2(p));
        if (i == 0 && !firstScript.empty())
            w.tag(kFlashDoAction, firstScript);
        w.showFrame();
    }
    return w.finish();
}

// squaresMovie with an ignored tag of padding bytes before its frames, to make it large.
inline Bytes paddedMovie(std::size_t padding)
{
    Bytes body(padding, 'x');
    SwfWriter w(10, {0, 2000, 0, 2000}, 10 << 8);
    w.tag(77, body, true);  // metadata, which playing ignores
    for (int i = 0; i < 2; ++i)
        w.showFrame();
    return w.finish();
}

inline bool sameColour(QColor a, QColor b, int tolerance = 6)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

inline QColor toColour(WriterColour c)
{
    return QColor(c.r, c.g, c.b);
}

}  // namespace kivamo::test
