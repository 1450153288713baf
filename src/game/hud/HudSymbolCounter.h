#pragma once
// The short display at the top left that counts the hidden collectibles out of 33, with an
// effect where the collectible was taken. It also counts the special objects of the run.
#include "core/Types.h"
#include "core/Vector2.h"

#include <memory>

class CClip;

namespace lv::graphics {
class CRenderer;
}

namespace game {

class CHud;
class CSceneStack;

class CHudSymbolCounter
{
public:
    static constexpr s32 kTotal = 33;
    static constexpr s32 kLongDuration = 5500;
    static constexpr s32 kShortDuration = 2500;
    static constexpr s32 kFirstMessageId = 815;

    CHudSymbolCounter();
    ~CHudSymbolCounter();
    CHudSymbolCounter(const CHudSymbolCounter&) = delete;
    CHudSymbolCounter& operator=(const CHudSymbolCounter&) = delete;

    void Attach(CHud* hud, CSceneStack* sceneStack);

    bool CountCandy(const CVector2& point);
    bool CountSpecialObject(const CVector2& point);
    void ShowCount(const CVector2& point);
    bool IsBusy() const { return m_Active; }
    void Reset();

    void Update();
    void Draw(lv::graphics::CRenderer& renderer);
    void SetAlpha(u16 alpha);
    void Layout();

    s32 GetSpecialCount() const { return m_SpecialCount; }
    s32 GetShownCount() const { return m_ShownCount; }
    s32 GetElapsed() const { return m_Elapsed; }
    s32 GetDuration() const { return m_Duration; }
    s32 GetMessageId() const { return m_MessageId; }
    s32 GetMessageDelay() const { return m_MessageDelay; }

private:
    void Hide();
    void ShowMessage(s32 textId);

    s32 m_SpecialCount = 0;
    s32 m_ShownCount = 0;
    std::unique_ptr<CClip> m_CounterClip;
    std::unique_ptr<CClip> m_EffectClip;
    bool m_Active = false;
    s32 m_Elapsed = 0;
    s32 m_Duration = 0;
    CHud* m_Hud = nullptr;
    CSceneStack* m_SceneStack = nullptr;
    s32 m_MessageDelay = 1000;
    s32 m_MessageId = 0;
};

} // namespace game
