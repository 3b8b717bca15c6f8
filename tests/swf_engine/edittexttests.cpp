// Text fields: DefineEditText decoding, the HTML subset, line layout (wrap, alignment, margins, leading) and drawing
// with embedded and system fonts.
#include "helpers.h"
#include "swf_avm1/asm.h"

#include "swf/format/edittext.h"
#include "swf/limits.h"
#include "swf/qt/fontprovider.h"
#include "swf/movie/movie.h"
#include "swf/render/htmltext.h"
#include "swf/render/textcommands.h"
#include "swf/render/textlayout.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

namespace kivamo::test {
namespace {

// System fonts are read through Qt's font database, which needs a GUI application.
void ensureGuiApplication()
{
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QGuiApplication(argc, argv);  // lives until the test program ends
}

constexpr std::uint16_t kDefineFont2 = 48, kDefineEditText = 37, kPlaceObject2 = 26, kDefineFont3 = 75;

// The flags of a DefineEditText body, first byte then second.
enum : std::uint16_t {
    kHasText = 0x8000,
    kWordWrap = 0x4000,
    kMultiline = 0x2000,
    kPassword = 0x1000,
    kReadOnly = 0x0800,
    kHasColour = 0x0400,
    kHasMaxLength = 0x0200,
    kHasFont = 0x0100,
    kHasFontClass = 0x0080,
    kAutoSize = 0x0040,
    kHasLayout = 0x0020,
    kNoSelect = 0x0010,
    kBorder = 0x0008,
    kWasStatic = 0x0004,
    kHtml = 0x0002,
    kUseOutlines = 0x0001,
};

struct FieldSpec {
    std::uint16_t id = 2;
    TwipsRect bounds{0, 2000, 0, 1000};
    std::uint16_t flags = 0;
    std::uint16_t fontId = 1;
    std::uint16_t height = 400;
    std::uint8_t colour[4] = {255, 0, 0, 255};
    std::uint8_t align = 0;
    std::uint16_t leftMargin = 0, rightMargin = 0;
    std::int16_t indent = 0, leading = 0;
    std::string text;
};

Bytes editTextBody(const FieldSpec& f)
{
    ByteWriter w;
    w.u16(f.id).bytes(rectBytes(f.bounds)).u8(f.flags >> 8).u8(f.flags & 0xFF);
    if (f.flags & kHasFont)
        w.u16(f.fontId);
    if (f.flags & kHasFontClass)
        w.cstring("Lib.Font");
    if (f.flags & (kHasFont | kHasFontClass))
        w.u16(f.height);
    if (f.flags & kHasColour)
        w.u8(f.colour[0]).u8(f.colour[1]).u8(f.colour[2]).u8(f.colour[3]);
    if (f.flags & kHasMaxLength)
        w.u16(12);
    if (f.flags & kHasLayout)
        w.u8(f.align).u16(f.leftMargin).u16(f.rightMargin).s16(f.indent).s16(f.leading);
    w.cstring("field");
    if (f.flags & kHasText)
        w.cstring(f.text);
    return w.data();
}

Bytes emptyGlyph()
{
    BitWriter glyph;
    glyph.ub(1, 4);
    glyph.ub(0, 4);
    glyph.ub(0, 6);
    return glyph.bytes();
}

// DefineFont2 "Box" with layout: 'A' is the square glyph (advance 1024), ' ' is blank (advance 512); ascent 1024,
// descent 0.
Bytes boxFontBody(std::uint16_t id, std::uint16_t advanceOfA = 1024)
{
    Bytes a = squareGlyph(), space = emptyGlyph();
    ByteWriter w;
    w.u16(id).u8(0x80).u8(0).u8(3).bytes(Bytes{'B', 'o', 'x'}).u16(2);
    std::uint16_t first = 6;
    w.u16(first)
        .u16(static_cast<std::uint16_t>(first + a.size()))
        .u16(static_cast<std::uint16_t>(first + a.size() + space.size()));
    w.bytes(a).bytes(space).u8('A').u8(' ');
    w.u16(1024).u16(0).s16(0).u16(advanceOfA).s16(512);
    w.bytes(rectBytes({0, 1024, -1024, 0})).bytes(rectBytes({}));
    w.u16(0);
    return w.data();
}

TEST(EditTextDecoding, EveryFieldAndFlagIsRead)
{
    FieldSpec f;
    f.flags = kHasText | kWordWrap | kMultiline | kPassword | kReadOnly | kHasColour | kHasMaxLength | kHasFont
        | kAutoSize | kHasLayout | kNoSelect | kBorder | kWasStatic | kHtml | kUseOutlines;
    f.bounds = {-40, 3000, -20, 500};
    f.align = 2;
    f.leftMargin = 60;
    f.rightMargin = 80;
    f.indent = -100;
    f.leading = -20;
    f.text = "<b>caf\xC3\xA9</b>";
    Bytes body = editTextBody(f);
    swf::EditText t = swf::decodeEditText(body.data(), body.size(), 8);
    EXPECT_EQ(t.id, 2);
    EXPECT_EQ(t.bounds.xMin, -40);
    EXPECT_EQ(t.bounds.yMax, 500);
    EXPECT_TRUE(t.wordWrap && t.multiline && t.password && t.readOnly && t.autoSize && t.noSelect && t.border
                && t.wasStatic && t.html && t.useOutlines);
    EXPECT_EQ(t.fontId, 1);
    EXPECT_EQ(t.height, 400);
    EXPECT_EQ(t.colour, (swf::Rgba{255, 0, 0, 255}));
    EXPECT_EQ(t.maxLength, 12);
    EXPECT_EQ(t.align, swf::TextAlign::Center);
    EXPECT_EQ(t.leftMargin, 60);
    EXPECT_EQ(t.rightMargin, 80);
    EXPECT_EQ(t.indent, -100);
    EXPECT_EQ(t.leading, -20);
    EXPECT_EQ(t.variableName, "field");
    EXPECT_EQ(t.initialText, f.text);

    // A font named by class instead of id still has its height; no flags leaves every option off.
    FieldSpec byClass;
    byClass.flags = kHasFontClass | kHasText;
    byClass.text = "x";
    body = editTextBody(byClass);
    t = swf::decodeEditText(body.data(), body.size(), 9);
    EXPECT_EQ(t.fontClass, "Lib.Font");
    EXPECT_EQ(t.height, 400);
    EXPECT_EQ(t.initialText, "x");
    EXPECT_FALSE(t.wordWrap || t.multiline || t.html || t.border || t.hasLayout || t.hasFont);
}

TEST(EditTextDecoding, FontAdvancesAreUnsigned)
{
    const Bytes body = boxFontBody(1, 40000);
    const swf::Font font = swf::decodeFont(body.data(), body.size(), 2);
    ASSERT_EQ(font.advances.size(), 2u);
    EXPECT_EQ(font.advances[0], 40000);
    EXPECT_EQ(font.advances[1], 512);
}

TEST(EditTextDecoding, OlderTextIsLatin1AndCutBodiesNeverFail)
{
    FieldSpec f;
    f.flags = kHasText | kHasFont | kHasLayout | kHasColour;
    f.text = "caf\xE9";
    Bytes body = editTextBody(f);
    EXPECT_EQ(swf::decodeEditText(body.data(), body.size(), 5).initialText, "caf\xC3\xA9");
    // An out-of-range alignment is read as left.
    f.align = 9;
    body = editTextBody(f);
    EXPECT_EQ(swf::decodeEditText(body.data(), body.size(), 8).align, swf::TextAlign::Left);
    for (std::size_t n = 0; n <= body.size(); ++n) {
        swf::EditText t = swf::decodeEditText(body.data(), n, 8);
        EXPECT_LE(t.initialText.size(), 4u) << n;
    }
}

TEST(HtmlText, TheSubsetBecomesParagraphsOfFormattedRuns)
{
    swf::TextFormat base;
    base.face = "_sans";
    auto text = [](const swf::TextRun& r) { return std::string(r.text.begin(), r.text.end()); };

    auto p = swf::htmlParagraphs("<p align=\"right\"><font face='Arial' "
                                 "size=\"30\" color=\"#FF99CC\">a<b>b<i>c</i></b>"
                                 "</font></p><p>d<br/>e<u>f</u></p>",
                                 base);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0].align, swf::TextAlign::Right);
    ASSERT_EQ(p[0].runs.size(), 3u);
    EXPECT_EQ(text(p[0].runs[0]), "a");
    EXPECT_EQ(p[0].runs[0].format.face, "Arial");
    EXPECT_EQ(p[0].runs[0].format.size, 600);
    EXPECT_EQ(p[0].runs[0].format.colour, (swf::Rgba{255, 0x99, 0xCC, 255}));
    EXPECT_TRUE(p[0].runs[1].format.bold && !p[0].runs[1].format.italic);
    EXPECT_TRUE(p[0].runs[2].format.bold && p[0].runs[2].format.italic);
    EXPECT_EQ(p[1].align,
              swf::TextAlign::Left);  // the format closed with the first paragraph
    EXPECT_EQ(text(p[1].runs[0]), "d");
    EXPECT_EQ(p[1].runs[0].format.face, "_sans");
    ASSERT_EQ(p[2].runs.size(), 2u);
    EXPECT_TRUE(p[2].runs[1].format.underline);

