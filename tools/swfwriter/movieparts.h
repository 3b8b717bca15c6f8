// Builders for the parts of test and demo movies: shapes with styles, placement, sprites, text and actions.
#pragma once

#include "swfwriter/swfwriter.h"

#include <optional>
#include <string>

namespace kivamo::test {

struct WriterMatrix {
    double a = 1, b = 0, c = 0, d = 1;
    std::int32_t tx = 0, ty = 0;  // twips
};

struct WriterColour {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
};

struct WriterColourTransform {
    std::int16_t rMult = 256, gMult = 256, bMult = 256, aMult = 256;
    std::int16_t rAdd = 0, gAdd = 0, bAdd = 0, aAdd = 0;
};

Bytes matrixBytes(const WriterMatrix& m);
Bytes colourTransformBytes(const WriterColourTransform& t, bool withAlpha);

// A DefineShape 1-4 body: add styles, then draw with moves, lines and curves (absolute twips).
class ShapeBuilder {
public:
    explicit ShapeBuilder(std::uint16_t id, int version = 3) : m_id(id), m_version(version) {}

    // Fill styles return their 1-based index.
    int solidFill(WriterColour c);
    // kind 0x10 linear, 0x12 radial, 0x13 focal; stops as (ratio, colour); spread 0 pad, 1 reflect, 2 repeat;
    // interpolation 0 mixes the stops in gamma space, 1 in linear light.
    int gradientFill(std::uint8_t kind, const WriterMatrix& m, const std::vector<std::pair<std::uint8_t, WriterColour>>& stops,
                     int spread = 0, double focal = 0, int interpolation = 0);
    int bitmapFill(std::uint16_t bitmapId, const WriterMatrix& m, std::uint8_t kind = 0x41);
    // `flags`: the first flags byte of a version 4 line style (0x04 no horizontal scale, 0x02 no vertical scale;
    // round caps and joins when 0).
    int lineStyle(std::uint16_t width, WriterColour c, std::uint8_t flags = 0);

    ShapeBuilder& styles(int fill0, int fill1, int line);
    ShapeBuilder& moveTo(std::int32_t x, std::int32_t y);
    ShapeBuilder& lineTo(std::int32_t x, std::int32_t y);
    ShapeBuilder& curveTo(std::int32_t cx, std::int32_t cy, std::int32_t x, std::int32_t y);
    // A closed rectangle with fill1 = fill (and optional line).
    ShapeBuilder& rectangle(TwipsRect r, int fill, int line = 0);
    ShapeBuilder& bounds(TwipsRect r);
    ShapeBuilder& nonZeroWinding(bool on);

    Bytes body();
    std::uint16_t tagCode() const;
    TwipsRect boundsUsed() const { return computedBounds(); }

private:
    struct Op {
        int kind = 0;  // 0 style change, 1 straight edge, 2 curve
        int fill0 = -1, fill1 = -1, line = -1;
        bool move = false;
        std::int32_t cx = 0, cy = 0, x = 0, y = 0;
    };
    void colour(ByteWriter& w, WriterColour c) const;
    void writeOp(BitWriter& bits, const Op& op, unsigned fillBits, unsigned lineBits, std::int32_t& x, std::int32_t& y);
    TwipsRect computedBounds() const;

    std::uint16_t m_id;
    int m_version;
    ByteWriter m_fills, m_lines;
    int m_fillCount = 0, m_lineCount = 0;
    bool m_haveBounds = false, m_nonZero = false;
    TwipsRect m_bounds;
    std::vector<Op> m_ops;
};

struct Placement {
    std::uint16_t depth = 1;
    std::optional<std::uint16_t> characterId;
    bool move = false;
    std::optional<WriterMatrix> matrix;
    std::optional<WriterColourTransform> colourTransform;
    std::optional<std::uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<std::uint16_t> clipDepth;
    std::optional<std::uint8_t> blendMode;  // PlaceObject3 when set
    std::vector<Bytes> filters;             // filter records (PlaceObject3 when any)
};

// Filter records for Placement::filters; sizes and distances in pixels, the angle in radians.
Bytes blurFilter(double blurX, double blurY, int passes);
Bytes dropShadowFilter(WriterColour colour, double blurX, double blurY, double angle, double distance,
                       double strength, int passes, bool inner = false, bool knockout = false);
Bytes glowFilter(WriterColour colour, double blurX, double blurY, double strength, int passes, bool inner = false,
                 bool knockout = false);

Bytes placeObject2(const Placement& p);
Bytes removeObject2(std::uint16_t depth);
Bytes frameLabel(const std::string& label);
// A DefineSprite body from its tag records (each a (code, body) pair, ShowFrame included); End is added.
Bytes spriteBody(std::uint16_t id, std::uint16_t frames, const std::vector<std::pair<std::uint16_t, Bytes>>& tags);
// Action records: simple ones by code; GotoFrame, GotoLabel and GetURL with their payloads.
Bytes actionGotoFrame(std::uint16_t frame);
Bytes actionGotoLabel(const std::string& label);
Bytes actionGetUrl(const std::string& url, const std::string& target);
Bytes actions(const std::vector<Bytes>& records);  // joins records and adds End

}  // namespace kivamo::test
