// Where each drawing command of a frame can touch the target, in whole pixels, so that a back end paints
// only the commands that reach the part of the target it is painting.
#pragma once

#include "swf/render/view.h"

#include <vector>

namespace swf {

// A rectangle of target pixels, left and top inclusive, right and bottom exclusive.
struct PixelBox {
    int left = 0, top = 0, right = 0, bottom = 0;

    bool isEmpty() const { return right <= left || bottom <= top; }
    bool intersects(const PixelBox& o) const
    {
        return !isEmpty() && !o.isEmpty() && left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    PixelBox united(const PixelBox& o) const;
    bool operator==(const PixelBox& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// The pixels a shape or bitmap command may change (anti-aliased edges, stroke widths, joins and caps
// included), never smaller than what is painted. A command whose size cannot be told (a transform that is
// not finite) gets the whole target; a command that draws nothing gets an empty box. Other kinds (mask
// brackets) get the whole target.
PixelBox commandBounds(const DrawCommand& command, const RenderFrame& frame);

// The bounds of every command of the frame, in order: where each can change the target. A command inside
// layers with filters reaches as far beyond its own bounds as those filters spread it; a layer's brackets get
// the bounds of all it holds, spread by its filters (the whole target when its colour transform adds alpha,
// which colours even its clear pixels).
std::vector<PixelBox> frameBounds(const RenderFrame& frame);

// How many device pixels beyond its content the filters can reach, at `scale` device pixels per
// stage pixel.
int filterReach(const std::vector<Filter>& filters, double scale);

}  // namespace swf
