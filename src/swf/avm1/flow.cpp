// Control flow: jumps, return, throw, try, with and the two function definitions.
#include "swf/avm1/interp.h"

#include "swf/io/bytereader.h"

namespace swf::avm1 {

namespace {

// A branch outside the block ends it, as Flash does.
void branch(Activation& act, const ActionRecord& rec)
{
    ByteReader r(rec.body, rec.length);
    const long long target = static_cast<long long>(rec.next) + r.s16();
    act.pc = target < 0 || target > static_cast<long long>(act.size) ? act.size : std::size_t(target);
}

Completion onJump(Activation& act, const ActionRecord& rec)
{
    branch(act, rec);
    return Completion::Normal;
}

Completion onIf(Activation& act, const ActionRecord& rec)
{
    if (toBoolean(act.pop(), act.version)) {
        branch(act, rec);
    }
    return Completion::Normal;
}

Completion onReturn(Activation& act, const ActionRecord&)
{
    act.returnValue = act.pop();
    return Completion::Return;
}

Completion onThrow(Activation& act, const ActionRecord&)
{
    act.vm.throwValue(act.pop());
    return Completion::Throw;
}

Completion onTry(Activation& act, const ActionRecord& rec)
{
    ByteReader r(rec.body, rec.length);
    const std::uint8_t flags = r.u8();
    const std::size_t trySize = r.u16();
    const std::size_t catchSize = r.u16();
    const std::size_t finallySize = r.u16();
    Block b;
    b.kind = Block::Kind::Try;
    b.catchInRegister = (flags & 4) != 0;
    if (b.catchInRegister) {
        b.catchRegister = r.u8();
    } else {
        b.catchName = r.cstring();
    }
    auto clamp = [&](std::size_t at) { return at < act.size ? at : act.size; };
    b.start = rec.next;
    b.catchStart = clamp(b.start + trySize);
    b.finallyStart = clamp(b.catchStart + catchSize);
    b.end = clamp(b.finallyStart + finallySize);
    b.hasCatch = (flags & 1) != 0;
    b.hasFinally = (flags & 2) != 0;
    b.stackDepth = act.stack.size();
    act.blocks.push_back(std::move(b));
    return Completion::Normal;
}

Completion onWith(Activation& act, const ActionRecord& rec)
{
    ByteReader r(rec.body, rec.length);
    const std::size_t size = r.u16();
    Value object = act.pop();
    Object* o = act.vm.toObject(object);
    if (!o) {
        // Flash skips the body when the object is not one.
        act.pc = rec.next + size < act.size ? rec.next + size : act.size;
        return Completion::Normal;
    }
    Block b;
    b.kind = Block::Kind::With;
    b.start = rec.next;
    b.end = rec.next + size < act.size ? rec.next + size : act.size;
    act.blocks.push_back(b);
    act.scope = std::make_shared<const Scope>(Scope{Scope::Kind::With, o, act.scope});
    return Completion::Normal;
}

FunctionObject* makeFunction(Activation& act, std::shared_ptr<FunctionCode> code)
{
    Vm& vm = act.vm;
    FunctionObject* fn = vm.adopt(std::make_unique<FunctionObject>(vm.builtins().functionProto, vm.version() >= 7));
    fn->code = std::move(code);
    fn->scope = act.scope;
    fn->definingTarget = act.target;
    Object* prototype = vm.newObject();
    prototype->put("constructor", Value(static_cast<Object*>(fn)), prop::Hidden);
    fn->put("prototype", Value(prototype), prop::Hidden);
    return fn;
}

// The body follows the definition record; a body longer than the block is cut to it.
Completion finishDefinition(Activation& act, std::shared_ptr<FunctionCode> code, std::size_t bodySize)
{
    const std::size_t start = act.pc;
    const std::size_t size = bodySize <= act.size - start ? bodySize : act.size - start;
    code->bytes = act.owner;
    code->start = std::size_t(act.code - act.owner->data()) + start;
    code->size = size;
    code->constants = act.constants;
    code->version = act.version;
    act.pc = start + size;
    const std::string name = code->name;
    FunctionObject* fn = makeFunction(act, std::move(code));
    if (name.empty()) {
        act.push(Value(static_cast<Object*>(fn)));
    } else {
        defineLocal(act, name, Value(static_cast<Object*>(fn)), false);
    }
    return Completion::Normal;
}

Completion onDefineFunction(Activation& act, const ActionRecord& rec)
{
    ByteReader r(rec.body, rec.length);
    auto code = std::make_shared<FunctionCode>();
    code->name = r.cstring();
    const std::size_t count = r.u16();
    for (std::size_t i = 0; i < count && !r.atEnd(); ++i) {
        code->parameters.push_back(Parameter{0, r.cstring()});
    }
    const std::size_t bodySize = r.u16();
    return finishDefinition(act, std::move(code), bodySize);
}

Completion onDefineFunction2(Activation& act, const ActionRecord& rec)
{
    ByteReader r(rec.body, rec.length);
    auto code = std::make_shared<FunctionCode>();
    code->isFunction2 = true;
    code->name = r.cstring();
    const std::size_t count = r.u16();
    code->registerCount = r.u8();
    code->flags = r.u16();
    for (std::size_t i = 0; i < count && !r.atEnd(); ++i) {
        const std::uint8_t reg = r.u8();
        code->parameters.push_back(Parameter{reg, r.cstring()});
    }
    const std::size_t bodySize = r.u16();
    return finishDefinition(act, std::move(code), bodySize);
}

Completion onNothing(Activation&, const ActionRecord&)
{
    return Completion::Normal;
}

}  // namespace

void registerFlow(Handler* t)
{
    t[op::Jump] = onJump;
    t[op::If] = onIf;
    t[op::Return] = onReturn;
    t[op::Throw] = onThrow;
    t[op::Try] = onTry;
    t[op::With] = onWith;
    t[op::DefineFunction] = onDefineFunction;
    t[op::DefineFunction2] = onDefineFunction2;
    t[op::StrictMode] = onNothing;
}

}  // namespace swf::avm1
