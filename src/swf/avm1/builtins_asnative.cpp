// ASnative(category, index): Flash's numbered access to its built-in functions. The numbers name the global
// functions (category 100), Object's methods (101) and Math's (200) that this machine has; other numbers give
// undefined.
#include "swf/avm1/builtins.h"

#include <map>
#include <memory>
#include <utility>

namespace swf::avm1 {

namespace {

struct NativeName {
    const char* holder;  // a dotted path from _global; nullptr for _global itself
    const char* name;
};

const std::map<std::pair<int, int>, NativeName>& nativeTable()
{
    static const std::map<std::pair<int, int>, NativeName> table = {
        {{100, 0}, {nullptr, "escape"}},
        {{100, 1}, {nullptr, "unescape"}},
        {{100, 2}, {nullptr, "parseInt"}},
        {{100, 3}, {nullptr, "parseFloat"}},
        {{100, 4}, {nullptr, "trace"}},
        {{101, 0}, {"Object.prototype", "watch"}},
        {{101, 1}, {"Object.prototype", "unwatch"}},
        {{101, 2}, {"Object.prototype", "addProperty"}},
        {{101, 3}, {"Object.prototype", "valueOf"}},
        {{101, 4}, {"Object.prototype", "toString"}},
        {{101, 5}, {"Object.prototype", "hasOwnProperty"}},
        {{101, 6}, {"Object.prototype", "isPrototypeOf"}},
        {{101, 7}, {"Object.prototype", "isPropertyEnumerable"}},
        {{200, 0}, {"Math", "abs"}},
        {{200, 1}, {"Math", "min"}},
        {{200, 2}, {"Math", "max"}},
        {{200, 3}, {"Math", "sin"}},
        {{200, 4}, {"Math", "cos"}},
        {{200, 5}, {"Math", "atan2"}},
        {{200, 6}, {"Math", "tan"}},
        {{200, 7}, {"Math", "exp"}},
        {{200, 8}, {"Math", "log"}},
        {{200, 9}, {"Math", "sqrt"}},
        {{200, 10}, {"Math", "round"}},
        {{200, 11}, {"Math", "random"}},
        {{200, 12}, {"Math", "floor"}},
        {{200, 13}, {"Math", "ceil"}},
        {{200, 14}, {"Math", "atan"}},
        {{200, 15}, {"Math", "asin"}},
        {{200, 16}, {"Math", "acos"}},
        {{200, 17}, {"Math", "pow"}},
    };
    return table;
}

Value holderOf(Vm& vm, const char* path)
{
    Value holder(vm.global());
    std::string rest = path ? path : "";
    while (!rest.empty()) {
        const std::size_t dot = rest.find('.');
        holder = vm.get(holder, rest.substr(0, dot));
        rest = dot == std::string::npos ? "" : rest.substr(dot + 1);
    }
    return holder;
}

Value traceFunction(Vm& vm, const Value&, const std::vector<Value>& args)
{
    vm.host().trace(vm.toString(arg(args, 0)));
    return Value();
}

}  // namespace

void installAsNative(Vm& vm)
{
    // The functions as Flash made them: ASnative still finds them after a script replaced the names.
    auto originals = std::make_shared<std::map<std::pair<int, int>, Value>>();
    for (const auto& entry : nativeTable()) {
        const NativeName& native = entry.second;
        const Value holder = holderOf(vm, native.holder);
        (*originals)[entry.first] = std::string(native.name) == "trace"
                                        ? Value(static_cast<Object*>(vm.newNative("trace", traceFunction)))
                                        : vm.get(holder, native.name);
    }
    NativeFunction asNative = [originals](Vm& vm, const Value&, const std::vector<Value>& args) {
        if (args.size() != 2) {
            return Value();
        }
        const int category = toInt32(vm.toNumber(args[0]));
        const int index = toInt32(vm.toNumber(args[1]));
        const auto found = originals->find({category, index});
        if (found == originals->end()) {
            vm.warnOnce("ASnative(" + std::to_string(category) + ", " + std::to_string(index) + ")");
            return Value();
        }
        return found->second;
    };
    vm.global()->put("ASnative", Value(static_cast<Object*>(vm.newNative("ASnative", asNative))), prop::DontEnum);
}

}  // namespace swf::avm1
