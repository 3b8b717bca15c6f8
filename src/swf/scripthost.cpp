#include "swf/scripthost.h"
#include "swf/textbinding.h"

#include "swf/audio/soundplayer.h"
#include "swf/clipgeometry.h"
#include "swf/displayclasses.h"
#include "swf/limits.h"
#include "swf/movieloads.h"
#include "swf/player.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace swf {

using avm1::ClipProperty;
using avm1::Object;
using avm1::Value;

namespace {

// Ties a clip to its script object; when the clip goes, the object learns it.
class ScriptBinding : public ClipBinding {
public:
    ScriptBinding(ScriptHost& host, ClipObject* object) : m_host(host), object(object) {}
    ~ScriptBinding() override { m_host.clipGone(object); }

private:
    ScriptHost& m_host;

public:
    ClipObject* object;
};

// The handler property that answers a clip event, or null for events without one.
const char* handlerName(std::uint32_t event)
{
    switch (event) {
    case clipevent::Load: return "onLoad";
    case clipevent::EnterFrame: return "onEnterFrame";
    case clipevent::Unload: return "onUnload";
    case clipevent::MouseMove: return "onMouseMove";
    case clipevent::MouseDown: return "onMouseDown";
    case clipevent::MouseUp: return "onMouseUp";
    case clipevent::KeyDown: return "onKeyDown";
    case clipevent::KeyUp: return "onKeyUp";
    case clipevent::Data: return "onData";
    default: return nullptr;
    }
}

// Code of a loaded or imported movie follows its own movie's version; the machine's comes back after it.
class VersionGuard {
public:
    VersionGuard(avm1::Vm& vm, int version) : m_vm(vm), m_saved(vm.version())
    {
        if (version > 0)
            vm.setVersion(version);
    }
    ~VersionGuard() { m_vm.setVersion(m_saved); }
    VersionGuard(const VersionGuard&) = delete;
    VersionGuard& operator=(const VersionGuard&) = delete;

private:
    avm1::Vm& m_vm;
    int m_saved;
};

void collectClips(Clip& clip, LiveClips& out, int nesting = 0)
{
    out.emplace(&clip, clip.serial());
    if (nesting > limits::kMaxSpriteNesting)
        return;
    for (auto& [depth, object] : clip.displayList())
        if (object.clip)
            collectClips(*object.clip, out, nesting + 1);
}

// Children first, then the clip itself, as Flash sends mouse and key events.
void clipsChildrenFirst(Clip& clip, std::vector<Clip*>& out, int nesting = 0)
{
    if (nesting <= limits::kMaxSpriteNesting)
        for (auto it = clip.displayList().rbegin(); it != clip.displayList().rend(); ++it)
            if (it->second.clip)
                clipsChildrenFirst(*it->second.clip, out, nesting + 1);
    out.push_back(&clip);
}

// Init scripts run first, then the initialize handlers of new clips, then their construction, then the rest.
int passOf(const ActionQueue::Entry& e)
{
    if (e.kind == ActionQueue::Kind::Init)
        return 0;
    if (e.kind == ActionQueue::Kind::Event && e.event == clipevent::Initialize)
        return 1;
    if (e.kind == ActionQueue::Kind::Event && e.event == clipevent::Construct)
        return 2;
    return 3;
}

}  // namespace

// ---- the clip object ----

bool ClipObject::getSpecial(avm1::Vm&, const std::string& name, Value& out)
{
    if (!clip || findOwn(name))
        return false;
    if (Clip* child = childNamedAs(*clip, name, caseSensitive())) {
        out = Value(m_host.objectOf(child));
        return true;
    }
    if (Object* field = textFieldObject(m_host, *this, name)) {
        out = Value(field);
        return true;
    }
    if (holdsNamedShape(*clip, name, caseSensitive())) {
        out = Value(this);
        return true;
    }
    int index = avm1::clipPropertyIndex(name);
    if (index >= 0) {
        out = m_host.property(*clip, ClipProperty(index));
        return true;
    }
    if (name == "_parent") {
        out = clip->parent() ? Value(m_host.objectOf(clip->parent())) : Value();
        return true;
    }
    if (name == "_root") {
        out = Value(m_host.rootOf(this));
        return true;
    }
    return false;
}

