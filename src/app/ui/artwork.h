// The program's pictures: SVG artwork from the resources, drawn by Qt Svg at any device pixel ratio.
#pragma once

#include <QIcon>
#include <QString>

namespace kivamo {

// Registers the picture resources of this library; call once before the first picture is used.
void loadArtwork();

// Toolbar image list IMAL_1: 0..15 (12..15: the four quality pictures).
QIcon toolbarPicture(int index);
// Compact control bar image list IMAL_2: 0..11 (11: pause).
QIcon compactPicture(int index);
// A picture by its resource name ("logo", "about", "control-ontop").
QIcon namedPicture(const QString& name);

}  // namespace kivamo
