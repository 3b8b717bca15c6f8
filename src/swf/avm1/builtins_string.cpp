// String: the constructor and box, and the methods of Flash's String, counting characters.
#include "swf/avm1/builtins.h"
#include "swf/avm1/casemap.h"

#include "swf/limits.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace swf::avm1 {

namespace {

std::u32string chars(Vm& vm, const Value& self)
{
    Object* o = self.asObject();
    if (o && o->kind() == ObjectKind::String) {
        return utf8ToUnits(vm.toString(o->primitive()));
    }
    return utf8ToUnits(vm.toString(self));
}

Value str(const std::u32string& s)
{
    return Value(unitsToUtf8(s));
}

// Positions and lengths are 32-bit integers in Flash: 4294967297 wraps to 1.
double integerArg(Vm& vm, const std::vector<Value>& args, std::size_t i, double fallback)
{
    return i < args.size() && !args[i].isUndefined() ? double(toInt32(vm.toNumber(args[i]))) : fallback;
}

Value charAt(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    const std::u32string s = chars(vm, self);
    const double i = integerArg(vm, args, 0, 0);
    return i >= 0 && i < double(s.size()) ? str(s.substr(std::size_t(i), 1)) : Value("");
}

Value charCodeAt(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    const std::u32string s = chars(vm, self);
    const double i = integerArg(vm, args, 0, 0);
    if (i >= double(s.size()) && vm.version() < 6) {
        return Value(0);  // SWF 5 reads past the end as the string's terminating 0
    }
    return i >= 0 && i < double(s.size()) ? Value(double(s[std::size_t(i)])) : Value(NAN);
}

Value concat(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    std::string out = unitsToUtf8(chars(vm, self));
    for (const Value& v : args) {
        out += vm.toString(v);
        if (out.size() > limits::kAvm1MaxStringBytes) {
            vm.abort("A string grew past the engine's limit; the scripts were stopped.");
            return Value();
        }
    }
    return Value(out);
}

Value indexOf(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    if (args.empty()) {
        return Value();
    }
    const std::u32string s = chars(vm, self);
    const std::u32string needle = utf8ToUnits(vm.toString(arg(args, 0)));
    const double from = std::max(integerArg(vm, args, 1, 0), 0.0);
    if (from > double(s.size())) {
        return Value(-1);
    }
    const std::size_t at = s.find(needle, std::size_t(from));
    return Value(at == std::u32string::npos ? -1.0 : double(at));
}

Value lastIndexOf(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    if (args.empty()) {
        return Value();
    }
    const std::u32string s = chars(vm, self);
    const std::u32string needle = utf8ToUnits(vm.toString(arg(args, 0)));
    const double from = integerArg(vm, args, 1, double(s.size()));
    if (from < 0) {
        return Value(-1);
    }
    const std::size_t at = s.rfind(needle, std::size_t(std::min(from, double(s.size()))));
    return Value(at == std::u32string::npos ? -1.0 : double(at));
}

Value slice(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    if (args.empty()) {
        return Value();
    }
    const std::u32string s = chars(vm, self);
    const double n = double(s.size());
    double start = integerArg(vm, args, 0, 0);
    double end = integerArg(vm, args, 1, n);
    start = start < 0 ? std::max(0.0, n + start) : std::min(start, n);
    end = end < 0 ? std::max(0.0, n + end) : std::min(end, n);
    return start < end ? str(s.substr(std::size_t(start), std::size_t(end - start))) : Value("");
}

Value substring(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    if (args.empty()) {
        return Value();
    }
    const std::u32string s = chars(vm, self);
    const double n = double(s.size());
    double start = std::clamp(integerArg(vm, args, 0, 0), 0.0, n);
    double end = std::clamp(integerArg(vm, args, 1, n), 0.0, n);
    if (start > end) {
        std::swap(start, end);
    }
    return str(s.substr(std::size_t(start), std::size_t(end - start)));
}

Value substr(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    if (args.empty()) {
        return Value();
    }
    const std::u32string s = chars(vm, self);
    const double n = double(s.size());
    double start = integerArg(vm, args, 0, 0);
    if (start < 0) {
        start = std::max(0.0, n + start);
    }
    start = std::min(start, n);
    double length = integerArg(vm, args, 1, n - start);
    if (length < 0) {
        length = std::max(0.0, n - start + length);
    }
    length = std::min(length, n - start);
    return str(s.substr(std::size_t(start), std::size_t(length)));
}

// Splits at every occurrence of a non-empty separator.
void splitAt(const std::u32string& s, const std::u32string& sep, const std::function<void(std::u32string)>& add)
{
    std::size_t from = 0;
    while (true) {
        const std::size_t at = s.find(sep, from);
        if (at == std::u32string::npos) {
            add(s.substr(from));
            return;
        }
        add(s.substr(from, at - from));
        from = at + sep.size();
    }
}

// SWF 5 splits at commas when no separator is given and keeps the string whole for an empty one; later versions
// keep it whole (ignoring the limit) without a separator and split into characters at an empty one.
Value split(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    const std::u32string s = chars(vm, self);
    ArrayObject* out = vm.newArray();
    const Value separator = arg(args, 0);
    const bool swf5 = vm.version() < 6;
    const double limit = integerArg(vm, args, 1, 4294967295.0);
    auto add = [&](std::u32string part) {
        if (double(out->elements.size()) < limit) {
            out->elements.push_back(str(part));
        }
    };
    if (separator.isUndefined() && !swf5) {
        out->elements.push_back(str(s));
        return Value(static_cast<Object*>(out));
    }
    const std::u32string sep = separator.isUndefined() ? U"," : utf8ToUnits(vm.toString(separator));
    if (sep.empty() && swf5) {
        add(s);
    } else if (sep.empty()) {
        for (char32_t c : s) {
            add(std::u32string(1, c));
        }
    } else if (!s.empty()) {
        splitAt(s, sep, add);
    }
    return Value(static_cast<Object*>(out));
}

template <bool Upper>
Value changeCase(Vm& vm, const Value& self, const std::vector<Value>&)
{
    std::u32string s = chars(vm, self);
    for (char32_t& c : s) {
        c = Upper ? upperUnit(c) : lowerUnit(c);
    }
    return str(s);
}

Value valueOf(Vm& vm, const Value& self, const std::vector<Value>&)
{
    Object* o = self.asObject();
    if (o && o->kind() == ObjectKind::String) {
        return o->primitive();
    }
    return Value(vm.toString(self));
}

Value fromCharCode(Vm& vm, const Value&, const std::vector<Value>& args)
{
    std::string out;
    for (const Value& v : args) {
        const std::uint32_t code = toUint32(vm.toNumber(v)) & 0xFFFF;
        if (code == 0) {
            break;  // the string ends at a NUL character
        }
        out += codePointToUtf8(code >= 0xD800 && code < 0xE000 ? 0xFFFD : code);
    }
    return Value(out);
}

Value stringConstructor(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    const Value text(args.empty() ? std::string() : vm.toString(args[0]));
    if (vm.constructing()) {
        if (Object* o = self.asObject()) {
            // The box's length is an ordinary property that scripts may change or delete.
            o->setPrimitive(text);
            o->put("length", Value(double(utf8ToUnits(text.asString()).size())), prop::Hidden);
        }
        return Value();
    }
    return text;
}

}  // namespace

void installString(Vm& vm)
{
    Builtins& b = vm.builtins();
    b.stringProto = vm.newObject();
    FunctionObject* ctor = makeClass(vm, "String", b.stringProto, stringConstructor);
    ctor->makeInstance = [](Vm& vm) -> Object* {
        return vm.newKind(ObjectKind::String, vm.builtins().stringProto);
    };
    vm.method(ctor, "fromCharCode", fromCharCode);
    Object* p = b.stringProto;
    vm.method(p, "charAt", charAt);
    vm.method(p, "charCodeAt", charCodeAt);
    vm.method(p, "concat", concat);
    vm.method(p, "indexOf", indexOf);
    vm.method(p, "lastIndexOf", lastIndexOf);
    vm.method(p, "slice", slice);
    vm.method(p, "substring", substring);
    vm.method(p, "substr", substr);
    vm.method(p, "split", split);
    vm.method(p, "toLowerCase", changeCase<false>);
    vm.method(p, "toUpperCase", changeCase<true>);
    vm.method(p, "toString", valueOf);
    vm.method(p, "valueOf", valueOf);
}

}  // namespace swf::avm1
