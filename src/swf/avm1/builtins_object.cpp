// Object and Function: the root classes, property flags, getters and setters, watchers, call and apply.
#include "swf/avm1/builtins.h"

#include "swf/limits.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace swf::avm1 {

FunctionObject* makeClass(Vm& vm, const std::string& name, Object* prototype, NativeFunction constructor)
{
    FunctionObject* ctor = vm.newNative(name, std::move(constructor));
    ctor->put("prototype", Value(prototype), prop::Hidden);
    // A built-in class is an instance of Function and names it, as objects made by `new` name their class.
    if (FunctionObject* function = vm.builtins().functionCtor) {
        ctor->put("constructor", Value(static_cast<Object*>(function)), prop::Hidden);
    }
    prototype->put("constructor", Value(static_cast<Object*>(ctor)), prop::Hidden);
    vm.global()->put(name, Value(static_cast<Object*>(ctor)), prop::DontEnum);
    return ctor;
}

ArrayObject* thisArray(const Value& self)
{
    Object* o = self.asObject();
    return o && o->kind() == ObjectKind::Array ? static_cast<ArrayObject*>(o) : nullptr;
}

namespace {

Value objectToString(Vm& vm, const Value& self, const std::vector<Value>&)
{
    Object* o = self.asObject();
    if (o && o->kind() == ObjectKind::Function) {
        return Value("[type Function]");
    }
    (void)vm;
    return Value("[object Object]");
}

Value hasOwnProperty(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    Object* o = self.asObject();
    if (!o || args.empty()) {
        return Value(false);
    }
    const std::string name = vm.toString(args[0]);
    if (o->isProtoName(name)) {
        return Value(o->proto() != nullptr);
    }
    return Value(!name.empty() && (o->findOwn(name) != nullptr || o->hasSpecial(name)));
}

Value isPropertyEnumerable(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    Object* o = self.asObject();
    if (!o || args.empty()) {
        return Value(false);
    }
    const std::string name = vm.toString(args[0]);
    const Property* p = o->findOwn(name);
    return Value((p && !(p->flags & prop::DontEnum)) || o->hasSpecial(name));
}

Value isPrototypeOf(Vm&, const Value& self, const std::vector<Value>& args)
{
    Object* o = self.asObject();
    Object* other = arg(args, 0).asObject();
    int guard = 0;
    for (Object* cur = other ? other->proto() : nullptr; cur && guard < limits::kAvm1MaxProtoChain;
         cur = cur->proto(), ++guard) {
        if (cur == o) {
            return Value(true);
        }
    }
    return Value(false);
}

Value addProperty(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    Object* o = self.asObject();
    const std::string name = vm.toString(arg(args, 0));
    Object* getter = arg(args, 1).asObject();
    Value setterValue = arg(args, 2);
    if (!o || name.empty() || !vm.isCallable(arg(args, 1))) {
        return Value(false);
    }
    // The setter must be given: a function, or null for a read-only property.
    if (!setterValue.isNull() && !vm.isCallable(setterValue)) {
        return Value(false);
    }
    // A value the property held before stays behind the getter and setter.
    Property* existing = o->findOwn(name);
    Property& p = existing ? *existing : o->put(name, Value());
    p.getter = getter;
    p.setter = setterValue.asObject();
    return Value(true);
}

Value watch(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    Object* o = self.asObject();
    if (!o || args.size() < 2 || !vm.isCallable(args[1])) {
        return Value(false);
    }
    o->watches()[o->key(vm.toString(args[0]))] = Object::Watch{args[1].asObject(), arg(args, 2)};
    return Value(true);
}

Value unwatch(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    Object* o = self.asObject();
    if (!o || args.empty()) {
        return Value(false);
    }
    return Value(o->watches().erase(o->key(vm.toString(args[0]))) > 0);
}

// Splits ASSetPropFlags' list: an array of names or a comma-separated string.
std::vector<std::string> propertyNames(Vm& vm, const Value& list)
{
    std::vector<std::string> names;
    if (ArrayObject* array = thisArray(list)) {
        for (const Value& v : array->elements) {
            names.push_back(vm.toString(v));
        }
        return names;
    }
    std::stringstream in(vm.toString(list));
    std::string name;
    while (std::getline(in, name, ',')) {
        names.push_back(name);
    }
    return names;
}

Value asSetPropFlags(Vm& vm, const Value&, const std::vector<Value>& args)
{
    Object* o = arg(args, 0).asObject();
    if (!o) {
        return Value();
    }
    const std::uint32_t set = toUint32(vm.toNumber(arg(args, 2)));
    const std::uint32_t clear = args.size() > 3 ? toUint32(vm.toNumber(args[3])) : 0;
    auto apply = [&](Property& p) { p.flags = std::uint8_t(((p.flags & ~clear) | set) & 7); };
    ArrayObject* array = thisArray(arg(args, 0));
    auto applyElement = [&](std::size_t i) {
        array->setElementFlags(i, std::uint8_t(((array->elementFlags(i) & ~clear) | set) & 7));
    };
    if (arg(args, 1).isNull()) {
        for (const Property* p : o->ownProperties()) {
            apply(*o->findOwn(p->name));
        }
        for (std::size_t i = 0; array && i < array->elements.size(); ++i) {
            if (array->has(i)) {
                applyElement(i);
            }
        }
        return Value();
    }
    for (const std::string& name : propertyNames(vm, arg(args, 1))) {
        const long long index = array ? arrayIndex(name) : -1;
        if (index >= 0 && array->has(std::size_t(index))) {
            applyElement(std::size_t(index));
        } else if (Property* p = o->findOwn(name)) {
            apply(*p);
        } else if (o->isProtoName(name)) {
            o->setProtoFlags(std::uint8_t(((o->protoFlags() & ~clear) | set) & 7));
        }
    }
    return Value();
}

// call and apply with no this (undefined or null) run the function on the global object.
Value thisOrGlobal(Vm& vm, const Value& thisArg)
{
    return thisArg.isNullish() ? Value(vm.global()) : thisArg;
}

Value functionCall(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    std::vector<Value> rest(args.size() > 1 ? args.begin() + 1 : args.end(), args.end());
    return vm.call(self, thisOrGlobal(vm, arg(args, 0)), rest);
}

// apply takes its arguments from an array or from any object with a length and numbered properties.
Value functionApply(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    std::vector<Value> list;
    const Value given = arg(args, 1);
    if (ArrayObject* array = thisArray(given)) {
        list = array->elements;
    } else if (given.isObject()) {
        const double length = vm.toNumber(vm.get(given, "length"));
        const double count = std::isfinite(length) && length > 0 ? std::trunc(length) : 0;
        for (std::size_t i = 0; i < std::size_t(std::min<double>(count, limits::kAvm1MaxArrayLength)); ++i) {
            list.push_back(vm.get(given, std::to_string(i)));
        }
    }
    return vm.call(self, thisOrGlobal(vm, arg(args, 0)), list);
}

}  // namespace

