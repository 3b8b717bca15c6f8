// Running a movie's root-timeline scripts without a display tree: the scripts of each frame, a headless host whose
// clips are plain objects, and the `kivamo-swf trace` entry point that collects trace lines.
#pragma once

#include "swf/avm1/host.h"
#include "swf/format/header.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace swf::avm1 {

using ActionCode = std::shared_ptr<const std::vector<std::uint8_t>>;

struct FrameScripts {
    std::vector<ActionCode> initActions;  // DoInitAction bodies, run once before the frame's actions
    std::vector<ActionCode> actions;      // DoAction bodies
};

struct MovieScripts {
    int version = 0;
    double frameRate = 12;
    // The call depth the movie's ScriptLimits tag sets (0: the engine's default).
    int maxRecursionDepth = 0;
    std::vector<FrameScripts> frames;
    // True when a frame holds sprites with scripts or clip events, which need the display tree.
    bool hasNestedScripts = false;
};

// The scripts of the root timeline, frame by frame.
MovieScripts collectRootScripts(const SwfFile& movie);

// A host with the root and script-made clips as plain objects and a timeline of frame numbers only.
class HeadlessHost : public Host {
public:
    explicit HeadlessHost(int totalFrames) : m_totalFrames(totalFrames) {}
    // Makes the root clip inside the machine; its clip properties read through this host.
    void attach(Vm& vm);

    void trace(const std::string& line) override { lines.push_back(line); }
    void fscommand(const std::string& command, const std::string& argument) override;
    void getUrl(const std::string& url, const std::string& target, int method) override;
    void warning(const std::string& message) override { warnings.push_back(message); }
    double nowMs() const override { return clockMs; }

    Object* root() override { return m_root; }
    Object* parentOf(Object* clip) override;
    bool isClip(const Object* object) const override { return object && object == m_root; }
    std::string targetPath(Object* clip) override { return clip == m_root ? "_level0" : ""; }
    Value getClipProperty(Object* clip, ClipProperty p) override;
    void setClipProperty(Object*, ClipProperty, const Value&) override {}
    void gotoFrame(Object* clip, int frame, bool play) override;
    bool gotoLabel(Object*, const std::string&, bool, int = 0) override { return false; }
    void play(Object* clip) override;
    void stop(Object* clip) override;
    void nextFrame(Object* clip) override;
    void prevFrame(Object* clip) override;
    int currentFrame(Object*) override { return frame; }
    int framesLoaded(Object*) override { return m_totalFrames; }
    void cloneSprite(Object*, const std::string&, int) override {}
    void removeSprite(Object*) override {}
    void callFrame(Object*, const std::string&) override {}

    std::vector<std::string> lines;
    std::vector<std::string> warnings;
    std::vector<std::pair<std::string, std::string>> commands;
    double clockMs = 0;
    int frame = 0;
    bool playing = true;
    bool jumped = false;
    bool quit = false;

private:
    int m_totalFrames;
    Object* m_root = nullptr;
};

struct TraceRun {
    std::vector<std::string> lines;
    std::vector<std::string> warnings;
    int framesRun = 0;
    bool quit = false;
};

// Runs the root timeline's scripts for the given number of frames, each moving the clock by tickMs, and
// stops after a frame in which the movie sent FSCommand "quit".
TraceRun runTrace(const MovieScripts& scripts, int frames, double tickMs);

}  // namespace swf::avm1
