// Keyboard focus: the Selection object, the focus handlers of fields and clips, and text typed into a focused
// input field. The focus is a script object (a clip's or a text field's); one whose display object went is
// dropped the next time anything asks for it.
#include "swf/avm1/builtins.h"
#include "swf/clipgeometry.h"
#include "swf/limits.h"
#include "swf/player.h"
#include "swf/scripthost.h"

#include <algorithm>

namespace swf {

using avm1::arg;
using avm1::Object;
using avm1::Value;
using avm1::Vm;
using Args = std::vector<Value>;

namespace {

Value objectOrNull(Object* object)
{
    return object ? Value(object) : Value::null();
}

// tabEnabled as set by a script: true, false, or unset (anything else).
bool isSetTo(const Value& v, bool flag)
{
    return v.isBool() && v.asBool() == flag;
}

bool pointInside(const Bounds& b, double x, double y)
{
    return !b.empty && x >= b.xMin && x <= b.xMax && y >= b.yMin && y <= b.yMax;
}

}  // namespace

Object* ScriptHost::inputFieldAt(Clip& parent, double x, double y, int nesting)
{
    if (nesting > limits::kMaxSpriteNesting || !m_movie)
        return nullptr;
    for (auto it = parent.displayList().rbegin(); it != parent.displayList().rend(); ++it) {
        DisplayObject& object = it->second;
        if (!object.placement.visible)
            continue;
        if (object.clip && object.character.kind != CharacterKind::Button) {
            if (Object* inner = inputFieldAt(*object.clip, x, y, nesting + 1))
                return inner;
            continue;
        }
        // Only named fields: the focus is known to scripts by its path.
        if (!object.textField || object.placement.name.empty())
            continue;
        const Rect& r = object.textField->definition().bounds;
        Bounds own, b;
        own.add(r.xMin, r.yMin);
        own.add(r.xMax, r.yMax);
        b.add(own, clipToStage(parent) * object.placement.matrix);
        if (!pointInside(b, x, y))
            continue;
        Object* field = textFieldObject(*this, *objectOf(&parent), object.placement.name);
        if (field && m_vm->toString(m_vm->get(Value(field), "type")) == "input")
            return field;
    }
    return nullptr;
}

void ScriptHost::focusAtPointer()
{
    Object* field = m_player.root() ? inputFieldAt(*m_player.root(), m_pointerX, m_pointerY) : nullptr;
    if (field)
        setFocus(field);
    else if (!m_over && focused() && isTextFieldObject(focused()))
        setFocus(nullptr);  // a press on nothing that takes the focus leaves the field
}

std::string ScriptHost::focusPath(Object* object)
{
    if (!object)
        return {};
    if (isTextFieldObject(object)) {
        Clip* owner = nullptr;
        return textFieldListDepth(object, owner) >= 0 ? textFieldPath(*this, object) : std::string();
    }
    Clip* clip = clipOf(object);
    return clip ? dottedPath(*clip) : std::string();
}

Object* ScriptHost::focused()
{
    if (m_focus && focusPath(m_focus).empty())
        m_focus = nullptr;
    return m_focus;
}

Object* ScriptHost::focusTarget(const Value& target)
{
    if (target.isString()) {
        const std::string path = m_vm->toString(target);
        Object* found = m_vm->resolveTarget(root(), path);
        if (!found) {
            // A field is a property of its clip rather than a step of a clip path.
            const std::size_t dot = path.find_last_of("./");
            Object* holder = dot == std::string::npos ? root() : m_vm->resolveTarget(root(), path.substr(0, dot));
            const std::string name = dot == std::string::npos ? path : path.substr(dot + 1);
            found = holder ? m_vm->get(Value(holder), name).asObject() : nullptr;
        }
        return found;
    }
    return target.asObject();
}

bool ScriptHost::setFocus(Object* object)
{
    if (object && focusPath(object).empty())
        return false;
    Object* old = focused();
    if (old == object)
        return true;
    if (old)
        callMethod(old, "onKillFocus", {objectOrNull(object)});
    m_focus = object;
    if (object)
        callMethod(object, "onSetFocus", {objectOrNull(old)});
    callMethod(m_selectionObject, "broadcastMessage", {Value("onSetFocus"), objectOrNull(old), objectOrNull(object)});
    return true;
}

void ScriptHost::typeIntoFocus(int character)
{
    Object* object = focused();
    if (!object || !typeIntoTextField(object, character))
        return;
    callMethod(object, "onChanged", {Value(object)});
    callMethod(object, "broadcastMessage", {Value("onChanged"), Value(object)});
}

void installTextFieldListeners(Vm& vm, Object* proto)
{
    // A field becomes a broadcaster of its own when its first listener comes.
    vm.method(proto, "addListener", [](Vm& vm, const Value& self, const Args& a) {
        Object* field = self.asObject();
        if (!field || !isTextFieldObject(field))
            return Value(false);
        if (!field->findOwn("_listeners")) {
            Value broadcaster = vm.get(Value(vm.global()), "AsBroadcaster");
            Value initialize = vm.get(broadcaster, "initialize");
            if (!vm.isCallable(initialize))
                return Value(false);
            vm.call(initialize, broadcaster, {self});
        }
        Value add = vm.get(self, "addListener");  // now the broadcaster's own
        return vm.isCallable(add) && field->findOwn("addListener") ? vm.call(add, self, a) : Value(false);
    });
    vm.method(proto, "removeListener", [](Vm& vm, const Value& self, const Args& a) {
        Object* field = self.asObject();
        if (!field || !field->findOwn("removeListener"))
            return Value(false);
        Value remove = vm.get(self, "removeListener");
        return vm.isCallable(remove) ? vm.call(remove, self, a) : Value(false);
    });
}

void ScriptHost::collectFocusable(Clip& clip, std::vector<Object*>& out, int nesting)
{
    if (nesting > limits::kMaxSpriteNesting)
        return;
    for (auto& [depth, object] : clip.displayList()) {
        if (!object.placement.visible)
            continue;
        if (object.textField) {
            Object* field = object.placement.name.empty() ? nullptr
                                                          : textFieldObject(*this, *objectOf(&clip), object.placement.name);
            if (field && m_vm->toString(m_vm->get(Value(field), "type")) == "input" &&
                !isSetTo(m_vm->get(Value(field), "tabEnabled"), false))
                out.push_back(field);
            continue;
        }
        if (!object.clip)
            continue;
        Object* self = objectOf(object.clip.get());
        const Value tabEnabled = m_vm->get(Value(self), "tabEnabled");
        const bool button = object.character.kind == CharacterKind::Button;
        if (button ? !isSetTo(tabEnabled, false) : isSetTo(tabEnabled, true))
            out.push_back(self);
        if (!button)
            collectFocusable(*object.clip, out, nesting + 1);
    }
}

void ScriptHost::tabFocus(bool back)
{
    Clip* root = m_player.root();
    if (!root)
        return;
    std::vector<Object*> all;
    collectFocusable(*root, all);
    // Once any object has a tabIndex, only those with one take part, in the order of their indexes.
    std::vector<std::pair<double, Object*>> indexed;
    for (Object* o : all) {
        const Value index = m_vm->get(Value(o), "tabIndex");
        if (index.isNumber())
            indexed.emplace_back(index.asNumber(), o);
    }
    if (!indexed.empty()) {
        std::stable_sort(indexed.begin(), indexed.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        all.clear();
        for (const auto& entry : indexed)
            all.push_back(entry.second);
    }
    if (all.empty())
        return;
    const auto at = std::find(all.begin(), all.end(), focused());
    std::size_t next;
    if (at == all.end())
        next = back ? all.size() - 1 : 0;
    else
        next = (std::size_t(at - all.begin()) + (back ? all.size() - 1 : 1)) % all.size();
    setFocus(all[next]);
}

bool ScriptHost::focusKey(int flashCode)
{
    if (flashCode == 9) {
        tabFocus(m_keysDown.count(16) > 0);
        return true;
    }
    Object* object = focused();
    Clip* clip = object ? clipOf(object) : nullptr;
    if (!clip || (flashCode != 13 && flashCode != 32))
        return false;
    // Enter or Space on a focused button is a press and release on it.
    buttonTransition(*clip, buttoncond::Press);
    buttonTransition(*clip, buttoncond::Release);
    runButtonWork();
    return true;
}

void ScriptHost::installSelectionObject()
{
    Vm& vm = *m_vm;
    m_selectionObject = vm.newObject();
    Value init = vm.get(Value(vm.global()), "AsBroadcaster");
    Value initialize = vm.get(init, "initialize");
    if (vm.isCallable(initialize))
        vm.call(initialize, init, {Value(m_selectionObject)});
    vm.method(m_selectionObject, "setFocus", [this](Vm&, const Value&, const Args& a) {
        const Value target = arg(a, 0);
        if (target.isNullish())
            return Value(setFocus(nullptr));
        Object* object = focusTarget(target);
        return Value(object ? setFocus(object) : false);
    });
    vm.method(m_selectionObject, "getFocus", [this](Vm&, const Value&, const Args&) {
        Object* object = focused();
        return object ? Value(focusPath(object)) : Value::null();
    });
    // With no selection of its own, a focused field's caret and selection sit at the end of its text.
    auto caret = [this](Vm& vm, const Value&, const Args&) {
        Object* object = focused();
        if (!object || !isTextFieldObject(object))
            return Value(-1);
        return Value(vm.toNumber(vm.get(Value(object), "length")));
    };
    for (const char* name : {"getBeginIndex", "getEndIndex", "getCaretIndex"})
        vm.method(m_selectionObject, name, caret);
    vm.method(m_selectionObject, "setSelection", [](Vm&, const Value&, const Args&) { return Value(); });
    vm.global()->put("Selection", Value(m_selectionObject), avm1::prop::DontEnum);
}

}  // namespace swf
