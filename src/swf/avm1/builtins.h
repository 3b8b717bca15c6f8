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

// A constructor with its prototype, bound in a package object (flash.geom) under the name.
FunctionObject* makePackageClass(
    Vm& vm, Object* package, const std::string& name, Object* prototype, NativeFunction constructor);

// A virtual property whose value the native getter computes; without a setter it is read-only.
void addGetter(Vm& vm, Object* target, const std::string& name, NativeFunction getter, NativeFunction setter = {},
    std::uint8_t flags = prop::Hidden);

// The class flash.geom.<name> as scripts see it now (undefined once they replaced it).
Value geomClass(Vm& vm, const std::string& name);

// load(url) of LoadVars and XML: asks the host for the text and calls self.onData(text) at the next timer run
// (undefined when the host could not load it).
Value loadTextLater(Vm& vm, const Value& self, const std::vector<Value>& args);
// sendAndLoad(url, target[, method]): sends self's text (POST unless method is "GET") and loads the answer into
// target as load does.
Value sendAndLoadText(Vm& vm, const Value& self, const std::vector<Value>& args);
// send(url[, window]): opens the address with self's text in a browser window.
Value sendText(Vm& vm, const Value& self, const std::vector<Value>& args);

// Installers of the flash.geom classes, one file each.
void installPoint(Vm& vm, Object* package);
void installRectangle(Vm& vm, Object* package);
void installMatrix(Vm& vm, Object* package);
void installColorTransform(Vm& vm, Object* package);

}  // namespace swf::avm1