    // Entities, unknown tags (text kept) and markup cut off in a tag.
    p = swf::htmlParagraphs("&lt;x&gt; &amp;&#65;&#x42;&bogus; <blink>on</blink><b", base);
    ASSERT_EQ(p.size(), 1u);
    ASSERT_EQ(p[0].runs.size(), 1u);
    EXPECT_EQ(text(p[0].runs[0]), "<x> &AB&bogus; on");

    // <textformat> margins, indent and leading in pixels; letter spacing of <font>.
    p = swf::htmlParagraphs("<textformat leftmargin=\"3\" blockindent=\"2\" indent=\"-1\" leading=\"4.5\">"
                            "<font letterSpacing=\"1.5\">a</font></textformat>",
                            base);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].runs[0].format.leftMargin, 100);
    EXPECT_EQ(p[0].runs[0].format.indent, -20);
    EXPECT_EQ(p[0].runs[0].format.leading, 90);
    EXPECT_EQ(p[0].runs[0].format.letterSpacing, 30);

    // Hostile markup: nesting deeper than the limit is ignored, text past the limit is dropped.
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<font size=\"+1\"><b>";
    p = swf::htmlParagraphs(deep + "z" + std::string(200000, 'y'), base);
    ASSERT_EQ(p.size(), 1u);
    std::size_t characters = 0;
    for (const swf::TextRun& r : p[0].runs)
        characters += r.text.size();
    EXPECT_LE(characters, swf::limits::kMaxTextFieldCharacters);
    EXPECT_LE(p[0].runs[0].format.size, 127 * 20 * 10);

    // Plain text: CR, LF and CR LF each end one paragraph.
    p = swf::plainParagraphs("a\rb\r\nc\n\nd", base);
    ASSERT_EQ(p.size(), 5u);
    EXPECT_TRUE(p[3].runs.empty());
    EXPECT_EQ(text(p[4].runs[0]), "d");
}

