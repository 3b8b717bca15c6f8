// The engine's facade: one Player per loaded movie, with its facts, time, view, input and events.
#pragma once

#include "swf/movie/clip.h"
#include "swf/movie/movie.h"
#include "swf/render/geometry.h"
#include "swf/render/view.h"
#include "swf/result.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace swf::audio {
class SoundPlayer;
}

namespace swf {

class ScriptHost;

// Receives what the movie sends out; every member has a default that ignores it.
class PlayerListener {
public:
    virtual ~PlayerListener() = default;
    virtual void fsCommand(const std::string& command, const std::string& argument) { (void)command, (void)argument; }
    virtual void trace(const std::string& line) { (void)line; }
    virtual void openUrl(const std::string& url, const std::string& target) { (void)url, (void)target; }
    virtual void warning(const std::string& text) { (void)text; }
    // The text at an address a script loads (LoadVars, XML); false when it cannot be had.
    virtual bool loadText(const std::string& url, std::string& text)
    {
        (void)url, (void)text;
        return false;
    }
    // The bytes of a movie the movie loads (loadMovie) or imports from; false when they cannot be had.
    virtual bool loadMovie(const std::string& url, std::vector<std::uint8_t>& bytes)
    {
        (void)url, (void)bytes;
        return false;
    }
    // Starts loading the text at a web address for a script, sent with method ("GET" or "POST") and body; the
    // answer goes to Player::textArrived with the same request number. False when it cannot be loaded.
    virtual bool requestText(int request, const std::string& url, const std::string& method, const std::string& body)
    {
        (void)request, (void)url, (void)method, (void)body;
        return false;
    }
};

class Player {
public:
    // A player for a movie held entirely in memory; fails when the bytes are no SWF movie. A listener given here
    // hears the movie from the start, so the movies it imports are read while it is decoded.
    static Result<std::unique_ptr<Player>> fromBytes(const std::uint8_t* data, std::size_t size,
                                                     PlayerListener* listener = nullptr);
    // A player for a movie whose bytes arrive in chunks through appendBytes().
    Player();
    ~Player();

    // Adds bytes of a streamed movie; frames become playable as they complete. False when the bytes
    // seen so far are no SWF movie.
    bool appendBytes(const std::uint8_t* data, std::size_t size);
    // Says that no more bytes will come; the movie is decoded from everything that arrived.
    void finishLoading();
    std::size_t bytesLoaded() const { return m_raw.size(); }
    std::size_t bytesTotal() const;
    std::size_t framesLoaded() const;
    bool ready() const { return m_root != nullptr; }

    // Facts.
    const Header& header() const;
    Rgba background() const;
    bool isActionScript3() const;
    const Movie* movie() const { return m_movie.get(); }

    // Time.
    void advance();
    // Runs the scripts that wait (the first frame's wait for the first advance, goto or render).
    void runScripts();
    // Moves the clock; intervals and timeouts whose time came run now.
    void tick(double milliseconds);
    double clock() const { return m_clockMs; }
    void play();
    void stop();
    bool isPlaying() const;
    void gotoFrame(std::size_t frame);
    void nextFrame();
    void prevFrame();
    void rewind();
    std::size_t currentFrame() const;
    std::size_t totalFrames() const;
    void setLooping(bool looping) { m_looping = looping; }
    bool looping() const { return m_looping; }

    // View.
    void render(RenderBackend& backend, const View& view);
    // The quality in use: auto-low and auto-high switch after a run of late or timely frames.
    Quality effectiveQuality(Quality asked) const;
    void reportFrameTiming(bool late);
    void toggleQuality() { m_qualityToggled = !m_qualityToggled; }

    // Input (in target pixels); buttons and scripts answer them. Keys are numbered as the desktop numbers
    // them: characters by their code (letters upper case), other keys from 0x01000000 (Escape) on.
    void pointerMove(double x, double y);
    void pointerPress(double x, double y);
    void pointerRelease(double x, double y);
    void wheel(int delta);
    void keyPress(int key);
    void keyRelease(int key);
    // True while the pointer is over an enabled button or a clip with button handlers that shows the hand.
    bool handCursor() const;

    // Sound: fills `frames` interleaved stereo 16-bit frames at `rate` with what the movie plays (an
    // output pulls it as it goes; its pace keeps stream sound and pictures together).
    std::size_t mixAudio(std::int16_t* out, std::size_t frames, int rate);
    // Volume, mute and the sounds scripts start.
    audio::SoundPlayer& sounds() { return *m_sounds; }
    // Silences every sound (the StopSounds action; stopping the movie).
    void stopSounds();

