#include "game/play/LevelMusic.h"

namespace game {

bool CLevelMusic::Load(const char*)
{
    m_UpdateCount = 0;
    return true;
}

void CLevelMusic::Update()
{
    ++m_UpdateCount;
}

} // namespace game
