#include "core/WindowMessageStack.h"

namespace lv::core {

CWindowMessage& CWindowMessageStack::Push(HWND window, u32 message, WPARAM wParam, LPARAM lParam, u32 time)
{
    CWindowMessage& record = m_Records.emplace_back();
    record.Window = window;
    record.Message = message;
    record.WParam = wParam;
    record.LParam = lParam;
    record.Result = 0;
    record.Time = time;
    return record;
}

LRESULT CWindowMessageStack::Pop()
{
    if (m_Records.empty())
        return 0;
    const LRESULT result = m_Records.back().Result;
    m_Records.pop_back();
    return result;
}

CWindowMessage& CWindowMessageStack::Top()
{
    if (m_Records.empty()) {
        // Callers may write a result into it; keep it empty for the next reader.
        m_Empty = CWindowMessage();
        return m_Empty;
    }
    return m_Records.back();
}

} // namespace lv::core
