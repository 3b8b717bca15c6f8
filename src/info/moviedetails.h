// The details window's data: which entry it shows, the file and header labels, the playing-movie
// group, and "确定" storing the notes in the entry and in the sidecar file.
#pragma once

#include "core/result.h"
#include "info/notes.h"

#include <QLocale>
#include <QString>

#include <optional>

namespace kivamo {

class PlayList;

// Where the details window was opened from: the list menus (the selected entry) or the movie menu
// and the tool button (the movie now loaded).
enum class DetailsSource { SelectedEntry, CurrentMovie };

// The target index of the shared open command, or nothing when it does not open: an empty list,
// no selection for the list menus, no loaded movie for the movie menu and the tool button.
std::optional<int> detailsTargetIndex(DetailsSource source, const PlayList& list, bool movieLoaded,
                                      int currentIndex);

// Whether the window fills its labels at all: the list is not empty and it has a selection or the
// target is the current entry.
bool detailsFilled(const PlayList& list, int targetIndex, int currentIndex);

// The ten file and header labels and the path box.
struct DetailLabels {
    QString fileSize, created, accessed, modified;
    QString compressed, version, height, width, frameRate, frameCount;
    QString path;
};

// "mm/dd/yyyy hh:nn" with the locale's date and time separators.
QString detailDateText(const QDateTime& time, const QLocale& locale);

// The labels for the entry's path. Errors are those of the header reader ("Cannot open file %s",
// "Stream read error"); the window then shows them and leaves the labels unfilled.
Result<DetailLabels> detailLabels(const QString& entryPath, const QLocale& locale = QLocale());

// The playing-movie group "当前文件", filled only for the movie now loaded.
struct NowPlayingInputs {
    bool controlExists = false;
    bool targetIsCurrent = false;
    bool movieLoaded = false;
    int readyState = -1;
    QString quality2;
    QString listName;
};
struct NowPlayingGroup {
    bool enabled = false;
    QString state = QStringLiteral("播放状态：");
    QString list = QStringLiteral("当前列表：");
    QString quality = QStringLiteral("播放品质：");
};
NowPlayingGroup nowPlayingGroup(const NowPlayingInputs& inputs);

// The notes the window opens with: sub-items 4, 5 and 6 of the target entry.
RrightInfo entryNotes(const PlayList& list, int targetIndex);

// Everything the window shows when it opens, for one target entry.
struct DetailsView {
    bool filled = false;           // false: the design captions stay
    std::optional<Error> error;    // the header reader's error: labels and path box stay unfilled
    DetailLabels labels;
    NowPlayingGroup now;
    RrightInfo notes;
};
DetailsView detailsView(const PlayList& list, int targetIndex, int currentIndex, const NowPlayingInputs& player,
                        const QLocale& locale = QLocale());

// "确定": with a selection the notes go into the target entry (the list stays unmodified); the
// sidecar file is rewritten only when the movie file exists. A failed write is returned (the
// window reports it and stays open); a missing movie is no failure.
Result<void> confirmDetails(PlayList& list, int targetIndex, const RrightInfo& notes);

}  // namespace kivamo
