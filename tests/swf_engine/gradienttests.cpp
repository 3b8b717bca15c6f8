// Gradient ramps (entries, odd ratios, linear light), positions, spread modes and gradient pixels.
#include "helpers.h"
#include "swf/render/gradient.h"

#include <gtest/gtest.h>

namespace kivamo::test {
namespace {

using swf::FillKind;
using swf::GradientRamp;
using swf::SpreadMode;

swf::Gradient twoStops(swf::Rgba from, swf::Rgba to, std::uint8_t r0 = 0, std::uint8_t r1 = 255)
{
    swf::Gradient g;
    g.stops = {{r0, from}, {r1, to}};
    return g;
}

const swf::Rgba kRampRed{255, 0, 0, 255}, kRampBlue{0, 0, 255, 255};

TEST(GradientRamp, EntriesRunFromStopToStopAndCutToWholeSteps)
{
    GradientRamp ramp(twoStops(kRampRed, kRampBlue));
    EXPECT_EQ(ramp.entries()[0], kRampRed);
    EXPECT_EQ(ramp.entries()[255], kRampBlue);
    EXPECT_NEAR(ramp.entries()[127].b, 127, 1);
    EXPECT_NEAR(ramp.entries()[100].r, 155, 1);
    // A third of 200 is 66.7: cut to 66, not rounded to 67.
    GradientRamp grey(twoStops({0, 0, 0, 255}, {200, 200, 200, 255}, 0, 3));
    EXPECT_EQ(grey.entries()[1].r, 66);
    EXPECT_EQ(grey.entries()[200].r, 200);  // held after the last stop
}

TEST(GradientRamp, SameAndBackwardRatiosHoldTheFirstColourForOneEntry)
{
    swf::Gradient same;
    same.stops = {{0, kRampRed}, {128, kRampRed}, {128, kRampBlue}, {255, kRampBlue}};
    GradientRamp a(same);
    EXPECT_EQ(a.entries()[128], kRampRed);
    EXPECT_EQ(a.entries()[129], kRampRed);
    EXPECT_EQ(a.entries()[130], kRampBlue);

    swf::Gradient backwards;  // the middle stop lies before the first
    backwards.stops = {{100, kRampRed}, {50, {0, 255, 0, 255}}, {255, kRampBlue}};
    GradientRamp b(backwards);
    EXPECT_EQ(b.entries()[0], kRampRed);
    EXPECT_EQ(b.entries()[50], kRampRed);
    // Past the green stop's ratio the ramp runs from green to blue.
    EXPECT_EQ(b.entries()[51].r, 0);
    EXPECT_GE(b.entries()[51].g, 250);
    EXPECT_EQ(b.entries()[255], kRampBlue);
}

TEST(GradientRamp, EmptyGradientIsTransparent)
{
    GradientRamp ramp(swf::Gradient{});
    EXPECT_EQ(ramp.sample(0.5, {}).a, 0.0f);
}

TEST(GradientRamp, LinearLightMixesBrighterThanGammaSpace)
{
    swf::Gradient g = twoStops({0, 0, 0, 255}, {255, 255, 255, 255});
    swf::RampColour plain = GradientRamp(g).sample(0.5, {});
    g.interpolation = swf::InterpolationMode::Linear;
    swf::RampColour linear = GradientRamp(g).sample(0.5, {});
    EXPECT_NEAR(plain.r, 0.5, 0.01);
    EXPECT_NEAR(linear.r, 0.735, 0.01);  // half the light is about 188 of 255
    EXPECT_NEAR(GradientRamp(g).sample(1.0, {}).r, 1.0, 0.001);
    EXPECT_NEAR(GradientRamp(g).sample(0.0, {}).r, 0.0, 0.001);
}

TEST(GradientRamp, TranslucentLinearLightConvertsBackPerUnitOfAlpha)
{
    // Grey 128 at alpha 128 keeps entry 55 (its light); read back, 55/255 over the alpha (0.43) is
    // converted to 0.687 and scaled by the alpha again: 0.345, darker than the opaque grey's 0.502.
    swf::Gradient grey = twoStops({128, 128, 128, 128}, {128, 128, 128, 128});
    grey.interpolation = swf::InterpolationMode::Linear;
    GradientRamp ramp(grey);
    EXPECT_EQ(ramp.entries()[100].r, 55);
    EXPECT_NEAR(ramp.sample(0.5, {}).r, 0.345, 0.002);
    EXPECT_NEAR(ramp.sample(0.5, {}).a, 128 / 255.0, 0.001);
    swf::Gradient opaque = twoStops({128, 128, 128, 255}, {128, 128, 128, 255});
    opaque.interpolation = swf::InterpolationMode::Linear;
    EXPECT_NEAR(GradientRamp(opaque).sample(0.5, {}).r, 0.502, 0.002);
    // White at half alpha goes past 1 over its alpha; it is converted unclamped (0.678 once scaled
    // back) and only the colour transform's result is clamped.
    swf::Gradient white = twoStops({255, 255, 255, 128}, {255, 255, 255, 128});
    white.interpolation = swf::InterpolationMode::Linear;
    EXPECT_NEAR(GradientRamp(white).sample(0.5, {}).r, 0.678, 0.002);
    swf::ColorTransform doubled;
    doubled.rMult = 2;
    EXPECT_FLOAT_EQ(GradientRamp(white).sample(0.5, doubled).r, 1.0f);
    // Fully transparent entries have no colour to convert.
    swf::Gradient clear = twoStops({255, 255, 255, 0}, {255, 255, 255, 0});
    clear.interpolation = swf::InterpolationMode::Linear;
    EXPECT_EQ(GradientRamp(clear).sample(0.5, {}).a, 0.0f);
}

TEST(GradientRamp, SamplesFilterBetweenEntriesAndApplyTheColourTransform)
{
    swf::Gradient g = twoStops({0, 0, 0, 255}, {255, 0, 0, 255});
    GradientRamp ramp(g);
    // Entry centres lie at (i + 0.5) / 256; halfway between entries 10 and 11 mixes them evenly.
    const auto& e = ramp.entries();
    EXPECT_NEAR(ramp.sample(11.0 / 256, {}).r * 255, (e[10].r + e[11].r) / 2.0, 0.01);
    EXPECT_NEAR(ramp.sample(10.5 / 256, {}).r * 255, e[10].r, 0.01);
    EXPECT_NEAR(ramp.sample(-1, {}).r * 255, e[0].r, 0.01);
    swf::ColorTransform half;
    half.rMult = 0.5;
    half.gAdd = 255;
    swf::RampColour c = ramp.sample(1.0, half);
    EXPECT_NEAR(c.r, 0.5, 0.001);
    EXPECT_NEAR(c.g, 1.0, 0.001);  // clamped
}

TEST(GradientRamp, PositionsOfLinearRadialAndFocalGradients)
{
    EXPECT_DOUBLE_EQ(GradientRamp::position(FillKind::LinearGradient, 0, -16384, 500), 0.0);
    EXPECT_DOUBLE_EQ(GradientRamp::position(FillKind::LinearGradient, 0, 16384, 0), 1.0);
    EXPECT_DOUBLE_EQ(GradientRamp::position(FillKind::RadialGradient, 0, 0, 0), 0.0);
    EXPECT_DOUBLE_EQ(GradientRamp::position(FillKind::RadialGradient, 0, 0, -8192), 0.5);
    // Focal point at 0.5: the focus is position 0, the circle is still 1 in every direction.
    EXPECT_NEAR(GradientRamp::position(FillKind::FocalGradient, 0.5, 8192, 0), 0.0, 1e-9);
    EXPECT_NEAR(GradientRamp::position(FillKind::FocalGradient, 0.5, 16384, 0), 1.0, 1e-9);
    EXPECT_NEAR(GradientRamp::position(FillKind::FocalGradient, 0.5, -16384, 0), 1.0, 1e-9);
    EXPECT_NEAR(GradientRamp::position(FillKind::FocalGradient, 0.5, 0, 16384), 1.0, 1e-9);
    // Halfway from the focus to the left edge.
    EXPECT_NEAR(GradientRamp::position(FillKind::FocalGradient, 0.5, -4096, 0), 0.5, 1e-9);
    // A focus on the rim is held at 0.98 of the radius.
    EXPECT_NEAR(GradientRamp::position(FillKind::FocalGradient, 1.0, 0.98 * 16384, 0), 0.0, 1e-9);
    EXPECT_NEAR(GradientRamp::position(FillKind::FocalGradient, -1.0, 16384, 0), 1.0, 1e-9);
}

TEST(GradientRamp, SpreadModesFoldPositionsOutsideTheRamp)
{
    EXPECT_DOUBLE_EQ(GradientRamp::spread(SpreadMode::Pad, -0.25), 0.0);
    EXPECT_DOUBLE_EQ(GradientRamp::spread(SpreadMode::Pad, 1.75), 1.0);
    EXPECT_DOUBLE_EQ(GradientRamp::spread(SpreadMode::Repeat, 1.25), 0.25);
    EXPECT_DOUBLE_EQ(GradientRamp::spread(SpreadMode::Repeat, -0.25), 0.75);
    EXPECT_DOUBLE_EQ(GradientRamp::spread(SpreadMode::Reflect, 1.25), 0.75);
    EXPECT_DOUBLE_EQ(GradientRamp::spread(SpreadMode::Reflect, 2.25), 0.25);
    EXPECT_DOUBLE_EQ(GradientRamp::spread(SpreadMode::Reflect, -0.25), 0.25);
    EXPECT_DOUBLE_EQ(GradientRamp::spread(SpreadMode::Reflect, 0.5), 0.5);
}

constexpr std::uint16_t kPlaceObject2 = 26;

// A 100x100 px stage filled with a linear red-to-blue gradient whose square spans the middle 50 px.
QImage spreadPicture(int spread, swf::Quality quality = swf::Quality::Low)
{
    ShapeBuilder s(1, 3);
    double scale = 1000.0 / 32768;
    int fill = s.gradientFill(0x10, {scale, 0, 0, scale, 1000, 1000}, {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 255}}},
                              spread);
    s.rectangle({0, 2000, 0, 2000}, fill);
    SwfWriter w = smallMovie();
    w.tag(s.tagCode(), s.body()).tag(kPlaceObject2, placeObject2(placeAt(1, 1))).showFrame();
    return renderFrame(*playerFor(w.finish()), quality);
}

