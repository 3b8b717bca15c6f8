// The ActionScript machine joined to the Player's display tree: every clip has one script object (made when a
// script first sees it), clip properties read and write the display objects, and frame scripts, init scripts
// and clip events run in the order the timeline queues them.
#pragma once

#include "swf/avm1/host.h"
#include "swf/avm1/vm.h"
#include "swf/movie/clip.h"

#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace swf {

class MovieLoads;
class Player;
class ScriptHost;

// The clips of the tree with their serial numbers: a queued entry whose clip went may name a new clip made at the
// same address, which the serial tells apart.
using LiveClips = std::unordered_map<const Clip*, std::uint64_t>;

// The script side of a movie clip. It stays valid after its clip is removed; then `clip` is null.
class ClipObject : public avm1::Object {
public:
    ClipObject(avm1::Object* proto, bool caseSensitive, ScriptHost& host, Clip* clip)
        : Object(proto, caseSensitive), clip(clip), m_host(host)
    {
    }
    avm1::ObjectKind kind() const override { return avm1::ObjectKind::DisplayObject; }
    bool getSpecial(avm1::Vm& vm, const std::string& name, avm1::Value& out) override;
    bool setSpecial(avm1::Vm& vm, const std::string& name, const avm1::Value& value) override;
    bool hasSpecial(const std::string& name) const override;

    Clip* clip;
    std::string lastPath;  // the target path it had, for a removed clip
    // Its onClipEvent handlers, kept so that unload can still run after the clip is gone.
    std::shared_ptr<const std::vector<ClipEventHandler>> handlers;
    bool constructed = false;  // its class and construct handlers have run
    std::map<std::string, avm1::Object*> textFields;  // script objects of its text fields, by instance name

private:
    ScriptHost& m_host;
};

// The player settings scripts read and write through any clip (_quality, _highquality, _focusrect on the root,
// _soundbuftime): scripts read back what they set, while drawing keeps the quality the viewer chose.
struct ScriptSettings {
    std::string quality = "HIGH";
    bool focusRect = true;
    std::int32_t soundBufferTime = 5;
};

class ScriptHost : public avm1::Host, public RemovalHook {
public:
    ScriptHost(Player& player, ActionQueue& queue, std::shared_ptr<const Movie> movie);
    ~ScriptHost() override;

    avm1::Vm& vm() { return *m_vm; }
    void stopSounds() override;
    std::string sharedObjectFolder() override;
    bool loadText(const std::string& url, std::string& text) override;
    int requestText(const std::string& url, const std::string& method, const std::string& body) override;
    // Tells Stage's listeners (onResize) that the target the movie is drawn into changed size.
    void stageResized();
    std::string language() override;
    bool registerClass(const std::string& name, const avm1::Value& constructor) override;
    void setMovie(std::shared_ptr<const Movie> movie) { m_movie = std::move(movie); }
    ClipContext context() const;

    // The script object of a clip (made on first use) and the clip of a script object (null if none).
    ClipObject* objectOf(Clip* clip);
    static Clip* clipOf(avm1::Object* object);
    static Clip* clipOf(const avm1::Value& value) { return clipOf(value.asObject()); }

    // Starts a frame's script work: the action budget and the script time start again.
    void beginFrame();
    // Runs what the timeline queued, init scripts of a batch before its other scripts, until nothing is left.
    void runQueue();
    // Sends a clip event to one clip: its onClipEvent handlers, then the handler property (onLoad …).
    void dispatch(Clip& clip, std::uint32_t event, int key = 0);
    // Sends a clip event to every clip of the tree, children before parents.
    void broadcast(std::uint32_t event, int key = 0);
    // Calls a method of an object if it is a function; true if it was.
    bool callMethod(avm1::Object* object, const std::string& name, const std::vector<avm1::Value>& args = {});
    // True once a limit stopped the scripts of this frame.
    bool stoppedByLimit() const { return m_vm->aborted(); }
    // A clip with onClipEvent(unload) or an onUnload property, itself or below it, waits a frame when removed.
    bool delaysRemoval(Clip& clip) override;
    // True once since a removal last began to wait: the player then drops the clips that waited a frame.
    bool takeWaitingRemovals() { return std::exchange(m_removalsWaiting, false); }
    // A clip's binding went with its clip: the object forgets it, and its unload handlers wait to run (unless they
    // ran when it began to wait for removal).
    void clipGone(ClipObject* object);

    // Clip properties by number, for the property actions and the object's named properties.
    avm1::Value property(Clip& clip, avm1::ClipProperty p);
    void setProperty(Clip& clip, avm1::ClipProperty p, const avm1::Value& v);
    const ScriptSettings& settings() const { return m_settings; }
    // Dotted ("_level0.a.b") and slash ("/a/b") paths of a clip.
    std::string dottedPath(Clip& clip);
    std::string slashPath(Clip& clip);
    // The pointer in stage twips, as the player last saw it.
    void setPointer(double x, double y) { m_pointerX = x, m_pointerY = y; }
    double pointerX() const { return m_pointerX; }
    double pointerY() const { return m_pointerY; }
    Player& player() { return m_player; }
    const Movie* movie() const { return m_movie.get(); }
    Clip* dragged() const { return m_drag; }
    void moveDragged();

