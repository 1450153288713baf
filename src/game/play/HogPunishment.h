#pragma once
// The fast-click punishment of a hidden-object search: five misses in quick succession hide the
// cursor, disable the menu buttons, block the HUD and play a warning clip for six seconds.
#include "core/Types.h"

#include <memory>

class CClip;

namespace lv::graphics {
class CRenderer;
}

namespace game {

class CHogPunishment
{
public:
    static constexpr s32 kMaxGap = 500;
    static constexpr s32 kStreakLength = 5;
    static constexpr s32 kDuration = 6000;

    CHogPunishment();
    ~CHogPunishment();
    CHogPunishment(const CHogPunishment&) = delete;
    CHogPunishment& operator=(const CHogPunishment&) = delete;

    // A miss at that time; the fifth within kMaxGap of each other starts the punishment.
    void RegisterMiss(s32 now);
    void Update(s32 frameDelta);
    void Draw(lv::graphics::CRenderer& renderer);
    // Gives back the cursor, the menu buttons and the HUD input; the streak starts over.
    void End();

    bool IsActive() const { return m_Active; }
    bool IsVisible() const { return m_Visible; }
    s32 GetStreak() const { return m_Streak; }
    s32 GetElapsed() const { return m_Elapsed; }
    const CClip* GetClip() const { return m_Clip.get(); }

private:
    void Start(s32 now);
    static void SetGameBlocked(bool blocked);

    std::unique_ptr<CClip> m_Clip;
    bool m_Visible = false;
    s32 m_Elapsed = 0;
    s32 m_Start = 0;
    s32 m_LastMiss = 0;
    s32 m_Streak = 0;
    bool m_Active = false;
};

} // namespace game
