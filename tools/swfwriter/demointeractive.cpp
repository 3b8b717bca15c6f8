// The interactive demo: a preloader that waits until every frame has arrived, a title frame that stops
// on a start button, a bouncing ball, and a last frame that stops on a replay button. It plays as
// authored only when scripts and buttons work.
#include "swfwriter/demomovies.h"
#include "swfwriter/scriptparts.h"

#include <cmath>

namespace kivamo::test {

namespace {

constexpr std::uint16_t kPlaceObject2 = 26, kDoAction = 12, kDefineButton2 = 34;
constexpr std::uint8_t kPlay = 0x06, kStop = 0x07, kLess = 0x0F, kNot = 0x12;
constexpr int kPropertyTotalFrames = 5, kPropertyFramesLoaded = 12;

// Character ids.
enum : std::uint16_t {
    kLoadingFrame = 1,
    kLoadingBar,
    kStartUp,
    kStartOver,
    kStartDown,
    kPlayIcon,
    kStartButton,
    kReplayUp,
    kReplayOver,
    kReplayDown,
    kReplayIcon,
    kReplayButton,
    kBall,
    kGround,
};

// Depths.
enum : std::uint16_t { kDepthBack = 1, kDepthBar = 2, kDepthBall = 3, kDepthButton = 10 };

void circle(ShapeBuilder& s, std::int32_t cx, std::int32_t cy, std::int32_t r)
{
    // Eight quadratic arcs; each control point lies on the tangents' crossing.
    const double step = M_PI / 4;
    const double reach = r / std::cos(step / 2);
    s.moveTo(cx + r, cy);
    for (int k = 1; k <= 8; ++k) {
        double mid = (k - 0.5) * step, end = k * step;
        s.curveTo(cx + std::int32_t(std::lround(reach * std::cos(mid))), cy + std::int32_t(std::lround(reach * std::sin(mid))),
                  cx + std::int32_t(std::lround(r * std::cos(end))), cy + std::int32_t(std::lround(r * std::sin(end))));
    }
}

void add(SwfWriter& w, ShapeBuilder& s)
{
    w.tag(s.tagCode(), s.body());
}

void disc(SwfWriter& w, std::uint16_t id, WriterColour inner, WriterColour outer, std::int32_t r)
{
    ShapeBuilder s(id, 3);
    double scale = r * 2.0 / 32768;
    int fill = s.gradientFill(0x12, {scale, 0, 0, scale, -r / 4, -r / 4}, {{0, inner}, {255, outer}});
    int line = s.lineStyle(40, {255, 255, 255, 230});
    s.styles(0, fill, line);
    circle(s, 0, 0, r);
    add(w, s);
}

void playIcon(SwfWriter& w, std::uint16_t id)
{
    ShapeBuilder s(id, 3);
    int fill = s.solidFill({255, 255, 255, 255});
    s.styles(0, fill, 0).moveTo(-220, -320).lineTo(340, 0).lineTo(-220, 320).lineTo(-220, -320);
    add(w, s);
}

// A ring open at the top right with an arrow head: "once more".
void replayIcon(SwfWriter& w, std::uint16_t id)
{
    ShapeBuilder s(id, 3);
    int line = s.lineStyle(110, {255, 255, 255, 255});
    const std::int32_t r = 300;
    const double from = -M_PI / 3, to = from + 5 * M_PI / 3;
    const int arcs = 5;
    const double step = (to - from) / arcs;
    const double reach = r / std::cos(step / 2);
    s.styles(0, 0, line).moveTo(std::int32_t(std::lround(r * std::cos(from))), std::int32_t(std::lround(r * std::sin(from))));
    for (int k = 1; k <= arcs; ++k) {
        double mid = from + (k - 0.5) * step, end = from + k * step;
        s.curveTo(std::int32_t(std::lround(reach * std::cos(mid))), std::int32_t(std::lround(reach * std::sin(mid))),
                  std::int32_t(std::lround(r * std::cos(end))), std::int32_t(std::lround(r * std::sin(end))));
    }
    int head = s.solidFill({255, 255, 255, 255});
    std::int32_t hx = std::int32_t(std::lround(r * std::cos(from))), hy = std::int32_t(std::lround(r * std::sin(from)));
    s.styles(0, head, 0).moveTo(hx - 180, hy - 60).lineTo(hx + 120, hy - 200).lineTo(hx + 60, hy + 160).lineTo(hx - 180, hy - 60);
    add(w, s);
}

Bytes button(std::uint16_t id, std::uint16_t up, std::uint16_t over, std::uint16_t down, std::uint16_t icon, const Bytes& onRelease)
{
    std::vector<ButtonPart> parts = {
        {0x01 | 0x08, up, 1, {}},
        {0x02, over, 1, {}},
        {0x04, down, 1, {}},
        {0x01 | 0x02 | 0x04, icon, 2, {}},
    };
    return defineButton2(id, parts, {{kButtonRelease, onRelease}});
}

Placement place(std::uint16_t depth, std::uint16_t id, std::int32_t x, std::int32_t y, const std::string& name = {})
{
    Placement p;
    p.depth = depth;
    p.characterId = id;
    p.matrix = WriterMatrix{1, 0, 0, 1, x, y};
    if (!name.empty())
        p.name = name;
    return p;
}

}  // namespace

DemoMovie interactive()
{
    SwfWriter w(6, {0, 11000, 0, 8000}, 24 << 8);
    w.backgroundColour(236, 242, 250);

    ShapeBuilder frame(kLoadingFrame, 3);
    frame.rectangle({2500, 8500, 3800, 4200}, 0, frame.lineStyle(40, {60, 70, 90, 255}));
    add(w, frame);
    ShapeBuilder bar(kLoadingBar, 3);
    bar.rectangle({2520, 8480, 3820, 4180}, bar.solidFill({255, 150, 40, 255}));
    add(w, bar);

    ShapeBuilder ground(kGround, 3);
    double gy = 8000.0 / 32768;
    ground.rectangle({0, 11000, 6400, 8000},
                     ground.gradientFill(0x10, {0, gy / 4, -gy / 4, 0, 5500, 7200}, {{0, {120, 200, 110, 255}}, {255, {50, 130, 60, 255}}}));
    add(w, ground);

    disc(w, kStartUp, {150, 240, 140, 255}, {40, 150, 60, 255}, 900);
    disc(w, kStartOver, {190, 255, 180, 255}, {70, 190, 90, 255}, 900);
    disc(w, kStartDown, {90, 190, 90, 255}, {20, 100, 40, 255}, 900);
    playIcon(w, kPlayIcon);
    disc(w, kReplayUp, {140, 200, 255, 255}, {40, 90, 200, 255}, 700);
    disc(w, kReplayOver, {180, 225, 255, 255}, {70, 130, 230, 255}, 700);
    disc(w, kReplayDown, {90, 150, 220, 255}, {20, 60, 150, 255}, 700);
    replayIcon(w, kReplayIcon);
    disc(w, kBall, {255, 240, 200, 255}, {230, 70, 40, 255}, 450);

    // Start plays on from the title frame; replay goes back to the first frame of the animation.
    const std::uint16_t firstAnimationFrame = 3;  // 0-based
    w.tag(kDefineButton2, button(kStartButton, kStartUp, kStartOver, kStartDown, kPlayIcon, ActionBuilder().op(kPlay).bytes()));
    w.tag(kDefineButton2, button(kReplayButton, kReplayUp, kReplayOver, kReplayDown, kReplayIcon,
                                 ActionBuilder().gotoFrame(firstAnimationFrame).op(kPlay).bytes()));

    // Frames 1 and 2: the preloader. Frame 2 goes back to frame 1 while frames are still arriving.
    w.tag(kPlaceObject2, placeObject2(place(kDepthBack, kLoadingFrame, 0, 0)));
    w.tag(kPlaceObject2, placeObject2(place(kDepthBar, kLoadingBar, 0, 0)));
    w.tag(43, frameLabel("loading")).showFrame();
    ActionBuilder wait;
    wait.getProperty("", kPropertyFramesLoaded).getProperty("", kPropertyTotalFrames).op(kLess).op(kNot).ifTrue("loaded");
    wait.gotoFrame(0).op(kPlay).label("loaded");
    w.tag(kDoAction, wait.bytes()).showFrame();

    // Frame 3: the title, stopped on the start button.
    w.tag(28, removeObject2(kDepthBack)).tag(28, removeObject2(kDepthBar));
    w.tag(kPlaceObject2, placeObject2(place(kDepthBack, kGround, 0, 0)));
    w.tag(kPlaceObject2, placeObject2(place(kDepthBall, kBall, 1200, 5950, "ball")));
    w.tag(kPlaceObject2, placeObject2(place(kDepthButton, kStartButton, 5500, 3400, "startButton")));
    w.tag(43, frameLabel("title"));
    w.tag(kDoAction, ActionBuilder().op(kStop).bytes()).showFrame();

    // The ball bounces across the stage, three hops, squashing where it lands.
    const int frames = 60;
    for (int f = 0; f < frames; ++f) {
        if (f == 0)
            w.tag(28, removeObject2(kDepthButton));
        double t = double(f) / (frames - 1);
        double hop = std::fmod(t * 3, 1.0);
        double height = 4 * hop * (1 - hop);
        double squash = height < 0.08 ? 0.8 : 1.0;
        Placement p;
        p.depth = kDepthBall;
        p.move = true;
        p.matrix = WriterMatrix{1 / squash, 0, 0, squash, std::int32_t(1200 + t * 8600),
                                std::int32_t(5950 - height * 3800 + (1 - squash) * 450)};
        w.tag(kPlaceObject2, placeObject2(p));
        if (f + 1 == frames) {
            w.tag(kPlaceObject2, placeObject2(place(kDepthButton, kReplayButton, 5500, 3400, "replayButton")));
            w.tag(kDoAction, ActionBuilder().op(kStop).bytes());
        }
        w.showFrame();
    }
    return {"interactive.swf", "a preloader, a start button, a bouncing ball and a replay button", w.finish()};
}

}  // namespace kivamo::test