    // Host.
    void trace(const std::string& line) override;
    void fscommand(const std::string& command, const std::string& argument) override;
    void getUrl(const std::string& url, const std::string& target, int method) override;
    void warning(const std::string& message) override;
    double nowMs() const override;
    double scriptElapsedMs() const override;
    avm1::Object* root() override;
    avm1::Object* level(int n) override;
    avm1::Object* rootOf(avm1::Object* clip) override;
    void loadMovie(avm1::Object* clip, const std::string& url) override;
    void loadMovieNum(int level, const std::string& url) override;
    MovieLoads& loads() { return *m_loads; }
    avm1::Object* parentOf(avm1::Object* clip) override;
    bool isClip(const avm1::Object* object) const override;
    const char* displayTypeName(avm1::Object* object) override;
    avm1::Object* childClip(avm1::Object* object, const std::string& name) override;
    int versionOf(avm1::Object* object) override;
    bool isRemovedClip(avm1::Object* object) override
    {
        return object && object->kind() == avm1::ObjectKind::DisplayObject && !clipOf(object);
    }
    std::string targetPath(avm1::Object* clip) override;
    avm1::Value getClipProperty(avm1::Object* clip, avm1::ClipProperty p) override;
    void setClipProperty(avm1::Object* clip, avm1::ClipProperty p, const avm1::Value& v) override;
    void gotoFrame(avm1::Object* clip, int frame, bool play) override;
    bool gotoLabel(avm1::Object* clip, const std::string& label, bool play, int offset = 0) override;
    void play(avm1::Object* clip) override;
    void stop(avm1::Object* clip) override;
    void nextFrame(avm1::Object* clip) override;
    void prevFrame(avm1::Object* clip) override;
    int currentFrame(avm1::Object* clip) override;
    int framesLoaded(avm1::Object* clip) override;
    void toggleQuality() override;
    void cloneSprite(avm1::Object* clip, const std::string& name, int depth) override;
    void removeSprite(avm1::Object* clip) override;
    void startDrag(avm1::Object* clip, bool lockCenter, const double* rect) override;
    void stopDrag() override;
    void callFrame(avm1::Object* clip, const std::string& frame) override;

    // Buttons and clips with button handlers under the pointer (the pointer set by setPointer first).
    void pointerMoved();
    void pointerPressed();
    void pointerReleased();
    // True while the pointer is over an enabled button, or a clip with button handlers that shows the hand.
    bool overButton();
    // Keys (numbered as the desktop numbers them) for the Key object and its listeners.
    void keyDown(int key);
    void keyUp(int key);
    // Tells the Mouse object's listeners ("onMouseMove", "onMouseDown", "onMouseUp", "onMouseWheel").
    void mouseMessage(const char* message, const std::vector<avm1::Value>& args = {});
    // Keyboard focus (a clip's or a text field's object): the focused object, null when none or once it went;
    // setFocus tells the old and new objects and Selection's listeners, false for an object that is gone.
    avm1::Object* focused();
    bool setFocus(avm1::Object* object);
    // A typed character for the focused input field, which then tells its onChanged handler.
    void typeIntoFocus(int character);

    // Script-made clips (also used by the MovieClip methods).
    Clip* duplicate(Clip& source, const std::string& name, int depth);
    bool remove(Clip& clip);
    Clip* attach(Clip& parent, std::uint16_t characterId, const std::string& name, int depth);
    Clip* createEmpty(Clip& parent, const std::string& name, int depth);
    // Makes a new clip what its symbol's registered class makes it: the class prototype, then the init object's
    // properties, the construct handlers and the class constructor. Runs once per clip.
    void construct(Clip& clip, const avm1::Value& init = {});

private:
    // Whether the clip or one below it has an unload handler.
    bool hearsUnload(Clip& clip);
    void runBatches();
    void runEntry(const ActionQueue::Entry& e);
    void collectAll(Clip& root, LiveClips& alive);
    void runEvent(Clip& clip, std::uint32_t event, int key);
    void runPendingUnloads();
    // Property writes: the player settings (true when p is one), and the numbers kept in a placement.
    bool setSetting(Clip& clip, avm1::ClipProperty p, const avm1::Value& v);
    bool setPlacementNumber(Clip& clip, Placement& placement, avm1::ClipProperty p, double n);
    bool setExtent(Clip& clip, Placement& placement, bool width, double n);
    avm1::Object* classOf(Clip& clip);
    std::shared_ptr<const std::vector<std::uint8_t>> codeOf(const std::shared_ptr<const void>& owner, const std::vector<std::uint8_t>& bytes);
    void installClipClass();
    void installInputObjects();
    void installSelectionObject();
    std::string focusPath(avm1::Object* object);
    // The named input field under a stage point, topmost first; a press there gives it the focus.
    avm1::Object* inputFieldAt(Clip& parent, double x, double y, int nesting = 0);
    void focusAtPointer();
    // Tab order: named input fields, buttons and clips with tabEnabled, in depth order through the tree.
    void collectFocusable(Clip& clip, std::vector<avm1::Object*>& out, int nesting = 0);
    void tabFocus(bool back);
    // Tab, and Enter or Space on a focused button; true when the key was used for the focus.
    bool focusKey(int flashCode);
    avm1::Object* focusTarget(const avm1::Value& target);
    bool hasButtonHandlers(Clip& clip);
    bool hits(Clip& clip, const DisplayObject& object, double x, double y);
    Clip* interactiveAt(Clip& parent, double x, double y, int nesting = 0);
    void showButtonState(Clip& button, int state);  // 0 up, 1 over, 2 down
    void buttonTransition(Clip& clip, std::uint16_t condition);
    void runButtonWork();
    // Runs the key-press actions of buttons and onClipEvent(keyPress) handlers for a button key code.
    void pressButtonKeys(int buttonKey);
    bool stillThere(Clip* clip);