bool ClipObject::setSpecial(avm1::Vm&, const std::string& name, const Value& value)
{
    if (!clip)
        return false;
    int index = avm1::clipPropertyIndex(name);
    if (index < 0)
        return false;
    m_host.setProperty(*clip, ClipProperty(index), value);
    return true;
}

bool ClipObject::hasSpecial(const std::string& name) const
{
    if (!clip)
        return false;
    return avm1::clipPropertyIndex(name) >= 0 || childNamedAs(*clip, name, caseSensitive()) != nullptr ||
           holdsTextField(*clip, name, caseSensitive()) || holdsNamedShape(*clip, name, caseSensitive()) ||
           name == "_root" || (name == "_parent" && clip->parent());
}

// ---- the host ----

ScriptHost::ScriptHost(Player& player, ActionQueue& queue, std::shared_ptr<const Movie> movie)
    : m_player(player), m_queue(queue), m_movie(std::move(movie)), m_emptySprite(std::make_shared<Sprite>()),
      m_loads(std::make_unique<MovieLoads>(*this))
{
    m_vm = std::make_unique<avm1::Vm>(*this, m_movie ? m_movie->header.version : 10);
    m_clipProto = installMovieClipClass(*m_vm, *this);
    installInputObjects();
    installSelectionObject();
    installColorClass(*m_vm, *this);
    installTextFieldClass(*m_vm, *this, m_clipProto);
    installSoundClass(*m_vm, *this);
    installStageObject(*m_vm, *this);
    installTransformClass(*m_vm, *this, m_clipProto);
    installBitmapDataClass(*m_vm, *this, m_clipProto);
    installClipSurfaceProperties(*m_vm, m_clipProto);
    installMovieClipLoader(*m_vm, *this);
    avm1::installRemainingGlobals(*m_vm);
    m_vm->shareHostGlobals();
    m_frameStart = std::chrono::steady_clock::now();
}

ScriptHost::~ScriptHost()
{
    m_closing = true;
}

ClipContext ScriptHost::context() const
{
    ClipContext context{m_movie.get(), &m_queue, &m_player.sounds(), &m_player.clips()};
    context.removals = const_cast<ScriptHost*>(this);
    return context;
}

bool ScriptHost::delaysRemoval(Clip& clip)
{
    const bool waits = hearsUnload(clip);
    m_removalsWaiting = m_removalsWaiting || waits;
    return waits;
}

bool ScriptHost::hearsUnload(Clip& clip)
{
    const DisplayObject* holder = clip.holder();
    if (holder && holder->placement.clipActions)
        for (const ClipEventHandler& h : *holder->placement.clipActions)
            if (h.events & clipevent::Unload)
                return true;
    if (auto* binding = dynamic_cast<ScriptBinding*>(clip.binding()))
        if (m_vm->has(binding->object, "onUnload"))
            return true;
    for (auto& [depth, object] : clip.displayList())
        if (object.clip && hearsUnload(*object.clip))
            return true;
    return false;
}

void ScriptHost::stopSounds()
{
    m_player.stopSounds();
}

std::string ScriptHost::sharedObjectFolder()
{
    return m_player.sharedObjectFolder();
}

bool ScriptHost::loadText(const std::string& url, std::string& text)
{
    return m_player.listener().loadText(url, text);
}

int ScriptHost::requestText(const std::string& url, const std::string& method, const std::string& body)
{
    const int request = ++m_lastTextRequest;
    return m_player.listener().requestText(request, url, method, body) ? request : 0;
}

std::string ScriptHost::language()
{
    return m_player.language();
}

bool ScriptHost::registerClass(const std::string& name, const Value& constructor)
{
    std::uint16_t id = m_movie ? m_movie->exported(name) : 0;
    if (!id)
        return false;
    if (m_vm->isCallable(constructor))
        m_classes[id] = constructor.asObject();
    else
        m_classes.erase(id);
    return true;
}

