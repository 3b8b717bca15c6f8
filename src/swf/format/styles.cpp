#include "swf/format/styles.h"

#include "swf/io/bytereader.h"

#include <algorithm>
#include <cmath>

namespace swf {

Matrix Matrix::operator*(const Matrix& m) const
{
    Matrix r;
    r.a = a * m.a + c * m.b;
    r.b = b * m.a + d * m.b;
    r.c = a * m.c + c * m.d;
    r.d = b * m.c + d * m.d;
    r.tx = a * m.tx + c * m.ty + tx;
    r.ty = b * m.tx + d * m.ty + ty;
    return r;
}

void Matrix::apply(double x, double y, double& outX, double& outY) const
{
    outX = a * x + c * y + tx;
    outY = b * x + d * y + ty;
}

Matrix Matrix::inverted() const
{
    double det = a * d - b * c;
    if (std::fabs(det) < 1e-12)
        return Matrix();
    Matrix r;
    r.a = d / det;
    r.b = -b / det;
    r.c = -c / det;
    r.d = a / det;
    r.tx = -(r.a * tx + r.c * ty);
    r.ty = -(r.b * tx + r.d * ty);
    return r;
}

ColorTransform ColorTransform::operator*(const ColorTransform& in) const
{
    ColorTransform r;
    r.rMult = rMult * in.rMult;
    r.gMult = gMult * in.gMult;
    r.bMult = bMult * in.bMult;
    r.aMult = aMult * in.aMult;
    r.rAdd = in.rAdd * rMult + rAdd;
    r.gAdd = in.gAdd * gMult + gAdd;
    r.bAdd = in.bAdd * bMult + bAdd;
    r.aAdd = in.aAdd * aMult + aAdd;
    return r;
}

namespace {
std::uint8_t channel(std::uint8_t value, double mult, double add)
{
    double v = value * mult + add;
    return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0));
}
}  // namespace

Rgba ColorTransform::apply(Rgba c) const
{
    return {channel(c.r, rMult, rAdd), channel(c.g, gMult, gAdd), channel(c.b, bMult, bAdd),
            channel(c.a, aMult, aAdd)};
}

bool ColorTransform::isIdentity() const
{
    return rMult == 1 && gMult == 1 && bMult == 1 && aMult == 1 && rAdd == 0 && gAdd == 0 && bAdd == 0 &&
           aAdd == 0;
}

bool ColorTransform::onlyAlpha() const
{
    return rMult == 1 && gMult == 1 && bMult == 1 && rAdd == 0 && gAdd == 0 && bAdd == 0 && aAdd == 0;
}

Matrix readMatrix(ByteReader& reader)
{
    BitReader bits(reader);
    Matrix m;
    if (bits.flag()) {
        unsigned n = bits.ub(5);
        m.a = bits.fb(n);
        m.d = bits.fb(n);
    }
    if (bits.flag()) {
        unsigned n = bits.ub(5);
        m.b = bits.fb(n);
        m.c = bits.fb(n);
    }
    unsigned n = bits.ub(5);
    m.tx = bits.sb(n);
    m.ty = bits.sb(n);
    return m;
}

ColorTransform readColorTransform(ByteReader& reader, bool withAlpha)
{
    BitReader bits(reader);
    ColorTransform t;
    bool hasAdd = bits.flag();
    bool hasMult = bits.flag();
    unsigned n = bits.ub(4);
    if (hasMult) {
        t.rMult = bits.sb(n) / 256.0;
        t.gMult = bits.sb(n) / 256.0;
        t.bMult = bits.sb(n) / 256.0;
        if (withAlpha)
            t.aMult = bits.sb(n) / 256.0;
    }
    if (hasAdd) {
        t.rAdd = bits.sb(n);
        t.gAdd = bits.sb(n);
        t.bAdd = bits.sb(n);
        if (withAlpha)
            t.aAdd = bits.sb(n);
    }
    return t;
}

Rgba readRgb(ByteReader& reader)
{
    Rgba c;
    c.r = reader.u8();
    c.g = reader.u8();
    c.b = reader.u8();
    return c;
}

Rgba readRgba(ByteReader& reader)
{
    Rgba c = readRgb(reader);
    c.a = reader.u8();
    return c;
}

bool FillStyle::isGradient() const
{
    return kind == FillKind::LinearGradient || kind == FillKind::RadialGradient || kind == FillKind::FocalGradient;
}

bool FillStyle::isBitmap() const
{
    auto k = static_cast<std::uint8_t>(kind);
    return k >= 0x40 && k <= 0x43;
}