    Player& m_player;
    ActionQueue& m_queue;
    std::shared_ptr<const Movie> m_movie;
    std::unique_ptr<avm1::Vm> m_vm;
    avm1::Object* m_clipProto = nullptr;
    std::set<std::pair<const Movie*, std::uint16_t>> m_initDone;  // sprites whose init script ran, by movie
    std::map<std::uint16_t, avm1::Object*> m_classes;  // registered constructors by symbol
    std::vector<ClipObject*> m_pendingUnloads;
    ScriptSettings m_settings;
    std::shared_ptr<Sprite> m_emptySprite;
    std::chrono::steady_clock::time_point m_frameStart;
    int m_lastTextRequest = 0;
    double m_pointerX = 0, m_pointerY = 0;
    Clip* m_drag = nullptr;
    bool m_dragLockCenter = false;
    double m_dragOffsetX = 0, m_dragOffsetY = 0;
    bool m_dragConstrained = false;
    double m_dragRect[4] = {0, 0, 0, 0};
    bool m_closing = false;
    bool m_removalsWaiting = false;
    std::unique_ptr<MovieLoads> m_loads;
    avm1::Object* m_keyObject = nullptr;
    avm1::Object* m_mouseObject = nullptr;
    avm1::Object* m_selectionObject = nullptr;
    avm1::Object* m_focus = nullptr;
    std::set<int> m_keysDown;  // Flash key codes
    int m_lastKey = 0, m_lastAscii = 0;
    Clip* m_over = nullptr;     // the button or clip under the pointer
    Clip* m_pressed = nullptr;  // the one the pointer went down on
    std::vector<std::pair<Clip*, std::shared_ptr<const std::vector<std::uint8_t>>>> m_queueButton;
    std::vector<std::pair<Clip*, const char*>> m_queueHandlers;
};

// Installs the MovieClip class (its prototype's methods) on the machine; returns the prototype.
avm1::Object* installMovieClipClass(avm1::Vm& vm, ScriptHost& host);
// Adds the drawing methods and setMask to the MovieClip prototype.
void installDrawingMethods(avm1::Vm& vm, ScriptHost& host, avm1::Object* proto);
// Gives a duplicated clip a copy of what scripts drew on its source.
void copyDrawing(const Clip& from, Clip& to);
// The Color and Sound classes.
void installColorClass(avm1::Vm& vm, ScriptHost& host);
void installSoundClass(avm1::Vm& vm, ScriptHost& host);
// The TextField class, and the script object of the text field a clip holds under a name (null if none).
void installTextFieldClass(avm1::Vm& vm, ScriptHost& host, avm1::Object* clipProto);
avm1::Object* textFieldObject(ScriptHost& host, ClipObject& owner, const std::string& name);
// A character typed into a focused field (8 for Backspace); true when its text changed.
bool typeIntoTextField(avm1::Object* object, int character);
bool holdsTextField(const Clip& clip, const std::string& name, bool caseSensitive);
bool isTextFieldObject(const avm1::Object* object);
// addListener and removeListener of text fields, whose listeners hear onChanged.
void installTextFieldListeners(avm1::Vm& vm, avm1::Object* proto);
// removeMovieClip on a text field's object (true if it went), and the depth of its field in its clip's list (-1 when
// gone).
bool removeTextFieldAtScriptDepth(const avm1::Object* object);
std::int32_t textFieldListDepth(const avm1::Object* object, Clip*& owner);
// The dotted path of a text field's object; empty once its clip is gone.
std::string textFieldPath(ScriptHost& host, const avm1::Object* object);
// Stage.width and Stage.height, unless the machine has a Stage of its own.
void installStageObject(avm1::Vm& vm, ScriptHost& host);

}  // namespace swf
