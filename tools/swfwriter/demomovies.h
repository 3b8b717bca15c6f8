// The demo movies: short, good-looking movies that show what the engine draws.
#pragma once

#include "swfwriter/movieparts.h"

#include <string>
#include <vector>

namespace kivamo::test {

struct DemoMovie {
    std::string fileName;
    std::string description;
    Bytes bytes;
};

// Animated gradient shapes, bitmaps, a morph, static text, nested sprites with a mask, a music video and
// an interactive movie with buttons.
std::vector<DemoMovie> demoMovies();

// A tune as stream sound with pictures drawn from the same score, to see and hear them keep together.
DemoMovie musicVideo();

// A preloader, a title frame stopped on a start button, a bouncing ball and a replay button at the end.
DemoMovie interactive();

// A DefineMorphShape body morphing one rectangle and colour into another.
Bytes morphRectangles(std::uint16_t id, TwipsRect from, WriterColour fromColour, TwipsRect to, WriterColour toColour);

}  // namespace kivamo::test