    void setListener(PlayerListener* listener) { m_listener = listener; }
    // Where this movie's SharedObject data is kept; empty (the default) keeps it only while the movie runs.
    void setSharedObjectFolder(std::string folder) { m_sharedObjectFolder = std::move(folder); }
    const std::string& sharedObjectFolder() const { return m_sharedObjectFolder; }
    // The user's language as scripts see it ("zh-CN", "en").
    void setLanguage(std::string language) { m_language = std::move(language); }
    // Lowers the actions and script time one frame's scripts may take before the movie is stopped
    // (the fuzz target and other tools that must finish quickly).
    void setScriptBudget(std::uint64_t actions, double milliseconds);
    const std::string& language() const { return m_language; }
    PlayerListener& listener();
    Clip* root() { return m_root.get(); }
    // The root clip of a level (0: the movie itself), null where nothing is loaded; the level of a root clip or -1.
    Clip* level(int n);
    int levelOf(const Clip* clip) const;
    std::vector<Clip*> levelRoots() const;  // the roots of the levels above 0, lowest first
    // Puts a movie in a level (above 0) or takes it away (null); level 0 takes the movie into the root clip.
    void setLevel(int n, std::shared_ptr<const Movie> movie);
    // Reads a movie the movie loads, with what that one imports, or a picture (JPEG, PNG, GIF) made a movie of
    // one frame. `arrived` says whether the bytes came, whether or not they held a movie.
    struct Fetched {
        bool arrived = false;
        std::shared_ptr<const Movie> movie;
    };
    Fetched fetchMovie(const std::string& url);
    // Every clip of the movie, in the order their frames run.
    ExecutionList& clips() { return m_clips; }
    // Sends one message through the listener as an FSCommand or a web address request.
    void sendUrl(const std::string& url, const std::string& target);
    // The address the movie came from (its _url); empty when not told.
    void setUrl(const std::string& url) { m_url = url; }
    const std::string& url() const { return m_url; }
    // The answer to a listener's requestText: the text, or ok false when it could not be had. The script
    // hears it at the next frame's timer run; a request nobody waits for is ignored.
    void textArrived(int request, bool ok, const std::string& text);
    // What the movie's scripts ask of the stage (Stage.scaleMode, Stage.align): once set, they override the
    // view's. The scale mode reads back as the view's until a script sets it.
    void setStageScaleMode(ScaleMode mode) { m_stageScale = mode; }
    ScaleMode stageScaleMode() const { return m_stageScale.value_or(m_viewScale); }
    void setStageAlign(std::uint8_t flags) { m_stageAlign = flags; }
    std::uint8_t stageAlign() const { return m_stageAlign; }
    // The size in pixels of the target the movie was last drawn into; the stage's size before the first.
    int viewWidth() const;
    int viewHeight() const;
    // True once a script limit stopped the movie's scripts.
    bool scriptsHalted() const { return m_scriptsHalted; }

private:
    void rebuild();
    void runActions();
    void runTimers(int rounds);
    void startScripts();
    void checkScriptLimit();
    void stepClips(const ClipContext& context);
    // What the clips need from this player while they play; removed clips ask the scripts whether to wait.
    ClipContext clipContext();
    // The pointer's position on the stage (twips) from target pixels, by the last rendered view.
    void pointerToStage(double x, double y);

    std::vector<std::uint8_t> m_raw;
    std::size_t m_decodedSize = 0;  // bytes the current movie was decoded from
    std::shared_ptr<const Movie> m_movie;
    ExecutionList m_clips;                 // before the clips, which leave it when they go
    std::unique_ptr<ScriptHost> m_script;  // before the root: clips tell it when they go
    std::unique_ptr<Clip> m_root;
    std::map<int, std::unique_ptr<Clip>> m_levels;  // movies loaded into levels above 0
    ActionQueue m_actions;
    std::unique_ptr<audio::SoundPlayer> m_sounds;
    GeometryCache m_geometry;
    CommandList m_commands;
    PlayerListener m_silent;
    PlayerListener* m_listener = nullptr;
    std::string m_sharedObjectFolder;
    std::string m_language = "en";
    std::uint64_t m_scriptActions = ~std::uint64_t(0);
    double m_scriptMs = 1e300;
    double m_clockMs = 0;
    bool m_looping = true;
    bool m_qualityToggled = false;
    int m_lateRun = 0, m_timelyRun = 0;
    bool m_autoLowered = false, m_autoRaised = false;
    bool m_failed = false;
    bool m_scriptsHalted = false;
    std::string m_url;
    Matrix m_stageToPixels;
    bool m_viewKnown = false;
    std::optional<ScaleMode> m_stageScale;
    ScaleMode m_viewScale = ScaleMode::ShowAll;
    std::uint8_t m_stageAlign = 0;
    int m_viewWidth = 0, m_viewHeight = 0;
};

}  // namespace swf
