// flash.geom.Point: a pair of coordinates. Like Flash's own, its methods read x and y as plain properties, so
// they work on any object that has them and leave values that are not numbers as they are where they need not add.
#include "swf/avm1/builtins.h"

#include <cmath>

namespace swf::avm1 {

namespace {

double number(Vm& vm, const Value& object, const char* name)
{
    return vm.toNumber(vm.get(object, name));
}

Value newPoint(Vm& vm, const Value& x, const Value& y)
{
    return vm.construct(geomClass(vm, "Point"), {x, y});
}

Value pointConstructor(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    if (args.empty()) {
        vm.set(self, "x", Value(0));
        vm.set(self, "y", Value(0));
    } else {
        vm.set(self, "x", args[0]);
        vm.set(self, "y", arg(args, 1));
    }
    return Value();
}

Value toString(Vm& vm, const Value& self, const std::vector<Value>&)
{
    return Value("(x=" + vm.toString(vm.get(self, "x")) + ", y=" + vm.toString(vm.get(self, "y")) + ")");
}

Value length(Vm& vm, const Value& self, const std::vector<Value>&)
{
    return Value(std::hypot(number(vm, self, "x"), number(vm, self, "y")));
}

Value add(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    const Value other = arg(args, 0);
    return newPoint(vm, Value(number(vm, self, "x") + number(vm, other, "x")),
        Value(number(vm, self, "y") + number(vm, other, "y")));
}

Value subtract(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    const Value other = arg(args, 0);
    return newPoint(vm, Value(number(vm, self, "x") - number(vm, other, "x")),
        Value(number(vm, self, "y") - number(vm, other, "y")));
}

Value equals(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    const Value other = arg(args, 0);
    if (!vm.instanceOf(other, geomClass(vm, "Point").asObject())) {
        return Value(false);
    }
    return Value(number(vm, self, "x") == number(vm, other, "x") && number(vm, self, "y") == number(vm, other, "y"));
}

Value clone(Vm& vm, const Value& self, const std::vector<Value>&)
{
    return newPoint(vm, vm.get(self, "x"), vm.get(self, "y"));
}

// Scales the point to the length; a point whose length is zero or not a number stays as it is.
Value normalize(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    const double current = vm.toNumber(vm.get(self, "length"));
    if (current > 0) {
        const double scale = vm.toNumber(arg(args, 0)) / current;
        vm.set(self, "x", Value(number(vm, self, "x") * scale));
        vm.set(self, "y", Value(number(vm, self, "y") * scale));
    }
    return Value();
}

Value offset(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    vm.set(self, "x", Value(number(vm, self, "x") + vm.toNumber(arg(args, 0))));
    vm.set(self, "y", Value(number(vm, self, "y") + vm.toNumber(arg(args, 1))));
    return Value();
}

// The distance is the length of the difference, found through the first point's own subtract.
Value distance(Vm& vm, const Value&, const std::vector<Value>& args)
{
    const Value first = arg(args, 0);
    const Value subtractMethod = vm.get(first, "subtract");
    if (!vm.isCallable(subtractMethod)) {
        return Value();
    }
    return vm.get(vm.call(subtractMethod, first, {arg(args, 1)}), "length");
}

// The point at fraction f of the way from the second point to the first.
Value interpolate(Vm& vm, const Value&, const std::vector<Value>& args)
{
    const Value a = arg(args, 0);
    const Value b = arg(args, 1);
    const double f = vm.toNumber(arg(args, 2));
    const double bx = number(vm, b, "x");
    const double by = number(vm, b, "y");
    return newPoint(vm, Value(bx + f * (number(vm, a, "x") - bx)), Value(by + f * (number(vm, a, "y") - by)));
}

Value polar(Vm& vm, const Value&, const std::vector<Value>& args)
{
    const double length = vm.toNumber(arg(args, 0));
    const double angle = vm.toNumber(arg(args, 1));
    return newPoint(vm, Value(length * std::cos(angle)), Value(length * std::sin(angle)));
}

}  // namespace

void installPoint(Vm& vm, Object* package)
{
    Object* proto = vm.newObject();
    FunctionObject* ctor = makePackageClass(vm, package, "Point", proto, pointConstructor);
    vm.method(proto, "toString", toString);
    vm.method(proto, "add", add);
    vm.method(proto, "subtract", subtract);
    vm.method(proto, "equals", equals);
    vm.method(proto, "clone", clone);
    vm.method(proto, "normalize", normalize);
    vm.method(proto, "offset", offset);
    addGetter(vm, proto, "length", length);
    vm.method(ctor, "distance", distance);
    vm.method(ctor, "interpolate", interpolate);
    vm.method(ctor, "polar", polar);
}

}  // namespace swf::avm1
