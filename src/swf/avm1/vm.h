// The ActionScript 1/2 virtual machine: owns the objects and the global object, converts values, reads and writes
// members, calls functions and runs action blocks against a Host within the engine's limits.
#pragma once

#include "swf/avm1/host.h"
#include "swf/avm1/object.h"
#include "swf/avm1/value.h"
#include "swf/limits.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace swf::avm1 {

struct Scope {
    enum class Kind : std::uint8_t { Global, Target, Local, With };
    Kind kind;
    Object* object;
    std::shared_ptr<const Scope> parent;
};

// The prototypes and constructors of the built-in classes.
struct Builtins {
    Object* objectProto = nullptr;
    Object* functionProto = nullptr;
    Object* arrayProto = nullptr;
    Object* stringProto = nullptr;
    Object* numberProto = nullptr;
    Object* booleanProto = nullptr;
    Object* errorProto = nullptr;
    Object* dateProto = nullptr;
    FunctionObject* objectCtor = nullptr;
    FunctionObject* functionCtor = nullptr;
    FunctionObject* arrayCtor = nullptr;
    FunctionObject* errorCtor = nullptr;
    Object* broadcaster = nullptr;
};

// How a run of actions ended.
enum class Completion : std::uint8_t { Normal, Return, Throw, Abort };

struct Timer {
    int id = 0;
    Value function;     // a function, or the object whose method is named
    std::string method;
    std::vector<Value> args;
    double interval = 0;
    double due = 0;
    bool repeat = true;
};

class Vm {
public:
    Vm(Host& host, int swfVersion);
    ~Vm();
    Vm(const Vm&) = delete;
    Vm& operator=(const Vm&) = delete;

    int version() const { return m_version; }
    // The version whose rules running code follows: code of a loaded or imported movie follows its own movie's.
    void setVersion(int version) { m_version = version; }
    Host& host() { return m_host; }
    // The global object and built-in classes of the running code: movies of SWF 6 and before share one set,
    // SWF 7 and later another, made when code of its kind first needs it.
    Object* global() { return realm().global; }
    Builtins& builtins() { return realm().builtins; }
    // Called once the host has added its classes: the other realm, when made, names the same ones.
    void shareHostGlobals();

    // Object creation; every object lives until the machine is destroyed.
    Object* newObject();
    Object* newObject(Object* proto);
    ArrayObject* newArray(std::vector<Value> elements = {});
    FunctionObject* newNative(const std::string& name, NativeFunction fn);
    KindObject* newKind(ObjectKind kind, Object* proto);
    Object* newError(const std::string& message);
    template <class T>
    T* adopt(std::unique_ptr<T> object)
    {
        T* raw = object.get();
        m_objects.push_back(std::move(object));
        noteAllocation();
        return raw;
    }
    // Adds a native method to an object, hidden from enumeration as Flash's built-ins are.
    FunctionObject* method(Object* target, const std::string& name, NativeFunction fn);

    // Conversions that may call valueOf/toString.
    Value toPrimitive(const Value& v, bool preferString = false);
    double toNumber(const Value& v);
    std::string toString(const Value& v);
    Object* toObject(const Value& v);
    std::string typeOf(const Value& v);

    // Members, through prototypes, getters and setters, watchers and the computed kinds.
    Value get(const Value& object, const std::string& name);
    void set(const Value& object, const std::string& name, const Value& value);
    bool has(Object* object, const std::string& name);
    Object* ownerOf(Object* object, const std::string& name);
    bool remove(Object* object, const std::string& name);
    // Enumerable names along the prototype chain, as for..in visits them.
    std::vector<std::string> enumerate(Object* object);

    // Calls and construction. A thrown value leaves throwing() true. `home` is the object a method was found on;
    // `super` inside it starts above it.
    Value call(const Value& function, const Value& self, const std::vector<Value>& args, Object* home = nullptr);
    Value construct(const Value& constructor, const std::vector<Value>& args);
    bool instanceOf(const Value& value, Object* constructor);
    bool isCallable(const Value& v) const;
    // Marks the next call as one that SWF 5 code makes by name or as a method (CallFunction, CallMethod) from
    // the given target: a function then runs as Flash 5 runs its own.
    void callFromFlash5(Object* callerTarget) { m_flash5Caller = callerTarget; }
    // True inside a native constructor run by `new` (String, Number, Boolean and Date box then).
    bool constructing() const { return m_inConstruct; }

    // Exceptions of ActionScript (throw) and the machine's own stop (limits, corrupt data).
    void throwValue(Value v);
    bool throwing() const { return m_throwing; }
    Value takeThrown();
    void abort(const std::string& message);
    bool aborted() const { return m_aborted; }
    bool stopped() const { return m_throwing || m_aborted; }
    // Logs a message (an unimplemented member, a limit) the first time only.
    void warnOnce(const std::string& message);

