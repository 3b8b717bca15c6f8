// Display objects and movie clip instances: a display list by depth, a playhead over a timeline, frame
// advance, and goto that keeps persisting objects (and their state) as Flash does.
#pragma once

#include "swf/movie/actionqueue.h"
#include "swf/movie/edittext.h"
#include "swf/movie/execution.h"
#include "swf/movie/movie.h"
#include "swf/movie/placement.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace swf {

class Clip;

struct DisplayObject {
    Placement placement;
    Character character;
    std::unique_ptr<Clip> clip;  // sprites and buttons
    bool scripted = false;       // made by a script (attachMovie, duplicateMovieClip …), not placed by the timeline
    bool scriptMoved = false;    // a script set its position, scale, rotation or colour: the timeline leaves them
    std::unique_ptr<EditTextField> textField;  // text fields
};

// Something a script engine ties to a clip; destroyed with the clip, so it can forget it.
class ClipBinding {
public:
    virtual ~ClipBinding() = default;
};

// Shapes a script drew on a clip: painted below its children, rebuilt only when the drawing changes.
struct ShapeGeometry;
class ClipDrawing {
public:
    virtual ~ClipDrawing() = default;
    // Null while nothing is drawn.
    virtual std::shared_ptr<const ShapeGeometry> geometry() const = 0;
};

// Script-made objects live at depths from this one up; the timeline's own depths lie below.
inline constexpr std::uint16_t kFirstScriptDepth = 16384;

// Stored states of a long timeline every kSnapshotInterval frames, so a goto replays few frames.
class SnapshotCache {
public:
    static constexpr std::size_t kSnapshotInterval = 32;
    PlacementState stateAt(const Timeline& timeline, std::size_t frame);

private:
    std::vector<PlacementState> m_snapshots;  // m_snapshots[i] is the state at frame i * interval
};

// Hears the sound side of the frames clips enter: StartSound tags, and each frame entered (for the
// timeline's stream sound).
class SoundEvents {
public:
    virtual ~SoundEvents() = default;
    // `library`: the loaded or imported movie whose ids the tag uses; null for the player's own movie.
    virtual void startSound(const audio::StartSoundTag& tag, const Movie* library) = 0;
    virtual void frameEntered(const Clip& clip, std::size_t frame) = 0;
};

// Tells the timeline which removed clips scripts still hear from (an unload handler in them or below them).
class RemovalHook {
public:
    virtual ~RemovalHook() = default;
    virtual bool delaysRemoval(Clip& clip) = 0;
};

// What a clip needs from the movie while it plays.
struct ClipContext {
    const Movie* movie = nullptr;
    ActionQueue* actions = nullptr;
    SoundEvents* sounds = nullptr;
    ExecutionList* clips = nullptr;  // new sprites join it
    RemovalHook* removals = nullptr;  // none: removed clips go at once
    // Sprites and buttons created in this step so far, nested ones included; every context starts at 0.
    std::shared_ptr<std::size_t> clipsCreated = std::make_shared<std::size_t>(0);
};

class Clip {
public:
    // A clip playing `timeline` (owned by `owner`, kept alive); timeline may be empty for buttons.
    Clip(std::shared_ptr<const void> owner, const Timeline* timeline, Clip* parent);
    ~Clip();
    Clip(const Clip&) = delete;
    Clip& operator=(const Clip&) = delete;

    std::size_t currentFrame() const { return m_frame; }
    // A number no other clip made in this process has.
    std::uint64_t serial() const { return m_serial; }
    std::size_t frameCount() const;
    bool isPlaying() const { return m_playing; }
    void setPlaying(bool playing) { m_playing = playing; }
    Clip* parent() const { return m_parent; }
    const Timeline* timeline() const { return m_timeline; }
    // What keeps the timeline (and its action bytes) alive.
    const std::shared_ptr<const void>& owner() const { return m_owner; }
    ClipBinding* binding() const { return m_binding.get(); }
    void setBinding(std::unique_ptr<ClipBinding> binding) { m_binding = std::move(binding); }
    ClipDrawing* drawing() const { return m_drawing.get(); }
    void setDrawing(std::unique_ptr<ClipDrawing> drawing) { m_drawing = std::move(drawing); }
    // The clip whose shapes mask this one (setMask), and the clip this one masks; null when none.
    Clip* maskClip() const { return m_mask; }
    Clip* maskedClip() const { return m_masked; }
    // Makes `mask` (null to remove) the mask of this clip; a clip masks at most one other. It replaces a field mask.
    void setMaskClip(Clip* mask);
    // A text field may mask a clip instead, by the glyphs it draws; `holder` is the clip whose list holds the field.
    // Null when none; the link goes when either side goes.
    EditTextField* maskField() const { return m_maskField; }
    Clip* maskFieldHolder() const { return m_maskFieldHolder; }
    void setMaskField(EditTextField* field, Clip* holder);
    // The object holding this clip in its parent's list (null for the root); its placement (the root has its own).
    DisplayObject* holder() const;
    Placement* placement() const;
    // The depth of this clip in its parent's list (0 for the root).
    std::int32_t depth() const;
    const std::map<std::int32_t, DisplayObject>& displayList() const { return m_displayList; }
    std::map<std::int32_t, DisplayObject>& displayList() { return m_displayList; }
    void setSnapshots(std::unique_ptr<SnapshotCache> cache) { m_snapshots = std::move(cache); }
    // Frames the playhead may enter (all of them for sprites; the loaded ones for a streamed root).
    void setAvailableFrames(std::size_t frames) { m_available = frames; }
    std::size_t availableFrames() const;

