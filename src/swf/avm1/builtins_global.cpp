// The global functions: parseInt/parseFloat, isNaN/isFinite, escape/unescape, getTimer, the timers and
// ASBroadcaster.
#include "swf/avm1/builtins.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace swf::avm1 {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

int digitValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'Z') {
        return c - 'A' + 10;
    }
    return 99;
}

bool isOctalLiteral(const std::string& s)
{
    std::size_t pos = !s.empty() && s[0] == '-' ? 1 : 0;
    if (pos + 1 >= s.size() || s[pos] != '0') {
        return false;
    }
    for (++pos; pos < s.size(); ++pos) {
        if (s[pos] < '0' || s[pos] > '7') {
            return false;
        }
    }
    return true;
}

bool hexPrefixAt(const std::string& s, std::size_t pos)
{
    return pos + 1 < s.size() && s[pos] == '0' && (s[pos + 1] == 'x' || s[pos + 1] == 'X');
}

// parseInt as Flash runs it: "0x" is only a prefix at the very start, a leading zero means octal only for a
// string that is all octal digits, and a radix that is given must lie in 2..36.
Value parseIntFunction(Vm& vm, const Value&, const std::vector<Value>& args)
{
    if (args.empty()) {
        return Value();
    }
    const std::string s = vm.toString(args[0]);
    const bool hasRadix = args.size() > 1;
    int radix = hasRadix ? int(toInteger(vm.toNumber(args[1]))) : 10;
    if (hasRadix && (radix < 2 || radix > 36)) {
        return Value(NAN);
    }
    std::size_t pos = 0;
    bool negative = false;
    bool strictDigits = false;
    if (hexPrefixAt(s, 0)) {
        pos = 2;
        radix = hasRadix ? radix : 16;
        while (pos < s.size() && isSpace(s[pos])) {
            ++pos;
        }
        if (pos < s.size() && (s[pos] == '-' || s[pos] == '+')) {
            negative = s[pos++] == '-';
        }
    } else if (!hasRadix && isOctalLiteral(s)) {
        radix = 8;
        negative = s[0] == '-';
        pos = negative ? 1 : 0;
    } else if (!s.empty() && (s[0] == '-' || s[0] == '+') && hexPrefixAt(s, 1)) {
        // A signed hexadecimal literal: Flash drops the sign and reads the digits in the given radix.
        if (!hasRadix) {
            return Value(NAN);
        }
        pos = 1;
        strictDigits = true;
    } else {
        while (pos < s.size() && isSpace(s[pos])) {
            ++pos;
        }
        if (pos < s.size() && (s[pos] == '-' || s[pos] == '+')) {
            negative = s[pos++] == '-';
        }
    }
    double value = 0;
    bool any = false;
    for (; pos < s.size() && digitValue(s[pos]) < radix; ++pos) {
        value = value * radix + digitValue(s[pos]);
        any = true;
    }
    if (!any || (strictDigits && pos < s.size() && (s[pos] == 'x' || s[pos] == 'X'))) {
        return Value(NAN);
    }
    return Value(negative ? -value : value);
}

// The exponent of parseFloat: digits read as a 32-bit integer that wraps ("1e4294967297" is 10).
std::int32_t parseExponent(const std::string& s, std::size_t pos)
{
    const bool negative = pos < s.size() && s[pos] == '-';
    if (pos < s.size() && (s[pos] == '-' || s[pos] == '+')) {
        ++pos;
    }
    std::uint32_t value = 0;
    while (pos < s.size() && std::isdigit(static_cast<unsigned char>(s[pos]))) {
        value = value * 10 + std::uint32_t(s[pos++] - '0');
    }
    return std::int32_t(negative ? 0u - value : value);
}

// Flash's parseFloat: digits after a second point still count as decimals (and then no exponent is read), and the
// decimals are added one by one with a falling scale, which is not always the nearest double (".1499999").
Value parseFloatFunction(Vm& vm, const Value&, const std::vector<Value>& args)
{
    if (args.empty()) {
        return Value();
    }
    const std::string s = vm.toString(arg(args, 0));
    std::size_t pos = 0;
    while (pos < s.size() && isSpace(s[pos])) {
        ++pos;
    }
    const bool negative = pos < s.size() && s[pos] == '-';
    if (pos < s.size() && (s[pos] == '-' || s[pos] == '+')) {
        ++pos;
    }
    double value = 0;
    double scale = 0;  // 0 before the point, then the weight of the next decimal
    bool digits = false;
    bool secondPoint = false;
    for (; pos < s.size(); ++pos) {
        const char c = s[pos];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digits = true;
            if (scale == 0) {
                value = value * 10 + (c - '0');
            } else {
                value += (c - '0') * scale;
                scale /= 10;
            }
        } else if (c == '.') {
            secondPoint = scale != 0;
            scale = scale == 0 ? 0.1 : scale;
        } else {
            break;
        }
    }
    if (!digits) {
        return Value(NAN);
    }
    if (!secondPoint && pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
        value *= std::pow(10.0, parseExponent(s, pos + 1));
    }
    return Value(negative ? -value : value);
}