Object* ScriptHost::classOf(Clip& clip)
{
    DisplayObject* holder = clip.holder();
    if (!holder || m_classes.empty())
        return nullptr;
    auto found = m_classes.find(holder->placement.characterId);
    return found == m_classes.end() ? nullptr : found->second;
}

void ScriptHost::construct(Clip& clip, const Value& init)
{
    Object* constructor = classOf(clip);
    DisplayObject* holder = clip.holder();
    bool handlers = false;
    if (holder && holder->placement.clipActions)
        for (const ClipEventHandler& h : *holder->placement.clipActions)
            handlers = handlers || (h.events & clipevent::Construct);
    Object* source = init.asObject();
    if (!constructor && !handlers && !source && !clip.binding())
        return;
    ClipObject* object = objectOf(&clip);
    if (object->constructed)
        return;
    object->constructed = true;
    Object* proto = nullptr;
    if (constructor) {
        proto = m_vm->get(Value(constructor), "prototype").asObject();
        if (proto)
            object->setProto(proto);
        object->put("__constructor__", Value(constructor), avm1::prop::Hidden);
        if (m_vm->version() < 7)
            object->put("constructor", Value(constructor), avm1::prop::Hidden);
    }
    if (source)
        for (const std::string& name : m_vm->enumerate(source))
            m_vm->set(Value(object), name, m_vm->get(init, name));
    if (handlers)
        runEvent(clip, clipevent::Construct, 0);
    if (constructor && object->clip) {
        m_vm->call(Value(constructor), Value(object), {}, proto);
        if (m_vm->throwing())
            m_vm->takeThrown();
    }
}

ClipObject* ScriptHost::objectOf(Clip* clip)
{
    if (!clip)
        return nullptr;
    if (auto* binding = dynamic_cast<ScriptBinding*>(clip->binding()))
        return binding->object;
    // A clip of a loaded or imported movie takes names with or without case as its own movie's version says.
    const Movie* movie = clip->library() ? clip->library().get() : m_movie.get();
    const int version = movie ? movie->header.version : m_vm->version();
    auto* object = m_vm->adopt(std::make_unique<ClipObject>(m_clipProto, version >= 7, *this, clip));
    clip->setBinding(std::make_unique<ScriptBinding>(*this, object));
    // What a removed clip still answers is taken now: when it goes, its parent's list may be half torn down.
    object->lastPath = dottedPath(*clip);
    if (DisplayObject* holder = clip->holder())
        object->handlers = holder->placement.clipActions;
    return object;
}

Clip* ScriptHost::clipOf(Object* object)
{
    if (!object || object->kind() != avm1::ObjectKind::DisplayObject)
        return nullptr;
    return static_cast<ClipObject*>(object)->clip;
}

void ScriptHost::clipGone(ClipObject* object)
{
    if (!object || !object->clip)
        return;
    if (m_drag == object->clip)
        m_drag = nullptr;
    // Scripts still queued for the clip must not run for a clip made later at the same address.
    if (!m_closing)
        m_queue.dropClip(object->clip);
    const bool unloaded = object->clip->removalPending();
    object->clip = nullptr;
    if (!m_closing && !unloaded)
        m_pendingUnloads.push_back(object);
}

void ScriptHost::beginFrame()
{
    m_vm->beginFrame();
    m_frameStart = std::chrono::steady_clock::now();
}

std::shared_ptr<const std::vector<std::uint8_t>> ScriptHost::codeOf(const std::shared_ptr<const void>& owner,
                                                                    const std::vector<std::uint8_t>& bytes)
{
    // Shares ownership with what holds the bytes, so functions defined by the script keep them alive.
    return std::shared_ptr<const std::vector<std::uint8_t>>(owner, &bytes);
}

void ScriptHost::runQueue()
{
    // Fields placed in this step tie themselves to their variables before any script of the step runs, and every
    // field then shows what the scripts left in its variable.
    if (Clip* root = m_player.root())
        syncBindings(*this, *root);
    runBatches();
    if (Clip* root = m_player.root())
        syncBindings(*this, *root);
}

