// Timelines, display lists, goto, nested sprites, simple actions and streaming, through the Player.
#include "helpers.h"

#include "swf/limits.h"
#include "swfwriter/benchmovies.h"

#include <gtest/gtest.h>

namespace kivamo::test {
namespace {

constexpr std::uint16_t kPlaceObject2 = 26, kRemoveObject2 = 28, kDefineSprite = 39, kFrameLabel = 43,
                        kDoAction = 12;

// Five frames: a red square placed at depth 1 in frame 0, moved right by 100 twips each frame, removed in
// frame 3; a blue square placed at depth 2 in frame 2. Frame 4 is labelled "last".
Bytes movingSquareMovie()
{
    SwfWriter w = smallMovie();
    auto red = rectangleShape(1, {0, 200, 0, 200}, {255, 0, 0, 255});
    auto blue = rectangleShape(2, {0, 200, 0, 200}, {0, 0, 255, 255});
    w.tag(red.first, red.second).tag(blue.first, blue.second);
    w.tag(kPlaceObject2, placeObject2(placeAt(1, 1))).showFrame();
    for (int f = 1; f <= 4; ++f) {
        if (f == 3)
            w.tag(kRemoveObject2, removeObject2(1));
        else if (f < 3) {
            Placement move;
            move.depth = 1;
            move.move = true;
            move.matrix = WriterMatrix{1, 0, 0, 1, 100 * f, 0};
            w.tag(kPlaceObject2, placeObject2(move));
        }
        if (f == 2)
            w.tag(kPlaceObject2, placeObject2(placeAt(2, 2)));
        if (f == 4)
            w.tag(kFrameLabel, frameLabel("Last"));
        w.showFrame();
    }
    return w.finish();
}

const swf::DisplayObject* at(swf::Player& p, std::uint16_t depth)
{
    auto& list = p.root()->displayList();
    auto it = list.find(depth);
    return it == list.end() ? nullptr : &it->second;
}

TEST(Timeline, FramesApplyPlaceMoveAndRemoveInOrder)
{
    auto player = playerFor(movingSquareMovie());
    ASSERT_TRUE(player);
    EXPECT_EQ(player->totalFrames(), 5u);
    struct Expect {
        std::size_t frame;
        bool red;
        double redX;
        bool blue;
    };
    const Expect table[] = {{0, true, 0, false}, {1, true, 100, false}, {2, true, 200, true}, {3, false, 0, true},
                            {4, false, 0, true}};
    for (const Expect& e : table) {
        EXPECT_EQ(player->currentFrame(), e.frame);
        const swf::DisplayObject* red = at(*player, 1);
        EXPECT_EQ(red != nullptr, e.red) << e.frame;
        if (red && e.red) {
            EXPECT_DOUBLE_EQ(red->placement.matrix.tx, e.redX) << e.frame;
        }
        EXPECT_EQ(at(*player, 2) != nullptr, e.blue) << e.frame;
        player->advance();
    }
    EXPECT_EQ(player->currentFrame(), 0u);  // loops to the start
    EXPECT_EQ(at(*player, 2), nullptr);
}

TEST(Timeline, GotoInEitherDirectionEqualsPlayingThere)
{
    auto reference = playerFor(movingSquareMovie());
    std::vector<std::pair<bool, double>> states;
    for (int f = 0; f < 5; ++f) {
        const swf::DisplayObject* red = at(*reference, 1);
        states.push_back({red != nullptr, red ? red->placement.matrix.tx : 0});
        reference->advance();
    }
    auto player = playerFor(movingSquareMovie());
    for (std::size_t target : {4u, 1u, 2u, 0u, 3u, 2u, 2u, 0u}) {
        player->gotoFrame(target);
        EXPECT_EQ(player->currentFrame(), target);
        const swf::DisplayObject* red = at(*player, 1);
        EXPECT_EQ(red != nullptr, states[target].first) << target;
        if (red) {
            EXPECT_DOUBLE_EQ(red->placement.matrix.tx, states[target].second) << target;
        }
    }
    player->gotoFrame(99);  // beyond the end: the last frame
    EXPECT_EQ(player->currentFrame(), 4u);
}

TEST(Timeline, TransportControlsStopAndStepAsTheyShould)
{
    auto player = playerFor(movingSquareMovie());
    EXPECT_TRUE(player->isPlaying());
    player->nextFrame();
    EXPECT_EQ(player->currentFrame(), 1u);
    EXPECT_FALSE(player->isPlaying());
    player->advance();
    EXPECT_EQ(player->currentFrame(), 1u);  // stopped: the playhead stays
    player->prevFrame();
    player->prevFrame();  // at the first frame already: stays
    EXPECT_EQ(player->currentFrame(), 0u);
    player->play();
    player->advance();
    player->advance();
    player->rewind();
    EXPECT_EQ(player->currentFrame(), 0u);
    EXPECT_FALSE(player->isPlaying());
    player->setLooping(false);
    player->play();
    for (int i = 0; i < 10; ++i)
        player->advance();
    EXPECT_EQ(player->currentFrame(), 4u);  // without looping the movie holds its last frame
}

// A three-frame sprite (id 10) that moves its square; the root places it in frame 0 and has three frames.
Bytes spriteMovie()
{
    SwfWriter w = smallMovie();
    auto square = rectangleShape(1, {0, 100, 0, 100}, {0, 128, 0, 255});
    w.tag(square.first, square.second);
    std::vector<std::pair<std::uint16_t, Bytes>> inner;
    inner.push_back({kPlaceObject2, placeObject2(placeAt(1, 1))});
    inner.push_back({1, {}});
    for (int f = 1; f < 3; ++f) {
        Placement move;
        move.depth = 1;
        move.move = true;
        move.matrix = WriterMatrix{1, 0, 0, 1, 50 * f, 0};
        inner.push_back({kPlaceObject2, placeObject2(move)});
        inner.push_back({1, {}});
    }
    w.tag(kDefineSprite, spriteBody(10, 3, inner));
    Placement p = placeAt(1, 10);
    p.name = "mover";
    w.tag(kPlaceObject2, placeObject2(p)).showFrame().showFrame().showFrame().showFrame().showFrame();
    return w.finish();
}

TEST(Sprites, NestedTimelinesAdvanceAndSurviveGotoBackward)
{
    auto player = playerFor(spriteMovie());
    ASSERT_TRUE(player);
    const swf::DisplayObject* sprite = at(*player, 1);
    ASSERT_TRUE(sprite && sprite->clip);
    EXPECT_EQ(sprite->clip->currentFrame(), 0u);
    player->advance();
    EXPECT_EQ(at(*player, 1)->clip->currentFrame(), 1u);
    player->advance();
    EXPECT_EQ(at(*player, 1)->clip->currentFrame(), 2u);
    player->advance();
    EXPECT_EQ(at(*player, 1)->clip->currentFrame(), 0u);  // the sprite loops on its own
    swf::Clip* before = at(*player, 1)->clip.get();
    player->gotoFrame(0);  // the sprite persists at the same depth: same instance, state kept
    EXPECT_EQ(at(*player, 1)->clip.get(), before);
    double x = at(*player, 1)->clip->displayList().at(1).placement.matrix.tx;
    EXPECT_DOUBLE_EQ(x, 0);
}

TEST(Sprites, ASpriteThatPlacesItselfStopsAtTheNestingLimit)
{
    // Sprite 10's first frame places sprite 10: without a limit this recursion never ends.
    SwfWriter w = smallMovie();
    std::vector<std::pair<std::uint16_t, Bytes>> inner{{kPlaceObject2, placeObject2(placeAt(1, 10))}, {1, {}}};
    w.tag(kDefineSprite, spriteBody(10, 1, inner)).tag(kPlaceObject2, placeObject2(placeAt(1, 10))).showFrame();
    auto player = playerFor(w.finish());
    ASSERT_TRUE(player);
    int depth = 0;
    for (const swf::Clip* clip = player->root(); clip; ++depth) {
        auto it = clip->displayList().find(1);
        clip = it == clip->displayList().end() ? nullptr : it->second.clip.get();
    }
    EXPECT_EQ(depth, swf::limits::kMaxSpriteNesting + 1);
    player->advance();
    renderFrame(*player);
}

TEST(SimpleActions, SetTargetAddressesNamedChildClipsAndReturns)
{
    // The root's frame 0 says: SetTarget "mover"; Stop; SetTarget ""; GotoFrame 2 (0-based) -> the sprite
    // named "mover" stops at its first frame and the root jumps to its third frame and stops.
    auto withTarget = [](const std::string& path) {
        return ByteWriter().u8(0x8B).u16(static_cast<std::uint16_t>(path.size() + 1)).cstring(path).data();
    };
    SwfWriter w = smallMovie();
    auto square = rectangleShape(1, {0, 100, 0, 100}, {0, 128, 0, 255});
    w.tag(square.first, square.second);
    std::vector<std::pair<std::uint16_t, Bytes>> inner{{kPlaceObject2, placeObject2(placeAt(1, 1))}, {1, {}}, {1, {}}};
    w.tag(kDefineSprite, spriteBody(10, 2, inner));
    Placement p = placeAt(1, 10);
    p.name = "mover";
    w.tag(kPlaceObject2, placeObject2(p));
    w.tag(kDoAction, actions({withTarget("mover"), {0x07}, withTarget(""), actionGotoFrame(2)}));
    w.showFrame().showFrame().showFrame().showFrame();
    auto player = playerFor(w.finish());
    renderFrame(*player);  // the first frame's script runs before the first frame is drawn
    EXPECT_EQ(player->currentFrame(), 2u);
    EXPECT_FALSE(player->isPlaying());
    // The goto rebuilt frame 2 from the placements, and the sprite persisted with its state: stopped.
    swf::Clip* mover = player->root()->childNamed("mover");
    ASSERT_TRUE(mover);
    EXPECT_FALSE(mover->isPlaying());
    player->play();
    player->advance();
    EXPECT_EQ(mover->currentFrame(), 0u);
    struct Paths {
        std::string path;
        bool found;
    };
    for (const Paths& c : std::vector<Paths>{{"/mover", true}, {"_root.mover", true}, {"nobody", false}}) {
        auto movie = [&] {
            SwfWriter m = smallMovie();
            m.tag(square.first, square.second).tag(kDefineSprite, spriteBody(10, 2, inner));
            m.tag(kPlaceObject2, placeObject2(p));
            m.tag(kDoAction, actions({withTarget(c.path), {0x07}})).showFrame().showFrame();
            return m.finish();
        }();
        auto q = playerFor(movie);
        renderFrame(*q);
        EXPECT_EQ(q->root()->childNamed("mover")->isPlaying(), !c.found) << c.path;
        EXPECT_TRUE(q->isPlaying()) << c.path;  // a missing target stops nothing, not the root
    }
}

// A movie whose frame 1 says stop(), and whose frame 0 sends FSCommand "quit" with argument "now".
Bytes actionMovie(const Bytes& frame1Actions)
{
    SwfWriter w = smallMovie();
    w.tag(kDoAction, actions({actionGetUrl("FSCommand:quit", "now")})).showFrame();
    w.tag(kDoAction, frame1Actions).showFrame();
    w.tag(kFrameLabel, frameLabel("three")).showFrame();
    w.showFrame();
    return w.finish();
}

struct Recorder : swf::PlayerListener {
    std::vector<std::string> commands, urls;
    void fsCommand(const std::string& c, const std::string& a) override { commands.push_back(c + "|" + a); }
    void openUrl(const std::string& u, const std::string& t) override { urls.push_back(u + "|" + t); }
};

TEST(SimpleActions, FrameActionsControlThePlayheadAndSendCommands)
{
    struct Case {
        const char* what;
        Bytes frame1;
        std::size_t frameAfterTwoAdvances;
        bool playing;
    };
    const Case cases[] = {
        {"stop", actions({{0x07}}), 1, false},
        {"goto frame 4 (0-based 3) stops there", actions({actionGotoFrame(3)}), 3, false},
        {"goto label, then play", actions({actionGotoLabel("THREE"), {0x06}}), 3, true},
        {"unknown label does nothing", actions({actionGotoLabel("nowhere")}), 2, true},
        {"a push, then stop: the whole block runs", actions({{0x96, 0x02, 0x00, 0x08, 0x00}, {0x07}}), 1, false},
    };
    for (const Case& c : cases) {
        Recorder recorder;
        auto player = playerFor(actionMovie(c.frame1));
        player->setListener(&recorder);
        player->advance();
        player->advance();
        EXPECT_EQ(player->currentFrame(), c.frameAfterTwoAdvances) << c.what;
        EXPECT_EQ(player->isPlaying(), c.playing) << c.what;
    }
    Recorder recorder;
    auto player = playerFor(actionMovie(actions({actionGetUrl("http://example.com/", "_blank")})));
    player->setListener(&recorder);
    player->advance();
    player->gotoFrame(0);
    EXPECT_EQ(recorder.urls, (std::vector<std::string>{"http://example.com/|_blank"}));
    // Frame 0's script ran at the first advance (after the listener was set) and again after the goto.
    EXPECT_EQ(recorder.commands, (std::vector<std::string>{"quit|now", "quit|now"}));
    EXPECT_EQ(player->movie()->stats.skippedScripts, 0u);
}

TEST(SimpleActions, AGotoLoopBetweenFramesEndsInsteadOfHanging)
{
    // Frame 0 jumps to frame 1 and frame 1 back to frame 0; each goto runs the target's actions again,
    // so only the limit on scripts per frame ends the tick.
    struct Warnings : swf::PlayerListener {
        int count = 0;
        void warning(const std::string&) override { ++count; }
    } warnings;
    SwfWriter w = smallMovie();
    w.tag(kDoAction, actions({actionGotoFrame(1)})).showFrame();
    w.tag(kDoAction, actions({actionGotoFrame(0)})).showFrame();
    auto player = playerFor(w.finish());
    player->setListener(&warnings);
    player->gotoFrame(1);
    EXPECT_GE(warnings.count, 1);  // once per tick that hits the limit
    EXPECT_LT(player->currentFrame(), 2u);
}

TEST(Streaming, FramesBecomePlayableAsTheirBytesArrive)
{
    Bytes movie = movingSquareMovie();
    swf::Player player;
    std::size_t lastFrames = 0;
    bool sawPartial = false;
    for (std::size_t i = 0; i < movie.size(); i += 7) {
        std::size_t n = std::min<std::size_t>(7, movie.size() - i);
        ASSERT_TRUE(player.appendBytes(movie.data() + i, n));
        EXPECT_GE(player.framesLoaded(), lastFrames);  // never goes back
        lastFrames = player.framesLoaded();
        if (lastFrames > 0 && lastFrames < 5) {
            sawPartial = true;
            EXPECT_TRUE(player.ready());
            player.advance();
            EXPECT_LT(player.currentFrame(), lastFrames);  // never beyond what has arrived
        }
    }
    EXPECT_TRUE(sawPartial);
    player.finishLoading();
    EXPECT_EQ(player.framesLoaded(), 5u);
    EXPECT_EQ(player.totalFrames(), 5u);
    // A larger movie byte by byte (decoded again only as the bytes grow by a quarter) ends complete too.
    Bytes longMovie = longTimelineMovie(300);
    swf::Player bytewise;
    for (std::uint8_t b : longMovie)
        bytewise.appendBytes(&b, 1);
    EXPECT_EQ(bytewise.framesLoaded(), 300u);  // the last byte completes the uncompressed movie
    swf::Player notSwf;
    const std::uint8_t junk[] = {'G', 'I', 'F', '8'};
    EXPECT_FALSE(notSwf.appendBytes(junk, sizeof junk));
}

TEST(Snapshots, GotoInALongMovieMatchesReplayFromTheStart)
{
    // 200 frames: every frame moves the square one twip and every 50th frame toggles a second object.
    SwfWriter w = smallMovie();
    auto square = rectangleShape(1, {0, 100, 0, 100}, {0, 0, 0, 255});
    w.tag(square.first, square.second);
    w.tag(kPlaceObject2, placeObject2(placeAt(1, 1))).showFrame();
    for (int f = 1; f < 200; ++f) {
        Placement move;
        move.depth = 1;
        move.move = true;
        move.matrix = WriterMatrix{1, 0, 0, 1, f, 0};
        w.tag(kPlaceObject2, placeObject2(move));
        if (f % 50 == 0)
            w.tag(kPlaceObject2, placeObject2(placeAt(2, 1)));
        if (f % 50 == 25)
            w.tag(kRemoveObject2, removeObject2(2));
        w.showFrame();
    }
    auto player = playerFor(w.finish());
    for (std::size_t target : {199u, 3u, 150u, 149u, 31u, 32u, 33u, 64u, 0u, 175u}) {
        player->gotoFrame(target);
        EXPECT_DOUBLE_EQ(at(*player, 1)->placement.matrix.tx, double(target)) << target;
        bool second = target >= 50 && target % 50 < 25;
        EXPECT_EQ(at(*player, 2) != nullptr, second) << target;
    }
}

}  // namespace
}  // namespace kivamo::test

