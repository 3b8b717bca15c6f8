// Target paths as GetVariable, SetVariable and DeleteVariable read them: slash paths ("/a/b", "../c"), dot paths
// ("a.b") and colon paths ("a:b"), mixed in any way Flash accepts.
#include "swf/avm1/interp.h"

#include <cstdlib>

namespace swf::avm1 {

namespace {

// The parent step at the front of a path: "..", "../" or (SWF 5 on) "..:"; its length, or 0.
std::size_t parentStep(const std::string& path, std::size_t pos, bool swf5)
{
    if (path.compare(pos, 2, "..") != 0) {
        return 0;
    }
    if (pos + 2 == path.size()) {
        return 2;
    }
    const char next = path[pos + 2];
    return next == '/' || (swf5 && next == ':') ? 3 : 0;
}

// One name of a path, looked up on the object reached so far: a child clip before a property of the same name.
Value pathSegment(Activation& act, Object* object, const std::string& name, bool first, bool handleThis)
{
    Vm& vm = act.vm;
    const bool swf5 = act.version >= 5;
    if (swf5 && handleThis && name == "this") {
        return act.self;
    }
    if (first) {
        const std::string special = act.version < 7 ? foldedName(name) : name;
        if (swf5 && special == "_root") {
            return Value(vm.host().rootOf(object ? object : act.target));
        }
        if (special == "_global" && act.version >= 6) {
            return Value(vm.global());
        }
        if (special.rfind("_level", 0) == 0 && special.size() > 6) {
            Object* level = vm.host().level(std::atoi(special.c_str() + 6));
            return level ? Value(level) : Value();
        }
    }
    if (vm.host().isClip(object)) {
        if (Object* child = vm.host().childClip(object, name)) {
            return Value(child);
        }
    }
    return vm.get(Value(object), name);
}

}  // namespace

Object* resolveTargetPath(Activation& act, Object* start, const std::string& path, bool first, bool handleThis)
{
    const bool swf5 = act.version >= 5;
    Object* object = start;
    bool slashPath = false;
    std::size_t pos = 0;
    if (!path.empty() && path[0] == '/') {
        // A leading slash starts at the root of the movie the path starts in.
        object = act.vm.host().rootOf(start ? start : act.target);
        slashPath = true;
        first = false;
        pos = 1;
    }
    while (object && pos < path.size()) {
        while (swf5 && pos < path.size() && path[pos] == ':') {
            ++pos;  // ":a", ":::a" and "a" are the same
        }
        Value next;
        if (const std::size_t step = parentStep(path, pos, swf5)) {
            slashPath = slashPath || (step == 3 && path[pos + 2] == '/');
            pos += step;
            Object* parent = act.vm.host().isClip(object) ? act.vm.host().parentOf(object) : nullptr;
            next = parent ? Value(parent) : Value();
        } else {
            // Colons and slashes end a name; dots too, until the path has used a slash.
            std::size_t end = pos;
            while (end < path.size()) {
                const char c = path[end];
                if ((swf5 && c == ':') || (swf5 && c == '.' && !slashPath)) {
                    break;
                }
                if (c == '/') {
                    slashPath = true;
                    break;
                }
                ++end;
            }
            const std::string name = path.substr(pos, end - pos);
            pos = end + 1;
            next = pathSegment(act, object, name, first, handleThis);
        }
        first = false;
        object = next.asObject();
    }
    return object;
}

Object* resolvePathInScopes(Activation& act, const std::string& path, bool first, bool handleThis,
    const std::string* needed)
{
    for (const Scope* s = act.scope.get(); s; s = s->parent.get()) {
        if (!s->object) {
            continue;
        }
        Object* found = resolveTargetPath(act, s->object, path, first, handleThis);
        if (found && (!needed || act.vm.has(found, *needed))) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace swf::avm1
