#pragma once
// The undo and redo list of an edit field: the texts it held, oldest first, and the current one.
#include "core/Types.h"

#include <deque>

namespace lv::gui {

class CEditHistory
{
public:
    static constexpr s32 kLimit = 40;

    // Nothing when the text equals the current entry; otherwise the redo entries go, the oldest
    // leaves when more than the limit are held, and the text becomes current.
    void Push(const WString& text);
    bool CanUndo() const { return m_Position >= 2; }
    bool CanRedo() const { return !m_Entries.empty() && m_Position < static_cast<s32>(m_Entries.size()); }
    // The entry that is current afterwards; call only when allowed.
    const WString& Undo();
    const WString& Redo();
    s32 GetCount() const { return static_cast<s32>(m_Entries.size()); }
    s32 GetPosition() const { return m_Position; }

private:
    std::deque<WString> m_Entries;
    // Entries up to and including the current one.
    s32 m_Position = 0;
};

} // namespace lv::gui
