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

// Animated gradient shapes, bitmaps, a morph, static text, nested sprites with a mask.
std::vector<DemoMovie> demoMovies();

// A DefineMorphShape body morphing one rectangle and colour into another.
Bytes morphRectangles(std::uint16_t id, TwipsRect from, WriterColour fromColour, TwipsRect to, WriterColour toColour);

}  // namespace kivamo::test