// A field of the Box font 400 twips high (one 'A' is 400 twips square, a space 200 wide).
struct LayoutCase {
    std::uint16_t flags;
    std::int32_t width;  // inside the field's padding
    std::uint8_t align;
    std::uint16_t leftMargin;
    std::int16_t indent, leading;
    std::string text;
    std::vector<std::pair<double, double>> origins;  // of the drawn glyphs, twips
};

TEST(TextLayout, LinesWrapAlignAndTakeMarginsIndentAndLeading)
{
    const std::uint16_t wrap = kWordWrap | kMultiline;
    const LayoutCase cases[] = {
        // Three words of 800 twips in 1000: each on its line; leading 100 between lines.
        {wrap, 1000, 0, 0, 0, 100, "AA AA AA", {{40, 440}, {440, 440}, {40, 940}, {440, 940}, {40, 1440}, {440, 1440}}},
        // Without word wrap the line runs on past the field.
        {0, 1000, 0, 0, 0, 0, "AA AA", {{40, 440}, {440, 440}, {1040, 440}, {1440, 440}}},
        // Right and centre alignment move the line by all or half of the room left.
        {0, 1000, 1, 0, 0, 0, "AA", {{240, 440}, {640, 440}}},
        {0, 1000, 2, 0, 0, 0, "AA", {{140, 440}, {540, 440}}},
        // Justified lines spread the room over their spaces; a paragraph's last line stays left.
        {wrap, 2000, 3, 0, 0, 0, "AA AA AA", {{40, 440}, {440, 440}, {1240, 440}, {1640, 440}, {40, 840}, {440, 840}}},
        // Margin for every line, indent for the first of each paragraph.
        {wrap, 1000, 0, 100, 50, 0, "AA AA", {{190, 440}, {590, 440}, {140, 840}, {540, 840}}},
        // A word wider than the field is broken where it reaches the edge.
        {wrap, 1000, 0, 0, 0, 0, "AAAA", {{40, 440}, {440, 440}, {40, 840}, {440, 840}}},
    };
    for (const LayoutCase& c : cases) {
        FieldSpec f;
        f.flags = kHasText | kHasFont | kHasColour | kHasLayout | kUseOutlines | c.flags;
        f.bounds = {0, c.width + 80, 0, 4000};
        f.align = c.align;
        f.leftMargin = c.leftMargin;
        f.indent = c.indent;
        f.leading = c.leading;
        f.text = c.text;
        SwfWriter w = smallMovie();
        w.tag(kDefineFont2, boxFontBody(1)).tag(kDefineEditText, editTextBody(f)).showFrame();
        auto player = playerFor(w.finish());
        ASSERT_TRUE(player && player->movie());
        const swf::Movie* movie = player->movie();
        const swf::Character* ch = movie->character(2);
        ASSERT_TRUE(ch && ch->editText);
        swf::EditTextField field(ch->editText);
        swf::TextLayout layout = swf::layoutText(field, *movie, nullptr);
        ASSERT_EQ(layout.glyphs.size(), c.origins.size()) << c.text;
        for (std::size_t i = 0; i < c.origins.size(); ++i) {
            EXPECT_DOUBLE_EQ(layout.glyphs[i].x, c.origins[i].first) << c.text << " glyph " << i;
            EXPECT_DOUBLE_EQ(layout.glyphs[i].y, c.origins[i].second) << c.text << " glyph " << i;
            EXPECT_EQ(layout.glyphs[i].colour, (swf::Rgba{255, 0, 0, 255}));
        }
    }
}

