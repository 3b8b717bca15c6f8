// Sound.loadSound: an MP3 file the movie reads through its listener, decoded whole, reported to onLoad after
// the asking script, started at once when streaming; files that are missing or are no MP3 report failure.
#include "audiohelpers.h"
#include "swf/audio/sounddecoder.h"
#include "swf/audio/soundplayer.h"
#include "swf_script/scriptmovie.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace scripttest;
using kivamo::test::SwfWriter;

// s = new Sound(); s.onLoad = function (ok) { trace("loaded " + ok); trace(s.duration); }; s.loadSound(url, streaming)
Bytes loadSoundMovie(const std::string& url, bool streaming)
{
    Asm onLoad = Asm().str("loaded ").reg(1).a(op::Add2).trace().get("s").str("duration").a(op::GetMember).trace();
    Asm script = Asm().str("s").num(0).str("Sound").a(op::NewObject).a(op::SetVariable)
                     .get("s").str("onLoad").function2("", 2, 0, {{1, "ok"}}, onLoad).a(op::SetMember)
                     .boolean(streaming).str(url).num(2).get("s").str("loadSound").a(op::CallMethod).a(op::Pop)
                     .str("asked").trace().a(op::Stop);
    SwfWriter w(8);
    w.tag(tag::DoAction, block(script)).showFrame();
    return w.finish();
}

std::vector<std::int16_t> mixed(swf::Player& player, std::size_t frames)
{
    std::vector<std::int16_t> out(frames * 2);
    player.mixAudio(out.data(), frames, 44100);
    return out;
}

bool silent(const std::vector<std::int16_t>& samples)
{
    for (std::int16_t v : samples)
        if (v != 0)
            return false;
    return true;
}

TEST(LoadSound, Mp3FilesDecodeWholeAndOtherBytesFail)
{
    const Bytes mp3 = kivamo::test::encodeMp3(kivamo::test::tone(440, 44100, 44100), 1, 44100);
    auto sound = swf::audio::decodeMp3File(mp3.data(), mp3.size());
    ASSERT_TRUE(sound.ok());
    EXPECT_NEAR(double(sound->frames()), 44100.0, 2500.0);  // a second, give or take the encoder's padding
    const Bytes text{'h', 'e', 'l', 'l', 'o'};
    EXPECT_FALSE(swf::audio::decodeMp3File(text.data(), text.size()).ok());
    EXPECT_FALSE(swf::audio::decodeMp3File(nullptr, 0).ok());
}

TEST(LoadSound, OnLoadHearsTheResultAfterTheAskingScript)
{
    const Bytes mp3 = kivamo::test::encodeMp3(kivamo::test::tone(440, 44100, 22050), 1, 44100);
    const struct {
        const char* url;
        bool streaming;
        bool audible;  // heard right after loading
        const char* report;
    } cases[] = {
        {"beat.mp3", true, true, "loaded true"},
        {"beat.mp3", false, false, "loaded true"},
        {"missing.mp3", true, false, "loaded false"},
        {"notes.txt", true, false, "loaded false"},
    };
    for (const auto& c : cases) {
        Library files;
        files.files["beat.mp3"] = mp3;
        files.files["notes.txt"] = {'a', '=', '1'};
        const Bytes movie = loadSoundMovie(c.url, c.streaming);
        auto made = swf::Player::fromBytes(movie.data(), movie.size());
        ASSERT_TRUE(made.ok());
        std::unique_ptr<swf::Player> player = std::move(made).value();
        player->setListener(&files);
        player->runScripts();
        player->advance();
        ASSERT_EQ(files.lines.size(), 3u) << c.url;
        EXPECT_EQ(files.lines[0], "asked") << c.url;
        EXPECT_EQ(files.lines[1], c.report) << c.url;
        if (std::string(c.report) == "loaded true") {
            // Half a second in milliseconds, give or take the encoder's padding.
            EXPECT_NEAR(std::stod(files.lines[2]), 500.0, 60.0);
        } else {
            EXPECT_EQ(files.lines[2], "undefined");
        }
        EXPECT_EQ(!silent(mixed(*player, 4410)), c.audible) << c.url << " " << c.streaming;
        player->setListener(nullptr);
    }
}

}  // namespace