void ScriptHost::runBatches()
{
    std::size_t blocks = 0;
    runPendingUnloads();
    Clip* root = m_player.root();
    while (!m_queue.empty() && root) {
        std::vector<ActionQueue::Entry> batch = m_queue.take();
        LiveClips alive;
        collectAll(*root, alive);
        for (int pass = 0; pass < 4; ++pass) {
            for (const ActionQueue::Entry& e : batch) {
                if (passOf(e) != pass)
                    continue;
                auto live = alive.find(e.clip);
                if (live == alive.end() || live->second != e.serial)
                    continue;  // the clip went away earlier in this frame
                if (e.clip->removalPending() && !(e.kind == ActionQueue::Kind::Event && e.event == clipevent::Unload))
                    continue;  // a clip waiting for removal only hears its unload
                if (e.kind != ActionQueue::Kind::Event && ++blocks > limits::kMaxActionBlocksPerFrame) {
                    m_queue.clear();
                    warning("too many frame scripts in one frame; the rest were not run");
                    return;
                }
                runEntry(e);
                if (!m_pendingUnloads.empty() || e.kind != ActionQueue::Kind::Event) {
                    alive.clear();
                    collectAll(*root, alive);
                }
                runPendingUnloads();
            }
        }
    }
}

void ScriptHost::collectAll(Clip& root, LiveClips& alive)
{
    collectClips(root, alive);
    for (Clip* level : m_player.levelRoots())
        collectClips(*level, alive);
}

void ScriptHost::runEntry(const ActionQueue::Entry& e)
{
    const VersionGuard version(*m_vm, e.clip->library() ? e.clip->library()->header.version : 0);
    switch (e.kind) {
    case ActionQueue::Kind::Init:
        if (!e.actions || !m_initDone.insert({e.clip->library().get(), e.sprite}).second)
            return;
        m_vm->runScript(codeOf(e.owner ? e.owner : e.clip->owner(), *e.actions), objectOf(e.clip));
        break;
    case ActionQueue::Kind::Frame:
        if (e.actions)
            m_vm->runScript(codeOf(e.owner ? e.owner : e.clip->owner(), *e.actions), objectOf(e.clip));
        break;
    case ActionQueue::Kind::Event:
        if (e.event == clipevent::Construct)
            construct(*e.clip);
        else
            runEvent(*e.clip, e.event, 0);
        break;
    }
}

void ScriptHost::runEvent(Clip& clip, std::uint32_t event, int key)
{
    DisplayObject* holder = clip.holder();
    bool hasHandlers = holder && holder->placement.clipActions;
    if (!hasHandlers && !clip.binding())
        return;
    // A handler may remove the clip; its object says so, and the rest are not run.
    ClipObject* object = objectOf(&clip);
    const VersionGuard version(*m_vm, clip.library() ? clip.library()->header.version : 0);
    if (hasHandlers) {
        auto handlers = holder->placement.clipActions;
        for (const ClipEventHandler& h : *handlers) {
            if (!(h.events & event) || (event == clipevent::KeyPress && h.keyCode != key))
                continue;
            m_vm->runScript(codeOf(handlers, h.actions), object);
            if (!object->clip)
                return;
        }
    }
    if (const char* name = handlerName(event))
        callMethod(object, name);
}

void ScriptHost::dispatch(Clip& clip, std::uint32_t event, int key)
{
    runEvent(clip, event, key);
}

void ScriptHost::broadcast(std::uint32_t event, int key)
{
    Clip* root = m_player.root();
    if (!root)
        return;
    std::vector<Clip*> clips;
    clipsChildrenFirst(*root, clips);
    LiveClips alive;
    collectClips(*root, alive);
    const LiveClips sent = alive;
    for (Clip* clip : clips) {
        auto live = alive.find(clip);
        if (live == alive.end() || live->second != sent.at(clip))
            continue;
        DisplayObject* holder = clip->holder();
        if (!clip->binding() && !(holder && holder->placement.clipActions))
            continue;
        runEvent(*clip, event, key);
        alive.clear();
        collectClips(*root, alive);
    }
    runPendingUnloads();
}

bool ScriptHost::callMethod(Object* object, const std::string& name, const std::vector<Value>& args)
{
    if (!object)
        return false;
    Value f = m_vm->get(Value(object), name);
    if (!m_vm->isCallable(f))
        return false;
    m_vm->call(f, Value(object), args);
    if (m_vm->throwing())
        m_vm->takeThrown();
    return true;
}

