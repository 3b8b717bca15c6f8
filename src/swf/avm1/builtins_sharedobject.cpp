// SharedObject: getLocal gives one object per name whose data persists in the folder the host gives the movie
// ("<name>.sol", one "path<TAB>type<TAB>value" line per value). Without a folder the data lives as long as the
// movie and flush writes nothing.
#include "swf/avm1/builtins.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>

namespace swf::avm1 {

namespace {

class SharedObjectObject : public Object {
public:
    using Object::Object;
    std::string name;
};

// The file of the shared object `self`, or empty when nothing may be written.
std::string fileOf(Vm& vm, const Value& self)
{
    auto* shared = dynamic_cast<SharedObjectObject*>(self.asObject());
    const std::string folder = vm.host().sharedObjectFolder();
    return folder.empty() || !shared ? std::string() : folder + "/" + shared->name + ".sol";
}

// Percent-encodes the characters that would break a line or a path.
std::string encode(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '%' || c == '\t' || c == '\n' || c == '\r' || c == '.') {
            char buffer[4];
            std::snprintf(buffer, sizeof buffer, "%%%02X", unsigned(static_cast<unsigned char>(c)));
            out += buffer;
        } else {
            out += c;
        }
    }
    return out;
}

std::string decode(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += char(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

class Writer {
public:
    explicit Writer(Vm& vm) : m_vm(vm) {}
    std::string text;
    bool tooLarge = false;
    void object(Object* o, const std::string& path, int depth);

private:
    void value(const Value& v, const std::string& path, int depth);
    Vm& m_vm;
    std::set<Object*> m_open;
};

void Writer::object(Object* o, const std::string& path, int depth)
{
    if (depth > limits::kAvm1MaxSharedObjectDepth || m_open.count(o)) {
        return;  // deeper data and cycles are not kept
    }
    m_open.insert(o);
    for (const std::string& name : m_vm.enumerate(o)) {
        value(m_vm.get(Value(o), name), path.empty() ? encode(name) : path + "." + encode(name), depth);
    }
    m_open.erase(o);
}

void Writer::value(const Value& v, const std::string& path, int depth)
{
    std::string line = path + "\t";
    switch (v.type()) {
    case Type::Undefined: line += "u\t"; break;
    case Type::Null: line += "z\t"; break;
    case Type::Boolean: line += v.asBool() ? "b\t1" : "b\t0"; break;
    case Type::Number: {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.17g", v.asNumber());
        line += std::string("n\t") + buffer;
        break;
    }
    case Type::String: line += "s\t" + encode(v.asString()); break;
    case Type::Object:
        if (m_vm.isCallable(v)) {
            return;  // functions are not data
        }
        line += v.asObject()->kind() == ObjectKind::Array ? "a\t" : "o\t";
        break;
    }
    text += line + "\n";
    tooLarge = tooLarge || text.size() > limits::kAvm1MaxSharedObjectBytes;
    if (v.isObject() && !tooLarge) {
        object(v.asObject(), path, depth + 1);
    }
}

// Rebuilds the data from the lines; lines that do not fit (damaged files) are skipped.
void readData(Vm& vm, Object* data, const std::string& text)
{
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string path, type, raw;
        if (!std::getline(fields, path, '\t') || !std::getline(fields, type, '\t')) {
            continue;
        }
        std::getline(fields, raw);
        Value holder(data);
        std::size_t start = 0;
        std::size_t dot;
        while ((dot = path.find('.', start)) != std::string::npos && holder.isObject()) {
            holder = vm.get(holder, decode(path.substr(start, dot - start)));
            start = dot + 1;
        }
        if (!holder.isObject()) {
            continue;
        }
        Value v;
        if (type == "z") {
            v = Value::null();
        } else if (type == "b") {
            v = Value(raw == "1");
        } else if (type == "n") {
            v = Value(std::strtod(raw.c_str(), nullptr));
        } else if (type == "s") {
            v = Value(decode(raw));
        } else if (type == "o") {
            v = Value(vm.newObject());
        } else if (type == "a") {
            v = Value(static_cast<Object*>(vm.newArray()));
        }
        vm.set(holder, decode(path.substr(start)), v);
    }
}

// Flash refuses names with these characters; the path separators keep the file inside the folder.
bool validName(const std::string& name)
{
    return !name.empty() && name.find_first_of("~%&\\;:\"',<>?# /") == std::string::npos;
}

Value flush(Vm& vm, const Value& self, const std::vector<Value>&)
{
    const std::string file = fileOf(vm, self);
    Object* data = vm.get(self, "data").asObject();
    if (file.empty() || !data) {
        return Value(false);
    }
    Writer writer(vm);
    writer.object(data, "", 0);
    if (writer.tooLarge) {
        vm.warnOnce("SharedObject data over the engine's limit");
        return Value(false);
    }
    // The movie's folder is made on its first flush.
    std::error_code ignored;
    std::filesystem::create_directories(vm.host().sharedObjectFolder(), ignored);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << writer.text;
    return Value(bool(out));
}

Value clear(Vm& vm, const Value& self, const std::vector<Value>&)
{
    vm.set(self, "data", Value(vm.newObject()));
    const std::string file = fileOf(vm, self);
    if (!file.empty()) {
        std::remove(file.c_str());
    }
    return Value();
}

Value getSize(Vm& vm, const Value& self, const std::vector<Value>&)
{
    Object* data = vm.get(self, "data").asObject();
    if (!data) {
        return Value(0);
    }
    Writer writer(vm);
    writer.object(data, "", 0);
    return Value(double(writer.text.size()));
}

}  // namespace

void installSharedObject(Vm& vm)
{
    Object* proto = vm.newObject();
    FunctionObject* ctor = makeClass(vm, "SharedObject", proto, [](Vm&, const Value&, const std::vector<Value>&) {
        return Value();
    });
    vm.method(proto, "flush", flush);
    vm.method(proto, "clear", clear);
    vm.method(proto, "getSize", getSize);
    auto opened = std::make_shared<std::map<std::string, SharedObjectObject*>>();
    vm.method(ctor, "getLocal", [opened, proto](Vm& vm, const Value&, const std::vector<Value>& args) {
        const std::string name = vm.toString(arg(args, 0));
        if (!validName(name)) {
            return Value::null();
        }
        if (const auto found = opened->find(name); found != opened->end()) {
            return Value(static_cast<Object*>(found->second));
        }
        auto* shared = vm.adopt(std::make_unique<SharedObjectObject>(proto, vm.version() >= 7));
        shared->name = name;
        Object* data = vm.newObject();
        shared->put("data", Value(data), prop::DontDelete);
        if (const std::string file = fileOf(vm, Value(shared)); !file.empty()) {
            std::ifstream in(file, std::ios::binary);
            std::stringstream text;
            text << in.rdbuf();
            readData(vm, data, text.str().substr(0, limits::kAvm1MaxSharedObjectBytes));
        }
        (*opened)[name] = shared;
        return Value(static_cast<Object*>(shared));
    });
}

}  // namespace swf::avm1