// System fonts with fixed measures: ascent 800, descent 200, every advance 500 (per 1024 em).
class FixedFonts : public swf::FontProvider {
public:
    swf::DeviceFontMetrics metrics(const swf::DeviceFont& font) override
    {
        faces.push_back(font.face + (font.bold ? "+b" : ""));
        return {800, 200, 0};
    }
    double advance(const swf::DeviceFont&, char32_t) override { return 512; }
    std::shared_ptr<const swf::ShapeGeometry> glyph(const swf::DeviceFont&, char32_t) override { return nullptr; }
    std::vector<std::string> faces;
};

TEST(TextLayout, DeviceTextUsesTheProviderAndPasswordsShowStars)
{
    SwfWriter w = smallMovie();
    FieldSpec f;
    f.flags = kHasText | kHasFont | kPassword | kHtml;
    f.text = "x<b>y</b>";
    // DefineFont3 without glyphs, named "_sans" with its terminating NUL as Flash writes it.
    ByteWriter font;
    font.u16(1).u8(0).u8(1).u8(6).bytes(Bytes{'_', 's', 'a', 'n', 's', 0}).u16(0);
    w.tag(kDefineFont3, font.data()).tag(kDefineEditText, editTextBody(f)).showFrame();
    auto player = playerFor(w.finish());
    ASSERT_TRUE(player && player->movie());
    const swf::Movie* movie = player->movie();
    ASSERT_TRUE(movie->character(2));
    swf::EditTextField field(movie->character(2)->editText);
    FixedFonts fonts;
    swf::TextLayout layout = swf::layoutText(field, *movie, &fonts);
    ASSERT_EQ(layout.glyphs.size(), 2u);
    EXPECT_FALSE(layout.glyphs[0].font);
    EXPECT_EQ(layout.glyphs[0].device.face, "_sans");
    EXPECT_TRUE(layout.glyphs[1].device.bold);
    EXPECT_EQ(layout.glyphs[0].code, U'*');
    EXPECT_DOUBLE_EQ(layout.glyphs[0].y, 40 + 800 * 400.0 / 1024);
    EXPECT_DOUBLE_EQ(layout.glyphs[1].x, 40 + 200);

    // Script replaces the text; plain text is not read as markup.
    field.setText("<b>");
    EXPECT_EQ(swf::layoutText(field, *movie, &fonts).glyphs.size(), 3u);
    // Letter spacing of device text is kept to whole pixels (1.5 px becomes 2).
    swf::TextFormat spaced = field.format();
    spaced.letterSpacing = 30;
    field.setFormat(spaced);
    EXPECT_DOUBLE_EQ(swf::layoutText(field, *movie, &fonts).glyphs[1].x, 40 + 200 + 40);
    // Without a provider device text takes no room and draws nothing.
    EXPECT_TRUE(swf::layoutText(field, *movie, nullptr).glyphs.empty());
}

