// The movie's sound through swf::Player: event sounds its frames start (envelopes, loops, no-multiple,
// sync stop, StopSounds), the stream sound kept with the timeline over goto, pause, waiting and
// skipping, volume and mute, output at other rates, and the calls scripts will use.
#include "audiohelpers.h"

#include "swf/audio/soundplayer.h"
#include "swf/player.h"

#include "swfwriter/soundparts.h"
#include "swfwriter/swfwriter.h"
#include "swfwriter/movieparts.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kivamo::test;

namespace {

constexpr std::uint16_t kDefineSound = 14, kStartSound = 15, kSoundStreamBlock = 19, kExportAssets = 56,
                        kSoundStreamHead2 = 45, kDoAction = 12;
constexpr std::size_t kFrameSamples = 4410;  // one frame at 10 frames per second, 44.1 kHz

std::vector<std::int16_t> level(double value, std::size_t frames)
{
    return std::vector<std::int16_t>(frames, std::int16_t(std::lrint(value * 32768)));
}

std::unique_ptr<swf::Player> load(const Bytes& bytes)
{
    auto player = swf::Player::fromBytes(bytes.data(), bytes.size());
    EXPECT_TRUE(player.ok());
    return player.ok() ? std::move(player.value()) : nullptr;
}

// The left channel of `frames` mixed frames at 44.1 kHz, as fractions of full level.
std::vector<double> pull(swf::Player& player, std::size_t frames, int rate = 44100)
{
    std::vector<std::int16_t> out(2 * frames, 12345);
    EXPECT_EQ(player.mixAudio(out.data(), frames, rate), frames);
    std::vector<double> left;
    for (std::size_t i = 0; i < frames; ++i)
        left.push_back(out[2 * i] / 32767.0);
    return left;
}

// A movie at 10 frames per second whose sound 1 is a constant 0.25 for 0.1 s (44.1 kHz mono, 16-bit),
// exported as "tone"; frame f holds the tags extra[f] (then ShowFrame), for as many frames as given.
Bytes eventMovie(const std::vector<std::vector<std::pair<std::uint16_t, Bytes>>>& extra)
{
    SwfWriter w(8, {0, 2000, 0, 2000}, 10 << 8);
    w.tag(kDefineSound, defineSoundBody(1, soundFormatByte(3, 3, true, false), kFrameSamples,
                                        pcmBytes(level(0.25, kFrameSamples))));
    w.tag(kExportAssets, exportAssetsBody({{1, "tone"}}));
    for (const auto& frame : extra) {
        for (const auto& [code, body] : frame)
            w.tag(code, body);
        w.showFrame();
    }
    return w.finish();
}

// A movie at 10 frames per second with a stream sound of `frames` blocks at 44.1 kHz mono, block f a
// constant level of (f + 1) / 64, so the level heard tells the frame it belongs to.
Bytes streamMovie(int frames)
{
    SwfWriter w(8, {0, 2000, 0, 2000}, 10 << 8);
    w.tag(kSoundStreamHead2, soundStreamHeadBody(soundFormatByte(3, 3, true, false), kFrameSamples));
    for (int f = 0; f < frames; ++f) {
        w.tag(kSoundStreamBlock, pcmBytes(level((f + 1) / 64.0, kFrameSamples)));
        w.showFrame();
    }
    return w.finish();
}

int frameHeard(double value)
{
    return int(std::lround(value * 64)) - 1;
}

}  // namespace

