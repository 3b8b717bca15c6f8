// The demo play list: every movie of a folder, in name order, saved beside them as demo.kvl, so
// that a first start from the source tree opens something to play.
#pragma once

#include "core/result.h"

#include <QString>

namespace kivamo {

inline const QString kDemoListName = QStringLiteral("demo.kvl");

// Writes folder/demo.kvl listing the folder's *.swf files (absolute paths, titles from the names);
// returns the list file's path.
Result<QString> writeDemoList(const QString& folder);

}  // namespace kivamo