void installObjectAndFunction(Vm& vm)
{
    Builtins& b = vm.builtins();
    Object* objectProto = b.objectProto;
    b.objectCtor = makeClass(vm, "Object", objectProto, [](Vm& vm, const Value&, const std::vector<Value>& args) {
        if (!args.empty() && !args[0].isNullish()) {
            return Value(vm.toObject(args[0]));
        }
        return Value(vm.newObject());
    });
    vm.method(objectProto, "toString", objectToString);
    vm.method(objectProto, "toLocaleString", objectToString);
    vm.method(objectProto, "valueOf", [](Vm&, const Value& self, const std::vector<Value>&) { return self; });
    vm.method(objectProto, "hasOwnProperty", hasOwnProperty);
    vm.method(objectProto, "isPropertyEnumerable", isPropertyEnumerable);
    vm.method(objectProto, "isPrototypeOf", isPrototypeOf);
    vm.method(objectProto, "addProperty", addProperty);
    vm.method(objectProto, "watch", watch);
    vm.method(objectProto, "unwatch", unwatch);
    vm.method(b.objectCtor, "registerClass", [](Vm& vm, const Value&, const std::vector<Value>& args) {
        if (args.size() < 2)
            return Value(false);
        return Value(vm.host().registerClass(vm.toString(args[0]), args[1]));
    });

    Object* functionProto = b.functionProto;
    // Function(x) called plainly hands back what it was given, and without arguments a bare object with no prototype.
    b.functionCtor = makeClass(vm, "Function", functionProto, [](Vm& vm, const Value&, const std::vector<Value>& args) {
        if (vm.constructing()) {
            return Value(vm.newObject());
        }
        return args.empty() ? Value(vm.newObject(nullptr)) : args[0];
    });
    vm.method(functionProto, "call", functionCall);
    vm.method(functionProto, "apply", functionApply);
    vm.global()->put("ASSetPropFlags", Value(static_cast<Object*>(vm.newNative("ASSetPropFlags", asSetPropFlags))),
                     prop::DontEnum);
}

}  // namespace swf::avm1
