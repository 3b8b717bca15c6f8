// The Sound class: library sounds a script starts and stops through the player's sounds, with each Sound
// object's volume, pan and channel mix, and onSoundComplete when one of its sounds ends.
#include "swf/audio/sounddecoder.h"
#include "swf/audio/soundplayer.h"
#include "swf/avm1/builtins.h"
#include "swf/player.h"
#include "swf/scripthost.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

namespace swf {

using avm1::arg;
using avm1::Object;
using avm1::Value;
using avm1::Vm;
using Args = std::vector<Value>;
using Handle = audio::SoundPlayer::Handle;

namespace {

struct SoundData {
    std::uint32_t characterId = 0;  // a character, or the key of a sound loadSound brought
    double bytesTotal = -1;         // the size of the file loadSound read; none before
    double volume = 100, pan = 0;
    double ll = 100, lr = 0, rr = 100, rl = 0;  // setTransform's channel mix, percent
    std::vector<Handle> handles;
};

// What the class keeps for the objects of one machine; lives as long as the class's methods.
struct SoundState {
    explicit SoundState(ScriptHost& host) : host(host) {}
    ScriptHost& host;
    std::map<Object*, SoundData> sounds;
    std::map<Handle, Object*> owners;
    bool callbackSet = false;

    audio::SoundPlayer& player() { return host.player().sounds(); }
    SoundData& of(const Value& self) { return sounds[self.asObject()]; }

    // The gain of each side: the volume, the pan taking from the other side, and the channel mix.
    void apply(const SoundData& d, Handle h)
    {
        double level = std::max(0.0, d.volume) / 100;
        double pan = std::clamp(d.pan, -100.0, 100.0) / 100;
        double mix = std::clamp((d.ll + d.rr) / 200, 0.0, 1.0);
        player().setLevel(h, level * mix, pan);
    }