TEST(RenderEditText, CommandsFollowTheTextAsScriptChangesIt)
{
    // The Box font in a 1000-twip field: "A" is one glyph; "AAAA" runs past the field and is clipped.
    FieldSpec f;
    f.flags = kHasText | kHasFont | kUseOutlines;
    f.bounds = {0, 1080, 0, 1000};
    f.text = "A";
    SwfWriter w = smallMovie();
    w.tag(kDefineFont2, boxFontBody(1)).tag(kDefineEditText, editTextBody(f)).showFrame();
    auto player = playerFor(w.finish());
    ASSERT_TRUE(player && player->movie() && player->movie()->character(2));
    swf::EditTextField field(player->movie()->character(2)->editText);
    swf::GeometryCache cache;
    auto commands = [&] {
        std::vector<swf::DrawCommand> out;
        swf::appendTextFieldCommands(field, *player->movie(), cache, nullptr, {}, {}, swf::BlendMode::Normal, false,
                                     out);
        return out;
    };
    EXPECT_EQ(commands().size(), 1u);
    EXPECT_EQ(commands().size(), 1u);  // drawn again from the kept layout
    field.setText("AAAA");
    std::vector<swf::DrawCommand> clipped = commands();
    ASSERT_EQ(clipped.size(), 4u + 4u);  // mask begin, its shape, end; four glyphs; pop
    EXPECT_EQ(clipped.front().kind, swf::DrawCommand::Kind::BeginMask);
    EXPECT_EQ(clipped.back().kind, swf::DrawCommand::Kind::PopMask);
    field.setBorder(true);
    field.setText("");
    EXPECT_EQ(commands().size(), 1u);  // the border alone
    // A line break at the end of text that fits leaves it unclipped; single-line fields break lines too.
    field.setText("A\r");
    EXPECT_EQ(commands().size(), 2u);
    EXPECT_EQ(swf::layoutText(field, *player->movie(), nullptr).lines, 2u);
}

TEST(SystemFonts, FlashFaceNamesMapAndMissingCharactersFallBack)
{
    // Each generic face ends with a DejaVu face, which every system has.
    EXPECT_EQ(swf::QtFontProvider::familiesFor("_sans"), QStringList({"Noto Sans", "DejaVu Sans"}));
    EXPECT_EQ(swf::QtFontProvider::familiesFor(""), swf::QtFontProvider::familiesFor("_sans"));
    EXPECT_EQ(swf::QtFontProvider::familiesFor("_serif"), QStringList({"Noto Serif", "DejaVu Serif"}));
    EXPECT_EQ(swf::QtFontProvider::familiesFor("_typewriter").back(), "DejaVu Sans Mono");
    EXPECT_EQ(swf::QtFontProvider::familiesFor("Arial"), QStringList({"Arial"}));
    ensureGuiApplication();
    swf::QtFontProvider fonts;
    // _typewriter stays monospaced whichever of its faces the system has.
    swf::DeviceFont typewriter{"_typewriter", false, false};
    EXPECT_EQ(fonts.advance(typewriter, U'i'), fonts.advance(typewriter, U'W'));
    EXPECT_GT(fonts.advance(typewriter, U'i'), 300);
    swf::DeviceFont sans{"_sans", false, false};
    swf::DeviceFontMetrics m = fonts.metrics(sans);
    EXPECT_GT(m.ascent, 500);
    EXPECT_GT(m.descent, 0);
    EXPECT_GT(fonts.advance(sans, U'H'), 300);
    EXPECT_FALSE(fonts.glyph(sans, U' '));
    // A Chinese character is not in the Latin faces: the system's fallback font draws it.
    for (char32_t code : {U'H', U'\u4e2d'}) {
        auto glyph = fonts.glyph(sans, code);
        ASSERT_TRUE(glyph) << static_cast<unsigned>(code);
        ASSERT_FALSE(glyph->layers.empty());
        EXPECT_GT(glyph->layers[0].fills[0].path.size(), 4u);
        EXPECT_GT(glyph->bounds.xMax - glyph->bounds.xMin, 300);
        EXPECT_GT(fonts.advance(sans, code), 300);
    }
}

