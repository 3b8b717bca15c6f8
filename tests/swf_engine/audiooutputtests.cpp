// The Qt audio output where there is no device: it opens nothing, takes no sound from the player, and
// the movie keeps its own pace.
#include "swf/audio/soundplayer.h"
#include "swf/player.h"
#include "swf/qt/audiooutput.h"

#include "swfwriter/soundparts.h"
#include "swfwriter/swfwriter.h"

#include <gtest/gtest.h>

using namespace kivamo::test;

TEST(AudioOutput, WithoutDeviceStaysSilentAndHarmless)
{
    // Ten frames at 10 fps, each with a 0.1 s block of 44.1 kHz mono sound at a quarter level.
    SwfWriter w(8, {0, 2000, 0, 2000}, 10 << 8);
    w.tag(45, soundStreamHeadBody(soundFormatByte(3, 3, true, false), 4410));
    for (int f = 0; f < 10; ++f) {
        w.tag(19, pcmBytes(std::vector<std::int16_t>(4410, 8192)));
        w.showFrame();
    }
    Bytes movie = w.finish();
    auto loaded = swf::Player::fromBytes(movie.data(), movie.size());
    ASSERT_TRUE(loaded.ok());
    std::unique_ptr<swf::Player> player = std::move(loaded.value());

    for (auto device : {swf::AudioOutput::Device::Default, swf::AudioOutput::Device::None}) {
        swf::AudioOutput output(device);
        EXPECT_FALSE(output.hasDevice());  // no GUI application here
        output.setPlayer(player.get());
        output.setPaused(false);
        output.feed();
        output.setPaused(true);
        EXPECT_TRUE(output.paused());
        output.setPlayer(nullptr);
        output.feed();
    }
    // Nothing was taken from the player: its first frame's sound is all still there.
    std::vector<std::int16_t> out(2 * 100);
    player->mixAudio(out.data(), 100, 44100);
    EXPECT_NEAR(out[0], 8192, 2);
    for (int i = 0; i < 9; ++i)
        player->advance();
    EXPECT_EQ(player->currentFrame(), 9u);
}
