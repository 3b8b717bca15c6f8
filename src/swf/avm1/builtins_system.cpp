// System: capabilities as this Linux player reports them, and the members that ask the user or the clipboard,
// which a movie may not reach here (logged once).
#include "swf/avm1/builtins.h"

namespace swf::avm1 {

namespace {

// The Flash Player version this engine answers to (platform, major, minor, build, internal build).
constexpr const char* kPlayerVersion = "LNX 9,0,0,0";

void installCapabilities(Vm& vm, Object* system)
{
    Object* c = vm.newObject();
    system->put("capabilities", Value(c), prop::DontEnum);
    const struct {
        const char* name;
        Value value;
    } facts[] = {
        {"os", Value("Linux")},
        {"version", Value(kPlayerVersion)},
        {"manufacturer", Value("Kivamo Linux")},
        {"playerType", Value("StandAlone")},
        {"language", Value(vm.host().language())},
        {"isDebugger", Value(false)},
        {"hasAudio", Value(true)},
        {"hasMP3", Value(true)},
        {"hasStreamingAudio", Value(true)},
        {"hasStreamingVideo", Value(false)},
        {"hasEmbeddedVideo", Value(false)},
        {"hasVideoEncoder", Value(false)},
        {"hasAudioEncoder", Value(false)},
        {"hasPrinting", Value(false)},
        {"hasAccessibility", Value(false)},
        {"hasScreenBroadcast", Value(false)},
        {"hasScreenPlayback", Value(false)},
        {"avHardwareDisable", Value(true)},
        {"localFileReadDisable", Value(false)},
        {"windowlessDisable", Value(true)},
        {"pixelAspectRatio", Value(1)},
        {"screenColor", Value("color")},
    };
    for (const auto& fact : facts) {
        c->put(fact.name, fact.value);
    }
}

NativeFunction unavailable(const std::string& member)
{
    return [member](Vm& vm, const Value&, const std::vector<Value>&) {
        vm.warnOnce(member);
        return Value();
    };
}

}  // namespace

void installLoadVars(Vm& vm);

void installLoadVarsAndSystem(Vm& vm)
{
    installLoadVars(vm);
    Object* system = vm.newObject();
    vm.global()->put("System", Value(system), prop::DontEnum);
    installCapabilities(vm, system);
    Object* security = vm.newObject();
    system->put("security", Value(security), prop::DontEnum);
    for (const char* name : {"allowDomain", "allowInsecureDomain", "loadPolicyFile"}) {
        vm.method(security, name, [](Vm&, const Value&, const std::vector<Value>&) { return Value(); });
    }
    system->put("useCodepage", Value(false));
    system->put("exactSettings", Value(true));
    vm.method(system, "setClipboard", unavailable("System.setClipboard"));
    vm.method(system, "showSettings", unavailable("System.showSettings"));
}

}  // namespace swf::avm1