namespace kivamo::test {
namespace {

TEST(Quality, AutoModesSwitchAfterARunOfLateOrTimelyFrames)
{
    auto player = playerFor(movingSquareMovie());
    EXPECT_EQ(player->effectiveQuality(swf::Quality::AutoHigh), swf::Quality::High);
    EXPECT_EQ(player->effectiveQuality(swf::Quality::AutoLow), swf::Quality::Low);
    for (int i = 0; i < 7; ++i)
        player->reportFrameTiming(true);
    EXPECT_EQ(player->effectiveQuality(swf::Quality::AutoHigh), swf::Quality::High);  // not yet: one late frame short
    player->reportFrameTiming(true);
    EXPECT_EQ(player->effectiveQuality(swf::Quality::AutoHigh), swf::Quality::Low);
    EXPECT_EQ(player->effectiveQuality(swf::Quality::Best), swf::Quality::Best);  // fixed qualities never change
    for (int i = 0; i < 8; ++i)
        player->reportFrameTiming(false);
    EXPECT_EQ(player->effectiveQuality(swf::Quality::AutoHigh), swf::Quality::High);
    EXPECT_EQ(player->effectiveQuality(swf::Quality::AutoLow), swf::Quality::High);
    player->toggleQuality();  // ToggleQuality flips between low and high
    EXPECT_EQ(player->effectiveQuality(swf::Quality::High), swf::Quality::Low);
    EXPECT_EQ(player->effectiveQuality(swf::Quality::Low), swf::Quality::High);
}

}  // namespace
}  // namespace kivamo::test
