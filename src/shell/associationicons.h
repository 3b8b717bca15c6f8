// The pictures of the two file types (movies and play lists) installed into the hicolor icon theme.
#pragma once

#include <QString>

namespace kivamo {

QString movieFileIconSvg();
QString listFileIconSvg();

}  // namespace kivamo
