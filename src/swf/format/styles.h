// The drawing records shared by shapes, morphs, text and placement: matrices, colours, colour transforms,
// fill and line styles, and the readers for their packed forms.
#pragma once

#include <cstdint>
#include <vector>

namespace swf {

class ByteReader;

// An affine transform as SWF stores it: x' = a*x + c*y + tx, y' = b*x + d*y + ty, translation in twips.
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    Matrix operator*(const Matrix& inner) const;  // this applied after inner
    void apply(double x, double y, double& outX, double& outY) const;
    Matrix inverted() const;  // identity when singular
};

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

// Colour transform: each channel becomes channel * mult + add, clamped to 0..255; mult 1.0 = 256/256.
struct ColorTransform {
    double rMult = 1, gMult = 1, bMult = 1, aMult = 1;
    double rAdd = 0, gAdd = 0, bAdd = 0, aAdd = 0;

    ColorTransform operator*(const ColorTransform& inner) const;  // this applied after inner
    Rgba apply(Rgba colour) const;
    bool isIdentity() const;
    bool onlyAlpha() const;  // only the alpha multiplier differs from the identity
};

Matrix readMatrix(ByteReader& reader);
// CXFORM (no alpha) and CXFORMWITHALPHA.
ColorTransform readColorTransform(ByteReader& reader, bool withAlpha);
Rgba readRgb(ByteReader& reader);
Rgba readRgba(ByteReader& reader);

enum class SpreadMode : std::uint8_t { Pad = 0, Reflect = 1, Repeat = 2 };
enum class InterpolationMode : std::uint8_t { Normal = 0, Linear = 1 };

struct GradientStop {
    std::uint8_t ratio = 0;
    Rgba colour;
};

struct Gradient {
    SpreadMode spread = SpreadMode::Pad;
    InterpolationMode interpolation = InterpolationMode::Normal;
    std::vector<GradientStop> stops;
    double focalPoint = 0;  // -1..1, focal radial gradients only
};

enum class FillKind : std::uint8_t {
    Solid = 0x00,
    LinearGradient = 0x10,
    RadialGradient = 0x12,
    FocalGradient = 0x13,
    RepeatingBitmap = 0x40,
    ClippedBitmap = 0x41,
    RepeatingBitmapHard = 0x42,  // not smoothed
    ClippedBitmapHard = 0x43,
};

struct FillStyle {
    FillKind kind = FillKind::Solid;
    Rgba colour;
    Matrix matrix;  // gradient square (-16384..16384 twips) or bitmap pixels (1 unit = 1 twip) to shape space
    Gradient gradient;
    std::uint16_t bitmapId = 0;

    bool isGradient() const;
    bool isBitmap() const;
    bool smoothed() const { return kind == FillKind::RepeatingBitmap || kind == FillKind::ClippedBitmap; }
    bool repeats() const { return kind == FillKind::RepeatingBitmap || kind == FillKind::RepeatingBitmapHard; }
};

enum class CapStyle : std::uint8_t { Round = 0, None = 1, Square = 2 };
enum class JoinStyle : std::uint8_t { Round = 0, Bevel = 1, Miter = 2 };

struct LineStyle {
    std::uint16_t width = 0;  // twips
    Rgba colour;
    CapStyle startCap = CapStyle::Round, endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    double miterLimit = 3;
    bool noHScale = false, noVScale = false, pixelHinting = false, noClose = false;
    bool hasFill = false;
    FillStyle fill;  // used when hasFill
};

// Reads fill and line style arrays; shapeVersion is 1-4 (DefineShape, 2, 3, 4), morph selects
// the paired start/end form of DefineMorphShape (the end styles go to `morphEnd`).
struct StyleContext {
    int shapeVersion = 1;
    bool morph = false;
};
void readFillStyles(ByteReader& reader, const StyleContext& context, std::vector<FillStyle>& out,
                    std::vector<FillStyle>* morphEnd = nullptr);
void readLineStyles(ByteReader& reader, const StyleContext& context, std::vector<LineStyle>& out,
                    std::vector<LineStyle>* morphEnd = nullptr);

}  // namespace swf