    // Runs one action block (a frame's DoAction or DoInitAction) with the clip as target and `this`.
    Completion runScript(std::shared_ptr<const std::vector<std::uint8_t>> code, Object* target);
    // While set, runScript works on this stack instead of a fresh one (ActionCall shares the caller's stack).
    void shareStack(std::vector<Value>* stack) { m_sharedStack = stack; }
    // Starts a new frame: the action budget and the stop after a runaway script are reset.
    void beginFrame();
    // Runs the intervals and timeouts whose time has come by the host clock.
    void runTimers();
    // True when a timer's time has come; dropTimerBacklog moves those that are late one interval past now.
    bool timersDue() const;
    void dropTimerBacklog();
    std::vector<Timer>& timers() { return m_timers; }
    int nextTimerId() { return ++m_lastTimerId; }
    // Calls target's method with args at the next timer run, after the running script (load results).
    void callLater(const Value& target, const std::string& method, std::vector<Value> args);
    // Text loads: the object whose onData receives the text of a request, now or when the host's answer arrives.
    void deliverText(const Value& target, Value text) { callLater(target, "onData", {std::move(text)}); }
    void awaitText(int request, const Value& target) { m_awaitingText[request] = target; }
    // The host's answer to a request; false when no load waits for it (an unknown or answered request).
    bool textArrived(int request, bool ok, const std::string& text);

    // The movie's own recursion limit (ScriptLimits), never above the engine's; the timeline's script counts as
    // the first level.
    void setMaxCallDepth(int depth);
    // Lowers the actions and script time one frame may take (tools that must finish quickly); the
    // engine's own limits stay the upper bounds.
    void setFrameBudget(std::uint64_t actions, double milliseconds);

    // Internal bookkeeping of the interpreter.
    bool enterCall();
    void leaveCall() { --m_callDepth; }
    bool chargeAction();
    Value* globalRegisters() { return m_globalRegisters; }
    // The bytecode function running now (arguments.caller of the next call); null on the timeline.
    FunctionObject* currentFunction = nullptr;
    // A deterministic pseudo-random number in [0, 1) for random() and Math.random().
    double random();

    // Resolves a target path ("/a/b", "_root.a", "../b", "_level0") from a clip; null when it fails.
    Object* resolveTarget(Object* from, const std::string& path);

private:
    struct Realm {
        Object* global = nullptr;
        Builtins builtins;
    };
    Realm& realm();
    // Fills a new realm: the machine's own classes, then the host's that shareHostGlobals recorded.
    void installBuiltins(Realm& realm);

    std::vector<Value>* m_sharedStack = nullptr;
    void noteAllocation();
    bool implementsInterface(Object* proto, Object* interface, int depth);
    // Whether running code sees a stored property it found under this name.
    bool visibleToCode(const Object& holder, const Property& p, const std::string& name) const;
    Value getFromProperty(const Value& self, Property& p, Object* home = nullptr);
    void runSetter(Object* home, const std::string& name, const Value& self, const Value& value);
    void setProtoLink(Object* o, const Value& value);

    Host& m_host;
    int m_version;
    std::vector<std::unique_ptr<Object>> m_objects;
    Realm m_realms[2];
    std::vector<Property> m_hostGlobals;
    bool m_throwing = false;
    Value m_thrown;
    bool m_aborted = false;
    int m_callDepth = 0;
    int m_maxCallDepth = limits::kAvm1MaxCallDepth;
    bool m_pendingConstruct = false;
    Object* m_flash5Caller = nullptr;
    bool m_inConstruct = false;
    int m_getterDepth = 0;
    std::uint64_t m_actionsThisFrame = 0;
    std::uint64_t m_actionBudget = limits::kAvm1ActionsPerFrame;
    double m_scriptTimeMs = limits::kAvm1ScriptTimeMs;
    std::set<std::string> m_warned;
    std::vector<Timer> m_timers;
    int m_lastTimerId = 0;
    std::map<int, Value> m_awaitingText;
    Value m_globalRegisters[4];
    std::uint64_t m_randomState = 0x2545F4914F6CDD1DULL;
};

// Installers of the built-in classes (one file each).
void installObjectAndFunction(Vm& vm);
void installArray(Vm& vm);
void installString(Vm& vm);
void installNumberBooleanMath(Vm& vm);
void installGlobals(Vm& vm);
void installErrorAndDate(Vm& vm);
void installGeom(Vm& vm);
void installXml(Vm& vm);
void installAsNative(Vm& vm);
void installTextFormat(Vm& vm);
void installSharedObject(Vm& vm);
void installLoadVarsAndSystem(Vm& vm);
// Runs last, after the host added its classes: the globals Flash has that nothing else defined.
void installRemainingGlobals(Vm& vm);

}  // namespace swf::avm1
