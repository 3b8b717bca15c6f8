// flash.geom.ColorTransform: four multipliers and four offsets kept as numbers inside the object, reached through
// properties on the prototype, with rgb (the offsets as one colour) and concat.
#include "swf/avm1/builtins.h"

namespace swf::avm1 {

namespace {

// Multipliers first, then offsets, each in the order red, green, blue, alpha.
constexpr const char* kFields[8] = {"redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier",
    "redOffset", "greenOffset", "blueOffset", "alphaOffset"};

class ColorTransformObject : public Object {
public:
    using Object::Object;
    double values[8] = {1, 1, 1, 1, 0, 0, 0, 0};
};

ColorTransformObject* thisTransform(const Value& self)
{
    return dynamic_cast<ColorTransformObject*>(self.asObject());
}

Value constructor(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    ColorTransformObject* t = thisTransform(self);
    if (t && !args.empty()) {
        for (std::size_t i = 0; i < 8; ++i) {
            t->values[i] = vm.toNumber(arg(args, i));
        }
    }
    return Value();
}

Value toString(Vm& vm, const Value& self, const std::vector<Value>&)
{
    std::string out = "(";
    for (std::size_t i = 0; i < 8; ++i) {
        out += std::string(i ? ", " : "") + kFields[i] + "=" + vm.toString(vm.get(self, kFields[i]));
    }
    return Value(out + ")");
}

Value getRgb(Vm&, const Value& self, const std::vector<Value>&)
{
    const ColorTransformObject* t = thisTransform(self);
    if (!t) {
        return Value();
    }
    return Value(double(toInt32(t->values[4]) << 16 | toInt32(t->values[5]) << 8 | toInt32(t->values[6])));
}

// Setting rgb makes the colour solid: the offsets take its bytes and the colour multipliers become 0.
Value setRgb(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    if (ColorTransformObject* t = thisTransform(self)) {
        const std::uint32_t rgb = toUint32(vm.toNumber(arg(args, 0)));
        t->values[0] = t->values[1] = t->values[2] = 0;
        t->values[4] = double((rgb >> 16) & 0xFF);
        t->values[5] = double((rgb >> 8) & 0xFF);
        t->values[6] = double(rgb & 0xFF);
    }
    return Value();
}

// This transform applied after the other one: offsets go through this one's multipliers.
Value concat(Vm&, const Value& self, const std::vector<Value>& args)
{
    ColorTransformObject* t = thisTransform(self);
    const ColorTransformObject* other = thisTransform(arg(args, 0));
    if (!t || !other) {
        return Value();
    }
    for (std::size_t i = 0; i < 4; ++i) {
        t->values[4 + i] += t->values[i] * other->values[4 + i];
        t->values[i] *= other->values[i];
    }
    return Value();
}

NativeFunction fieldGetter(std::size_t i)
{
    return [i](Vm&, const Value& self, const std::vector<Value>&) {
        const ColorTransformObject* t = thisTransform(self);
        return t ? Value(t->values[i]) : Value();
    };
}

NativeFunction fieldSetter(std::size_t i)
{
    return [i](Vm& vm, const Value& self, const std::vector<Value>& args) {
        if (ColorTransformObject* t = thisTransform(self)) {
            t->values[i] = vm.toNumber(arg(args, 0));
        }
        return Value();
    };
}

}  // namespace

void installColorTransform(Vm& vm, Object* package)
{
    Object* proto = vm.newObject();
    FunctionObject* ctor = makePackageClass(vm, package, "ColorTransform", proto, constructor);
    ctor->makeInstance = [](Vm& vm) -> Object* {
        return vm.adopt(std::make_unique<ColorTransformObject>(vm.builtins().objectProto, vm.version() >= 7));
    };
    // Unlike most built-ins, these members are enumerable, newest first.
    for (std::size_t i : {3, 0, 1, 2, 7, 4, 5, 6}) {
        addGetter(vm, proto, kFields[i], fieldGetter(i), fieldSetter(i), 0);
    }
    addGetter(vm, proto, "rgb", getRgb, setRgb, 0);
    vm.method(proto, "concat", concat);
    proto->findOwn("concat")->flags = 0;
    vm.method(proto, "toString", toString);
    proto->findOwn("toString")->flags = 0;
}

}  // namespace swf::avm1
