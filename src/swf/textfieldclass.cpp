// The TextField class: the script side of the text fields a clip holds, found by instance name like child clips.
// Each object looks its field up again on every access, so it never holds on to a field the timeline removed.
#include "swf/avm1/builtins.h"
#include "swf/movie/edittext.h"
#include "swf/scripthost.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>

namespace swf {

using avm1::Object;
using avm1::Value;
using avm1::Vm;
using Args = std::vector<Value>;

namespace {

bool sameName(const std::string& a, const std::string& b, bool caseSensitive)
{
    if (caseSensitive || a.size() != b.size())
        return a == b;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

double colourNumber(Rgba c)
{
    return double((std::uint32_t(c.r) << 16) | (std::uint32_t(c.g) << 8) | c.b);
}

Rgba numberColour(double n)
{
    const std::uint32_t v = std::isfinite(n) ? std::uint32_t(avm1::toInt32(n)) : 0;
    return Rgba{std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v), 255};
}

// The field a clip holds under an instance name, or null.
template <class C>
auto fieldNamed(C& clip, const std::string& name, bool caseSensitive) -> decltype(&clip.displayList().begin()->second)
{
    for (auto& [depth, object] : clip.displayList())
        if (object.textField && sameName(object.placement.name, name, caseSensitive))
            return &object;
    return nullptr;
}

bool removeField(Clip& clip, const std::string& name)
{
    for (auto it = clip.displayList().begin(); it != clip.displayList().end(); ++it) {
        if (it->second.textField && it->second.scripted && it->second.placement.name == name) {
            clip.displayList().erase(it);
            return true;
        }
    }
    return false;
}

class TextFieldObject : public Object {
public:
    TextFieldObject(Object* proto, bool caseSensitive, ClipObject& owner, std::string name)
        : Object(proto, caseSensitive), m_owner(owner), m_name(std::move(name))
    {
    }

    bool getSpecial(Vm& vm, const std::string& name, Value& out) override;
    bool setSpecial(Vm& vm, const std::string& name, const Value& value) override;
    bool hasSpecial(const std::string& name) const override { return field() && isFieldProperty(name); }
    // Takes a script-made field off its clip.
    void remove()
    {
        if (m_owner.clip)
            removeField(*m_owner.clip, m_name);
    }

    // setTextFormat / setNewTextFormat: the attributes a TextFormat object sets (not null) go to the whole field.
    void applyFormat(Vm& vm, const Value& formatObject)
    {
        DisplayObject* object = field();
        if (!object || !formatObject.asObject())
            return;
        TextFormat f = object->textField->format();
        auto attribute = [&vm, &formatObject](const char* name, auto apply) {
            const Value v = vm.get(formatObject, name);
            if (!v.isUndefined() && !v.isNull())
                apply(v);
        };
        auto twips = [&vm](const Value& v) {
            const double n = vm.toNumber(v);
            return std::isfinite(n) ? n * 20.0 : 0.0;
        };
        attribute("font", [&](const Value& v) { f.face = vm.toString(v); });
        attribute("size", [&](const Value& v) { f.size = std::max(0.0, twips(v)); });
        attribute("color", [&](const Value& v) { f.colour = numberColour(vm.toNumber(v)); });
        attribute("bold", [&](const Value& v) { f.bold = avm1::toBoolean(v, vm.version()); });
        attribute("italic", [&](const Value& v) { f.italic = avm1::toBoolean(v, vm.version()); });
        attribute("underline", [&](const Value& v) { f.underline = avm1::toBoolean(v, vm.version()); });
        attribute("leading", [&](const Value& v) { f.leading = twips(v); });
        attribute("leftMargin", [&](const Value& v) { f.leftMargin = std::max(0.0, twips(v)); });
        attribute("rightMargin", [&](const Value& v) { f.rightMargin = std::max(0.0, twips(v)); });
        attribute("indent", [&](const Value& v) { f.indent = twips(v); });
        attribute("letterSpacing", [&](const Value& v) { f.letterSpacing = twips(v); });
        attribute("align", [&](const Value& v) {
            const std::string a = vm.toString(v);
            f.align = a == "right" ? TextAlign::Right : a == "center" ? TextAlign::Center
                    : a == "justify"                  ? TextAlign::Justify
                    : a == "left"                     ? TextAlign::Left
                                                      : f.align;
        });
        object->textField->setFormat(f);
    }

