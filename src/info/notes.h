// Movie notes: the RrightInfo record (author, source, type) and the sidecar ".fci" file beside a
// local movie that keeps them.
#pragma once

#include "core/result.h"

#include <QString>

namespace kivamo {

struct RrightInfo {
    QString author = unknownNote();
    QString source = unknownNote();
    QString type = unknownNote();

    static QString unknownNote() { return QStringLiteral("未知"); }
};

// The notes of a movie: each note from the first three lines of its sidecar file when that line is
// not empty, "未知" otherwise. Only local paths are looked up; a sidecar that is missing or cannot
// be read gives "未知" for all three, so adding or loading movies never stops on it.
RrightInfo readNotes(const QString& moviePath);

// Rewrites the sidecar file whole: author, source, type and "路径：" + the movie path. Nothing is
// written (NotFound) when the movie file does not exist, so no orphan sidecar files appear.
Result<void> writeNotes(const QString& moviePath, const RrightInfo& notes);

}  // namespace kivamo
