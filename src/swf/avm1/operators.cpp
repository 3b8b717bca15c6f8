// Arithmetic, comparison, logic and bitwise actions, with the SWF 4 rules where they differ.
#include "swf/avm1/interp.h"

#include "swf/limits.h"

#include <cmath>

namespace swf::avm1 {

bool strictEquals(const Value& a, const Value& b)
{
    if (a.type() != b.type()) {
        return false;
    }
    switch (a.type()) {
    case Type::Undefined:
    case Type::Null:
        return true;
    case Type::Boolean:
        return a.asBool() == b.asBool();
    case Type::Number:
        return a.asNumber() == b.asNumber();
    case Type::String:
        return a.asString() == b.asString();
    case Type::Object:
        return a.asObject() == b.asObject();
    }
    return false;
}

// An object compared with a primitive gives its valueOf; unlike other conversions, equality does not fall back to
// toString when valueOf hands back an object (a Date still converts through its string).
Value equalityPrimitive(Vm& vm, const Value& v)
{
    Object* o = v.asObject();
    if (o->kind() == ObjectKind::Date || o->kind() == ObjectKind::Super || vm.host().isClip(o)) {
        return vm.toPrimitive(v);
    }
    const Value f = vm.get(v, "valueOf");
    return vm.isCallable(f) ? vm.call(f, v, {}) : vm.toPrimitive(v);
}

bool abstractEquals(Vm& vm, const Value& a, const Value& b)
{
    if (vm.version() <= 6 && a.isNumber() && b.isNumber() && std::isnan(a.asNumber()) && std::isnan(b.asNumber())) {
        return true;  // Flash 6 and older movies find NaN equal to itself
    }
    if (a.type() == b.type()) {
        return strictEquals(a, b);
    }
    if (a.isNullish() && b.isNullish()) {
        return true;
    }
    // An object meets a primitive (undefined and null too) as the primitive it converts to.
    if (a.isObject() && !b.isObject()) {
        Value pa = equalityPrimitive(vm, a);
        return pa.isObject() ? false : abstractEquals(vm, pa, b);
    }
    if (b.isObject() && !a.isObject()) {
        Value pb = equalityPrimitive(vm, b);
        return pb.isObject() ? false : abstractEquals(vm, a, pb);
    }
    if (a.isNullish() || b.isNullish()) {
        return false;
    }
    if (a.isNumber() && b.isString()) {
        return a.asNumber() == vm.toNumber(b);
    }
    if (a.isString() && b.isNumber()) {
        return vm.toNumber(a) == b.asNumber();
    }
    if (a.isBool()) {
        return abstractEquals(vm, Value(a.asBool() ? 1 : 0), b);
    }
    if (b.isBool()) {
        return abstractEquals(vm, a, Value(b.asBool() ? 1 : 0));
    }
    return false;
}

// A comparison asks an object's valueOf only (a clip takes part as NaN); the result may still be an object.
static Value relationalPrimitive(Vm& vm, const Value& v)
{
    Object* o = v.asObject();
    if (!o) {
        return v;
    }
    return vm.host().isClip(o) ? Value(std::nan("")) : equalityPrimitive(vm, v);
}

Value abstractLess(Vm& vm, const Value& a, const Value& b)
{
    // A side whose valueOf gives an object makes the comparison false, before the other side is converted.
    const Value pa = relationalPrimitive(vm, a);
    if (pa.isObject()) {
        return Value(false);
    }
    const Value pb = relationalPrimitive(vm, b);
    if (pb.isObject()) {
        return Value(false);
    }
    if (pa.isString() && pb.isString()) {
        return Value(pa.asString() < pb.asString());
    }
    const double x = vm.toNumber(pa);
    const double y = vm.toNumber(pb);
    if (std::isnan(x) || std::isnan(y)) {
        return Value();
    }
    return Value(x < y);
}

namespace {

using BinaryNumber = double (*)(double, double);

template <BinaryNumber F>
Completion numeric(Activation& act, const ActionRecord&)
{
    const Value bv = act.pop();
    const Value av = act.pop();
    const double a = act.vm.toNumber(av);
    const double b = act.vm.toNumber(bv);
    act.push(Value(F(a, b)));
    return Completion::Normal;
}

double add(double a, double b) { return a + b; }
double subtract(double a, double b) { return a - b; }
double multiply(double a, double b) { return a * b; }
double modulo(double a, double b) { return std::fmod(a, b); }

Completion onDivide(Activation& act, const ActionRecord&)
{
    const Value bv = act.pop();
    const Value av = act.pop();
    const double a = act.vm.toNumber(av);
    const double b = act.vm.toNumber(bv);
    if (b == 0 && act.version <= 4) {
        act.push(Value("#ERROR#"));
    } else {
        act.push(Value(a / b));
    }
    return Completion::Normal;
}

Completion onEquals(Activation& act, const ActionRecord&)
{
    const Value bv = act.pop();
    const Value av = act.pop();
    // Equals converts the right operand first, unlike the other operators.
    const double b = act.vm.toNumber(bv);
    const double a = act.vm.toNumber(av);
    act.push(act.boolean(a == b));
    return Completion::Normal;
}

Completion onLess(Activation& act, const ActionRecord&)
{
    const Value bv = act.pop();
    const Value av = act.pop();
    const double a = act.vm.toNumber(av);
    const double b = act.vm.toNumber(bv);
    act.push(act.boolean(a < b));
    return Completion::Normal;
}

Completion onAnd(Activation& act, const ActionRecord&)
{
    const bool b = toBoolean(act.vm.toPrimitive(act.pop()), act.version);
    const bool a = toBoolean(act.vm.toPrimitive(act.pop()), act.version);
    act.push(act.boolean(a && b));
    return Completion::Normal;
}

Completion onOr(Activation& act, const ActionRecord&)
{
    const bool b = toBoolean(act.pop(), act.version);
    const bool a = toBoolean(act.pop(), act.version);
    act.push(act.boolean(a || b));
    return Completion::Normal;
}

Completion onNot(Activation& act, const ActionRecord&)
{
    act.push(act.boolean(!toBoolean(act.pop(), act.version)));
    return Completion::Normal;
}

Completion onAdd2(Activation& act, const ActionRecord&)
{
    // Objects give their valueOf; one that gives an object is asked toString only when the other side is a
    // string, and otherwise adds as NaN.
    const Value bv = act.pop();
    const Value av = act.pop();
    const Value a = av.isObject() ? equalityPrimitive(act.vm, av) : av;
    const Value b = bv.isObject() ? equalityPrimitive(act.vm, bv) : bv;
    if (a.isString() || b.isString()) {
        std::string left = act.vm.toString(a.isObject() ? av : a);
        const std::string right = act.vm.toString(b.isObject() ? bv : b);
        if (left.size() + right.size() > limits::kAvm1MaxStringBytes) {
            act.vm.abort("A string grew past the engine's limit; the scripts were stopped.");
            return Completion::Abort;
        }
        act.push(Value(left + right));
    } else {
        const double x = a.isObject() ? std::nan("") : act.vm.toNumber(a);
        const double y = b.isObject() ? std::nan("") : act.vm.toNumber(b);
        act.push(Value(x + y));
    }
    return Completion::Normal;
}

Completion onLess2(Activation& act, const ActionRecord&)
{
    const Value b = act.pop();
    const Value a = act.pop();
    act.push(abstractLess(act.vm, a, b));
    return Completion::Normal;
}

Completion onGreater(Activation& act, const ActionRecord&)
{
    const Value b = act.pop();
    const Value a = act.pop();
    const Value r = abstractLess(act.vm, b, a);
    act.push(r);
    return Completion::Normal;
}

Completion onEquals2(Activation& act, const ActionRecord&)
{
    const Value b = act.pop();
    const Value a = act.pop();
    act.push(act.boolean(abstractEquals(act.vm, a, b)));
    return Completion::Normal;
}

Completion onStrictEquals(Activation& act, const ActionRecord&)
{
    const Value b = act.pop();
    const Value a = act.pop();
    // Flash's StrictEquals takes NaN as equal to itself.
    const bool bothNaN = a.isNumber() && b.isNumber() && std::isnan(a.asNumber()) && std::isnan(b.asNumber());
    act.push(Value(bothNaN || strictEquals(a, b)));
    return Completion::Normal;
}

Completion onIncrement(Activation& act, const ActionRecord&)
{
    act.push(Value(act.popNumber() + 1));
    return Completion::Normal;
}

Completion onDecrement(Activation& act, const ActionRecord&)
{
    act.push(Value(act.popNumber() - 1));
    return Completion::Normal;
}

Completion onToInteger(Activation& act, const ActionRecord&)
{
    act.push(Value(double(toInt32(act.popNumber()))));
    return Completion::Normal;
}

Completion onToNumber(Activation& act, const ActionRecord&)
{
    act.push(Value(act.popNumber()));
    return Completion::Normal;
}

Completion onToString(Activation& act, const ActionRecord&)
{
    act.push(Value(act.popString()));
    return Completion::Normal;
}

template <int Kind>
Completion bitwise(Activation& act, const ActionRecord&)
{
    const Value bv = act.pop();
    const Value av = act.pop();
    const double a = act.vm.toNumber(av);
    const double b = act.vm.toNumber(bv);
    const std::int32_t x = toInt32(a);
    const std::int32_t y = toInt32(b);
    const unsigned shift = toUint32(b) & 31;
    double r = 0;
    switch (Kind) {
    case 0: r = x & y; break;
    case 1: r = x | y; break;
    case 2: r = x ^ y; break;
    case 3: r = std::int32_t(std::uint32_t(x) << shift); break;
    case 4: r = x >> shift; break;
    default: r = double(std::uint32_t(x) >> shift); break;
    }
    act.push(Value(r));
    return Completion::Normal;
}

}  // namespace

void registerArithmetic(Handler* t)
{
    t[op::Add] = numeric<add>;
    t[op::Subtract] = numeric<subtract>;
    t[op::Multiply] = numeric<multiply>;
    t[op::Modulo] = numeric<modulo>;
    t[op::Divide] = onDivide;
    t[op::Equals] = onEquals;
    t[op::Less] = onLess;
    t[op::And] = onAnd;
    t[op::Or] = onOr;
    t[op::Not] = onNot;
    t[op::Add2] = onAdd2;
    t[op::Less2] = onLess2;
    t[op::Greater] = onGreater;
    t[op::Equals2] = onEquals2;
    t[op::StrictEquals] = onStrictEquals;
    t[op::Increment] = onIncrement;
    t[op::Decrement] = onDecrement;
    t[op::ToInteger] = onToInteger;
    t[op::ToNumber] = onToNumber;
    t[op::ToString] = onToString;
    t[op::BitAnd] = bitwise<0>;
    t[op::BitOr] = bitwise<1>;
    t[op::BitXor] = bitwise<2>;
    t[op::BitLShift] = bitwise<3>;
    t[op::BitRShift] = bitwise<4>;
    t[op::BitURShift] = bitwise<5>;
}

}  // namespace swf::avm1
