#include "game/hud/HudNotepad.h"

#include "sound/AudioManager.h"

#include <algorithm>
#include <cstdlib>

namespace game {

CHudNotepad::CHudNotepad()
{
    std::fill(std::begin(m_Notes), std::end(m_Notes), static_cast<s8>(-1));
}

void CHudNotepad::AddNote(const char* name)
{
    s32 index = 0;
    while (index < kEntryCount - 1 && m_Notes[index] != -1)
        ++index;
    m_Current = static_cast<s8>(index);
    lv::sound::GetAudioManager().Play("gui_notepad_add");
    m_Notes[index] = static_cast<s8>(name ? std::atoi(name) : 0);
}

} // namespace game
