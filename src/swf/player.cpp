#include "swf/player.h"

#include "swf/audio/soundplayer.h"
#include "swf/limits.h"
#include "swf/avm1/vm.h"
#include "swf/movie/movieloading.h"
#include "swf/movieloads.h"
#include "swf/scripthost.h"

#include <cctype>

#include <algorithm>

namespace swf {

namespace {

constexpr int kAutoQualityRun = 8;
const Header kNoHeader{};

}  // namespace

Player::Player() : m_sounds(std::make_unique<audio::SoundPlayer>()) {}

Player::~Player()
{
    // Clips go before the script host they report to.
    m_levels.clear();
    m_root.reset();
}

Result<std::unique_ptr<Player>> Player::fromBytes(const std::uint8_t* data, std::size_t size, PlayerListener* listener)
{
    auto player = std::make_unique<Player>();
    player->setListener(listener);
    if (!player->appendBytes(data, size))
        return Result<std::unique_ptr<Player>>::failure("not an SWF movie");
    player->finishLoading();
    if (!player->m_movie)
        return Result<std::unique_ptr<Player>>::failure("truncated header");
    return player;
}

bool Player::appendBytes(const std::uint8_t* data, std::size_t size)
{
    if (m_failed)
        return false;
    m_raw.insert(m_raw.end(), data, data + size);
    if (m_raw.size() < 3)
        return true;
    std::string signature(m_raw.begin(), m_raw.begin() + 3);
    if (signature != "FWS" && signature != "CWS" && signature != "ZWS") {
        m_failed = true;
        return false;
    }
    // The movie is decoded again only when the bytes grew by a quarter (or all arrived), so a movie that
    // arrives in many small chunks costs a bounded multiple of one decode rather than one per chunk.
    bool complete = m_movie && m_raw.size() >= m_movie->header.fileLength && m_movie->header.compression == Compression::None;
    if (m_raw.size() >= m_decodedSize + m_decodedSize / 4 + 1 || complete)
        rebuild();
    return true;
}

void Player::finishLoading()
{
    if (!m_failed && m_raw.size() != m_decodedSize)
        rebuild();
}

void Player::rebuild()
{
    auto file = parseSwf(m_raw.data(), m_raw.size());
    if (!file)
        return;  // the header has not arrived yet
    m_decodedSize = m_raw.size();
    std::size_t before = m_movie ? m_movie->framesLoaded : 0;
    MovieFetcher fetch = [this](const std::string& url, std::vector<std::uint8_t>& bytes) {
        return listener().loadMovie(url, bytes);
    };
    auto movie = resolveImports(buildMovie(file.value()), fetch);
    if (m_movie && movie->framesLoaded == before && !movie->complete)
        return;  // nothing new to show yet
    m_movie = movie;
    m_sounds->setMovie(movie);
    if (movie->framesLoaded == 0)
        return;
    if (m_script)
        m_script->setMovie(m_movie);
    ClipContext context = clipContext();
    if (!m_root) {
        startScripts();
        m_root = std::make_unique<Clip>(m_movie->root, m_movie->root.get(), nullptr);
        m_root->setSnapshots(std::make_unique<SnapshotCache>());
        m_root->setAvailableFrames(m_movie->framesLoaded);
        m_clips.add(*m_root);
        m_root->enterFirstFrame(context);
        // The first frame's scripts wait for the first advance, goto or render, so that a listener set
        // after loading still hears what they send.
    } else {
        m_root->resetTimeline(m_movie->root, m_movie->root.get());
        m_root->setAvailableFrames(m_movie->framesLoaded);
    }
}

std::size_t Player::bytesTotal() const
{
    return m_movie ? std::max<std::size_t>(m_movie->header.fileLength, m_raw.size()) : m_raw.size();
}

std::size_t Player::framesLoaded() const
{
    return m_movie ? m_movie->framesLoaded : 0;
}

const Header& Player::header() const
{
    return m_movie ? m_movie->header : kNoHeader;
}

Rgba Player::background() const
{
    return m_movie ? m_movie->background : Rgba{255, 255, 255, 255};
}

bool Player::isActionScript3() const
{
    return m_movie && m_movie->actionScript3;
}

PlayerListener& Player::listener()
{
    return m_listener ? *m_listener : m_silent;
}

void Player::sendUrl(const std::string& url, const std::string& target)
{
    static const std::string prefix = "FSCommand:";
    if (url.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), url.begin(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        }))
        listener().fsCommand(url.substr(prefix.size()), target);
    else
        listener().openUrl(url, target);
}

void Player::setScriptBudget(std::uint64_t actions, double milliseconds)
{
    m_scriptActions = actions;
    m_scriptMs = milliseconds;
    if (m_script)
        m_script->vm().setFrameBudget(actions, milliseconds);
}

void Player::textArrived(int request, bool ok, const std::string& text)
{
    if (m_script)
        m_script->vm().textArrived(request, ok, text);
}

