// LoadVars: variables as "name=value&…" text. decode and toString convert; load asks the host for the text and
// hands it to onData at the next timer run, as Flash delivers loads after the script that asked; a web address
// answers later, when the host's request ends.
#include "swf/avm1/builtins.h"

#include <cctype>

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
// A GET request carries the variables in the address.
std::string withQuery(const std::string& url, const std::string& query)
{
    if (query.empty()) {
        return url;
    }
    return url + (url.find('?') == std::string::npos ? "?" : "&") + query;
}

bool isGet(Vm& vm, const Value& method)
{
    std::string name = vm.toString(method);
    for (char& c : name) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return name == "GET";
}

// Loads url for target: a file beside a local movie at once, a web address through the host's request;
// onData hears undefined when neither can be had.
void startLoad(Vm& vm, const Value& target, const std::string& url, const std::string& method,
               const std::string& body)
{
    vm.set(target, "loaded", Value(false));
    std::string text;
    if (vm.host().loadText(url, text)) {
        vm.deliverText(target, Value(text));
        return;
    }
    const int request = vm.host().requestText(url, method, body);
    if (request > 0) {
        vm.awaitText(request, target);
    } else {
        vm.deliverText(target, Value());
    }
}

Value load(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    if (args.empty()) {
        return Value(false);
    }
    startLoad(vm, self, vm.toString(args[0]), "GET", {});
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

Value sendAndLoadText(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    if (args.size() < 2 || !args[1].asObject()) {
        return Value(false);
    }
    const std::string url = vm.toString(args[0]);
    const std::string body = vm.toString(self);
    if (args.size() > 2 && isGet(vm, args[2])) {
        startLoad(vm, args[1], withQuery(url, body), "GET", {});
    } else {
        startLoad(vm, args[1], url, "POST", body);
    }
    return Value(true);
}

Value sendText(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    if (args.empty()) {
        return Value(false);
    }
    // A browser window opens with an address only, so the text always travels in it.
    const std::string target = args.size() > 1 ? vm.toString(args[1]) : std::string("_self");
    vm.host().getUrl(withQuery(vm.toString(args[0]), vm.toString(self)), target, 0);
    return Value(true);
}

void Vm::callLater(const Value& target, const std::string& method, std::vector<Value> args)
{
    Timer t;
    t.function = target;
    t.method = method;
    t.args = std::move(args);
    t.due = host().nowMs();
    t.repeat = false;
    t.id = nextTimerId();
    timers().push_back(t);
}

bool Vm::textArrived(int request, bool ok, const std::string& text)
{
    const auto it = m_awaitingText.find(request);
    if (it == m_awaitingText.end()) {
        return false;
    }
    const Value target = it->second;
    m_awaitingText.erase(it);
    deliverText(target, ok ? Value(text) : Value());
    return true;
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
    vm.method(proto, "send", sendText);
    vm.method(proto, "sendAndLoad", sendAndLoadText);
    vm.method(proto, "addRequestHeader", [](Vm&, const Value&, const std::vector<Value>&) { return Value(); });
    proto->put("contentType", Value("application/x-www-form-urlencoded"), prop::Hidden);
}

}  // namespace swf::avm1
