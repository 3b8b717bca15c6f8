// ActionScript objects: ordered properties with flags, getters and setters, watchers, the prototype link, and the
// special kinds (functions, arrays, boxed primitives) the built-ins need.
#pragma once

#include "swf/avm1/value.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace swf::avm1 {

class Vm;

// Property flags as ASSetPropFlags sets them.
namespace prop {
inline constexpr std::uint8_t DontEnum = 1;
inline constexpr std::uint8_t DontDelete = 2;
inline constexpr std::uint8_t ReadOnly = 4;
inline constexpr std::uint8_t Hidden = DontEnum | DontDelete;
}  // namespace prop

struct Property {
    std::string name;
    Value value;
    Object* getter = nullptr;  // addProperty's pair; a property with either is virtual
    Object* setter = nullptr;
    std::uint8_t flags = 0;
    // The first SWF version whose code sees the property: built-ins Flash added later stay hidden from older movies.
    std::uint8_t since = 0;
    bool isVirtual() const { return getter || setter; }
};

enum class ObjectKind : std::uint8_t { Plain, Function, Array, Boolean, Number, String, Date, Error, Super, DisplayObject };

class Object {
public:
    Object(Object* proto, bool caseSensitive) : m_proto(proto), m_caseSensitive(caseSensitive) {}
    virtual ~Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    virtual ObjectKind kind() const { return ObjectKind::Plain; }
    Object* proto() const { return m_proto; }
    void setProto(Object* proto) { m_proto = proto; }

    // Own stored properties, looked up by name (without case from SWF 7 down, as the movie's version says).
    Property* findOwn(const std::string& name);
    const Property* findOwn(const std::string& name) const;
    // Creates the property or replaces its value (flags are kept for an existing one).
    Property& put(const std::string& name, Value value, std::uint8_t flags = 0);
    bool removeOwn(const std::string& name);
    // Names in creation order.
    std::vector<const Property*> ownProperties() const;

    // Hooks for kinds whose properties are computed (array elements, length, clip properties).
    virtual bool getSpecial(Vm&, const std::string&, Value&) { return false; }
    virtual bool setSpecial(Vm&, const std::string&, const Value&) { return false; }
    virtual bool hasSpecial(const std::string&) const { return false; }
    virtual bool deleteSpecial(const std::string&) { return false; }
    virtual void specialKeys(std::vector<std::string>&) const {}

    // The primitive inside a Boolean, Number, String or Date object.
    const Value& primitive() const { return m_primitive; }
    void setPrimitive(Value v) { m_primitive = std::move(v); }

    struct Watch {
        Object* callback = nullptr;
        Value userData;
    };
    std::map<std::string, Watch>& watches() { return m_watches; }

    std::string key(const std::string& name) const;
    bool caseSensitive() const { return m_caseSensitive; }
    // Whether the name is __proto__ as this object compares names (without case from SWF 7 down).
    bool isProtoName(const std::string& name) const;
    // The flags of the __proto__ link, which is no stored property but can be hidden, protected and deleted.
    std::uint8_t protoFlags() const { return m_protoFlags; }
    void setProtoFlags(std::uint8_t flags) { m_protoFlags = flags; }

private:
    Object* m_proto;
    bool m_caseSensitive;
    std::uint8_t m_protoFlags = prop::Hidden;
    std::vector<Property> m_properties;
    std::unordered_map<std::string, std::size_t> m_index;
    Value m_primitive;
    std::map<std::string, Watch> m_watches;
};

struct Scope;

// One function parameter: the register it lives in (DefineFunction2; 0 means a named local) and its name.
struct Parameter {
    std::uint8_t reg = 0;
    std::string name;
};

// The bytecode of a function as DefineFunction or DefineFunction2 declared it.
struct FunctionCode {
    std::shared_ptr<const std::vector<std::uint8_t>> bytes;  // the whole action block holding the body
    std::size_t start = 0;
    std::size_t size = 0;
    std::string name;
    std::vector<Parameter> parameters;
    bool isFunction2 = false;
    std::uint8_t registerCount = 0;
    std::uint16_t flags = 0;
    std::shared_ptr<const std::vector<std::string>> constants;
    int version = 0;  // the version of the code that defined it, whose rules its body follows
};

// DefineFunction2's flag bits.
namespace fn2 {
inline constexpr std::uint16_t PreloadThis = 0x0001;
inline constexpr std::uint16_t SuppressThis = 0x0002;
inline constexpr std::uint16_t PreloadArguments = 0x0004;
inline constexpr std::uint16_t SuppressArguments = 0x0008;
inline constexpr std::uint16_t PreloadSuper = 0x0010;
inline constexpr std::uint16_t SuppressSuper = 0x0020;
inline constexpr std::uint16_t PreloadRoot = 0x0040;
inline constexpr std::uint16_t PreloadParent = 0x0080;
inline constexpr std::uint16_t PreloadGlobal = 0x0100;
}  // namespace fn2

using NativeFunction = std::function<Value(Vm&, const Value& self, const std::vector<Value>& args)>;

class FunctionObject : public Object {
public:
    using Object::Object;
    ObjectKind kind() const override { return ObjectKind::Function; }

    NativeFunction native;
    // For built-in classes whose instances are not plain objects (Array, Date, boxes): makes the instance.
    std::function<Object*(Vm&)> makeInstance;
    // `new` answers whatever the native returns, undefined included (a class that refuses its arguments).
    bool resultIsInstance = false;
    std::shared_ptr<FunctionCode> code;
    std::shared_ptr<const Scope> scope;
    Object* definingTarget = nullptr;  // the clip whose timeline defined the function
};

// An object with a fixed kind and no computed properties: boxes, dates, errors.
class KindObject : public Object {
public:
    KindObject(Object* proto, bool caseSensitive, ObjectKind kind) : Object(proto, caseSensitive), m_kind(kind) {}
    ObjectKind kind() const override { return m_kind; }
    bool getSpecial(Vm& vm, const std::string& name, Value& out) override;

private:
    ObjectKind m_kind;
};

// What `super` refers to inside a method: lookups start at the prototype above the method's home.
class SuperObject : public Object {
public:
    SuperObject(Object* base, Value self, Object* home)
        : Object(nullptr, true), base(base), self(std::move(self)), home(home)
    {
    }
    ObjectKind kind() const override { return ObjectKind::Super; }
    Object* base;
    Value self;
    Object* home;  // the prototype whose __constructor__ super() calls
};

// The name as names without case compare it (SWF 7 down): letters folded to one case, Latin, Greek and Cyrillic.
std::string foldedName(const std::string& name);

// An array index from a property name ("0", "12"), or -1.
long long arrayIndex(const std::string& name);
// The whole number a property name spells ("12", "-5", any number of digits) wrapped to 32 bits, as the length
// of an array follows it; false for other names.
bool wrappedIndex(const std::string& name, std::int32_t& out);

}  // namespace swf::avm1

// Arrays build on the objects above.
#include "swf/avm1/arrayobject.h"
