// The order clips take their frame steps in (newest first, the root last), the order a goto settles objects and
// scripts in, where a timeline loops or stops, and what stays when a timeline goes back.
#include "scriptmovie.h"

#include "swf/movie/clip.h"

#include <gtest/gtest.h>

namespace {

using namespace scripttest;
using kivamo::test::SwfWriter;

// trace(this._name + ": " + text) as an action block.
Bytes nameTrace(const std::string& text)
{
    return block(Asm().get("_name").str(": " + text).a(op::Add2).trace());
}

TEST(ExecutionList, AWalkSkipsClipsThatGoAndLeavesNewOnesForTheNextWalk)
{
    swf::ExecutionList list;
    auto a = std::make_unique<swf::Clip>(nullptr, nullptr, nullptr);
    auto b = std::make_unique<swf::Clip>(nullptr, nullptr, nullptr);
    auto c = std::make_unique<swf::Clip>(nullptr, nullptr, nullptr);
    list.add(*a);
    list.add(*b);
    list.add(*c);  // walked as c, b, a
    std::unique_ptr<swf::Clip> late;
    std::vector<const swf::Clip*> seen;
    list.forEach([&](swf::Clip& clip) {
        seen.push_back(&clip);
        if (&clip == c.get()) {
            b.reset();  // the next clip of the walk goes
            late = std::make_unique<swf::Clip>(nullptr, nullptr, nullptr);
            list.add(*late);
        }
    });
    EXPECT_EQ(seen, (std::vector<const swf::Clip*>{c.get(), a.get()}));
    seen.clear();
    list.forEach([&](swf::Clip& clip) { seen.push_back(&clip); });
    EXPECT_EQ(seen, (std::vector<const swf::Clip*>{late.get(), c.get(), a.get()}));
    list.add(*a);  // already listed: stays where it is
    c.reset();
    late.reset();
    seen.clear();
    list.forEach([&](swf::Clip& clip) { seen.push_back(&clip); });
    EXPECT_EQ(seen, (std::vector<const swf::Clip*>{a.get()}));
}

TEST(ExecutionOrder, NewestClipsRunFirstAndAClipPlacedMidStepWaitsForTheNext)
{
    // Sprite 5 traces frames 1 to 3 and stops; sprite 6 does the same and places a sprite 5 "late" in its frame 2.
    SwfWriter w(8);
    w.tag(tag::DefineSprite, sprite(5, {nameTrace("1"), nameTrace("2"), block(Asm().get("_name").str(": 3")
                                                                          .a(op::Add2).trace().a(op::Stop))}));
    std::vector<std::pair<std::uint16_t, Bytes>> six{{tag::DoAction, nameTrace("1")}, {tag::ShowFrame, {}},
                                                      {tag::DoAction, nameTrace("2")},
                                                      {tag::PlaceObject2, placeNamed(1, 5, "late")},
                                                      {tag::ShowFrame, {}},
                                                      {tag::DoAction, block(Asm().a(op::Stop))},
                                                      {tag::ShowFrame, {}}};
    w.tag(tag::DefineSprite, kivamo::test::spriteBody(6, 3, six));
    w.tag(tag::DoAction, traceBlock("root 1"));
    w.tag(tag::PlaceObject2, placeNamed(1, 6, "low"));
    w.tag(tag::PlaceObject2, placeNamed(2, 5, "high")).showFrame();
    w.tag(tag::DoAction, traceBlock("root 2")).showFrame();
    w.tag(tag::DoAction, block(Asm().str("root 3").trace().a(op::Stop))).showFrame();
    MovieRun run(w.finish());
    run.frames(4);
    EXPECT_EQ(run.out.lines, (Lines{"root 1", "low: 1", "high: 1",                // placing order
                                    "high: 2", "low: 2", "late: 1", "root 2",     // newest first
                                    "late: 2", "high: 3", "root 3", "late: 3"}));
}

TEST(ExecutionOrder, AGotoRunsTheTargetFramesScriptBeforeTheClipsItPlaces)
{
    // Frame 1 jumps to frame 3; frame 2 places "early", frame 3 places "new" after its own script.
    SwfWriter w(8);
    w.tag(tag::DefineSprite, sprite(5, {block(Asm().get("_name").trace().a(op::Stop))}));
    w.tag(tag::DoAction, block(Asm().str("goto").trace().record(op::GotoFrame, {2, 0}))).showFrame();
    w.tag(tag::PlaceObject2, placeNamed(1, 5, "early")).showFrame();
    w.tag(tag::PlaceObject2, placeNamed(2, 5, "new"));
    w.tag(tag::DoAction, block(Asm().str("frame 3").trace().a(op::Stop))).showFrame();
    MovieRun run(w.finish());
    run.frames(2);
    EXPECT_EQ(run.out.lines, (Lines{"goto", "early", "frame 3", "new"}));
}

// A sprite 5 whose frames trace "1", "2" …, with `trailing` (if any) traced after its last ShowFrame; without its
// End tag when `ended` is false.
Bytes loopingSprite(int frames, const std::string& trailing, bool ended)
{
    std::vector<std::pair<std::uint16_t, Bytes>> tags;
    for (int f = 1; f <= frames; ++f) {
        tags.emplace_back(tag::DoAction, traceBlock(std::to_string(f)));
        tags.emplace_back(tag::ShowFrame, Bytes{});
    }
    if (!trailing.empty())
        tags.emplace_back(tag::DoAction, traceBlock(trailing));
    Bytes body = kivamo::test::spriteBody(5, std::uint16_t(frames), tags);
    if (!ended)
        body.resize(body.size() - 2);
    return body;
}

TEST(ExecutionOrder, OnlyACompleteTimelineOfSeveralFramesLoops)
{
    struct Case {
        int frames;
        std::string trailing;
        bool ended;
        Lines lines;  // over five steps
    };
    const std::vector<Case> cases = {
        {2, "", true, {"1", "2", "1", "2", "1"}},
        {2, "", false, {"1", "2"}},                     // no End tag: stops at the end
        {1, "", true, {"1"}},                           // one frame never loops
        {1, "tail", true, {"1", "tail"}},               // tags after the last frame run once as it stops
        {2, "tail", true, {"1", "2", "1", "2", "1"}},   // a looping timeline never reaches them
        {0, "only", true, {"only"}},                    // no ShowFrame: the tags are frame 1
        {0, "only", false, {"only"}},
    };
    for (const Case& c : cases) {
        SwfWriter w(8);
        w.tag(tag::DefineSprite, loopingSprite(c.frames, c.trailing, c.ended));
        w.tag(tag::PlaceObject2, placeNamed(1, 5, "kid"));
        w.tag(tag::DoAction, block(Asm().a(op::Stop))).showFrame();
        MovieRun run(w.finish());
        run.frames(5);
        EXPECT_EQ(run.out.lines, c.lines) << c.frames << " frames, trailing '" << c.trailing << "', ended " << c.ended;
    }
}

TEST(ExecutionOrder, ARewindKeepsClipsAScriptSwappedAndDropsClipsItMadeAtTimelineDepths)
{
    // Two sprites that trace their loading; frame 2 swaps them once and duplicates "a" into timeline depth 5
    // (from script depth -16379); the root loops over two frames.
    SwfWriter w(8);
    w.tag(tag::DefineSprite, sprite(5, {Bytes{}}));
    auto loads = [](const std::string& name) {
        return std::vector<std::pair<std::uint32_t, Asm>>{{swf::clipevent::Load, Asm().str("load " + name).trace()}};
    };
    w.tag(tag::PlaceObject2, placeNamed(1, 5, "a", loads("a")));
    w.tag(tag::PlaceObject2, placeNamed(20000, 5, "b", loads("b"))).showFrame();
    Asm once;
    once.str("done").num(1).a(op::SetVariable);
    once.get("b").callMethod(Asm().get("a"), "swapDepths", 1).a(op::Pop);
    once.num(-16379).str("c").callMethod(Asm().get("a"), "duplicateMovieClip", 2).a(op::Pop);
    Asm script;
    script.get("done").jump(op::If, int(once.bytes.size())).append(once);
    w.tag(tag::DoAction, block(script.get("c").trace())).showFrame();
    MovieRun run(w.finish());
    run.frames(6);
    // Loaded once each, and the duplicate (with a's handlers) once; after a loop the duplicate is gone.
    EXPECT_EQ(run.out.lines, (Lines{"load a", "load b", "_level0.c", "load a", "undefined", "undefined"}));
}

TEST(ExecutionOrder, ARewindThatRemovesAClipDropsTheScriptsItsChildrenQueued)
{
    // Sprite 10 loops over two frames and places sprite 11 ("a", which traces) in its second; sprite 11 holds
    // sprite 12, whose second frame traces. When 12 enters its second frame, 10 loops back in the same step
    // and takes 11 and 12 away: 12's queued script must go with it, and forgetting it must not read the
    // clip already freed.
    SwfWriter w(8);
    w.tag(tag::DefineSprite, sprite(12, {Bytes{}, traceBlock("b2")}));
    w.tag(tag::DefineSprite,
          kivamo::test::spriteBody(11, 1, {{tag::PlaceObject2, placeNamed(1, 12, "b")},
                                           {tag::DoAction, traceBlock("a")},
                                           {tag::ShowFrame, Bytes{}}}));
    w.tag(tag::DefineSprite, kivamo::test::spriteBody(10, 2, {{tag::ShowFrame, Bytes{}},
                                                              {tag::PlaceObject2, placeNamed(1, 11, "a")},
                                                              {tag::ShowFrame, Bytes{}}}));
    w.tag(tag::PlaceObject2, placeNamed(1, 10, "p")).showFrame();
    MovieRun run(w.finish());
    run.frames(5);
    EXPECT_EQ(run.out.lines, (Lines{"a", "a"}));
}

TEST(ExecutionOrder, ANamedShapeAnswersForItsClip)
{
    SwfWriter w(8);
    kivamo::test::ShapeBuilder shape(3, 3);
    shape.rectangle({0, 200, 0, 200}, shape.solidFill({255, 0, 0, 255}));
    w.tag(shape.tagCode(), shape.body());
    w.tag(tag::PlaceObject2, placeNamed(1, 3, "box"));
    w.tag(tag::DoAction, block(Asm().get("box").trace().get("nothing").trace().a(op::Stop))).showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"_level0", "undefined"}));
}

