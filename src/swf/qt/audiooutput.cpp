#include "swf/qt/audiooutput.h"

#include "swf/player.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QGuiApplication>
#include <QMediaDevices>

#include <algorithm>

namespace swf {

namespace {

// The device's buffer holds about this much sound: enough to ride over a busy frame, short enough
// that pictures and sound stay together.
constexpr int kBufferMilliseconds = 80;
constexpr int kFeedIntervalMilliseconds = 10;
constexpr int kBytesPerFrame = 4;  // 16-bit stereo
constexpr int kLowestRate = 8000, kHighestRate = 192000;

}  // namespace

AudioOutput::AudioOutput(Device device)
{
    // Without a GUI application (command-line tools, tests) or on the offscreen platform there is no
    // one to listen: no device is opened.
    bool gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    if (device == Device::Default && gui && QGuiApplication::platformName() != QLatin1String("offscreen"))
        open();
    m_timer.setInterval(kFeedIntervalMilliseconds);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { feed(); });
}

AudioOutput::~AudioOutput()
{
    m_timer.stop();
    if (m_sink)
        m_sink->stop();
}

void AudioOutput::open()
{
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return;
    QAudioFormat format;
    int preferred = device.preferredFormat().sampleRate();
    m_rate = preferred > 0 ? std::clamp(preferred, kLowestRate, kHighestRate) : 44100;
    format.setSampleRate(m_rate);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        return;
    m_sink = std::make_unique<QAudioSink>(device, format);
    m_sink->setBufferSize(m_rate * kBytesPerFrame * kBufferMilliseconds / 1000);
    m_device = m_sink->start();
    if (!m_device) {
        m_sink.reset();
        return;
    }
    m_sink->suspend();
}

void AudioOutput::setPlayer(Player* player)
{
    m_player = player;
    setPaused(m_paused);
}

void AudioOutput::setPaused(bool paused)
{
    m_paused = paused;
    bool running = m_player && !m_paused && m_sink;
    if (!m_sink)
        return;
    if (running) {
        m_sink->resume();
        m_timer.start();
    } else {
        m_timer.stop();
        m_sink->suspend();
    }
}

void AudioOutput::feed()
{
    if (!m_sink || !m_device || !m_player || m_paused)
        return;
    qsizetype frames = m_sink->bytesFree() / kBytesPerFrame;
    if (frames <= 0)
        return;
    m_buffer.resize(std::size_t(frames) * 2);
    m_player->mixAudio(m_buffer.data(), std::size_t(frames), m_rate);
    m_device->write(reinterpret_cast<const char*>(m_buffer.data()), frames * kBytesPerFrame);
}

}  // namespace swf
