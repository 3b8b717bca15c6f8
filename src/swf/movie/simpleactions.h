// The actions that need no stack (frame control, GetURL, SetTarget, quality, sounds), run straight from the
// action bytes until the ActionScript machine takes over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace swf {

namespace action {
enum Code : std::uint8_t {
    End = 0x00, NextFrame = 0x04, PreviousFrame = 0x05, Play = 0x06, Stop = 0x07, ToggleQuality = 0x08,
    StopSounds = 0x09, GotoFrame = 0x81, GetURL = 0x83, WaitForFrame = 0x8A, SetTarget = 0x8B, GotoLabel = 0x8C
};
}

// What the actions act on; SetTarget changes the clip the frame actions address.
class ActionHost {
public:
    virtual ~ActionHost() = default;
    virtual void play() = 0;
    virtual void stop() = 0;
    virtual void nextFrame() = 0;
    virtual void previousFrame() = 0;
    virtual void gotoFrame(std::size_t frame) = 0;  // 0-based
    virtual void gotoLabel(const std::string& label) = 0;
    virtual void getUrl(const std::string& url, const std::string& target) = 0;
    virtual void setTarget(const std::string& path) = 0;
    virtual void toggleQuality() = 0;
    virtual void stopSounds() = 0;
    virtual bool frameLoaded(std::size_t frame) = 0;  // 0-based
};

// True when the block holds only the actions above (and ends cleanly or at the end of the data).
bool onlySimpleActions(const std::uint8_t* data, std::size_t size);

// Runs the block against the host; a block that is not simple is ignored.
void runSimpleActions(const std::uint8_t* data, std::size_t size, ActionHost& host);

}  // namespace swf
