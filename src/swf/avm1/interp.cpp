#include "swf/avm1/interp.h"

#include "swf/limits.h"

#include <algorithm>
#include <array>

namespace swf::avm1 {

Activation::Activation(Vm& vm, std::shared_ptr<const std::vector<std::uint8_t>> ownerBytes, std::size_t start,
                       std::size_t length)
    : vm(vm), owner(std::move(ownerBytes)), registers(vm.globalRegisters()), version(vm.version())
{
    const std::size_t total = owner ? owner->size() : 0;
    start = start < total ? start : total;
    code = owner ? owner->data() + start : nullptr;
    size = length <= total - start ? length : total - start;
}

Value Activation::pop()
{
    if (stack.empty()) {
        return Value();
    }
    Value v = std::move(stack.back());
    stack.pop_back();
    return v;
}

void Activation::push(Value v)
{
    if (stack.size() >= limits::kAvm1MaxStack) {
        vm.abort("The script's stack grew past the engine's limit; the scripts were stopped.");
        return;
    }
    stack.push_back(std::move(v));
}

namespace {

std::array<Handler, 256> buildTable()
{
    std::array<Handler, 256> table{};
    registerArithmetic(table.data());
    registerStrings(table.data());
    registerVariables(table.data());
    registerFlow(table.data());
    registerTimeline(table.data());
    registerObjects(table.data());
    return table;
}

const std::array<Handler, 256>& handlers()
{
    static const std::array<Handler, 256> table = buildTable();
    return table;
}

void popWith(Activation& act)
{
    if (act.scope && act.scope->kind == Scope::Kind::With) {
        act.scope = act.scope->parent;
    }
}

// Moves the try and with blocks along with the program counter; may resume a pending return or throw.
Completion settleBlocks(Activation& act)
{
    while (!act.blocks.empty()) {
        Block& b = act.blocks.back();
        if (b.kind == Block::Kind::With) {
            if (act.pc >= b.start && act.pc < b.end) {
                return Completion::Normal;
            }
            popWith(act);
            act.blocks.pop_back();
            continue;
        }
        if (b.state == Block::State::Try || b.state == Block::State::Catch) {
            const std::size_t from = b.state == Block::State::Try ? b.start : b.catchStart;
            const std::size_t to = b.state == Block::State::Try ? b.catchStart : b.finallyStart;
            if (act.pc >= from && act.pc < to) {
                return Completion::Normal;
            }
            const bool resumeReturn = b.state == Block::State::Catch && b.resumeReturn;
            if (act.pc == to && b.hasFinally) {
                b.state = Block::State::Finally;
                b.pending = resumeReturn ? Completion::Return : Completion::Normal;
                b.pendingValue = Value();
                act.pc = b.finallyStart;
                continue;
            }
            if (act.pc == to) {
                act.pc = b.end;
            }
            act.blocks.pop_back();
            if (resumeReturn && act.pc == b.end) {
                act.returnValue = Value();
                return Completion::Return;
            }
            continue;
        }
        if (act.pc >= b.finallyStart && act.pc < b.end) {
            return Completion::Normal;
        }
        const Completion pending = b.pending;
        Value pendingValue = b.pendingValue;
        act.blocks.pop_back();
        if (pending == Completion::Throw) {
            act.vm.throwValue(pendingValue);
            return Completion::Throw;
        }
        if (pending == Completion::Return) {
            act.returnValue = pendingValue;
            return Completion::Return;
        }
    }
    return Completion::Normal;
}

// Finds the try block that takes a throw; false when the throw leaves the activation.
bool catchThrow(Activation& act)
{
    bool returning = false;
    while (!act.blocks.empty()) {
        Block& b = act.blocks.back();
        if (b.kind == Block::Kind::With) {
            popWith(act);
            act.blocks.pop_back();
            continue;
        }
        if (b.state == Block::State::Try && b.hasCatch) {
            // What the try body pushed is gone; what it popped stays popped.
            act.stack.resize(std::min(act.stack.size(), b.stackDepth));
            Value thrown = act.vm.takeThrown();
            if (b.catchInRegister) {
                if (b.catchRegister < act.registerCount) {
                    act.registers[b.catchRegister] = thrown;
                }
            } else {
                defineLocal(act, b.catchName, thrown, false);
            }
            b.state = Block::State::Catch;
            b.resumeReturn = returning;
            act.pc = b.catchStart;
            return true;
        }
        if (b.state != Block::State::Finally && b.hasFinally) {
            b.pending = Completion::Throw;
            b.pendingValue = act.vm.takeThrown();
            b.state = Block::State::Finally;
            act.pc = b.finallyStart;
            return true;
        }
        returning = returning || (b.state == Block::State::Finally && b.pending == Completion::Return);
        act.blocks.pop_back();
    }
    return false;
}

// Runs the finally bodies a return passes through; false when the return leaves the activation.
bool finishReturn(Activation& act)
{
    while (!act.blocks.empty()) {
        Block& b = act.blocks.back();
        if (b.kind == Block::Kind::Try && b.state != Block::State::Finally && b.hasFinally) {
            b.pending = Completion::Return;
            b.pendingValue = act.returnValue;
            b.state = Block::State::Finally;
            act.pc = b.finallyStart;
            return true;
        }
        if (b.kind == Block::Kind::With) {
            popWith(act);
        }
        act.blocks.pop_back();
    }
    return false;
}

// Whether an action is a call after which code whose clip went stops: the call actions, except a method called on
// undefined or null, which calls nothing.
bool callChecksRemoval(const Activation& act, std::uint8_t code)
{
    if (code == op::CallMethod || code == op::NewMethod) {
        const std::size_t n = act.stack.size();
        return n >= 2 && !act.stack[n - 2].isUndefined() && !act.stack[n - 2].isNull();
    }
    return code == op::CallFunction || code == op::NewObject || code == op::Call;
}

}  // namespace

Completion execute(Activation& act)
{
    const auto& table = handlers();
    Vm& vm = act.vm;
    const bool watchRemoval = act.originalTarget && !vm.host().isRemovedClip(act.originalTarget);
    while (true) {
        if (vm.aborted()) {
            return Completion::Abort;
        }
        Completion c = settleBlocks(act);
        if (c == Completion::Normal) {
            ActionRecord rec;
            if (!decodeAction(act.code, act.size, act.pc, rec) || rec.code == op::End) {
                return Completion::Normal;
            }
            if (!vm.chargeAction()) {
                return Completion::Abort;
            }
            act.pc = rec.next;
            const bool checksRemoval = watchRemoval && callChecksRemoval(act, rec.code);
            const Handler h = table[rec.code];
            if (h) {
                c = h(act, rec);
            }
            if (vm.throwing() && c != Completion::Abort) {
                c = Completion::Throw;
            }
            // Code stops after a call once the clip it runs on is removed (an unload script, which starts on a
            // removed clip, runs to its end).
            if (c == Completion::Normal && checksRemoval && vm.host().isRemovedClip(act.originalTarget)) {
                return Completion::Normal;
            }
        }
        if (c == Completion::Normal) {
            continue;
        }
        if (c == Completion::Throw) {
            if (vm.throwing() && catchThrow(act)) {
                continue;
            }
            return Completion::Throw;
        }
        if (c == Completion::Return) {
            if (finishReturn(act)) {
                continue;
            }
            return Completion::Return;
        }
        return c;
    }
}

namespace {

void preloadRegisters(Activation& act, FunctionObject& fn, const FunctionCode& code, Object* superObject)
{
    Host& host = act.vm.host();
    std::size_t r = 1;
    auto load = [&](std::uint16_t flag, const Value& v) {
        if ((code.flags & flag) && r < act.registerCount) {
            act.registers[r++] = v;
        }
    };
    load(fn2::PreloadThis, act.self);
    load(fn2::PreloadArguments, Value(act.arguments));
    load(fn2::PreloadSuper, Value(superObject));
    load(fn2::PreloadRoot, Value(host.rootOf(act.target)));
    // A clip without a parent takes no register: the next preloaded value moves up into it.
    if (Object* parent = act.target ? host.parentOf(act.target) : nullptr) {
        load(fn2::PreloadParent, Value(parent));
    }
    load(fn2::PreloadGlobal, Value(act.vm.global()));
    (void)fn;
}

// A function body follows the rules of the version of the code that defined it; the caller's come back after.
class VersionScope {
public:
    VersionScope(Vm& vm, int version) : m_vm(vm), m_saved(vm.version())
    {
        if (version > 0) {
            vm.setVersion(version);
        }
    }
    ~VersionScope() { m_vm.setVersion(m_saved); }
    VersionScope(const VersionScope&) = delete;
    VersionScope& operator=(const VersionScope&) = delete;

private:
    Vm& m_vm;
    int m_saved;
};

// The clip a function body runs on and the version whose rules it follows. SWF 5 code that calls a later movie's
// function by name or as a method gives it Flash 5's setting: the clip `this` is (else the caller's target) and
// that clip's movie's rules (else the caller's).
struct CallSetting {
    Object* target;
    int version;
    bool flash5;  // only the locals, the target and the globals are in scope
};

CallSetting settingOf(Vm& vm, const FunctionObject& fn, const Value& self, Object* flash5Caller)
{
    Object* clip = self.asObject();
    if (clip && !vm.host().isClip(clip)) {
        clip = nullptr;
    }
    CallSetting s{fn.definingTarget ? fn.definingTarget : vm.host().root(), fn.code->version, false};
    if (s.version >= 6 && flash5Caller) {
        const int clipVersion = clip ? vm.host().versionOf(clip) : 0;
        return {clip ? clip : flash5Caller, clipVersion > 0 ? clipVersion : vm.version(), true};
    }
    // Flash 5 functions keep no scope: they see their locals, the clip they run on (this, when it is a clip) and
    // the globals.
    if ((s.version > 0 ? s.version : vm.version()) < 6) {
        s.target = clip ? clip : s.target;
        s.flash5 = true;
    }
    return s;
}

}  // namespace

Value callBytecode(Vm& vm, FunctionObject& fn, const Value& self, const std::vector<Value>& args, Object* home,
    Object* flash5Caller)
{
    const FunctionCode& code = *fn.code;
    const CallSetting setting = settingOf(vm, fn, self, flash5Caller);
    const VersionScope version(vm, setting.version);
    Activation act(vm, code.bytes, code.start, code.size);
    act.constants = code.constants;
    act.callee = &fn;
    act.target = setting.target;
    act.self = self;
    act.locals = vm.newObject(nullptr);
    std::shared_ptr<const Scope> outer = fn.scope;
    if (setting.flash5) {
        outer = std::make_shared<const Scope>(Scope{Scope::Kind::Target, act.target,
            std::make_shared<const Scope>(Scope{Scope::Kind::Global, vm.global(), nullptr})});
    }
    act.originalTarget = act.target;
    act.scope = std::make_shared<const Scope>(Scope{Scope::Kind::Local, act.locals, outer});
    ArrayObject* arguments = vm.newArray(args);
    arguments->put("callee", Value(static_cast<Object*>(&fn)), prop::Hidden);
    arguments->put("caller", vm.currentFunction ? Value(static_cast<Object*>(vm.currentFunction)) : Value::null(),
                   prop::Hidden);
    act.arguments = arguments;
    act.registerCount = code.isFunction2 ? std::size_t(code.registerCount) + 1 : 4;
    act.localRegisters.resize(act.registerCount);
    act.registers = act.localRegisters.data();
    Object* superObject = vm.adopt(std::make_unique<SuperObject>(home ? home->proto() : nullptr, self, home));
    if (code.isFunction2) {
        preloadRegisters(act, fn, code, superObject);
    }
    for (std::size_t i = 0; i < code.parameters.size(); ++i) {
        const Parameter& p = code.parameters[i];
        const Value arg = i < args.size() ? args[i] : Value();
        if (code.isFunction2 && p.reg != 0 && p.reg < act.registerCount) {
            act.registers[p.reg] = arg;
        } else {
            act.locals->put(p.name, arg);
        }
    }
    act.locals->put("super", Value(superObject), prop::Hidden);
    FunctionObject* caller = vm.currentFunction;
    vm.currentFunction = &fn;
    const Completion c = execute(act);
    vm.currentFunction = caller;
    if (c == Completion::Return) {
        return act.returnValue;
    }
    return Value();
}

}  // namespace swf::avm1