TEST(RenderEditText, AutoSizedFieldsFitTheirBoxToTheText)
{
    // Box font at 400 twips: "AA" is 800 wide and one 400-twip line; padding 40 on each side.
    struct Case {
        std::uint16_t flags;
        swf::Rect box;
    };
    // The border's right and bottom lines lie one pixel (20 twips) beyond the box.
    const Case cases[] = {
        {kAutoSize, {0, 900, 0, 500}},
        {kAutoSize | kWordWrap, {0, 3020, 0, 500}},  // wrapped fields keep their width
        {0, {0, 3020, 0, 2020}},
    };
    for (const Case& c : cases) {
        FieldSpec f;
        f.flags = kHasText | kHasFont | kUseOutlines | kBorder | c.flags;
        f.bounds = {0, 3000, 0, 2000};
        f.text = "AA";
        SwfWriter w = smallMovie();
        w.tag(kDefineFont2, boxFontBody(1)).tag(kDefineEditText, editTextBody(f)).showFrame();
        auto player = playerFor(w.finish());
        ASSERT_TRUE(player && player->movie() && player->movie()->character(2));
        swf::EditTextField field(player->movie()->character(2)->editText);
        swf::GeometryCache cache;
        std::vector<swf::DrawCommand> out;
        swf::appendTextFieldCommands(field, *player->movie(), cache, nullptr, {}, {}, swf::BlendMode::Normal, false,
                                     out);
        ASSERT_EQ(out.size(), 3u) << c.flags;
        const swf::Rect& box = out[0].geometry->bounds;
        EXPECT_EQ(box.xMax, c.box.xMax) << c.flags;
        EXPECT_EQ(box.yMax, c.box.yMax) << c.flags;
    }
}

TEST(RenderEditText, EmbeddedGlyphsSitOnTheBaselineInTheFieldColour)
{
    // The Box font at 400 twips (20 px), field at (200, 200) twips: the first 'A' covers x 12..32 px, y 12..32 px
    // (padding 2 px, ascent 20 px); the second x 32..52 px.
    FieldSpec f;
    f.flags = kHasText | kHasFont | kHasColour | kUseOutlines;
    f.bounds = {0, 1600, 0, 800};
    f.text = "AA";
    SwfWriter w = smallMovie();
    w.tag(kDefineFont2, boxFontBody(1)).tag(kDefineEditText, editTextBody(f));
    w.tag(kPlaceObject2, placeObject2(placeAt(1, 2, 200, 200))).showFrame();
    QImage image = renderFrame(*playerFor(w.finish()));
    const QColor red(255, 0, 0), white(255, 255, 255);
    EXPECT_TRUE(near(image, 22, 22, red));
    EXPECT_TRUE(near(image, 45, 14, red));
    EXPECT_TRUE(near(image, 56, 22, white));
    EXPECT_TRUE(near(image, 22, 34, white));
    EXPECT_TRUE(near(image, 10, 22, white));
}

