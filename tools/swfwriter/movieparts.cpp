#include "swfwriter/movieparts.h"

#include <algorithm>
#include <cmath>

namespace kivamo::test {

namespace {

std::int32_t fixed16(double v)
{
    return static_cast<std::int32_t>(std::lround(v * 65536.0));
}

unsigned bitsFor(std::initializer_list<std::int32_t> values)
{
    unsigned n = 1;
    for (std::int32_t v : values)
        n = std::max(n, BitWriter::bitsForSigned(v));
    return n;
}

}  // namespace

Bytes matrixBytes(const WriterMatrix& m)
{
    BitWriter bits;
    bool scale = m.a != 1 || m.d != 1;
    bits.ub(scale, 1);
    if (scale) {
        unsigned n = bitsFor({fixed16(m.a), fixed16(m.d)});
        bits.ub(n, 5);
        bits.sb(fixed16(m.a), n);
        bits.sb(fixed16(m.d), n);
    }
    bool rotate = m.b != 0 || m.c != 0;
    bits.ub(rotate, 1);
    if (rotate) {
        unsigned n = bitsFor({fixed16(m.b), fixed16(m.c)});
        bits.ub(n, 5);
        bits.sb(fixed16(m.b), n);
        bits.sb(fixed16(m.c), n);
    }
    unsigned n = (m.tx == 0 && m.ty == 0) ? 0 : bitsFor({m.tx, m.ty});
    bits.ub(n, 5);
    bits.sb(m.tx, n);
    bits.sb(m.ty, n);
    return bits.bytes();
}

Bytes colourTransformBytes(const WriterColourTransform& t, bool withAlpha)
{
    BitWriter bits;
    bool add = t.rAdd || t.gAdd || t.bAdd || (withAlpha && t.aAdd);
    bool mult = t.rMult != 256 || t.gMult != 256 || t.bMult != 256 || (withAlpha && t.aMult != 256);
    bits.ub(add, 1);
    bits.ub(mult, 1);
    unsigned n = bitsFor({t.rMult, t.gMult, t.bMult, t.aMult, t.rAdd, t.gAdd, t.bAdd, t.aAdd});
    bits.ub(n, 4);
    if (mult) {
        bits.sb(t.rMult, n);
        bits.sb(t.gMult, n);
        bits.sb(t.bMult, n);
        if (withAlpha)
            bits.sb(t.aMult, n);
    }
    if (add) {
        bits.sb(t.rAdd, n);
        bits.sb(t.gAdd, n);
        bits.sb(t.bAdd, n);
        if (withAlpha)
            bits.sb(t.aAdd, n);
    }
    return bits.bytes();
}

void ShapeBuilder::colour(ByteWriter& w, WriterColour c) const
{
    w.u8(c.r).u8(c.g).u8(c.b);
    if (m_version >= 3)
        w.u8(c.a);
}

int ShapeBuilder::solidFill(WriterColour c)
{
    m_fills.u8(0x00);
    colour(m_fills, c);
    return ++m_fillCount;
}

int ShapeBuilder::gradientFill(std::uint8_t kind, const WriterMatrix& m,
                               const std::vector<std::pair<std::uint8_t, WriterColour>>& stops, int spread, double focal,
                               int interpolation)
{
    m_fills.u8(kind).bytes(matrixBytes(m));
    m_fills.u8(static_cast<std::uint8_t>((spread << 6) | ((interpolation & 3) << 4) | (stops.size() & 0x0F)));
    for (const auto& [ratio, c] : stops) {
        m_fills.u8(ratio);
        colour(m_fills, c);
    }
    if (kind == 0x13)
        m_fills.s16(static_cast<std::int16_t>(std::lround(focal * 256)));
    return ++m_fillCount;
}

int ShapeBuilder::bitmapFill(std::uint16_t bitmapId, const WriterMatrix& m, std::uint8_t kind)
{
    m_fills.u8(kind).u16(bitmapId).bytes(matrixBytes(m));
    return ++m_fillCount;
}

int ShapeBuilder::lineStyle(std::uint16_t width, WriterColour c, std::uint8_t flags)
{
    m_lines.u16(width);
    if (m_version >= 4)
        m_lines.u8(flags).u8(0);
    colour(m_lines, c);
    return ++m_lineCount;
}

ShapeBuilder& ShapeBuilder::styles(int fill0, int fill1, int line)
{
    Op op;
    op.fill0 = fill0;
    op.fill1 = fill1;
    op.line = line;
    m_ops.push_back(op);
    return *this;
}

ShapeBuilder& ShapeBuilder::moveTo(std::int32_t x, std::int32_t y)
{
    Op op;
    op.move = true;
    op.x = x;
    op.y = y;
    m_ops.push_back(op);
    return *this;
}

ShapeBuilder& ShapeBuilder::lineTo(std::int32_t x, std::int32_t y)
{
    Op op;
    op.kind = 1;
    op.x = x;
    op.y = y;
    m_ops.push_back(op);
    return *this;
}

ShapeBuilder& ShapeBuilder::curveTo(std::int32_t cx, std::int32_t cy, std::int32_t x, std::int32_t y)
{
    Op op;
    op.kind = 2;
    op.cx = cx;
    op.cy = cy;
    op.x = x;
    op.y = y;
    m_ops.push_back(op);
    return *this;
}

ShapeBuilder& ShapeBuilder::rectangle(TwipsRect r, int fill, int line)
{
    styles(0, fill, line);
    moveTo(r.xMin, r.yMin);
    lineTo(r.xMax, r.yMin);
    lineTo(r.xMax, r.yMax);
    lineTo(r.xMin, r.yMax);
    return lineTo(r.xMin, r.yMin);
}

ShapeBuilder& ShapeBuilder::bounds(TwipsRect r)
{
    m_bounds = r;
    m_haveBounds = true;
    return *this;
}

ShapeBuilder& ShapeBuilder::nonZeroWinding(bool on)
{
    m_nonZero = on;
    return *this;
}

TwipsRect ShapeBuilder::computedBounds() const
{
    if (m_haveBounds)
        return m_bounds;
    TwipsRect r{0, 0, 0, 0};
    bool first = true;
    for (const Op& op : m_ops) {
        if (op.kind == 0 && !op.move)
            continue;
        if (first)
            r = {op.x, op.x, op.y, op.y};
        first = false;
        r.xMin = std::min(r.xMin, op.x);
        r.xMax = std::max(r.xMax, op.x);
        r.yMin = std::min(r.yMin, op.y);
        r.yMax = std::max(r.yMax, op.y);
    }
    return r;
}

void ShapeBuilder::writeOp(BitWriter& bits, const Op& op, unsigned fillBits, unsigned lineBits, std::int32_t& x,
                           std::int32_t& y)
{
    if (op.kind == 0) {
        bits.ub(0, 1);
        unsigned flags = (op.line >= 0 ? 0x08 : 0) | (op.fill1 >= 0 ? 0x04 : 0) | (op.fill0 >= 0 ? 0x02 : 0) |
                         (op.move ? 0x01 : 0);
        bits.ub(flags, 5);
        if (op.move) {
            unsigned n = bitsFor({op.x, op.y});
            bits.ub(n, 5);
            bits.sb(op.x, n);
            bits.sb(op.y, n);
            x = op.x;
            y = op.y;
        }
        if (op.fill0 >= 0)
            bits.ub(static_cast<std::uint32_t>(op.fill0), fillBits);
        if (op.fill1 >= 0)
            bits.ub(static_cast<std::uint32_t>(op.fill1), fillBits);
        if (op.line >= 0)
            bits.ub(static_cast<std::uint32_t>(op.line), lineBits);
        return;
    }
    bits.ub(1, 1);
    if (op.kind == 1) {
        std::int32_t dx = op.x - x, dy = op.y - y;
        unsigned n = std::max(2u, bitsFor({dx, dy}));
        bits.ub(1, 1);
        bits.ub(n - 2, 4);
        bits.ub(1, 1);  // general line
        bits.sb(dx, n);
        bits.sb(dy, n);
    } else {
        std::int32_t cdx = op.cx - x, cdy = op.cy - y, adx = op.x - op.cx, ady = op.y - op.cy;
        unsigned n = std::max(2u, bitsFor({cdx, cdy, adx, ady}));
        bits.ub(0, 1);
        bits.ub(n - 2, 4);
        bits.sb(cdx, n);
        bits.sb(cdy, n);
        bits.sb(adx, n);
        bits.sb(ady, n);
    }
    x = op.x;
    y = op.y;
}

Bytes ShapeBuilder::body()
{
    ByteWriter w;
    w.u16(m_id).bytes(rectBytes(computedBounds()));
    if (m_version >= 4)
        w.bytes(rectBytes(computedBounds())).u8(m_nonZero ? 0x04 : 0x00);
    w.u8(static_cast<std::uint8_t>(m_fillCount)).bytes(m_fills.data());
    w.u8(static_cast<std::uint8_t>(m_lineCount)).bytes(m_lines.data());
    unsigned fillBits = BitWriter::bitsForUnsigned(static_cast<std::uint32_t>(m_fillCount));
    unsigned lineBits = BitWriter::bitsForUnsigned(static_cast<std::uint32_t>(m_lineCount));
    BitWriter bits;
    bits.ub(fillBits, 4);
    bits.ub(lineBits, 4);
    std::int32_t x = 0, y = 0;
    for (const Op& op : m_ops)
        writeOp(bits, op, fillBits, lineBits, x, y);
    bits.ub(0, 6);  // end of shape
    return w.bytes(bits.bytes()).data();
}

std::uint16_t ShapeBuilder::tagCode() const
{
    static const std::uint16_t codes[] = {2, 2, 22, 32, 83};
    return codes[std::clamp(m_version, 1, 4)];
}

Bytes placeObject2(const Placement& p)
{
    ByteWriter w;
    std::uint8_t flags = (p.move ? 0x01 : 0) | (p.characterId ? 0x02 : 0) | (p.matrix ? 0x04 : 0) |
                         (p.colourTransform ? 0x08 : 0) | (p.ratio ? 0x10 : 0) | (p.name ? 0x20 : 0) |
                         (p.clipDepth ? 0x40 : 0);
    w.u8(flags);
    if (p.blendMode || !p.filters.empty())
        w.u8((p.blendMode ? 0x02 : 0) | (p.filters.empty() ? 0 : 0x01));
    w.u16(p.depth);
    if (p.characterId)
        w.u16(*p.characterId);
    if (p.matrix)
        w.bytes(matrixBytes(*p.matrix));
    if (p.colourTransform)
        w.bytes(colourTransformBytes(*p.colourTransform, true));
    if (p.ratio)
        w.u16(*p.ratio);
    if (p.name)
        w.cstring(*p.name);
    if (p.clipDepth)
        w.u16(*p.clipDepth);
    if (!p.filters.empty()) {
        w.u8(static_cast<std::uint8_t>(p.filters.size()));
        for (const Bytes& f : p.filters)
            w.bytes(f);
    }
    if (p.blendMode)
        w.u8(*p.blendMode);
    return w.data();
}

namespace {

std::uint32_t fixed16Bits(double v)
{
    return static_cast<std::uint32_t>(fixed16(v));
}

std::uint16_t fixed8(double v)
{
    return static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * 256)));
}