TEST(GradientPixels, FourSamplePicturesShadeEachPixelAtItsCentre)
{
    // Inside the fill every sample of a pixel takes the colour of the pixel's centre, so the
    // anti-aliased picture equals the aliased one there.
    QImage low = spreadPicture(1), high = spreadPicture(1, swf::Quality::High);
    for (int x : {10, 33, 50, 67, 90})
        EXPECT_EQ(high.pixel(x, 50), low.pixel(x, 50)) << x;
}

TEST(GradientPixels, SpreadModesRepeatOrMirrorTheRampBeyondItsSquare)
{
    // Pixel 80's centre lies 0.1 of the square beyond the right end; pixel 30's centre at 0.11 into it.
    QImage pad = spreadPicture(0), reflect = spreadPicture(1), repeat = spreadPicture(2);
    for (const QImage* image : {&pad, &reflect, &repeat}) {
        EXPECT_TRUE(near(*image, 25, 50, QColor(255, 0, 0), 3));  // the square's own ramp starts red
        EXPECT_TRUE(near(*image, 74, 50, QColor(0, 0, 255), 6));
    }
    EXPECT_TRUE(near(pad, 80, 50, QColor(0, 0, 255), 0));
    EXPECT_TRUE(near(pad, 5, 50, QColor(255, 0, 0), 0));
    // 0.11 into the next cycle: nearly red when repeated, nearly blue when reflected.
    EXPECT_GT(repeat.pixelColor(80, 50).red(), 220);
    EXPECT_GT(reflect.pixelColor(80, 50).blue(), 220);
    // Reflected and repeated pictures agree inside the square and differ past it.
    EXPECT_EQ(reflect.pixel(40, 50), repeat.pixel(40, 50));
    EXPECT_NE(reflect.pixel(80, 50), repeat.pixel(80, 50));
}