TEST(ExecutionOrder, CodeStopsAtTheFirstCallAfterItsClipIsRemoved)
{
    // The child's script sends the root to frame 2, which removes the child, without a call; it goes on until a
    // call that calls something.
    auto setTarget = [](const std::string& path) {
        std::vector<std::uint8_t> body(path.begin(), path.end());
        body.push_back(0);
        return body;
    };
    Asm script;
    script.str("a").trace();
    script.record(op::SetTarget, setTarget("_root")).a(op::NextFrame).record(op::SetTarget, setTarget(""));
    script.str("still").trace();
    script.num(0).get("nothing").str("f").a(op::CallMethod).a(op::Pop);  // a method of undefined calls nothing
    script.str("after undefined").trace();
    script.callFunction("bogus", 0).a(op::Pop);
    script.str("BAD").trace();
    SwfWriter w(8);
    w.tag(tag::DefineSprite, sprite(5, {block(script)}));
    w.tag(tag::PlaceObject2, placeNamed(1, 5, "kid"));
    w.tag(tag::DoAction, block(Asm().a(op::Stop))).showFrame();
    w.tag(tag::RemoveObject2, kivamo::test::removeObject2(1)).showFrame();
    MovieRun run(w.finish());
    run.frames(2);
    EXPECT_EQ(run.out.lines, (Lines{"a", "still", "after undefined"}));
}

