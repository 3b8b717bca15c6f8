// Scripts of a movie whose bytes arrive in chunks: the player decodes the movie again as it grows, and the
// scripts of frames already entered, and the functions they define, must survive that.
#include "scriptmovie.h"

#include <gtest/gtest.h>

namespace {

using namespace scripttest;
using kivamo::test::SwfWriter;

TEST(ScriptStreaming, FrameScriptsSurviveTheMovieGrowing)
{
    // Frame 1: f = function () { trace("f runs"); }; trace("first").  Frame 2: f(); stop().
    SwfWriter w(8, {0, 4000, 0, 2000});
    Asm first = Asm().str("f").function("", {}, Asm().str("f runs").trace()).a(op::SetVariable);
    first.str("first").trace();
    w.tag(tag::DoAction, block(first)).showFrame();
    w.tag(tag::DoAction, block(Asm().callFunction("f", 0).a(op::Pop).a(op::Stop))).showFrame();
    const Bytes movie = w.finish();
    // Where the bytes are cut: all at once and then nothing, all but the End tag, early in the second frame.
    for (std::size_t cut : {movie.size(), movie.size() - 2, movie.size() - 12}) {
        swf::Player player;
        Recorder out;
        player.setListener(&out);
        ASSERT_TRUE(player.appendBytes(movie.data(), cut));
        ASSERT_TRUE(player.ready()) << cut;
        player.appendBytes(movie.data() + cut, movie.size() - cut);
        player.finishLoading();
        player.advance();
        player.advance();
        EXPECT_EQ(out.lines, (Lines{"first", "f runs"})) << cut;
        player.setListener(nullptr);
    }
}

}  // namespace
