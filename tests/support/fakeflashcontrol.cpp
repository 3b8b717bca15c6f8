#include "fakeflashcontrol.h"

#include <QImage>

#include <algorithm>

namespace kivamo::test {

FakeFlashControl::~FakeFlashControl()
{
    if (onDestroyed)
        onDestroyed();
}

void FakeFlashControl::raiseReadyState(int state)
{
    readyState = state;
    if (m_events.OnReadyStateChange)
        m_events.OnReadyStateChange(state);
}

void FakeFlashControl::raiseProgress(int percent)
{
    if (m_events.OnProgress)
        m_events.OnProgress(percent);
}

void FakeFlashControl::raiseFSCommand(const QString& command, const QString& argument)
{
    if (m_events.OnFSCommand)
        m_events.OnFSCommand(command, argument);
}

void FakeFlashControl::Movie(const QString& pathOrAddress)
{
    record(QStringLiteral("Movie(%1)").arg(pathOrAddress));
}

void FakeFlashControl::WMode(const QString& mode)
{
    record(QStringLiteral("WMode(%1)").arg(mode));
}

void FakeFlashControl::Scale(const QString& mode)
{
    record(QStringLiteral("Scale(%1)").arg(mode));
}

void FakeFlashControl::BackgroundColor(int colour)
{
    record(QStringLiteral("BackgroundColor(%1)").arg(colour));
}

void FakeFlashControl::Quality(int value)
{
    quality = value;
    record(QStringLiteral("Quality(%1)").arg(value));
}

QString FakeFlashControl::Quality2() const
{
    static const char* const names[] = {"低", "高", "速度优先", "质量优先"};
    return quality >= 0 && quality < 4 ? QString::fromUtf8(names[quality]) : QString();
}

void FakeFlashControl::Loop(bool loop)
{
    record(QStringLiteral("Loop(%1)").arg(loop ? "true" : "false"));
}

void FakeFlashControl::Zoom(int percent)
{
    record(QStringLiteral("Zoom(%1)").arg(percent));
}

void FakeFlashControl::Play()
{
    playing = true;
    record(QStringLiteral("Play"));
}

void FakeFlashControl::Stop()
{
    playing = false;
    record(QStringLiteral("Stop"));
}

void FakeFlashControl::Back()
{
    frame = std::max(frame - 1, 0);
    playing = false;
    record(QStringLiteral("Back"));
}

void FakeFlashControl::Forward()
{
    frame = std::min(frame + 1, std::max(totalFrames - 1, 0));
    playing = false;
    record(QStringLiteral("Forward"));
}

void FakeFlashControl::Rewind()
{
    frame = 0;
    record(QStringLiteral("Rewind"));
}

void FakeFlashControl::GotoFrame(int target)
{
    frame = std::clamp(target, 0, std::max(totalFrames - 1, 0));
    record(QStringLiteral("GotoFrame(%1)").arg(target));
}

void FakeFlashControl::paintInto(QImage& image)
{
    image.fill(Qt::white);
    record(QStringLiteral("paintInto"));
}

FlashControlFactory FakeFlashControlFactory::factory()
{
    return [current = m_current, created = m_created, alive = m_alive,
            setUp = &setUp]() -> std::unique_ptr<FlashControl> {
        auto control = std::make_unique<FakeFlashControl>();
        FakeFlashControl* raw = control.get();
        control->onDestroyed = [current, alive, raw] {
            --*alive;
            if (*current == raw)
                *current = nullptr;
        };
        *current = raw;
        ++*created;
        ++*alive;
        if (*setUp)
            (*setUp)(*raw);
        return control;
    };
}

}  // namespace kivamo::test
