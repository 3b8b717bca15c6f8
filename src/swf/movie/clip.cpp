#include "swf/movie/clip.h"

#include "swf/limits.h"

#include <algorithm>

namespace swf {

Placement placementOf(const ButtonRecord& record)
{
    Placement p;
    p.characterId = record.characterId;
    p.matrix = record.matrix;
    p.colorTransform = record.colorTransform;
    p.blendMode = record.blendMode;
    p.filters = record.filters;
    return p;
}

namespace {

void applyPlace(PlacementState& state, const PlaceObject& p)
{
    auto it = state.find(p.depth);
    Placement* target = nullptr;
    if (p.characterId && (!p.move || it == state.end())) {
        // A fresh placement; without the move flag an object already at the depth is replaced.
        Placement fresh;
        fresh.characterId = *p.characterId;
        target = &(state[p.depth] = fresh);
    } else if (it != state.end()) {
        target = &it->second;
        if (p.characterId)
            target->characterId = *p.characterId;
    } else {
        return;  // moving an object that is not there
    }
    if (p.matrix)
        target->matrix = *p.matrix;
    if (p.colorTransform)
        target->colorTransform = *p.colorTransform;
    if (p.ratio)
        target->ratio = *p.ratio;
    if (p.name)
        target->name = *p.name;
    if (p.clipDepth)
        target->clipDepth = *p.clipDepth;
    if (p.blendMode)
        target->blendMode = *p.blendMode;
    if (p.filters)
        target->filters = *p.filters;
    if (p.cacheAsBitmap)
        target->cacheAsBitmap = *p.cacheAsBitmap;
    if (p.visible)
        target->visible = *p.visible;
    if (p.opaqueBackground)
        target->surface.opaqueBackground = *p.opaqueBackground;
    if (!p.clipActions.empty())
        target->clipActions = std::make_shared<const std::vector<ClipEventHandler>>(p.clipActions);
}

// Keeps what a script set on an object when the timeline updates its placement.
void updatePlacement(DisplayObject& object, const Placement& placement)
{
    if (!object.scriptMoved) {
        object.placement = placement;
        return;
    }
    Placement kept = object.placement;
    object.placement = placement;
    object.placement.matrix = kept.matrix;
    object.placement.colorTransform = kept.colorTransform;
    object.placement.visible = kept.visible;
    object.placement.surface = kept.surface;
    object.placement.name = kept.name;
}

}  // namespace

void applyControlTag(PlacementState& state, const ControlTag& tag)
{
    if (tag.kind == ControlTag::Kind::Place)
        applyPlace(state, tag.place);
    else if (tag.kind == ControlTag::Kind::Remove)
        state.erase(tag.depth);
}

PlacementState SnapshotCache::stateAt(const Timeline& timeline, std::size_t frame)
{
    auto replay = [&](PlacementState& state, std::size_t from, std::size_t to) {
        for (std::size_t f = from; f <= to && f < timeline.frames.size(); ++f)
            for (const ControlTag& t : timeline.frames[f].tags)
                applyControlTag(state, t);
    };
    std::size_t last = std::min(frame, timeline.frames.empty() ? 0 : timeline.frames.size() - 1);
    if (m_snapshots.empty()) {
        m_snapshots.emplace_back();
        replay(m_snapshots.back(), 0, 0);
    }
    // Snapshot i holds the state after frame i * interval; extend them up to the frame, then replay the rest.
    while (m_snapshots.size() * kSnapshotInterval <= last) {
        PlacementState state = m_snapshots.back();
        std::size_t from = (m_snapshots.size() - 1) * kSnapshotInterval;
        replay(state, from + 1, from + kSnapshotInterval);
        m_snapshots.push_back(std::move(state));
    }
    std::size_t index = last / kSnapshotInterval;
    PlacementState state = m_snapshots[index];
    replay(state, index * kSnapshotInterval + 1, last);
    return state;
}

std::vector<ActionQueue::Entry> ActionQueue::take()
{
    std::vector<Entry> out;
    out.swap(m_entries);
    return out;
}

Clip::Clip(std::shared_ptr<const void> owner, const Timeline* timeline, Clip* parent)
    : m_owner(std::move(owner)), m_timeline(timeline), m_parent(parent), m_nesting(parent ? parent->m_nesting + 1 : 0)
{
    if (!parent)
        m_ownPlacement = std::make_unique<Placement>();
}

std::size_t Clip::frameCount() const
{
    return m_timeline && !m_timeline->frames.empty() ? m_timeline->frames.size() : 1;
}

std::size_t Clip::availableFrames() const
{
    std::size_t total = m_timeline ? m_timeline->frames.size() : 0;
    return std::max<std::size_t>(1, std::min(total, m_available));
}

void Clip::resetTimeline(std::shared_ptr<const void> owner, const Timeline* timeline)
{
    m_owner = std::move(owner);
    m_timeline = timeline;
    m_snapshots.reset(m_snapshots ? new SnapshotCache : nullptr);
}

void Clip::replaceMovie(std::shared_ptr<const Movie> movie, const ClipContext& context)
{
    // Children go first, so their unload events come before anything of the new movie.
    while (!m_displayList.empty())
        m_displayList.erase(m_displayList.begin());
    m_drawing.reset();
    m_timeline = movie ? movie->root.get() : nullptr;
    m_available = movie ? movie->framesLoaded : 0;
    m_owner = movie;
    m_library = std::move(movie);
    m_playing = true;
    if (m_snapshots)
        m_snapshots = std::make_unique<SnapshotCache>();
    enterFirstFrame(context);
}

void Clip::enterFirstFrame(const ClipContext& context)
{
    m_frame = 0;
    applyFrame(0, context);
}

void Clip::applyFrame(std::size_t frame, const ClipContext& context)
{
    if (!m_timeline || frame >= m_timeline->frames.size())
        return;
    for (const ControlTag& t : m_timeline->frames[frame].tags) {
        if (t.kind == ControlTag::Kind::Actions) {
            if (context.actions)
                context.actions->push(this, &t.actions);
        } else if (t.kind == ControlTag::Kind::InitActions) {
            if (context.actions)
                context.actions->push({this, &t.actions, ActionQueue::Kind::Init, 0, t.depth});
        } else if (t.kind != ControlTag::Kind::StartSound) {
            apply(t, context);
        }
    }
    enterSounds(frame, context);
}

void Clip::enterSounds(std::size_t frame, const ClipContext& context)
{
    if (!context.sounds || !m_timeline || frame >= m_timeline->frames.size())
        return;
    for (const ControlTag& t : m_timeline->frames[frame].tags)
        if (t.kind == ControlTag::Kind::StartSound && t.sound)
            context.sounds->startSound(*t.sound);
    context.sounds->frameEntered(*this, frame);
}

void Clip::queueActions(std::size_t frame, const ClipContext& context)
{
    if (!m_timeline || frame >= m_timeline->frames.size() || !context.actions)
        return;
    for (const ControlTag& t : m_timeline->frames[frame].tags) {
        if (t.kind == ControlTag::Kind::Actions)
            context.actions->push(this, &t.actions);
        else if (t.kind == ControlTag::Kind::InitActions)
            context.actions->push({this, &t.actions, ActionQueue::Kind::Init, 0, t.depth});
    }
}

DisplayObject* Clip::holder() const
{
    if (!m_parent)
        return nullptr;
    for (auto& [depth, object] : m_parent->m_displayList)
        if (object.clip.get() == this)
            return &object;
    return nullptr;
}

Placement* Clip::placement() const
{
    if (m_ownPlacement)
        return m_ownPlacement.get();
    DisplayObject* object = holder();
    return object ? &object->placement : nullptr;
}

std::int32_t Clip::depth() const
{
    if (m_parent)
        for (auto& [depth, object] : m_parent->m_displayList)
            if (object.clip.get() == this)
                return depth;
    return 0;
}

void Clip::swapDepths(std::int32_t from, std::int32_t to)
{
    if (from == to)
        return;
    auto a = m_displayList.find(from);
    if (a == m_displayList.end())
        return;
    auto b = m_displayList.find(to);
    DisplayObject moving = std::move(a->second);
    moving.scripted = true;
    if (b != m_displayList.end()) {
        a->second = std::move(b->second);
        a->second.scripted = true;
        b->second = std::move(moving);
    } else {
        m_displayList.erase(a);
        m_displayList.emplace(to, std::move(moving));
    }
}

void Clip::placeObject(std::int32_t depth, const Placement& placement, const ClipContext& context)
{
    const Movie* movie = m_library ? m_library.get() : context.movie;
    const Character* character = movie ? movie->character(placement.characterId) : nullptr;
    if (!character) {
        m_displayList.erase(depth);
        return;
    }
    bool container = character->kind == CharacterKind::Sprite || character->kind == CharacterKind::Button;
    if (container && (m_nesting + 1 > limits::kMaxSpriteNesting || ++*context.clipsCreated > limits::kMaxClipsPerStep)) {
        m_displayList.erase(depth);
        return;
    }
    DisplayObject object;
    object.placement = placement;
    object.character = *character;
    // Text fields are named too, so that scripts can reach them as instances.
    const bool named = container || character->kind == CharacterKind::EditText;
    if (named && object.placement.name.empty() && context.actions)
        object.placement.name = context.actions->nextInstanceName();
    if (character->kind == CharacterKind::Sprite) {
        object.clip = std::make_unique<Clip>(character->sprite, &character->sprite->timeline, this);
        object.clip->m_library = character->library ? character->library : m_library;
        // Initialize and construct come before everything else the new clip does; the load event comes before its
        // first frame script.
        if (context.actions) {
            context.actions->push({object.clip.get(), nullptr, ActionQueue::Kind::Event, clipevent::Initialize});
            context.actions->push({object.clip.get(), nullptr, ActionQueue::Kind::Event, clipevent::Construct});
            context.actions->push({object.clip.get(), nullptr, ActionQueue::Kind::Event, clipevent::Load});
        }
        object.clip->enterFirstFrame(context);
    } else if (character->kind == CharacterKind::Button) {
        // A button shows its up state; each up record becomes a child at its own depth.
        object.clip = std::make_unique<Clip>(character->button, nullptr, this);
        object.clip->m_library = character->library ? character->library : m_library;
        for (const ButtonRecord& r : character->button->records) {
            if (r.up && r.characterId != placement.characterId)
                object.clip->placeObject(r.depth, placementOf(r), context);
        }
    } else if (character->kind == CharacterKind::EditText && character->editText) {
        object.textField = std::make_unique<EditTextField>(character->editText);
    }
    m_displayList[depth] = std::move(object);
}

void Clip::apply(const ControlTag& tag, const ClipContext& context)
{
    if (tag.kind == ControlTag::Kind::Remove) {
        m_displayList.erase(tag.depth);
        return;
    }
    const PlaceObject& p = tag.place;
    auto it = m_displayList.find(p.depth);
    PlacementState single;
    if (it != m_displayList.end())
        single[p.depth] = it->second.placement;
    applyPlace(single, p);
    auto placed = single.find(p.depth);
    if (placed == single.end())
        return;
    bool sameObject = it != m_displayList.end() && p.move &&
                      (!p.characterId || *p.characterId == it->second.placement.characterId);
    if (sameObject)
        updatePlacement(it->second, placed->second);
    else
        placeObject(p.depth, placed->second, context);
}

void Clip::reconcile(const PlacementState& target, const ClipContext& context)
{
    for (auto it = m_displayList.begin(); it != m_displayList.end();) {
        auto wanted = target.find(it->first);
        bool keptByScript = it->second.scripted && it->first >= kFirstScriptDepth;
        if (keptByScript && wanted == target.end())
            ++it;
        else if (wanted == target.end() || wanted->second.characterId != it->second.placement.characterId)
            it = m_displayList.erase(it);
        else
            ++it;
    }
    for (const auto& [depth, placement] : target) {
        auto it = m_displayList.find(depth);
        if (it != m_displayList.end())
            updatePlacement(it->second, placement);  // persists: its own state (a sprite's frame) survives
        else
            placeObject(depth, placement, context);
    }
}

void Clip::gotoFrame(std::size_t frame, const ClipContext& context)
{
    std::size_t last = availableFrames() - 1;
    frame = std::min(frame, last);
    if (!m_timeline || frame == m_frame)
        return;
    if (frame == m_frame + 1) {
        m_frame = frame;
        applyFrame(frame, context);
        return;
    }
    PlacementState state;
    if (m_snapshots) {
        state = m_snapshots->stateAt(*m_timeline, frame);
    } else {
        for (std::size_t f = 0; f <= frame; ++f)
            for (const ControlTag& t : m_timeline->frames[f].tags)
                applyControlTag(state, t);
    }
    m_frame = frame;
    reconcile(state, context);
    queueActions(frame, context);
    enterSounds(frame, context);
}

void Clip::advance(const ClipContext& context, bool loop)
{
    // Children that exist move first, so their enterFrame events and frame scripts come before the parent's;
    // a clip's enterFrame event comes before the scripts of the frame it moves to.
    std::vector<Clip*> existing;
    for (auto& [depth, object] : m_displayList)
        if (object.clip)
            existing.push_back(object.clip.get());
    // A child's advance only queues scripts, so the list cannot change under this loop.
    for (Clip* child : existing)
        child->advance(context, true);
    if (context.actions)
        context.actions->push({this, nullptr, ActionQueue::Kind::Event, clipevent::EnterFrame});
    if (m_playing && m_timeline && frameCount() > 1) {
        if (m_frame + 1 < availableFrames())
            gotoFrame(m_frame + 1, context);
        else if (loop && availableFrames() == frameCount())
            gotoFrame(0, context);
    }
}

Clip::~Clip()
{
    // Children go before their parent, so their unload events come first.
    while (!m_displayList.empty())
        m_displayList.erase(m_displayList.begin());
    m_binding.reset();
    setMaskClip(nullptr);
    if (m_masked)
        m_masked->setMaskClip(nullptr);
}

void Clip::setMaskClip(Clip* mask)
{
    if (mask == this)
        mask = nullptr;
    if (m_mask)
        m_mask->m_masked = nullptr;
    if (mask && mask->m_masked)
        mask->m_masked->m_mask = nullptr;
    m_mask = mask;
    if (mask)
        mask->m_masked = this;
}

Clip* Clip::childNamed(const std::string& name)
{
    for (auto& [depth, object] : m_displayList)
        if (object.clip && object.placement.name == name)
            return object.clip.get();
    return nullptr;
}

}  // namespace swf
