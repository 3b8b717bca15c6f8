// The Key and Mouse objects: the keys held down, the last key pressed, and their listeners.
#include "swf/avm1/builtins.h"
#include "swf/scripthost.h"

#include <cctype>

namespace swf {

using avm1::arg;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

namespace {

constexpr int kDesktopKeys = 0x01000000;  // keys without a character, as the desktop numbers them

// Flash's key code of a desktop key number (letters and digits are their upper-case ASCII in both).
int flashKeyCode(int key)
{
    if (key < kDesktopKeys)
        return key >= 'a' && key <= 'z' ? key - 32 : key;
    static const std::pair<int, int> table[] = {
        {0x00, 27}, {0x01, 9}, {0x03, 8}, {0x04, 13}, {0x05, 13}, {0x06, 45}, {0x07, 46}, {0x10, 36},
        {0x11, 35}, {0x12, 37}, {0x13, 38}, {0x14, 39}, {0x15, 40}, {0x16, 33}, {0x17, 34}, {0x20, 16},
        {0x21, 17}, {0x23, 18}, {0x24, 20},
    };
    int offset = key - kDesktopKeys;
    for (const auto& [desktop, flash] : table)
        if (offset == desktop)
            return flash;
    if (offset >= 0x30 && offset < 0x30 + 15)
        return 112 + offset - 0x30;  // F1 …
    return 0;
}

int asciiOf(int key, bool shift)
{
    if (key >= 'A' && key <= 'Z')
        return shift ? key : key + 32;
    if (key < 128)
        return key;
    switch (flashKeyCode(key)) {
    case 8: return 8;
    case 9: return 9;
    case 13: return 13;
    case 27: return 27;
    case 46: return 127;
    default: return 0;
    }
}

// The key code of button key-press conditions and onClipEvent(keyPress): special keys by their own numbers,
// characters by their ASCII code; 0 for keys they cannot name.
int buttonKeyCode(int flashCode, int ascii)
{
    static const std::pair<int, int> special[] = {
        {37, 1}, {39, 2}, {36, 3}, {35, 4}, {45, 5}, {46, 6}, {8, 8}, {13, 13}, {38, 14}, {40, 15}, {33, 16},
        {34, 17}, {9, 18}, {27, 19},
    };
    for (const auto& [code, button] : special)
        if (code == flashCode)
            return button;
    return ascii >= 32 && ascii < 127 ? ascii : 0;
}

void makeBroadcaster(Vm& vm, Object* object)
{
    Value init = vm.get(Value(vm.global()), "AsBroadcaster");
    Value initialize = vm.get(init, "initialize");
    if (vm.isCallable(initialize))
        vm.call(initialize, init, {Value(object)});
}

}  // namespace

void ScriptHost::installInputObjects()
{
    Vm& vm = *m_vm;
    m_keyObject = vm.newObject();
    makeBroadcaster(vm, m_keyObject);
    static const std::pair<const char*, int> codes[] = {
        {"BACKSPACE", 8}, {"CAPSLOCK", 20}, {"CONTROL", 17}, {"DELETEKEY", 46}, {"DOWN", 40}, {"END", 35},
        {"ENTER", 13}, {"ESCAPE", 27}, {"HOME", 36}, {"INSERT", 45}, {"LEFT", 37}, {"PGDN", 34}, {"PGUP", 33},
        {"RIGHT", 39}, {"SHIFT", 16}, {"SPACE", 32}, {"TAB", 9}, {"UP", 38}, {"ALT", 18},
    };
    for (const auto& [name, code] : codes)
        m_keyObject->put(name, Value(code), avm1::prop::Hidden | avm1::prop::ReadOnly);
    vm.method(m_keyObject, "isDown", [this](Vm& vm, const Value&, const std::vector<Value>& a) {
        return Value(m_keysDown.count(int(vm.toNumber(arg(a, 0)))) > 0);
    });
    vm.method(m_keyObject, "getCode", [this](Vm&, const Value&, const std::vector<Value>&) { return Value(m_lastKey); });
    vm.method(m_keyObject, "getAscii", [this](Vm&, const Value&, const std::vector<Value>&) { return Value(m_lastAscii); });
    vm.method(m_keyObject, "isToggled", [](Vm&, const Value&, const std::vector<Value>&) { return Value(false); });
    vm.global()->put("Key", Value(m_keyObject), avm1::prop::DontEnum);

    m_mouseObject = vm.newObject();
    makeBroadcaster(vm, m_mouseObject);
    vm.method(m_mouseObject, "show", [](Vm&, const Value&, const std::vector<Value>&) { return Value(0); });
    vm.method(m_mouseObject, "hide", [](Vm&, const Value&, const std::vector<Value>&) { return Value(1); });
    vm.global()->put("Mouse", Value(m_mouseObject), avm1::prop::DontEnum);
}

void ScriptHost::keyDown(int key)
{
    int code = flashKeyCode(key);
    m_keysDown.insert(code);
    m_lastKey = code;
    m_lastAscii = asciiOf(key, m_keysDown.count(16) > 0);
    callMethod(m_keyObject, "broadcastMessage", {Value("onKeyDown")});
    // Characters outside ASCII arrive as themselves; the ASCII code stands for the rest. Keys that move or use
    // the focus type nothing, but button key conditions still hear them.
    if (!focusKey(code))
        typeIntoFocus(key >= 128 && key < kDesktopKeys ? key : m_lastAscii);
    pressButtonKeys(buttonKeyCode(code, m_lastAscii));
}

void ScriptHost::keyUp(int key)
{
    int code = flashKeyCode(key);
    m_keysDown.erase(code);
    m_lastKey = code;
    callMethod(m_keyObject, "broadcastMessage", {Value("onKeyUp")});
}

void ScriptHost::mouseMessage(const char* message, const std::vector<avm1::Value>& args)
{
    std::vector<Value> all{Value(message)};
    all.insert(all.end(), args.begin(), args.end());
    callMethod(m_mouseObject, "broadcastMessage", all);
}

}  // namespace swf
