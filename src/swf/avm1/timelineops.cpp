// The actions that reach the player: frames, targets, clip properties, URLs and FSCommands, trace, time.
#include "swf/avm1/interp.h"

#include "swf/io/bytereader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace swf::avm1 {

namespace {

Object* clipAt(Activation& act, const std::string& path)
{
    return path.empty() ? act.target : act.vm.resolveTarget(act.target, path);
}

void sendUrl(Activation& act, const std::string& url, const std::string& target, int method)
{
    static const std::string prefix = "FSCommand:";
    if (url.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), url.begin(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        })) {
        act.vm.host().fscommand(url.substr(prefix.size()), target);
        return;
    }
    act.vm.host().getUrl(url, target, method);
}

// GetURL2's flags: load a movie into the target clip, load variables.
constexpr std::uint8_t kLoadTargetFlag = 0x40;
constexpr std::uint8_t kLoadVariablesFlag = 0x80;
constexpr int kHighestLevel = 0xFFFF;

// The level a target "_levelN" names, or -1 for other targets.
int levelNumber(const std::string& target)
{
    static const std::string prefix = "_level";
    if (target.size() <= prefix.size() || target.size() > prefix.size() + 5 ||
        !std::equal(prefix.begin(), prefix.end(), target.begin(),
                    [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); })) {
        return -1;
    }
    int n = 0;
    for (std::size_t i = prefix.size(); i < target.size(); ++i) {
        if (target[i] < '0' || target[i] > '9') {
            return -1;
        }
        n = n * 10 + (target[i] - '0');
    }
    return n <= kHighestLevel ? n : -1;
}

