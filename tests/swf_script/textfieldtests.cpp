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

// fmt = new TextFormat(); fmt.color = colour; txt.<method>(arguments…, fmt)
Asm applyColour(const char* method, double colour, std::vector<double> range = {})
{
    Asm s;
    s.str("fmt").num(0).str("TextFormat").a(op::NewObject).a(op::DefineLocal);
    s.get("fmt").str("color").num(colour).a(op::SetMember);
    s.get("fmt");
    for (auto it = range.rbegin(); it != range.rend(); ++it)
        s.num(*it);
    return s.num(double(range.size() + 1)).get("txt").str(method).a(op::CallMethod).a(op::Pop);
}

Asm formatColours()
{
    Asm s;
    s.append(member("txt", "textColor")).trace();
    s.callMethod(Asm().get("txt"), "getTextFormat", 0).str("color").a(op::GetMember).trace();
    s.callMethod(Asm().get("txt"), "getNewTextFormat", 0).str("color").a(op::GetMember).trace();
    return s;
}

TEST(ScriptTextField, TheTextAndTheTextToComeKeepFormatsOfTheirOwn)
{
    struct Case {
        const char* what;
        Asm change;
        Lines colours;  // textColor, getTextFormat().color, getNewTextFormat().color
    };
    const Case cases[] = {
        {"nothing changed", Asm(), {"0", "0", "0"}},
        {"textColor sets both", setMember("txt", "textColor", Asm().num(0x404040)), {"4210752", "4210752", "4210752"}},
        {"setTextFormat sets the text only", applyColour("setTextFormat", 0x808080), {"0", "8421504", "0"}},
        {"a range over all the text", applyColour("setTextFormat", 0x808080, {0, 5}), {"0", "8421504", "0"}},
        {"a range over part of it", applyColour("setTextFormat", 0x808080, {1, 2}), {"0", "0", "0"}},
        {"setNewTextFormat sets the text to come", applyColour("setNewTextFormat", 0x00FF00), {"65280", "0", "65280"}},
        {"new text takes the new format",
         Asm(applyColour("setNewTextFormat", 0x00FF00)).append(setMember("txt", "text", Asm().str("Bye"))),
         {"65280", "65280", "65280"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(runWithField(kHasText, Asm(c.change).append(formatColours())), c.colours) << c.what;
}

// txt.setTextFormat([begin, end,] {name: value}) with one attribute.
Asm formatRange(const std::vector<double>& range, const std::string& name, const Asm& value)
{
    Asm s;
    s.str("f").num(0).str("TextFormat").a(op::NewObject).a(op::DefineLocal);
    s.append(setMember("f", name, value));
    s.get("f");
    for (auto it = range.rbegin(); it != range.rend(); ++it)
        s.num(*it);
    return s.callMethod(Asm().get("txt"), "setTextFormat", int(range.size()) + 1).a(op::Pop);
}

TEST(ScriptTextField, HtmlTextIsWrittenBackWithTheFormatsOfEachRange)
{
    // Two paragraphs "a<b" and "c&d" in Arial; a reversed range changes nothing; the range "b", the break and "c"
    // grows to 20 px, and both paragraphs it touches are centred.
    Asm s = setMember("txt", "text", Asm().str("a<b\rc&d"));
    s.append(formatRange({}, "font", Asm().str("Arial")));
    s.append(member("txt", "htmlText")).trace();
    s.append(formatRange({3, 2}, "size", Asm().num(20)));
    s.append(member("txt", "htmlText")).trace();
    s.append(formatRange({2, 5}, "size", Asm().num(20)));
    s.append(formatRange({2, 5}, "align", Asm().str("center")));
    s.append(member("txt", "htmlText")).trace();
    s.append(member("txt", "text")).trace();  // the field holds HTML now, but its text has no markup
    s.append(member("txt", "length")).trace();
    const std::string font = R"(<FONT FACE="Arial" SIZE="12" COLOR="#000000" LETTERSPACING="0" KERNING="0">)";
    const std::string plain = R"(<P ALIGN="LEFT">)" + font + "a&lt;b</FONT></P><P ALIGN=\"LEFT\">" + font
        + "c&amp;d</FONT></P>";
    const std::string ranged = R"(<P ALIGN="CENTER">)" + font + R"(a&lt;<FONT SIZE="20">b</FONT></FONT></P>)"
        + R"(<P ALIGN="CENTER"><FONT FACE="Arial" SIZE="20" COLOR="#000000" LETTERSPACING="0" KERNING="0">c)"
        + R"(<FONT SIZE="12">&amp;d</FONT></FONT></P>)";
    EXPECT_EQ(runWithField(kHasText, s), (Lines{plain, plain, ranged, "a<b\rc&d", "7"}));
}

TEST(ScriptTextField, AFormatObjectDescribesTheWholeFormat)
{
    Asm s;
    s.str("f").callMethod(Asm().get("txt"), "getTextFormat", 0).a(op::DefineLocal);
    for (const char* name : {"font", "size", "bold", "align", "leftMargin", "url", "bullet"})
        s.append(member("f", name)).trace();
    // An empty format changes nothing.
    s.num(0).str("TextFormat").a(op::NewObject).num(1).get("txt").str("setTextFormat").a(op::CallMethod).a(op::Pop);
    s.callMethod(Asm().get("txt"), "getTextFormat", 0).str("size").a(op::GetMember).trace();
    EXPECT_EQ(runWithField(kHasText, s), (Lines{"", "12", "false", "left", "0", "", "false", "12"}));
}

TEST(ScriptTextField, LayoutSettingsAreSettable)
{
    Asm s;
    for (const char* name : {"wordWrap", "multiline", "embedFonts"}) {
        s.append(member("txt", name)).trace();
        s.append(setMember("txt", name, Asm().boolean(true))).append(member("txt", name)).trace();
    }
    EXPECT_EQ(runWithField(kHasText, s), (Lines{"false", "true", "false", "true", "false", "true"}));
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

// A movie whose first frame runs `before`, and whose second places "txt" (text "Hello", variable `variable`) and runs
// `after`.
Lines runBound(const std::string& variable, const Asm& before, const Asm& after, std::uint16_t flags = kHasText)
{
    SwfWriter w(6);
    w.tag(tag::DoAction, block(before));
    w.showFrame();
    w.tag(kDefineEditText, editText(2, flags, variable, "Hello"));
    w.tag(tag::PlaceObject2, placeNamed(1, 2, "txt"));
    w.tag(tag::DoAction, block(Asm(after).a(op::Stop)));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(2);
    return run.out.lines;
}

TEST(ScriptTextField, AFieldWithAVariableShowsItAndWritesItsTextBack)
{
    const Asm showBoth = Asm().get("shown").trace().append(member("txt", "text")).trace();
    struct Case {
        const char* what;
        std::string variable;
        Asm before, after;
        Lines expected;
    };
    const Case cases[] = {
        {"the field gives its text to an unset variable", "shown", Asm(), showBoth, {"Hello", "Hello"}},
        {"a set variable gives the field its value", "shown", Asm().str("shown").str("Set").a(op::SetVariable),
         showBoth, {"Set", "Set"}},
        {"later values show", "shown", Asm(), Asm().str("shown").str("Later").a(op::SetVariable).append(showBoth),
         {"Later", "Later"}},
        {"text set by script goes to the variable", "shown", Asm(),
         Asm(setMember("txt", "text", Asm().str("Typed"))).append(showBoth), {"Typed", "Typed"}},
        {"names differ in case only in version 6", "shown", Asm(),
         Asm().str("SHOWN").str("Upper").a(op::SetVariable).append(member("txt", "text")).trace(), {"Upper"}},
        {"a path to an object", "obj.shown", Asm().str("obj").num(0).a(op::InitObject).a(op::DefineLocal),
         Asm().get("obj").str("shown").a(op::GetMember).trace(), {"Hello"}},
        {"an object's later values do not show", "obj.shown",
         Asm().str("obj").num(0).a(op::InitObject).a(op::DefineLocal),
         Asm().get("obj").str("shown").str("Later").a(op::SetMember).append(member("txt", "text")).trace(), {"Hello"}},
        {"a new variable starts from the field's own text", "shown", Asm(),
         Asm(setMember("txt", "text", Asm().str("Typed"))).append(setMember("txt", "variable", Asm().str("other")))
             .get("other").trace().append(member("txt", "text")).trace(),
         {"Hello", "Hello"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(runBound(c.variable, c.before, c.after), c.expected) << c.what;
}

TEST(ScriptTextField, AnEmptyFieldLeavesItsVariableUnset)
{
    EXPECT_EQ(runBound("shown", Asm(), Asm().get("shown").trace(), 0), (Lines{"undefined"}));
}

TEST(ScriptTextField, DepthsReachFieldsAndRemoveMovieClipTakesThoseAtScriptDepths)
{
    Asm s;
    // An unnamed field placed by the timeline gets an instance name.
    s.num(-16382).num(1).get("this").str("getInstanceAtDepth").a(op::CallMethod).trace();
    s.num(0).num(-16382).num(1).get("this").str("getInstanceAtDepth").a(op::CallMethod).str("getDepth")
        .a(op::CallMethod).trace();
    // A field at a timeline depth stays; moved to a script depth, it goes, by method or by path.
    s.get("txt").a(op::RemoveSprite);
    s.get("txt").a(op::TypeOf).trace();
    s.num(1).num(1).num(0).num(0).num(5).str("made").callMethod(Asm().get("this"), "createTextField", 6).a(op::Pop);
    s.str("made").a(op::RemoveSprite);
    s.get("made").a(op::TypeOf).trace();
    s.num(1).num(1).num(0).num(0).num(6).str("made2").callMethod(Asm().get("this"), "createTextField", 6).a(op::Pop);
    s.get("made2").num(1).get("MovieClip").str("prototype").a(op::GetMember).str("removeMovieClip").a(op::GetMember)
        .str("apply").a(op::CallMethod).a(op::Pop);
    s.get("made2").a(op::TypeOf).trace();

    SwfWriter w(8);
    w.tag(kDefineEditText, editText(2, kHasText, "", "Hello"));
    w.tag(tag::PlaceObject2, placeNamed(1, 2, "txt"));
    w.tag(tag::PlaceObject2, placeNamed(2, 2, ""));
    w.tag(tag::DoAction, block(s.a(op::Stop)));
    w.showFrame();
    MovieRun run(w.finish());
    run.frames(1);
    EXPECT_EQ(run.out.lines, (Lines{"_level0.instance1", "-16382", "object", "undefined", "undefined"}));
}

}  // namespace
