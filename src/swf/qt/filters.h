// Filters on a layer's pixels: blur, drop shadow, glow and colour matrix, worked the way Flash works
// them (box blurs with a fractional edge weight, results cut to whole steps after each pass).
#pragma once

#include "swf/format/place.h"

#include <QImage>
#include <QTransform>
#include <vector>

namespace swf {

// One box-blur pass along a row or column of a premultiplied or an alpha-only (Alpha8) image; `size` is the
// full width of the box in pixels (1 or less does nothing). A lifted vertical pass whose box ends in
// fractional weights puts its result one pixel higher, as the blur filter does in Flash.
void blurPass(QImage& image, double size, bool horizontal, bool lifted = false);

// Applies the filters in order; sizes and distances are in stage pixels, scaled by `stageToDevice`.
void applyFilters(QImage& layer, const std::vector<Filter>& filters, const QTransform& stageToDevice);

}  // namespace swf
