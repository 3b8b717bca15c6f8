// Variables, registers, constants and the stack: GetVariable, SetVariable, the Define and Delete actions, Push,
// GetMember/SetMember.
#include "swf/avm1/interp.h"

#include "swf/io/bytereader.h"

#include <cstdlib>
#include <cstring>

namespace swf::avm1 {

namespace {

Value lookupPlain(Activation& act, const std::string& name);

// The object a path prefix names ("_root.a", "/a/b", "obj.inner"), found from the innermost scope out.
Object* resolvePath(Activation& act, const std::string& prefix)
{
    return resolvePathInScopes(act, prefix, true, true);
}

// Splits "path:var" or "a.b.var" into the clip path and the variable; false for a plain name.
bool splitPath(const std::string& name, std::string& prefix, std::string& variable)
{
    // The last colon or dot ends the path, whichever comes later ("a:b.c" is c of a:b).
    const std::size_t colon = name.rfind(':');
    const std::size_t dot = name.rfind('.');
    const std::size_t cut = colon == std::string::npos ? dot : dot == std::string::npos ? colon : std::max(colon, dot);
    if (cut == std::string::npos) {
        if (name.find('/') == std::string::npos) {
            return false;
        }
        prefix = name;
        variable.clear();
        return true;
    }
    // "a..b" and names ending in a dot are not paths Flash resolves.
    prefix = name.substr(0, cut);
    variable = name.substr(cut + 1);
    return true;
}

Value lookupPlain(Activation& act, const std::string& name)
{
    Vm& vm = act.vm;
    const bool v6 = act.version >= 6;
    if (name == "this") {
        // An assignment to `this` makes a variable of the function (or the timeline) that hides it.
        Object* holder = act.locals ? act.locals : act.target;
        return holder && holder->findOwn(name) ? vm.get(Value(holder), name) : act.self;
    }
    if (name == "arguments" && act.arguments) {
        return Value(act.arguments);
    }
    // A variable of that name hides _global, _root and _parent.
    for (const Scope* s = act.scope.get(); s; s = s->parent.get()) {
        if (s->object && vm.has(s->object, name)) {
            return vm.get(Value(s->object), name);
        }
    }
    // Up to SWF 6 these names are found without regard to case, as variables are.
    const std::string special = act.version < 7 ? foldedName(name) : name;
    if (special == "_global" && v6) {
        return Value(vm.global());
    }
    if (special == "_root") {
        return Value(vm.host().rootOf(act.target));
    }
    if (special == "_parent") {
        Object* parent = act.target ? vm.host().parentOf(act.target) : nullptr;
        return parent ? Value(parent) : Value();
    }
    if (special.rfind("_level", 0) == 0 && special.size() > 6) {
        Object* level = vm.host().level(std::atoi(special.c_str() + 6));
        return level ? Value(level) : Value();
    }
    return Value();
}

}  // namespace

Value getVariable(Activation& act, const std::string& name)
{
    std::string prefix;
    std::string variable;
    if (!splitPath(name, prefix, variable)) {
        return lookupPlain(act, name);
    }
    if (variable.empty() && prefix == name) {
        // A slash path without a variable is the clip it leads to; failing that, a variable of that name.
        Object* target = act.version >= 5 ? resolvePathInScopes(act, name, false, false) : nullptr;
        return target ? Value(target) : lookupPlain(act, name);
    }
    // The path is tried from each scope until it leads to an object with the variable.
    Object* target = prefix.empty() ? nullptr : resolvePathInScopes(act, prefix, true, true, &variable);
    return target ? act.vm.get(Value(target), variable) : Value();
}

void setVariable(Activation& act, const std::string& name, const Value& value)
{
    Vm& vm = act.vm;
    std::string prefix;
    std::string variable;
    // A slash path without a colon or dot is no path here: it names a variable ("a/b").
    if (splitPath(name, prefix, variable) && !(variable.empty() && prefix == name)) {
        if (Object* target = resolvePath(act, prefix); target && !variable.empty()) {
            vm.set(Value(target), variable, value);
        }
        return;
    }
    if (name == "this") {
        defineLocal(act, name, value, false);
        return;
    }
    for (const Scope* s = act.scope.get(); s; s = s->parent.get()) {
        if (!s->object) {
            continue;
        }
        if (s->kind == Scope::Kind::Target || (s->kind != Scope::Kind::Global && vm.has(s->object, name))) {
            vm.set(Value(s->object), name, value);
            return;
        }
    }
    if (act.target) {
        vm.set(Value(act.target), name, value);
    }
}

void defineLocal(Activation& act, const std::string& name, const Value& value, bool onlyDeclare)
{
    // Inside with, an object of the with scopes that has the name itself (not through its prototype) takes the value.
    for (const Scope* s = act.scope.get(); s && s->kind == Scope::Kind::With; s = s->parent.get()) {
        if (s->object && (s->object->findOwn(name) || s->object->hasSpecial(name))) {
            if (!onlyDeclare) {
                act.vm.set(Value(s->object), name, value);
            }
            return;
        }
    }
    Object* holder = act.locals ? act.locals : act.target;
    if (!holder) {
        return;
    }
    // A declaration leaves a name the holder already has, through its prototypes too.
    if (onlyDeclare && act.vm.has(holder, name)) {
        return;
    }
    act.vm.set(Value(holder), name, value);
}

namespace {
constexpr const char* kPrimitiveHolderMessage =
    "Parameters of primitive types are no longer coerced into the required type - Object.";
}  // namespace

bool deleteVariable(Activation& act, const std::string& name)
{
    // A path ("o.a", "o:b") names the object that loses the property.
    std::string prefix;
    std::string variable;
    if (splitPath(name, prefix, variable)) {
        Object* target = resolvePath(act, prefix);
        if (!target && !variable.empty()) {
            // Flash's debugging player reports a path through a string, number or boolean in the trace output
            // (and deletes nothing), as movies written for it expect.
            const Value holder = getVariable(act, prefix);
            if (holder.isPrimitive() && !holder.isNullish()) {
                act.vm.host().trace(kPrimitiveHolderMessage);
            }
        }
        return target && !variable.empty() && act.vm.remove(target, variable);
    }
    for (const Scope* s = act.scope.get(); s; s = s->parent.get()) {
        if (s->object && act.vm.has(s->object, name)) {
            return act.vm.remove(s->object, name);
        }
    }
    return false;
}

Value findFunctionThis(Activation& act, const std::string& name, Value& function)
{
    function = getVariable(act, name);
    // A function named by a path ("_root.a.f", "/a:f") runs on the object the path leads to.
    std::string prefix;
    std::string variable;
    if (splitPath(name, prefix, variable)) {
        Object* holder = resolvePath(act, prefix);
        return holder ? Value(holder) : Value();
    }
    // A function found in a with object runs on that object; otherwise on the timeline.
    for (const Scope* s = act.scope.get(); s; s = s->parent.get()) {
        if (s->object && s->kind == Scope::Kind::With && act.vm.has(s->object, name)) {
            return Value(s->object);
        }
        if (s->object && s->kind != Scope::Kind::With && act.vm.has(s->object, name)) {
            // A function kept in a function's local variables runs on that function's activation object.
            if (s->kind == Scope::Kind::Local) {
                return Value(s->object);
            }
            break;
        }
    }
    return act.target ? Value(act.target) : Value();
}

namespace {

Completion onGetVariable(Activation& act, const ActionRecord&)
{
    const std::string name = act.popString();
    act.push(getVariable(act, name));
    return Completion::Normal;
}

Completion onSetVariable(Activation& act, const ActionRecord&)
{
    Value value = act.pop();
    const std::string name = act.popString();
    setVariable(act, name, value);
    return Completion::Normal;
}

Completion onDefineLocal(Activation& act, const ActionRecord&)
{
    Value value = act.pop();
    defineLocal(act, act.popString(), value, false);
    return Completion::Normal;
}

Completion onDefineLocal2(Activation& act, const ActionRecord&)
{
    defineLocal(act, act.popString(), Value(), true);
    return Completion::Normal;
}

Completion onDelete(Activation& act, const ActionRecord&)
{
    const std::string name = act.popString();
    Value object = act.pop();
    act.push(Value(act.vm.remove(object.asObject(), name)));
    return Completion::Normal;
}

Completion onDelete2(Activation& act, const ActionRecord&)
{
    act.push(Value(deleteVariable(act, act.popString())));
    return Completion::Normal;
}

Completion onGetMember(Activation& act, const ActionRecord&)
{
    Value nameValue = act.pop();
    Value object = act.pop();
    act.push(act.vm.get(object, act.vm.toString(nameValue)));
    return Completion::Normal;
}

Completion onSetMember(Activation& act, const ActionRecord&)
{
    Value value = act.pop();
    Value nameValue = act.pop();
    Value object = act.pop();
    act.vm.set(object, act.vm.toString(nameValue), value);
    return Completion::Normal;
}

Completion onPush(Activation& act, const ActionRecord& rec)
{
    ByteReader r(rec.body, rec.length);
    while (!r.atEnd()) {
        const std::uint8_t type = r.u8();
        switch (type) {
        case 0: act.push(Value(joinSurrogatePairs(r.cstring()))); break;
        case 1: act.push(Value(double(r.f32()))); break;
        case 2: act.push(Value::null()); break;
        case 3: act.push(Value()); break;
        case 4: {
            const std::uint8_t reg = r.u8();
            act.push(reg < act.registerCount ? act.registers[reg] : Value());
            break;
        }
        case 5: act.push(Value(r.u8() != 0)); break;
        case 6: {
            // Doubles are stored as two little-endian words, high word first.
            const std::uint64_t high = r.u32();
            const std::uint64_t low = r.u32();
            const std::uint64_t bits = high << 32 | low;
            double d;
            std::memcpy(&d, &bits, sizeof d);
            act.push(Value(d));
            break;
        }
        case 7: act.push(Value(double(r.s32()))); break;
        case 8:
        case 9: {
            const std::size_t index = type == 8 ? r.u8() : r.u16();
            if (act.constants && index < act.constants->size()) {
                act.push(Value((*act.constants)[index]));
            } else {
                act.push(Value());
            }
            break;
        }
        default:
            act.vm.abort("Failed to parse corrupt data.");
            return Completion::Abort;
        }
        if (r.overrun()) {
            act.vm.abort("Failed to parse corrupt data.");
            return Completion::Abort;
        }
    }
    return Completion::Normal;
}

Completion onPop(Activation& act, const ActionRecord&)
{
    act.pop();
    return Completion::Normal;
}

Completion onPushDuplicate(Activation& act, const ActionRecord&)
{
    Value top = act.stack.empty() ? Value() : act.stack.back();
    act.push(top);
    return Completion::Normal;
}

Completion onStackSwap(Activation& act, const ActionRecord&)
{
    Value a = act.pop();
    Value b = act.pop();
    act.push(a);
    act.push(b);
    return Completion::Normal;
}

Completion onStoreRegister(Activation& act, const ActionRecord& rec)
{
    const std::uint8_t reg = rec.length > 0 ? rec.body[0] : 0;
    if (reg < act.registerCount) {
        act.registers[reg] = act.stack.empty() ? Value() : act.stack.back();
    }
    return Completion::Normal;
}

Completion onConstantPool(Activation& act, const ActionRecord& rec)
{
    ByteReader r(rec.body, rec.length);
    const std::size_t count = r.u16();
    auto pool = std::make_shared<std::vector<std::string>>();
    for (std::size_t i = 0; i < count && !r.atEnd(); ++i) {
        pool->push_back(joinSurrogatePairs(r.cstring()));
    }
    act.constants = std::move(pool);
    return Completion::Normal;
}

}  // namespace

void registerVariables(Handler* t)
{
    t[op::GetVariable] = onGetVariable;
    t[op::SetVariable] = onSetVariable;
    t[op::DefineLocal] = onDefineLocal;
    t[op::DefineLocal2] = onDefineLocal2;
    t[op::Delete] = onDelete;
    t[op::Delete2] = onDelete2;
    t[op::GetMember] = onGetMember;
    t[op::SetMember] = onSetMember;
    t[op::Push] = onPush;
    t[op::Pop] = onPop;
    t[op::PushDuplicate] = onPushDuplicate;
    t[op::StackSwap] = onStackSwap;
    t[op::StoreRegister] = onStoreRegister;
    t[op::ConstantPool] = onConstantPool;
}

}  // namespace swf::avm1
