// Helpers the built-in classes share: making a class, reading arguments.
#pragma once

#include "swf/avm1/vm.h"

#include <string>
#include <vector>

namespace swf::avm1 {

// A constructor with its prototype, bound on the global object under the name.
FunctionObject* makeClass(Vm& vm, const std::string& name, Object* prototype, NativeFunction constructor);

inline Value arg(const std::vector<Value>& args, std::size_t i)
{
    return i < args.size() ? args[i] : Value();
}

// The array `this` refers to, or null (then the method does nothing, as Flash's generic methods would).
ArrayObject* thisArray(const Value& self);

// Joins the elements' strings with the separator.
std::string joinArray(Vm& vm, const ArrayObject& array, const std::string& separator);

}  // namespace swf::avm1