TEST(RenderEditText, AFieldMadeAMaskByScriptMasksByItsGlyphs)
{
    // A sprite "clip" covers the stage in green; a blue field "label" at (200, 200) twips shows "A A" in the Box
    // font at 20 px: squares at x 12..32 and 42..62 px, y 12..32 px. Frame 1 runs clip.setMask(label), frame 2
    // clip.setMask(null).
    FieldSpec f;
    f.flags = kHasText | kHasFont | kHasColour | kUseOutlines;
    f.bounds = {0, 1600, 0, 800};
    f.colour[0] = 0, f.colour[2] = 255;
    f.text = "A A";
    using avm1test::Asm;
    auto setMask = [](Asm argument) {
        Bytes code = argument.callMethod(Asm().get("clip"), "setMask", 1).a(swf::avm1::op::Pop).bytes;
        code.push_back(0);
        return code;
    };
    Placement clip = placeAt(1, 4), field = placeAt(2, 2, 200, 200);
    clip.name = "clip";
    field.name = "label";
    SwfWriter w = smallMovie();
    auto [shapeCode, shape] = rectangleShape(3, {0, 2000, 0, 2000}, {0, 255, 0, 255});
    w.tag(kDefineFont2, boxFontBody(1)).tag(kDefineEditText, editTextBody(f)).tag(shapeCode, shape);
    w.tag(39, spriteBody(4, 1, {{kPlaceObject2, placeObject2(placeAt(1, 3))}, {1, {}}}));
    w.tag(kPlaceObject2, placeObject2(clip)).tag(kPlaceObject2, placeObject2(field));
    w.tag(12, setMask(Asm().get("label"))).showFrame();
    w.tag(12, setMask(Asm().null())).showFrame();
    auto player = playerFor(w.finish());
    ASSERT_TRUE(player);
    QImage masked = renderFrame(*player);
    const QColor green(0, 255, 0), white(255, 255, 255);
    EXPECT_TRUE(near(masked, 22, 22, green));  // inside a glyph: the clip, not the field's own blue
    EXPECT_TRUE(near(masked, 52, 22, green));
    EXPECT_TRUE(near(masked, 37, 22, white));  // the space between the glyphs
    EXPECT_TRUE(near(masked, 22, 40, white));  // inside the field, below the text
    EXPECT_TRUE(near(masked, 80, 80, white));  // outside the field
    player->advance();
    QImage whole = renderFrame(*player);
    EXPECT_TRUE(near(whole, 37, 22, green));
    EXPECT_TRUE(near(whole, 80, 80, green));
    EXPECT_TRUE(near(whole, 22, 22, QColor(0, 0, 255)));  // the field shows again, above the clip
}

TEST(RenderEditText, FieldColoursPassThroughAFixedPointMultiplier)
{
    // One Box glyph at 20 px in the field colour, drawn unsmoothed on white: channels other than 0 and 255 come out
    // one step darker, as Flash draws them.
    struct Case {
        std::uint8_t in[3], out[3];
    };
    const Case cases[] = {{{255, 153, 204}, {255, 152, 203}}, {{0, 128, 255}, {0, 127, 255}}, {{1, 254, 2}, {0, 253, 1}}};
    for (const Case& c : cases) {
        FieldSpec f;
        f.flags = kHasText | kHasFont | kHasColour | kUseOutlines;
        f.bounds = {0, 1600, 0, 800};
        std::copy(c.in, c.in + 3, f.colour);
        f.text = "A";
        SwfWriter w = smallMovie();
        w.tag(kDefineFont2, boxFontBody(1)).tag(kDefineEditText, editTextBody(f));
        w.tag(kPlaceObject2, placeObject2(placeAt(1, 2, 200, 200))).showFrame();
        auto player = playerFor(w.finish());
        ASSERT_TRUE(player);
        const QColor drawn = renderFrame(*player).pixelColor(22, 22);
        EXPECT_EQ(drawn, QColor(c.out[0], c.out[1], c.out[2])) << int(c.in[0]) << "," << int(c.in[1]);
    }
}

