// The TextField class: the script side of the text fields a clip holds, found by instance name like child clips.
// Each object looks its field up again on every access, so it never holds on to a field the timeline removed.
#include "swf/avm1/builtins.h"
#include "swf/limits.h"
#include "swf/movie/edittext.h"
#include "swf/render/htmltext.h"
#include "swf/scripthost.h"
#include "swf/textbinding.h"
#include "swf/textfieldformat.h"

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
    TextFieldObject(Object* proto, bool caseSensitive, ScriptHost& host, ClipObject& owner, std::string name)
        : Object(proto, caseSensitive), m_host(host), m_owner(owner), m_name(std::move(name))
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

    // setTextFormat(format) or setTextFormat(begin, [end,] format): the attributes the format sets go to the text. A
    // plain field's whole text takes them as its format; a part of it, or any of an HTML field, keeps its formats
    // per character.
    void setTextFormat(Vm& vm, const Args& a)
    {
        DisplayObject* object = field();
        if (!object || a.empty())
            return;
        EditTextField& tf = *object->textField;
        if (a.size() > 1 || tf.isHtml()) {
            const double length = double(decodeUtf8(tf.text()).size());
            const double begin = a.size() > 1 ? vm.toNumber(a[0]) : 0;
            const double end = a.size() > 2 ? vm.toNumber(a[1]) : a.size() > 1 ? begin + 1 : length;
            if (tf.isHtml() || !(begin <= 0 && end >= length)) {
                formatRange(vm, tf, begin, end, a.back());
                return;
            }
        }
        TextFormat f = tf.format();
        readTextFormat(vm, a.back(), f);
        tf.setFormat(f);
    }
    // A range of the text takes the format's attributes; the field then holds its text as HTML, which keeps the
    // formats of each character.
    void formatRange(Vm& vm, EditTextField& tf, double begin, double end, const Value& formatObject)
    {
        if (!(begin >= 0))
            begin = 0;
        if (!(end > begin))
            return;
        const double limit = double(limits::kMaxTextFieldCharacters);
        const TextFormat base = tf.format();
        std::vector<TextParagraph> paragraphs
            = tf.isHtml() ? htmlParagraphs(tf.text(), base) : plainParagraphs(tf.text(), base);
        changeFormats(paragraphs, std::size_t(std::min(begin, limit)), std::size_t(std::min(end, limit)),
                      [&vm, &formatObject](TextFormat& f) { readTextFormat(vm, formatObject, f); });
        tf.setHtmlText(htmlSource(paragraphs, base, namer()));
        tf.setFormat(base);
    }
    FontNamer namer() const
    {
        return [this](const TextFormat& f) { return fontName(m_host, f); };
    }
    // The text without markup: an HTML field's paragraphs end in carriage returns, all but the last.
    std::string shownText(EditTextField& tf)
    {
        const std::string& text = boundText(m_host, tf);
        if (!tf.isHtml())
            return text;
        std::string out;
        const std::vector<TextParagraph> paragraphs = htmlParagraphs(text, tf.format());
        for (std::size_t i = 0; i < paragraphs.size(); ++i) {
            if (i > 0)
                out += '\r';
            for (const TextRun& run : paragraphs[i].runs)
                for (char32_t c : run.text)
                    appendUtf8(out, c);
        }
        return out;
    }
    // The text as Flash gives it back in HTML, whether it was set as HTML or not.
    std::string htmlText(EditTextField& tf)
    {
        const std::string& text = boundText(m_host, tf);
        const TextFormat& base = tf.format();
        return htmlSource(tf.isHtml() ? htmlParagraphs(text, base) : plainParagraphs(text, base), base, namer());
    }
    void setNewTextFormat(Vm& vm, const Value& formatObject)
    {
        if (DisplayObject* object = field()) {
            TextFormat f = object->textField->newFormat();
            readTextFormat(vm, formatObject, f);
            object->textField->setNewFormat(f);
        }
    }
    Value textFormat(ScriptHost& host, bool newText)
    {
        DisplayObject* object = field();
        if (!object)
            return {};
        const TextFormat& f = newText ? object->textField->newFormat() : object->textField->format();
        return makeTextFormat(host.vm(), f, fontName(host, f));
    }
    // The depth in its clip's display list, or -1 for a field that is gone.
    std::int32_t listDepth(Clip*& owner) const
    {
        owner = m_owner.clip;
        if (owner)
            for (const auto& [depth, object] : owner->displayList())
                if (object.textField && object.placement.name == m_name)
                    return depth;
        return -1;
    }
    // The depth as scripts count it, or undefined for a field that is gone.
    Value depth() const
    {
        Clip* owner = nullptr;
        const std::int32_t d = listDepth(owner);
        return d < 0 ? Value() : Value(int(d) - int(kFirstScriptDepth));
    }
    // removeMovieClip on a field: as for clips, only script depths from 0 up to a limit may be removed.
    bool removeAtScriptDepth() const
    {
        Clip* owner = nullptr;
        const std::int32_t d = listDepth(owner);
        const long scriptDepth = long(d) - kFirstScriptDepth;
        if (d < 0 || scriptDepth < 0 || scriptDepth >= limits::kMaxRemovableScriptDepth)
            return false;
        owner->displayList().erase(d);
        return true;
    }

    // A character typed while the field has the focus (Backspace takes the last one); true when the text changed.
    // Only plain input fields take typing: typed markup would have to be escaped into HTML text.
    bool type(int character)
    {
        DisplayObject* object = field();
        if (!object)
            return false;
        EditTextField& tf = *object->textField;
        const EditText& d = tf.definition();
        if (!m_input.value_or(!d.readOnly) || tf.isHtml())
            return false;
        std::string text = tf.text();
        if (character == 8) {
            if (text.empty())
                return false;
            std::size_t end = text.size() - 1;
            while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
                --end;
            text.erase(end);
        } else if ((character >= 32 && character != 127) || (character == 13 && d.multiline)) {
            if (d.hasMaxLength && d.maxLength > 0 && decodeUtf8(text).size() >= d.maxLength)
                return false;
            appendUtf8(text, character == 13 ? U'\r' : char32_t(character));
        } else {
            return false;
        }
        tf.setText(text);
        if (!d.variableName.empty())
            pushBinding(m_host, *m_owner.clip, tf);
        return true;
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
            "variable", "_parent", "type", "wordWrap", "multiline", "autoSize", "embedFonts", "length", "maxChars"};
        for (const char* n : names)
            if (name == n)
                return true;
        return false;
    }
    DisplayObject* field() const { return m_owner.clip ? fieldNamed(*m_owner.clip, m_name, true) : nullptr; }
    // The name of the format's font: the one it names, else the embedded font's.
    static std::string fontName(ScriptHost& host, const TextFormat& f)
    {
        if (!f.face.empty() || !f.fontId || !host.movie())
            return f.face;
        const Character* c = host.movie()->character(f.fontId);
        return c && c->font ? c->font->name.substr(0, c->font->name.find('\0')) : std::string();
    }

    // A field with a variable shows the variable's value while it has one.
    const std::string& boundText(ScriptHost& host, EditTextField& tf)
    {
        if (m_owner.clip && !tf.definition().variableName.empty()) {
            startBinding(host, *m_owner.clip, tf);
            pullBinding(host, *m_owner.clip, tf);
        }
        return tf.text();
    }

    ScriptHost& m_host;
    ClipObject& m_owner;
    std::string m_name;
    std::optional<bool> m_input;  // the type a script set
};

