// A small Stage object: the movie's width and height in pixels, for scripts that lay things out by them.
#include "swf/avm1/builtins.h"
#include "swf/scripthost.h"

namespace swf {

using avm1::Value;
using avm1::Vm;
using Args = std::vector<Value>;

void installStageObject(Vm& vm, ScriptHost& host)
{
    if (vm.global()->findOwn("Stage"))
        return;  // the machine brings its own
    avm1::Object* stage = vm.newObject();
    auto size = [&host](bool width) {
        const Movie* movie = host.movie();
        if (!movie)
            return Value(0);
        const Rect& r = movie->header.frameSize;
        return Value(double(width ? r.xMax - r.xMin : r.yMax - r.yMin) / 20);
    };
    avm1::addGetter(vm, stage, "width", [size](Vm&, const Value&, const Args&) { return size(true); });
    avm1::addGetter(vm, stage, "height", [size](Vm&, const Value&, const Args&) { return size(false); });
    vm.global()->put("Stage", Value(stage), avm1::prop::DontEnum);
}

}  // namespace swf