void ScriptHost::runPendingUnloads()
{
    while (!m_pendingUnloads.empty()) {
        std::vector<ClipObject*> gone;
        gone.swap(m_pendingUnloads);
        for (ClipObject* object : gone) {
            if (object->handlers)
                for (const ClipEventHandler& h : *object->handlers)
                    if (h.events & clipevent::Unload)
                        m_vm->runScript(codeOf(object->handlers, h.actions), object);
            callMethod(object, "onUnload");
        }
    }
}

// ---- output and time ----

void ScriptHost::trace(const std::string& line)
{
    m_player.listener().trace(line);
}

void ScriptHost::fscommand(const std::string& command, const std::string& argument)
{
    m_player.listener().fsCommand(command, argument);
}

void ScriptHost::getUrl(const std::string& url, const std::string& target, int)
{
    m_player.sendUrl(url, target);
}

void ScriptHost::warning(const std::string& message)
{
    m_player.listener().warning(message);
}

double ScriptHost::nowMs() const
{
    return m_player.clock();
}

double ScriptHost::scriptElapsedMs() const
{
    // The only wall-clock reading of the engine: the limit on script time per frame.
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_frameStart).count();
}

// ---- the tree ----

Object* ScriptHost::root()
{
    return objectOf(m_player.root());
}

Object* ScriptHost::parentOf(Object* object)
{
    Clip* clip = clipOf(object);
    return clip && clip->parent() ? objectOf(clip->parent()) : nullptr;
}

bool ScriptHost::isClip(const Object* object) const
{
    // Text fields are display objects too: they convert to their path as clips do.
    return object && (object->kind() == avm1::ObjectKind::DisplayObject || isTextFieldObject(object));
}

int ScriptHost::versionOf(Object* object)
{
    const Clip* clip = clipOf(object);
    return clip && clip->library() ? clip->library()->header.version : 0;
}

const char* ScriptHost::displayTypeName(Object* object)
{
    if (isTextFieldObject(object))
        return "object";
    Clip* clip = clipOf(object);
    DisplayObject* holder = clip ? clip->holder() : nullptr;
    return holder && holder->character.kind == CharacterKind::Button ? "object" : "movieclip";
}

Object* ScriptHost::childClip(Object* object, const std::string& name)
{
    Clip* clip = clipOf(object);
    Clip* child = clip ? childNamedAs(*clip, name, object->caseSensitive()) : nullptr;
    if (child)
        return objectOf(child);
    // Paths reach text fields too (removeMovieClip("field") finds the field).
    return clip ? textFieldObject(*this, *objectOf(clip), name) : nullptr;
}

std::string ScriptHost::targetPath(Object* object)
{
    if (isTextFieldObject(object))
        return textFieldPath(*this, object);
    if (!isClip(object))
        return "";
    // A removed clip has no path any more.
    auto* clipObject = static_cast<ClipObject*>(object);
    return clipObject->clip ? dottedPath(*clipObject->clip) : std::string();
}

std::string ScriptHost::dottedPath(Clip& clip)
{
    if (!clip.parent())
        return "_level" + std::to_string(std::max(0, m_player.levelOf(&clip)));
    DisplayObject* holder = clip.holder();
    return dottedPath(*clip.parent()) + "." + (holder ? holder->placement.name : std::string());
}

std::string ScriptHost::slashPath(Clip& clip)
{
    if (!clip.parent())
        return m_player.levelOf(&clip) > 0 ? "_level" + std::to_string(m_player.levelOf(&clip)) : "/";
    DisplayObject* holder = clip.holder();
    std::string parent = slashPath(*clip.parent());
    return (parent == "/" ? parent : parent + "/") + (holder ? holder->placement.name : std::string());
}

Value ScriptHost::getClipProperty(Object* object, ClipProperty p)
{
    Clip* clip = clipOf(object);
    return clip ? property(*clip, p) : Value();
}

void ScriptHost::setClipProperty(Object* object, ClipProperty p, const Value& v)
{
    if (Clip* clip = clipOf(object))
        setProperty(*clip, p, v);
}