    // Shows the first frame of a new instance.
    void enterFirstFrame(const ClipContext& context);
    // This clip's own frame step (children take theirs from the execution list): its enterFrame event, then
    // the playhead moves on, back to the start at the end of a complete timeline, or stops there.
    void step(const ClipContext& context, bool loop = true);
    // Moves the playhead to a frame (0-based), applying Flash's goto rules; a frame past the last shows the last
    // one without running its scripts.
    void gotoFrame(std::size_t frame, const ClipContext& context);
    // The child clip with the instance name, or nullptr.
    Clip* childNamed(const std::string& name);
    // Adds an object built from a placement (used by buttons and the timeline).
    void placeObject(std::int32_t depth, const Placement& placement, const ClipContext& context);
    // Removes the object at a depth. A clip with unload handlers is only moved to the depth -depth - 1 and waits
    // there, its unload events queued, until removePending at the start of the next frame.
    void removeAt(std::int32_t depth, const ClipContext& context);
    // Drops the objects waiting for removal, in this clip and below.
    void removePending();
    bool removalPending() const { return m_removalPending; }
    // Moves the object at one depth to another, swapping with any object there.
    void swapDepths(std::int32_t from, std::int32_t to);
    // Re-points a streamed root at a timeline that has grown.
    void resetTimeline(std::shared_ptr<const void> owner, const Timeline* timeline);
    const std::shared_ptr<const Movie>& library() const { return m_library; }  // its movie if not the context's
    // Plays another movie's timeline from frame 1 (loadMovie), or nothing (unloadMovie); place and name stay.
    void replaceMovie(std::shared_ptr<const Movie> movie, const ClipContext& context);

private:
    void applyFrame(std::size_t frame, const ClipContext& context);
    void applyTags(const Frame& frame, const ClipContext& context);
    void apply(const ControlTag& tag, const ClipContext& context);
    // Settles the display list on a frame; `enters` queues the frame's scripts and sounds as well.
    void reconcile(const PlacementState& target, std::size_t frame, bool enters, const ClipContext& context);
    void dropOnRewind(const PlacementState& target);
    void removeOnTheWay(std::size_t to, const ClipContext& context);
    void beginPendingRemoval(const ClipContext& context);
    void runTrailingTags(const ClipContext& context);
    void queueActions(std::size_t frame, const ClipContext& context);
    void enterSounds(std::size_t frame, const ClipContext& context);

    std::shared_ptr<const void> m_owner;
    std::shared_ptr<const Movie> m_library;  // a loaded or imported movie; clips placed inside inherit it
    const Timeline* m_timeline;
    Clip* m_parent;
    std::uint64_t m_serial;
    int m_nesting = 0;  // clips above this one; sprites that contain themselves stop at the limit
    std::size_t m_frame = 0;
    std::size_t m_available = static_cast<std::size_t>(-1);
    bool m_playing = true;
    std::map<std::int32_t, DisplayObject> m_displayList;  // timeline depths, then script depths far above 16 bits
    std::unique_ptr<SnapshotCache> m_snapshots;
    std::unique_ptr<ClipDrawing> m_drawing;
    Clip* m_mask = nullptr;
    Clip* m_masked = nullptr;
    EditTextField* m_maskField = nullptr;
    Clip* m_maskFieldHolder = nullptr;
    std::unique_ptr<Placement> m_ownPlacement;  // the root's; a held clip uses its holder's
    bool m_trailingRun = false;     // the tags after the last frame ran since the playhead came to it
    bool m_removalPending = false;  // removed, its unload events sent; it goes at the next frame
    ExecutionLink m_execution;
    std::unique_ptr<ClipBinding> m_binding;  // declared last: goes first, while the clip is still whole
    friend class ExecutionList;
};

}  // namespace swf
