// flash.geom.Matrix: a, b, c, d, tx and ty as plain properties, with the affine operations Flash offers on them.
// The methods apply after the matrix: concat(m) gives "this, then m".
#include "swf/avm1/builtins.h"

#include <cmath>

namespace swf::avm1 {

namespace {

constexpr const char* kFields[6] = {"a", "b", "c", "d", "tx", "ty"};
// Gradient boxes are sized against Flash's 1638.4-unit (32768 twips) gradient square.
constexpr double kGradientSquare = 1638.4;

struct Affine {
    double a, b, c, d, tx, ty;
};

Affine read(Vm& vm, const Value& m)
{
    double v[6];
    for (int i = 0; i < 6; ++i) {
        v[i] = vm.toNumber(vm.get(m, kFields[i]));
    }
    return {v[0], v[1], v[2], v[3], v[4], v[5]};
}

void write(Vm& vm, const Value& m, const Affine& t)
{
    const double v[6] = {t.a, t.b, t.c, t.d, t.tx, t.ty};
    for (int i = 0; i < 6; ++i) {
        vm.set(m, kFields[i], Value(v[i]));
    }
}

Affine multiply(const Affine& m, const Affine& n)
{
    return {m.a * n.a + m.b * n.c, m.a * n.b + m.b * n.d, m.c * n.a + m.d * n.c, m.c * n.b + m.d * n.d,
        m.tx * n.a + m.ty * n.c + n.tx, m.tx * n.b + m.ty * n.d + n.ty};
}

Value constructor(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    if (args.empty()) {
        write(vm, self, {1, 0, 0, 1, 0, 0});
        return Value();
    }
    for (std::size_t i = 0; i < 6; ++i) {
        vm.set(self, kFields[i], arg(args, i));
    }
    return Value();
}

Value toString(Vm& vm, const Value& self, const std::vector<Value>&)
{
    std::string out = "(";
    for (int i = 0; i < 6; ++i) {
        out += std::string(i ? ", " : "") + kFields[i] + "=" + vm.toString(vm.get(self, kFields[i]));
    }
    return Value(out + ")");
}

Value clone(Vm& vm, const Value& self, const std::vector<Value>&)
{
    std::vector<Value> values;
    for (const char* field : kFields) {
        values.push_back(vm.get(self, field));
    }
    return vm.construct(geomClass(vm, "Matrix"), values);
}

Value invert(Vm& vm, const Value& self, const std::vector<Value>&)
{
    const Affine m = read(vm, self);
    const double det = m.a * m.d - m.b * m.c;
    const Affine inverse{m.d / det, -m.b / det, -m.c / det, m.a / det, 0, 0};
    write(vm, self,
        {inverse.a, inverse.b, inverse.c, inverse.d, -(inverse.a * m.tx + inverse.c * m.ty),
            -(inverse.b * m.tx + inverse.d * m.ty)});
    return Value();
}

Value rotate(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    const double angle = vm.toNumber(arg(args, 0));
    const double cosine = std::cos(angle);
    const double sine = std::sin(angle);
    write(vm, self, multiply(read(vm, self), {cosine, sine, -sine, cosine, 0, 0}));
    return Value();
}

Value scale(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    const double sx = vm.toNumber(arg(args, 0));
    const double sy = vm.toNumber(arg(args, 1));
    const Affine m = read(vm, self);
    write(vm, self, {m.a * sx, m.b * sy, m.c * sx, m.d * sy, m.tx * sx, m.ty * sy});
    return Value();
}

Value translate(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    Affine m = read(vm, self);
    m.tx += vm.toNumber(arg(args, 0));
    m.ty += vm.toNumber(arg(args, 1));
    write(vm, self, m);
    return Value();
}

Value concat(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    write(vm, self, multiply(read(vm, self), read(vm, arg(args, 0))));
    return Value();
}

// The offsets default to 0 when left out; the rotation does not.
double offsetArg(Vm& vm, const std::vector<Value>& args, std::size_t i)
{
    return i < args.size() ? vm.toNumber(args[i]) : 0;
}

Value createBox(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    const double sx = vm.toNumber(arg(args, 0));
    const double sy = vm.toNumber(arg(args, 1));
    const double angle = vm.toNumber(arg(args, 2));
    const double cosine = std::cos(angle);
    const double sine = std::sin(angle);
    write(vm, self,
        {cosine * sx, sine * sy, -sine * sx, cosine * sy, offsetArg(vm, args, 3), offsetArg(vm, args, 4)});
    return Value();
}

Value createGradientBox(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    const double width = vm.toNumber(arg(args, 0));
    const double height = vm.toNumber(arg(args, 1));
    const double angle = args.size() > 2 ? vm.toNumber(args[2]) : 0;
    const double cosine = std::cos(angle);
    const double sine = std::sin(angle);
    write(vm, self,
        {cosine * width / kGradientSquare, sine * height / kGradientSquare, -sine * width / kGradientSquare,
            cosine * height / kGradientSquare, width / 2 + offsetArg(vm, args, 3),
            height / 2 + offsetArg(vm, args, 4)});
    return Value();
}

Value transformPoint(Vm& vm, const Value& self, const std::vector<Value>& args, bool withOffset)
{
    const Affine m = read(vm, self);
    const double x = vm.toNumber(vm.get(arg(args, 0), "x"));
    const double y = vm.toNumber(vm.get(arg(args, 0), "y"));
    const double px = m.a * x + m.c * y + (withOffset ? m.tx : 0);
    const double py = m.b * x + m.d * y + (withOffset ? m.ty : 0);
    return vm.construct(geomClass(vm, "Point"), {Value(px), Value(py)});
}

}  // namespace

void installMatrix(Vm& vm, Object* package)
{
    Object* proto = vm.newObject();
    makePackageClass(vm, package, "Matrix", proto, constructor);
    vm.method(proto, "toString", toString);
    vm.method(proto, "clone", clone);
    vm.method(proto, "identity", [](Vm& vm, const Value& self, const std::vector<Value>&) {
        write(vm, self, {1, 0, 0, 1, 0, 0});
        return Value();
    });
    vm.method(proto, "invert", invert);
    vm.method(proto, "rotate", rotate);
    vm.method(proto, "scale", scale);
    vm.method(proto, "translate", translate);
    vm.method(proto, "concat", concat);
    vm.method(proto, "createBox", createBox);
    vm.method(proto, "createGradientBox", createGradientBox);
    vm.method(proto, "transformPoint", [](Vm& vm, const Value& self, const std::vector<Value>& args) {
        return transformPoint(vm, self, args, true);
    });
    vm.method(proto, "deltaTransformPoint", [](Vm& vm, const Value& self, const std::vector<Value>& args) {
        return transformPoint(vm, self, args, false);
    });
}

}  // namespace swf::avm1
