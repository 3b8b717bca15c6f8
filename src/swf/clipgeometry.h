// Geometry of clips for scripts: instance names, bounds, and points between a clip's space and the stage.
// Coordinates are twips.
#pragma once

#include "swf/movie/clip.h"

#include <string>

namespace swf {

struct Bounds {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    bool empty = true;
    void add(double x, double y);
    void add(const Bounds& other, const Matrix& m);
};

// The child clip with an instance name (without regard to case unless caseSensitive).
Clip* childNamedAs(Clip& clip, const std::string& name, bool caseSensitive);
// Whether the clip holds a named object without a script object of its own (a shape); scripts that name it
// reach the clip instead.
bool holdsNamedShape(const Clip& clip, const std::string& name, bool caseSensitive);
// The matrix from a clip's space to the stage.
Matrix clipToStage(const Clip& clip);
void localToGlobalOf(const Clip& clip, double x, double y, double& outX, double& outY);
void globalToLocalOf(const Clip& clip, double x, double y, double& outX, double& outY);
// The bounds of a display object's content in its own space (before its placement matrix).
Bounds objectBounds(const DisplayObject& object, const Movie& movie, int nesting = 0);
// The bounds of a clip's content in its own space.
Bounds clipBounds(const Clip& clip, const Movie& movie, int nesting = 0);
// Whether a stage point (twips) lies on what the clip draws: inside a fill or on a stroke of its shapes, its
// drawing and its children's, within the masks of clip layers; text fields and bitmaps by their bounds.
bool clipHitsPoint(const Clip& clip, const Movie& movie, double x, double y);

}  // namespace swf
