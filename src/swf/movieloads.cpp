#include "swf/movieloads.h"

#include "swf/avm1/builtins.h"
#include "swf/player.h"
#include "swf/scripthost.h"

#include <cmath>

namespace swf {

using avm1::arg;
using avm1::Object;
using avm1::Value;
using avm1::Vm;

namespace {

// Requests one frame's scripts may leave waiting; a script that asks for more in a loop loses the rest.
constexpr std::size_t kMaxWaitingLoads = 256;
constexpr int kHighestLevel = 0xFFFF;

// A loaded movie starts with a fresh script object: what scripts stored on the clip goes with its old content.
void forgetVariables(Object* object)
{
    std::vector<std::string> names;
    for (const avm1::Property* p : object->ownProperties())
        names.push_back(p->name);
    for (const std::string& name : names)
        object->removeOwn(name);
}

}  // namespace

// ---- the host's side ----

Object* ScriptHost::level(int n)
{
    Clip* clip = m_player.level(n);
    return clip ? objectOf(clip) : nullptr;
}

Object* ScriptHost::rootOf(Object* object)
{
    Clip* clip = clipOf(object);
    if (!clip)
        return root();
    while (clip->parent())
        clip = clip->parent();
    return objectOf(clip);
}

void ScriptHost::loadMovie(Object* clip, const std::string& url)
{
    m_loads->request(clip, -1, url);
}

void ScriptHost::loadMovieNum(int level, const std::string& url)
{
    m_loads->request(nullptr, level, url);
}

// ---- the requests ----

void MovieLoads::request(Object* clip, int level, const std::string& url, Object* loader)
{
    if ((clip || (level >= 0 && level <= kHighestLevel)) && m_requests.size() < kMaxWaitingLoads)
        m_requests.push_back({clip, clip ? -1 : level, url, loader});
}

void MovieLoads::run()
{
    std::vector<Request> requests;
    requests.swap(m_requests);
    for (const Request& r : requests) {
        if (m_host.stoppedByLimit())
            return;
        carryOut(r);
    }
}

void MovieLoads::carryOut(const Request& r)
{
    Player& player = m_host.player();
    Clip* clip = r.level >= 0 ? player.level(r.level) : ScriptHost::clipOf(r.clip);
    if (r.level < 0 && !clip)
        return;  // the clip went before its movie came
    if (r.url.empty()) {
        // Unloading: a level goes, a clip keeps its place with nothing in it.
        if (r.level >= 0) {
            player.setLevel(r.level, nullptr);
        } else {
            forgetVariables(m_host.objectOf(clip));
            clip->replaceMovie(nullptr, m_host.context());
        }
        return;
    }
    const Player::Fetched fetched = player.fetchMovie(r.url);
    if (!fetched.arrived) {
        tell(r.loader, "onLoadError", {Value(r.clip), Value("URLNotFound")});
        return;
    }
    tell(r.loader, "onLoadStart", {Value(r.clip)});
    // Bytes that are neither a movie nor a picture that decodes leave the clip as it was.
    const std::shared_ptr<const Movie>& movie = fetched.movie;
    if (!movie) {
        tell(r.loader, "onLoadError", {Value(r.clip), Value("LoadNeverCompleted")});
        return;
    }
    const double size = double(movie->header.fileLength);
    tell(r.loader, "onLoadProgress", {Value(r.clip), Value(size), Value(size)});
    tell(r.loader, "onLoadComplete", {Value(r.clip), Value(0)});
    // The loader's listeners may have removed the clip meanwhile.
    if (r.level >= 0) {
        player.setLevel(r.level, movie);
        clip = player.level(r.level);
    } else if ((clip = ScriptHost::clipOf(r.clip))) {
        forgetVariables(m_host.objectOf(clip));
        clip->replaceMovie(movie, m_host.context());
    }
    if (!clip)
        return;
    // The clip's own handlers hear that its new content came, then its first frame's scripts run.
    ClipObject* object = m_host.objectOf(clip);
    m_host.dispatch(*clip, clipevent::Data);
    if (object->clip)
        m_host.dispatch(*object->clip, clipevent::Load);
    m_host.runQueue();
    tell(r.loader, "onLoadInit", {Value(static_cast<Object*>(object))});
}

void MovieLoads::tell(Object* loader, const char* message, const std::vector<Value>& args)
{
    if (!loader || m_host.stoppedByLimit())
        return;
    std::vector<Value> all{Value(message)};
    all.insert(all.end(), args.begin(), args.end());
    m_host.callMethod(loader, "broadcastMessage", all);
}

// ---- MovieClipLoader ----

namespace {

// The clip or level a loadClip target names: a clip, a path or a level number.
bool loadTarget(ScriptHost& host, const Value& target, Object*& clip, int& level)
{
    clip = nullptr;
    level = -1;
    if (target.isNumber()) {
        const double n = target.asNumber();
        if (n >= 0 && n <= kHighestLevel && n == std::floor(n))
            level = int(n);
    } else if (target.isString()) {
        clip = host.vm().resolveTarget(host.root(), target.asString());
    } else if (host.isClip(target.asObject())) {
        clip = target.asObject();
    }
    return clip || level >= 0;
}

}  // namespace

void installMovieClipLoader(Vm& vm, ScriptHost& host)
{
    Object* proto = vm.newObject();
    avm1::makeClass(vm, "MovieClipLoader", proto, [](Vm& vm, const Value& self, const std::vector<Value>&) {
        // Every loader is a broadcaster that listens to itself.
        Value broadcaster = vm.get(Value(vm.global()), "AsBroadcaster");
        vm.call(vm.get(broadcaster, "initialize"), broadcaster, {self});
        vm.call(vm.get(self, "addListener"), self, {self});
        return Value();
    });
    vm.method(proto, "loadClip", [&host](Vm& vm, const Value& self, const std::vector<Value>& a) {
        Object* clip = nullptr;
        int level = -1;
        if (a.size() < 2 || !loadTarget(host, a[1], clip, level))
            return Value(false);
        host.loads().request(clip, level, vm.toString(a[0]), self.asObject());
        return Value(true);
    });
    vm.method(proto, "unloadClip", [&host](Vm&, const Value&, const std::vector<Value>& a) {
        Object* clip = nullptr;
        int level = -1;
        if (!loadTarget(host, arg(a, 0), clip, level))
            return Value(false);
        host.loads().request(clip, level, "");
        return Value(true);
    });
    vm.method(proto, "getProgress", [&host](Vm& vm, const Value&, const std::vector<Value>& a) {
        Object* clip = nullptr;
        int level = -1;
        Object* progress = vm.newObject();
        if (loadTarget(host, arg(a, 0), clip, level)) {
            Clip* target = clip ? ScriptHost::clipOf(clip) : host.player().level(level);
            const Movie* movie = target && target->library() ? target->library().get() : host.movie();
            const double size = target && movie ? double(movie->header.fileLength) : 0;
            progress->put("bytesLoaded", Value(size));
            progress->put("bytesTotal", Value(size));
        }
        return Value(progress);
    });
}

}  // namespace swf
