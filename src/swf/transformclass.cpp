// flash.geom.Transform: a live view of one clip's matrix and colour transform, of the ones it has on the stage
// after its parents', and of its bounds on the stage; MovieClip.transform hands out a fresh one on every read.
#include "swf/avm1/builtins.h"
#include "swf/clipgeometry.h"
#include "swf/displayclasses.h"
#include "swf/limits.h"
#include "swf/scripthost.h"

#include <cmath>
#include <cstdint>

namespace swf {

using avm1::arg;
using avm1::Object;
using avm1::Value;
using avm1::Vm;
using Args = std::vector<Value>;

namespace {

class TransformObject : public Object {
public:
    using Object::Object;
    ClipObject* target = nullptr;  // its clip's script object, which outlives the clip
};

Clip* clipOfTransform(const Value& self)
{
    auto* t = dynamic_cast<TransformObject*>(self.asObject());
    return t && t->target ? t->target->clip : nullptr;
}

// Flash keeps a colour transform as 8.8 fixed-point multipliers and 16-bit offsets; values set by script and
// the offsets of combined transforms wrap as those fields do.
double toInt16(double v)
{
    if (!std::isfinite(v))
        return 0;
    return double(std::int16_t(std::uint16_t(std::int64_t(std::floor(v)) & 0xFFFF)));
}

double toFixed88(double v)
{
    if (!std::isfinite(v))
        return 0;
    return double(std::int16_t(std::uint16_t(std::int64_t(std::trunc(v * 256)) & 0xFFFF))) / 256;
}

Value matrixValue(Vm& vm, const Matrix& m)
{
    return vm.construct(avm1::geomClass(vm, "Matrix"), {Value(m.a), Value(m.b), Value(m.c), Value(m.d),
                                                        Value(m.tx / 20), Value(m.ty / 20)});
}

Value colorTransformValue(Vm& vm, const ColorTransform& c)
{
    return vm.construct(avm1::geomClass(vm, "ColorTransform"),
                        {Value(c.rMult), Value(c.gMult), Value(c.bMult), Value(c.aMult), Value(c.rAdd),
                         Value(c.gAdd), Value(c.bAdd), Value(c.aAdd)});
}

bool isInstance(Vm& vm, const Value& value, const char* className)
{
    Object* ctor = avm1::geomClass(vm, className).asObject();
    return value.isObject() && ctor && vm.instanceOf(value, ctor);
}

// The colour transform a clip shows with, after every parent's.
ColorTransform stageColours(const Clip& clip)
{
    ColorTransform c;
    int guard = 0;
    for (const Clip* p = &clip; p && guard <= limits::kMaxSpriteNesting; p = p->parent(), ++guard) {
        if (const Placement* placement = p->placement()) {
            c = placement->colorTransform * c;
            c.rAdd = toInt16(c.rAdd), c.gAdd = toInt16(c.gAdd), c.bAdd = toInt16(c.bAdd), c.aAdd = toInt16(c.aAdd);
        }
    }
    return c;
}

void markMoved(Clip& clip)
{
    if (DisplayObject* holder = clip.holder())
        holder->scriptMoved = true;
}

Value getMatrix(Vm& vm, const Value& self, const Args&)
{
    Clip* clip = clipOfTransform(self);
    return clip && clip->placement() ? matrixValue(vm, clip->placement()->matrix) : Value();
}

// Only a Matrix replaces the clip's matrix; other values leave it as it was.
Value setMatrix(Vm& vm, const Value& self, const Args& a)
{
    Clip* clip = clipOfTransform(self);
    const Value& m = arg(a, 0);
    if (!clip || !clip->placement() || !isInstance(vm, m, "Matrix"))
        return {};
    Matrix& target = clip->placement()->matrix;
    target.a = vm.toNumber(vm.get(m, "a"));
    target.b = vm.toNumber(vm.get(m, "b"));
    target.c = vm.toNumber(vm.get(m, "c"));
    target.d = vm.toNumber(vm.get(m, "d"));
    target.tx = std::round(vm.toNumber(vm.get(m, "tx")) * 20);
    target.ty = std::round(vm.toNumber(vm.get(m, "ty")) * 20);
    clip->placement()->scaleRotation.reset();  // read from the new matrix, even one equal to the old
    markMoved(*clip);
    return {};
}

Value getColorTransform(Vm& vm, const Value& self, const Args&)
{
    Clip* clip = clipOfTransform(self);
    return clip && clip->placement() ? colorTransformValue(vm, clip->placement()->colorTransform) : Value();
}

Value setColorTransform(Vm& vm, const Value& self, const Args& a)
{
    Clip* clip = clipOfTransform(self);
    const Value& v = arg(a, 0);
    if (!clip || !clip->placement() || !isInstance(vm, v, "ColorTransform"))
        return {};
    ColorTransform& c = clip->placement()->colorTransform;
    auto field = [&vm, &v](const char* name) { return vm.toNumber(vm.get(v, name)); };
    c.rMult = toFixed88(field("redMultiplier"));
    c.gMult = toFixed88(field("greenMultiplier"));
    c.bMult = toFixed88(field("blueMultiplier"));
    c.aMult = toFixed88(field("alphaMultiplier"));
    c.rAdd = toInt16(field("redOffset"));
    c.gAdd = toInt16(field("greenOffset"));
    c.bAdd = toInt16(field("blueOffset"));
    c.aAdd = toInt16(field("alphaOffset"));
    markMoved(*clip);
    return {};
}

Value getConcatenatedMatrix(Vm& vm, const Value& self, const Args&)
{
    Clip* clip = clipOfTransform(self);
    return clip ? matrixValue(vm, clipToStage(*clip)) : Value();
}

Value getConcatenatedColorTransform(Vm& vm, const Value& self, const Args&)
{
    Clip* clip = clipOfTransform(self);
    return clip ? colorTransformValue(vm, stageColours(*clip)) : Value();
}

// The clip's content on the stage, in whole pixels.
Value getPixelBounds(ScriptHost& host, const Value& self)
{
    Clip* clip = clipOfTransform(self);
    if (!clip || !host.movie())
        return {};
    Bounds b;
    b.add(clipBounds(*clip, *host.movie()), clipToStage(*clip));
    if (b.empty)
        b.add(0, 0);
    const double x = std::round(b.xMin / 20), y = std::round(b.yMin / 20);
    const double w = std::round(b.xMax / 20) - x, h = std::round(b.yMax / 20) - y;
    Vm& vm = host.vm();
    return vm.construct(avm1::geomClass(vm, "Rectangle"), {Value(x), Value(y), Value(w), Value(h)});
}

}  // namespace

void installTransformClass(Vm& vm, ScriptHost& host, Object* clipProto)
{
    Object* proto = vm.newObject();
    Object* geom = vm.get(vm.get(Value(vm.global()), "flash"), "geom").asObject();
    if (!geom)
        return;
    auto make = [proto](Vm& vm, ClipObject* target) {
        auto* t = vm.adopt(std::make_unique<TransformObject>(proto, vm.version() >= 7));
        t->target = target;
        return t;
    };
    // new Transform(clip) watches that clip; without a clip `new` gives undefined.
    avm1::FunctionObject* ctor = avm1::makePackageClass(vm, geom, "Transform", proto,
        [](Vm&, const Value& self, const Args& a) {
            auto* t = dynamic_cast<TransformObject*>(self.asObject());
            auto* target = dynamic_cast<ClipObject*>(arg(a, 0).asObject());
            if (!t || !target)
                return Value();
            t->target = target;
            return self;
        });
    ctor->makeInstance = [make](Vm& vm) -> Object* { return make(vm, nullptr); };
    ctor->resultIsInstance = true;
    avm1::addGetter(vm, proto, "matrix", getMatrix, setMatrix);
    avm1::addGetter(vm, proto, "colorTransform", getColorTransform, setColorTransform);
    avm1::addGetter(vm, proto, "concatenatedMatrix", getConcatenatedMatrix);
    avm1::addGetter(vm, proto, "concatenatedColorTransform", getConcatenatedColorTransform);
    avm1::addGetter(vm, proto, "pixelBounds",
                    [&host](Vm&, const Value& self, const Args&) { return getPixelBounds(host, self); });

    // A clip's transform: a new Transform on each read; assigning one copies its clip's matrix and colours.
    avm1::addGetter(vm, clipProto, "transform",
        [make](Vm& vm, const Value& self, const Args&) {
            auto* target = dynamic_cast<ClipObject*>(self.asObject());
            return target ? Value(static_cast<Object*>(make(vm, target))) : Value();
        },
        [](Vm&, const Value& self, const Args& a) {
            Clip* clip = ScriptHost::clipOf(self);
            Clip* source = clipOfTransform(arg(a, 0));
            if (clip && source && clip->placement() && source->placement()) {
                clip->placement()->matrix = source->placement()->matrix;
                clip->placement()->scaleRotation.reset();
                clip->placement()->colorTransform = source->placement()->colorTransform;
                markMoved(*clip);
            }
            return Value();
        });
}

}  // namespace swf
