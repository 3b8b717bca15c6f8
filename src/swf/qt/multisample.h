// Anti-aliasing by four samples per pixel, the way Flash's high quality pictures are made: the frame
// is painted four times without anti-aliasing, each time sampling another point of every pixel, and
// the four pictures are averaged.
#pragma once

#include "swf/render/view.h"

#include <QImage>

namespace swf {

// Paints the frame (which asks for anti-aliasing) into the image, which must have the frame's size.
void paintMultisampled(QImage& image, const RenderFrame& frame);

}  // namespace swf
