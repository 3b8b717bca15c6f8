#include "swf/avm1/vm.h"

#include "swf/avm1/interp.h"
#include "swf/limits.h"

#include <algorithm>
#include <cmath>

namespace swf::avm1 {

Vm::Vm(Host& host, int swfVersion) : m_host(host), m_version(swfVersion)
{
    realm();
}

Vm::~Vm() = default;

void Vm::noteAllocation()
{
    if (m_objects.size() > limits::kAvm1MaxObjects && !m_aborted) {
        abort("Too many objects were created; the movie's scripts were stopped.");
    }
}

Object* Vm::newObject()
{
    return newObject(builtins().objectProto);
}

Object* Vm::newObject(Object* proto)
{
    return adopt(std::make_unique<Object>(proto, m_version >= 7));
}

ArrayObject* Vm::newArray(std::vector<Value> elements)
{
    ArrayObject* array = adopt(std::make_unique<ArrayObject>(builtins().arrayProto, m_version >= 7));
    array->elements = std::move(elements);
    return array;
}

KindObject* Vm::newKind(ObjectKind kind, Object* proto)
{
    return adopt(std::make_unique<KindObject>(proto, m_version >= 7, kind));
}

FunctionObject* Vm::newNative(const std::string& name, NativeFunction fn)
{
    FunctionObject* f = adopt(std::make_unique<FunctionObject>(builtins().functionProto, m_version >= 7));
    f->native = std::move(fn);
    (void)name;
    return f;
}

FunctionObject* Vm::method(Object* target, const std::string& name, NativeFunction fn)
{
    FunctionObject* f = newNative(name, std::move(fn));
    target->put(name, Value(static_cast<Object*>(f)), prop::Hidden);
    return f;
}

Object* Vm::newError(const std::string& message)
{
    Object* error = newKind(ObjectKind::Error, builtins().errorProto);
    error->put("message", Value(message));
    return error;
}

Vm::Realm& Vm::realm()
{
    Realm& current = m_realms[m_version >= 7 ? 1 : 0];
    if (!current.global) {
        installBuiltins(current);
    }
    return current;
}

void Vm::installBuiltins(Realm& realm)
{
    // The two root prototypes exist before anything that refers to them.
    realm.builtins.objectProto = newObject(nullptr);
    realm.builtins.functionProto = newObject(realm.builtins.objectProto);
    // _global has no prototype: it converts to no primitive and traces as "[type Object]".
    realm.global = newObject(nullptr);
    installObjectAndFunction(*this);
    installArray(*this);
    installString(*this);
    installNumberBooleanMath(*this);
    installErrorAndDate(*this);
    installGlobals(*this);
    installGeom(*this);
    installXml(*this);
    installTextFormat(*this);
    installSharedObject(*this);
    installLoadVarsAndSystem(*this);
    installAsNative(*this);
    // The host's classes and objects (MovieClip, Key, Stage) are one set that both realms name.
    for (const Property& p : m_hostGlobals) {
        if (!realm.global->findOwn(p.name)) {
            Property& copy = realm.global->put(p.name, p.value, p.flags);
            copy.getter = p.getter;
            copy.setter = p.setter;
        }
    }
}

void Vm::shareHostGlobals()
{
    m_hostGlobals.clear();
    for (const Property* p : global()->ownProperties()) {
        m_hostGlobals.push_back(*p);
    }
}

// ---- conversions ----

Value Vm::toPrimitive(const Value& v, bool preferString)
{
    Object* o = v.asObject();
    if (!o) {
        return v;
    }
    if (o->kind() == ObjectKind::Super) {
        // super converts through a toString found above the prototype it stands for, run on the object itself;
        // without one (super of a plain object) it has no conversion.
        auto* super = static_cast<SuperObject*>(o);
        Object* above = super->base ? super->base->proto() : nullptr;
        Value f = above ? get(Value(above), "toString") : Value();
        if (isCallable(f)) {
            Value result = call(f, super->self, {});
            if (!stopped() && result.isString()) {
                return result;
            }
        }
        return Value("[type Object]");
    }
    if (m_host.isClip(o)) {
        // Clips convert to their target path ("_level0.a").
        return Value(m_host.targetPath(o));
    }
    // A string conversion asks toString only. The number conversion asks valueOf (toString for a Date): when that
    // is no function the result is undefined; when it gives an object, toString is asked next (a Date's twice).
    const bool date = o->kind() == ObjectKind::Date;
    const char* first = preferString || date ? "toString" : "valueOf";
    for (const char* name : {first, "toString"}) {
        Value f = get(v, name);
        if (!isCallable(f)) {
            if (name == first && !preferString) {
                return Value();
            }
            break;
        }
        Value result = call(f, v, {});
        if (stopped()) {
            return Value();
        }
        if (preferString) {
            // A toString that gives anything but a string leaves the object's type name.
            if (result.isString()) {
                return result;
            }
            break;
        }
        if (result.isPrimitive()) {
            return result;
        }
    }
    if (o->kind() == ObjectKind::Function) {
        return Value("[type Function]");
    }
    return Value("[type Object]");
}

double Vm::toNumber(const Value& v)
{
    if (v.isObject()) {
        return primitiveToNumber(toPrimitive(v), m_version);
    }
    return primitiveToNumber(v, m_version);
}

std::string Vm::toString(const Value& v)
{
    if (v.isObject()) {
        return primitiveToString(toPrimitive(v, true), m_version);
    }
    return primitiveToString(v, m_version);
}

Object* Vm::toObject(const Value& v)
{
    switch (v.type()) {
    case Type::Object:
        return v.asObject();
    case Type::Boolean: {
        Object* box = newKind(ObjectKind::Boolean, builtins().booleanProto);
        box->setPrimitive(v);
        return box;
    }
    case Type::Number: {
        Object* box = newKind(ObjectKind::Number, builtins().numberProto);
        box->setPrimitive(v);
        return box;
    }
    case Type::String: {
        Object* box = newKind(ObjectKind::String, builtins().stringProto);
        box->setPrimitive(v);
        box->put("length", Value(double(utf8ToUnits(v.asString()).size())), prop::Hidden);
        return box;
    }
    default:
        return nullptr;
    }
}

std::string Vm::typeOf(const Value& v)
{
    Object* o = v.asObject();
    if (!o) {
        return primitiveTypeName(v.type());
    }
    if (m_host.isClip(o)) {
        return m_host.displayTypeName(o);
    }
    return o->kind() == ObjectKind::Function ? "function" : "object";
}

bool Vm::isCallable(const Value& v) const
{
    Object* o = v.asObject();
    return o && o->kind() == ObjectKind::Function;
}

// ---- members ----

Value Vm::getFromProperty(const Value& self, Property& p, Object* home)
{
    if (!p.isVirtual()) {
        return p.value;
    }
    if (!p.getter) {
        return Value();
    }
    if (m_getterDepth > limits::kAvm1MaxGetterDepth) {
        return p.value;  // past the limit the property reads as the value kept in it
    }
    ++m_getterDepth;
    Value result = call(Value(p.getter), self, {}, home);
    --m_getterDepth;
    return result;
}

// The setter runs, and then the value is kept in the property too, where only a getter past the depth limit sees
// it; so after a setter that assigns itself, the outermost assignment's value is the one kept.
void Vm::runSetter(Object* home, const std::string& name, const Value& self, const Value& value)
{
    Property* p = home->findOwn(name);
    if (p && p->setter && m_getterDepth <= limits::kAvm1MaxGetterDepth) {
        Object* setter = p->setter;
        ++m_getterDepth;
        call(Value(setter), self, {value}, home);
        --m_getterDepth;
        // The setter may have added or removed properties of its object: the property is looked up again.
        p = home->findOwn(name);
    }
    if (p)
        p->value = value;
}

bool Vm::visibleToCode(const Object& holder, const Property& p, const std::string& name) const
{
    // Code of SWF 7 and later compares names with case, also on the objects of older movies.
    return p.since <= m_version && (m_version < 7 || holder.caseSensitive() || p.name == name);
}

Value Vm::get(const Value& object, const std::string& name)
{
    Object* o = object.asObject();
    Value self = object;
    if (!o) {
        if (object.isNullish()) {
            return Value();
        }
        if (object.isString() && name == "length") {
            return Value(double(utf8ToUnits(object.asString()).size()));
        }
        o = object.isString() ? builtins().stringProto
            : object.isNumber() ? builtins().numberProto : builtins().booleanProto;
    }
    if (o->kind() == ObjectKind::Super) {
        auto* super = static_cast<SuperObject*>(o);
        self = super->self;
        o = super->base;
        // super reads nothing through a clip standing as the prototype.
        if (!o || m_host.isClip(o)) {
            return Value();
        }
    }
    if (o->isProtoName(name)) {
        // A primitive stored as __proto__ is kept as it was given.
        const Property* stored = o->findOwn(name);
        return stored ? stored->value : o->proto() ? Value(o->proto()) : Value();
    }
    int guard = 0;
    for (Object* cur = o; cur && guard < limits::kAvm1MaxProtoChain; cur = cur->proto(), ++guard) {
        // A property added with addProperty comes before a computed one of the same name (an array's length).
        // A getter runs with `super` above the object that holds the property.
        Property* p = cur->findOwn(name);
        if (p && !visibleToCode(*cur, *p, name)) {
            p = nullptr;
        }
        if (p && p->isVirtual()) {
            return getFromProperty(self, *p, cur);
        }
        Value special;
        if (cur->getSpecial(*this, name, special)) {
            return special;
        }
        if (p) {
            return getFromProperty(self, *p, cur);
        }
    }
    return Value();
}

Object* Vm::ownerOf(Object* object, const std::string& name)
{
    int guard = 0;
    for (Object* cur = object; cur && guard < limits::kAvm1MaxProtoChain; cur = cur->proto(), ++guard) {
        const Property* p = cur->findOwn(name);
        if (cur->hasSpecial(name) || (p && visibleToCode(*cur, *p, name))) {
            return cur;
        }
    }
    return nullptr;
}

bool Vm::has(Object* object, const std::string& name)
{
    return ownerOf(object, name) != nullptr || (object && object->isProtoName(name) && object->proto());
}

void Vm::set(const Value& object, const std::string& name, const Value& value)
{
    Object* o = object.asObject();
    if (!o || o->kind() == ObjectKind::Super) {
        return;
    }
    Value stored = value;
    auto watch = o->watches().find(o->key(name));
    if (watch != o->watches().end() && m_getterDepth < limits::kAvm1MaxGetterDepth) {
        ++m_getterDepth;
        const Object::Watch w = watch->second;
        stored = call(Value(w.callback), object, {Value(name), get(object, name), value, w.userData});
        --m_getterDepth;
        if (m_aborted) {
            return;
        }
        if (m_throwing) {
            // A watcher that throws leaves the property undefined.
            stored = Value();
        }
    }
    if (o->isProtoName(name)) {
        setProtoLink(o, stored);
        return;
    }
    if (o->setSpecial(*this, name, stored)) {
        return;
    }
    if (Property* own = o->findOwn(name)) {
        if (own->isVirtual()) {
            runSetter(o, name, object, stored);
            return;
        }
        if (!(own->flags & prop::ReadOnly)) {
            own->value = stored;
        }
        return;
    }
    // A setter further up the chain takes the assignment.
    int guard = 0;
    for (Object* cur = o->proto(); cur && guard < limits::kAvm1MaxProtoChain; cur = cur->proto(), ++guard) {
        if (Property* p = cur->findOwn(name)) {
            if (p->isVirtual()) {
                runSetter(cur, name, object, stored);
                return;
            }
            break;
        }
    }
    o->put(name, stored);
}

void Vm::setProtoLink(Object* o, const Value& value)
{
    if (o->protoFlags() & prop::ReadOnly) {
        return;
    }
    o->setProto(value.asObject());
    if (value.isObject()) {
        o->removeOwn("__proto__");
    } else {
        o->put("__proto__", value, prop::Hidden);
    }
}

bool Vm::remove(Object* object, const std::string& name)
{
    if (!object) {
        return false;
    }
    if (object->isProtoName(name) && !object->findOwn(name)) {
        // Deleting the link (once unprotected) cuts the object from its prototypes.
        if ((object->protoFlags() & prop::DontDelete) || !object->proto()) {
            return false;
        }
        object->setProto(nullptr);
        return true;
    }
    if (object->deleteSpecial(name)) {
        return true;
    }
    Property* p = object->findOwn(name);
    if (!p || (p->flags & prop::DontDelete)) {
        return false;
    }
    return object->removeOwn(name);
}

std::vector<std::string> Vm::enumerate(Object* object)
{
    std::vector<std::string> names;
    std::set<std::string> seen;
    int guard = 0;
    for (Object* cur = object; cur && guard < limits::kAvm1MaxProtoChain; cur = cur->proto(), ++guard) {
        std::vector<std::string> special;
        cur->specialKeys(special);
        for (const std::string& n : special) {
            if (seen.insert(cur->key(n)).second) {
                names.push_back(n);
            }
        }
        for (const Property* p : cur->ownProperties()) {
            if (seen.insert(cur->key(p->name)).second && !(p->flags & prop::DontEnum)) {
                names.push_back(p->name);
            }
        }
    }
    return names;
}

// ---- calls ----

void Vm::setMaxCallDepth(int depth)
{
    m_maxCallDepth = std::clamp(depth, 1, limits::kAvm1MaxCallDepth);
}

bool Vm::enterCall()
{
    if (m_callDepth + 1 >= m_maxCallDepth) {
        abort(std::to_string(m_maxCallDepth) + " levels of recursion were exceeded in one action list.");
        return false;
    }
    ++m_callDepth;
    return true;
}

Value Vm::call(const Value& function, const Value& self, const std::vector<Value>& args, Object* home)
{
    const bool constructing = m_pendingConstruct;
    m_pendingConstruct = false;
    Object* flash5Caller = m_flash5Caller;
    m_flash5Caller = nullptr;
    Object* o = function.asObject();
    if (!o || o->kind() != ObjectKind::Function || stopped()) {
        return Value();
    }
    auto* fn = static_cast<FunctionObject*>(o);
    if (!enterCall()) {
        return Value();
    }
    Value result;
    if (fn->native) {
        const bool saved = m_inConstruct;
        m_inConstruct = constructing;
        result = fn->native(*this, self, args);
        m_inConstruct = saved;
    } else if (fn->code) {
        result = callBytecode(*this, *fn, self, args, home, flash5Caller);
    }
    leaveCall();
    return result;
}

Value Vm::construct(const Value& constructor, const std::vector<Value>& args)
{
    Object* o = constructor.asObject();
    if (!o || o->kind() != ObjectKind::Function) {
        return Value();
    }
    auto* fn = static_cast<FunctionObject*>(o);
    Value protoValue = get(constructor, "prototype");
    Object* proto = protoValue.asObject();
    Object* instance = fn->makeInstance ? fn->makeInstance(*this) : newObject(proto);
    if (proto) {
        instance->setProto(proto);
    }
    instance->put("__constructor__", constructor, prop::Hidden);
    if (m_version < 7) {
        instance->put("constructor", constructor, prop::Hidden);
    }
    Value self(instance);
    m_pendingConstruct = true;
    Value result = call(constructor, self, args, proto);
    if (fn->native && (result.isObject() || fn->resultIsInstance)) {
        return result;
    }
    return self;
}

// True when the prototype (or one above it) lists the interface, directly or through interfaces that extend it.
bool Vm::implementsInterface(Object* proto, Object* interface, int depth)
{
    if (depth > limits::kAvm1MaxProtoChain) {
        return false;
    }
    auto* list = dynamic_cast<ArrayObject*>(get(Value(proto), "__interfaces__").asObject());
    if (!list) {
        return false;
    }
    for (const Value& i : list->elements) {
        if (i.asObject() == interface) {
            return true;
        }
        Object* inner = i.isObject() ? get(i, "prototype").asObject() : nullptr;
        if (inner && inner != proto && implementsInterface(inner, interface, depth + 1)) {
            return true;
        }
    }
    return false;
}

bool Vm::instanceOf(const Value& value, Object* constructor)
{
    Object* o = value.asObject();
    if (!o || !constructor) {
        return false;
    }
    Object* proto = get(Value(constructor), "prototype").asObject();
    int guard = 0;
    for (Object* cur = o->proto(); cur && guard < limits::kAvm1MaxProtoChain; cur = cur->proto(), ++guard) {
        // Interfaces named by implements count too.
        if (cur == proto || implementsInterface(cur, constructor, 0)) {
            return true;
        }
    }
    return false;
}

void Vm::throwValue(Value v)
{
    m_thrown = std::move(v);
    m_throwing = true;
}

Value Vm::takeThrown()
{
    m_throwing = false;
    Value v = std::move(m_thrown);
    m_thrown = Value();
    return v;
}

void Vm::abort(const std::string& message)
{
    if (!m_aborted) {
        m_host.warning(message);
    }
    m_aborted = true;
}

void Vm::warnOnce(const std::string& message)
{
    if (m_warned.insert(message).second) {
        m_host.warning(message);
    }
}

void Vm::setFrameBudget(std::uint64_t actions, double milliseconds)
{
    m_actionBudget = std::min(actions, limits::kAvm1ActionsPerFrame);
    m_scriptTimeMs = std::min(milliseconds, limits::kAvm1ScriptTimeMs);
}

bool Vm::chargeAction()
{
    ++m_actionsThisFrame;
    if (m_actionsThisFrame > m_actionBudget) {
        abort("A script in this movie is causing Flash Player to run slowly; the scripts were stopped.");
        return false;
    }
    if ((m_actionsThisFrame & 0xFFF) == 0 && m_host.scriptElapsedMs() > m_scriptTimeMs) {
        abort("A script in this movie is causing Flash Player to run slowly; the scripts were stopped.");
        return false;
    }
    return true;
}

double Vm::random()
{
    // xorshift64*: reproducible runs matter more here than statistical quality.
    m_randomState ^= m_randomState >> 12;
    m_randomState ^= m_randomState << 25;
    m_randomState ^= m_randomState >> 27;
    const std::uint64_t r = m_randomState * 0x2545F4914F6CDD1DULL;
    return double(r >> 11) / 9007199254740992.0;
}

void Vm::beginFrame()
{
    m_actionsThisFrame = 0;
    m_aborted = false;
    m_throwing = false;
    m_callDepth = 0;
}

Completion Vm::runScript(std::shared_ptr<const std::vector<std::uint8_t>> code, Object* target)
{
    if (m_aborted || !code) {
        return Completion::Abort;
    }
    const std::size_t size = code->size();
    Activation act(*this, std::move(code), 0, size);
    act.target = target;
    act.originalTarget = target;
    act.self = Value(target);
    act.scope = std::make_shared<const Scope>(Scope{Scope::Kind::Target, target,
        std::make_shared<const Scope>(Scope{Scope::Kind::Global, global(), nullptr})});
    std::vector<Value>* shared = m_sharedStack;
    m_sharedStack = nullptr;
    if (shared) {
        act.stack.swap(*shared);
    }
    Completion c = execute(act);
    if (shared) {
        act.stack.swap(*shared);
        m_sharedStack = shared;
    }
    if (m_throwing) {
        // An uncaught throw ends this block only; Flash reports it in the debugger.
        Value thrown = takeThrown();
        (void)thrown;
        c = Completion::Throw;
    }
    return c;
}

void Vm::runTimers()
{
    const double now = m_host.nowMs();
    // Timers added while running wait for the next round; each due timer fires once per round.
    const std::size_t count = m_timers.size();
    std::vector<int> due;
    for (std::size_t i = 0; i < count; ++i) {
        if (m_timers[i].due <= now) {
            due.push_back(m_timers[i].id);
        }
    }
    for (int id : due) {
        auto it = std::find_if(m_timers.begin(), m_timers.end(), [id](const Timer& t) { return t.id == id; });
        if (it == m_timers.end()) {
            continue;
        }
        Timer timer = *it;
        if (timer.repeat) {
            it->due = timer.due + std::max(timer.interval, 1.0);
        } else {
            m_timers.erase(it);
        }
        beginFrame();
        if (timer.method.empty()) {
            call(timer.function, Value(), timer.args);
        } else {
            call(get(timer.function, timer.method), timer.function, timer.args);
        }
        if (m_throwing) {
            takeThrown();
        }
    }
}

bool Vm::timersDue() const
{
    const double now = m_host.nowMs();
    return std::any_of(m_timers.begin(), m_timers.end(), [now](const Timer& t) { return t.due <= now; });
}

void Vm::dropTimerBacklog()
{
    const double now = m_host.nowMs();
    for (Timer& t : m_timers) {
        if (t.due <= now) {
            t.due = now + std::max(t.interval, 1.0);
        }
    }
}

Object* Vm::resolveTarget(Object* from, const std::string& path)
{
    if (path.empty()) {
        return from;
    }
    Object* cur = from;
    std::size_t pos = 0;
    if (path[0] == '/') {
        cur = m_host.rootOf(from);
        pos = 1;
    }
    while (pos < path.size() && cur) {
        std::size_t next = path.find_first_of("/.:", pos);
        if (next == std::string::npos) {
            next = path.size();
        }
        std::string segment = path.substr(pos, next - pos);
        // ".." is the parent in slash syntax.
        if (next < path.size() && path[next] == '.' && segment.empty() && next + 1 < path.size() && path[next + 1] == '.') {
            cur = m_host.parentOf(cur);
            pos = next + 2;
            if (pos < path.size() && path[pos] == '/') {
                ++pos;
            }
            continue;
        }
        pos = next + 1;
        if (segment.empty()) {
            // Two slashes in a row name nothing.
            if (next < path.size() && path[next] == '/' && next > 0 && path[next - 1] == '/') {
                return nullptr;
            }
            continue;
        }
        if (segment == "_root") {
            cur = m_host.rootOf(cur);
        } else if (segment == "_parent") {
            cur = m_host.parentOf(cur);
        } else if (segment == "this") {
            // stays
        } else if (segment == "_global") {
            cur = global();
        } else if (segment.rfind("_level", 0) == 0 && segment.size() > 6) {
            cur = m_host.level(std::atoi(segment.c_str() + 6));
        } else if (Object* child = m_host.childClip(cur, segment)) {
            cur = child;
        } else {
            cur = get(Value(cur), segment).asObject();
        }
    }
    return cur;
}

}  // namespace swf::avm1
