// The Stage object: the size scripts lay things out by, the scale mode and alignment they may change, and
// onResize for listeners of a stage that does not scale.
#include "swf/avm1/builtins.h"
#include "swf/player.h"
#include "swf/scripthost.h"

#include <cctype>

namespace swf {

using avm1::Value;
using avm1::Vm;
using Args = std::vector<Value>;

namespace {

struct ScaleName {
    ScaleMode mode;
    const char* name;
};
constexpr ScaleName kScaleNames[] = {{ScaleMode::ShowAll, "showAll"},
                                     {ScaleMode::NoBorder, "noBorder"},
                                     {ScaleMode::ExactFit, "exactFit"},
                                     {ScaleMode::NoScale, "noScale"}};

bool sameName(const std::string& a, const char* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

// "TL", "lt", "B", "": the letters in any order and case; anything else in the text is ignored.
std::uint8_t alignFlags(const std::string& text)
{
    std::uint8_t flags = 0;
    for (char c : text) {
        switch (std::toupper(static_cast<unsigned char>(c))) {
        case 'L': flags |= align::Left; break;
        case 'R': flags |= align::Right; break;
        case 'T': flags |= align::Top; break;
        case 'B': flags |= align::Bottom; break;
        default: break;
        }
    }
    // Both sides of an axis cancel to the first, as the letters are read left, then top.
    if ((flags & align::Left) && (flags & align::Right))
        flags &= ~align::Right;
    if ((flags & align::Top) && (flags & align::Bottom))
        flags &= ~align::Bottom;
    return flags;
}

std::string alignText(std::uint8_t flags)
{
    std::string text;
    text += (flags & align::Top) ? "T" : (flags & align::Bottom) ? "B" : "";
    text += (flags & align::Left) ? "L" : (flags & align::Right) ? "R" : "";
    return text;
}

// A stage that does not scale is as large as the target it is drawn into; otherwise it keeps the movie's size.
Value stageSize(ScriptHost& host, bool width)
{
    Player& player = host.player();
    if (player.stageScaleMode() == ScaleMode::NoScale)
        return Value(double(width ? player.viewWidth() : player.viewHeight()));
    const Movie* movie = host.movie();
    if (!movie)
        return Value(0);
    const Rect& r = movie->header.frameSize;
    return Value(double(width ? r.xMax - r.xMin : r.yMax - r.yMin) / 20);
}

void addScaleMode(Vm& vm, avm1::Object* stage, ScriptHost& host)
{
    auto get = [&host](Vm&, const Value&, const Args&) {
        for (const ScaleName& n : kScaleNames)
            if (n.mode == host.player().stageScaleMode())
                return Value(n.name);
        return Value("showAll");
    };
    auto set = [&host](Vm& vm, const Value&, const Args& a) {
        const std::string asked = vm.toString(avm1::arg(a, 0));
        for (const ScaleName& n : kScaleNames)
            if (sameName(asked, n.name))
                host.player().setStageScaleMode(n.mode);
        return Value();
    };
    avm1::addGetter(vm, stage, "scaleMode", get, set);
}

void addAlign(Vm& vm, avm1::Object* stage, ScriptHost& host)
{
    auto get = [&host](Vm&, const Value&, const Args&) { return Value(alignText(host.player().stageAlign())); };
    auto set = [&host](Vm& vm, const Value&, const Args& a) {
        host.player().setStageAlign(alignFlags(vm.toString(avm1::arg(a, 0))));
        return Value();
    };
    avm1::addGetter(vm, stage, "align", get, set);
}

}  // namespace

void installStageObject(Vm& vm, ScriptHost& host)
{
    if (vm.global()->findOwn("Stage"))
        return;  // the machine brings its own
    avm1::Object* stage = vm.newObject();
    avm1::addGetter(vm, stage, "width", [&host](Vm&, const Value&, const Args&) { return stageSize(host, true); });
    avm1::addGetter(vm, stage, "height", [&host](Vm&, const Value&, const Args&) { return stageSize(host, false); });
    addScaleMode(vm, stage, host);
    addAlign(vm, stage, host);
    stage->put("showMenu", Value(true));
    vm.call(vm.get(vm.get(Value(vm.global()), "AsBroadcaster"), "initialize"), Value(),
            {Value(stage)});
    vm.global()->put("Stage", Value(stage), avm1::prop::DontEnum);
}

void ScriptHost::stageResized()
{
    const Value stage = m_vm->get(Value(m_vm->global()), "Stage");
    m_vm->call(m_vm->get(stage, "broadcastMessage"), stage, {Value("onResize")});
}

}  // namespace swf
