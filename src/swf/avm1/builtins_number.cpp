// Number, Boolean and Math.
#include "swf/avm1/builtins.h"

#include <cfloat>
#include <cmath>

namespace swf::avm1 {

namespace {

Value primitiveOf(const Value& self, ObjectKind kind)
{
    Object* o = self.asObject();
    if (o && o->kind() == kind) {
        return o->primitive();
    }
    return self;
}

Value numberConstructor(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    const Value n(args.empty() ? 0.0 : vm.toNumber(args[0]));
    if (vm.constructing()) {
        if (Object* o = self.asObject()) {
            o->setPrimitive(n);
        }
        return Value();
    }
    return n;
}

Value numberToStringMethod(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    const Value p = primitiveOf(self, ObjectKind::Number);
    const double n = p.isNumber() ? p.asNumber() : vm.toNumber(p);
    const int radix = args.empty() || args[0].isUndefined() ? 10 : int(toInteger(vm.toNumber(args[0])));
    return Value(numberToRadixString(n, radix));
}

Value booleanConstructor(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    if (args.empty() && !vm.constructing()) {
        return Value();  // Boolean() called plainly without an argument gives undefined
    }
    const Value b(!args.empty() && toBoolean(args[0], vm.version()));
    if (vm.constructing()) {
        if (Object* o = self.asObject()) {
            o->setPrimitive(b);
        }
        return Value();
    }
    return b;
}

using Unary = double (*)(double);

template <Unary F>
Value unary(Vm& vm, const Value&, const std::vector<Value>& args)
{
    return Value(F(args.empty() ? NAN : vm.toNumber(args[0])));
}

double roundHalfUp(double x)
{
    return std::floor(x + 0.5);
}

// With a single argument Flash compares it with the missing second one, which gives NaN.
Value mathMax(Vm& vm, const Value&, const std::vector<Value>& args)
{
    if (args.size() == 1) {
        vm.toNumber(args[0]);
        return Value(NAN);
    }
    double r = -INFINITY;
    for (const Value& v : args) {
        const double n = vm.toNumber(v);
        if (std::isnan(n)) {
            return Value(NAN);
        }
        r = std::max(r, n);
    }
    return Value(r);
}

Value mathMin(Vm& vm, const Value&, const std::vector<Value>& args)
{
    if (args.size() == 1) {
        vm.toNumber(args[0]);
        return Value(NAN);
    }
    double r = INFINITY;
    for (const Value& v : args) {
        const double n = vm.toNumber(v);
        if (std::isnan(n)) {
            return Value(NAN);
        }
        r = std::min(r, n);
    }
    return Value(r);
}

Value mathPow(Vm& vm, const Value&, const std::vector<Value>& args)
{
    return Value(std::pow(vm.toNumber(arg(args, 0)), vm.toNumber(arg(args, 1))));
}

Value mathAtan2(Vm& vm, const Value&, const std::vector<Value>& args)
{
    return Value(std::atan2(vm.toNumber(arg(args, 0)), vm.toNumber(arg(args, 1))));
}

}  // namespace

void installNumberBooleanMath(Vm& vm)
{
    Builtins& b = vm.builtins();
    b.numberProto = vm.newObject();
    FunctionObject* number = makeClass(vm, "Number", b.numberProto, numberConstructor);
    number->makeInstance = [](Vm& vm) -> Object* { return vm.newKind(ObjectKind::Number, vm.builtins().numberProto); };
    const std::uint8_t constant = prop::Hidden | prop::ReadOnly;
    number->put("MAX_VALUE", Value(DBL_MAX), constant);
    number->put("MIN_VALUE", Value(4.9406564584124654e-324), constant);
    number->put("NaN", Value(NAN), constant);
    number->put("POSITIVE_INFINITY", Value(INFINITY), constant);
    number->put("NEGATIVE_INFINITY", Value(-INFINITY), constant);
    vm.method(b.numberProto, "toString", numberToStringMethod);
    vm.method(b.numberProto, "valueOf", [](Vm& vm, const Value& self, const std::vector<Value>&) {
        const Value p = primitiveOf(self, ObjectKind::Number);
        return p.isNumber() ? p : Value(vm.toNumber(p));
    });

    b.booleanProto = vm.newObject();
    FunctionObject* boolean = makeClass(vm, "Boolean", b.booleanProto, booleanConstructor);
    boolean->makeInstance = [](Vm& vm) -> Object* {
        return vm.newKind(ObjectKind::Boolean, vm.builtins().booleanProto);
    };
    vm.method(b.booleanProto, "toString", [](Vm& vm, const Value& self, const std::vector<Value>&) {
        return Value(vm.toString(primitiveOf(self, ObjectKind::Boolean)));
    });
    vm.method(b.booleanProto, "valueOf", [](Vm&, const Value& self, const std::vector<Value>&) {
        return primitiveOf(self, ObjectKind::Boolean);
    });

    Object* math = vm.newObject();
    vm.global()->put("Math", Value(math), prop::DontEnum);
    math->put("E", Value(M_E), constant);
    math->put("LN10", Value(M_LN10), constant);
    math->put("LN2", Value(M_LN2), constant);
    math->put("LOG10E", Value(M_LOG10E), constant);
    math->put("LOG2E", Value(M_LOG2E), constant);
    math->put("PI", Value(M_PI), constant);
    math->put("SQRT1_2", Value(M_SQRT1_2), constant);
    math->put("SQRT2", Value(M_SQRT2), constant);
    vm.method(math, "abs", unary<std::fabs>);
    vm.method(math, "acos", unary<std::acos>);
    vm.method(math, "asin", unary<std::asin>);
    vm.method(math, "atan", unary<std::atan>);
    vm.method(math, "ceil", unary<std::ceil>);
    vm.method(math, "cos", unary<std::cos>);
    vm.method(math, "exp", unary<std::exp>);
    vm.method(math, "floor", unary<std::floor>);
    vm.method(math, "log", unary<std::log>);
    vm.method(math, "round", unary<roundHalfUp>);
    vm.method(math, "sin", unary<std::sin>);
    vm.method(math, "sqrt", unary<std::sqrt>);
    vm.method(math, "tan", unary<std::tan>);
    vm.method(math, "max", mathMax);
    vm.method(math, "min", mathMin);
    vm.method(math, "pow", mathPow);
    vm.method(math, "atan2", mathAtan2);
    vm.method(math, "random", [](Vm& vm, const Value&, const std::vector<Value>&) { return Value(vm.random()); });
}

}  // namespace swf::avm1
