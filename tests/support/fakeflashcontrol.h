// A FlashControl that records every call as text, keeps a small timeline, and lets tests raise its
// events; with a factory that hands out fresh fakes and tells which one is alive.
#pragma once

#include "core/flashcontrol.h"

#include <QStringList>

#include <functional>
#include <memory>

namespace kivamo::test {

class FakeFlashControl : public FlashControl {
public:
    // Calls "Movie(path)", "Play", "GotoFrame(-1)"… in order; getters are not recorded.
    QStringList calls;
    int totalFrames = 100;
    int frame = 0;        // clamped into the timeline, as the real control does
    bool playing = false;
    int readyState = 0;
    int quality = QualityHigh;
    std::function<void()> onDestroyed;

    ~FakeFlashControl() override;

    void raiseReadyState(int state);
    void raiseProgress(int percent);
    void raiseFSCommand(const QString& command, const QString& argument);

    void setEvents(FlashControlEvents events) override { m_events = std::move(events); }
    void Movie(const QString& pathOrAddress) override;
    void WMode(const QString& mode) override;
    void Scale(const QString& mode) override;
    void BackgroundColor(int colour) override;
    int Quality() const override { return quality; }
    void Quality(int value) override;
    QString Quality2() const override;
    void Loop(bool loop) override;
    int FrameNum() const override { return frame; }
    int TotalFrames() const override { return totalFrames; }
    bool Playing() const override { return playing; }
    int ReadyState() const override { return readyState; }
    void Zoom(int percent) override;
    void Play() override;
    void Stop() override;
    void Back() override;
    void Forward() override;
    void Rewind() override;
    void GotoFrame(int target) override;
    int CurrentFrame() const override { return frame; }
    void paintInto(QImage& image) override;

private:
    void record(const QString& call) { calls << call; }
    FlashControlEvents m_events;
};

// Hands out fakes; setUp runs on each new one (frame counts, ready state) before the controller uses it.
class FakeFlashControlFactory {
public:
    std::function<void(FakeFlashControl&)> setUp;

    FlashControlFactory factory();
    // The control alive now, or nullptr after the controller destroyed it.
    FakeFlashControl* current() const { return *m_current; }
    int created() const { return *m_created; }
    int alive() const { return *m_alive; }

private:
    std::shared_ptr<FakeFlashControl*> m_current = std::make_shared<FakeFlashControl*>(nullptr);
    std::shared_ptr<int> m_created = std::make_shared<int>(0);
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};

}  // namespace kivamo::test
