// The root-timeline script runner on movies written with the SWF writer: frame order, DoInitAction, looping,
// stop, quit, the clock, and which movies need the display tree.
#include "asm.h"

#include "support/swfwriter.h"
#include "swf/format/header.h"
#include "swf/format/tags.h"

#include <gtest/gtest.h>

namespace {

using namespace avm1test;
using kivamo::test::Bytes;
using kivamo::test::SwfWriter;

MovieScripts scriptsOf(const Bytes& movie)
{
    auto file = swf::parseSwf(movie.data(), movie.size());
    EXPECT_TRUE(file.ok());
    return collectRootScripts(file.value());
}

Bytes initAction(const Asm& code)
{
    kivamo::test::ByteWriter body;
    body.u16(1).bytes(code.bytes);  // the sprite id it belongs to, then the actions
    return body.data();
}

TEST(Avm1Runner, FramesRunInOrderAndQuitStopsAfterItsFrame)
{
    // Frame 1 traces "one" after its init action traced "init"; frame 2 traces "two" and sends quit;
    // frame 3 would trace "three".
    SwfWriter w(8);
    w.tag(swf::tag::DoAction, Asm().str("one").trace().bytes).tag(swf::tag::DoInitAction, initAction(Asm().str("init").trace()));
    w.showFrame();
    w.tag(swf::tag::DoAction, Asm().str("two").trace().str("FSCommand:quit").str("").record(op::GetURL2, {0}).bytes);
    w.showFrame();
    w.tag(swf::tag::DoAction, Asm().str("three").trace().bytes).showFrame();
    const MovieScripts scripts = scriptsOf(w.finish());
    ASSERT_EQ(scripts.frames.size(), 3u);
    EXPECT_EQ(scripts.version, 8);
    EXPECT_FALSE(scripts.hasNestedScripts);
    const TraceRun run = runTrace(scripts, 10, 40);
    EXPECT_EQ(run.lines, (Lines{"init", "one", "two"}));
    EXPECT_TRUE(run.quit);
    EXPECT_EQ(run.framesRun, 2);
}

TEST(Avm1Runner, TheTimelineLoopsUntilStopped)
{
    // SWF 6, where undefined counts as 0. Frame 1: n = n + 1; trace(n); if (!(n < 2)) stop();
    // frame 2 traces "two".
    Asm frame1;
    frame1.str("n").get("n").a(op::Increment).a(op::SetVariable).get("n").trace();
    Asm stopBody;
    stopBody.a(op::Stop);
    frame1.get("n").num(2).a(op::Less2).jump(op::If, int(stopBody.bytes.size())).append(stopBody);
    SwfWriter w(6);
    w.tag(swf::tag::DoAction, frame1.bytes).showFrame();
    w.tag(swf::tag::DoAction, Asm().str("two").trace().bytes).showFrame();
    const TraceRun run = runTrace(scriptsOf(w.finish()), 8, 40);
    EXPECT_EQ(run.lines, (Lines{"1", "two", "2"}));
    EXPECT_EQ(run.framesRun, 8);
}

TEST(Avm1Runner, TheClockMovesOneTickPerFrame)
{
    SwfWriter w(8);
    w.tag(swf::tag::DoAction, Asm().num(0).str("getTimer").a(op::CallFunction).trace().bytes).showFrame();
    w.tag(swf::tag::DoAction, Asm().a(op::GetTime).trace().bytes).showFrame();
    const TraceRun run = runTrace(scriptsOf(w.finish()), 2, 25);
    EXPECT_EQ(run.lines, (Lines{"0", "25"}));
}

TEST(Avm1Runner, SpritesWithScriptsNeedTheDisplayTree)
{
    // A sprite (id 1, one frame) holding a DoAction.
    kivamo::test::ByteWriter sprite;
    sprite.u16(1).u16(1);
    const Bytes action = Asm().str("inside").trace().bytes;
    sprite.u16(std::uint16_t(swf::tag::DoAction << 6 | action.size())).bytes(action);
    sprite.u16(swf::tag::ShowFrame << 6).u16(0);
    SwfWriter w(8);
    w.tag(swf::tag::DefineSprite, sprite.data()).showFrame();
    EXPECT_TRUE(scriptsOf(w.finish()).hasNestedScripts);
}

TEST(Avm1Runner, AScriptStoppedByALimitLeavesTheNextFrameRunning)
{
    SwfWriter w(8);
    w.tag(swf::tag::DoAction, Asm().str("a").trace().jump(op::Jump, -5).bytes).showFrame();
    w.tag(swf::tag::DoAction, Asm().str("b").trace().bytes).showFrame();
    const TraceRun run = runTrace(scriptsOf(w.finish()), 2, 40);
    EXPECT_EQ(run.lines, (Lines{"a", "b"}));
    ASSERT_EQ(run.warnings.size(), 1u);
}

}  // namespace