// ---- timeline control ----

void ScriptHost::gotoFrame(Object* object, int frame, bool play)
{
    Clip* clip = clipOf(object);
    if (!clip || frame < 0)
        return;
    clip->gotoFrame(static_cast<std::size_t>(frame), context());
    clip->setPlaying(play);
}

bool ScriptHost::gotoLabel(Object* object, const std::string& label, bool play, int offset)
{
    Clip* clip = clipOf(object);
    if (!clip || !clip->timeline())
        return false;
    long frame = clip->timeline()->frameOfLabel(label);
    if (frame < 0)
        return false;
    gotoFrame(object, int(frame) + offset, play);
    return true;
}

void ScriptHost::play(Object* object)
{
    if (Clip* clip = clipOf(object))
        clip->setPlaying(true);
}

void ScriptHost::stop(Object* object)
{
    if (Clip* clip = clipOf(object))
        clip->setPlaying(false);
}

void ScriptHost::nextFrame(Object* object)
{
    if (Clip* clip = clipOf(object))
        gotoFrame(object, int(clip->currentFrame()) + 1, false);
}

void ScriptHost::prevFrame(Object* object)
{
    Clip* clip = clipOf(object);
    if (clip && clip->currentFrame() > 0)
        gotoFrame(object, int(clip->currentFrame()) - 1, false);
    else if (clip)
        clip->setPlaying(false);
}

int ScriptHost::currentFrame(Object* object)
{
    Clip* clip = clipOf(object);
    return clip ? int(clip->currentFrame()) : 0;
}

int ScriptHost::framesLoaded(Object* object)
{
    Clip* clip = clipOf(object);
    return clip ? int(clip->availableFrames()) : 0;
}

void ScriptHost::toggleQuality()
{
    m_player.toggleQuality();
}

void ScriptHost::cloneSprite(Object* object, const std::string& name, int depth)
{
    if (Clip* clip = clipOf(object))
        duplicate(*clip, name, depth);
}

void ScriptHost::removeSprite(Object* object)
{
    if (Clip* clip = clipOf(object))
        remove(*clip);
    else
        removeTextFieldAtScriptDepth(object);
}

void ScriptHost::callFrame(Object* object, const std::string& frame)
{
    Clip* clip = clipOf(object);
    std::string label = frame;
    if (std::size_t colon = frame.rfind(':'); colon != std::string::npos) {
        clip = clipOf(m_vm->resolveTarget(object, frame.substr(0, colon)));
        label = frame.substr(colon + 1);
    }
    if (!clip || !clip->timeline())
        return;
    long index = clip->timeline()->frameOfLabel(label);
    if (index < 0) {
        double n = avm1::stringToNumber(label, m_vm->version());
        index = std::isnan(n) || n < 1 ? -1 : long(n) - 1;
    }
    if (index < 0 || std::size_t(index) >= clip->timeline()->frames.size())
        return;
    // A frame that calls itself ends at the call depth limit.
    if (!m_vm->enterCall())
        return;
    for (const ControlTag& t : clip->timeline()->frames[std::size_t(index)].tags)
        if (t.kind == ControlTag::Kind::Actions)
            m_vm->runScript(codeOf(clip->owner(), t.actions), objectOf(clip));
    m_vm->leaveCall();
}

// ---- script-made clips ----

namespace {

// The display list depth of an ActionScript depth, or -1 when it lies outside the range scripts may use.
long listDepth(int depth)
{
    if (depth < limits::kMinScriptDepth || depth > limits::kMaxScriptDepth)
        return -1;
    return long(depth) + kFirstScriptDepth;
}

}  // namespace

