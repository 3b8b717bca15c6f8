// The order in which a movie's clips take their frame step: the newest clip first and the root last, as
// Flash keeps them. A clip joins the list when it is made and leaves it when it goes.
#pragma once

namespace swf {

class Clip;
class ExecutionList;

// A clip's place in an execution list.
struct ExecutionLink {
    Clip* previous = nullptr;  // newer
    Clip* next = nullptr;      // older
    ExecutionList* list = nullptr;
};

class ExecutionList {
public:
    ExecutionList() = default;
    ~ExecutionList();
    ExecutionList(const ExecutionList&) = delete;
    ExecutionList& operator=(const ExecutionList&) = delete;

    // Puts a clip at the front; a clip already in a list stays where it is.
    void add(Clip& clip);
    void remove(Clip& clip);
    bool empty() const { return m_head == nullptr; }

    // Calls step(clip) for each clip in the list, newest first. Clips added meanwhile wait for the next walk
    // (they ran their first frame when they were made); clips that go meanwhile are not visited.
    template <typename Step>
    void forEach(Step step)
    {
        m_cursor = m_head;
        while (m_cursor) {
            Clip* clip = m_cursor;
            m_cursor = nextOf(*clip);
            step(*clip);
        }
    }

private:
    static Clip* nextOf(const Clip& clip);

    Clip* m_head = nullptr;
    Clip* m_cursor = nullptr;  // the clip a walk visits next
};

}  // namespace swf
