// The globals Flash Player defines that this engine does not implement (cameras, network streams, printing,
// accessibility, the flash.* classes of Flash 8 that nothing here provides yet): they exist with the kind a movie
// tests for, so feature checks such as `if (Camera)` or `typeof Selection` answer as in Flash, and their use is
// logged once by name.
#include "swf/avm1/builtins.h"

namespace swf::avm1 {

namespace {

// A class whose instances do nothing: its construction is logged once.
void stubClass(Vm& vm, Object* holder, const std::string& path, const std::string& name)
{
    if (holder->findOwn(name)) {
        return;
    }
    const std::string fullName = path.empty() ? name : path + "." + name;
    FunctionObject* ctor = vm.newNative(name, [fullName](Vm& vm, const Value&, const std::vector<Value>&) {
        vm.warnOnce("Not implemented: " + fullName);
        return Value();
    });
    Object* prototype = vm.newObject();
    ctor->put("prototype", Value(prototype), prop::Hidden);
    prototype->put("constructor", Value(static_cast<Object*>(ctor)), prop::Hidden);
    holder->put(name, Value(static_cast<Object*>(ctor)), prop::DontEnum);
}

// A singleton object (Accessibility, Selection): an Object instance, not a class.
Object* stubObject(Vm& vm, Object* holder, const std::string& name)
{
    if (const Property* existing = holder->findOwn(name)) {
        return existing->value.asObject();
    }
    Object* o = vm.newObject();
    holder->put(name, Value(o), prop::DontEnum);
    return o;
}

// The flash.* packages of Flash 8 with the classes movies look up there.
void installFlashPackages(Vm& vm)
{
    Object* flash = stubObject(vm, vm.global(), "flash");
    if (!flash) {
        return;
    }
    const struct {
        const char* package;
        std::vector<const char*> classes;
    } packages[] = {
        {"display", {"BitmapData"}},
        {"external", {"ExternalInterface"}},
        {"filters",
            {"BevelFilter", "BitmapFilter", "BlurFilter", "ColorMatrixFilter", "ConvolutionFilter",
                "DisplacementMapFilter", "DropShadowFilter", "GlowFilter", "GradientBevelFilter",
                "GradientGlowFilter"}},
        {"geom", {"ColorTransform", "Matrix", "Point", "Rectangle", "Transform"}},
        {"net", {"FileReference", "FileReferenceList"}},
        {"text", {"TextRenderer"}},
    };
    for (const auto& p : packages) {
        Object* package = stubObject(vm, flash, p.package);
        if (!package) {
            continue;
        }
        for (const char* name : p.classes) {
            stubClass(vm, package, std::string("flash.") + p.package, name);
        }
    }
}

}  // namespace

void installRemainingGlobals(Vm& vm)
{
    Object* g = vm.global();
    for (const char* name : {"Button", "Camera", "ContextMenu", "ContextMenuItem", "LocalConnection", "Microphone",
             "MovieClipLoader", "NetConnection", "NetStream", "PrintJob", "TextSnapshot", "Video", "XMLSocket"}) {
        stubClass(vm, g, "", name);
    }
    for (const char* name : {"Accessibility", "Selection", "Stage", "Math", "Key", "Mouse"}) {
        stubObject(vm, g, name);
    }
    if (Object* system = stubObject(vm, g, "System")) {
        for (const char* name : {"capabilities", "IME", "security"}) {
            stubObject(vm, system, name);
        }
    }
    // The style sheets of text fields came with Flash 7, the flash.* packages with Flash 8; older movies do not
    // see them.
    if (vm.version() >= 7) {
        if (Object* textField = vm.get(Value(g), "TextField").asObject()) {
            stubClass(vm, textField, "TextField", "StyleSheet");
        }
    }
    if (vm.version() >= 8) {
        installFlashPackages(vm);
    } else {
        g->removeOwn("flash");
    }
}

}  // namespace swf::avm1
