// FlashControl: the player control as the rest of the program drives it, so that the playback and
// view logic run against the real widget and against a recording fake alike.
#pragma once

#include <QString>

#include <functional>
#include <memory>

class QImage;

namespace kivamo {

// The three events a control raises. Each may be empty; the control then raises nothing.
struct FlashControlEvents {
    std::function<void(int state)> OnReadyStateChange;  // 4 arrives once per load
    std::function<void(int percent)> OnProgress;
    std::function<void(const QString& command, const QString& argument)> OnFSCommand;
};

// Quality values as the control numbers them.
enum FlashQuality { QualityLow = 0, QualityHigh = 1, QualitySpeed = 2, QualityBest = 3 };

// The members keep the names the control has always had; setters and getters of one property share
// its name. Frame numbers count from 0.
class FlashControl {
public:
    virtual ~FlashControl() = default;

    virtual void setEvents(FlashControlEvents events) = 0;

    // Starts loading a trimmed local path or web address; the events follow.
    virtual void Movie(const QString& pathOrAddress) = 0;
    virtual void WMode(const QString& mode) = 0;  // "opaque", set before Movie
    virtual void Scale(const QString& mode) = 0;  // "noscale": native size
    // red·65536 + green·256 + blue; -1 keeps the movie's own colour.
    virtual void BackgroundColor(int colour) = 0;
    virtual int Quality() const = 0;
    virtual void Quality(int quality) = 0;
    virtual QString Quality2() const = 0;  // the quality as text
    virtual void Loop(bool loop) = 0;
    virtual int FrameNum() const = 0;
    virtual int TotalFrames() const = 0;
    virtual bool Playing() const = 0;
    virtual int ReadyState() const = 0;  // 4: fully loaded; above 1: frames known

    // 63 closer, 160 wider, 0 the whole movie; each step relative to the current view.
    virtual void Zoom(int percent) = 0;
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual void Back() = 0;     // one frame back, then halt
    virtual void Forward() = 0;  // one frame ahead, then halt
    virtual void Rewind() = 0;
    // Frames outside 0 .. TotalFrames - 1 reach this; the control clamps them.
    virtual void GotoFrame(int frame) = 0;
    virtual int CurrentFrame() const = 0;

    // Draws the current frame into image, clipped to the control's width and height (snapshots and
    // printing).
    virtual void paintInto(QImage& image) = 0;
};

// Makes a fresh control for every movie; the window's factory places it in the movie panel, routes
// its mouse through the movie window filter and gives it the keyboard focus.
using FlashControlFactory = std::function<std::unique_ptr<FlashControl>()>;

}  // namespace kivamo
