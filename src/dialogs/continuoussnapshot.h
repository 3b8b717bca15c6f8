// The logic of the continuous-snapshot dialog `Tfpic`: folder state, start, timer ticks writing
// numbered files, stop with its summary, close refused while running, and the [contpic] settings.
#pragma once

#include "core/result.h"
#include "dialogs/snapshot.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QTimer>

#include <functional>

namespace kivamo {

// The timer `TMR_pic` as the logic drives it; the window hands in a QTimer, tests a record.
class SnapshotTimer {
public:
    virtual ~SnapshotTimer() = default;
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
};

// `TMR_pic` itself: the window's QTimer behind the logic's timer interface.
class QtSnapshotTimer : public SnapshotTimer {
public:
    explicit QtSnapshotTimer(QTimer& timer) : m_timer(timer) {}
    void start(int intervalMs) override;
    void stop() override;

private:
    QTimer& m_timer;
};

struct PathState {
    QString text;
    QColor colour;
};

// "路径状态：…" for the text of `edt_path`.
PathState snapshotPathState(const QString& pathText, const std::function<bool(const QString&)>& onOpticalMedia);

// What the run reads from the player at each tick.
struct ContinuousSource {
    std::function<bool()> controlExists;
    std::function<bool()> movieLoaded;
    std::function<QString()> moviePath;
    std::function<QImage()> capture;
};

class ContinuousSnapshot {
public:
    ContinuousSnapshot(SnapshotServices services, ContinuousSource source, SnapshotTimer& timer,
                       QString programDirectory);

    // The dialog's fields, as the window shows and edits them.
    QString path;
    bool autocreat = true;
    bool gifSelected = true;  // `rb_gif`; false: `rb_jpg`
    int times = 500;          // `TRB_times`, 100 to 2000
    bool saveSettings = false;  // `chk_save`

    // `FormCreate`: reads [contpic] from main.ini.
    void load();
    // `TRB_timesChange`: the slider clamps to its range; the label text.
    void setTimes(int milliseconds);
    QString timesLabel() const;
    PathState pathState() const;
    // `edt_pathKeyPress`: false when a typed backslash or slash would double the trailing one.
    bool acceptKey(QChar key) const;

    // `b_startClick`: true when a run started.
    bool start();
    // `TMR_picTimer`.
    void tick();
    // `B_stopClick`: ends the run and shows the summary.
    void stop();
    // `B_closeClick`: writes [contpic] when `chk_save` is ticked; the window closes afterwards.
    Result<void> closeButton();
    // `FormCloseQuery`: false (with "请先终止快照") while a run is going.
    bool canClose();

    bool running() const { return m_running; }
    int count() const { return m_count; }
    QString countLabel() const;  // `LAB_count`
    QString lastFile() const { return m_lastFile; }  // `LAB_path`
    QString runImageType() const { return m_runImageType; }
    // The summary box text of stop.
    QString summaryText() const;

private:
    bool ensureFolder();
    bool onOptical(const QString& folder) const;

    SnapshotServices m_services;
    ContinuousSource m_source;
    SnapshotTimer& m_timer;
    QString m_programDirectory;
    bool m_running = false;
    bool m_inTick = false;
    int m_count = 0;
    QString m_lastFile;
    QString m_runImageType = QStringLiteral("gif");
};

}  // namespace kivamo
