#pragma once
// The records of the window messages being handled, one per nesting level. A message sent
// while another is handled (a window call that sends synchronously) gets its own record, so
// the outer handler still reads and answers its own message when the inner one returns.
#include "platform/WindowMessages.h"

#include <deque>

namespace lv::core {

class CWindowMessageStack
{
public:
    // Starts handling a message: a fresh record with result 0 and the given queue time.
    // The reference stays valid until the matching Pop.
    CWindowMessage& Push(HWND window, u32 message, WPARAM wParam, LPARAM lParam, u32 time);
    // Ends the innermost message and returns its result.
    LRESULT Pop();

    // The innermost record; a shared empty record (message WM_NULL) when none is handled.
    CWindowMessage& Top();
    size_t GetDepth() const { return m_Records.size(); }

private:
    std::deque<CWindowMessage> m_Records;
    CWindowMessage m_Empty;
};

// Pushes on construction and pops on destruction.
class CWindowMessageScope
{
public:
    CWindowMessageScope(CWindowMessageStack& stack, HWND window, u32 message, WPARAM wParam, LPARAM lParam,
                        u32 time)
        : m_Stack(stack), m_Record(stack.Push(window, message, wParam, lParam, time))
    {
    }
    ~CWindowMessageScope() { m_Stack.Pop(); }
    CWindowMessageScope(const CWindowMessageScope&) = delete;
    CWindowMessageScope& operator=(const CWindowMessageScope&) = delete;

    CWindowMessage& Record() { return m_Record; }

private:
    CWindowMessageStack& m_Stack;
    CWindowMessage& m_Record;
};

} // namespace lv::core
