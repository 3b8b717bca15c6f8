// flash.display.BitmapData: pixels scripts make and change, and MovieClip.attachBitmap, which shows them in a
// clip. Pixels are kept premultiplied, as the renderer takes them, so colours with partial alpha read back
// rounded as Flash's do.
#include "swf/avm1/builtins.h"
#include "swf/displayclasses.h"
#include "swf/limits.h"

#include <algorithm>
#include <cmath>

namespace swf {

using avm1::arg;
using avm1::Object;
using avm1::Value;
using avm1::Vm;
using Args = std::vector<Value>;

namespace {

// Flash refuses bitmaps wider or taller than this, or with more pixels than kMaxPixels.
constexpr double kMaxSide = 8191;
constexpr double kMaxPixels = 16777215;

class BitmapDataObject : public Object {
public:
    using Object::Object;
    // Shared with the clips that show it; changed in place, so they show each change.
    std::shared_ptr<Bitmap> bitmap;
    bool transparent = true;
};

BitmapDataObject* live(const Value& self)
{
    auto* b = dynamic_cast<BitmapDataObject*>(self.asObject());
    return b && b->bitmap ? b : nullptr;
}

std::uint32_t premultiply(std::uint32_t argb)
{
    const std::uint32_t a = argb >> 24;
    auto channel = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    return a << 24 | channel(argb >> 16 & 0xFF) << 16 | channel(argb >> 8 & 0xFF) << 8 | channel(argb & 0xFF);
}

// Rounds halves down, as Flash does when it reads pixels back.
std::uint32_t unpremultiply(std::uint32_t pixel)
{
    const std::uint32_t a = pixel >> 24;
    if (a == 0)
        return 0;
    if (a == 255)
        return pixel;
    auto channel = [a](std::uint32_t c) { return std::min<std::uint32_t>(255, (c * 255 + (a - 1) / 2) / a); };
    return a << 24 | channel(pixel >> 16 & 0xFF) << 16 | channel(pixel >> 8 & 0xFF) << 8 | channel(pixel & 0xFF);
}

// A colour as the bitmap stores it: opaque bitmaps drop the alpha.
std::uint32_t stored(const BitmapDataObject& b, std::uint32_t argb)
{
    return b.transparent ? premultiply(argb) : (argb | 0xFF000000u);
}

std::uint32_t colourArg(Vm& vm, const Value& v)
{
    return avm1::toUint32(vm.toNumber(v));
}

std::uint32_t* pixelAt(BitmapDataObject& b, double x, double y)
{
    if (!(x >= 0 && y >= 0 && x < b.bitmap->width && y < b.bitmap->height))
        return nullptr;
    return &b.bitmap->pixels[std::size_t(y) * b.bitmap->width + std::size_t(x)];
}

Value constructor(Vm& vm, const Value& self, const Args& a)
{
    auto* b = dynamic_cast<BitmapDataObject*>(self.asObject());
    const double w = std::trunc(vm.toNumber(arg(a, 0))), h = std::trunc(vm.toNumber(arg(a, 1)));
    if (!b || !(w >= 1 && h >= 1 && w <= kMaxSide && h <= kMaxSide && w * h <= kMaxPixels))
        return Value();
    b->transparent = a.size() < 3 || avm1::toBoolean(a[2], vm.version());
    const std::uint32_t fill = a.size() < 4 ? 0xFFFFFFFFu : colourArg(vm, a[3]);
    b->bitmap = std::make_shared<Bitmap>();
    b->bitmap->width = std::uint32_t(w);
    b->bitmap->height = std::uint32_t(h);
    b->bitmap->pixels.assign(std::size_t(w * h), stored(*b, fill));
    return self;
}

Value width(Vm&, const Value& self, const Args&)
{
    const BitmapDataObject* b = live(self);
    return Value(b ? int(b->bitmap->width) : -1);
}

Value height(Vm&, const Value& self, const Args&)
{
    const BitmapDataObject* b = live(self);
    return Value(b ? int(b->bitmap->height) : -1);
}

Value transparent(Vm&, const Value& self, const Args&)
{
    const BitmapDataObject* b = live(self);
    return b ? Value(b->transparent) : Value(-1);
}

Value rectangle(Vm& vm, const Value& self, const Args&)
{
    const BitmapDataObject* b = live(self);
    if (!b)
        return Value(-1);
    return vm.construct(avm1::geomClass(vm, "Rectangle"),
                        {Value(0), Value(0), Value(int(b->bitmap->width)), Value(int(b->bitmap->height))});
}

Value getPixel32(Vm& vm, const Value& self, const Args& a)
{
    BitmapDataObject* b = live(self);
    if (!b)
        return Value(-1);
    const std::uint32_t* p = pixelAt(*b, vm.toNumber(arg(a, 0)), vm.toNumber(arg(a, 1)));
    return Value(double(std::int32_t(p ? unpremultiply(*p) : 0)));
}

Value getPixel(Vm& vm, const Value& self, const Args& a)
{
    BitmapDataObject* b = live(self);
    if (!b)
        return Value(-1);
    const std::uint32_t* p = pixelAt(*b, vm.toNumber(arg(a, 0)), vm.toNumber(arg(a, 1)));
    return Value(double(p ? unpremultiply(*p) & 0xFFFFFF : 0));
}

// setPixel keeps the pixel's alpha and sets its colour; setPixel32 sets both.
Value setPixelWith(Vm& vm, const Value& self, const Args& a, bool withAlpha)
{
    BitmapDataObject* b = live(self);
    if (!b)
        return Value(-1);
    std::uint32_t* p = pixelAt(*b, vm.toNumber(arg(a, 0)), vm.toNumber(arg(a, 1)));
    if (!p || a.size() < 3)
        return Value();
    std::uint32_t colour = colourArg(vm, a[2]);
    if (!withAlpha)
        colour = (unpremultiply(*p) & 0xFF000000u) | (colour & 0xFFFFFF);
    *p = stored(*b, colour);
    return Value();
}

Value setPixel(Vm& vm, const Value& self, const Args& a) { return setPixelWith(vm, self, a, false); }
Value setPixel32(Vm& vm, const Value& self, const Args& a) { return setPixelWith(vm, self, a, true); }

// fillRect(rect, colour): -1 when the bitmap is gone or the rectangle lacks a field; the part inside the
// bitmap takes the colour.
Value fillRect(Vm& vm, const Value& self, const Args& a)
{
    BitmapDataObject* b = live(self);
    if (!b || a.size() < 2 || !a[0].isObject())
        return Value(-1);
    double r[4];
    const char* fields[4] = {"x", "y", "width", "height"};
    for (int i = 0; i < 4; ++i) {
        const Value v = vm.get(a[0], fields[i]);
        if (v.isUndefined())
            return Value(-1);
        r[i] = avm1::toInt32(vm.toNumber(v));
    }
    // A negative size reaches back from the corner given.
    for (int i = 0; i < 2; ++i)
        if (r[2 + i] < 0)
            r[i] += r[2 + i], r[2 + i] = -r[2 + i];
    const std::uint32_t colour = stored(*b, colourArg(vm, a[1]));
    const double x0 = std::max(0.0, r[0]), y0 = std::max(0.0, r[1]);
    const double x1 = std::min<double>(b->bitmap->width, r[0] + r[2]);
    const double y1 = std::min<double>(b->bitmap->height, r[1] + r[3]);
    for (double y = y0; y < y1; ++y)
        for (double x = x0; x < x1; ++x)
            *pixelAt(*b, x, y) = colour;
    return Value(0);
}

Value dispose(Vm&, const Value& self, const Args&)
{
    if (auto* b = dynamic_cast<BitmapDataObject*>(self.asObject())) {
        // Clips showing it keep their last picture; the script object forgets the pixels.
        b->bitmap.reset();
    }
    return Value();
}

Value cloneBitmap(Vm& vm, const Value& self, const Args&)
{
    const BitmapDataObject* b = live(self);
    if (!b)
        return Value(-1);
    Value copy = vm.construct(vm.get(self, "__constructor__"), {Value(1), Value(1)});
    if (auto* c = dynamic_cast<BitmapDataObject*>(copy.asObject())) {
        c->bitmap = std::make_shared<Bitmap>(*b->bitmap);
        c->transparent = b->transparent;
    }
    return copy;
}

// attachBitmap(bitmapData, depth): shows the pixels at a script depth of the clip.
Value attachBitmap(Vm& vm, const Value& self, const Args& a)
{
    Clip* clip = ScriptHost::clipOf(self);
    const BitmapDataObject* b = live(arg(a, 0));
    const int depth = avm1::toInt32(vm.toNumber(arg(a, 1)));
    if (!clip || !b || depth < limits::kMinScriptDepth || depth > limits::kMaxScriptDepth)
        return Value();
    DisplayObject object;
    object.character.kind = CharacterKind::Bitmap;
    object.character.bitmap = b->bitmap;
    object.scripted = true;
    clip->displayList()[std::int32_t(long(depth) + kFirstScriptDepth)] = std::move(object);
    return Value();
}

}  // namespace

void installBitmapDataClass(Vm& vm, ScriptHost&, Object* clipProto)
{
    Object* flash = vm.get(Value(vm.global()), "flash").asObject();
    if (!flash)
        return;
    Object* display = vm.get(Value(flash), "display").asObject();
    if (!display) {
        display = vm.newObject();
        flash->put("display", Value(display), avm1::prop::DontEnum);
    }
    Object* proto = vm.newObject();
    avm1::FunctionObject* ctor = avm1::makePackageClass(vm, display, "BitmapData", proto, constructor);
    ctor->makeInstance = [](Vm& vm) -> Object* {
        return vm.adopt(std::make_unique<BitmapDataObject>(vm.builtins().objectProto, vm.version() >= 7));
    };
    avm1::addGetter(vm, proto, "width", width);
    avm1::addGetter(vm, proto, "height", height);
    avm1::addGetter(vm, proto, "transparent", transparent);
    avm1::addGetter(vm, proto, "rectangle", rectangle);
    struct Entry {
        const char* name;
        avm1::NativeFunction method;
    };
    const Entry methods[] = {{"getPixel", getPixel}, {"getPixel32", getPixel32}, {"setPixel", setPixel},
                             {"setPixel32", setPixel32}, {"fillRect", fillRect}, {"dispose", dispose},
                             {"clone", cloneBitmap}};
    for (const Entry& e : methods)
        vm.method(proto, e.name, e.method);
    vm.method(clipProto, "attachBitmap", attachBitmap);
}

}  // namespace swf
