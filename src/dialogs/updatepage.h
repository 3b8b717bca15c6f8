// The product page that "升级" opens in the desktop's browser; the program checks no versions itself.
#pragma once

#include <QString>

namespace kivamo {

inline QString productPageAddress()
{
    return QStringLiteral("https://www.kivamo.org/");
}

}  // namespace kivamo
