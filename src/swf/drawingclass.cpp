// The MovieClip drawing methods (beginFill … clear) and setMask, on a clip's Drawing and mask link (a clip or a text
// field).
#include "swf/avm1/builtins.h"
#include "swf/drawingapi.h"
#include "swf/scripthost.h"

#include <algorithm>
#include <cmath>

namespace swf {

using avm1::arg;
using avm1::Object;
using avm1::Value;
using avm1::Vm;
using Args = std::vector<Value>;

namespace {

using DrawMethod = void (*)(ScriptHost& host, Clip& clip, const Args& args);

constexpr double kTwips = 20;
constexpr double kGradientBox = 1638.4;  // the gradient square's width in pixels, 32768 twips
constexpr std::size_t kMaxGradientStops = 15;
constexpr double kMaxLineWidth = 255;  // pixels

Drawing& drawingOf(Clip& clip)
{
    if (!clip.drawing())
        clip.setDrawing(std::make_unique<Drawing>());
    return static_cast<Drawing&>(*clip.drawing());
}

double number(ScriptHost& host, const Value& v) { return host.vm().toNumber(v); }

std::uint8_t alphaOf(ScriptHost& host, const Value& v)
{
    if (v.isUndefined())
        return 255;
    double a = number(host, v);
    if (std::isnan(a))
        return 0;
    return std::uint8_t(std::lround(std::clamp(a, 0.0, 100.0) * 2.55));
}

Rgba colourOf(ScriptHost& host, const Value& rgb, const Value& alpha)
{
    double n = number(host, rgb);
    auto bits = std::uint32_t(std::isfinite(n) ? std::int64_t(n) : 0);
    return Rgba{std::uint8_t(bits >> 16), std::uint8_t(bits >> 8), std::uint8_t(bits), alphaOf(host, alpha)};
}

// The player keeps a matrix's scale and skew in 16.16 fixed point, cut toward zero; the cut shrinks a
// rotated gradient by a hair, which moves its hard edges and repeats by part of a pixel.
double fixedPoint(double v)
{
    return std::trunc(v * 65536) / 65536;
}

// The gradient's matrix: a {matrixType:"box", x, y, w, h, r} object, a 3x3 {a, b, d, e, g, h} object
// that maps the unit square onto the clip, or a Matrix {a, b, c, d, tx, ty}.
Matrix gradientMatrix(ScriptHost& host, const Value& m)
{
    Vm& vm = host.vm();
    Matrix out;
    if (!m.asObject())
        return out;
    auto field = [&](const char* name) { return number(host, vm.get(m, name)); };
    if (vm.toString(vm.get(m, "matrixType")) == "box") {
        double w = field("w"), h = field("h"), r = field("r");
        out.a = std::cos(r) * w / kGradientBox;
        out.b = std::sin(r) * w / kGradientBox;
        out.c = -std::sin(r) * h / kGradientBox;
        out.d = std::cos(r) * h / kGradientBox;
        out.tx = (field("x") + w / 2) * kTwips;
        out.ty = (field("y") + h / 2) * kTwips;
    } else if (!vm.get(m, "tx").isUndefined()) {
        out.a = field("a"), out.b = field("b"), out.c = field("c"), out.d = field("d");
        out.tx = field("tx") * kTwips;
        out.ty = field("ty") * kTwips;
    } else {
        out.a = field("a") / kGradientBox, out.b = field("b") / kGradientBox;
        out.c = field("d") / kGradientBox, out.d = field("e") / kGradientBox;
        out.tx = field("g") * kTwips;
        out.ty = field("h") * kTwips;
    }
    for (double* v : {&out.a, &out.b, &out.c, &out.d, &out.tx, &out.ty})
        if (!std::isfinite(*v))
            *v = 0;
    for (double* v : {&out.a, &out.b, &out.c, &out.d})
        *v = fixedPoint(*v);
    return out;
}

// beginGradientFill and lineGradientStyle take (type, colors, alphas, ratios, matrix[, spread[,
// interpolation[, focalPointRatio]]]); false when the arguments make no gradient: another count of
// arguments, a type other than "linear" or "radial", arrays of different lengths or a ratio outside 0..255.
bool gradientFill(ScriptHost& host, const Args& a, FillStyle& fill)
{
    Vm& vm = host.vm();
    if (a.size() < 5 || a.size() > 8)
        return false;
    std::string type = vm.toString(a[0]);
    Value colours = a[1], alphas = a[2], ratios = a[3];
    if (!colours.asObject() || !alphas.asObject() || !ratios.asObject())
        return false;
    double focal = a.size() > 7 ? number(host, a[7]) : 0;
    if (type == "linear")
        fill.kind = FillKind::LinearGradient;
    else if (type == "radial")
        fill.kind = focal != 0 && std::isfinite(focal) ? FillKind::FocalGradient : FillKind::RadialGradient;
    else
        return false;
    auto length = [&](const Value& array) { return std::size_t(std::max(0.0, number(host, vm.get(array, "length")))); };
    std::size_t count = length(colours);
    if (count == 0 || length(alphas) != count || length(ratios) != count)
        return false;
    count = std::min(count, kMaxGradientStops);
    for (std::size_t i = 0; i < count; ++i) {
        std::string index = std::to_string(i);
        GradientStop stop;
        stop.colour = colourOf(host, vm.get(colours, index), vm.get(alphas, index));
        double r = number(host, vm.get(ratios, index));
        r = std::isfinite(r) ? std::trunc(r) : 0;
        if (r < 0 || r > 255)
            return false;
        stop.ratio = std::uint8_t(r);
        fill.gradient.stops.push_back(stop);
    }
    fill.matrix = gradientMatrix(host, a[4]);
    std::string spread = a.size() > 5 ? vm.toString(a[5]) : "";
    fill.gradient.spread = spread == "reflect" ? SpreadMode::Reflect
                           : spread == "repeat" ? SpreadMode::Repeat
                                                : SpreadMode::Pad;
    if (a.size() > 6 && vm.toString(a[6]) == "linearRGB")
        fill.gradient.interpolation = InterpolationMode::Linear;
    // Kept in 1/256 steps, cut toward zero, as in a shape's gradient record.
    fill.gradient.focalPoint = std::isfinite(focal) ? std::trunc(std::clamp(focal, -1.0, 1.0) * 256) / 256 : 0;
    return true;
}

void beginFill(ScriptHost& host, Clip& clip, const Args& a)
{
    Drawing& d = drawingOf(clip);
    if (arg(a, 0).isUndefined()) {
        d.endFill();
        return;
    }
    FillStyle fill;
    fill.colour = colourOf(host, arg(a, 0), arg(a, 1));
    d.beginFill(fill);
}

void beginGradientFill(ScriptHost& host, Clip& clip, const Args& a)
{
    // Without a type the fill ends; other arguments that make no gradient change nothing.
    if (arg(a, 0).isUndefined()) {
        drawingOf(clip).endFill();
        return;
    }
    FillStyle fill;
    if (gradientFill(host, a, fill))
        drawingOf(clip).beginFill(fill);
}

void beginBitmapFill(ScriptHost& host, Clip& clip, const Args& a)
{
    host.vm().warnOnce("MovieClip.beginBitmapFill is not implemented");
    (void)clip, (void)a;
}

CapStyle capOf(const std::string& name)
{
    return name == "none" ? CapStyle::None : name == "square" ? CapStyle::Square : CapStyle::Round;
}

void lineStyle(ScriptHost& host, Clip& clip, const Args& a)
{
    Drawing& d = drawingOf(clip);
    if (arg(a, 0).isUndefined()) {
        d.lineStyle(std::nullopt);
        return;
    }
    Vm& vm = host.vm();
    LineStyle s;
    double width = number(host, arg(a, 0));
    width = std::isfinite(width) ? std::clamp(width, 0.0, kMaxLineWidth) : 0;
    s.width = std::uint16_t(std::lround(width * kTwips));
    s.colour = colourOf(host, arg(a, 1), arg(a, 2));
    s.pixelHinting = avm1::toBoolean(arg(a, 3), vm.version());
    std::string scale = a.size() > 4 ? vm.toString(a[4]) : "normal";
    s.noHScale = scale == "none" || scale == "horizontal";
    s.noVScale = scale == "none" || scale == "vertical";
    if (a.size() > 5 && !a[5].isNullish())
        s.startCap = s.endCap = capOf(vm.toString(a[5]));
    if (a.size() > 6 && !a[6].isNullish()) {
        std::string join = vm.toString(a[6]);
        s.join = join == "miter" ? JoinStyle::Miter : join == "bevel" ? JoinStyle::Bevel : JoinStyle::Round;
    }
    if (a.size() > 7) {
        double limit = number(host, a[7]);
        s.miterLimit = std::isfinite(limit) ? std::clamp(limit, 1.0, 255.0) : 3;
    }
    d.lineStyle(s);
}

void lineGradientStyle(ScriptHost& host, Clip& clip, const Args& a)
{
    FillStyle fill;
    if (gradientFill(host, a, fill))
        drawingOf(clip).lineFill(fill);
}

bool point(ScriptHost& host, const Value& x, const Value& y, double& outX, double& outY)
{
    outX = number(host, x) * kTwips;
    outY = number(host, y) * kTwips;
    return std::isfinite(outX) && std::isfinite(outY);
}

void moveTo(ScriptHost& host, Clip& clip, const Args& a)
{
    double x, y;
    if (point(host, arg(a, 0), arg(a, 1), x, y))
        drawingOf(clip).moveTo(x, y);
}

void lineTo(ScriptHost& host, Clip& clip, const Args& a)
{
    double x, y;
    if (point(host, arg(a, 0), arg(a, 1), x, y))
        drawingOf(clip).lineTo(x, y);
}

void curveTo(ScriptHost& host, Clip& clip, const Args& a)
{
    double cx, cy, x, y;
    if (a.size() >= 4 && point(host, a[0], a[1], cx, cy) && point(host, a[2], a[3], x, y))
        drawingOf(clip).curveTo(cx, cy, x, y);
}

void endFill(ScriptHost&, Clip& clip, const Args&) { drawingOf(clip).endFill(); }
void clear(ScriptHost&, Clip& clip, const Args&) { drawingOf(clip).clear(); }

// Makes the text field a script object stands for the mask of `clip`; false when the object is no field still held.
bool setFieldMask(Clip& clip, const Value& target)
{
    Clip* holder = nullptr;
    const std::int32_t depth = textFieldListDepth(target.asObject(), holder);
    if (depth < 0 || !holder)
        return false;
    auto it = holder->displayList().find(depth);
    if (it == holder->displayList().end() || !it->second.textField)
        return false;
    clip.setMaskField(it->second.textField.get(), holder);
    return true;
}

// setMask(clip, field or path): true when set, null or undefined removes the mask (also true), a path that
// names nothing gives false and changes nothing; without an argument nothing happens.
Value setMask(ScriptHost& host, Clip& clip, const Args& a)
{
    if (a.empty())
        return {};
    Value target = a[0];
    if (target.isNullish()) {
        clip.setMaskClip(nullptr);
        clip.setMaskField(nullptr, nullptr);
        return Value(true);
    }
    if (target.isPrimitive()) {
        Object* base = host.objectOf(clip.parent() ? clip.parent() : &clip);
        Object* named = host.vm().resolveTarget(base, host.vm().toString(target));
        if (!named)
            return Value(false);
        target = Value(named);
    }
    if (Clip* mask = ScriptHost::clipOf(target)) {
        clip.setMaskClip(mask);
        return Value(true);
    }
    return Value(setFieldMask(clip, target));
}

}  // namespace

void copyDrawing(const Clip& from, Clip& to)
{
    if (const auto* drawing = dynamic_cast<const Drawing*>(from.drawing()))
        to.setDrawing(std::make_unique<Drawing>(*drawing));
}

void installDrawingMethods(Vm& vm, ScriptHost& host, Object* proto)
{
    struct Entry {
        const char* name;
        DrawMethod method;
    };
    static const Entry methods[] = {
        {"beginFill", beginFill}, {"beginGradientFill", beginGradientFill}, {"beginBitmapFill", beginBitmapFill},
        {"lineStyle", lineStyle}, {"lineGradientStyle", lineGradientStyle}, {"moveTo", moveTo},
        {"lineTo", lineTo}, {"curveTo", curveTo}, {"endFill", endFill}, {"clear", clear},
    };
    for (const Entry& e : methods) {
        DrawMethod method = e.method;
        vm.method(proto, e.name, [&host, method](Vm&, const Value& self, const Args& args) {
            if (Clip* clip = ScriptHost::clipOf(self))
                method(host, *clip, args);
            return Value();
        });
    }
    vm.method(proto, "setMask", [&host](Vm&, const Value& self, const Args& args) {
        Clip* clip = ScriptHost::clipOf(self);
        return clip ? setMask(host, *clip, args) : Value();
    });
}

}  // namespace swf
