// Clips of a symbol with a registered class: their prototype, construct handlers, init objects and constructors.
#include "scriptmovie.h"

#include <gtest/gtest.h>

namespace {

using namespace scripttest;
using kivamo::test::SwfWriter;

constexpr std::uint32_t kLoad = 0x1, kInitialize = 0x200, kConstruct = 0x40000;

// function C() { trace("ctor " + this.kind + " " + this.v); } C.prototype.kind = "proto";
// Object.registerClass(linkage, C), tracing what registerClass answered.
Asm defineClass(const std::string& linkage)
{
    Asm body;
    body.str("ctor ").str("this").a(op::GetVariable).str("kind").a(op::GetMember).a(op::Add2);
    body.str(" ").a(op::Add2).str("this").a(op::GetVariable).str("v").a(op::GetMember).a(op::Add2).trace();
    Asm code;
    code.function("C", {}, body);
    code.get("C").str("prototype").a(op::GetMember).str("kind").str("proto").a(op::SetMember);
    code.get("C").str(linkage).callMethod(Asm().get("Object"), "registerClass", 2).trace();
    return code;
}

// A movie with sprite 5 exported as "Thing" (its frame traces "frame") and the class registered in frame 1.
SwfWriter classMovie(const std::string& linkage = "Thing")
{
    SwfWriter w(8);
    w.tag(tag::DefineSprite, sprite(5, {traceBlock("frame")}));
    w.tag(tag::ExportAssets, kivamo::test::ByteWriter().u16(1).u16(5).cstring("Thing").data());
    w.tag(tag::DoAction, block(defineClass(linkage)));
    w.showFrame();
    return w;
}

TEST(ScriptClass, APlacedClipGetsItsClassBeforeConstructHandlersAndRunsTheConstructorBeforeLoad)
{
    SwfWriter w = classMovie();
    // The frame script comes first in the frame, yet the new clip's initialize and construct work goes before it.
    w.tag(tag::DoAction, traceBlock("root frame 2"));
    w.tag(tag::PlaceObject2, placeNamed(1, 5, "t",
                                        {{kLoad, Asm().str("load").trace()},
                                         {kConstruct, Asm().str("construct ").get("kind").a(op::Add2).trace()},
                                         {kInitialize, Asm().str("initialize").trace()}}));
    w.tag(tag::DoAction, block(Asm().a(op::Stop)));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(2);
    EXPECT_EQ(run.out.lines, (Lines{"true", "initialize", "construct proto", "ctor proto undefined", "root frame 2",
                                    "load", "frame"}));
}

TEST(ScriptClass, AttachMovieSetsTheInitObjectBeforeTheConstructorRuns)
{
    SwfWriter w = classMovie();
    Asm attach;
    attach.str("v").str("init").num(1).a(op::InitObject).num(3).str("t").str("Thing");
    attach.callMethod(Asm().get("_root"), "attachMovie", 4).a(op::Pop);
    attach.str("t").a(op::GetVariable).get("C").a(op::InstanceOf).trace().a(op::Stop);
    w.tag(tag::DoAction, block(attach));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(2);
    EXPECT_EQ(run.out.lines, (Lines{"true", "ctor proto init", "true", "frame"}));
}

TEST(ScriptClass, UnknownNamesAndUnregisteredClassesLeaveClipsPlain)
{
    SwfWriter w = classMovie("Nothing");
    Asm code;
    code.null().str("Thing").callMethod(Asm().get("Object"), "registerClass", 2).trace();
    code.num(3).str("t").str("Thing").callMethod(Asm().get("_root"), "attachMovie", 3).a(op::Pop);
    code.str("t").a(op::GetVariable).str("kind").a(op::GetMember).trace().a(op::Stop);
    w.tag(tag::DoAction, block(code));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(2);
    EXPECT_EQ(run.out.lines, (Lines{"false", "true", "undefined", "frame"}));
}

}  // namespace