TEST(SoundPlayer, EventSoundsFollowTheirStartTags)
{
    struct Case {
        const char* name;
        std::vector<double> expected;  // left level at 0, 0.05, 0.1, 0.15, 0.2 s
    };
    const Case cases[] = {
        {"plain", {0.25, 0.25, 0, 0, 0}},
        {"envelope at half level on the left", {0.125, 0.125, 0, 0, 0}},
        {"two loops", {0.25, 0.25, 0.25, 0.25, 0}},
        {"in and out points", {0.25, 0, 0, 0, 0}},
    };
    auto infoFor = [](std::size_t index) {
        WriterSoundInfo info;
        if (index == 1)
            info.envelope = {{0, {16384, 32768}}, {8820, {16384, 32768}}};
        if (index == 2)
            info.loops = 2;
        if (index == 3) {
            info.inPoint = 1000;
            info.outPoint = 3205;  // half the sound
        }
        return info;
    };
    for (std::size_t index = 0; index < std::size(cases); ++index) {
        const Case& c = cases[index];
        auto player = load(eventMovie({{{kStartSound, startSoundBody(1, infoFor(index))}}}));
        std::vector<double> left = pull(*player, 5 * 2205);
        for (std::size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_NEAR(left[i * 2205 + 10], c.expected[i], 0.001) << c.name << " at " << i;
    }
}

TEST(SoundPlayer, NoMultipleSyncStopAndStopSounds)
{
    WriterSoundInfo noMultiple;
    noMultiple.noMultiple = true;
    WriterSoundInfo stop;
    stop.syncStop = true;
    Bytes stopSounds = actions({Bytes{0x09}});
    auto player = load(eventMovie({{{kStartSound, startSoundBody(1)}},
                                   {{kStartSound, startSoundBody(1, noMultiple)}},
                                   {{kStartSound, startSoundBody(1)}},
                                   {{kStartSound, startSoundBody(1, stop)}},
                                   {{kStartSound, startSoundBody(1)}},
                                   {{kDoAction, stopSounds}}}));
    auto levelAfterAdvance = [&] {
        player->advance();
        return pull(*player, 10)[5];
    };
    EXPECT_NEAR(pull(*player, 10)[5], 0.25, 0.001);  // frame 0 starts it
    EXPECT_NEAR(levelAfterAdvance(), 0.25, 0.001);   // frame 1: no second copy while one plays
    EXPECT_NEAR(levelAfterAdvance(), 0.50, 0.001);   // frame 2: a second copy
    EXPECT_NEAR(levelAfterAdvance(), 0.0, 0.001);    // frame 3: sync stop ends both
    EXPECT_NEAR(levelAfterAdvance(), 0.25, 0.001);   // frame 4
    EXPECT_NEAR(levelAfterAdvance(), 0.0, 0.001);    // frame 5 runs StopSounds
}

TEST(SoundPlayer, ScriptsStartStopPanAndHearTheEnd)
{
    auto player = load(eventMovie({{}, {}, {}}));
    swf::audio::SoundPlayer& sounds = player->sounds();
    std::vector<swf::audio::SoundPlayer::Handle> completed;
    sounds.setCompletionCallback([&](swf::audio::SoundPlayer::Handle h) { completed.push_back(h); });
    EXPECT_EQ(sounds.start("no such sound"), 0u);
    EXPECT_EQ(sounds.start(99), 0u);
    EXPECT_NEAR(sounds.durationMs(1), 100.0, 0.1);
    auto handle = sounds.start("tone", 50.0);  // from the middle
    ASSERT_NE(handle, 0u);
    sounds.setLevel(handle, 0.5, 1.0);  // fully right at half level
    std::vector<std::int16_t> out(2 * 100);
    player->mixAudio(out.data(), 100, 44100);
    EXPECT_EQ(out[100], 0);
    EXPECT_NEAR(out[101] / 32767.0, 0.125, 0.001);
    EXPECT_NEAR(sounds.positionMs(handle), 50.0 + 100 / 44.1, 0.1);
    EXPECT_TRUE(sounds.isPlaying(handle));
    pull(*player, 4000);
    EXPECT_FALSE(sounds.isPlaying(handle));
    EXPECT_TRUE(completed.empty());  // scripts hear of it with the next frame
    player->advance();
    EXPECT_EQ(completed, std::vector<swf::audio::SoundPlayer::Handle>{handle});
    // A stopped sound does not report completion.
    auto second = sounds.start(1, 0, 3);
    sounds.stop(second);
    pull(*player, 100);
    player->advance();
    EXPECT_EQ(completed.size(), 1u);
}

TEST(SoundPlayer, StreamStaysWithTheTimelineOverGotoAndPause)
{
    auto player = load(streamMovie(40));
    // Pulling one frame's sound per frame hears each frame's own block.
    for (int f = 0; f < 5; ++f) {
        std::vector<double> left = pull(*player, kFrameSamples);
        EXPECT_EQ(frameHeard(left[100]), f);
        EXPECT_EQ(frameHeard(left[4300]), f);
        player->advance();
    }
    // A jump drops the sound queued from before and starts at the target frame's first sample.
    player->gotoFrame(20);
    EXPECT_EQ(frameHeard(pull(*player, kFrameSamples)[0]), 20);
    player->advance();
    EXPECT_EQ(frameHeard(pull(*player, kFrameSamples)[0]), 21);
    // Pausing silences the stream; playing on resumes with the next frame's sound.
    player->advance();
    player->stop();
    EXPECT_EQ(pull(*player, 100)[50], 0.0);
    player->advance();
    EXPECT_EQ(player->currentFrame(), 22u);
    player->play();
    player->advance();
    EXPECT_EQ(frameHeard(pull(*player, kFrameSamples)[0]), 23);
    // Stepping while stopped plays the stepped-to frame's sound.
    player->stop();
    player->nextFrame();
    EXPECT_EQ(frameHeard(pull(*player, 1000)[500]), 24);
    // Steps while no output plays queue their frames' sound; playing on drops it and starts afresh.
    player->nextFrame();
    player->nextFrame();
    player->play();
    player->advance();
    EXPECT_EQ(player->currentFrame(), 27u);
    EXPECT_EQ(frameHeard(pull(*player, kFrameSamples)[0]), 27);
    // Rewinding resets every sound.
    player->play();
    player->rewind();
    EXPECT_EQ(pull(*player, 100)[50], 0.0);
}

TEST(SoundPlayer, LoopingToTheFirstFramePlaysTheLastFrameOut)
{
    // Five frames, pulled half a frame behind: after the loop the rest of frame 4 is heard, then frame 0.
    auto player = load(streamMovie(5));
    pull(*player, kFrameSamples / 2);
    for (int tick = 0; tick < 4; ++tick) {
        player->advance();
        pull(*player, kFrameSamples);
    }
    player->advance();
    ASSERT_EQ(player->currentFrame(), 0u);
    std::vector<double> left = pull(*player, kFrameSamples);
    EXPECT_EQ(frameHeard(left[10]), 4);
    EXPECT_EQ(frameHeard(left[kFrameSamples - 10]), 0);
}

TEST(SoundPlayer, TimelineWaitsForOrSkipsAheadToItsSound)
{
    // An output that takes a third of a frame's sound per frame: the pictures would run ahead, so the
    // timeline waits; it never leads the sound by more than a few frames.
    auto slow = load(streamMovie(200));
    std::size_t pulled = 0;
    for (int tick = 0; tick < 60; ++tick) {
        slow->advance();
        pull(*slow, kFrameSamples / 3);
        pulled += kFrameSamples / 3;
        double soundFrame = double(pulled) / kFrameSamples;
        EXPECT_LE(double(slow->currentFrame()), soundFrame + 4.5) << tick;
    }
    EXPECT_GE(slow->currentFrame(), 17u);
    // An output that takes three frames' sound per frame: frames are skipped to keep up.
    auto fast = load(streamMovie(200));
    pulled = 0;
    for (int tick = 0; tick < 20; ++tick) {
        pull(*fast, 3 * kFrameSamples);
        pulled += 3 * kFrameSamples;
        fast->advance();
    }
    EXPECT_GE(double(fast->currentFrame()), double(pulled) / kFrameSamples - 4);
    // An output that pulls unevenly (more, then less) is not mistaken for a lag: no frame is skipped.
    auto uneven = load(streamMovie(200));
    for (int tick = 0; tick < 39; ++tick) {
        pull(*uneven, tick % 3 == 0 ? kFrameSamples + 4500 : kFrameSamples - 2250);
        uneven->advance();
    }
    EXPECT_EQ(uneven->currentFrame(), 39u);
    // Without an output pulling sound the timeline keeps its own pace.
    auto unheard = load(streamMovie(200));
    for (int tick = 0; tick < 50; ++tick)
        unheard->advance();
    EXPECT_EQ(unheard->currentFrame(), 50u);
}

TEST(SoundPlayer, VolumeMuteAndOutputRate)
{
    auto player = load(streamMovie(10));
    player->sounds().setVolume(0.5);
    EXPECT_NEAR(pull(*player, 100)[50], 1 / 128.0, 0.0005);
    player->sounds().setMuted(true);
    EXPECT_EQ(pull(*player, 100)[50], 0.0);
    player->sounds().setMuted(false);
    player->sounds().setVolume(1.0);
    // At 48 kHz the same sound comes out at the same level, resampled.
    std::vector<double> left = pull(*player, 2000, 48000);
    EXPECT_NEAR(left[1000], 1 / 64.0, 0.001);
}

TEST(SoundPlayer, StreamGoesOnWhileTheMovieArrives)
{
    // The movie arrives in pieces; each piece that grows the root timeline must not cut its sound: half
    // a frame's sound is left queued at every step, and it is still heard after the next piece.
    Bytes bytes = streamMovie(30);
    swf::Player player;
    std::size_t piece = bytes.size() / 8, given = 0;
    auto give = [&](std::size_t count) {
        count = std::min(count, bytes.size() - given);
        ASSERT_TRUE(player.appendBytes(bytes.data() + given, count));
        given += count;
    };
    give(piece * 2);
    ASSERT_TRUE(player.ready());
    std::vector<double> left = pull(player, kFrameSamples / 2);
    EXPECT_EQ(frameHeard(left[0]), 0);
    for (int step = 0; step < 6; ++step) {
        std::size_t frame = player.currentFrame();
        player.advance();
        give(piece);
        if (given == bytes.size())
            player.finishLoading();
        left = pull(player, kFrameSamples);
        EXPECT_EQ(frameHeard(left[10]), int(frame)) << step;  // the rest of the frame before
        if (player.currentFrame() > frame) {
            EXPECT_EQ(frameHeard(left[kFrameSamples - 10]), int(frame) + 1) << step;
        }
    }
}

namespace {

// The lengths of the MPEG-2 layer III frames (22.05 kHz) in a run of MP3 data.
std::vector<std::size_t> mp3FrameLengths(const Bytes& mp3)
{
    static const int kBitrates[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
    std::vector<std::size_t> lengths;
    for (std::size_t at = 0; at + 4 <= mp3.size();) {
        if (mp3[at] != 0xFF || (mp3[at + 1] & 0xE0) != 0xE0)
            break;
        std::size_t length = std::size_t(72000 * kBitrates[mp3[at + 2] >> 4] / 22050 + ((mp3[at + 2] >> 1) & 1));
        if (length == 0)
            break;
        lengths.push_back(length);
        at += length;
    }
    return lengths;
}

}  // namespace

TEST(SoundPlayer, Mp3StreamStartsAtTheRightSampleAfterAGoto)
{
    // A 1 kHz tone as 22.05 kHz MP3 at 10 fps: each frame's block (but the first, which starts with
    // the first MP3 frame) holds the MP3 frames from the one that contains the frame's first sample,
    // and its seek count says how many samples of that MP3 frame (with the codec's delay) come before
    // it. After a jump the tone goes on in phase, as if it had played from the start. The first MP3
    // frames after a jump lack the bits earlier frames lent them, so the comparison starts after them.
    const int rate = 22050, perFrame = 2205, frames = 30;
    int delay = 0;
    Bytes mp3 = encodeMp3(tone(1000, rate, std::size_t(perFrame * frames), 0.5), 1, rate, &delay);
    std::vector<std::size_t> lengths = mp3FrameLengths(mp3);
    ASSERT_GT(lengths.size() * 576, std::size_t(perFrame * (frames - 2) + delay));
    std::vector<std::size_t> offsets{0};
    for (std::size_t length : lengths)
        offsets.push_back(offsets.back() + length);
    SwfWriter w(8, {0, 2000, 0, 2000}, 10 << 8);
    w.tag(kSoundStreamHead2, soundStreamHeadBody(soundFormatByte(2, 2, true, false), perFrame, std::int16_t(delay)));
    auto firstMp3Frame = [&](int frame) {
        return frame == 0 ? 0 : std::min(lengths.size(), std::size_t((frame * perFrame + delay) / 576));
    };
    for (int f = 0; f < frames - 2; ++f) {
        std::size_t from = firstMp3Frame(f), to = firstMp3Frame(f + 1);
        ByteWriter block;
        block.u16(std::uint16_t(perFrame)).s16(std::int16_t(f * perFrame + delay - int(from) * 576));
        block.bytes(Bytes(mp3.begin() + std::ptrdiff_t(offsets[from]), mp3.begin() + std::ptrdiff_t(offsets[to])));
        w.tag(kSoundStreamBlock, block.data());
        w.showFrame();
    }
    auto player = load(w.finish());
    auto expectTone = [&](double startSeconds, const char* what) {
        std::vector<double> left = pull(*player, kFrameSamples);
        double worst = 0;
        for (std::size_t n = 2400; n < 3400; ++n) {
            double t = startSeconds + double(n) / 44100;
            worst = std::max(worst, std::fabs(left[n] - 0.5 * std::sin(2 * M_PI * 1000 * t)));
        }
        EXPECT_LT(worst, 0.08) << what;
    };
    expectTone(0.0, "from the start");
    player->gotoFrame(15);
    expectTone(1.5, "after a jump forward");
    player->gotoFrame(4);
    expectTone(0.4, "after a jump back");
}

TEST(SoundPlayer, SpriteStreamsPlayWhileTheSpriteIsThere)
{
    // Sprite 1 has its own stream (blocks at a quarter level) beside the root's (at 1/64); it is placed
    // in frame 0 and removed in frame 2, which silences its stream but not the root's.
    SwfWriter w(8, {0, 2000, 0, 2000}, 10 << 8);
    std::vector<std::pair<std::uint16_t, Bytes>> spriteTags{
        {kSoundStreamHead2, soundStreamHeadBody(soundFormatByte(3, 3, true, false), kFrameSamples)}};
    for (int f = 0; f < 5; ++f) {
        spriteTags.push_back({kSoundStreamBlock, pcmBytes(level(0.25, kFrameSamples))});
        spriteTags.push_back({1, {}});
    }
    w.tag(39, spriteBody(1, 5, spriteTags));
    w.tag(kSoundStreamHead2, soundStreamHeadBody(soundFormatByte(3, 3, true, false), kFrameSamples));
    for (int f = 0; f < 4; ++f) {
        Placement sprite;
        sprite.characterId = 1;
        if (f == 0)
            w.tag(26, placeObject2(sprite));
        if (f == 2)
            w.tag(28, removeObject2(1));
        w.tag(kSoundStreamBlock, pcmBytes(level(1 / 64.0, kFrameSamples)));
        w.showFrame();
    }
    auto player = load(w.finish());
    const double heard[] = {0.25 + 1 / 64.0, 0.25 + 1 / 64.0, 1 / 64.0, 1 / 64.0};
    for (double expected : heard) {
        std::vector<double> left = pull(*player, kFrameSamples);
        EXPECT_NEAR(left[100], expected, 0.001) << player->currentFrame();
        EXPECT_NEAR(left[kFrameSamples - 100], expected, 0.001) << player->currentFrame();
        player->advance();
    }
}