TEST(ExecutionOrder, GotoNamesAFrameByTheTextOfAnythingButANumber)
{
    // Frame 3 is labelled "undefined", frame 4 "false", frame 5 "five"; each goto traces _currentframe.
    Asm toStringFive;
    toStringFive.str("toString").function("", {}, Asm().str("five").a(op::Return)).num(1).a(op::InitObject);
    struct Case {
        Asm argument;
        bool method;  // clip.gotoAndStop(…) rather than the GotoFrame2 action
        std::string frame;
    };
    std::vector<Case> cases;
    cases.push_back({Asm().undef(), false, "3"});
    cases.push_back({Asm().boolean(false), false, "4"});
    cases.push_back({Asm().undef(), true, "3"});
    cases.push_back({toStringFive, true, "5"});
    cases.push_back({Asm().str("2"), true, "2"});
    for (const Case& c : cases) {
        SwfWriter w(8);
        Asm script = c.argument;
        if (c.method)
            script.num(1).get("this").str("gotoAndStop").a(op::CallMethod).a(op::Pop);
        else
            script.record(op::GotoFrame2, {0});
        w.tag(tag::DoAction, block(script.get("_currentframe").trace())).showFrame();
        w.showFrame();
        w.tag(tag::FrameLabel, kivamo::test::frameLabel("undefined")).showFrame();
        w.tag(tag::FrameLabel, kivamo::test::frameLabel("false")).showFrame();
        w.tag(tag::FrameLabel, kivamo::test::frameLabel("five")).showFrame();
        MovieRun run(w.finish());
        run.frames(1);
        EXPECT_EQ(run.out.lines, (Lines{c.frame})) << c.frame << (c.method ? " by method" : " by action");
    }
}

TEST(ExecutionOrder, AGotoWithASceneBiasCountsALabelFromTheScene)
{
    // GotoFrame2 with a bias of 2 to the label "two" (frame 2) lands on frame 4.
    SwfWriter w(8);
    Asm script = Asm().str("two").record(op::GotoFrame2, {2, 2, 0});
    w.tag(tag::DoAction, block(script.get("_currentframe").trace())).showFrame();
    w.tag(tag::FrameLabel, kivamo::test::frameLabel("two")).showFrame();
    w.showFrame().showFrame().showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"4"}));
}

}  // namespace
