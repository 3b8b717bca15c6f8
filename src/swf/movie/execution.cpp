#include "swf/movie/execution.h"

#include "swf/movie/clip.h"

namespace swf {

ExecutionList::~ExecutionList()
{
    // Clips that outlive the list must not reach back into it when they go.
    while (m_head)
        remove(*m_head);
}

Clip* ExecutionList::nextOf(const Clip& clip)
{
    return clip.m_execution.next;
}

void ExecutionList::add(Clip& clip)
{
    ExecutionLink& link = clip.m_execution;
    if (link.list)
        return;
    link.list = this;
    link.previous = nullptr;
    link.next = m_head;
    if (m_head)
        m_head->m_execution.previous = &clip;
    m_head = &clip;
}

void ExecutionList::remove(Clip& clip)
{
    ExecutionLink& link = clip.m_execution;
    if (link.list != this)
        return;
    if (m_cursor == &clip)
        m_cursor = link.next;
    if (link.previous)
        link.previous->m_execution.next = link.next;
    else
        m_head = link.next;
    if (link.next)
        link.next->m_execution.previous = link.previous;
    link = ExecutionLink();
}

}  // namespace swf