    std::string path(ScriptHost& host) const
    {
        return m_owner.clip ? host.dottedPath(*m_owner.clip) + "." + m_name : std::string();
    }

private:
    static bool isFieldProperty(const std::string& name)
    {
        static const char* const names[] = {"text", "htmlText", "html", "textColor", "border", "borderColor",
            "background", "backgroundColor", "_x", "_y", "_width", "_height", "_name", "_visible", "_alpha",
            "variable", "_parent", "type", "wordWrap", "multiline", "autoSize"};
        for (const char* n : names)
            if (name == n)
                return true;
        return false;
    }
    DisplayObject* field() const { return m_owner.clip ? fieldNamed(*m_owner.clip, m_name, true) : nullptr; }

    // A field with a variable shows the variable's value while it has one.
    const std::string& boundText(Vm& vm, EditTextField& tf)
    {
        const std::string& variable = tf.definition().variableName;
        if (!variable.empty()) {
            const Value v = vm.get(Value(static_cast<Object*>(&m_owner)), variable);
            if (!v.isUndefined() && vm.toString(v) != tf.text())
                tf.setText(vm.toString(v));
        }
        return tf.text();
    }

    ClipObject& m_owner;
    std::string m_name;
    std::optional<bool> m_input;  // the type a script set
};

bool TextFieldObject::getSpecial(Vm& vm, const std::string& name, Value& out)
{
    DisplayObject* object = field();
    if (!object || findOwn(name))
        return false;
    const EditTextField& tf = *object->textField;
    const Placement& p = object->placement;
    const Rect& b = tf.definition().bounds;
    if (name == "text" || name == "htmlText")
        out = Value(boundText(vm, *object->textField));
    else if (name == "html")
        out = Value(tf.isHtml());
    else if (name == "textColor")
        out = Value(colourNumber(tf.format().colour));
    else if (name == "border")
        out = Value(tf.border());
    else if (name == "borderColor")
        out = Value(colourNumber(tf.borderColour()));
    else if (name == "background")
        out = Value(tf.background());
    else if (name == "backgroundColor")
        out = Value(colourNumber(tf.backgroundColour()));
    else if (name == "_x")
        out = Value(p.matrix.tx / 20.0);
    else if (name == "_y")
        out = Value(p.matrix.ty / 20.0);
    else if (name == "_width")
        out = Value(double(b.xMax - b.xMin) / 20.0);
    else if (name == "_height")
        out = Value(double(b.yMax - b.yMin) / 20.0);
    else if (name == "_name")
        out = Value(p.name);
    else if (name == "_visible")
        out = Value(p.visible);
    else if (name == "_alpha")
        out = Value(p.colorTransform.aMult * 100.0);
    else if (name == "variable")
        out = tf.definition().variableName.empty() ? Value::null() : Value(tf.definition().variableName);
    else if (name == "_parent")
        out = Value(static_cast<Object*>(&m_owner));
    else if (name == "type")
        out = Value(m_input.value_or(!tf.definition().readOnly) ? "input" : "dynamic");
    else if (name == "wordWrap")
        out = Value(tf.definition().wordWrap);
    else if (name == "multiline")
        out = Value(tf.definition().multiline);
    else if (name == "autoSize")
        out = Value(tf.definition().autoSize ? "left" : "none");
    else
        return false;
    return true;
}

bool TextFieldObject::setSpecial(Vm& vm, const std::string& name, const Value& value)
{
    DisplayObject* object = field();
    if (!object)
        return false;
    EditTextField& tf = *object->textField;
    Placement& p = object->placement;
    if (name == "text") {
        tf.setText(vm.toString(value));
        if (!tf.definition().variableName.empty())
            vm.set(Value(static_cast<Object*>(&m_owner)), tf.definition().variableName, value);
    } else if (name == "htmlText") {
        tf.setHtmlText(vm.toString(value));
    } else if (name == "textColor") {
        TextFormat f = tf.format();
        f.colour = numberColour(vm.toNumber(value));
        tf.setFormat(f);
    } else if (name == "border") {
        tf.setBorder(avm1::toBoolean(value, vm.version()), tf.borderColour());
    } else if (name == "borderColor") {
        tf.setBorder(tf.border(), numberColour(vm.toNumber(value)));
    } else if (name == "background") {
        tf.setBackground(avm1::toBoolean(value, vm.version()), tf.backgroundColour());
    } else if (name == "backgroundColor") {
        tf.setBackground(tf.background(), numberColour(vm.toNumber(value)));
    } else if (name == "_x" || name == "_y") {
        const double n = vm.toNumber(value);
        if (!std::isfinite(n))
            return true;
        (name == "_x" ? p.matrix.tx : p.matrix.ty) = std::round(n * 20.0);
        object->scriptMoved = true;
    } else if (name == "type") {
        // Only the two known names change it, in any case.
        std::string t = vm.toString(value);
        std::transform(t.begin(), t.end(), t.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        if (t == "input" || t == "dynamic")
            m_input = t == "input";
    } else if (name == "_visible") {
        p.visible = avm1::toBoolean(value, vm.version());
    } else if (name == "_alpha") {
        const double n = vm.toNumber(value);
        if (std::isfinite(n))
            p.colorTransform.aMult = n / 100.0;
        object->scriptMoved = true;
    } else {
        return false;
    }
    return true;
}

// createTextField(name, depth, x, y, width, height): an empty field at a script depth, sizes in pixels.
Value createTextField(ScriptHost& host, const Value& self, const Args& a)
{
    Clip* clip = ScriptHost::clipOf(self);
    Vm& vm = host.vm();
    if (!clip || a.size() < 6)
        return {};
    const long depth = long(avm1::toInt32(vm.toNumber(a[1]))) + kFirstScriptDepth;
    if (depth < 0 || depth > 0xFFFF)
        return {};
    auto twips = [&vm, &a](std::size_t i) {
        const double n = vm.toNumber(a[i]);
        return std::isfinite(n) && std::fabs(n) < 1e8 ? std::int32_t(std::lround(n * 20.0)) : 0;
    };
    auto definition = std::make_shared<EditText>();
    definition->bounds.xMax = std::max(0, twips(4));
    definition->bounds.yMax = std::max(0, twips(5));
    DisplayObject object;
    object.placement.name = vm.toString(a[0]);
    object.placement.matrix.tx = twips(2);
    object.placement.matrix.ty = twips(3);
    object.character.kind = CharacterKind::EditText;
    object.character.editText = definition;
    object.textField = std::make_unique<EditTextField>(definition);
    object.scripted = true;
    const std::string name = object.placement.name;
    clip->displayList()[std::uint16_t(depth)] = std::move(object);
    // From version 8 the method answers the new field.
    if (vm.version() < 8)
        return {};
    ClipObject* owner = host.objectOf(clip);
    Object* field = owner ? textFieldObject(host, *owner, name) : nullptr;
    return field ? Value(field) : Value();
}

}  // namespace

bool isTextFieldObject(const Object* object)
{
    return dynamic_cast<const TextFieldObject*>(object) != nullptr;
}

std::string textFieldPath(ScriptHost& host, const Object* object)
{
    auto* field = dynamic_cast<const TextFieldObject*>(object);
    return field ? field->path(host) : std::string();
}

bool holdsTextField(const Clip& clip, const std::string& name, bool caseSensitive)
{
    return fieldNamed(clip, name, caseSensitive) != nullptr;
}

Object* textFieldObject(ScriptHost& host, ClipObject& owner, const std::string& name)
{
    Clip* clip = owner.clip;
    DisplayObject* object = clip ? fieldNamed(*clip, name, owner.caseSensitive()) : nullptr;
    if (!object)
        return nullptr;
    Object*& cached = owner.textFields[object->placement.name];
    if (!cached) {
        Vm& vm = host.vm();
        Object* proto = nullptr;
        if (Object* ctor = vm.get(Value(vm.global()), "TextField").asObject())
            proto = vm.get(Value(ctor), "prototype").asObject();
        cached = vm.adopt(std::make_unique<TextFieldObject>(proto ? proto : vm.newObject(), owner.caseSensitive(),
                                                            owner, object->placement.name));
    }
    return cached;
}

void installTextFieldClass(Vm& vm, ScriptHost& host, Object* clipProto)
{
    Object* proto = vm.newObject();
    avm1::makeClass(vm, "TextField", proto, [](Vm&, const Value&, const Args&) { return Value(); });
    vm.method(proto, "removeTextField", [](Vm&, const Value& self, const Args&) {
        if (auto* field = dynamic_cast<TextFieldObject*>(self.asObject()))
            field->remove();
        return Value();
    });
    for (const char* name : {"setTextFormat", "setNewTextFormat"}) {
        vm.method(proto, name, [](Vm& vm, const Value& self, const Args& a) {
            // setTextFormat(format), or with a range first: the format is the last argument.
            if (auto* field = dynamic_cast<TextFieldObject*>(self.asObject()); field && !a.empty())
                field->applyFormat(vm, a.back());
            return Value();
        });
    }
    vm.method(clipProto, "createTextField",
              [&host](Vm&, const Value& self, const Args& a) { return createTextField(host, self, a); });
}

}  // namespace swf
