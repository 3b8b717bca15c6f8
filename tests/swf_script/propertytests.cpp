// Clip properties written by setProperty and read by getProperty: what each keeps of a value, the values it
// refuses, the player settings every clip shares, and what a fresh clip reads.
#include "scriptmovie.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace scripttest;
using kivamo::test::SwfWriter;

enum Property { X = 0, XScale = 2, Alpha = 6, Visible = 7, Rotation = 10, Name = 13, HighQuality = 16,
                FocusRect = 17, SoundBufTime = 18, Quality = 19 };

Asm setProperty(const std::string& target, Property p, const Asm& value)
{
    return Asm().str(target).num(p).append(value).a(op::SetProperty);
}

Asm traceProperty(const std::string& target, Property p)
{
    return Asm().str(target).num(p).a(op::GetProperty).trace();
}

// A SWF 6 movie whose first frame runs the script, with an empty clip "kid" on the root.
Lines runScript(const Asm& script)
{
    SwfWriter w(6);
    w.tag(tag::DefineSprite, sprite(5, {Bytes{}}));
    w.tag(tag::PlaceObject2, placeNamed(1, 5, "kid"));
    w.tag(tag::DoAction, block(Asm(script).a(op::Stop))).showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    return run.out.lines;
}

TEST(ClipProperties, SetPropertyOnTheRootKeepsWhatFlashKeeps)
{
    struct Case {
        Property property;
        Asm first;   // set before, to tell a refused value from one taken
        Asm value;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {X, Asm().num(3), Asm().str("abc"), "3"},                       // no number: refused
        {X, Asm().num(3), Asm().undef(), "3"},                          // undefined is no 0 here, even in SWF 6
        {X, Asm().num(3), Asm().num(INFINITY), "-107374182.4"},         // out of range: the lowest twips
        {XScale, Asm().num(100), Asm().num(-5), "-5"},                  // a flip reads back as set
        {XScale, Asm().num(100), Asm().num(INFINITY), "Infinity"},
        {Rotation, Asm().num(0), Asm().num(-INFINITY), "NaN"},
        {Alpha, Asm().num(100), Asm().num(30), "29.6875"},              // 8.8 fixed point
        {Alpha, Asm().num(100), Asm().num(INFINITY), "0"},
        {Visible, Asm().num(1), Asm().str("true"), "true"},             // a string that is no number: refused
        {Visible, Asm().num(1), Asm().boolean(false), "false"},
        {Name, Asm().str("a"), Asm().num(2), "2"},                      // the root keeps a name of its own
        {HighQuality, Asm().num(1), Asm().num(1.5), "1"},
        {HighQuality, Asm().num(1), Asm().num(10), "2"},
        {HighQuality, Asm().num(1), Asm().num(0), "0"},
        {Quality, Asm().str("LOW"), Asm().str("medium"), "MEDIUM"},
        {Quality, Asm().str("LOW"), Asm().str("fast"), "LOW"},          // no quality's name: refused
        {FocusRect, Asm().num(1), Asm().undef(), "true"},
        {FocusRect, Asm().num(1), Asm().num(0), "false"},
        {SoundBufTime, Asm().num(5), Asm().num(1.5), "1"},
        {SoundBufTime, Asm().num(5), Asm().num(-INFINITY), "-2147483648"},
    };
    for (const Case& c : cases) {
        Asm script = setProperty("_level0", c.property, c.first);
        script.append(setProperty("_level0", c.property, c.value)).append(traceProperty("_level0", c.property));
        EXPECT_EQ(runScript(script), Lines{c.expected}) << "property " << c.property << ", " << c.expected;
    }
}