std::uint8_t filterFlags(bool inner, bool knockout, int passes)
{
    // The composite-source bit is always set, as Flash writes it.
    return static_cast<std::uint8_t>((inner ? 0x80 : 0) | (knockout ? 0x40 : 0) | 0x20 | (passes & 0x1F));
}

}  // namespace

Bytes blurFilter(double blurX, double blurY, int passes)
{
    return ByteWriter().u8(1).u32(fixed16Bits(blurX)).u32(fixed16Bits(blurY)).u8(static_cast<std::uint8_t>((passes & 0x1F) << 3)).data();
}

Bytes dropShadowFilter(WriterColour colour, double blurX, double blurY, double angle, double distance,
                       double strength, int passes, bool inner, bool knockout)
{
    ByteWriter w;
    w.u8(0).u8(colour.r).u8(colour.g).u8(colour.b).u8(colour.a);
    w.u32(fixed16Bits(blurX)).u32(fixed16Bits(blurY)).u32(fixed16Bits(angle)).u32(fixed16Bits(distance)).u16(fixed8(strength));
    return w.u8(filterFlags(inner, knockout, passes)).data();
}

Bytes glowFilter(WriterColour colour, double blurX, double blurY, double strength, int passes, bool inner,
                 bool knockout)
{
    ByteWriter w;
    w.u8(2).u8(colour.r).u8(colour.g).u8(colour.b).u8(colour.a);
    w.u32(fixed16Bits(blurX)).u32(fixed16Bits(blurY)).u16(fixed8(strength));
    return w.u8(filterFlags(inner, knockout, passes)).data();
}