Clip* ScriptHost::duplicate(Clip& source, const std::string& name, int depth)
{
    Clip* parent = source.parent();
    DisplayObject* holder = source.holder();
    long d = listDepth(depth);
    if (!parent || !holder || d < 0)
        return nullptr;
    Placement placement = holder->placement;
    placement.name = name;
    placement.clipDepth = 0;
    if (holder->character.sprite == m_emptySprite) {
        // A clip scripts made empty has no character to place again: make another, with the same look.
        Clip* made = createEmpty(*parent, name, depth);
        if (made) {
            made->holder()->placement = placement;
            copyDrawing(source, *made);
        }
        return made;
    }
    parent->placeObject(std::int32_t(d), placement, context());
    auto it = parent->displayList().find(std::int32_t(d));
    if (it == parent->displayList().end() || !it->second.clip)
        return nullptr;
    it->second.scripted = true;
    copyDrawing(source, *it->second.clip);
    return it->second.clip.get();
}

bool ScriptHost::remove(Clip& clip)
{
    Clip* parent = clip.parent();
    if (!parent)
        return false;
    const std::int32_t depth = clip.depth();
    const long scriptDepth = long(depth) - kFirstScriptDepth;
    if (scriptDepth < 0 || scriptDepth >= limits::kMaxRemovableScriptDepth)
        return false;  // only clips at script depths can be removed by script
    parent->removeAt(depth, context());
    return true;
}

Clip* ScriptHost::attach(Clip& parent, std::uint16_t characterId, const std::string& name, int depth)
{
    long d = listDepth(depth);
    const Character* character = m_movie ? m_movie->character(characterId) : nullptr;
    if (d < 0 || !character || character->kind != CharacterKind::Sprite)
        return nullptr;
    Placement placement;
    placement.characterId = characterId;
    placement.name = name;
    parent.placeObject(std::int32_t(d), placement, context());
    auto it = parent.displayList().find(std::int32_t(d));
    if (it == parent.displayList().end() || !it->second.clip)
        return nullptr;
    it->second.scripted = true;
    return it->second.clip.get();
}

Clip* ScriptHost::createEmpty(Clip& parent, const std::string& name, int depth)
{
    long d = listDepth(depth);
    if (d < 0)
        return nullptr;
    DisplayObject object;
    object.placement.name = name;
    object.character.kind = CharacterKind::Sprite;
    object.character.sprite = m_emptySprite;
    object.clip = std::make_unique<Clip>(m_emptySprite, &m_emptySprite->timeline, &parent);
    object.scripted = true;
    Clip* made = object.clip.get();
    m_player.clips().add(*made);
    parent.displayList()[std::int32_t(d)] = std::move(object);
    return made;
}

// ---- dragging ----

void ScriptHost::startDrag(Object* object, bool lockCenter, const double* rect)
{
    m_drag = clipOf(object);
    m_dragLockCenter = lockCenter;
    m_dragConstrained = rect != nullptr;
    if (rect)
        std::copy(rect, rect + 4, m_dragRect);
    m_dragOffsetX = m_dragOffsetY = 0;
    if (m_drag && !m_drag->parent())
        m_drag = nullptr;  // the root does not move
    if (m_drag && !lockCenter) {
        double px = 0, py = 0;
        globalToLocalOf(*m_drag->parent(), m_pointerX, m_pointerY, px, py);
        DisplayObject* holder = m_drag->holder();
        if (holder) {
            m_dragOffsetX = holder->placement.matrix.tx - px;
            m_dragOffsetY = holder->placement.matrix.ty - py;
        }
    }
    moveDragged();
}

void ScriptHost::stopDrag()
{
    m_drag = nullptr;
}

void ScriptHost::moveDragged()
{
    if (!m_drag || !m_drag->parent())
        return;
    DisplayObject* holder = m_drag->holder();
    if (!holder)
        return;
    double x = 0, y = 0;
    globalToLocalOf(*m_drag->parent(), m_pointerX, m_pointerY, x, y);
    x += m_dragOffsetX;
    y += m_dragOffsetY;
    if (m_dragConstrained) {
        // left, top, right, bottom in pixels
        x = std::clamp(x, std::min(m_dragRect[0], m_dragRect[2]) * 20, std::max(m_dragRect[0], m_dragRect[2]) * 20);
        y = std::clamp(y, std::min(m_dragRect[1], m_dragRect[3]) * 20, std::max(m_dragRect[1], m_dragRect[3]) * 20);
    }
    holder->placement.matrix.tx = x;
    holder->placement.matrix.ty = y;
    holder->scriptMoved = true;
}

}  // namespace swf
