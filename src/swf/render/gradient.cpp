#include "swf/render/gradient.h"

#include <algorithm>
#include <cmath>

namespace swf {

namespace {

float toLinearLight(float c)
{
    return c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
}

float toGammaSpace(float c)
{
    return c < 0.0031308f ? c * 12.92f : 1.055f * std::pow(c, 1.0f / 2.4f) - 0.055f;
}

// Entries are cut to whole steps, not rounded, like the player's own ramp.
std::uint8_t wholeStep(float value)
{
    return static_cast<std::uint8_t>(std::clamp(value, 0.0f, 255.0f));
}

float clamp01(float v)
{
    return std::clamp(v, 0.0f, 1.0f);
}

}  // namespace

GradientRamp::GradientRamp(const Gradient& gradient) : m_linear(gradient.interpolation == InterpolationMode::Linear)
{
    const auto& stops = gradient.stops;
    if (stops.empty()) {
        m_entries.fill(Rgba{0, 0, 0, 0});  // nothing to draw
        return;
    }
    auto channel = [this](std::uint8_t c) { return m_linear ? toLinearLight(c / 255.0f) * 255.0f : float(c); };
    // The segment moves on by at most one stop per entry, so ratios that go backwards hold the
    // previous stop's colour for a single entry before the ramp catches up.
    std::size_t from = 0;
    for (int i = 0; i < kEntries; ++i) {
        if (from + 1 < stops.size() && i > stops[from + 1].ratio)
            ++from;
        std::size_t to = std::min(from + 1, stops.size() - 1);
        const GradientStop& a = stops[from];
        const GradientStop& b = stops[to];
        float f;
        if (i <= a.ratio || a.ratio == b.ratio)
            f = 0;
        else if (i > b.ratio)
            f = 1;
        else
            f = float(i - a.ratio) / float(b.ratio - a.ratio);
        auto mix = [f](float x, float y) { return x + (y - x) * f; };
        m_entries[i] = {wholeStep(mix(channel(a.colour.r), channel(b.colour.r))),
                        wholeStep(mix(channel(a.colour.g), channel(b.colour.g))),
                        wholeStep(mix(channel(a.colour.b), channel(b.colour.b))),
                        wholeStep(mix(float(a.colour.a), float(b.colour.a)))};
    }
}

double GradientRamp::position(FillKind kind, double focalPoint, double x, double y)
{
    if (kind == FillKind::LinearGradient)
        return x / 32768.0 + 0.5;
    double u = x / 16384.0, v = y / 16384.0;
    focalPoint = std::clamp(focalPoint, -kMaxFocalPoint, kMaxFocalPoint);
    if (kind != FillKind::FocalGradient || focalPoint == 0)
        return std::sqrt(u * u + v * v);
    // Distance from the focal point to the point, over the distance from the focal point to the
    // circle along the same direction.
    double dx = focalPoint - u, dy = -v;
    double length = std::sqrt(dx * dx + dy * dy);
    if (length == 0)
        return 0;
    dx /= length;
    dy /= length;
    double edge = std::sqrt(std::max(0.0, 1.0 - focalPoint * focalPoint * dy * dy)) + focalPoint * dx;
    return edge > 0 ? length / edge : 1.0;
}

double GradientRamp::spread(SpreadMode mode, double t)
{
    if (!std::isfinite(t))
        return 0;
    switch (mode) {
    case SpreadMode::Pad: return std::clamp(t, 0.0, 1.0);
    case SpreadMode::Repeat: return t - std::floor(t);
    case SpreadMode::Reflect: {
        t = std::fabs(t);
        double whole = std::floor(t);
        double part = t - whole;
        return std::fmod(whole, 2.0) == 0 ? part : 1.0 - part;
    }
    }
    return std::clamp(t, 0.0, 1.0);
}

RampColour GradientRamp::colourAt(double t) const
{
    double texel = t * kEntries - 0.5;
    double first = std::floor(texel);
    auto f = static_cast<float>(texel - first);
    int i0 = std::clamp(static_cast<int>(first), 0, kEntries - 1);
    int i1 = std::clamp(static_cast<int>(first) + 1, 0, kEntries - 1);
    const Rgba& a = m_entries[i0];
    const Rgba& b = m_entries[i1];
    auto mix = [f](std::uint8_t x, std::uint8_t y) { return (x + (y - x) * f) / 255.0f; };
    RampColour c{mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b), mix(a.a, b.a)};
    // The colour over its alpha may pass 1 and is converted unclamped; the colour transform clamps later.
    if (m_linear && c.a > 0) {
        auto back = [&c](float v) { return toGammaSpace(v / c.a) * c.a; };
        c.r = back(c.r);
        c.g = back(c.g);
        c.b = back(c.b);
    }
    return c;
}

RampColour GradientRamp::sample(double t, const ColorTransform& colours) const
{
    const RampColour c = colourAt(t);
    auto apply = [](float v, double mult, double add) { return clamp01(float(v * mult + add / 255.0)); };
    return {apply(c.r, colours.rMult, colours.rAdd), apply(c.g, colours.gMult, colours.gAdd),
            apply(c.b, colours.bMult, colours.bAdd), apply(c.a, colours.aMult, colours.aAdd)};
}

}  // namespace swf
