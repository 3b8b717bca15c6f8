// TShockwaveFlash: the movie widget, a FlashControl over our SWF engine that loads files and web
// addresses, plays on a steady clock, draws the current frame and passes input on to the movie.
#pragma once

#include "core/flashcontrol.h"

#include "swf/player.h"
#include "swf/qt/audiooutput.h"
#include "swf/qt/framerenderer.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace kivamo {

class TShockwaveFlash : public QWidget, public FlashControl, private swf::PlayerListener {
    Q_OBJECT

public:
    // Web addresses are fetched through network; without one the widget makes its own.
    explicit TShockwaveFlash(QNetworkAccessManager* network = nullptr, QWidget* parent = nullptr);
    ~TShockwaveFlash() override;

    void setEvents(FlashControlEvents events) override;
    void Movie(const QString& pathOrAddress) override;
    void WMode(const QString& mode) override;
    void Scale(const QString& mode) override;
    void BackgroundColor(int colour) override;
    int Quality() const override;
    void Quality(int quality) override;
    QString Quality2() const override;
    void Loop(bool loop) override;
    int FrameNum() const override;
    int TotalFrames() const override;
    bool Playing() const override;
    int ReadyState() const override;
    void Zoom(int percent) override;
    void Play() override;
    void Stop() override;
    void Back() override;
    void Forward() override;
    void Rewind() override;
    void GotoFrame(int frame) override;
    int CurrentFrame() const override;
    void paintInto(QImage& image) override;

    // Why no movie is shown (a file that cannot be read, a failed download); empty while all is well.
    QString message() const { return m_message; }
    // The part of the stage (twips) shown; empty while the whole movie is shown.
    std::optional<swf::Rect> zoomRect() const { return m_zoom; }
    QString wmode() const { return m_wmode; }
    // The time one frame lasts, in milliseconds (the movie's frame rate).
    double frameInterval() const;
    // A download that delivers nothing for this long fails (milliseconds, 0 for never).
    void setTransferTimeout(int milliseconds) { m_transferTimeout = milliseconds; }
    // Movies larger than this are refused, from a file or from the network (tests lower it).
    void setMaxMovieBytes(qint64 bytes) { m_maxBytes = bytes; }
    // The folder under which movies keep their SharedObject data, one folder per movie; empty (the
    // default) keeps it only while the movie plays.
    void setSharedObjectRoot(const QString& folder) { m_sharedObjectRoot = folder; }
    // Paint events that drew a movie frame so far (tests check that unchanged frames are not redrawn).
    int framesPainted() const { return m_framesPainted; }
    // A repaint was asked for since the last paint (a new frame, a new view).
    bool needsRepaint() const { return m_dirty; }

public slots:
    // The frame clock's step: advances the movie to where the clock says it should be.
    void frameTimerTick();
    // The same step with the time since playing started given (tests drive the clock with it). Frames
    // that fell behind are run without being drawn; only the latest one is shown.
    void advanceTo(qint64 elapsedMilliseconds);

signals:
    // The load ended, fully loaded or failed (message() tells which).
    void loadEnded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void fsCommand(const std::string& command, const std::string& argument) override;
    bool loadText(const std::string& url, std::string& text) override;
    bool loadMovie(const std::string& url, std::vector<std::uint8_t>& bytes) override;
    bool requestText(int request, const std::string& url, const std::string& method, const std::string& body) override;
    void scriptReplyFinished(QNetworkReply* reply, int request);
    void abortScriptLoads();

    void reset();
    void updateCursor();
    void loadFile(const QString& path);
    void download(const QString& address);
    void replyData();
    void replyProgress(qint64 received, qint64 total);
    void replyFinished();
    void acceptBytes(const QByteArray& bytes);
    void finishMovie();
    void fail(const QString& why);
    QString tooLarge() const;
    void setReadyState(int state);
    void raiseProgress(int percent);
    void restartClock();
    void scheduleNextTick();
    void frameMaybeChanged();
    swf::View view() const;
    swf::Rect stage() const;
    void paintMessage(QPainter& painter);

    QNetworkAccessManager* m_network;
    QPointer<QNetworkReply> m_reply;
    QList<QPointer<QNetworkReply>> m_scriptReplies;  // LoadVars and XML loads of the movie now playing
    std::unique_ptr<swf::Player> m_player;
    swf::FrameRenderer m_frames;  // keeps the last frame painted, so a new one repaints only what changed
    FlashControlEvents m_events;
    QString m_message;
    QString m_wmode;
    QString m_source;  // the path or address of the movie
    QString m_sharedObjectRoot;
    swf::ScaleMode m_scale = swf::ScaleMode::ShowAll;
    std::optional<swf::Rgba> m_background;
    std::optional<swf::Rect> m_zoom;
    int m_quality = QualityHigh;
    bool m_loop = true;
    int m_readyState = 0;
    int m_lastPercent = -1;
    int m_transferTimeout = 30000;
    qint64 m_maxBytes;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_framesRun = 0;  // frames advanced since the clock started
    qint64 m_scriptClockMs = 0;  // how far the movie's script clock was moved since the clock started
    long m_shownFrame = -1;  // the frame the last paint showed
    bool m_dirty = true;     // the view changed since the last paint
    int m_framesPainted = 0;
    std::unique_ptr<swf::AudioOutput> m_audio;  // created with the first movie; goes before the player
};

// Makes a TShockwaveFlash for every movie; place puts it into its window (parent, layout, focus)
// before it is handed out.
FlashControlFactory tshockwaveflashFactory(QNetworkAccessManager* network,
                                           std::function<void(TShockwaveFlash&)> place);

}  // namespace kivamo
