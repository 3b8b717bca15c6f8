// Text fields as script objects: found by instance name, their properties read and written through the field,
// and fields made and removed by scripts.
#include "scriptmovie.h"

#include <gtest/gtest.h>

namespace {

using namespace scripttest;
using kivamo::test::ByteWriter;
using kivamo::test::SwfWriter;

constexpr std::uint16_t kDefineEditText = 37;
constexpr std::uint16_t kHasText = 0x8000, kBorder = 0x0008;

// A field 100 by 50 pixels with its own text and a variable name.
Bytes editText(std::uint16_t id, std::uint16_t flags, const std::string& variable, const std::string& text)
{
    ByteWriter w;
    w.u16(id).bytes(kivamo::test::rectBytes({0, 2000, 0, 1000})).u8(std::uint8_t(flags >> 8)).u8(std::uint8_t(flags));
    w.cstring(variable);
    if (flags & kHasText)
        w.cstring(text);
    return w.data();
}

// A movie with the field placed as "txt" at (0, 0) and the script run on its first frame.
Lines runWithField(std::uint16_t flags, const Asm& script, std::uint8_t version = 8)
{
    SwfWriter w(version);
    w.tag(kDefineEditText, editText(2, flags, "", "Hello"));
    w.tag(tag::PlaceObject2, placeNamed(1, 2, "txt"));
    w.tag(tag::DoAction, block(Asm(script).a(op::Stop)));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    return run.out.lines;
}

Asm member(const std::string& object, const std::string& name)
{
    return Asm().get(object).str(name).a(op::GetMember);
}

Asm setMember(const std::string& object, const std::string& name, const Asm& value)
{
    return Asm().get(object).str(name).append(value).a(op::SetMember);
}

TEST(ScriptTextField, APlacedFieldIsAnObjectWithItsTextAndFlags)
{
    Asm s;
    s.get("txt").a(op::TypeOf).trace();
    s.append(member("txt", "text")).trace();
    s.append(member("txt", "border")).trace();
    s.append(member("txt", "html")).trace();
    s.append(member("txt", "_name")).trace();
    s.append(member("txt", "_width")).trace();
    s.append(member("txt", "_height")).trace();
    s.get("TextField").a(op::TypeOf).trace();
    EXPECT_EQ(runWithField(kHasText | kBorder, s),
              (Lines{"object", "Hello", "true", "false", "txt", "100", "50", "function"}));
}

TEST(ScriptTextField, AFieldConvertsToItsPathAndTypesAsAnObject)
{
    Asm s;
    s.get("txt").trace();
    s.get("txt").a(op::TargetPath).trace();
    s.get("txt").a(op::TypeOf).trace();
    // Something else of the same name is no field.
    s.str("txt").a(op::TargetPath).trace();
    EXPECT_EQ(runWithField(kHasText, s), (Lines{"_level0.txt", "_level0.txt", "object", "undefined"}));
}

TEST(ScriptTextField, SettersChangeTheFieldAndReadBack)
{
    Asm s;
    s.append(setMember("txt", "text", Asm().str("Bye"))).append(member("txt", "text")).trace();
    s.append(setMember("txt", "background", Asm().boolean(true))).append(member("txt", "background")).trace();
    s.append(setMember("txt", "backgroundColor", Asm().num(0x102030))).append(member("txt", "backgroundColor")).trace();
    s.append(setMember("txt", "textColor", Asm().num(0xFF8000))).append(member("txt", "textColor")).trace();
    // Colours keep their low 24 bits.
    s.append(setMember("txt", "borderColor", Asm().num(0x1FF0000))).append(member("txt", "borderColor")).trace();
    s.append(setMember("txt", "_x", Asm().num(12.5))).append(member("txt", "_x")).trace();
    s.append(setMember("txt", "_visible", Asm().boolean(false))).append(member("txt", "_visible")).trace();
    s.append(member("txt", "type")).trace();
    s.append(setMember("txt", "type", Asm().str("DYNAMIC"))).append(member("txt", "type")).trace();
    s.append(setMember("txt", "type", Asm().str("other"))).append(member("txt", "type")).trace();
    // Other properties stay on the object as on any other.
    s.append(setMember("txt", "custom", Asm().num(7))).append(member("txt", "custom")).trace();
    EXPECT_EQ(runWithField(kHasText, s),
              (Lines{"Bye", "true", "1056816", "16744448", "16711680", "12.5", "false", "input", "dynamic", "dynamic", "7"}));
}

TEST(ScriptTextField, SetTextFormatTakesTheAttributesAFormatSets)
{
    Asm s;
    // fmt = new TextFormat(); fmt.color = 0x00FF00; txt.setTextFormat(fmt)
    s.str("fmt").num(0).str("TextFormat").a(op::NewObject).a(op::DefineLocal);
    s.get("fmt").str("color").num(0x00FF00).a(op::SetMember);
    s.get("fmt").num(1).get("txt").str("setTextFormat").a(op::CallMethod).a(op::Pop);
    s.append(member("txt", "textColor")).trace();
    // An empty format changes nothing.
    s.num(0).str("TextFormat").a(op::NewObject).num(1).get("txt").str("setNewTextFormat").a(op::CallMethod).a(op::Pop);
    s.append(member("txt", "textColor")).trace();
    EXPECT_EQ(runWithField(kHasText, s), (Lines{"65280", "65280"}));
}

TEST(ScriptTextField, TheSameObjectAnswersEachTimeAndNamesFollowTheMovieCase)
{
    Asm s;
    s.get("txt").get("txt").a(op::Equals2).trace();
    s.get("TXT").a(op::TypeOf).trace();
    EXPECT_EQ(runWithField(kHasText, s, 6), (Lines{"true", "object"}));
    EXPECT_EQ(runWithField(kHasText, s, 7), (Lines{"true", "undefined"}));
}

TEST(ScriptTextField, CreateTextFieldMakesAFieldThatRemoveTextFieldTakesAway)
{
    Asm s;
    // createTextField("made", 3, 10, 20, 30, 40) answers the new field.
    s.num(40).num(30).num(20).num(10).num(3).str("made").callMethod(Asm().get("this"), "createTextField", 6);
    s.str("_name").a(op::GetMember).trace();
    s.append(member("made", "_y")).trace();
    s.append(member("made", "_height")).trace();
    s.append(member("made", "text")).trace();
    s.callMethod(Asm().get("this"), "getNextHighestDepth", 0).trace();
    s.callMethod(Asm().get("made"), "removeTextField", 0).a(op::Pop);
    s.get("made").a(op::TypeOf).trace();
    // A depth out of range makes nothing.
    s.num(1).num(1).num(0).num(0).num(-70000).str("far").callMethod(Asm().get("this"), "createTextField", 6).a(op::Pop);
    s.get("far").a(op::TypeOf).trace();
    EXPECT_EQ(runWithField(kHasText, s), (Lines{"made", "20", "40", "", "4", "undefined", "undefined"}));
}

TEST(ScriptTextField, AFieldWithAVariableShowsItAndWritesItsTextBack)
{
    SwfWriter w(8);
    w.tag(kDefineEditText, editText(2, kHasText, "shown", "Hello"));
    w.tag(tag::PlaceObject2, placeNamed(1, 2, "txt"));
    Asm s;
    s.append(member("txt", "variable")).trace();
    s.str("shown").str("From the variable").a(op::SetVariable);
    s.append(member("txt", "text")).trace();
    s.append(setMember("txt", "text", Asm().str("From the field"))).get("shown").trace();
    w.tag(tag::DoAction, block(s.a(op::Stop)));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"shown", "From the variable", "From the field"}));
}

}  // namespace
