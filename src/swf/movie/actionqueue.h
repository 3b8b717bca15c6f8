// The queue of scripts and clip events a frame step or a goto leaves to run once the display lists are updated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace swf {

class Clip;

// Frame actions waiting to run after the display lists of a tick are updated.
class ActionQueue {
public:
    // A frame's script, a sprite's init script (once per sprite) or a clip event of a clip just placed.
    enum class Kind : std::uint8_t { Frame, Init, Event };
    struct Entry {
        Clip* clip = nullptr;
        const std::vector<std::uint8_t>* actions = nullptr;
        Kind kind = Kind::Frame;
        std::uint32_t event = 0;    // Event: the clip event bit
        std::uint16_t sprite = 0;   // Init: the sprite the script initialises
        std::uint64_t serial = 0;   // the clip's serial number, set by push: a clip made later at the same address differs
        // What holds the actions' bytes, set by push: a movie still streaming in replaces its root timeline
        // while scripts of frames already entered wait.
        std::shared_ptr<const void> owner;

        static Entry clipEvent(Clip* clip, std::uint32_t event)
        {
            Entry e;
            e.clip = clip;
            e.kind = Kind::Event;
            e.event = event;
            return e;
        }
        static Entry initAction(Clip* clip, const std::vector<std::uint8_t>* actions, std::uint16_t sprite)
        {
            Entry e;
            e.clip = clip;
            e.actions = actions;
            e.kind = Kind::Init;
            e.sprite = sprite;
            return e;
        }
    };
    void push(Clip* clip, const std::vector<std::uint8_t>* actions)
    {
        Entry entry;
        entry.clip = clip;
        entry.actions = actions;
        push(entry);
    }
    void push(const Entry& entry);
    bool empty() const { return m_entries.empty(); }
    std::vector<Entry> take();
    void clear() { m_entries.clear(); }
    // Drops the entries of a clip that is going away. Other entries may name clips already gone (their
    // serial tells), so they are kept as they are, never read through.
    void dropClip(const Clip* clip);
    // The name a clip placed without one gets ("instance1", "instance2" … in placing order).
    std::string nextInstanceName() { return "instance" + std::to_string(++m_instances); }

private:
    std::vector<Entry> m_entries;
    std::size_t m_instances = 0;
};

}  // namespace swf
