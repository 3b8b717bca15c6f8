// The Sound class over the player's sounds: a library sound started by linkage name plays at the object's
// volume, reports its duration, and onSoundComplete runs once it ends.
#include "scriptmovie.h"

#include "swf/audio/soundplayer.h"
#include "swfwriter/soundparts.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace scripttest;
using kivamo::test::SwfWriter;

constexpr std::size_t kToneFrames = 4410;  // 0.1 s at 44.1 kHz: one frame at 10 frames per second

// A movie at 10 frames per second with sound 1 (a constant 0.25, mono) exported as "tone", running
// `script` in its first frame; two more frames follow.
Bytes toneMovie(const Asm& script)
{
    SwfWriter w(8, {0, 2000, 0, 2000}, 10 << 8);
    std::vector<std::int16_t> samples(kToneFrames, std::int16_t(0.25 * 32768));
    w.tag(14, kivamo::test::defineSoundBody(1, kivamo::test::soundFormatByte(3, 3, true, false), kToneFrames,
                                            kivamo::test::pcmBytes(samples)));
    w.tag(tag::ExportAssets, kivamo::test::exportAssetsBody({{1, "tone"}}));
    w.tag(tag::DoAction, block(script)).showFrame();
    w.showFrame().showFrame();
    return w.finish();
}

Asm onS(const std::string& method, const Asm& args, int count)
{
    return Asm(args).callMethod(Asm().get("s"), method, count);
}

double leftLevel(swf::Player& player, std::size_t frames)
{
    std::vector<std::int16_t> out(2 * frames);
    player.mixAudio(out.data(), frames, 44100);
    return out[2 * (frames - 1)] / 32768.0;
}

TEST(SoundClass, AttachedSoundPlaysAtItsVolumeAndReportsCompletion)
{
    Asm script = Asm().str("s").num(0).str("Sound").a(op::NewObject).a(op::SetVariable);
    script.append(onS("attachSound", Asm().str("tone"), 1).a(op::Pop))
        .append(Asm().function("", {}, Asm().str("done").trace()).store(1).a(op::Pop))
        .append(Asm().get("s").str("onSoundComplete").reg(1).a(op::SetMember))
        .append(onS("setVolume", Asm().num(50), 1).a(op::Pop))
        .append(onS("getVolume", Asm(), 0).trace())
        .append(Asm().get("s").str("duration").a(op::GetMember).trace())
        .append(onS("start", Asm(), 0).a(op::Pop));
    MovieRun run(toneMovie(script));
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"50", "100"}));
    EXPECT_NEAR(leftLevel(*run.player, 1000), 0.125, 0.01);
    leftLevel(*run.player, kToneFrames);  // plays out
    run.player->advance();
    EXPECT_EQ(run.out.lines.back(), "done");
}

TEST(SoundClass, StopSilencesTheObjectsSoundsAndUnknownNamesAttachNothing)
{
    // The Sound is made for the root clip: its stop() ends only its own sounds.
    Asm script = Asm().str("s").get("_root").num(1).str("Sound").a(op::NewObject).a(op::SetVariable);
    script.append(onS("attachSound", Asm().str("no such sound"), 1).a(op::Pop))
        .append(Asm().get("s").str("duration").a(op::GetMember).a(op::TypeOf).trace())
        .append(onS("attachSound", Asm().str("tone"), 1).a(op::Pop))
        .append(onS("setPan", Asm().num(-100), 1).a(op::Pop))
        .append(onS("getPan", Asm(), 0).trace())
        .append(onS("start", Asm().num(2).num(0), 2).a(op::Pop))
        .append(onS("stop", Asm(), 0).a(op::Pop));
    MovieRun run(toneMovie(script));
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"undefined", "-100"}));
    EXPECT_NEAR(leftLevel(*run.player, 1000), 0.0, 1e-6);
}

TEST(SoundClass, ASoundWithoutTargetSetsTheLevelOfTheWholeMovie)
{
    // t = new Sound(_root) starts the tone; s = new Sound() halves every sound, t's too.
    Asm script = Asm().str("t").get("_root").num(1).str("Sound").a(op::NewObject).a(op::SetVariable)
                     .append(Asm().str("tone").callMethod(Asm().get("t"), "attachSound", 1).a(op::Pop))
                     .append(Asm().callMethod(Asm().get("t"), "start", 0).a(op::Pop))
                     .append(Asm().str("s").num(0).str("Sound").a(op::NewObject).a(op::SetVariable))
                     .append(onS("setVolume", Asm().num(50), 1).a(op::Pop))
                     .append(Asm().callMethod(Asm().get("t"), "getVolume", 0).trace());
    MovieRun run(toneMovie(script));
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"100"}));
    EXPECT_NEAR(leftLevel(*run.player, 1000), 0.125, 0.01);
    EXPECT_DOUBLE_EQ(run.player->sounds().scriptVolume(), 0.5);
}

TEST(SoundClass, StopOnASoundWithoutTargetStopsEverySound)
{
    // t = new Sound(_root) starts the tone; s = new Sound() stops all.
    Asm script = Asm().str("t").get("_root").num(1).str("Sound").a(op::NewObject).a(op::SetVariable)
                     .append(Asm().str("tone").callMethod(Asm().get("t"), "attachSound", 1).a(op::Pop))
                     .append(Asm().callMethod(Asm().get("t"), "start", 0).a(op::Pop))
                     .append(Asm().str("s").num(0).str("Sound").a(op::NewObject).a(op::SetVariable))
                     .append(onS("stop", Asm(), 0).a(op::Pop));
    MovieRun run(toneMovie(script));
    run.frames(1);
    EXPECT_NEAR(leftLevel(*run.player, 1000), 0.0, 1e-6);
}

}  // namespace
