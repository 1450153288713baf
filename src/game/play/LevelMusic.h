#pragma once
// The music of the current level. This first cut loads nothing and plays nothing.
#include "core/Types.h"

namespace game {

class CLevelMusic
{
public:
    CLevelMusic() = default;

    bool Load(const char* path);
    void Update();
    s32 GetUpdateCount() const { return m_UpdateCount; }

private:
    s32 m_UpdateCount = 0;
};

} // namespace game
