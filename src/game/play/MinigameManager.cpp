#include "game/play/MinigameManager.h"

#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"

namespace game {

void CMinigameManager::Clear() {}

void CMinigameManager::Update()
{
    RemoveFinished();
}

void CMinigameManager::Draw(lv::graphics::CRenderer&) {}

bool CMinigameManager::OnMouseDown(const CPoint2i&)
{
    return false;
}

bool CMinigameManager::OnMouseUp(const CPoint2i&)
{
    return false;
}

bool CMinigameManager::OnMouseMove(const CPoint2i&)
{
    return false;
}

void CMinigameManager::OnSceneShown(qe::CSceneView*) {}

void CMinigameManager::RemoveFinished() {}

bool CMinigameManager::HasActiveMinigameInScene(const qe::CScene*) const
{
    return false;
}

bool CMinigameManager::HasMinisceneMinigame(const qe::CScene*) const
{
    return false;
}

void CMinigameManager::Save(qe::CBinaryWriter& writer)
{
    writer.WriteInt32(GetLiveCount());
}

bool CMinigameManager::Load(qe::CBinaryReader& reader)
{
    const s32 count = reader.ReadInt32();
    return !reader.HasError() && count == GetLiveCount();
}

} // namespace game
