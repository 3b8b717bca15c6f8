// The program's pictures: SVG artwork from the resources, drawn by Qt Svg at any device pixel ratio.
#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

namespace kivamo {

// Registers the picture resources of this library; call once before the first picture is used.
void loadArtwork();

// The fonts the windows name after Windows fonts (宋体, 楷体_GB2312, Microsoft Sans Serif) are looked up
// as the CJK fonts the install script brings, so every Chinese text renders in a matching face.
void installFontSubstitutes();

// The families tried, in order, for a Windows font name.
QStringList fontSubstitutes();

// Toolbar image list IMAL_1: 0..15 (12..15: the four quality pictures).
QIcon toolbarPicture(int index);
// Compact control bar image list IMAL_2: 0..11 (11: pause).
QIcon compactPicture(int index);
// A picture by its resource name ("logo", "about", "control-ontop").
QIcon namedPicture(const QString& name);

}  // namespace kivamo
