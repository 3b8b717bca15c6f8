// The MovieClip class: timeline control, script-made clips, depths, geometry and dragging on a clip's object.
#include "swf/avm1/builtins.h"
#include "swf/clipgeometry.h"
#include "swf/limits.h"
#include "swf/player.h"
#include "swf/scripthost.h"

#include <cmath>

namespace swf {

using avm1::arg;
using avm1::Object;
using avm1::Value;
using avm1::Vm;
using Args = std::vector<Value>;

namespace {

// One method of the class, with the host and the clip `this` names (null for a removed clip).
using ClipMethod = Value (*)(ScriptHost& host, Clip& clip, const Args& args);

void bind(Vm& vm, ScriptHost& host, Object* proto, const char* name, ClipMethod method)
{
    vm.method(proto, name, [&host, method](Vm&, const Value& self, const Args& args) {
        Clip* clip = ScriptHost::clipOf(self);
        return clip ? method(host, *clip, args) : Value();
    });
}

Object* self(ScriptHost& host, Clip& clip)
{
    return host.objectOf(&clip);
}

int toInt(ScriptHost& host, const Value& v)
{
    // Depths and counts wrap to 32 bits.
    return avm1::toInt32(host.vm().toNumber(v));
}

// A frame number from 1 as an index from 0; the number wraps to 32 bits, so huge ones land past the end.
int frameIndex(double n)
{
    return std::int32_t(std::uint32_t(avm1::toInt32(n)) - 1u);
}

// gotoAndPlay / gotoAndStop: a frame number from 1, or a label (a "path:frame" string names another clip).
void goTo(ScriptHost& host, Clip& clip, const Value& frame, bool play)
{
    Object* object = self(host, clip);
    // Anything but a number names a frame by its text (an object's toString may give a label).
    if (!frame.isNumber()) {
        std::string label = host.vm().toString(frame);
        const std::size_t colon = label.rfind(':');
        if (colon != std::string::npos) {
            const std::string path = label.substr(0, colon);
            object = path.empty() ? object : host.vm().resolveTarget(object, path);
            if (!object)
                return;
            label = label.substr(colon + 1);
        }
        double n = avm1::stringToNumber(label, host.vm().version());
        if (std::isnan(n)) {
            host.gotoLabel(object, label, play);
            return;
        }
        host.gotoFrame(object, frameIndex(n), play);
        return;
    }
    host.gotoFrame(object, frameIndex(host.vm().toNumber(frame)), play);
}

Value objectValue(ScriptHost& host, Clip* clip)
{
    return clip ? Value(static_cast<Object*>(host.objectOf(clip))) : Value();
}

Value gotoAndPlay(ScriptHost& host, Clip& clip, const Args& a) { goTo(host, clip, arg(a, 0), true); return {}; }
Value gotoAndStop(ScriptHost& host, Clip& clip, const Args& a) { goTo(host, clip, arg(a, 0), false); return {}; }
Value play(ScriptHost& host, Clip& clip, const Args&) { host.play(self(host, clip)); return {}; }
Value stop(ScriptHost& host, Clip& clip, const Args&) { host.stop(self(host, clip)); return {}; }
Value nextFrame(ScriptHost& host, Clip& clip, const Args&) { host.nextFrame(self(host, clip)); return {}; }
Value prevFrame(ScriptHost& host, Clip& clip, const Args&) { host.prevFrame(self(host, clip)); return {}; }

Value getDepth(ScriptHost&, Clip& clip, const Args&)
{
    return Value(int(clip.depth()) - int(kFirstScriptDepth));
}

Value getNextHighestDepth(ScriptHost&, Clip& clip, const Args&)
{
    int next = 0;
    if (!clip.displayList().empty())
        next = std::max(0, int(clip.displayList().rbegin()->first) - int(kFirstScriptDepth) + 1);
    return Value(next);
}

Value getInstanceAtDepth(ScriptHost& host, Clip& clip, const Args& a)
{
    const int depth = toInt(host, arg(a, 0));
    const bool inRange = depth >= limits::kMinScriptDepth && depth <= limits::kMaxScriptDepth;
    auto it = inRange ? clip.displayList().find(depth + kFirstScriptDepth) : clip.displayList().end();
    if (it == clip.displayList().end())
        return {};
    if (it->second.textField) {
        ClipObject* owner = host.objectOf(&clip);
        Object* field = owner ? textFieldObject(host, *owner, it->second.placement.name) : nullptr;
        return field ? Value(field) : Value();
    }
    // A shape or other object that takes no input answers for the clip that holds it.
    return objectValue(host, it->second.clip ? it->second.clip.get() : &clip);
}

Value swapDepths(ScriptHost& host, Clip& clip, const Args& a)
{
    Clip* parent = clip.parent();
    if (!parent)
        return {};
    const Value& target = arg(a, 0);
    if (target.isUndefined())
        return {};
    long to;
    Clip* other = ScriptHost::clipOf(target);
    if (!other && target.isString())
        other = ScriptHost::clipOf(host.vm().resolveTarget(self(host, clip), target.asString()));
    Clip* fieldOwner = nullptr;
    const std::int32_t fieldDepth = other ? -1 : textFieldListDepth(target.asObject(), fieldOwner);
    if (fieldDepth >= 0) {
        if (fieldOwner != parent)
            return {};
        to = fieldDepth;
    } else if (other) {
        if (other->parent() != parent)
            return {};
        to = other->depth();
    } else {
        const int depth = toInt(host, arg(a, 0));
        if (depth < limits::kMinScriptDepth || depth > limits::kMaxScriptDepth)
            return {};
        to = long(depth) + kFirstScriptDepth;
    }
    parent->swapDepths(clip.depth(), std::int32_t(to));
    return {};
}

Value createEmptyMovieClip(ScriptHost& host, Clip& clip, const Args& a)
{
    // Arguments convert in order: the name's toString runs before the depth's valueOf.
    const std::string name = host.vm().toString(arg(a, 0));
    const int depth = toInt(host, arg(a, 1));
    return objectValue(host, host.createEmpty(clip, name, depth));
}

Value attachMovie(ScriptHost& host, Clip& clip, const Args& a)
{
    const std::string linkage = host.vm().toString(arg(a, 0));
    const std::string name = host.vm().toString(arg(a, 1));
    const int depth = toInt(host, arg(a, 2));
    std::uint16_t id = host.movie() ? host.movie()->exported(linkage) : 0;
    Clip* made = id ? host.attach(clip, id, name, depth) : nullptr;
    if (made)
        host.construct(*made, arg(a, 3));
    return objectValue(host, made);
}

Value duplicateMovieClip(ScriptHost& host, Clip& clip, const Args& a)
{
    const std::string name = host.vm().toString(arg(a, 0));
    const int depth = toInt(host, arg(a, 1));
    Clip* made = host.duplicate(clip, name, depth);
    if (made)
        host.construct(*made, arg(a, 2));
    return objectValue(host, made);
}

// A rectangle {xMin, xMax, yMin, yMax} in pixels.
// An empty clip answers 0x7FFFFFF twips for every edge; taken into another clip's space, that value passes
// through single precision and comes out as 2^27 twips.
Value boundsObject(ScriptHost& host, const Bounds& b, bool ownSpace = true)
{
    Object* o = host.vm().newObject();
    const double big = ownSpace ? 0x7FFFFFF / 20.0 : 0x8000000 / 20.0;
    o->put("xMin", Value(b.empty ? big : b.xMin / 20));
    o->put("xMax", Value(b.empty ? big : b.xMax / 20));
    o->put("yMin", Value(b.empty ? big : b.yMin / 20));
    o->put("yMax", Value(b.empty ? big : b.yMax / 20));
    return Value(o);
}

Value getBounds(ScriptHost& host, Clip& clip, const Args& a)
{
    if (!host.movie())
        return {};
    Bounds local = clipBounds(clip, *host.movie());
    Clip* space = a.empty() ? &clip : ScriptHost::clipOf(arg(a, 0));
    if (!space)
        return {};
    Matrix m = clipToStage(*space).inverted() * clipToStage(clip);
    Bounds b;
    b.add(local, m);
    return boundsObject(host, b, space == &clip);
}

// The clip hitTest compares with: a clip, or a target path from this clip (an empty path names none).
Clip* hitTestTarget(ScriptHost& host, Clip& clip, const Value& target)
{
    if (Clip* other = ScriptHost::clipOf(target))
        return other;
    if (!target.isString() || target.asString().empty())
        return nullptr;
    return ScriptHost::clipOf(host.vm().resolveTarget(self(host, clip), target.asString()));
}

// With one argument: whether the stage bounds of two clips meet. With a point (in the root's space): whether it
// lies in the clip's stage bounds, or with the shape flag, on what the clip draws.
Value hitTest(ScriptHost& host, Clip& clip, const Args& a)
{
    if (!host.movie() || a.empty())
        return Value(false);
    Bounds mine;
    mine.add(clipBounds(clip, *host.movie()), clipToStage(clip));
    if (a.size() == 1) {
        Clip* other = hitTestTarget(host, clip, a[0]);
        if (!other || mine.empty)
            return Value(false);
        Bounds theirs;
        theirs.add(clipBounds(*other, *host.movie()), clipToStage(*other));
        return Value(!theirs.empty && mine.xMin <= theirs.xMax && theirs.xMin <= mine.xMax &&
                     mine.yMin <= theirs.yMax && theirs.yMin <= mine.yMax);
    }
    double x = host.vm().toNumber(arg(a, 0)) * 20;
    double y = host.vm().toNumber(arg(a, 1)) * 20;
    if (!std::isfinite(x) || !std::isfinite(y))
        return Value(false);
    if (Clip* root = host.player().root(); root && root->placement())
        root->placement()->matrix.apply(x, y, x, y);
    if (avm1::toBoolean(arg(a, 2), host.vm().version()))
        return Value(clipHitsPoint(clip, *host.movie(), x, y));
    return Value(!mine.empty && x >= mine.xMin && x <= mine.xMax && y >= mine.yMin && y <= mine.yMax);
}

// Converts the point object's x and y between the clip's space and the stage.
Value convertPoint(ScriptHost& host, Clip& clip, const Value& point, bool toGlobal)
{
    Object* p = point.asObject();
    if (!p)
        return {};
    Vm& vm = host.vm();
    double x = vm.toNumber(vm.get(point, "x")) * 20;
    double y = vm.toNumber(vm.get(point, "y")) * 20;
    double ox = 0, oy = 0;
    if (toGlobal)
        localToGlobalOf(clip, x, y, ox, oy);
    else
        globalToLocalOf(clip, x, y, ox, oy);
    vm.set(point, "x", Value(ox / 20));
    vm.set(point, "y", Value(oy / 20));
    return {};
}

Value localToGlobal(ScriptHost& host, Clip& clip, const Args& a) { return convertPoint(host, clip, arg(a, 0), true); }
Value globalToLocal(ScriptHost& host, Clip& clip, const Args& a) { return convertPoint(host, clip, arg(a, 0), false); }

Value startDrag(ScriptHost& host, Clip& clip, const Args& a)
{
    bool lock = avm1::toBoolean(arg(a, 0), host.vm().version());
    if (a.size() >= 5) {
        double rect[4];
        for (int i = 0; i < 4; ++i)
            rect[i] = host.vm().toNumber(a[std::size_t(i) + 1]);
        host.startDrag(self(host, clip), lock, rect);
    } else {
        host.startDrag(self(host, clip), lock, nullptr);
    }
    return {};
}

Value stopDrag(ScriptHost& host, Clip&, const Args&)
{
    host.stopDrag();
    return {};
}

// A clip playing a loaded movie reports that movie, which is whole once it plays.
// A clip a script made empty holds no bytes of any movie.
bool madeEmpty(const Clip& clip)
{
    return clip.timeline() && clip.timeline()->frames.empty() && !clip.library();
}

Value getSwfVersion(ScriptHost& host, Clip& clip, const Args&)
{
    const Movie* movie = clip.library() ? clip.library().get() : host.movie();
    return movie ? Value(int(movie->header.version)) : Value(-1);
}

Value getBytesLoaded(ScriptHost& host, Clip& clip, const Args&)
{
    if (madeEmpty(clip))
        return Value(0);
    return Value(double(clip.library() ? clip.library()->header.fileLength : host.player().bytesLoaded()));
}

Value getBytesTotal(ScriptHost& host, Clip& clip, const Args&)
{
    if (madeEmpty(clip))
        return Value(0);
    return Value(double(clip.library() ? clip.library()->header.fileLength : host.player().bytesTotal()));
}

Value getUrl(ScriptHost& host, Clip&, const Args& a)
{
    host.player().sendUrl(host.vm().toString(arg(a, 0)), a.size() > 1 ? host.vm().toString(a[1]) : "");
    return {};
}

// loadMovie(url) and unloadMovie(): the movie replaces the clip's content before the next frame.
Value loadMovie(ScriptHost& host, Clip& clip, const Args& a)
{
    host.loadMovie(host.objectOf(&clip), host.vm().toString(arg(a, 0)));
    return {};
}

Value unloadMovie(ScriptHost& host, Clip& clip, const Args&)
{
    host.loadMovie(host.objectOf(&clip), "");
    return {};
}

}  // namespace

Object* installMovieClipClass(Vm& vm, ScriptHost& host)
{
    Object* proto = vm.newObject();
    avm1::makeClass(vm, "MovieClip", proto, [](Vm&, const Value&, const Args&) { return Value(); });
    struct Entry {
        const char* name;
        ClipMethod method;
    };
    static const Entry methods[] = {
        {"gotoAndPlay", gotoAndPlay}, {"gotoAndStop", gotoAndStop}, {"play", play}, {"stop", stop},
        {"nextFrame", nextFrame}, {"prevFrame", prevFrame}, {"getDepth", getDepth},
        {"getNextHighestDepth", getNextHighestDepth}, {"getInstanceAtDepth", getInstanceAtDepth},
        {"swapDepths", swapDepths}, {"createEmptyMovieClip", createEmptyMovieClip}, {"attachMovie", attachMovie},
        {"duplicateMovieClip", duplicateMovieClip}, {"getBounds", getBounds},
        {"getRect", getBounds},  // the bounds without strokes: the same until strokes are told apart
        {"hitTest", hitTest}, {"localToGlobal", localToGlobal}, {"globalToLocal", globalToLocal},
        {"startDrag", startDrag}, {"stopDrag", stopDrag}, {"getBytesLoaded", getBytesLoaded},
        {"getBytesTotal", getBytesTotal}, {"getSWFVersion", getSwfVersion}, {"getURL", getUrl}, {"loadMovie", loadMovie}, {"unloadMovie", unloadMovie},
    };
    for (const Entry& e : methods)
        bind(vm, host, proto, e.name, e.method);
    // Methods Flash added after Flash 5 that movies of earlier versions do not see.
    proto->findOwn("getDepth")->since = 6;
    // Also called on text fields (through apply), which go by the same depth rule.
    vm.method(proto, "removeMovieClip", [&host](Vm&, const Value& self, const Args&) {
        host.removeSprite(self.asObject());
        return Value();
    });
    installDrawingMethods(vm, host, proto);
    // What every clip reads until it is given its own.
    proto->put("enabled", Value(true), avm1::prop::Hidden);
    proto->put("useHandCursor", Value(true), avm1::prop::Hidden);
    proto->put("_lockroot", Value(false), avm1::prop::Hidden);
    return proto;
}

}  // namespace swf
