// Calls, construction, object and array literals, typeof, instanceof, enumeration and the class actions of SWF 7.
#include "swf/avm1/interp.h"

#include <algorithm>

namespace swf::avm1 {

namespace {

std::vector<Value> popArguments(Activation& act)
{
    const double wanted = act.popNumber();
    std::size_t count = wanted > 0 ? std::size_t(std::min(wanted, double(act.stack.size()))) : 0;
    std::vector<Value> args;
    args.reserve(count);
    while (count-- > 0) {
        args.push_back(act.pop());
    }
    return args;
}

// super(): the __constructor__ found from the method's home up, without __resolve. A method that is the object's
// own property starts above the object itself; a clip as the prototype above gives nothing.
Value callSuperConstructor(Vm& vm, SuperObject& super, const std::vector<Value>& args)
{
    if (!super.base || vm.host().isClip(super.base)) {
        return Value();
    }
    Object* start = super.home;
    if (start && start == super.self.asObject()) {
        start = super.base;
    }
    const Value ctor = start ? vm.get(Value(start), "__constructor__") : Value();
    if (!vm.isCallable(ctor)) {
        return Value();
    }
    return vm.call(ctor, super.self, args, super.base);
}

// A call SWF 5 code makes gives a later movie's function Flash 5's setting.
void noteFlash5Caller(Activation& act)
{
    if (act.version <= 5) {
        act.vm.callFromFlash5(act.target);
    }
}

Completion onCallFunction(Activation& act, const ActionRecord&)
{
    const std::string name = act.popString();
    std::vector<Value> args = popArguments(act);
    Value function;
    Value self = findFunctionThis(act, name, function);
    // Compilers write super() in a constructor as a call of the function named super.
    if (Object* o = function.asObject(); o && o->kind() == ObjectKind::Super) {
        act.push(callSuperConstructor(act.vm, *static_cast<SuperObject*>(o), args));
        return Completion::Normal;
    }
    if (!act.vm.isCallable(function)) {
        act.push(Value());
        return Completion::Normal;
    }
    noteFlash5Caller(act);
    act.push(act.vm.call(function, self, args));
    return Completion::Normal;
}

// A method missing on an instance of a built-in class is one this machine lacks: it is logged once by name.
void noteMissingMethod(Vm& vm, const Value& object, const std::string& name)
{
    auto* ctor = dynamic_cast<FunctionObject*>(vm.get(object, "constructor").asObject());
    if (!ctor || !ctor->native || ctor == vm.builtins().objectCtor) {
        return;
    }
    for (const Property* p : vm.global()->ownProperties()) {
        if (p->value.asObject() == ctor) {
            vm.warnOnce("Not implemented: " + p->name + "." + name);
            return;
        }
    }
}

Completion onCallMethod(Activation& act, const ActionRecord&)
{
    Vm& vm = act.vm;
    const Value nameValue = act.pop();
    const Value object = act.pop();
    std::vector<Value> args = popArguments(act);
    const std::string name = nameValue.isUndefined() ? std::string() : vm.toString(nameValue);
    Object* o = object.asObject();
    if (o && o->kind() == ObjectKind::Super) {
        auto* super = static_cast<SuperObject*>(o);
        if (!super->base || vm.host().isClip(super->base)) {
            act.push(Value());
            return Completion::Normal;
        }
        if (name.empty()) {
            act.push(callSuperConstructor(vm, *super, args));
            return Completion::Normal;
        }
        Object* owner = vm.ownerOf(super->base, name);
        act.push(vm.call(vm.get(object, name), super->self, args, owner));
        return Completion::Normal;
    }
    if (name.empty()) {
        noteFlash5Caller(act);
        act.push(vm.call(object, Value(), args));
        return Completion::Normal;
    }
    Value function = vm.get(object, name);
    if (!vm.isCallable(function)) {
        if (o) {
            noteMissingMethod(vm, object, name);
        }
        act.push(Value());
        return Completion::Normal;
    }
    Object* owner = o ? vm.ownerOf(o, name) : nullptr;
    noteFlash5Caller(act);
    act.push(vm.call(function, object, args, owner));
    return Completion::Normal;
}

Completion onNewObject(Activation& act, const ActionRecord&)
{
    const std::string name = act.popString();
    std::vector<Value> args = popArguments(act);
    Value ctor = getVariable(act, name);
    act.push(act.vm.isCallable(ctor) ? act.vm.construct(ctor, args) : Value());
    return Completion::Normal;
}

Completion onNewMethod(Activation& act, const ActionRecord&)
{
    const Value nameValue = act.pop();
    const Value object = act.pop();
    std::vector<Value> args = popArguments(act);
    const std::string name = nameValue.isUndefined() ? std::string() : act.vm.toString(nameValue);
    Value ctor = name.empty() ? object : act.vm.get(object, name);
    act.push(act.vm.isCallable(ctor) ? act.vm.construct(ctor, args) : Value());
    return Completion::Normal;
}

Completion onInitArray(Activation& act, const ActionRecord&)
{
    std::vector<Value> elements = popArguments(act);
    act.push(Value(static_cast<Object*>(act.vm.newArray(std::move(elements)))));
    return Completion::Normal;
}

Completion onInitObject(Activation& act, const ActionRecord&)
{
    const double wanted = act.popNumber();
    std::size_t count = wanted > 0 ? std::size_t(std::min(wanted, double(act.stack.size() / 2))) : 0;
    Object* o = act.vm.newObject();
    while (count-- > 0) {
        Value value = act.pop();
        const std::string name = act.popString();
        act.vm.set(Value(o), name, value);
    }
    act.push(Value(o));
    return Completion::Normal;
}

Completion onTypeOf(Activation& act, const ActionRecord&)
{
    act.push(Value(act.vm.typeOf(act.pop())));
    return Completion::Normal;
}

Completion onInstanceOf(Activation& act, const ActionRecord&)
{
    Value ctor = act.pop();
    Value object = act.pop();
    act.push(Value(act.vm.instanceOf(object, ctor.asObject())));
    return Completion::Normal;
}

void pushNames(Activation& act, Object* o)
{
    // The loop ends at a value equal to null; Flash leaves undefined there.
    act.push(Value());
    if (!o) {
        return;
    }
    for (const std::string& name : act.vm.enumerate(o)) {
        act.push(Value(name));
    }
}

Completion onEnumerate(Activation& act, const ActionRecord&)
{
    Value object = getVariable(act, act.popString());
    pushNames(act, object.asObject());
    return Completion::Normal;
}

Completion onEnumerate2(Activation& act, const ActionRecord&)
{
    Value object = act.pop();
    pushNames(act, object.asObject());
    return Completion::Normal;
}

Completion onExtends(Activation& act, const ActionRecord&)
{
    Vm& vm = act.vm;
    Value superclass = act.pop();
    Value subclass = act.pop();
    if (!subclass.isObject() || !superclass.isObject()) {
        return Completion::Normal;
    }
    Object* prototype = vm.newObject(vm.get(superclass, "prototype").asObject());
    prototype->put("__constructor__", superclass, prop::Hidden);
    vm.set(subclass, "prototype", Value(prototype));
    return Completion::Normal;
}

Completion onCastOp(Activation& act, const ActionRecord&)
{
    Value object = act.pop();
    Value ctor = act.pop();
    act.push(act.vm.instanceOf(object, ctor.asObject()) ? object : Value::null());
    return Completion::Normal;
}

Completion onImplementsOp(Activation& act, const ActionRecord&)
{
    Vm& vm = act.vm;
    Value ctor = act.pop();
    std::vector<Value> interfaces = popArguments(act);
    Object* prototype = vm.get(ctor, "prototype").asObject();
    if (prototype) {
        prototype->put("__interfaces__", Value(static_cast<Object*>(vm.newArray(std::move(interfaces)))),
                       prop::Hidden);
    }
    return Completion::Normal;
}

Completion onTargetPath(Activation& act, const ActionRecord&)
{
    Value object = act.pop();
    Object* o = object.asObject();
    if (o && act.vm.host().isClip(o)) {
        act.push(Value(act.vm.host().targetPath(o)));
    } else {
        act.push(Value());
    }
    return Completion::Normal;
}

}  // namespace

void registerObjects(Handler* t)
{
    t[op::CallFunction] = onCallFunction;
    t[op::CallMethod] = onCallMethod;
    t[op::NewObject] = onNewObject;
    t[op::NewMethod] = onNewMethod;
    t[op::InitArray] = onInitArray;
    t[op::InitObject] = onInitObject;
    t[op::TypeOf] = onTypeOf;
    t[op::InstanceOf] = onInstanceOf;
    t[op::Enumerate] = onEnumerate;
    t[op::Enumerate2] = onEnumerate2;
    t[op::Extends] = onExtends;
    t[op::CastOp] = onCastOp;
    t[op::ImplementsOp] = onImplementsOp;
    t[op::TargetPath] = onTargetPath;
}

}  // namespace swf::avm1