    void forget(Handle h)
    {
        auto it = owners.find(h);
        if (it == owners.end())
            return;
        auto& handles = sounds[it->second].handles;
        handles.erase(std::remove(handles.begin(), handles.end(), h), handles.end());
        owners.erase(it);
    }
};

using StatePtr = std::shared_ptr<SoundState>;
using SoundMethod = Value (*)(SoundState& s, const Value& self, const Args& a);

double number(SoundState& s, const Value& v)
{
    double n = s.host.vm().toNumber(v);
    return std::isfinite(n) ? n : 0;
}

Value attachSound(SoundState& s, const Value& self, const Args& a)
{
    const Movie* movie = s.host.movie();
    std::uint16_t id = movie ? movie->exported(s.host.vm().toString(arg(a, 0))) : 0;
    if (id && movie->sounds.count(id))
        s.of(self).characterId = id;
    return {};
}

void watchCompletion(const StatePtr& state)
{
    if (state->callbackSet)
        return;
    state->callbackSet = true;
    std::weak_ptr<SoundState> weak = state;
    state->player().setCompletionCallback([weak](Handle h) {
        auto s = weak.lock();
        if (!s)
            return;
        auto it = s->owners.find(h);
        if (it == s->owners.end())
            return;
        Object* owner = it->second;
        s->forget(h);
        s->host.callMethod(owner, "onSoundComplete");
    });
}

Value start(const StatePtr& state, const Value& self, const Args& a)
{
    SoundState& s = *state;
    SoundData& d = s.of(self);
    if (!d.characterId)
        return {};
    watchCompletion(state);
    double offset = std::max(0.0, number(s, arg(a, 0)));
    int loops = int(std::clamp(number(s, arg(a, 1)), 1.0, 65535.0));
    Handle h = s.player().start(d.characterId, offset * 1000, loops);
    if (!h)
        return {};
    d.handles.push_back(h);
    s.owners[h] = self.asObject();
    s.apply(d, h);
    return {};
}

bool global(SoundState& s, const Value& self)
{
    return s.host.vm().get(self, "target").isUndefined();
}

Value stop(SoundState& s, const Value& self, const Args& a)
{
    SoundData& d = s.of(self);
    if (!a.empty() && s.host.movie()) {
        if (std::uint16_t id = s.host.movie()->exported(s.host.vm().toString(a[0])))
            s.player().stopCharacter(id);
        return {};
    }
    if (global(s, self)) {
        // A Sound made without a target speaks for the whole movie: every sound stops.
        s.host.stopSounds();
    }
    for (Handle h : std::vector<Handle>(d.handles)) {
        s.player().stop(h);
        s.forget(h);
    }
    return {};
}

Value setVolume(SoundState& s, const Value& self, const Args& a)
{
    if (global(s, self)) {
        // A Sound made without a target sets the level of the whole movie.
        s.player().setScriptVolume(number(s, arg(a, 0)) / 100);
        return {};
    }
    SoundData& d = s.of(self);
    d.volume = number(s, arg(a, 0));
    for (Handle h : d.handles)
        s.apply(d, h);
    return {};
}

Value getVolume(SoundState& s, const Value& self, const Args&)
{
    return global(s, self) ? Value(s.player().scriptVolume() * 100) : Value(s.of(self).volume);
}

Value setPan(SoundState& s, const Value& self, const Args& a)
{
    SoundData& d = s.of(self);
    d.pan = number(s, arg(a, 0));
    for (Handle h : d.handles)
        s.apply(d, h);
    return {};
}

Value getPan(SoundState& s, const Value& self, const Args&) { return Value(s.of(self).pan); }

Value setTransform(SoundState& s, const Value& self, const Args& a)
{
    Value t = arg(a, 0);
    if (!t.asObject())
        return {};
    SoundData& d = s.of(self);
    for (auto [name, field] : {std::pair{"ll", &d.ll}, {"lr", &d.lr}, {"rr", &d.rr}, {"rl", &d.rl}})
        if (s.host.vm().has(t.asObject(), name))
            *field = number(s, s.host.vm().get(t, name));
    for (Handle h : d.handles)
        s.apply(d, h);
    return {};
}

Value getTransform(SoundState& s, const Value& self, const Args&)
{
    SoundData& d = s.of(self);
    Object* o = s.host.vm().newObject();
    o->put("ll", Value(d.ll));
    o->put("lr", Value(d.lr));
    o->put("rr", Value(d.rr));
    o->put("rl", Value(d.rl));
    return Value(o);
}

Value position(SoundState& s, const Value& self, const Args&)
{
    SoundData& d = s.of(self);
    return d.handles.empty() ? Value(0) : Value(std::round(s.player().positionMs(d.handles.back())));
}

Value duration(SoundState& s, const Value& self, const Args&)
{
    SoundData& d = s.of(self);
    return d.characterId ? Value(std::round(s.player().durationMs(d.characterId))) : Value();
}

Value bytesLoaded(SoundState& s, const Value& self, const Args&)
{
    const double total = s.of(self).bytesTotal;
    return total < 0 ? Value() : Value(total);
}

// loadSound(url, isStreaming): an MP3 file the movie may read (through the listener, as the other files it
// loads); a streaming sound starts at once, an event sound waits for start().
Value loadSound(const StatePtr& state, const Value& self, const Args& a)
{
    SoundState& s = *state;
    Vm& vm = s.host.vm();
    std::vector<std::uint8_t> bytes;
    bool ok = false;
    if (!a.empty() && s.host.player().listener().loadMovie(vm.toString(a[0]), bytes)) {
        auto sound = audio::decodeMp3File(bytes.data(), bytes.size());
        if (sound) {
            SoundData& d = s.of(self);
            d.characterId = s.player().addSound(std::make_shared<audio::DecodedSound>(std::move(sound.value())));
            d.bytesTotal = double(bytes.size());
            ok = true;
        }
    }
    if (ok && avm1::toBoolean(arg(a, 1), vm.version()))
        start(state, self, {});
    vm.callLater(self, "onLoad", {Value(ok)});  // after the script that asked, as Flash reports loads
    return {};
}

}  // namespace

void installSoundClass(Vm& vm, ScriptHost& host)
{
    auto state = std::make_shared<SoundState>(host);
    state->player().setScriptVolume(1);  // a new machine starts at full level
    Object* proto = vm.newObject();
    avm1::makeClass(vm, "Sound", proto, [](Vm&, const Value& self, const Args& a) {
        if (Object* o = self.asObject())
            o->put("target", arg(a, 0), avm1::prop::Hidden | avm1::prop::ReadOnly);
        return Value();
    });
    static const std::pair<const char*, SoundMethod> methods[] = {
        {"attachSound", attachSound}, {"stop", stop}, {"setVolume", setVolume}, {"getVolume", getVolume},
        {"setPan", setPan}, {"getPan", getPan}, {"setTransform", setTransform}, {"getTransform", getTransform},
        {"getBytesLoaded", bytesLoaded}, {"getBytesTotal", bytesLoaded},
    };
    for (const auto& [name, method] : methods) {
        SoundMethod m = method;
        vm.method(proto, name, [state, m](Vm&, const Value& self, const Args& a) { return m(*state, self, a); });
    }
    vm.method(proto, "start", [state](Vm&, const Value& self, const Args& a) { return start(state, self, a); });
    vm.method(proto, "loadSound", [state](Vm&, const Value& self, const Args& a) { return loadSound(state, self, a); });
    avm1::addGetter(vm, proto, "position",
                    [state](Vm&, const Value& self, const Args& a) { return position(*state, self, a); });
    avm1::addGetter(vm, proto, "duration",
                    [state](Vm&, const Value& self, const Args& a) { return duration(*state, self, a); });
}

}  // namespace swf
