// PlayerState: which movie is loaded and the flags the playback and view commands consult.
#pragma once

#include <QString>

namespace kivamo {

struct PlayerState {
    static QString noMoviePath() { return QStringLiteral("z:\\"); }
    static QString unknownNote() { return QStringLiteral("未知"); }

    int currentIndex = -1;
    QString currentPath = noMoviePath();
    QString currentTitle;
    QString currentAuthor = unknownNote();
    QString currentSource = unknownNote();
    QString currentType = unknownNote();
    bool movieLoaded = false;
    bool zoomed = false;
    bool scalingAllowed = true;  // set again on every load
    bool fullScreen = false;
    int statusStep = 0;          // 0..4: the text the 3-second tick shows next; kept across movies
    bool trackDragging = false;
    bool ctrlDown = false;
};

}  // namespace kivamo
