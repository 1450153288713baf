#include "gui/EditHistory.h"

namespace lv::gui {

void CEditHistory::Push(const WString& text)
{
    if (m_Position > 0 && m_Entries[static_cast<size_t>(m_Position - 1)] == text)
        return;
    m_Entries.resize(static_cast<size_t>(m_Position));
    if (static_cast<s32>(m_Entries.size()) > kLimit)
        m_Entries.pop_front();
    m_Entries.push_back(text);
    m_Position = static_cast<s32>(m_Entries.size());
}

const WString& CEditHistory::Undo()
{
    --m_Position;
    return m_Entries[static_cast<size_t>(m_Position - 1)];
}

const WString& CEditHistory::Redo()
{
    ++m_Position;
    return m_Entries[static_cast<size_t>(m_Position - 1)];
}

} // namespace lv::gui