Bytes removeObject2(std::uint16_t depth)
{
    return ByteWriter().u16(depth).data();
}

Bytes frameLabel(const std::string& label)
{
    return ByteWriter().cstring(label).data();
}

Bytes spriteBody(std::uint16_t id, std::uint16_t frames, const std::vector<std::pair<std::uint16_t, Bytes>>& tags)
{
    ByteWriter w;
    w.u16(id).u16(frames);
    for (const auto& [code, body] : tags) {
        if (body.size() < 63) {
            w.u16(static_cast<std::uint16_t>((code << 6) | body.size()));
        } else {
            w.u16(static_cast<std::uint16_t>((code << 6) | 0x3F)).u32(static_cast<std::uint32_t>(body.size()));
        }
        w.bytes(body);
    }
    w.u16(0);
    return w.data();
}

Bytes actionGotoFrame(std::uint16_t frame)
{
    return ByteWriter().u8(0x81).u16(2).u16(frame).data();
}

Bytes actionGotoLabel(const std::string& label)
{
    return ByteWriter().u8(0x8C).u16(static_cast<std::uint16_t>(label.size() + 1)).cstring(label).data();
}

Bytes actionGetUrl(const std::string& url, const std::string& target)
{
    return ByteWriter()
        .u8(0x83)
        .u16(static_cast<std::uint16_t>(url.size() + target.size() + 2))
        .cstring(url)
        .cstring(target)
        .data();
}

Bytes actions(const std::vector<Bytes>& records)
{
    ByteWriter w;
    for (const Bytes& r : records)
        w.bytes(r);
    return w.u8(0).data();
}

}  // namespace kivamo::test