void Player::startScripts()
{
    if (!m_movie->actionScript3)
    {
        m_script = std::make_unique<ScriptHost>(*this, m_actions, m_movie);
        m_script->vm().setFrameBudget(m_scriptActions, m_scriptMs);
        if (m_movie->maxRecursionDepth > 0)
            m_script->vm().setMaxCallDepth(m_movie->maxRecursionDepth);
    }
}

void Player::runActions()
{
    if (!m_script || m_scriptsHalted) {
        m_actions.clear();
        return;
    }
    m_script->runQueue();
    checkScriptLimit();
}

void Player::checkScriptLimit()
{
    // A script that ran past the action budget or the time limit stops the movie; the machine has
    // already said why through the listener.
    if (!m_script || !m_script->stoppedByLimit())
        return;
    m_scriptsHalted = true;
    m_actions.clear();
    if (m_root)
        m_root->setPlaying(false);
}

void Player::advance()
{
    if (!m_root || m_scriptsHalted)
        return;
    if (m_script)
        m_script->beginFrame();
    runActions();
    // Movies scripts asked for arrive between frames.
    if (m_script && m_script->loads().pending()) {
        m_script->loads().run();
        checkScriptLimit();
    }
    // Intervals and timeouts due by the clock run between frames, before the timeline moves on.
    runTimers(1);
    if (m_scriptsHalted)
        return;
    int steps = m_sounds->framesToAdvance(*m_root, header().framesPerSecond());
    if (steps == 0)
        return;  // the pictures are ahead of the stream sound: this frame waits for it
    ClipContext context = clipContext();
    // Clips removed last frame that waited for their unload scripts go before the timelines move on.
    if (m_script && m_script->takeWaitingRemovals()) {
        m_root->removePending();
        for (Clip* level : levelRoots())
            level->removePending();
    }
    stepClips(context);
    runActions();
    for (; steps > 1; --steps) {  // the sound ran ahead: frames are skipped to catch up
        stepClips(context);
        runActions();
    }
    m_sounds->afterFrame(*m_root);
}

void Player::tick(double milliseconds)
{
    m_clockMs += milliseconds;
    runTimers(limits::kAvm1MaxTimerRounds);
}

// Each round fires every due timer once and then runs what their scripts queued (a clip they attached
// gets its load event before the next round).
void Player::runTimers(int rounds)
{
    for (int i = 0; i < rounds && m_script && !m_scriptsHalted && m_script->vm().timersDue(); ++i) {
        m_script->vm().runTimers();
        checkScriptLimit();
        runActions();
    }
    if (m_script)
        m_script->vm().dropTimerBacklog();
}

void Player::stepClips(const ClipContext& context)
{
    // Newest clips first, the root last; only the root may be told not to loop.
    m_clips.forEach([&](Clip& clip) { clip.step(context, &clip != m_root.get() || m_looping); });
}

std::size_t Player::mixAudio(std::int16_t* out, std::size_t frames, int rate)
{
    return m_sounds->mix(out, frames, rate);
}

void Player::stopSounds()
{
    m_sounds->stopAll();
}

void Player::runScripts()
{
    if (m_script)
        m_script->beginFrame();
    runActions();
}

void Player::play()
{
    if (m_root)
        m_root->setPlaying(true);
}

void Player::stop()
{
    if (!m_root)
        return;
    m_root->setPlaying(false);
    m_sounds->afterFrame(*m_root);
}

bool Player::isPlaying() const
{
    return m_root && m_root->isPlaying();
}

ClipContext Player::clipContext()
{
    ClipContext context{m_movie.get(), &m_actions, m_sounds.get(), &m_clips};
    context.removals = m_script.get();
    return context;
}

void Player::gotoFrame(std::size_t frame)
{
    if (!m_root)
        return;
    if (m_script)
        m_script->beginFrame();
    runActions();
    m_root->gotoFrame(frame, clipContext());
    runActions();
    m_sounds->afterFrame(*m_root);
}

void Player::nextFrame()
{
    if (m_root && m_root->currentFrame() + 1 < m_root->availableFrames())
        gotoFrame(m_root->currentFrame() + 1);
    stop();
}

void Player::prevFrame()
{
    if (m_root && m_root->currentFrame() > 0)
        gotoFrame(m_root->currentFrame() - 1);
    stop();
}

void Player::rewind()
{
    stopSounds();
    gotoFrame(0);
    stop();
}

std::size_t Player::currentFrame() const
{
    return m_root ? m_root->currentFrame() : 0;
}

std::size_t Player::totalFrames() const
{
    if (!m_movie)
        return 0;
    if (m_movie->complete)
        return std::max<std::size_t>(1, m_movie->root->frames.size());
    return std::max<std::size_t>({1, m_movie->header.frameCount, m_movie->framesLoaded});
}

