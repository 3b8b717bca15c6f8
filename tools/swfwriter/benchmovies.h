// Generated movies for benchmarks and demos: a heavy frame of gradient-filled curved shapes and a long
// timeline for seeking.
#pragma once

#include "swfwriter/movieparts.h"

namespace kivamo::test {

// A circle of radius r (twips) around (x, y) as eight quadratic curves, filled with fill1 = fill.
void addCircle(ShapeBuilder& shape, std::int32_t x, std::int32_t y, std::int32_t r, int fill);

// One frame, 550x400 px, with `count` radial-gradient circles whose areas add up to about three stages;
// then `movingFrames` frames in each of which one circle (the next in turn) moves by a tenth of the stage.
Bytes heavyFrameMovie(int count = 1000, int movingFrames = 0);

// `frames` frames in which ten objects move every frame and one object is replaced every 100 frames.
Bytes longTimelineMovie(int frames = 10000);

}  // namespace kivamo::test
