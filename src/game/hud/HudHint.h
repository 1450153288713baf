#pragma once
// The hint button at the bottom right: a charged click lights up what the story needs next,
// then the button recharges. This first cut keeps the phases, the recharge time and the saved
// piece; the target search joins later.
#include "core/Types.h"
#include "core/Vector2.h"

namespace lv::graphics {
class CRenderer;
}

namespace qe {
class CBinaryReader;
class CBinaryWriter;
class CSceneObject;
} // namespace qe

namespace game {

class CHudInventory;
class CSceneStack;

class CHudHint
{
public:
    static constexpr s32 kDefaultRechargeTime = 45000;
    static constexpr s32 kActivationTime = 1000;
    static constexpr s32 kMinimumRechargeTime = 1000;

    CHudHint() = default;
    CHudHint(const CHudHint&) = delete;
    CHudHint& operator=(const CHudHint&) = delete;

    void Attach(CSceneStack* sceneStack, CHudInventory* inventory);
    void LoadStateClips() {}
    void Layout() {}
    void ResetForLevel() { SetPhase(0); }
    void Reset();
    void SetPhase(s32 phase);
    s32 GetPhase() const { return m_Phase; }
    s32 GetPhaseTime() const { return m_PhaseTime; }

    s32 GetDefaultRechargeTime() const { return kDefaultRechargeTime; }
    void SetRechargeTime(s32 ms);
    // The full cycle as set: activation plus recharge.
    s32 GetRechargeTime() const { return kActivationTime + m_RechargeTime; }

    void SetVisible(bool visible) { m_Visible = visible; }
    bool IsVisible() const { return m_Visible; }
    void SetLocked(bool locked) { m_Locked = locked; }
    bool IsLocked() const { return m_Locked; }

    void Update();
    void Draw(lv::graphics::CRenderer&) {}
    bool OnClick(const CVector2&) { return false; }
    bool OnMouseMove(const CVector2&) { return false; }
    void SetAlpha(u16) {}

    s32 GetSaveSize() const { return 8; }
    void Save(qe::CBinaryWriter& writer);
    bool Load(qe::CBinaryReader& reader);

private:
    CSceneStack* m_SceneStack = nullptr;
    CHudInventory* m_Inventory = nullptr;
    s32 m_Phase = 0;
    s32 m_PhaseTime = 0;
    s32 m_RechargeTime = kDefaultRechargeTime - kActivationTime;
    bool m_Visible = true;
    bool m_Locked = false;
    qe::CSceneObject* m_Target = nullptr;
    qe::CSceneObject* m_UseObject = nullptr;
};

} // namespace game