Quality Player::effectiveQuality(Quality asked) const
{
    Quality q = asked;
    if (asked == Quality::AutoHigh)
        q = m_autoLowered ? Quality::Low : Quality::High;
    else if (asked == Quality::AutoLow)
        q = m_autoRaised ? Quality::High : Quality::Low;
    if (m_qualityToggled)
        q = q == Quality::Low ? Quality::High : Quality::Low;
    return q;
}

void Player::reportFrameTiming(bool late)
{
    m_lateRun = late ? m_lateRun + 1 : 0;
    m_timelyRun = late ? 0 : m_timelyRun + 1;
    if (m_lateRun >= kAutoQualityRun) {
        m_autoLowered = true;
        m_autoRaised = false;
    }
    if (m_timelyRun >= kAutoQualityRun) {
        m_autoRaised = true;
        m_autoLowered = false;
    }
}

int Player::viewWidth() const
{
    const Rect& stage = header().frameSize;
    return m_viewWidth > 0 ? m_viewWidth : std::max(1, (stage.xMax - stage.xMin) / 20);
}

int Player::viewHeight() const
{
    const Rect& stage = header().frameSize;
    return m_viewHeight > 0 ? m_viewHeight : std::max(1, (stage.yMax - stage.yMin) / 20);
}

void Player::render(RenderBackend& backend, const View& asked)
{
    View view = asked;
    m_viewScale = view.scaleMode;
    view.scaleMode = stageScaleMode();
    view.align = m_stageAlign;
    const Rect& stage = header().frameSize;
    int width = view.width > 0 ? view.width : std::max(1, (stage.xMax - stage.xMin) / 20);
    int height = view.height > 0 ? view.height : std::max(1, (stage.yMax - stage.yMin) / 20);
    const bool resized = m_viewWidth != 0 && (width != m_viewWidth || height != m_viewHeight);
    m_viewWidth = width;
    m_viewHeight = height;
    // Only a stage that does not scale tells its listeners that its size changed.
    if (resized && m_script && view.scaleMode == ScaleMode::NoScale)
        m_script->stageResized();
    runActions();
    m_commands.commands.clear();
    if (m_root && m_movie)
        buildCommands(*m_root, *m_movie, m_geometry, m_commands, backend.fontProvider());
    // Loaded levels lie above level 0, higher numbers in front.
    if (m_movie)
        for (const auto& [n, root] : m_levels)
            buildCommands(*root, *m_movie, m_geometry, m_commands, backend.fontProvider());
    RenderFrame frame;
    frame.commands = &m_commands;
    frame.width = width;
    frame.height = height;
    frame.stageToPixels = viewMatrix(stage, view, width, height);
    m_stageToPixels = frame.stageToPixels;
    m_viewKnown = true;
    frame.background = view.background ? *view.background : background();
    Quality q = effectiveQuality(view.quality);
    frame.antialias = qualityAntialias(q);
    frame.smoothBitmaps = qualitySmoothsBitmaps(q);
    backend.drawFrame(frame);
}

void Player::pointerToStage(double x, double y)
{
    if (!m_script)
        return;
    double sx = x * 20, sy = y * 20;
    if (m_viewKnown)
        m_stageToPixels.inverted().apply(x, y, sx, sy);
    m_script->setPointer(sx, sy);
}

void Player::pointerMove(double x, double y)
{
    pointerToStage(x, y);
    if (!m_script || m_scriptsHalted)
        return;
    m_script->beginFrame();
    m_script->moveDragged();
    m_script->pointerMoved();
    m_script->broadcast(clipevent::MouseMove);
    m_script->mouseMessage("onMouseMove");
    runActions();
}

void Player::pointerPress(double x, double y)
{
    pointerToStage(x, y);
    if (!m_script || m_scriptsHalted)
        return;
    m_script->beginFrame();
    m_script->pointerPressed();
    m_script->broadcast(clipevent::MouseDown);
    m_script->mouseMessage("onMouseDown");
    runActions();
}

void Player::pointerRelease(double x, double y)
{
    pointerToStage(x, y);
    if (!m_script || m_scriptsHalted)
        return;
    m_script->beginFrame();
    m_script->pointerReleased();
    m_script->broadcast(clipevent::MouseUp);
    m_script->mouseMessage("onMouseUp");
    runActions();
}

void Player::wheel(int delta)
{
    if (!m_script || m_scriptsHalted)
        return;
    m_script->beginFrame();
    m_script->mouseMessage("onMouseWheel", {avm1::Value(delta / 40)});
    runActions();
}

bool Player::handCursor() const
{
    return m_script && !m_scriptsHalted && m_script->overButton();
}

void Player::keyPress(int key)
{
    if (!m_script || m_scriptsHalted)
        return;
    m_script->beginFrame();
    m_script->keyDown(key);
    m_script->broadcast(clipevent::KeyDown);
    runActions();
}

void Player::keyRelease(int key)
{
    if (!m_script || m_scriptsHalted)
        return;
    m_script->beginFrame();
    m_script->keyUp(key);
    m_script->broadcast(clipevent::KeyUp);
    runActions();
}

}  // namespace swf
