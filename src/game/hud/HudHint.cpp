#include "game/hud/HudHint.h"

#include "core/TimeSystem.h"
#include "game/hud/Hud.h"
#include "game/hud/HudInventory.h"
#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"

#include <algorithm>

namespace game {

void CHudHint::Attach(CSceneStack* sceneStack, CHudInventory* inventory)
{
    m_SceneStack = sceneStack;
    m_Inventory = inventory;
    if (CHud::GetDifficulty() == 2)
        m_RechargeTime = 2 * kDefaultRechargeTime - kActivationTime;
}

void CHudHint::SetRechargeTime(s32 ms)
{
    m_RechargeTime = std::max(kMinimumRechargeTime, ms - kActivationTime);
}

void CHudHint::Reset()
{
    m_Target = nullptr;
    if (m_Inventory)
        m_Inventory->KeepVisible(true, -1);
    m_UseObject = nullptr;
}

void CHudHint::SetPhase(s32 phase)
{
    m_Phase = phase;
    m_PhaseTime = 0;
    if (phase == 0)
        Reset();
}

void CHudHint::Update()
{
    const s32 delta = CHud::GetClock().GetFrameDelta();
    if (m_Phase == 1) {
        m_PhaseTime += delta;
        if (m_PhaseTime >= kActivationTime)
            SetPhase(2);
    } else if (m_Phase == 2) {
        m_PhaseTime += delta;
        if (m_PhaseTime >= m_RechargeTime)
            SetPhase(0);
    }
}

void CHudHint::Save(qe::CBinaryWriter& writer)
{
    writer.WriteInt32(m_Phase);
    writer.WriteInt32(m_PhaseTime);
}

bool CHudHint::Load(qe::CBinaryReader& reader)
{
    const s32 phase = reader.ReadInt32();
    const s32 time = reader.ReadInt32();
    if (reader.HasError())
        return false;
    m_Phase = phase;
    m_PhaseTime = time;
    return true;
}

} // namespace game
