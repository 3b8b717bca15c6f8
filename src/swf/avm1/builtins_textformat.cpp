// TextFormat: a set of optional text attributes. Each is null until set, and each setter coerces its value the
// way Flash stores it: strings, booleans, whole numbers rounded half to even (out of range: -2147483648), colours
// as unsigned 32-bit numbers, margins never below 0, alignment from a fixed set, tab stops as a list of numbers.
#include "swf/avm1/builtins.h"

#include <climits>
#include <cmath>
#include <map>

namespace swf::avm1 {

namespace {

class TextFormatObject : public Object {
public:
    using Object::Object;
    std::map<std::string, Value> attributes;
};

enum class Kind { String, Integer, Color, Margin, Boolean, Number, Align, TabStops };

struct Attribute {
    const char* name;
    Kind kind;
};

// In the constructor's argument order, then the ones it does not take.
constexpr Attribute kAttributes[] = {{"font", Kind::String}, {"size", Kind::Integer}, {"color", Kind::Color},
    {"bold", Kind::Boolean}, {"italic", Kind::Boolean}, {"underline", Kind::Boolean}, {"url", Kind::String},
    {"target", Kind::String}, {"align", Kind::Align}, {"leftMargin", Kind::Margin}, {"rightMargin", Kind::Margin},
    {"indent", Kind::Integer}, {"leading", Kind::Integer}, {"blockIndent", Kind::Integer},
    {"tabStops", Kind::TabStops}, {"bullet", Kind::Boolean}, {"kerning", Kind::Boolean},
    {"letterSpacing", Kind::Number}, {"display", Kind::String}};

// Rounds half to even; NaN and values outside 32 bits give the smallest 32-bit integer.
double roundedInteger(double n)
{
    if (std::isnan(n) || n >= 2147483647.5 || n < -2147483648.5) {
        return double(INT_MIN);
    }
    return std::nearbyint(n);
}

Value tabStops(Vm& vm, const Value& v)
{
    const double length = toInteger(vm.toNumber(vm.get(v, "length")));
    ArrayObject* out = vm.newArray();
    for (double i = 0; i < length && i < double(limits::kAvm1MaxArrayLength) && !vm.stopped(); ++i) {
        out->elements.push_back(Value(roundedInteger(vm.toNumber(vm.get(v, std::to_string(std::size_t(i)))))));
    }
    return Value(static_cast<Object*>(out));
}

// The stored form of a value, or nothing for an alignment Flash does not know (the old one stays).
bool coerce(Vm& vm, Kind kind, const Value& v, Value& out)
{
    if (v.isNullish()) {
        out = Value::null();
        return true;
    }
    switch (kind) {
    case Kind::String: out = Value(vm.toString(v)); return true;
    case Kind::Integer: out = Value(roundedInteger(vm.toNumber(v))); return true;
    case Kind::Color: out = Value(double(toUint32(vm.toNumber(v)))); return true;
    case Kind::Margin: out = Value(roundedInteger(std::fmax(0.0, vm.toNumber(v)))); return true;
    case Kind::Boolean: out = Value(toBoolean(v, vm.version())); return true;
    case Kind::Number: out = Value(vm.toNumber(v)); return true;
    case Kind::TabStops: out = tabStops(vm, v); return true;
    case Kind::Align: {
        const std::string text = vm.toString(v);
        for (const char* known : {"left", "center", "right", "justify"}) {
            if (text == known) {
                out = Value(text);
                return true;
            }
        }
        return false;
    }
    }
    return false;
}

TextFormatObject* thisFormat(const Value& self)
{
    return dynamic_cast<TextFormatObject*>(self.asObject());
}

void store(Vm& vm, TextFormatObject& format, const Attribute& attribute, const Value& v)
{
    Value stored;
    if (coerce(vm, attribute.kind, v, stored)) {
        format.attributes[attribute.name] = stored;
    }
}

Value constructor(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    if (TextFormatObject* format = thisFormat(self)) {
        for (std::size_t i = 0; i < args.size() && i < 13; ++i) {
            store(vm, *format, kAttributes[i], args[i]);
        }
    }
    return Value();
}

}  // namespace

void installTextFormat(Vm& vm)
{
    Object* proto = vm.newObject();
    FunctionObject* ctor = makeClass(vm, "TextFormat", proto, constructor);
    ctor->makeInstance = [](Vm& vm) -> Object* {
        return vm.adopt(std::make_unique<TextFormatObject>(vm.builtins().objectProto, vm.version() >= 7));
    };
    for (const Attribute& attribute : kAttributes) {
        const std::string name = attribute.name;
        addGetter(
            vm, proto, name,
            [name](Vm&, const Value& self, const std::vector<Value>&) {
                TextFormatObject* format = thisFormat(self);
                if (!format) {
                    return Value();
                }
                const auto found = format->attributes.find(name);
                return found == format->attributes.end() ? Value::null() : found->second;
            },
            [attribute](Vm& vm, const Value& self, const std::vector<Value>& args) {
                if (TextFormatObject* format = thisFormat(self)) {
                    store(vm, *format, attribute, arg(args, 0));
                }
                return Value();
            });
    }
    vm.method(proto, "getTextExtent", [](Vm& vm, const Value&, const std::vector<Value>&) {
        vm.warnOnce("TextFormat.getTextExtent");
        return Value();
    });
}

}  // namespace swf::avm1
