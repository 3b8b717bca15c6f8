// MovieClip properties of how a clip is drawn rather than where: opaqueBackground (a colour filling the
// clip's bounds behind it, undefined for none), scrollRect (the part of the clip shown, as a Rectangle), blendMode
// and cacheAsBitmap.
#include "swf/avm1/builtins.h"
#include "swf/displayclasses.h"

#include <algorithm>
#include <cmath>

namespace swf {

using avm1::arg;
using avm1::Object;
using avm1::Value;
using avm1::Vm;
using Args = std::vector<Value>;

namespace {

Value getOpaqueBackground(Vm&, const Value& self, const Args&)
{
    Clip* clip = ScriptHost::clipOf(self);
    const Placement* p = clip ? clip->placement() : nullptr;
    if (!p)
        return {};
    if (!p->surface.opaqueBackground)
        return {};
    const Rgba& c = *p->surface.opaqueBackground;
    return Value(double(std::uint32_t(c.r) << 16 | std::uint32_t(c.g) << 8 | c.b));
}

// Undefined and null take the background away; anything else is a colour (its alpha ignored).
Value setOpaqueBackground(Vm& vm, const Value& self, const Args& a)
{
    Clip* clip = ScriptHost::clipOf(self);
    Placement* p = clip ? clip->placement() : nullptr;
    if (!p)
        return {};
    const Value& v = arg(a, 0);
    if (v.isNullish()) {
        p->surface.opaqueBackground.reset();
        return {};
    }
    const std::uint32_t rgb = avm1::toUint32(vm.toNumber(v));
    p->surface.opaqueBackground = Rgba{std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb), 255};
    return {};
}

Value getScrollRect(Vm& vm, const Value& self, const Args&)
{
    Clip* clip = ScriptHost::clipOf(self);
    const Placement* p = clip ? clip->placement() : nullptr;
    if (!p || !p->surface.scrollRect)
        return {};
    const Rect& r = *p->surface.scrollRect;
    return vm.construct(avm1::geomClass(vm, "Rectangle"), {Value(r.xMin / 20.0), Value(r.yMin / 20.0),
                                                           Value((r.xMax - r.xMin) / 20.0),
                                                           Value((r.yMax - r.yMin) / 20.0)});
}

// Any object with x, y, width and height sets the rectangle (in pixels); other values take it away.
Value setScrollRect(Vm& vm, const Value& self, const Args& a)
{
    Clip* clip = ScriptHost::clipOf(self);
    Placement* p = clip ? clip->placement() : nullptr;
    if (!p)
        return {};
    const Value& v = arg(a, 0);
    p->surface.scrollRect.reset();
    if (!v.isObject())
        return {};
    double f[4];
    const char* names[4] = {"x", "y", "width", "height"};
    for (int i = 0; i < 4; ++i) {
        f[i] = std::round(vm.toNumber(vm.get(v, names[i])) * 20);
        if (!std::isfinite(f[i]) || std::abs(f[i]) > 1e9)
            return {};
    }
    p->surface.scrollRect = Rect{std::int32_t(f[0]), std::int32_t(f[0] + std::max(0.0, f[2])), std::int32_t(f[1]),
                                 std::int32_t(f[1] + std::max(0.0, f[3]))};
    return {};
}

// The blend modes by their script names, in the order of their numbers (1 is "normal").
const char* const kBlendModeNames[] = {"normal", "layer", "multiply", "screen", "lighten", "darken", "difference",
                                       "add", "subtract", "invert", "alpha", "erase", "overlay", "hardlight"};
constexpr int kBlendModes = int(sizeof kBlendModeNames / sizeof kBlendModeNames[0]);

Value getBlendMode(Vm&, const Value& self, const Args&)
{
    Clip* clip = ScriptHost::clipOf(self);
    const Placement* p = clip ? clip->placement() : nullptr;
    if (!p)
        return {};
    const int index = int(p->blendMode) - 1;
    return Value(kBlendModeNames[index >= 0 && index < kBlendModes ? index : 0]);
}

// A name or a number (1 to 14) sets the mode; anything else leaves it.
Value setBlendMode(Vm& vm, const Value& self, const Args& a)
{
    Clip* clip = ScriptHost::clipOf(self);
    Placement* p = clip ? clip->placement() : nullptr;
    if (!p)
        return {};
    const Value& v = arg(a, 0);
    int mode = 0;
    if (v.isNumber()) {
        const double n = vm.toNumber(v);
        mode = n >= 1 && n <= kBlendModes ? int(n) : 0;
    } else {
        const std::string name = vm.toString(v);
        for (int i = 0; i < kBlendModes && !mode; ++i)
            mode = name == kBlendModeNames[i] ? i + 1 : 0;
    }
    if (mode)
        p->blendMode = BlendMode(mode);
    return {};
}

Value getCacheAsBitmap(Vm&, const Value& self, const Args&)
{
    Clip* clip = ScriptHost::clipOf(self);
    const Placement* p = clip ? clip->placement() : nullptr;
    return p ? Value(p->cacheAsBitmap) : Value();
}

Value setCacheAsBitmap(Vm& vm, const Value& self, const Args& a)
{
    Clip* clip = ScriptHost::clipOf(self);
    if (Placement* p = clip ? clip->placement() : nullptr)
        p->cacheAsBitmap = avm1::toBoolean(arg(a, 0), vm.version());
    return {};
}

}  // namespace

void installClipSurfaceProperties(Vm& vm, Object* clipProto)
{
    avm1::addGetter(vm, clipProto, "opaqueBackground", getOpaqueBackground, setOpaqueBackground);
    avm1::addGetter(vm, clipProto, "scrollRect", getScrollRect, setScrollRect);
    avm1::addGetter(vm, clipProto, "blendMode", getBlendMode, setBlendMode);
    avm1::addGetter(vm, clipProto, "cacheAsBitmap", getCacheAsBitmap, setCacheAsBitmap);
}

}  // namespace swf
