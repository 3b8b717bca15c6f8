#include "swf/movie/clip.h"

#include "swf/limits.h"

#include <algorithm>
#include <atomic>

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

void applyPlace(PlacementState& state, const PlaceObject& p, std::uint64_t position)
{
    auto it = state.find(p.depth);
    Placement* target = nullptr;
    if (p.characterId && (!p.move || it == state.end())) {
        // A fresh placement; without the move flag an object already at the depth is replaced.
        Placement fresh;
        fresh.characterId = *p.characterId;
        fresh.position = position;
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

// Updates an object the timeline places again. What it was placed as (character, name, mask depth, clip
// events) stays for its life, and what a script set on it stays too.
void updatePlacement(DisplayObject& object, const Placement& placement)
{
    Placement kept = object.placement;
    object.placement = placement;
    object.placement.characterId = kept.characterId;
    object.placement.name = kept.name;
    object.placement.clipDepth = kept.clipDepth;
    object.placement.clipActions = kept.clipActions;
    object.placement.position = kept.position;
    if (object.scriptMoved) {
        object.placement.matrix = kept.matrix;
        object.placement.scaleRotation = kept.scaleRotation;
        object.placement.colorTransform = kept.colorTransform;
        object.placement.visible = kept.visible;
    }
    object.placement.surface = kept.surface;
}

// Whether an object at a timeline depth stays when its timeline goes back to a frame whose placement there
// is `wanted`. A clip stays even as another sprite; other objects only as the same character.
bool survivesRewind(const DisplayObject& object, const Placement& wanted)
{
    if (object.placement.ratio != wanted.ratio)
        return false;
    if (object.character.kind == CharacterKind::Sprite)
        return true;
    return object.placement.characterId == wanted.characterId && object.placement.clipDepth == wanted.clipDepth;
}

}  // namespace

void applyControlTag(PlacementState& state, const ControlTag& tag, std::uint64_t position)
{
    if (tag.kind == ControlTag::Kind::Place)
        applyPlace(state, tag.place, position);
    else if (tag.kind == ControlTag::Kind::Remove)
        state.erase(tag.depth);
}

namespace {

std::atomic<std::uint64_t> g_clipSerials{0};

void replayFrames(PlacementState& state, const Timeline& timeline, std::size_t from, std::size_t to)
{
    for (std::size_t f = from; f <= to && f < timeline.frames.size(); ++f) {
        const std::vector<ControlTag>& tags = timeline.frames[f].tags;
        for (std::size_t i = 0; i < tags.size(); ++i)
            applyControlTag(state, tags[i], std::uint64_t(f) << 32 | i);
    }
}

std::size_t placedFrame(const Placement& placement)
{
    return std::size_t(placement.position >> 32);
}

}  // namespace

PlacementState SnapshotCache::stateAt(const Timeline& timeline, std::size_t frame)
{
    auto replay = [&](PlacementState& state, std::size_t from, std::size_t to) {
        replayFrames(state, timeline, from, to);
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

void ActionQueue::push(const Entry& entry)
{
    m_entries.push_back(entry);
    Entry& added = m_entries.back();
    added.serial = entry.clip ? entry.clip->serial() : 0;
    if (entry.clip && entry.actions && !added.owner)
        added.owner = entry.clip->owner();
}

void ActionQueue::dropClip(const Clip* clip)
{
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(), [clip](const Entry& e) { return e.clip == clip; }),
                    m_entries.end());
}

std::vector<ActionQueue::Entry> ActionQueue::take()
{
    std::vector<Entry> out;
    out.swap(m_entries);
    return out;
}

Clip::Clip(std::shared_ptr<const void> owner, const Timeline* timeline, Clip* parent)
    : m_owner(std::move(owner)), m_timeline(timeline), m_parent(parent), m_serial(++g_clipSerials),
      m_nesting(parent ? parent->m_nesting + 1 : 0)
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
    applyTags(m_timeline->frames[frame], context);
    enterSounds(frame, context);
}

void Clip::applyTags(const Frame& frame, const ClipContext& context)
{
    for (const ControlTag& t : frame.tags) {
        if (t.kind == ControlTag::Kind::Actions) {
            if (context.actions)
                context.actions->push(this, &t.actions);
        } else if (t.kind == ControlTag::Kind::InitActions) {
            if (context.actions)
                context.actions->push(ActionQueue::Entry::initAction(this, &t.actions, t.depth));
        } else if (t.kind != ControlTag::Kind::StartSound) {
            apply(t, context);
        }
    }
}

