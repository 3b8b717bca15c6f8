// flash.geom.Rectangle: x, y, width and height are plain properties; the edges, corners and size are computed from
// them. Comparisons with a value that is not a number answer undefined, as ActionScript's own comparisons do.
#include "swf/avm1/builtins.h"

#include <algorithm>
#include <cmath>

namespace swf::avm1 {

namespace {

double number(Vm& vm, const Value& object, const char* name)
{
    return vm.toNumber(vm.get(object, name));
}

double right(Vm& vm, const Value& r)
{
    return number(vm, r, "x") + number(vm, r, "width");
}

double bottom(Vm& vm, const Value& r)
{
    return number(vm, r, "y") + number(vm, r, "height");
}

Value newRectangle(Vm& vm, std::vector<Value> args)
{
    return vm.construct(geomClass(vm, "Rectangle"), args);
}

Value newPoint(Vm& vm, const Value& x, const Value& y)
{
    return vm.construct(geomClass(vm, "Point"), {x, y});
}

// Chains comparisons as `a && b && …` does: the first answer that is not true is the result.
Value allOf(std::initializer_list<Value> answers)
{
    for (const Value& a : answers) {
        if (!a.isBool() || !a.asBool()) {
            return a;
        }
    }
    return Value(true);
}

Value atLeast(double a, double b)
{
    return std::isnan(a) || std::isnan(b) ? Value() : Value(a >= b);
}

Value below(double a, double b)
{
    return std::isnan(a) || std::isnan(b) ? Value() : Value(a < b);
}

void setFields(Vm& vm, const Value& self, const Value& x, const Value& y, const Value& w, const Value& h)
{
    vm.set(self, "x", x);
    vm.set(self, "y", y);
    vm.set(self, "width", w);
    vm.set(self, "height", h);
}

Value constructor(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    if (args.empty()) {
        setFields(vm, self, Value(0), Value(0), Value(0), Value(0));
    } else {
        setFields(vm, self, args[0], arg(args, 1), arg(args, 2), arg(args, 3));
    }
    return Value();
}

Value toString(Vm& vm, const Value& self, const std::vector<Value>&)
{
    return Value("(x=" + vm.toString(vm.get(self, "x")) + ", y=" + vm.toString(vm.get(self, "y")) +
                 ", w=" + vm.toString(vm.get(self, "width")) + ", h=" + vm.toString(vm.get(self, "height")) + ")");
}

bool isEmptyRect(Vm& vm, const Value& r)
{
    return !(number(vm, r, "width") > 0 && number(vm, r, "height") > 0);
}

Value contains(Vm& vm, const Value& self, double x, double y)
{
    return allOf({atLeast(x, number(vm, self, "x")), below(x, right(vm, self)), atLeast(y, number(vm, self, "y")),
        below(y, bottom(vm, self))});
}

Value containsRectangle(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    const Value r = arg(args, 0);
    return allOf({atLeast(number(vm, r, "x"), number(vm, self, "x")),
        atLeast(number(vm, r, "y"), number(vm, self, "y")), atLeast(right(vm, self), right(vm, r)),
        atLeast(bottom(vm, self), bottom(vm, r))});
}

Value equals(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    const Value r = arg(args, 0);
    if (!vm.instanceOf(r, geomClass(vm, "Rectangle").asObject())) {
        return Value(false);
    }
    for (const char* field : {"x", "y", "width", "height"}) {
        if (!(number(vm, self, field) == number(vm, r, field))) {
            return Value(false);
        }
    }
    return Value(true);
}

void inflate(Vm& vm, const Value& self, double dx, double dy)
{
    vm.set(self, "x", Value(number(vm, self, "x") - dx));
    vm.set(self, "width", Value(number(vm, self, "width") + 2 * dx));
    vm.set(self, "y", Value(number(vm, self, "y") - dy));
    vm.set(self, "height", Value(number(vm, self, "height") + 2 * dy));
}

void offset(Vm& vm, const Value& self, double dx, double dy)
{
    vm.set(self, "x", Value(number(vm, self, "x") + dx));
    vm.set(self, "y", Value(number(vm, self, "y") + dy));
}

Value intersection(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    const Value r = arg(args, 0);
    if (isEmptyRect(vm, self) || isEmptyRect(vm, r)) {
        return newRectangle(vm, {});
    }
    const double left = std::max(number(vm, self, "x"), number(vm, r, "x"));
    const double top = std::max(number(vm, self, "y"), number(vm, r, "y"));
    const double rightEdge = std::min(right(vm, self), right(vm, r));
    const double bottomEdge = std::min(bottom(vm, self), bottom(vm, r));
    if (!(rightEdge > left && bottomEdge > top)) {
        return newRectangle(vm, {});
    }
    return newRectangle(vm, {Value(left), Value(top), Value(rightEdge - left), Value(bottomEdge - top)});
}

// Math.min and Math.max: a NaN on either side gives NaN.
double smaller(double a, double b)
{
    return std::isnan(a) || std::isnan(b) ? NAN : std::min(a, b);
}

double larger(double a, double b)
{
    return std::isnan(a) || std::isnan(b) ? NAN : std::max(a, b);
}

// Unlike intersection, union does not look at emptiness: it spans both rectangles, NaN where either is unknown.
Value unionWith(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    const Value r = arg(args, 0);
    const double left = smaller(number(vm, self, "x"), number(vm, r, "x"));
    const double top = smaller(number(vm, self, "y"), number(vm, r, "y"));
    const double rightEdge = larger(right(vm, self), right(vm, r));
    const double bottomEdge = larger(bottom(vm, self), bottom(vm, r));
    return newRectangle(vm, {Value(left), Value(top), Value(rightEdge - left), Value(bottomEdge - top)});
}

// The computed members: edges move one side and keep the other; corners and size are points.
void installEdges(Vm& vm, Object* proto)
{
    auto numberArg = [](Vm& vm, const std::vector<Value>& a) { return vm.toNumber(arg(a, 0)); };
    addGetter(vm, proto, "left", [](Vm& vm, const Value& s, const std::vector<Value>&) { return vm.get(s, "x"); },
        [numberArg](Vm& vm, const Value& s, const std::vector<Value>& a) {
            vm.set(s, "width", Value(number(vm, s, "width") + number(vm, s, "x") - numberArg(vm, a)));
            vm.set(s, "x", arg(a, 0));
            return Value();
        });
    addGetter(vm, proto, "top", [](Vm& vm, const Value& s, const std::vector<Value>&) { return vm.get(s, "y"); },
        [numberArg](Vm& vm, const Value& s, const std::vector<Value>& a) {
            vm.set(s, "height", Value(number(vm, s, "height") + number(vm, s, "y") - numberArg(vm, a)));
            vm.set(s, "y", arg(a, 0));
            return Value();
        });
    addGetter(vm, proto, "right", [](Vm& vm, const Value& s, const std::vector<Value>&) { return Value(right(vm, s)); },
        [numberArg](Vm& vm, const Value& s, const std::vector<Value>& a) {
            vm.set(s, "width", Value(numberArg(vm, a) - number(vm, s, "x")));
            return Value();
        });
    addGetter(
        vm, proto, "bottom",
        [](Vm& vm, const Value& s, const std::vector<Value>&) { return Value(bottom(vm, s)); },
        [numberArg](Vm& vm, const Value& s, const std::vector<Value>& a) {
            vm.set(s, "height", Value(numberArg(vm, a) - number(vm, s, "y")));
            return Value();
        });
}

void installCorners(Vm& vm, Object* proto)
{
    addGetter(vm, proto, "topLeft",
        [](Vm& vm, const Value& s, const std::vector<Value>&) { return newPoint(vm, vm.get(s, "x"), vm.get(s, "y")); },
        [](Vm& vm, const Value& s, const std::vector<Value>& a) {
            const Value p = arg(a, 0);
            vm.set(s, "width", Value(number(vm, s, "width") + number(vm, s, "x") - number(vm, p, "x")));
            vm.set(s, "height", Value(number(vm, s, "height") + number(vm, s, "y") - number(vm, p, "y")));
            vm.set(s, "x", vm.get(p, "x"));
            vm.set(s, "y", vm.get(p, "y"));
            return Value();
        });
    addGetter(vm, proto, "bottomRight",
        [](Vm& vm, const Value& s, const std::vector<Value>&) {
            return newPoint(vm, Value(right(vm, s)), Value(bottom(vm, s)));
        },
        [](Vm& vm, const Value& s, const std::vector<Value>& a) {
            const Value p = arg(a, 0);
            vm.set(s, "width", Value(number(vm, p, "x") - number(vm, s, "x")));
            vm.set(s, "height", Value(number(vm, p, "y") - number(vm, s, "y")));
            return Value();
        });
    addGetter(vm, proto, "size",
        [](Vm& vm, const Value& s, const std::vector<Value>&) {
            return newPoint(vm, vm.get(s, "width"), vm.get(s, "height"));
        },
        [](Vm& vm, const Value& s, const std::vector<Value>& a) {
            vm.set(s, "width", vm.get(arg(a, 0), "x"));
            vm.set(s, "height", vm.get(arg(a, 0), "y"));
            return Value();
        });
}

void installMethods(Vm& vm, Object* proto)
{
    vm.method(proto, "toString", toString);
    vm.method(proto, "clone", [](Vm& vm, const Value& s, const std::vector<Value>&) {
        return newRectangle(vm, {vm.get(s, "x"), vm.get(s, "y"), vm.get(s, "width"), vm.get(s, "height")});
    });
    vm.method(proto, "isEmpty", [](Vm& vm, const Value& s, const std::vector<Value>&) {
        return Value(isEmptyRect(vm, s));
    });
    vm.method(proto, "setEmpty", [](Vm& vm, const Value& s, const std::vector<Value>&) {
        setFields(vm, s, Value(0), Value(0), Value(0), Value(0));
        return Value();
    });
    vm.method(proto, "contains", [](Vm& vm, const Value& s, const std::vector<Value>& a) {
        return contains(vm, s, vm.toNumber(arg(a, 0)), vm.toNumber(arg(a, 1)));
    });
    vm.method(proto, "containsPoint", [](Vm& vm, const Value& s, const std::vector<Value>& a) {
        return contains(vm, s, number(vm, arg(a, 0), "x"), number(vm, arg(a, 0), "y"));
    });
    vm.method(proto, "containsRectangle", containsRectangle);
    vm.method(proto, "equals", equals);
    vm.method(proto, "inflate", [](Vm& vm, const Value& s, const std::vector<Value>& a) {
        inflate(vm, s, vm.toNumber(arg(a, 0)), vm.toNumber(arg(a, 1)));
        return Value();
    });
    vm.method(proto, "inflatePoint", [](Vm& vm, const Value& s, const std::vector<Value>& a) {
        inflate(vm, s, number(vm, arg(a, 0), "x"), number(vm, arg(a, 0), "y"));
        return Value();
    });
    vm.method(proto, "offset", [](Vm& vm, const Value& s, const std::vector<Value>& a) {
        offset(vm, s, vm.toNumber(arg(a, 0)), vm.toNumber(arg(a, 1)));
        return Value();
    });
    vm.method(proto, "offsetPoint", [](Vm& vm, const Value& s, const std::vector<Value>& a) {
        offset(vm, s, number(vm, arg(a, 0), "x"), number(vm, arg(a, 0), "y"));
        return Value();
    });
    vm.method(proto, "intersection", intersection);
    vm.method(proto, "intersects", [](Vm& vm, const Value& s, const std::vector<Value>& a) {
        return Value(!isEmptyRect(vm, intersection(vm, s, a)));
    });
    vm.method(proto, "union", unionWith);
}

}  // namespace

void installRectangle(Vm& vm, Object* package)
{
    Object* proto = vm.newObject();
    makePackageClass(vm, package, "Rectangle", proto, constructor);
    installEdges(vm, proto);
    installCorners(vm, proto);
    installMethods(vm, proto);
}

}  // namespace swf::avm1
