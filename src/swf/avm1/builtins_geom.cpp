// The flash package: flash.geom's classes and the helpers they share.
#include "swf/avm1/builtins.h"

namespace swf::avm1 {

FunctionObject* makePackageClass(
    Vm& vm, Object* package, const std::string& name, Object* prototype, NativeFunction constructor)
{
    FunctionObject* ctor = vm.newNative(name, std::move(constructor));
    ctor->put("prototype", Value(prototype), prop::Hidden);
    prototype->put("constructor", Value(static_cast<Object*>(ctor)), prop::Hidden);
    package->put(name, Value(static_cast<Object*>(ctor)), prop::DontEnum);
    return ctor;
}

void addGetter(
    Vm& vm, Object* target, const std::string& name, NativeFunction getter, NativeFunction setter, std::uint8_t flags)
{
    Property& p = target->put(name, Value(), flags);
    p.getter = vm.newNative(name, std::move(getter));
    if (setter) {
        p.setter = vm.newNative(name, std::move(setter));
    }
}

Value geomClass(Vm& vm, const std::string& name)
{
    const Value flash = vm.get(Value(vm.global()), "flash");
    return vm.get(vm.get(flash, "geom"), name);
}

void installGeom(Vm& vm)
{
    Object* flash = vm.newObject();
    Object* geom = vm.newObject();
    vm.global()->put("flash", Value(flash), prop::DontEnum);
    flash->put("geom", Value(geom), prop::DontEnum);
    installPoint(vm, geom);
    installColorTransform(vm, geom);
    installRectangle(vm, geom);
    installMatrix(vm, geom);
}

}  // namespace swf::avm1
