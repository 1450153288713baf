#pragma once
// The notepad: the list of story notes the player has collected. This first cut keeps the
// notes; its page view joins later.
#include "core/Types.h"
#include "core/Vector2.h"

namespace lv::graphics {
class CRenderer;
}

namespace game {

class CHudNotepad
{
public:
    // Note numbers, -1 for an empty entry; the last entry takes every note past the 69th.
    static constexpr s32 kEntryCount = 70;

    CHudNotepad();
    CHudNotepad(const CHudNotepad&) = delete;
    CHudNotepad& operator=(const CHudNotepad&) = delete;

    // `name` holds a note id as decimal text.
    void AddNote(const char* name);
    s32 GetNote(s32 index) const { return m_Notes[index]; }
    s32 GetCurrentSpread() const { return m_Current; }

    void Update() {}
    void Draw(lv::graphics::CRenderer&) {}
    bool OnClick(const CVector2&) { return false; }
    bool OnMouseMove(const CVector2&) { return false; }

private:
    s8 m_Current = -1;
    s8 m_Notes[kEntryCount];
};

} // namespace game
