// What the virtual machine asks of the player around it: display objects, timeline control, output sinks and
// the clock. The engine implements it over the display tree; tests use a fake.
#pragma once

#include "swf/avm1/value.h"

#include <cstdint>
#include <string>

namespace swf::avm1 {

class Object;
class Vm;

// Property numbers of GetProperty/SetProperty (_x = 0 … _ymouse = 21).
enum class ClipProperty : int {
    X = 0, Y, XScale, YScale, CurrentFrame, TotalFrames, Alpha, Visible, Width, Height, Rotation, Target,
    FramesLoaded, Name, DropTarget, Url, HighQuality, FocusRect, SoundBufTime, Quality, XMouse, YMouse,
};

// The property number of a clip property name ("_x" is 0, "_currentframe" 4 …), or -1; names without case.
int clipPropertyIndex(const std::string& name);

class Host {
public:
    virtual ~Host() = default;

    // Output.
    virtual void trace(const std::string& line) = 0;
    virtual void fscommand(const std::string& command, const std::string& argument) = 0;
    virtual void getUrl(const std::string& url, const std::string& target, int method) = 0;
    // Warnings such as "Failed to parse corrupt data." or a script stopped by a limit.
    virtual void warning(const std::string& message) = 0;

    // Milliseconds since the movie started, as the player's ticks moved it (getTimer, timers, script time).
    virtual double nowMs() const = 0;
    // The wall-time the running scripts have taken in this frame, for the time limit; the player measures it.
    virtual double scriptElapsedMs() const { return 0; }

    // Display objects are objects of the machine; these find them.
    virtual Object* root() = 0;
    virtual Object* level(int n) { return n == 0 ? root() : nullptr; }
    // The _root of a clip's code: the root of the level its tree stands in.
    virtual Object* rootOf(Object*) { return root(); }
    virtual Object* parentOf(Object* clip) = 0;
    virtual bool isClip(const Object* object) const = 0;
    // typeof of a display object: "movieclip" for clips; buttons answer "object".
    virtual const char* displayTypeName(Object*) { return "movieclip"; }
    // The child clip of that name; target paths find it before a variable of the same name.
    virtual Object* childClip(Object*, const std::string&) { return nullptr; }
    // The SWF version of the movie a clip's timeline comes from; 0 when unknown.
    virtual int versionOf(Object*) { return 0; }
    // True for the object of a clip that has left the display tree.
    virtual bool isRemovedClip(Object*) { return false; }
    // The dotted path of a clip ("_level0.a.b"); empty for objects that are not clips.
    virtual std::string targetPath(Object* clip) = 0;

    virtual Value getClipProperty(Object* clip, ClipProperty p) = 0;
    virtual void setClipProperty(Object* clip, ClipProperty p, const Value& v) = 0;

    // Timeline control of a clip. Frames count from 0.
    virtual void gotoFrame(Object* clip, int frame, bool play) = 0;
    // A labelled frame, `offset` frames on (GotoFrame2 with a scene bias counts from the scene's first frame).
    virtual bool gotoLabel(Object* clip, const std::string& label, bool play, int offset = 0) = 0;
    virtual void play(Object* clip) = 0;
    virtual void stop(Object* clip) = 0;
    virtual void nextFrame(Object* clip) = 0;
    virtual void prevFrame(Object* clip) = 0;
    virtual int currentFrame(Object* clip) = 0;
    virtual int framesLoaded(Object* clip) = 0;
    virtual void toggleQuality() {}
    virtual void stopSounds() {}
    virtual void cloneSprite(Object* clip, const std::string& name, int depth) = 0;
    virtual void removeSprite(Object* clip) = 0;
    virtual void startDrag(Object*, bool, const double*) {}
    virtual void stopDrag() {}
    // Calls the frame's actions of a clip (the Call action), when the player has them.
    virtual void callFrame(Object* clip, const std::string& frame) = 0;

    // Loads a movie into a clip or a level in place of what it plays (loadMovie, loadMovieNum, GetURL2 with its
    // load flag); an empty address unloads. The movie arrives before the next frame, as in Flash.
    virtual void loadMovie(Object*, const std::string&) {}
    virtual void loadMovieNum(int, const std::string&) {}

    // The folder where this movie's SharedObject data persists. Empty (the default): nothing is written and the
    // data lives as long as the movie.
    virtual std::string sharedObjectFolder() { return {}; }
    // The text at an address for LoadVars and XML. False (the default): the host loads nothing.
    virtual bool loadText(const std::string& url, std::string& text)
    {
        (void)url;
        (void)text;
        return false;
    }
    // Starts loading the text at a web address, sent with method ("GET" or "POST") and body. Returns the request's
    // number, which the answer comes back with (Vm::textArrived), or 0 (the default) when it cannot be had.
    virtual int requestText(const std::string& url, const std::string& method, const std::string& body)
    {
        (void)url, (void)method, (void)body;
        return 0;
    }
    // The user's language as System.capabilities.language reports it ("zh-CN", "en").
    virtual std::string language() { return "en"; }
    // Ties an exported symbol to a class whose constructor its clips run (a non-function unties it); false when no
    // symbol has that name.
    virtual bool registerClass(const std::string&, const Value&) { return false; }
};

}  // namespace swf::avm1