Value escapeFunction(Vm& vm, const Value&, const std::vector<Value>& args)
{
    static const char* hex = "0123456789ABCDEF";
    const std::string s = vm.toString(arg(args, 0));
    std::string out;
    for (unsigned char c : s) {
        if (std::isalnum(c)) {
            out += char(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return Value(out);
}

Value unescapeFunction(Vm& vm, const Value&, const std::vector<Value>& args)
{
    const std::string s = vm.toString(arg(args, 0));
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() + 0 && digitValue(s[i + 1]) < 16 && digitValue(s[i + 2]) < 16) {
            out += char(digitValue(s[i + 1]) * 16 + digitValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return Value(out);
}

Value addTimer(Vm& vm, const std::vector<Value>& args, bool repeat)
{
    Timer t;
    std::size_t next = 0;
    if (vm.isCallable(arg(args, 0))) {
        t.function = args[0];
        next = 1;
    } else if (args.size() >= 2 && args[0].isObject()) {
        t.function = args[0];
        t.method = vm.toString(args[1]);
        next = 2;
    } else {
        return Value();
    }
    // Without an interval nothing is scheduled.
    if (arg(args, next).isUndefined()) {
        return Value();
    }
    t.interval = std::max(0.0, toInteger(vm.toNumber(arg(args, next))));
    t.args.assign(args.begin() + std::ptrdiff_t(std::min(args.size(), next + 1)), args.end());
    t.repeat = repeat;
    t.due = vm.host().nowMs() + t.interval;
    t.id = vm.nextTimerId();
    vm.timers().push_back(t);
    return Value(t.id);
}

Value clearTimer(Vm& vm, const Value&, const std::vector<Value>& args)
{
    const double id = vm.toNumber(arg(args, 0));
    auto& timers = vm.timers();
    timers.erase(std::remove_if(timers.begin(), timers.end(), [id](const Timer& t) { return t.id == id; }),
                 timers.end());
    return Value();
}

ArrayObject* listenersOf(Vm& vm, const Value& self)
{
    return thisArray(vm.get(self, "_listeners"));
}

Value addListener(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    ArrayObject* list = listenersOf(vm, self);
    if (!list) {
        return Value(false);
    }
    const Value listener = arg(args, 0);
    list->fillHoles();
    auto& e = list->elements;
    e.erase(std::remove_if(e.begin(), e.end(), [&](const Value& v) { return v.asObject() == listener.asObject(); }),
            e.end());
    e.push_back(listener);
    return Value(true);
}

Value removeListener(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    ArrayObject* list = listenersOf(vm, self);
    if (!list) {
        return Value(false);
    }
    list->fillHoles();
    auto& e = list->elements;
    const auto it = std::find_if(e.begin(), e.end(), [&](const Value& v) { return v.asObject() == arg(args, 0).asObject(); });
    if (it == e.end()) {
        return Value(false);
    }
    e.erase(it);
    return Value(true);
}

Value broadcastMessage(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    ArrayObject* list = listenersOf(vm, self);
    if (!list || args.empty()) {
        return Value();
    }
    const std::string name = vm.toString(args[0]);
    const std::vector<Value> rest(args.begin() + 1, args.end());
    const std::vector<Value> listeners = list->elements;
    for (const Value& l : listeners) {
        vm.call(vm.get(l, name), l, rest);
        if (vm.stopped()) {
            break;
        }
    }
    return Value(!listeners.empty());
}

Value initializeBroadcaster(Vm& vm, const Value&, const std::vector<Value>& args)
{
    Object* target = arg(args, 0).asObject();
    Object* broadcaster = vm.builtins().broadcaster;
    if (!target || !broadcaster) {
        return Value();
    }
    for (const char* name : {"addListener", "removeListener", "broadcastMessage"}) {
        target->put(name, vm.get(Value(broadcaster), name), prop::DontEnum);
    }
    target->put("_listeners", Value(static_cast<Object*>(vm.newArray())), prop::DontEnum);
    return Value();
}

}  // namespace

void installGlobals(Vm& vm)
{
    Object* g = vm.global();
    auto fn = [&](const char* name, NativeFunction f) {
        g->put(name, Value(static_cast<Object*>(vm.newNative(name, std::move(f)))), prop::DontEnum);
    };
    fn("parseInt", parseIntFunction);
    fn("parseFloat", parseFloatFunction);
    // Without an argument there is no number: isNaN() is true and isFinite() false in every version.
    fn("isNaN", [](Vm& vm, const Value&, const std::vector<Value>& a) {
        return Value(a.empty() || std::isnan(vm.toNumber(a[0])));
    });
    fn("isFinite", [](Vm& vm, const Value&, const std::vector<Value>& a) {
        return Value(!a.empty() && std::isfinite(vm.toNumber(a[0])));
    });
    fn("escape", escapeFunction);
    fn("unescape", unescapeFunction);
    fn("getTimer", [](Vm& vm, const Value&, const std::vector<Value>&) { return Value(std::floor(vm.host().nowMs())); });
    fn("setInterval", [](Vm& vm, const Value&, const std::vector<Value>& a) { return addTimer(vm, a, true); });
    fn("setTimeout", [](Vm& vm, const Value&, const std::vector<Value>& a) { return addTimer(vm, a, false); });
    fn("clearInterval", clearTimer);
    fn("clearTimeout", clearTimer);
    g->put("NaN", Value(NAN), prop::Hidden);
    g->put("Infinity", Value(INFINITY), prop::Hidden);

    auto noConstruction = [](Vm&, const Value&, const std::vector<Value>&) { return Value(); };
    Object* broadcaster = makeClass(vm, "AsBroadcaster", vm.newObject(), noConstruction);
    vm.builtins().broadcaster = broadcaster;
    vm.method(broadcaster, "initialize", initializeBroadcaster);
    vm.method(broadcaster, "addListener", addListener);
    vm.method(broadcaster, "removeListener", removeListener);
    vm.method(broadcaster, "broadcastMessage", broadcastMessage);
}

}  // namespace swf::avm1