// A URL action that names a level loads the movie there; one with the load flag loads it into the target clip.
void loadOrSend(Activation& act, const std::string& url, const std::string& target, std::uint8_t flags)
{
    const bool fsCommand = url.size() >= 10 && std::equal(url.begin(), url.begin() + 10, "fscommand:", [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
    const int level = levelNumber(target);
    if (!fsCommand && !(flags & kLoadVariablesFlag)) {
        if (flags & kLoadTargetFlag) {
            if (Object* clip = clipAt(act, target)) {
                act.vm.host().loadMovie(clip, url);
            } else if (level >= 0) {
                act.vm.host().loadMovieNum(level, url);
            }
            return;
        }
        if (level >= 0) {
            act.vm.host().loadMovieNum(level, url);
            return;
        }
    }
    sendUrl(act, url, target, flags & 3);
}

template <void (Host::*F)(Object*)>
Completion clipCommand(Activation& act, const ActionRecord&)
{
    if (act.target) {
        (act.vm.host().*F)(act.target);
    }
    return Completion::Normal;
}

Completion onToggleQuality(Activation& act, const ActionRecord&)
{
    act.vm.host().toggleQuality();
    return Completion::Normal;
}

Completion onStopSounds(Activation& act, const ActionRecord&)
{
    act.vm.host().stopSounds();
    return Completion::Normal;
}

Completion onGotoFrame(Activation& act, const ActionRecord& rec)
{
    ByteReader r(rec.body, rec.length);
    const int frame = r.u16();
    // A frame past the last one is no goto at all.
    if (act.target && frame < act.vm.host().framesLoaded(act.target)) {
        act.vm.host().gotoFrame(act.target, frame, false);
    }
    return Completion::Normal;
}

Completion onGotoLabel(Activation& act, const ActionRecord& rec)
{
    ByteReader r(rec.body, rec.length);
    if (act.target) {
        act.vm.host().gotoLabel(act.target, r.cstring(), false);
    }
    return Completion::Normal;
}

Completion onGotoFrame2(Activation& act, const ActionRecord& rec)
{
    ByteReader r(rec.body, rec.length);
    const std::uint8_t flags = r.u8();
    const bool play = (flags & 1) != 0;
    const int bias = (flags & 2) ? r.u16() : 0;
    Value frame = act.pop();
    Object* clip = act.target;
    std::string label;
    // Anything but a number names a frame by its text: gotoAndStop(undefined) looks for the label "undefined".
    if (!frame.isNumber())
        frame = Value(act.vm.toString(frame));
    if (frame.isString()) {
        label = frame.asString();
        const std::size_t colon = label.rfind(':');
        if (colon != std::string::npos) {
            clip = clipAt(act, label.substr(0, colon));
            label = label.substr(colon + 1);
        }
        const double n = stringToNumber(label, act.version);
        if (!std::isnan(n)) {
            frame = Value(n);
        }
    }
    if (!clip) {
        return Completion::Normal;
    }
    if (frame.isNumber() || !frame.isString()) {
        // Frame numbers wrap to 32 bits; a fraction names no frame.
        const double n = act.vm.toNumber(frame);
        if (n == std::trunc(n)) {
            const auto index = std::int32_t(std::uint32_t(toInt32(n)) - 1u);
            if (index >= 0) {
                act.vm.host().gotoFrame(clip, int(std::min<std::int64_t>(std::int64_t(index) + bias, INT32_MAX)),
                                        play);
            }
        }
    } else {
        act.vm.host().gotoLabel(clip, label, play, bias);
    }
    return Completion::Normal;
}

Completion onGetUrl(Activation& act, const ActionRecord& rec)
{
    ByteReader r(rec.body, rec.length);
    const std::string url = r.cstring();
    const std::string target = r.cstring();
    loadOrSend(act, url, target, 0);
    return Completion::Normal;
}

Completion onGetUrl2(Activation& act, const ActionRecord& rec)
{
    ByteReader r(rec.body, rec.length);
    const std::uint8_t flags = r.u8();
    const std::string target = act.popString();
    const std::string url = act.popString();
    loadOrSend(act, url, target, flags);
    return Completion::Normal;
}

// Replaces the clip at the base of the scope chain, as SetTarget does for the following actions.
void retarget(Activation& act, Object* clip)
{
    act.target = clip;
    std::vector<Scope> chain;
    for (const Scope* s = act.scope.get(); s; s = s->parent.get()) {
        chain.push_back(*s);
    }
    std::shared_ptr<const Scope> rebuilt;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        Scope s = *it;
        if (s.kind == Scope::Kind::Target) {
            s.object = clip;
        }
        s.parent = rebuilt;
        rebuilt = std::make_shared<const Scope>(std::move(s));
    }
    act.scope = rebuilt;
}

void setTargetPath(Activation& act, const std::string& path)
{
    if (path.empty()) {
        retarget(act, act.originalTarget);
        return;
    }
    // Paths lead from the clip the script belongs to, not from the last target.
    Object* clip = resolveTargetPath(act, act.originalTarget, path, true, false);
    if (clip && !act.vm.host().isClip(clip)) {
        clip = nullptr;  // only a clip can be the target
    }
    if (!clip) {
        // Timeline actions after a missing target reach no clip; variables are those of the root.
        act.vm.warnOnce("Target not found: Target=\"" + path + "\"");
        retarget(act, act.vm.host().root());
        act.target = nullptr;
        return;
    }
    retarget(act, clip);
}

Completion onSetTarget(Activation& act, const ActionRecord& rec)
{
    ByteReader r(rec.body, rec.length);
    setTargetPath(act, r.cstring());
    return Completion::Normal;
}

Completion onSetTarget2(Activation& act, const ActionRecord&)
{
    Value target = act.pop();
    if (Object* o = target.asObject(); o && act.vm.host().isClip(o)) {
        retarget(act, o);
    } else {
        setTargetPath(act, act.vm.toString(target));
    }
    return Completion::Normal;
}

Completion onGetProperty(Activation& act, const ActionRecord&)
{
    const double index = std::trunc(act.popNumber());  // -0.8 still names _x
    Object* clip = clipAt(act, act.popString());
    if (!clip || !(index >= 0 && index <= 21)) {
        act.push(Value());
        return Completion::Normal;
    }
    act.push(act.vm.host().getClipProperty(clip, ClipProperty(int(index))));
    return Completion::Normal;
}

Completion onSetProperty(Activation& act, const ActionRecord&)
{
    Value value = act.pop();
    const double index = std::trunc(act.popNumber());
    Object* clip = clipAt(act, act.popString());
    if (clip && index >= 0 && index <= 21) {
        act.vm.host().setClipProperty(clip, ClipProperty(int(index)), value);
    }
    return Completion::Normal;
}

Completion onCloneSprite(Activation& act, const ActionRecord&)
{
    const double depth = act.popNumber();
    const std::string name = act.popString();
    Object* source = clipAt(act, act.popString());
    if (source) {
        act.vm.host().cloneSprite(source, name, int(toInteger(depth)) - 16384);
    }
    return Completion::Normal;
}

Completion onRemoveSprite(Activation& act, const ActionRecord&)
{
    if (Object* clip = clipAt(act, act.popString())) {
        act.vm.host().removeSprite(clip);
    }
    return Completion::Normal;
}

Completion onStartDrag(Activation& act, const ActionRecord&)
{
    Object* clip = clipAt(act, act.popString());
    const bool lockCenter = toBoolean(act.pop(), act.version);
    const bool constrain = toBoolean(act.pop(), act.version);
    double rect[4] = {0, 0, 0, 0};
    if (constrain) {
        for (int i = 3; i >= 0; --i) {
            rect[i] = act.popNumber();
        }
    }
    if (clip) {
        act.vm.host().startDrag(clip, lockCenter, constrain ? rect : nullptr);
    }
    return Completion::Normal;
}

Completion onEndDrag(Activation& act, const ActionRecord&)
{
    act.vm.host().stopDrag();
    return Completion::Normal;
}

// Skips the given number of actions when the frame is not loaded yet.
void waitForFrame(Activation& act, double frame, std::size_t skip)
{
    const int loaded = act.target ? act.vm.host().framesLoaded(act.target) : 0;
    const double total = act.target ? act.vm.toNumber(act.vm.host().getClipProperty(act.target, ClipProperty::TotalFrames)) : 0;
    // A frame past the end can never load; Flash takes the movie as ready once all of it has loaded, for frames up
    // to its frame limit.
    if (frame < loaded || (loaded >= total && frame <= limits::kAvm1MaxWaitFrame)) {
        return;
    }
    for (std::size_t i = 0; i < skip; ++i) {
        ActionRecord rec;
        if (!decodeAction(act.code, act.size, act.pc, rec)) {
            break;
        }
        act.pc = rec.next;
    }
}

Completion onWaitForFrame(Activation& act, const ActionRecord& rec)
{
    ByteReader r(rec.body, rec.length);
    const double frame = r.u16();
    waitForFrame(act, frame, r.u8());
    return Completion::Normal;
}

Completion onWaitForFrame2(Activation& act, const ActionRecord& rec)
{
    ByteReader r(rec.body, rec.length);
    const std::size_t skip = r.u8();
    const double frame = toInteger(act.popNumber()) - 1;
    waitForFrame(act, frame, skip);
    return Completion::Normal;
}

Completion onCall(Activation& act, const ActionRecord&)
{
    const std::string frame = act.popString();
    if (act.target) {
        // The frame's actions work on this block's stack.
        act.vm.shareStack(&act.stack);
        act.vm.host().callFrame(act.target, frame);
        act.vm.shareStack(nullptr);
    }
    return Completion::Normal;
}

Completion onTrace(Activation& act, const ActionRecord&)
{
    Value v = act.pop();
    act.vm.host().trace(v.isUndefined() ? std::string("undefined") : act.vm.toString(v));
    return Completion::Normal;
}

Completion onGetTime(Activation& act, const ActionRecord&)
{
    act.push(Value(std::floor(act.vm.host().nowMs())));
    return Completion::Normal;
}

Completion onRandomNumber(Activation& act, const ActionRecord&)
{
    const double max = toInteger(act.popNumber());
    act.push(Value(max <= 0 ? 0.0 : std::floor(act.vm.random() * max)));
    return Completion::Normal;
}

Completion onFsCommand2(Activation& act, const ActionRecord&)
{
    // Flash Lite's device commands; the desktop player ignores them and reports failure.
    const double count = act.popNumber();
    for (double i = 0; i < count && !act.stack.empty(); ++i) {
        act.pop();
    }
    act.push(Value(-1));
    return Completion::Normal;
}

}  // namespace

