#include "game/play/MinigameManager.h"

#include "core/Log.h"
#include "game/play/Minigame.h"
#include "game/play/SceneStack.h"
#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"
#include "qe/MinigameFactory.h"
#include "qe/SceneView.h"

#include <algorithm>
#include <cinttypes>

namespace game {

namespace {

constexpr const char* kHostChannel = "minigames";

} // namespace

CMinigameManager::CMinigameManager()
{
    qe::CMinigameFactory::Instance().SetCreatedCallback(&CMinigameManager::OnMinigameCreatedThunk, this);
}

CMinigameManager::~CMinigameManager()
{
    qe::CMinigameFactory::Instance().ClearCreatedCallback(this);
    DeleteAll();
    DeleteParked();
}

void CMinigameManager::Clear()
{
    DeleteAll();
}

void CMinigameManager::DeleteAll()
{
    m_Active.clear();
    std::vector<SEntry> live;
    live.swap(m_Live);
    std::vector<qe::CMinigameBase*> refused;
    refused.swap(m_Refused);
    for (const SEntry& entry : live)
        Dispose(entry.minigame);
    for (qe::CMinigameBase* minigame : refused)
        Dispose(minigame);
}

void CMinigameManager::Dispose(qe::CMinigameBase* minigame)
{
    // A minigame may clear the host from inside one of its own calls (a level change): it is
    // deleted once the walk that called it is over.
    if (m_WalkDepth > 0)
        m_Parked.push_back(minigame);
    else
        delete minigame;
}

void CMinigameManager::DeleteParked()
{
    std::vector<qe::CMinigameBase*> parked;
    parked.swap(m_Parked);
    for (qe::CMinigameBase* minigame : parked)
        delete minigame;
}

void CMinigameManager::OnMinigameCreatedThunk(const char* name, qe::CMinigameBase* minigame, void* context)
{
    if (context)
        static_cast<CMinigameManager*>(context)->OnMinigameCreated(name, minigame);
}

void CMinigameManager::OnMinigameCreated(const char* name, qe::CMinigameBase* base)
{
    CMinigame* minigame = dynamic_cast<CMinigame*>(base);
    if (!minigame)
    {
        lv::core::CLog::Instance().Print(kHostChannel, 2, "minigame host: '%s' is not a game minigame",
                                         name ? name : "");
        m_Refused.push_back(base);
        return;
    }
    if (m_Live.size() >= kMaxLive)
    {
        // Never run nor saved, but owned so that it is deleted with the others.
        lv::core::CLog::Instance().Print(kHostChannel, 2, "minigame host: more than %u minigames, '%s' is ignored",
                                         kMaxLive, name ? name : "");
        m_Refused.push_back(minigame);
        return;
    }
    m_Live.push_back(SEntry{minigame, ++m_LastSerial});
    qe::CSceneView* top = m_SceneStack ? m_SceneStack->GetTopView() : nullptr;
    if (top && top->GetScene() && minigame->GetScene() == top->GetScene())
        Activate(minigame, top);
}

void CMinigameManager::Activate(CMinigame* minigame, qe::CSceneView* view)
{
    if (m_Active.size() >= kMaxActive || !minigame)
        return;
    minigame->Activate(view);
    // Its Activate may have changed the lists.
    if (m_Active.size() < kMaxActive && FindLive(minigame) >= 0 && !IsActive(minigame))
        m_Active.push_back(minigame);
}

void CMinigameManager::OnSceneShown(qe::CSceneView* view)
{
    ++m_ShownSerial;
    const u64 shown = m_ShownSerial;
    std::vector<SEntry> active = SnapshotActive();
    m_Active.clear();
    ++m_WalkDepth;
    for (const SEntry& entry : active)
        if (IsSameLive(entry))
            entry.minigame->Deactivate();
    if (view && view->GetScene())
    {
        const std::vector<SEntry> live = m_Live;
        for (const SEntry& entry : live)
        {
            // A minigame that shows another scene from its Activate starts a newer walk: this one
            // is over.
            if (m_ShownSerial != shown)
                break;
            if (IsSameLive(entry) && entry.minigame->GetScene() == view->GetScene())
                Activate(entry.minigame, view);
        }
    }
    EndWalk();
}

std::vector<CMinigameManager::SEntry> CMinigameManager::SnapshotActive() const
{
    std::vector<SEntry> entries;
    for (CMinigame* minigame : m_Active)
    {
        const s32 index = FindLive(minigame);
        if (index >= 0)
            entries.push_back(m_Live[static_cast<size_t>(index)]);
    }
    return entries;
}

bool CMinigameManager::IsSameLive(const SEntry& entry) const
{
    // The serial tells a minigame from a newer one that got the address of a deleted one.
    const s32 index = FindLive(entry.minigame);
    return index >= 0 && m_Live[static_cast<size_t>(index)].serial == entry.serial;
}

bool CMinigameManager::IsStillActive(const SEntry& entry) const
{
    return IsSameLive(entry) && IsActive(entry.minigame);
}

void CMinigameManager::EndWalk()
{
    if (--m_WalkDepth == 0)
        DeleteParked();
}

void CMinigameManager::Update()
{
    ++m_WalkDepth;
    for (const SEntry& entry : SnapshotActive())
        if (IsStillActive(entry))
            entry.minigame->Update();
    EndWalk();
    RemoveFinished();
}

void CMinigameManager::Draw(lv::graphics::CRenderer& renderer)
{
    ++m_WalkDepth;
    for (const SEntry& entry : SnapshotActive())
        if (IsStillActive(entry))
            entry.minigame->Draw(renderer);
    EndWalk();
}

void CMinigameManager::UpdateLayout()
{
    ++m_WalkDepth;
    for (const SEntry& entry : SnapshotActive())
        if (IsStillActive(entry))
            entry.minigame->Layout();
    EndWalk();
}

bool CMinigameManager::DispatchMouse(EMouse kind, const CPoint2i& point)
{
    bool taken = false;
    ++m_WalkDepth;
    for (const SEntry& entry : SnapshotActive())
    {
        if (!IsStillActive(entry))
            continue;
        CMinigame* minigame = entry.minigame;
        switch (kind)
        {
        case EMouse::Down: taken = minigame->OnMouseDown(point); break;
        case EMouse::Up: taken = minigame->OnMouseUp(point); break;
        case EMouse::Move: taken = minigame->OnMouseMove(point); break;
        }
        if (taken)
            break;
    }
    EndWalk();
    RemoveFinished();
    return taken;
}

bool CMinigameManager::OnMouseDown(const CPoint2i& point)
{
    return DispatchMouse(EMouse::Down, point);
}

bool CMinigameManager::OnMouseUp(const CPoint2i& point)
{
    return DispatchMouse(EMouse::Up, point);
}

bool CMinigameManager::OnMouseMove(const CPoint2i& point)
{
    return DispatchMouse(EMouse::Move, point);
}

void CMinigameManager::RemoveFinished()
{
    size_t index = 0;
    while (index < m_Live.size())
    {
        CMinigame* minigame = m_Live[index].minigame;
        if (!minigame->IsFinished())
        {
            ++index;
            continue;
        }
        const auto active = std::find(m_Active.begin(), m_Active.end(), minigame);
        if (active != m_Active.end())
            m_Active.erase(active);
        m_Live.erase(m_Live.begin() + static_cast<std::ptrdiff_t>(index));
        Dispose(minigame);
    }
}

s32 CMinigameManager::FindLive(const CMinigame* minigame) const
{
    for (size_t i = 0; i < m_Live.size(); ++i)
        if (m_Live[i].minigame == minigame)
            return static_cast<s32>(i);
    return -1;
}

bool CMinigameManager::IsActive(const CMinigame* minigame) const
{
    return std::find(m_Active.begin(), m_Active.end(), minigame) != m_Active.end();
}

bool CMinigameManager::HasActiveMinigameInScene(const qe::CScene* scene) const
{
    for (const CMinigame* minigame : m_Active)
        if (minigame->GetScene() == scene)
            return true;
    return false;
}

bool CMinigameManager::HasMinisceneMinigame(const qe::CScene* scene) const
{
    for (const CMinigame* minigame : m_Active)
        if (!minigame->IsOutsideMiniscene() && (!scene || minigame->GetScene() == scene))
            return true;
    return false;
}

void CMinigameManager::Save(qe::CBinaryWriter& writer)
{
    writer.WriteInt32(GetLiveCount());
    for (const SEntry& entry : m_Live)
    {
        writer.WriteInt64(static_cast<s64>(entry.minigame->GetBlockGuid()));
        entry.minigame->SaveState(writer);
    }
}

bool CMinigameManager::Load(qe::CBinaryReader& reader)
{
    const s32 count = reader.ReadInt32();
    if (reader.HasError() || count != GetLiveCount())
        return false;
    for (s32 i = 0; i < count; ++i)
    {
        const u64 guid = static_cast<u64>(reader.ReadInt64());
        if (reader.HasError())
            return false;
        CMinigame* owner = nullptr;
        for (const SEntry& entry : m_Live)
            if (entry.minigame->GetBlockGuid() == guid)
            {
                owner = entry.minigame;
                break;
            }
        if (!owner)
        {
            lv::core::CLog::Instance().Print(kHostChannel, 2, "minigame host: no minigame of block %" PRIu64 " to load", guid);
            return false;
        }
        if (!owner->LoadState(reader) || reader.HasError())
            return false;
    }
    return true;
}

} // namespace game
