// ASnative(category, index): Flash's numbered access to its built-in functions. The numbers name the global
// functions (category 100) and Math's (category 200) that this machine has; other numbers give undefined.
#include "swf/avm1/builtins.h"

#include <map>
#include <memory>
#include <utility>

namespace swf::avm1 {

namespace {

struct NativeName {
    const char* holder;  // nullptr for _global
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
        const Value holder = native.holder ? vm.get(Value(vm.global()), native.holder) : Value(vm.global());
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
