#include "player/ui/tshockwaveflash.h"

#include "swf/limits.h"
#include "swf/qt/painterbackend.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace kivamo {

namespace {

// A clock that fell further behind than this many frames (a suspended machine, a debugger) starts over
// instead of racing through the backlog.
constexpr qint64 kMaxCatchUpFrames = 10;
// Frame rates outside what a player can keep to; a rate of 0 plays at the default.
constexpr double kDefaultFps = 12.0;
constexpr double kMaxFps = 120.0;
// The smallest part of the stage a zoom shows (twips): one pixel at the movie's own size.
constexpr std::int32_t kMinZoomSide = 20;

const char* const kQualityTexts[] = {"低", "高", "速度优先", "质量优先"};

swf::Quality engineQuality(int quality)
{
    switch (quality) {
    case QualityLow:
        return swf::Quality::Low;
    case QualitySpeed:
        return swf::Quality::AutoLow;
    case QualityBest:
        return swf::Quality::AutoHigh;
    default:
        return swf::Quality::High;
    }
}

bool isWebAddress(const QString& text)
{
    return text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

// Movie clips on the stage run their own timelines, so the picture may change while the main one stands.
bool clipsOnStage(swf::Player& player)
{
    swf::Clip* root = player.root();
    if (!root)
        return false;
    for (const auto& [depth, object] : root->displayList())
        if (object.clip)
            return true;
    return false;
}

}  // namespace

TShockwaveFlash::TShockwaveFlash(QNetworkAccessManager* network, QWidget* parent)
    : QWidget(parent), m_network(network ? network : new QNetworkAccessManager(this)),
      m_maxBytes(qint64(swf::limits::kMaxMovieBytes))
{
    setObjectName(QStringLiteral("TShockwaveFlash"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &TShockwaveFlash::frameTimerTick);
}

TShockwaveFlash::~TShockwaveFlash()
{
    abortScriptLoads();
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
}

void TShockwaveFlash::setEvents(FlashControlEvents events)
{
    m_events = std::move(events);
}

void TShockwaveFlash::Movie(const QString& pathOrAddress)
{
    reset();
    QString where = pathOrAddress.trimmed();
    m_source = where;
    if (isWebAddress(where))
        download(where);
    else
        loadFile(where);
}

void TShockwaveFlash::reset()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
    m_timer.stop();
    abortScriptLoads();
    if (m_audio)
        m_audio->setPlayer(nullptr);
    m_player.reset();
    m_frames.invalidate();
    m_message.clear();
    m_zoom.reset();
    m_readyState = 0;
    m_lastPercent = -1;
    m_shownFrame = -1;
    m_dirty = true;
    update();
}

void TShockwaveFlash::setReadyState(int state)
{
    if (state == m_readyState)
        return;
    m_readyState = state;
    if (m_events.OnReadyStateChange)
        m_events.OnReadyStateChange(state);
}

void TShockwaveFlash::raiseProgress(int percent)
{
    if (percent <= m_lastPercent)
        return;  // the percentage only grows
    m_lastPercent = percent;
    if (m_events.OnProgress)
        m_events.OnProgress(percent);
}

void TShockwaveFlash::fsCommand(const std::string& command, const std::string& argument)
{
    if (m_events.OnFSCommand)
        m_events.OnFSCommand(QString::fromStdString(command), QString::fromStdString(argument));
}

void TShockwaveFlash::WMode(const QString& mode)
{
    m_wmode = mode;
}

void TShockwaveFlash::Scale(const QString& mode)
{
    m_scale = mode.compare(QLatin1String("noscale"), Qt::CaseInsensitive) == 0 ? swf::ScaleMode::NoScale
                                                                              : swf::ScaleMode::ShowAll;
    m_dirty = true;
    update();
}

void TShockwaveFlash::BackgroundColor(int colour)
{
    if (colour < 0)
        m_background.reset();
    else
        m_background = swf::Rgba{std::uint8_t((colour >> 16) & 0xff), std::uint8_t((colour >> 8) & 0xff),
                                 std::uint8_t(colour & 0xff), 255};
    m_dirty = true;
    update();
}

int TShockwaveFlash::Quality() const
{
    return m_quality;
}

void TShockwaveFlash::Quality(int quality)
{
    if (quality < QualityLow || quality > QualityBest)
        return;  // an unknown quality keeps the one in use
    m_quality = quality;
    m_dirty = true;
    update();
}

QString TShockwaveFlash::Quality2() const
{
    return QString::fromUtf8(kQualityTexts[m_quality]);
}

void TShockwaveFlash::Loop(bool loop)
{
    m_loop = loop;
    if (m_player)
        m_player->setLooping(loop);
}

int TShockwaveFlash::FrameNum() const
{
    return CurrentFrame();
}

int TShockwaveFlash::TotalFrames() const
{
    return m_player && m_player->ready() ? int(m_player->totalFrames()) : 0;
}

bool TShockwaveFlash::Playing() const
{
    return m_player && m_player->isPlaying();
}

int TShockwaveFlash::ReadyState() const
{
    return m_readyState;
}

swf::Rect TShockwaveFlash::stage() const
{
    return m_player ? m_player->header().frameSize : swf::Rect{};
}

void TShockwaveFlash::Zoom(int percent)
{
    if (!m_player || !m_player->ready() || percent < 0)
        return;
    swf::Rect whole = stage();
    if (percent == 0) {
        m_zoom.reset();
    } else {
        swf::Rect base = m_zoom ? *m_zoom : whole;
        double cx = (base.xMin + base.xMax) / 2.0, cy = (base.yMin + base.yMax) / 2.0;
        double w = std::max<double>(kMinZoomSide, (base.xMax - base.xMin) * percent / 100.0);
        double h = std::max<double>(kMinZoomSide, (base.yMax - base.yMin) * percent / 100.0);
        // Stepping out past the whole movie shows the whole movie.
        if (w >= whole.xMax - whole.xMin && h >= whole.yMax - whole.yMin)
            m_zoom.reset();
        else
            m_zoom = swf::Rect{std::int32_t(std::lround(cx - w / 2)), std::int32_t(std::lround(cx + w / 2)),
                               std::int32_t(std::lround(cy - h / 2)), std::int32_t(std::lround(cy + h / 2))};
    }
    m_dirty = true;
    update();
}

void TShockwaveFlash::Play()
{
    if (m_player)
        m_player->play();
    if (m_audio)
        m_audio->setPaused(false);
}

void TShockwaveFlash::Stop()
{
    if (m_player)
        m_player->stop();
    if (m_audio)
        m_audio->setPaused(true);
}

void TShockwaveFlash::Back()
{
    if (m_player)
        m_player->prevFrame();
    frameMaybeChanged();
}

void TShockwaveFlash::Forward()
{
    if (m_player)
        m_player->nextFrame();
    frameMaybeChanged();
}

void TShockwaveFlash::Rewind()
{
    if (m_player)
        m_player->rewind();
    if (m_audio)
        m_audio->setPaused(true);
    frameMaybeChanged();
}

void TShockwaveFlash::GotoFrame(int frame)
{
    int total = TotalFrames();
    if (total <= 0)
        return;
    m_player->gotoFrame(std::size_t(std::clamp(frame, 0, total - 1)));
    frameMaybeChanged();
}

int TShockwaveFlash::CurrentFrame() const
{
    return m_player ? int(m_player->currentFrame()) : 0;
}

double TShockwaveFlash::frameInterval() const
{
    double fps = m_player ? m_player->header().framesPerSecond() : 0;
    if (fps <= 0)
        fps = kDefaultFps;
    return 1000.0 / std::min(fps, kMaxFps);
}

void TShockwaveFlash::restartClock()
{
    m_clock.restart();
    m_framesRun = 0;
    m_scriptClockMs = 0;
    scheduleNextTick();
}

void TShockwaveFlash::scheduleNextTick()
{
    if (!m_player || !m_player->ready())
        return;
    // Each tick aims at the next frame's due time from the start, so waits never add up to a drift.
    double due = double(m_framesRun + 1) * frameInterval();
    m_timer.start(std::max(0, int(std::ceil(due - double(m_clock.elapsed())))));
}

void TShockwaveFlash::frameTimerTick()
{
    advanceTo(m_clock.elapsed());
}

void TShockwaveFlash::advanceTo(qint64 elapsedMilliseconds)
{
    if (!m_player || !m_player->ready())
        return;
    // Script time (getTimer, intervals and timeouts) follows the clock, between frames as well as with them.
    if (elapsedMilliseconds > m_scriptClockMs) {
        m_player->tick(double(elapsedMilliseconds - m_scriptClockMs));
        m_scriptClockMs = elapsedMilliseconds;
    }
    qint64 due = qint64(std::floor(double(elapsedMilliseconds) / frameInterval()));
    qint64 behind = due - m_framesRun;
    if (behind > kMaxCatchUpFrames) {
        m_framesRun = due - kMaxCatchUpFrames;
        behind = kMaxCatchUpFrames;
    }
    for (qint64 i = 0; i < behind; ++i)
        m_player->advance();
    if (behind > 0) {
        m_framesRun = due;
        m_player->reportFrameTiming(behind > 1);
        frameMaybeChanged();
        if (!m_dirty && clipsOnStage(*m_player)) {
            m_dirty = true;
            update();
        }
    }
    scheduleNextTick();
}

void TShockwaveFlash::frameMaybeChanged()
{
    if (m_player && long(m_player->currentFrame()) != m_shownFrame) {
        m_dirty = true;
        update();
    }
}

swf::View TShockwaveFlash::view() const
{
    swf::View v;
    v.width = std::max(1, width());
    v.height = std::max(1, height());
    v.scaleMode = m_scale;
    v.zoom = m_zoom;
    v.quality = engineQuality(m_quality);
    v.background = m_background;
    return v;
}

void TShockwaveFlash::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_player && m_player->ready()) {
        // On a screen with more device pixels than logical ones the frame is painted at the device's
        // resolution straight onto the widget; otherwise the frame renderer paints it in bands.
        if (devicePixelRatioF() == 1.0) {
            painter.drawImage(0, 0, m_frames.render(*m_player, view()));
        } else {
            swf::PainterBackend backend(painter);
            m_player->render(backend, view());
        }
        m_shownFrame = long(m_player->currentFrame());
        ++m_framesPainted;
    } else {
        paintMessage(painter);
    }
    m_dirty = false;
}