// A 100x100 px stage with one rectangle over all of it, filled with a two-stop gradient of the given
// kind (0x10 linear, 0x13 focal) centred on the stage, its square 40 px wide.
QImage gradientPicture(std::uint8_t kind, WriterColour from, WriterColour to, int spread, double focal,
                       int interpolation)
{
    ShapeBuilder s(1, 3);
    double scale = 800.0 / 32768;
    int fill = s.gradientFill(kind, {scale, 0, 0, scale, 1000, 1000}, {{0, from}, {255, to}}, spread, focal,
                              interpolation);
    s.rectangle({0, 2000, 0, 2000}, fill);
    SwfWriter w = smallMovie();
    w.tag(s.tagCode(), s.body()).tag(kPlaceObject2, placeObject2(placeAt(1, 1))).showFrame();
    return renderFrame(*playerFor(w.finish()));
}

TEST(GradientPixels, TranslucentLinearLightFillsAreDarkerOverTheBackground)
{
    // Grey 128 at half alpha over the white stage: mixed in gamma space it shows 128 * 0.5 + 127; in
    // linear light its colour comes back as 0.345 of full, 44 once premultiplied, so 44 + 127.
    const WriterColour grey{128, 128, 128, 128};
    QImage gamma = gradientPicture(0x10, grey, grey, 0, 0, 0);
    QImage linear = gradientPicture(0x10, grey, grey, 0, 0, 1);
    EXPECT_TRUE(near(gamma, 50, 50, QColor(191, 191, 191), 2)) << gamma.pixelColor(50, 50).name().toStdString();
    EXPECT_TRUE(near(linear, 50, 50, QColor(171, 171, 171), 2)) << linear.pixelColor(50, 50).name().toStdString();
    // Opaque black to white meets at half the light, about 188, in the middle.
    QImage ramp = gradientPicture(0x10, {0, 0, 0, 255}, {255, 255, 255, 255}, 0, 0, 1);
    EXPECT_NEAR(ramp.pixelColor(50, 50).red(), 188, 3);
}

