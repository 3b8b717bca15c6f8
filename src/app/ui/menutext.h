// Menu captions that show a path or title exactly as it is written.
#pragma once

#include <QString>

namespace kivamo {

// A doubled "&" shows as one, so a path or title with "&" gets no accelerator in a menu.
inline QString plainMenuText(QString text)
{
    return text.replace(u'&', QStringLiteral("&&"));
}

}  // namespace kivamo
