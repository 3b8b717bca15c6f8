#include "swf/textbinding.h"

#include "swf/limits.h"
#include "swf/scripthost.h"

namespace swf {

using avm1::Object;
using avm1::Value;

namespace {

struct Slot {
    Object* object = nullptr;
    std::string name;
};

bool specialSegment(const std::string& s)
{
    return s == "_root" || s == "_parent" || s == "_global" || s == "this" || s.rfind("_level", 0) == 0;
}

// Where a path such as "theVar", "_root.mc.theVar", "obj.theVar" or "/mc:theVar" points; no object when a part
// of it names nothing.
Slot slotOf(ScriptHost& host, Clip& holder, const std::string& path)
{
    avm1::Vm& vm = host.vm();
    Object* base = host.objectOf(&variableScope(holder));
    std::size_t cut = path.rfind(':');
    if (cut == std::string::npos)
        cut = path.rfind('.');
    if (cut == std::string::npos)
        return {base, path};
    const std::string prefix = path.substr(0, cut);
    Slot slot{nullptr, path.substr(cut + 1)};
    if (prefix.find('/') != std::string::npos) {
        slot.object = vm.resolveTarget(base, prefix);
        return slot;
    }
    Object* current = base;
    std::size_t begin = 0;
    while (current && begin <= prefix.size()) {
        std::size_t end = prefix.find('.', begin);
        if (end == std::string::npos)
            end = prefix.size();
        const std::string segment = prefix.substr(begin, end - begin);
        current = specialSegment(segment) ? vm.resolveTarget(current, segment)
                                          : vm.get(Value(current), segment).asObject();
        begin = end + 1;
    }
    slot.object = current;
    return slot;
}

void showValue(ScriptHost& host, EditTextField& field, const Value& value)
{
    const std::string text = host.vm().toString(value);
    if (text == field.text())
        return;
    if (field.isHtml())
        field.setHtmlText(text);
    else
        field.setText(text);
}

void sync(ScriptHost& host, Clip& clip, int nesting)
{
    if (nesting > limits::kMaxSpriteNesting)
        return;
    for (auto& [depth, object] : clip.displayList()) {
        if (object.textField && !object.textField->definition().variableName.empty()) {
            startBinding(host, clip, *object.textField);
            pullBinding(host, clip, *object.textField);
        }
        if (object.clip)
            sync(host, *object.clip, nesting + 1);
    }
}

}  // namespace

Clip& variableScope(Clip& holder)
{
    DisplayObject* object = holder.holder();
    if (object && object->character.kind == CharacterKind::Button && holder.parent())
        return *holder.parent();
    return holder;
}

void startBinding(ScriptHost& host, Clip& holder, EditTextField& field)
{
    if (field.bindingStarted())
        return;
    field.setBindingStarted();
    const Slot slot = slotOf(host, holder, field.definition().variableName);
    if (!slot.object || slot.name.empty())
        return;
    if (host.vm().has(slot.object, slot.name))
        showValue(host, field, host.vm().get(Value(slot.object), slot.name));
    else if (!field.text().empty())
        host.vm().set(Value(slot.object), slot.name, Value(field.text()));
}

void pullBinding(ScriptHost& host, Clip& holder, EditTextField& field)
{
    const Slot slot = slotOf(host, holder, field.definition().variableName);
    // Only variables of clips show in fields; other objects take the text but never give it back.
    if (!slot.object || slot.name.empty() || slot.object->kind() != avm1::ObjectKind::DisplayObject)
        return;
    const Value value = host.vm().get(Value(slot.object), slot.name);
    if (!value.isUndefined())
        showValue(host, field, value);
}

void pushBinding(ScriptHost& host, Clip& holder, const EditTextField& field)
{
    const Slot slot = slotOf(host, holder, field.definition().variableName);
    if (slot.object && !slot.name.empty())
        host.vm().set(Value(slot.object), slot.name, Value(field.text()));
}

void syncBindings(ScriptHost& host, Clip& clip)
{
    sync(host, clip, 0);
}

}  // namespace swf