TEST(GradientPixels, FocalGradientsReflectBeyondTheCircle)
{
    // Radius 20 px around (50, 50), focus half way to the right rim at (60, 50). Pixel 10 lies 1.65
    // focus-to-rim lengths out to the left (mirrored: 0.35 of the ramp); pixel 90 lies 3.05 out to the
    // right, where the rim is only 10 px from the focus (mirrored: 0.95 of the ramp).
    const WriterColour red{255, 0, 0, 255}, blue{0, 0, 255, 255};
    QImage reflect = gradientPicture(0x13, red, blue, 1, 0.5, 0);
    EXPECT_TRUE(near(reflect, 59, 50, QColor(255, 0, 0), 12));
    EXPECT_TRUE(near(reflect, 10, 50, QColor(166, 0, 89), 3)) << reflect.pixelColor(10, 50).name().toStdString();
    EXPECT_TRUE(near(reflect, 90, 50, QColor(13, 0, 242), 3)) << reflect.pixelColor(90, 50).name().toStdString();
    // Repeated, the same pixels read 0.65 and 0.05 of the ramp.
    QImage repeat = gradientPicture(0x13, red, blue, 2, 0.5, 0);
    EXPECT_TRUE(near(repeat, 10, 50, QColor(89, 0, 166), 3)) << repeat.pixelColor(10, 50).name().toStdString();
    EXPECT_TRUE(near(repeat, 90, 50, QColor(242, 0, 13), 3)) << repeat.pixelColor(90, 50).name().toStdString();
}

}  // namespace
}  // namespace kivamo::test