namespace {

Rgba readColour(ByteReader& reader, const StyleContext& context)
{
    return context.shapeVersion >= 3 || context.morph ? readRgba(reader) : readRgb(reader);
}

void readGradient(ByteReader& reader, const StyleContext& context, Gradient& g, Gradient* end)
{
    std::uint8_t head = reader.u8();
    g.spread = static_cast<SpreadMode>(std::min((head >> 6) & 3, 2));
    g.interpolation = static_cast<InterpolationMode>(std::min((head >> 4) & 3, 1));
    int count = head & 0x0F;
    if (end) {
        end->spread = g.spread;
        end->interpolation = g.interpolation;
    }
    for (int i = 0; i < count && !reader.overrun(); ++i) {
        GradientStop s;
        s.ratio = reader.u8();
        s.colour = readColour(reader, context);
        g.stops.push_back(s);
        if (end) {
            GradientStop e;
            e.ratio = reader.u8();
            e.colour = readRgba(reader);
            end->stops.push_back(e);
        }
    }
}

bool knownFillKind(std::uint8_t k)
{
    return k == 0x00 || k == 0x10 || k == 0x12 || k == 0x13 || (k >= 0x40 && k <= 0x43);
}

void readFillStyle(ByteReader& reader, const StyleContext& context, FillStyle& f, FillStyle* end)
{
    std::uint8_t kind = reader.u8();
    if (!knownFillKind(kind))
        kind = 0x00;  // an unknown kind draws as a solid colour (black with alpha 0 below)
    f.kind = static_cast<FillKind>(kind);
    if (end)
        end->kind = f.kind;
    if (f.kind == FillKind::Solid) {
        f.colour = readColour(reader, context);
        if (end)
            end->colour = readRgba(reader);
    } else if (f.isGradient()) {
        f.matrix = readMatrix(reader);
        if (end)
            end->matrix = readMatrix(reader);
        readGradient(reader, context, f.gradient, end ? &end->gradient : nullptr);
        if (f.kind == FillKind::FocalGradient) {
            f.gradient.focalPoint = std::clamp(reader.s16() / 256.0, -1.0, 1.0);
            if (end)
                end->gradient.focalPoint = std::clamp(reader.s16() / 256.0, -1.0, 1.0);
        }
    } else {
        f.bitmapId = reader.u16();
        f.matrix = readMatrix(reader);
        if (end) {
            end->bitmapId = f.bitmapId;
            end->matrix = readMatrix(reader);
        }
    }
}

std::size_t readCount(ByteReader& reader, const StyleContext& context)
{
    std::size_t count = reader.u8();
    if (count == 0xFF && (context.shapeVersion >= 2 || context.morph))
        count = reader.u16();
    return count;
}

void readLineStyle(ByteReader& reader, const StyleContext& context, LineStyle& l, LineStyle* end)
{
    l.width = reader.u16();
    if (end)
        end->width = reader.u16();
    if (context.shapeVersion < 4) {
        l.colour = readColour(reader, context);
        if (end)
            end->colour = readRgba(reader);
        return;
    }
    BitReader bits(reader);
    l.startCap = static_cast<CapStyle>(std::min<std::uint32_t>(bits.ub(2), 2));
    l.join = static_cast<JoinStyle>(std::min<std::uint32_t>(bits.ub(2), 2));
    l.hasFill = bits.flag();
    l.noHScale = bits.flag();
    l.noVScale = bits.flag();
    l.pixelHinting = bits.flag();
    bits.ub(5);
    l.noClose = bits.flag();
    l.endCap = static_cast<CapStyle>(std::min<std::uint32_t>(bits.ub(2), 2));
    if (l.join == JoinStyle::Miter)
        l.miterLimit = reader.u16() / 256.0;
    if (l.hasFill) {
        readFillStyle(reader, context, l.fill, end ? &end->fill : nullptr);
    } else {
        l.colour = readRgba(reader);
        if (end)
            end->colour = readRgba(reader);
    }
    if (end) {
        std::uint16_t endWidth = end->width;
        Rgba endColour = end->colour;
        FillStyle endFill = end->fill;
        *end = l;
        end->width = endWidth;
        end->colour = endColour;
        end->fill = endFill;
    }
}

}  // namespace

void readFillStyles(ByteReader& reader, const StyleContext& context, std::vector<FillStyle>& out,
                    std::vector<FillStyle>* morphEnd)
{
    std::size_t count = readCount(reader, context);
    for (std::size_t i = 0; i < count && !reader.overrun(); ++i) {
        FillStyle f, e;
        readFillStyle(reader, context, f, morphEnd ? &e : nullptr);
        out.push_back(f);
        if (morphEnd)
            morphEnd->push_back(e);
    }
}

void readLineStyles(ByteReader& reader, const StyleContext& context, std::vector<LineStyle>& out,
                    std::vector<LineStyle>* morphEnd)
{
    std::size_t count = readCount(reader, context);
    for (std::size_t i = 0; i < count && !reader.overrun(); ++i) {
        LineStyle l, e;
        readLineStyle(reader, context, l, morphEnd ? &e : nullptr);
        out.push_back(l);
        if (morphEnd)
            morphEnd->push_back(e);
    }
}

}  // namespace swf
