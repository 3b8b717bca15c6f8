// The interpreter's inside: one activation (a running action block or function body), its blocks for with and
// try, and the table of action handlers.
#pragma once

#include "swf/avm1/actions.h"
#include "swf/avm1/vm.h"

#include <memory>
#include <string>
#include <vector>

namespace swf::avm1 {

// A with body or a try statement the program counter is inside.
struct Block {
    enum class Kind : std::uint8_t { With, Try } kind = Kind::With;
    enum class State : std::uint8_t { Try, Catch, Finally } state = State::Try;
    std::size_t start = 0;
    std::size_t end = 0;  // with: end of body; try: end of the finally body
    std::size_t catchStart = 0;
    std::size_t finallyStart = 0;
    bool hasCatch = false;
    bool hasFinally = false;
    bool catchInRegister = false;
    std::uint8_t catchRegister = 0;
    std::string catchName;
    Completion pending = Completion::Normal;  // what the finally body resumes when it ends
    Value pendingValue;
    bool resumeReturn = false;  // catch: a return its throw cut short leaves (without its value) when the catch ends
    std::size_t stackDepth = 0;  // try: the stack's size when the block began; a throw cuts it back to this
};

struct Activation {
    Activation(Vm& vm, std::shared_ptr<const std::vector<std::uint8_t>> owner, std::size_t start, std::size_t size);

    Vm& vm;
    std::shared_ptr<const std::vector<std::uint8_t>> owner;
    const std::uint8_t* code;  // the action block; pc counts from here
    std::size_t size;
    std::size_t pc = 0;
    std::vector<Value> stack;
    std::shared_ptr<const Scope> scope;
    Value self;
    Object* target = nullptr;
    Object* originalTarget = nullptr;
    Object* locals = nullptr;  // the function's activation object; null for timeline code
    std::shared_ptr<const std::vector<std::string>> constants;
    std::vector<Value> localRegisters;
    Value* registers;
    std::size_t registerCount = 4;
    FunctionObject* callee = nullptr;
    Object* arguments = nullptr;
    std::vector<Block> blocks;
    Value returnValue;
    int version;

    Value pop();
    void push(Value v);
    double popNumber() { return vm.toNumber(pop()); }
    std::string popString() { return vm.toString(pop()); }
    // Booleans of comparisons: numbers 1 and 0 in SWF 4, booleans later.
    Value boolean(bool b) const { return version <= 4 ? Value(b ? 1 : 0) : Value(b); }
};

using Handler = Completion (*)(Activation&, const ActionRecord&);

// Runs the activation until its block ends, it returns, a throw leaves it, or the machine stops.
Completion execute(Activation& act);

// Calls a function defined by DefineFunction or DefineFunction2; `flash5Caller` is the target of SWF 5 code that
// calls it by name or as a method, else null.
Value callBytecode(Vm& vm, FunctionObject& fn, const Value& self, const std::vector<Value>& args, Object* home,
    Object* flash5Caller = nullptr);

// Variables by name or path, as GetVariable, SetVariable and the Define actions see them.
Value getVariable(Activation& act, const std::string& name);
void setVariable(Activation& act, const std::string& name, const Value& value);
void defineLocal(Activation& act, const std::string& name, const Value& value, bool onlyDeclare);
bool deleteVariable(Activation& act, const std::string& name);
// The object a target path leads to from `start` ("a.b", "a:b", "/a/b", "../a"), or null. `first` lets the path
// begin with _root, _global or _levelN; `handleThis` lets it begin with this.
Object* resolveTargetPath(Activation& act, Object* start, const std::string& path, bool first, bool handleThis);
// The path resolved from each scope in turn; the first object it leads to (that has `needed`, when given).
Object* resolvePathInScopes(Activation& act, const std::string& path, bool first, bool handleThis,
    const std::string* needed = nullptr);
// The object a function called by name runs on, and the function itself.
Value findFunctionThis(Activation& act, const std::string& name, Value& function);

// The handler tables are filled by these, one per group of actions.
void registerArithmetic(Handler* table);
void registerStrings(Handler* table);
void registerVariables(Handler* table);
void registerFlow(Handler* table);
void registerTimeline(Handler* table);
void registerObjects(Handler* table);

// Equality and ordering as Equals2, StrictEquals and Less2 define them.
bool abstractEquals(Vm& vm, const Value& a, const Value& b);
bool strictEquals(const Value& a, const Value& b);
// Less2: true, false, or undefined when a NaN is involved.
Value abstractLess(Vm& vm, const Value& a, const Value& b);

}  // namespace swf::avm1
