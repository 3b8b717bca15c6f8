// Decoding of the drawing tags from movies written with the SWF writer.
#include "helpers.h"

#include "swf/format/place.h"
#include "swf/format/shape.h"
#include "swf/format/text.h"
#include "swf/io/bytereader.h"
#include "swf/movie/simpleactions.h"

#include <gtest/gtest.h>

namespace kivamo::test {
namespace {

TEST(ShapeDecoding, RecordsBecomeAbsoluteEdgesWithStyles)
{
    // A triangle with a straight edge, a curve and a closing edge, filled with style 1 and outlined by style 1.
    ShapeBuilder s(7, 3);
    int fill = s.solidFill({255, 0, 0, 128});
    int line = s.lineStyle(40, {0, 0, 255, 255});
    s.styles(0, fill, line).moveTo(100, 200).lineTo(500, 200).curveTo(600, 400, 300, 600).lineTo(100, 200);
    Bytes body = s.body();
    swf::Shape shape = swf::decodeShape(body.data(), body.size(), 3);
    EXPECT_EQ(shape.id, 7);
    ASSERT_EQ(shape.styleTables.size(), 1u);
    ASSERT_EQ(shape.styleTables[0].fills.size(), 1u);
    EXPECT_EQ(shape.styleTables[0].fills[0].colour, (swf::Rgba{255, 0, 0, 128}));
    ASSERT_EQ(shape.styleTables[0].lines.size(), 1u);
    EXPECT_EQ(shape.styleTables[0].lines[0].width, 40);
    ASSERT_EQ(shape.records.size(), 5u);
    EXPECT_EQ(shape.records[0].kind, swf::ShapeRecord::Kind::Style);
    EXPECT_EQ(shape.records[0].fill1, 1);
    EXPECT_EQ(shape.records[0].line, 1);
    EXPECT_EQ(shape.records[1].x, 100);  // the move and the edges are kept as absolute points
    EXPECT_EQ(shape.records[1].y, 200);
    EXPECT_EQ(shape.records[2].x, 500);
    EXPECT_EQ(shape.records[3].kind, swf::ShapeRecord::Kind::Curve);
    EXPECT_EQ(shape.records[3].cx, 600);
    EXPECT_EQ(shape.records[3].cy, 400);
    EXPECT_EQ(shape.records[3].x, 300);
    EXPECT_EQ(shape.records[4].y, 200);
}

TEST(ShapeDecoding, ColoursAreRgbBeforeShape3AndRgbaFrom3)
{
    for (int version : {1, 2, 3, 4}) {
        ShapeBuilder s(1, version);
        s.solidFill({10, 20, 30, 40});
        s.rectangle({0, 100, 0, 100}, 1);
        Bytes body = s.body();
        swf::Shape shape = swf::decodeShape(body.data(), body.size(), version);
        ASSERT_EQ(shape.styleTables[0].fills.size(), 1u) << version;
        swf::Rgba expected{10, 20, 30, static_cast<std::uint8_t>(version >= 3 ? 40 : 255)};
        EXPECT_EQ(shape.styleTables[0].fills[0].colour, expected) << version;
        EXPECT_EQ(shape.records.size(), 6u) << version;
    }
}

TEST(ShapeDecoding, GradientsKeepSpreadStopsFocusAndMatrix)
{
    ShapeBuilder s(3, 4);
    s.gradientFill(0x13, {0.5, 0, 0, 0.25, 200, 300}, {{0, {255, 0, 0, 255}}, {128, {0, 255, 0, 255}}, {255, {0, 0, 255, 0}}}, 1,
                   -0.5);
    s.rectangle({0, 100, 0, 100}, 1).nonZeroWinding(true);
    Bytes body = s.body();
    swf::Shape shape = swf::decodeShape(body.data(), body.size(), 4);
    const swf::FillStyle& f = shape.styleTables[0].fills.at(0);
    EXPECT_EQ(f.kind, swf::FillKind::FocalGradient);
    EXPECT_EQ(f.gradient.spread, swf::SpreadMode::Reflect);
    ASSERT_EQ(f.gradient.stops.size(), 3u);
    EXPECT_EQ(f.gradient.stops[1].ratio, 128);
    EXPECT_EQ(f.gradient.stops[2].colour.a, 0);
    EXPECT_DOUBLE_EQ(f.gradient.focalPoint, -0.5);
    EXPECT_DOUBLE_EQ(f.matrix.a, 0.5);
    EXPECT_DOUBLE_EQ(f.matrix.d, 0.25);
    EXPECT_DOUBLE_EQ(f.matrix.tx, 200);
    EXPECT_TRUE(shape.nonZeroWinding);
}

TEST(ShapeDecoding, TruncatedBodiesLoseTheirLastRecordsOnly)
{
    ShapeBuilder s(1, 3);
    s.solidFill({1, 2, 3, 255});
    s.rectangle({0, 1000, 0, 1000}, 1);
    Bytes body = s.body();
    std::size_t previous = 100;
    for (std::size_t cut = body.size(); cut-- > 0;) {
        swf::Shape shape = swf::decodeShape(body.data(), cut, 3);
        EXPECT_LE(shape.records.size(), previous) << cut;  // never invents records
        previous = shape.records.size();
    }
    EXPECT_EQ(previous, 0u);
}

TEST(PlaceDecoding, PlaceObject2FieldsArriveOnlyWhenFlagged)
{
    Placement p = placeAt(5, 9, 40, -60);
    p.colourTransform = WriterColourTransform{128, 256, 256, 64, 10, 0, 0, 0};
    p.ratio = 32768;
    p.name = "ball";
    p.clipDepth = 12;
    Bytes body = placeObject2(p);
    swf::PlaceObject po = swf::decodePlaceObject(body.data(), body.size(), 2, 10);
    EXPECT_EQ(po.depth, 5);
    EXPECT_FALSE(po.move);
    EXPECT_EQ(po.characterId.value_or(0), 9);
    ASSERT_TRUE(po.matrix);
    EXPECT_DOUBLE_EQ(po.matrix->tx, 40);
    EXPECT_DOUBLE_EQ(po.matrix->ty, -60);
    ASSERT_TRUE(po.colorTransform);
    EXPECT_DOUBLE_EQ(po.colorTransform->rMult, 0.5);
    EXPECT_DOUBLE_EQ(po.colorTransform->aMult, 0.25);
    EXPECT_DOUBLE_EQ(po.colorTransform->rAdd, 10);
    EXPECT_EQ(po.ratio.value_or(0), 32768);
    EXPECT_EQ(po.name.value_or(""), "ball");
    EXPECT_EQ(po.clipDepth.value_or(0), 12);

    Placement moveOnly;
    moveOnly.depth = 5;
    moveOnly.move = true;
    Bytes moveBody = placeObject2(moveOnly);
    swf::PlaceObject m = swf::decodePlaceObject(moveBody.data(), moveBody.size(), 2, 10);
    EXPECT_TRUE(m.move);
    EXPECT_FALSE(m.characterId || m.matrix || m.colorTransform || m.ratio || m.name || m.clipDepth);
}

TEST(PlaceDecoding, PlaceObject3ReadsBlendModeAndFilters)
{
    // Flags: matrix present; flags2: filters and blend mode. One blur filter (9 bytes), blend mode multiply.
    ByteWriter w;
    w.u8(0x02).u8(0x03).u16(3).u16(4);
    w.u8(1).u8(1).u32(4 << 16).u32(2 << 16).u8(1 << 3);
    w.u8(3);
    swf::PlaceObject p = swf::decodePlaceObject(w.data().data(), w.data().size(), 3, 10);
    EXPECT_EQ(p.characterId.value_or(0), 4);
    ASSERT_TRUE(p.filters);
    ASSERT_EQ(p.filters->size(), 1u);
    EXPECT_EQ((*p.filters)[0].kind, swf::Filter::Kind::Blur);
    EXPECT_DOUBLE_EQ((*p.filters)[0].blurX, 4);
    EXPECT_EQ(p.blendMode.value_or(swf::BlendMode::Normal), swf::BlendMode::Multiply);
}

TEST(SimpleActions, BlocksWithOtherActionsAreNotSimple)
{
    struct Case {
        Bytes block;
        bool simple;
    };
    const Case cases[] = {
        {actions({{0x07}}), true},
        {actions({{0x06}, actionGotoFrame(3), actionGotoLabel("end"), actionGetUrl("a", "b")}), true},
        {actions({{0x96, 0x02, 0x00, 0x08, 0x00}, {0x07}}), false},  // a Push needs the stack
        {Bytes{0x81, 0x02}, false},                                    // GotoFrame cut off in its length
        {Bytes{0x07}, true},                                           // no End: the data ends cleanly
        {Bytes{}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(swf::onlySimpleActions(c.block.data(), c.block.size()), c.simple) << c.block.size();
}

TEST(TextDecoding, StaticTextRecordsCarryFontColourPositionAndGlyphs)
{
    // DefineText2: id 2, bounds, identity matrix, 4 glyph bits, 8 advance bits; one record with font 1,
    // red, x 100, y 300, height 240, glyphs 1 and 3 with advances 50 and 60.
    ByteWriter w;
    w.u16(2).bytes(rectBytes({0, 1000, 0, 1000})).bytes(matrixBytes({})).u8(4).u8(8);
    w.u8(0x80 | 0x08 | 0x04 | 0x02 | 0x01).u16(1).u8(255).u8(0).u8(0).u8(255).s16(100).s16(300).u16(240).u8(2);
    BitWriter glyphs;
    glyphs.ub(1, 4);
    glyphs.sb(50, 8);
    glyphs.ub(3, 4);
    glyphs.sb(60, 8);
    w.bytes(glyphs.bytes()).u8(0);
    swf::StaticText text = swf::decodeText(w.data().data(), w.data().size(), 2);
    ASSERT_EQ(text.records.size(), 1u);
    const swf::TextRecord& r = text.records[0];
    EXPECT_EQ(r.fontId, 1);
    EXPECT_EQ(r.colour, (swf::Rgba{255, 0, 0, 255}));
    EXPECT_EQ(r.x, 100);
    EXPECT_EQ(r.y, 300);
    EXPECT_EQ(r.height, 240);
    ASSERT_EQ(r.glyphs.size(), 2u);
    EXPECT_EQ(r.glyphs[1].index, 3u);
    EXPECT_EQ(r.glyphs[1].advance, 60);
}

}  // namespace
}  // namespace kivamo::test