void Clip::enterSounds(std::size_t frame, const ClipContext& context)
{
    if (!context.sounds || !m_timeline || frame >= m_timeline->frames.size())
        return;
    for (const ControlTag& t : m_timeline->frames[frame].tags)
        if (t.kind == ControlTag::Kind::StartSound && t.sound)
            context.sounds->startSound(*t.sound, m_library.get());
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
            context.actions->push(ActionQueue::Entry::initAction(this, &t.actions, t.depth));
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
    // The clip a script moved keeps its place against later placements of the timeline; the one it changed
    // places with stays as the timeline left it.
    DisplayObject moving = std::move(a->second);
    moving.scriptMoved = true;
    if (b != m_displayList.end()) {
        a->second = std::move(b->second);
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
        // It joins the execution list before its first frame places its children: they run before it.
        if (context.clips)
            context.clips->add(*object.clip);
        // Initialize and construct come before everything else the new clip does; the load event comes before its
        // first frame script.
        if (context.actions) {
            context.actions->push(ActionQueue::Entry::clipEvent(object.clip.get(), clipevent::Initialize));
            context.actions->push(ActionQueue::Entry::clipEvent(object.clip.get(), clipevent::Construct));
            context.actions->push(ActionQueue::Entry::clipEvent(object.clip.get(), clipevent::Load));
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
        removeAt(tag.depth, context);
        return;
    }
    const PlaceObject& p = tag.place;
    auto it = m_displayList.find(p.depth);
    PlacementState single;
    if (it != m_displayList.end())
        single[p.depth] = it->second.placement;
    applyPlace(single, p, std::uint64_t(m_frame) << 32);
    auto placed = single.find(p.depth);
    if (placed == single.end())
        return;
    // Moving a clip to another character keeps the clip; other objects become the new character.
    bool sameObject = it != m_displayList.end() && p.move &&
                      (!p.characterId || *p.characterId == it->second.placement.characterId ||
                       it->second.character.kind == CharacterKind::Sprite);
    if (sameObject)
        updatePlacement(it->second, placed->second);
    else
        placeObject(p.depth, placed->second, context);
}

void Clip::dropOnRewind(const PlacementState& target)
{
    // Objects at script depths stay; so do timeline objects the target frame places again in a way they match.
    // Objects scripts made at timeline depths go.
    for (auto it = m_displayList.begin(); it != m_displayList.end();) {
        auto wanted = target.find(it->first);
        bool stays = it->first >= kFirstScriptDepth ||
                     (!it->second.scripted && wanted != target.end() && survivesRewind(it->second, wanted->second));
        it = stays ? std::next(it) : m_displayList.erase(it);
    }
}

void Clip::reconcile(const PlacementState& target, std::size_t frame, bool enters, const ClipContext& context)
{
    // Objects settle in the order the timeline placed them. Those placed before the target frame come before the
    // frame's own scripts, those the target frame places after them, as when the playhead reaches it.
    std::vector<const PlacementState::value_type*> order;
    order.reserve(target.size());
    for (const auto& entry : target)
        order.push_back(&entry);
    std::stable_sort(order.begin(), order.end(),
                     [](auto* a, auto* b) { return a->second.position < b->second.position; });
    auto settle = [&](const PlacementState::value_type& entry) {
        auto it = m_displayList.find(entry.first);
        bool keeps = it != m_displayList.end() && (it->second.character.kind == CharacterKind::Sprite ||
                                                   it->second.placement.characterId == entry.second.characterId);
        if (keeps)
            updatePlacement(it->second, entry.second);  // persists: its own state (a sprite's frame) survives
        else
            placeObject(entry.first, entry.second, context);
    };
    auto firstOfFrame =
        std::find_if(order.begin(), order.end(), [&](auto* e) { return placedFrame(e->second) >= frame; });
    for (auto it = order.begin(); it != firstOfFrame; ++it)
        settle(**it);
    if (enters) {
        queueActions(frame, context);
        enterSounds(frame, context);
    }
    for (auto it = firstOfFrame; it != order.end(); ++it)
        settle(**it);
}

void Clip::removeOnTheWay(std::size_t to, const ClipContext& context)
{
    // Going forward, what a frame on the way removes goes at once, even when a later frame places the same
    // character at its depth again: that is a new instance.
    for (std::size_t f = m_frame + 1; f <= to && f < m_timeline->frames.size(); ++f)
        for (const ControlTag& t : m_timeline->frames[f].tags)
            if (t.kind == ControlTag::Kind::Remove)
                removeAt(t.depth, context);
}

void Clip::gotoFrame(std::size_t frame, const ClipContext& context)
{
    // A goto past the last frame there is shows that frame without its scripts or sounds.
    std::size_t last = availableFrames() - 1;
    const bool enters = frame <= last;
    frame = std::min(frame, last);
    if (!m_timeline || frame == m_frame)
        return;
    bool rewind = frame < m_frame;
    PlacementState state;
    if (m_snapshots)
        state = m_snapshots->stateAt(*m_timeline, frame);
    else
        replayFrames(state, *m_timeline, 0, frame);
    if (rewind)
        dropOnRewind(state);
    else
        removeOnTheWay(frame, context);
    m_frame = frame;
    m_trailingRun = false;
    reconcile(state, frame, enters, context);
}

void Clip::step(const ClipContext& context, bool loop)
{
    // The enterFrame event comes before the scripts of the frame the clip moves to.
    if (context.actions)
        context.actions->push(ActionQueue::Entry::clipEvent(this, clipevent::EnterFrame));
    if (!m_playing || !m_timeline)
        return;
    if (m_frame + 1 < availableFrames()) {
        ++m_frame;
        m_trailingRun = false;
        applyFrame(m_frame, context);
    } else if (availableFrames() < frameCount()) {
        // A streamed root waits for its next frame.
    } else if (loop && frameCount() > 1 && m_timeline->ended) {
        gotoFrame(0, context);
    } else {
        // One frame, or a timeline cut short of its End tag: the clip stops at its end, where the tags after the
        // last frame run once.
        m_playing = false;
        runTrailingTags(context);
    }
}

void Clip::runTrailingTags(const ClipContext& context)
{
    if (m_trailingRun || m_timeline->trailing.tags.empty())
        return;
    m_trailingRun = true;
    applyTags(m_timeline->trailing, context);
}

void Clip::removeAt(std::int32_t depth, const ClipContext& context)
{
    auto it = m_displayList.find(depth);
    if (it == m_displayList.end())
        return;
    Clip* clip = it->second.clip.get();
    if (!clip || clip->m_removalPending || !context.removals || !context.removals->delaysRemoval(*clip)) {
        m_displayList.erase(it);
        return;
    }
    DisplayObject waiting = std::move(it->second);
    m_displayList.erase(it);
    const std::int32_t pendingDepth = -depth - 1;
    m_displayList.erase(pendingDepth);
    m_displayList.emplace(pendingDepth, std::move(waiting));
    clip->beginPendingRemoval(context);
}

void Clip::beginPendingRemoval(const ClipContext& context)
{
    // Children hear unload before their parent, and every one of them hears it now, not when it goes.
    for (auto& [depth, object] : m_displayList)
        if (object.clip && !object.clip->m_removalPending)
            object.clip->beginPendingRemoval(context);
    m_removalPending = true;
    if (context.actions)
        context.actions->push(ActionQueue::Entry::clipEvent(this, clipevent::Unload));
}

void Clip::removePending()
{
    for (auto it = m_displayList.begin(); it != m_displayList.end();) {
        Clip* clip = it->second.clip.get();
        if (clip && clip->m_removalPending && clip->m_parent == this && it->first < 0) {
            it = m_displayList.erase(it);
            continue;
        }
        if (clip && m_nesting < limits::kMaxSpriteNesting)
            clip->removePending();
        ++it;
    }
}

Clip::~Clip()
{
    // Children go before their parent, so their unload events come first.
    while (!m_displayList.empty())
        m_displayList.erase(m_displayList.begin());
    m_binding.reset();
    if (m_execution.list)
        m_execution.list->remove(*this);
    setMaskClip(nullptr);
    setMaskField(nullptr, nullptr);
    if (m_masked)
        m_masked->setMaskClip(nullptr);
}

void Clip::setMaskField(EditTextField* field, Clip* holder)
{
    if (field)
        setMaskClip(nullptr);
    if (m_maskField)
        m_maskField->m_masked = nullptr;
    if (field && field->m_masked)
        field->m_masked->setMaskField(nullptr, nullptr);
    m_maskField = field;
    m_maskFieldHolder = field ? holder : nullptr;
    if (field)
        field->m_masked = this;
}

void Clip::setMaskClip(Clip* mask)
{
    if (mask == this)
        mask = nullptr;
    if (mask)
        setMaskField(nullptr, nullptr);
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