TEST(ClipProperties, ScalesAndRotationSurviveAFlatMatrix)
{
    // _xscale and _yscale 0 leave a matrix with no angle in it; the rotation set then still reads back, and the
    // scales come back when set again.
    Asm script = setProperty("kid", XScale, Asm().num(0));
    script.append(setProperty("kid", Property(3), Asm().num(0)));
    script.append(setProperty("kid", Rotation, Asm().num(390))).append(traceProperty("kid", Rotation));
    script.append(setProperty("kid", XScale, Asm().num(50))).append(traceProperty("kid", XScale));
    script.append(traceProperty("kid", Rotation));
    EXPECT_EQ(runScript(script), (Lines{"30", "50", "30"}));
}

TEST(ClipProperties, AnObjectIsAskedForValueOfOnly)
{
    // valueOf gives another object: the property stays, and toString is never asked.
    Asm object = Asm().num(0).str("Object").a(op::NewObject).store(1).a(op::Pop);
    object.reg(1).str("valueOf").function("", {}, Asm().str("valueOf").trace().num(0).str("Object")
                                                      .a(op::NewObject).a(op::Return)).a(op::SetMember);
    object.reg(1).str("toString").function("", {}, Asm().str("toString").trace().str("7").a(op::Return))
        .a(op::SetMember);
    Asm script = setProperty("kid", X, Asm().num(4));
    script.append(object).append(setProperty("kid", X, Asm().reg(1))).append(traceProperty("kid", X));
    EXPECT_EQ(runScript(script), (Lines{"valueOf", "4"}));
}

TEST(ClipProperties, AChildsFocusRectIsUnsetWhileTheRootsIsThePlayers)
{
    Asm script = traceProperty("kid", FocusRect).append(traceProperty("_level0", FocusRect));
    EXPECT_EQ(runScript(script), (Lines{"null", "true"}));
}

Asm traceMember(const std::string& object, const std::string& name)
{
    return Asm().get(object).str(name).a(op::GetMember).trace();
}

Asm callAndTrace(const std::string& object, const std::string& method)
{
    return Asm().num(0).get(object).str(method).a(op::CallMethod).trace();
}

TEST(ClipProperties, AnEmptyClipAScriptMadeReadsFlashsDefaults)
{
    // mc = createEmptyMovieClip("mc", 0) on the root of a SWF 6 movie.
    Asm script = Asm().str("mc").num(0).str("mc").callMethod(Asm().get("this"), "createEmptyMovieClip", 2);
    script.a(op::SetVariable);
    for (const char* name : {"_currentframe", "_lockroot", "blendMode", "cacheAsBitmap", "enabled", "useHandCursor",
                             "opaqueBackground"})
        script.append(traceMember("mc", name));
    script.append(callAndTrace("mc", "getSWFVersion")).append(callAndTrace("mc", "getBytesLoaded"));
    EXPECT_EQ(runScript(script), (Lines{"0", "false", "normal", "false", "true", "true", "undefined", "6", "0"}));
}

TEST(ClipProperties, EmptyBoundsComeOutOfAnotherSpaceInSinglePrecision)
{
    // getBounds of an empty clip, in its own space and in the root's: xMin of each.
    Asm script = Asm().str("mc").num(0).str("mc").callMethod(Asm().get("this"), "createEmptyMovieClip", 2);
    script.a(op::SetVariable);
    script.get("mc").num(1).get("mc").str("getBounds").a(op::CallMethod).str("xMin").a(op::GetMember).trace();
    script.get("_root").num(1).get("mc").str("getBounds").a(op::CallMethod).str("xMin").a(op::GetMember).trace();
    EXPECT_EQ(runScript(script), (Lines{"6710886.35", "6710886.4"}));
}

TEST(ClipProperties, BlendModeTakesANameOrANumberAndKeepsItOtherwise)
{
    Asm script;
    for (const Asm& value : {Asm().str("multiply"), Asm().num(7), Asm().str("bogus"), Asm().num(15)})
        script.append(Asm().get("kid").str("blendMode").append(value).a(op::SetMember)).append(
            traceMember("kid", "blendMode"));
    EXPECT_EQ(runScript(script), (Lines{"multiply", "difference", "difference", "difference"}));
}

}  // namespace