void TShockwaveFlash::paintMessage(QPainter& painter)
{
    QRect area(0, 0, width(), height());
    painter.fillRect(area, m_message.isEmpty() ? QColor(Qt::white) : QColor(0x30, 0x30, 0x30));
    QString text = m_message;
    if (text.isEmpty() && m_readyState > 0)
        text = m_lastPercent >= 0 ? tr("正在载入影片… %1%").arg(m_lastPercent) : tr("正在载入影片…");
    if (text.isEmpty())
        return;
    painter.setPen(m_message.isEmpty() ? QColor(0x40, 0x40, 0x40) : QColor(Qt::white));
    painter.drawText(area.adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, text);
}

void TShockwaveFlash::paintInto(QImage& image)
{
    if (image.isNull())
        return;
    QPainter painter(&image);
    painter.setClipRect(QRect(0, 0, width(), height()) & image.rect());
    if (m_player && m_player->ready())
        painter.drawImage(0, 0, swf::renderImage(*m_player, view()));
    else
        paintMessage(painter);
}

void TShockwaveFlash::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    if (m_player && event->button() == Qt::LeftButton)
        m_player->pointerPress(event->position().x(), event->position().y());
    frameMaybeChanged();
}

void TShockwaveFlash::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_player && event->button() == Qt::LeftButton)
        m_player->pointerRelease(event->position().x(), event->position().y());
    updateCursor();
    frameMaybeChanged();
}