void registerTimeline(Handler* t)
{
    t[op::NextFrame] = clipCommand<&Host::nextFrame>;
    t[op::PrevFrame] = clipCommand<&Host::prevFrame>;
    t[op::Play] = clipCommand<&Host::play>;
    t[op::Stop] = clipCommand<&Host::stop>;
    t[op::ToggleQuality] = onToggleQuality;
    t[op::StopSounds] = onStopSounds;
    t[op::GotoFrame] = onGotoFrame;
    t[op::GotoLabel] = onGotoLabel;
    t[op::GotoFrame2] = onGotoFrame2;
    t[op::GetURL] = onGetUrl;
    t[op::GetURL2] = onGetUrl2;
    t[op::SetTarget] = onSetTarget;
    t[op::SetTarget2] = onSetTarget2;
    t[op::GetProperty] = onGetProperty;
    t[op::SetProperty] = onSetProperty;
    t[op::CloneSprite] = onCloneSprite;
    t[op::RemoveSprite] = onRemoveSprite;
    t[op::StartDrag] = onStartDrag;
    t[op::EndDrag] = onEndDrag;
    t[op::WaitForFrame] = onWaitForFrame;
    t[op::WaitForFrame2] = onWaitForFrame2;
    t[op::Call] = onCall;
    t[op::Trace] = onTrace;
    t[op::GetTime] = onGetTime;
    t[op::RandomNumber] = onRandomNumber;
    t[op::FSCommand2] = onFsCommand2;
}

}  // namespace swf::avm1
