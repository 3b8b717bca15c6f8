#include "swf/player.h"

#include "swf/audio/soundplayer.h"
#include "swf/limits.h"
#include "swf/movie/simpleactions.h"

#include <cctype>

#include <algorithm>

namespace swf {

namespace {

constexpr int kAutoQualityRun = 8;
const Header kNoHeader{};

bool containsClip(Clip& where, const Clip* wanted, int nesting = 0)
{
    if (&where == wanted)
        return true;
    if (nesting > limits::kMaxSpriteNesting)
        return false;
    for (auto& [depth, object] : where.displayList())
        if (object.clip && containsClip(*object.clip, wanted, nesting + 1))
            return true;
    return false;
}

// Carries out the simple actions of one frame block on its clip (or the clip SetTarget names).
class ClipActions : public ActionHost {
public:
    ClipActions(Player& player, Clip* clip, const ClipContext& context)
        : m_player(player), m_base(clip), m_target(clip), m_context(context) {}

    void play() override { if (m_target) m_target->setPlaying(true); }
    void stop() override { if (m_target) m_target->setPlaying(false); }
    void nextFrame() override { go(m_target ? m_target->currentFrame() + 1 : 0, false); }
    void previousFrame() override
    {
        if (m_target && m_target->currentFrame() > 0)
            go(m_target->currentFrame() - 1, false);
        else if (m_target)
            m_target->setPlaying(false);
    }
    void gotoFrame(std::size_t frame) override { go(frame, false); }
    void gotoLabel(const std::string& label) override
    {
        if (!m_target)
            return;
        long frame = labelFrame(label);
        if (frame >= 0)
            go(static_cast<std::size_t>(frame), false);
    }
    void getUrl(const std::string& url, const std::string& target) override { m_player.sendUrl(url, target); }
    void setTarget(const std::string& path) override { m_target = path.empty() ? m_base : resolve(path); }
    void toggleQuality() override { m_player.toggleQuality(); }
    void stopSounds() override { m_player.stopSounds(); }
    bool frameLoaded(std::size_t frame) override
    {
        return m_target && frame < m_target->availableFrames();
    }

private:
    // GotoFrame and GotoLabel stop the clip, as gotoAndStop does.
    void go(std::size_t frame, bool play)
    {
        if (!m_target)
            return;
        m_target->gotoFrame(frame, m_context);
        m_target->setPlaying(play);
    }

    long labelFrame(const std::string& label)
    {
        return m_target->timeline() ? m_target->timeline()->frameOfLabel(label) : -1;
    }

    Clip* resolve(const std::string& path)
    {
        Clip* clip = m_base;
        std::string part;
        std::size_t i = 0;
        if (!path.empty() && path[0] == '/') {
            clip = m_player.root();
            i = 1;
        }
        for (; i <= path.size() && clip; ++i) {
            if (i == path.size() || path[i] == '/' || path[i] == '.' || path[i] == ':') {
                if (i + 1 < path.size() && path[i] == '.' && path[i + 1] == '.' && part.empty()) {
                    part = "..";
                    ++i;
                    continue;
                }
                if (part == ".." || part == "_parent")
                    clip = clip->parent();
                else if (part == "_root" || part == "_level0")
                    clip = m_player.root();
                else if (!part.empty())
                    clip = clip->childNamed(part);
                part.clear();
            } else {
                part += path[i];
            }
        }
        return clip;
    }

    Player& m_player;
    Clip* m_base;
    Clip* m_target;
    const ClipContext& m_context;
};

}  // namespace

Player::Player() : m_sounds(std::make_unique<audio::SoundPlayer>()) {}
Player::~Player() = default;

Result<std::unique_ptr<Player>> Player::fromBytes(const std::uint8_t* data, std::size_t size)
{
    auto player = std::make_unique<Player>();
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
    auto movie = buildMovie(file.value());
    if (m_movie && movie->framesLoaded == before && !movie->complete)
        return;  // nothing new to show yet
    m_movie = movie;
    m_sounds->setMovie(movie);
    if (movie->framesLoaded == 0)
        return;
    ClipContext context{m_movie.get(), &m_actions, m_sounds.get()};
    if (!m_root) {
        m_root = std::make_unique<Clip>(m_movie->root, m_movie->root.get(), nullptr);
        m_root->setSnapshots(std::make_unique<SnapshotCache>());
        m_root->setAvailableFrames(m_movie->framesLoaded);
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

void Player::runActions()
{
    ClipContext context{m_movie.get(), &m_actions, m_sounds.get()};
    std::size_t blocks = 0;
    while (!m_actions.empty()) {
        for (const ActionQueue::Entry& e : m_actions.take()) {
            if (++blocks > limits::kMaxActionBlocksPerFrame) {
                m_actions.clear();
                listener().warning("too many frame scripts in one frame; the rest were not run");
                return;
            }
            if (!m_root || !containsClip(*m_root, e.clip))
                continue;  // the clip went away earlier in this frame
            ClipActions host(*this, e.clip, context);
            runSimpleActions(e.actions->data(), e.actions->size(), host);
        }
    }
}

void Player::advance()
{
    if (!m_root)
        return;
    runActions();
    int steps = m_sounds->framesToAdvance(*m_root, header().framesPerSecond());
    if (steps == 0)
        return;  // the pictures are ahead of the stream sound: this frame waits for it
    ClipContext context{m_movie.get(), &m_actions, m_sounds.get()};
    m_root->advance(context, m_looping);
    runActions();
    for (; steps > 1; --steps) {  // the sound ran ahead: frames are skipped to catch up
        m_root->advance(context, m_looping);
        runActions();
    }
    m_sounds->afterFrame(*m_root);
}

std::size_t Player::mixAudio(std::int16_t* out, std::size_t frames, int rate)
{
    return m_sounds->mix(out, frames, rate);
}

void Player::stopSounds()
{
    m_sounds->stopAll();
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

void Player::gotoFrame(std::size_t frame)
{
    if (!m_root)
        return;
    runActions();
    ClipContext context{m_movie.get(), &m_actions, m_sounds.get()};
    m_root->gotoFrame(frame, context);
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

void Player::render(RenderBackend& backend, const View& view)
{
    const Rect& stage = header().frameSize;
    int width = view.width > 0 ? view.width : std::max(1, (stage.xMax - stage.xMin) / 20);
    int height = view.height > 0 ? view.height : std::max(1, (stage.yMax - stage.yMin) / 20);
    runActions();
    m_commands.commands.clear();
    if (m_root && m_movie)
        buildCommands(*m_root, *m_movie, m_geometry, m_commands, backend.fontProvider());
    RenderFrame frame;
    frame.commands = &m_commands;
    frame.width = width;
    frame.height = height;
    frame.stageToPixels = viewMatrix(stage, view, width, height);
    frame.background = view.background ? *view.background : background();
    Quality q = effectiveQuality(view.quality);
    frame.antialias = qualityAntialias(q);
    frame.smoothBitmaps = qualitySmoothsBitmaps(q);
    backend.drawFrame(frame);
}

void Player::pointerMove(double, double) {}
void Player::pointerPress(double, double) {}
void Player::pointerRelease(double, double) {}
void Player::wheel(int) {}
void Player::keyPress(int) {}
void Player::keyRelease(int) {}

}  // namespace swf
