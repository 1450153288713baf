#include "game/play/BackgroundSounds.h"

#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"

namespace game {

bool CBackgroundSounds::Load(const char*, qe::CQuest*, qe::CScene* scene)
{
    m_MainScene = scene;
    m_Miniscene = nullptr;
    return true;
}

void CBackgroundSounds::Update() {}

void CBackgroundSounds::SetMainScene(qe::CScene* scene)
{
    m_MainScene = scene;
}

void CBackgroundSounds::SetMiniscene(qe::CScene* scene)
{
    m_Miniscene = scene;
}

void CBackgroundSounds::ClearMiniscene()
{
    m_Miniscene = nullptr;
}

void CBackgroundSounds::Save(qe::CBinaryWriter& writer)
{
    // No sound is playing in this cut: the count only.
    writer.WriteInt32(0);
}

bool CBackgroundSounds::LoadState(qe::CBinaryReader& reader)
{
    // Entries of a fuller save (a name and a flag each) are read past: nothing plays here yet.
    const s32 count = reader.ReadInt32();
    if (reader.HasError() || count < 0 || count > kMaxSounds)
        return false;
    for (s32 i = 0; i < count; ++i)
    {
        reader.ReadNameString();
        reader.ReadInt32();
    }
    return !reader.HasError();
}

} // namespace game