bool TextFieldObject::getSpecial(Vm&, const std::string& name, Value& out)
{
    DisplayObject* object = field();
    if (!object || findOwn(name))
        return false;
    const EditTextField& tf = *object->textField;
    const Placement& p = object->placement;
    const Rect& b = tf.definition().bounds;
    if (name == "text")
        out = Value(shownText(*object->textField));
    else if (name == "htmlText")
        out = Value(htmlText(*object->textField));
    else if (name == "html")
        out = Value(tf.isHtml());
    else if (name == "textColor")
        out = Value(colourToNumber(tf.newFormat().colour));
    else if (name == "border")
        out = Value(tf.border());
    else if (name == "borderColor")
        out = Value(colourToNumber(tf.borderColour()));
    else if (name == "background")
        out = Value(tf.background());
    else if (name == "backgroundColor")
        out = Value(colourToNumber(tf.backgroundColour()));
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
    else if (name == "embedFonts")
        out = Value(tf.definition().useOutlines);
    else if (name == "length")
        out = Value(double(decodeUtf8(shownText(*object->textField)).size()));
    else if (name == "maxChars")
        out = tf.definition().hasMaxLength && tf.definition().maxLength ? Value(tf.definition().maxLength)
                                                                        : Value::null();
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
            pushBinding(m_host, *m_owner.clip, tf);
    } else if (name == "maxChars") {
        // No limit (null, 0 or less) is kept as none; typing only counts characters up to the limit.
        const double n = value.isNullish() ? 0 : vm.toNumber(value);
        const std::uint16_t limit = n > 0 && n <= 0xFFFF ? std::uint16_t(n) : 0;
        tf.changeDefinition([limit](EditText& d) { d.maxLength = limit, d.hasMaxLength = limit > 0; });
    } else if (name == "variable") {
        // A new variable starts over from the definition's text, which the variable then replaces or takes.
        const std::string variable = value.isNullish() ? std::string() : vm.toString(value);
        tf.changeDefinition([&variable](EditText& d) { d.variableName = variable; });
        if (tf.definition().html)
            tf.setHtmlText(tf.definition().initialText);
        else
            tf.setText(tf.definition().initialText);
        tf.restartBinding();
        if (!variable.empty())
            startBinding(m_host, *m_owner.clip, tf);
    } else if (name == "htmlText") {
        tf.setHtmlText(vm.toString(value));
    } else if (name == "textColor") {
        // The colour goes to the text shown and to the text still to come.
        const Rgba colour = numberToColour(vm.toNumber(value));
        TextFormat f = tf.format(), n = tf.newFormat();
        f.colour = n.colour = colour;
        tf.setFormat(f);
        tf.setNewFormat(n);
    } else if (name == "wordWrap" || name == "multiline" || name == "embedFonts") {
        const bool on = avm1::toBoolean(value, vm.version());
        tf.changeDefinition([&name, on](EditText& d) {
            (name == "wordWrap" ? d.wordWrap : name == "multiline" ? d.multiline : d.useOutlines) = on;
        });
    } else if (name == "border") {
        tf.setBorder(avm1::toBoolean(value, vm.version()), tf.borderColour());
    } else if (name == "borderColor") {
        tf.setBorder(tf.border(), numberToColour(vm.toNumber(value)));
    } else if (name == "background") {
        tf.setBackground(avm1::toBoolean(value, vm.version()), tf.backgroundColour());
    } else if (name == "backgroundColor") {
        tf.setBackground(tf.background(), numberToColour(vm.toNumber(value)));
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
    definition->readOnly = true;  // a field made by script is dynamic until it is set to "input"
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

bool removeTextFieldAtScriptDepth(const Object* object)
{
    auto* field = dynamic_cast<const TextFieldObject*>(object);
    return field && field->removeAtScriptDepth();
}

std::int32_t textFieldListDepth(const Object* object, Clip*& owner)
{
    auto* field = dynamic_cast<const TextFieldObject*>(object);
    return field ? field->listDepth(owner) : -1;
}

std::string textFieldPath(ScriptHost& host, const Object* object)
{
    auto* field = dynamic_cast<const TextFieldObject*>(object);
    return field ? field->path(host) : std::string();
}

bool typeIntoTextField(avm1::Object* object, int character)
{
    auto* field = dynamic_cast<TextFieldObject*>(object);
    return field && field->type(character);
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
                                                            host, owner, object->placement.name));
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
    vm.method(proto, "setTextFormat", [](Vm& vm, const Value& self, const Args& a) {
        if (auto* field = dynamic_cast<TextFieldObject*>(self.asObject()))
            field->setTextFormat(vm, a);
        return Value();
    });
    vm.method(proto, "setNewTextFormat", [](Vm& vm, const Value& self, const Args& a) {
        if (auto* field = dynamic_cast<TextFieldObject*>(self.asObject()); field && !a.empty())
            field->setNewTextFormat(vm, a[0]);
        return Value();
    });
    for (const bool newText : {false, true}) {
        vm.method(proto, newText ? "getNewTextFormat" : "getTextFormat",
                  [&host, newText](Vm&, const Value& self, const Args&) {
                      auto* field = dynamic_cast<TextFieldObject*>(self.asObject());
                      return field ? field->textFormat(host, newText) : Value();
                  });
    }
    vm.method(proto, "getDepth", [](Vm&, const Value& self, const Args&) {
        auto* field = dynamic_cast<TextFieldObject*>(self.asObject());
        return field ? field->depth() : Value();
    });
    installTextFieldListeners(vm, proto);
    vm.method(clipProto, "createTextField",
              [&host](Vm&, const Value& self, const Args& a) { return createTextField(host, self, a); });
}

}  // namespace swf
