// The Color class: reads and sets the colour transform of the clip it was made for.
#include "swf/avm1/builtins.h"
#include "swf/scripthost.h"

#include <cmath>

namespace swf {

using avm1::arg;
using avm1::Object;
using avm1::Value;
using avm1::Vm;
using Args = std::vector<Value>;

namespace {

// The clip of a Color object: its target is a clip or a path to one, looked up on every call.
DisplayObject* holderOf(ScriptHost& host, const Value& self)
{
    Vm& vm = host.vm();
    Value target = vm.get(self, "target");
    Clip* clip = ScriptHost::clipOf(target);
    if (!clip && !target.isNullish())
        clip = ScriptHost::clipOf(vm.resolveTarget(host.root(), vm.toString(target)));
    return clip ? clip->holder() : nullptr;
}

// Colour transforms keep 16-bit values: multipliers in 1/256 steps, offsets whole; larger values wrap.
double wrap16(double n)
{
    if (!std::isfinite(n))
        return 0;
    return double(std::int16_t(std::uint16_t(std::int64_t(std::fmod(std::trunc(n), 65536.0)))));
}

double toMult(double percent) { return wrap16(percent * 256 / 100) / 256; }

Value setRGB(ScriptHost& host, const Value& self, const Args& a)
{
    DisplayObject* holder = holderOf(host, self);
    if (!holder)
        return {};
    double n = host.vm().toNumber(arg(a, 0));
    auto rgb = std::uint32_t(std::isfinite(n) ? std::int64_t(n) : 0);
    ColorTransform& ct = holder->placement.colorTransform;
    ct.rMult = ct.gMult = ct.bMult = 0;
    ct.rAdd = (rgb >> 16) & 0xFF;
    ct.gAdd = (rgb >> 8) & 0xFF;
    ct.bAdd = rgb & 0xFF;
    holder->scriptMoved = true;
    return {};
}

Value getRGB(ScriptHost& host, const Value& self, const Args&)
{
    DisplayObject* holder = holderOf(host, self);
    if (!holder)
        return {};
    const ColorTransform& ct = holder->placement.colorTransform;
    auto channel = [](double add) { return std::int32_t(add); };
    return Value(double(std::int32_t(std::uint32_t(channel(ct.rAdd)) << 16 | std::uint32_t(channel(ct.gAdd)) << 8) |
                        channel(ct.bAdd)));
}

Value setTransform(ScriptHost& host, const Value& self, const Args& a)
{
    DisplayObject* holder = holderOf(host, self);
    Value t = arg(a, 0);
    if (!holder || !t.asObject())
        return {};
    Vm& vm = host.vm();
    ColorTransform& ct = holder->placement.colorTransform;
    struct Field {
        const char* name;
        double* target;
        bool multiplier;
    };
    const Field fields[] = {{"ra", &ct.rMult, true}, {"rb", &ct.rAdd, false}, {"ga", &ct.gMult, true},
                            {"gb", &ct.gAdd, false}, {"ba", &ct.bMult, true}, {"bb", &ct.bAdd, false},
                            {"aa", &ct.aMult, true}, {"ab", &ct.aAdd, false}};
    for (const Field& f : fields) {
        if (!t.asObject()->findOwn(f.name))
            continue;  // only the object's own fields count, not inherited ones
        double n = vm.toNumber(vm.get(t, f.name));
        *f.target = f.multiplier ? toMult(n) : wrap16(n);
    }
    holder->scriptMoved = true;
    return {};
}

Value getTransform(ScriptHost& host, const Value& self, const Args&)
{
    DisplayObject* holder = holderOf(host, self);
    if (!holder)
        return {};
    const ColorTransform& ct = holder->placement.colorTransform;
    Object* o = host.vm().newObject();
    o->put("ra", Value(ct.rMult * 100));
    o->put("rb", Value(ct.rAdd));
    o->put("ga", Value(ct.gMult * 100));
    o->put("gb", Value(ct.gAdd));
    o->put("ba", Value(ct.bMult * 100));
    o->put("bb", Value(ct.bAdd));
    o->put("aa", Value(ct.aMult * 100));
    o->put("ab", Value(ct.aAdd));
    return Value(o);
}

}  // namespace

void installColorClass(Vm& vm, ScriptHost& host)
{
    Object* proto = vm.newObject();
    avm1::makeClass(vm, "Color", proto, [](Vm&, const Value& self, const Args& a) {
        if (Object* o = self.asObject())
            o->put("target", arg(a, 0), avm1::prop::Hidden | avm1::prop::ReadOnly);
        return Value();
    });
    using Method = Value (*)(ScriptHost&, const Value&, const Args&);
    static const std::pair<const char*, Method> methods[] = {
        {"setRGB", setRGB}, {"getRGB", getRGB}, {"setTransform", setTransform}, {"getTransform", getTransform}};
    for (const auto& [name, method] : methods) {
        Method m = method;
        vm.method(proto, name, [&host, m](Vm&, const Value& self, const Args& a) { return m(host, self, a); });
    }
}

}  // namespace swf
