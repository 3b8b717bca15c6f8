// LoadVars: variables as "name=value&…" text. decode and toString convert; load asks the host for the text and
// hands it to onData at the next timer run, as Flash delivers loads after the script that asked.
#include "swf/avm1/builtins.h"

namespace swf::avm1 {

namespace {

Value callGlobal(Vm& vm, const char* name, const std::string& text)
{
    return vm.call(vm.get(Value(vm.global()), name), Value(), {Value(text)});
}

// "a=1&b=x%20y": each pair sets a variable; a pair without "=" sets an empty value; "+" stands for a space.
Value decode(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    std::string text = vm.toString(arg(args, 0));
    for (char& c : text) {
        c = c == '+' ? ' ' : c;
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('&', start);
        end = end == std::string::npos ? text.size() : end;
        const std::string pair = text.substr(start, end - start);
        const std::size_t equals = pair.find('=');
        if (!pair.empty()) {
            const std::string name = vm.toString(callGlobal(vm, "unescape", pair.substr(0, equals)));
            const std::string raw = equals == std::string::npos ? std::string() : pair.substr(equals + 1);
            const std::string value = vm.toString(callGlobal(vm, "unescape", raw));
            vm.set(self, name, Value(value));
        }
        start = end + 1;
    }
    return Value();
}

Value toString(Vm& vm, const Value& self, const std::vector<Value>&)
{
    Object* o = self.asObject();
    if (!o) {
        return Value("");
    }
    // In the order for..in visits them: newest first.
    std::vector<std::string> names = vm.enumerate(o);
    std::string out;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        const std::string& name = *it;
        const Value v = vm.get(self, name);
        if (vm.isCallable(v)) {
            continue;
        }
        out += (out.empty() ? "" : "&") + vm.toString(callGlobal(vm, "escape", name)) + "=" +
               vm.toString(callGlobal(vm, "escape", vm.toString(v)));
    }
    return Value(out);
}

// Queues onData(text) (undefined text: the load failed) for the next timer run.
void deliver(Vm& vm, const Value& self, Value text)
{
    Timer t;
    t.function = self;
    t.method = "onData";
    t.args = {std::move(text)};
    t.due = vm.host().nowMs();
    t.repeat = false;
    t.id = vm.nextTimerId();
    vm.timers().push_back(t);
}

Value load(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    if (args.empty()) {
        return Value(false);
    }
    std::string text;
    const bool loaded = vm.host().loadText(vm.toString(args[0]), text);
    vm.set(self, "loaded", Value(false));
    deliver(vm, self, loaded ? Value(text) : Value());
    return Value(true);
}

// The default onData: decodes the text and reports through onLoad.
Value onData(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    const Value text = arg(args, 0);
    if (!text.isUndefined()) {
        vm.call(vm.get(self, "decode"), self, {text});
        vm.set(self, "loaded", Value(true));
    }
    vm.call(vm.get(self, "onLoad"), self, {Value(!text.isUndefined())});
    return Value();
}

}  // namespace

Value loadTextLater(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    return load(vm, self, args);
}

void installLoadVars(Vm& vm)
{
    Object* proto = vm.newObject();
    makeClass(vm, "LoadVars", proto, [](Vm&, const Value&, const std::vector<Value>&) { return Value(); });
    vm.method(proto, "decode", decode);
    vm.method(proto, "toString", toString);
    vm.method(proto, "load", load);
    vm.method(proto, "onData", onData);
    vm.method(proto, "onLoad", [](Vm&, const Value&, const std::vector<Value>&) { return Value(); });
    for (const char* name : {"send", "sendAndLoad"}) {
        const std::string member = std::string("LoadVars.") + name;
        vm.method(proto, name, [member](Vm& vm, const Value&, const std::vector<Value>&) {
            vm.warnOnce(member);
            return Value(false);
        });
    }
    vm.method(proto, "addRequestHeader", [](Vm&, const Value&, const std::vector<Value>&) { return Value(); });
    proto->put("contentType", Value("application/x-www-form-urlencoded"), prop::Hidden);
}

}  // namespace swf::avm1