void TShockwaveFlash::mouseMoveEvent(QMouseEvent* event)
{
    if (m_player)
        m_player->pointerMove(event->position().x(), event->position().y());
    updateCursor();
}

void TShockwaveFlash::updateCursor()
{
    // The hand over a movie's buttons, the ordinary pointer elsewhere.
    if (m_player && m_player->handCursor())
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void TShockwaveFlash::wheelEvent(QWheelEvent* event)
{
    if (m_player)
        m_player->wheel(event->angleDelta().y());
    event->accept();
}

void TShockwaveFlash::keyPressEvent(QKeyEvent* event)
{
    if (m_player)
        m_player->keyPress(event->key());
    frameMaybeChanged();
}

void TShockwaveFlash::keyReleaseEvent(QKeyEvent* event)
{
    if (m_player)
        m_player->keyRelease(event->key());
}

FlashControlFactory tshockwaveflashFactory(QNetworkAccessManager* network,
                                           std::function<void(TShockwaveFlash&)> place)
{
    QPointer<QNetworkAccessManager> shared(network);
    return [shared, place]() -> std::unique_ptr<FlashControl> {
        auto control = std::make_unique<TShockwaveFlash>(shared.data());
        if (place)
            place(*control);
        control->setFocus(Qt::OtherFocusReason);
        return control;
    };
}

}  // namespace kivamo
