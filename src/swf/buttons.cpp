// Buttons and clips with button handlers under the pointer: hit areas, the up/over/down states drawn, and the
// transitions (roll over and out, press, release, release outside, drag over and out) that run their actions.
#include "swf/clipgeometry.h"
#include "swf/limits.h"
#include "swf/player.h"
#include "swf/scripthost.h"

#include <unordered_set>

namespace swf {

namespace {

// The handler property of a button transition on a clip or button object.
const char* transitionHandler(std::uint16_t condition)
{
    switch (condition) {
    case buttoncond::RollOver: return "onRollOver";
    case buttoncond::RollOut: return "onRollOut";
    case buttoncond::Press: return "onPress";
    case buttoncond::Release: return "onRelease";
    case buttoncond::ReleaseOutside: return "onReleaseOutside";
    case buttoncond::DragOver: return "onDragOver";
    case buttoncond::DragOut: return "onDragOut";
    default: return nullptr;
    }
}

Bounds characterBounds(const Character& c)
{
    DisplayObject object;
    object.character = c;
    // Sprites in hit areas count by their shapes only through their own placement; bounds of the rest.
    Movie none;
    return c.kind == CharacterKind::Sprite ? Bounds() : objectBounds(object, none);
}

bool inside(const Bounds& b, double x, double y)
{
    return !b.empty && x >= b.xMin && x <= b.xMax && y >= b.yMin && y <= b.yMax;
}

}  // namespace

bool ScriptHost::hasButtonHandlers(Clip& clip)
{
    if (!clip.binding())
        return false;
    ClipObject* object = objectOf(&clip);
    for (const char* name : {"onPress", "onRelease", "onRollOver", "onRollOut", "onReleaseOutside"})
        if (m_vm->isCallable(m_vm->get(avm1::Value(static_cast<avm1::Object*>(object)), name)))
            return true;
    return false;
}

bool ScriptHost::hits(Clip& clip, const DisplayObject& object, double x, double y)
{
    Matrix toStage = clipToStage(clip);
    // A button of a loaded or imported movie finds its hit area in that movie.
    const Movie* movie = clip.library() ? clip.library().get() : m_movie.get();
    if (object.character.kind == CharacterKind::Button && object.character.button && movie) {
        for (const ButtonRecord& r : object.character.button->records) {
            const Character* c = r.hitTest ? movie->character(r.characterId) : nullptr;
            if (!c)
                continue;
            Bounds b;
            b.add(characterBounds(*c), toStage * r.matrix);
            if (inside(b, x, y))
                return true;
        }
        return false;
    }
    if (!m_movie)
        return false;
    Bounds b;
    b.add(clipBounds(clip, *m_movie), toStage);
    return inside(b, x, y);
}

Clip* ScriptHost::interactiveAt(Clip& parent, double x, double y, int nesting)
{
    if (nesting > limits::kMaxSpriteNesting)
        return nullptr;
    for (auto it = parent.displayList().rbegin(); it != parent.displayList().rend(); ++it) {
        DisplayObject& object = it->second;
        if (!object.clip || !object.placement.visible)
            continue;
        bool button = object.character.kind == CharacterKind::Button;
        if (!button) {
            if (Clip* inner = interactiveAt(*object.clip, x, y, nesting + 1))
                return inner;
        }
        if ((button || hasButtonHandlers(*object.clip)) && hits(*object.clip, object, x, y))
            return object.clip.get();
    }
    return nullptr;
}

void ScriptHost::showButtonState(Clip& button, int state)
{
    DisplayObject* holder = button.holder();
    if (!holder || holder->character.kind != CharacterKind::Button || !holder->character.button)
        return;
    button.displayList().clear();
    for (const ButtonRecord& r : holder->character.button->records) {
        bool shown = state == 0 ? r.up : state == 1 ? r.over : r.down;
        if (shown && r.characterId != holder->placement.characterId)
            button.placeObject(r.depth, placementOf(r), context());
    }
}

void ScriptHost::buttonTransition(Clip& clip, std::uint16_t condition)
{
    DisplayObject* holder = clip.holder();
    if (holder && holder->character.kind == CharacterKind::Button && holder->character.button) {
        auto button = holder->character.button;
        Clip* timeline = clip.parent();
        for (const ButtonAction& a : button->actions)
            if ((a.conditions & 0x1FF) & condition)
                m_queueButton.push_back({timeline, codeOf(button, a.actions)});
    }
    if (const char* name = transitionHandler(condition); name && clip.binding())
        m_queueHandlers.push_back({&clip, name});
}

void ScriptHost::runButtonWork()
{
    auto scripts = std::move(m_queueButton);
    auto handlers = std::move(m_queueHandlers);
    m_queueButton.clear();
    m_queueHandlers.clear();
    Clip* root = m_player.root();
    if (!root)
        return;
    std::unordered_set<const Clip*> alive;
    auto refresh = [&] {
        alive.clear();
        std::vector<Clip*> stack{root};
        while (!stack.empty()) {
            Clip* c = stack.back();
            stack.pop_back();
            alive.insert(c);
            for (auto& [depth, object] : c->displayList())
                if (object.clip)
                    stack.push_back(object.clip.get());
        }
    };
    refresh();
    for (auto& [timeline, code] : scripts) {
        if (!alive.count(timeline))
            continue;
        m_vm->runScript(code, objectOf(timeline));
        refresh();
    }
    for (auto& [clip, name] : handlers) {
        if (!alive.count(clip))
            continue;
        callMethod(objectOf(clip), name);
        refresh();
    }
}

bool ScriptHost::stillThere(Clip* clip)
{
    if (!clip || !m_player.root())
        return false;
    std::vector<Clip*> stack{m_player.root()};
    while (!stack.empty()) {
        Clip* c = stack.back();
        stack.pop_back();
        if (c == clip)
            return true;
        for (auto& [depth, object] : c->displayList())
            if (object.clip)
                stack.push_back(object.clip.get());
    }
    return false;
}

void ScriptHost::pointerMoved()
{
    Clip* root = m_player.root();
    if (!root)
        return;
    if (!stillThere(m_over))
        m_over = nullptr;
    if (!stillThere(m_pressed))
        m_pressed = nullptr;
    Clip* now = interactiveAt(*root, m_pointerX, m_pointerY);
    if (m_pressed) {
        // While pressed, only the pressed one reacts: dragging out of it and back over it.
        if (now != m_pressed && m_over == m_pressed) {
            showButtonState(*m_pressed, 1);
            buttonTransition(*m_pressed, buttoncond::DragOut);
            m_over = nullptr;
        } else if (now == m_pressed && m_over != m_pressed) {
            showButtonState(*m_pressed, 2);
            buttonTransition(*m_pressed, buttoncond::DragOver);
            m_over = m_pressed;
        }
    } else if (now != m_over) {
        if (m_over) {
            showButtonState(*m_over, 0);
            buttonTransition(*m_over, buttoncond::RollOut);
        }
        if (now) {
            showButtonState(*now, 1);
            buttonTransition(*now, buttoncond::RollOver);
        }
        m_over = now;
    }
    runButtonWork();
}

void ScriptHost::pointerPressed()
{
    pointerMoved();
    focusAtPointer();
    if (!stillThere(m_over))
        m_over = nullptr;  // a focus handler may have removed it
    if (m_over) {
        m_pressed = m_over;
        showButtonState(*m_pressed, 2);
        buttonTransition(*m_pressed, buttoncond::Press);
    }
    runButtonWork();
}

void ScriptHost::pointerReleased()
{
    if (!stillThere(m_pressed))
        m_pressed = nullptr;
    Clip* pressed = m_pressed;
    m_pressed = nullptr;
    if (pressed) {
        bool over = m_player.root() && interactiveAt(*m_player.root(), m_pointerX, m_pointerY) == pressed;
        showButtonState(*pressed, over ? 1 : 0);
        buttonTransition(*pressed, over ? buttoncond::Release : buttoncond::ReleaseOutside);
        if (!over)
            m_over = nullptr;
    }
    runButtonWork();
    pointerMoved();
}

bool ScriptHost::overButton()
{
    if (!stillThere(m_over))
        m_over = nullptr;
    if (!m_over)
        return false;
    if (!m_over->binding())
        return true;
    avm1::Value hand = m_vm->get(avm1::Value(static_cast<avm1::Object*>(objectOf(m_over))), "useHandCursor");
    return hand.isUndefined() || avm1::toBoolean(hand, m_vm->version());
}

namespace {

void collectButtons(Clip& clip, std::vector<Clip*>& out, int nesting)
{
    if (nesting > limits::kMaxSpriteNesting)
        return;
    for (auto& [depth, object] : clip.displayList()) {
        if (!object.clip)
            continue;
        if (object.character.kind == CharacterKind::Button && object.character.button)
            out.push_back(object.clip.get());
        collectButtons(*object.clip, out, nesting + 1);
    }
}

}  // namespace

void ScriptHost::pressButtonKeys(int buttonKey)
{
    Clip* root = m_player.root();
    if (buttonKey <= 0 || !root)
        return;
    // Every button on the stage that answers the key runs its actions, whether or not it has the focus.
    std::vector<Clip*> buttons;
    collectButtons(*root, buttons, 0);
    for (Clip* button : buttons) {
        auto definition = button->holder()->character.button;
        for (const ButtonAction& a : definition->actions)
            if (buttoncond::keyCode(a.conditions) == buttonKey)
                m_queueButton.push_back({button->parent(), codeOf(definition, a.actions)});
    }
    runButtonWork();
    broadcast(clipevent::KeyPress, buttonKey);
}

}  // namespace swf
