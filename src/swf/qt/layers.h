// Offscreen layers: a display object with a blend mode or filters is painted on a transparent picture
// of its own, which is then composed onto what lies below.
#pragma once

#include "swf/format/place.h"

#include <QImage>
#include <QPainter>
#include <QRegion>

namespace swf {

// A transparent layer of the target's size.
QImage newLayer(int width, int height);

// Applies a colour transform to every pixel of a premultiplied layer.
void transformLayerColours(QImage& layer, const ColorTransform& colours);

// Composes the layer onto the painter's device with the blend mode, its top left corner on the device pixel
// `origin`, inside the painter's clip. `nested` says whether the painter's device is itself a layer: alpha and
// erase act only on layers, and only on `covered`, the device pixels they may change.
void composeLayer(QPainter& target, const QImage& layer, QPoint origin, BlendMode mode, bool nested,
                  const QRegion& covered);

// The pixels of a layer that are not fully clear, as a region.
QRegion coveredPixels(const QImage& layer);

}  // namespace swf
