#include "game/play/Minigame.h"

#include "game/play/MinigameHintFeedback.h"
#include "qe/Scene.h"

#include <cstdlib>
#include <cstring>

namespace game {

qe::CSceneObject* CMinigame::GetHintObject(const char*)
{
    return nullptr;
}

void CMinigame::Activate(qe::CSceneView*) {}

void CMinigame::Draw(lv::graphics::CRenderer&) {}

bool CMinigame::OnMouseDown(const CPoint2i&)
{
    return true;
}

bool CMinigame::OnMouseUp(const CPoint2i&)
{
    return true;
}

bool CMinigame::OnMouseMove(const CPoint2i&)
{
    return true;
}

void CMinigame::SaveState(qe::CBinaryWriter&) {}

bool CMinigame::LoadState(qe::CBinaryReader&)
{
    return true;
}

void CMinigame::ReadHintArguments(MinigameHintFeedback* feedback)
{
    const u32 count = GetParamCount();
    for (u32 i = 0; i < count; ++i)
    {
        const char* key = GetParamKey(i).GetText();
        const char* value = GetParamValue(i).GetText();
        if (std::strstr(key, "hint_obj"))
        {
            qe::CScene* scene = GetScene();
            m_HintObject = scene ? scene->FindObject(value) : nullptr;
        }
        if (std::strstr(key, "feedback") && feedback)
        {
            // Not a number reads as 0, like atoi.
            feedback->SetTextId(static_cast<s32>(std::strtol(value, nullptr, 10)));
        }
    }
}

} // namespace game
