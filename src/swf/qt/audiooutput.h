// Plays a Player's sound through Qt Multimedia: a QAudioSink at the device's own rate, fed in small
// pieces from a short timer so the delay stays low. Without an audio device (or on the offscreen
// platform) it stays silent and does nothing, and the movie keeps its own pace.
#pragma once

#include <QTimer>

#include <cstdint>
#include <memory>
#include <vector>

class QAudioSink;
class QIODevice;

namespace swf {

class Player;

class AudioOutput {
public:
    enum class Device { Default, None };
    explicit AudioOutput(Device device = Device::Default);
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // The player whose sound plays (nullptr for none); the output never owns it.
    void setPlayer(Player* player);
    // A paused output takes no sound from the player.
    void setPaused(bool paused);
    bool paused() const { return m_paused; }
    bool hasDevice() const { return m_sink != nullptr; }
    int rate() const { return m_rate; }

    // Hands the device as much sound as it has room for; the timer calls it.
    void feed();

private:
    void open();

    std::unique_ptr<QAudioSink> m_sink;
    QIODevice* m_device = nullptr;
    QTimer m_timer;
    Player* m_player = nullptr;
    std::vector<std::int16_t> m_buffer;
    int m_rate = 44100;
    bool m_paused = false;
};

}  // namespace swf