TEST(RenderEditText, DeviceTextBorderAndBackgroundAreDrawn)
{
    // "_sans" without outlines at 30 px, black on a bordered field over a blue stage.
    ensureGuiApplication();
    FieldSpec f;
    f.flags = kHasText | kHasFont | kBorder;
    f.bounds = {0, 1800, 0, 900};
    f.height = 600;
    f.text = "HH";
    ByteWriter font;
    font.u16(1).u8(0).u8(1).u8(5).bytes(Bytes{'_', 's', 'a', 'n', 's'}).u16(0);
    SwfWriter w(10, {0, 2000, 0, 2000}, 12 << 8);
    w.backgroundColour(0, 0, 255);
    w.tag(kDefineFont3, font.data()).tag(kDefineEditText, editTextBody(f));
    w.tag(kPlaceObject2, placeObject2(placeAt(1, 2, 100, 100))).showFrame();
    QImage image = renderFrame(*playerFor(w.finish()));
    int dark = 0, whiteInside = 0;
    for (int y = 8; y < 45; ++y) {
        for (int x = 8; x < 90; ++x) {
            QColor c = image.pixelColor(x, y);
            dark += c.red() < 80 && c.blue() < 80;
            whiteInside += c == QColor(255, 255, 255);
        }
    }
    EXPECT_GT(dark, 40);  // the letters
    EXPECT_GT(whiteInside, 1000);  // the background
    // The border's left edge straddles x = 5 px: one of the pixels beside it is black, the stage left of it.
    EXPECT_TRUE(near(image, 4, 30, QColor(0, 0, 0), 40) || near(image, 5, 30, QColor(0, 0, 0), 40));
    EXPECT_TRUE(near(image, 3, 30, QColor(0, 0, 255)));
    EXPECT_TRUE(near(image, 97, 30, QColor(0, 0, 255)));  // the stage beyond the field
}

TEST(RenderEditText, BordersAndBackgroundsSnapToWholePixels)
{
    // Fields 10 by 10 pixels at fractional positions, drawn smoothed: the box still covers whole pixels, from the
    // nearest pixel edges (halves go to the even one). The border takes the top and left pixel rows of the box and
    // the row and column just past its right and bottom edges. The corner pixel at the bottom right stays empty
    // under a field with a background; without one (a script turned it off) a bevel half covers it.
    struct Case {
        std::int32_t tx, ty;  // twips
        int x0, y0;  // the box's pixels
    };
    const Case cases[] = {{105, 1005, 5, 50}, {410, 1010, 20, 50}, {430, 1030, 22, 52}, {100, 100, 5, 5}};
    // The border flag gives a white background too; the stage is blue.
    const QColor black(0, 0, 0), white(255, 255, 255), stage(0, 0, 255);
    for (const bool background : {true, false}) {
        for (const Case& c : cases) {
            FieldSpec f;
            f.flags = kBorder;
            f.bounds = {0, 200, 0, 200};
            Placement place = placeAt(1, 2, c.tx, c.ty);
            place.name = "box";
            SwfWriter w(10, {0, 2000, 0, 2000}, 12 << 8);
            w.backgroundColour(0, 0, 255);
            w.tag(kDefineEditText, editTextBody(f)).tag(kPlaceObject2, placeObject2(place));
            if (!background) {
                Bytes off = avm1test::Asm().get("box").str("background").boolean(false).a(swf::avm1::op::SetMember).bytes;
                off.push_back(0);
                w.tag(12, off);
            }
            w.showFrame();
            auto player = playerFor(w.finish());
            ASSERT_TRUE(player);
            QImage image = renderFrame(*player, swf::Quality::High);
            const int x1 = c.x0 + 10, y1 = c.y0 + 10;
            const QColor inside = background ? white : stage;
            const struct {
                int x, y;
                QColor colour;
            } pixels[] = {{c.x0, c.y0, black}, {x1, c.y0, black}, {c.x0, y1, black}, {x1 - 1, y1, black},
                          {x1, y1 - 1, black}, {c.x0 + 1, c.y0 + 1, inside}, {x1 - 1, y1 - 1, inside},
                          {c.x0 - 1, c.y0, stage}, {c.x0, c.y0 - 1, stage}, {x1 + 1, c.y0, stage},
                          {c.x0, y1 + 1, stage}, {x1 + 1, y1, stage}, {x1, y1 + 1, stage}};
            for (const auto& p : pixels)
                EXPECT_EQ(image.pixelColor(p.x, p.y), p.colour)
                    << c.tx << "," << c.ty << " at " << p.x << "," << p.y << (background ? "" : " without background");
            if (background)
                EXPECT_EQ(image.pixelColor(x1, y1), stage) << c.tx << "," << c.ty;
            else
                EXPECT_TRUE(near(image, x1, y1, QColor(0, 0, 128), 48)) << c.tx << "," << c.ty << ": "
                                                                         << image.pixelColor(x1, y1).blue();
        }
    }
}

}  // namespace
}  // namespace kivamo::test
