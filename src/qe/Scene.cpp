#include "qe/Scene.h"

#include "core/ByteOrder.h"
#include "qe/AreaObject.h"
#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"
#include "qe/ClipObject.h"
#include "qe/GroupObject.h"
#include "qe/ImageObject.h"
#include "qe/PlaceholderSet.h"
#include "qe/Quest.h"
#include "qe/ScriptEnvironment.h"
#include "qe/ScriptSet.h"
#include "qe/VideoObject.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <unordered_map>

namespace qe {

using lv::core::ReadU32;

CScene::CScene(CQuest* quest, const char* name) : m_Name(name), m_Quest(quest) {}

CScene::~CScene()
{
    for (CSceneObject* object : m_Objects)
        delete object;
    for (CSceneObject* object : m_Prototypes)
        delete object;
    // Queued additions belong to the scene as well.
    for (const SAddition& addition : m_Additions)
        delete addition.Object;
}

void CScene::InitFromRecord(const u8* record)
{
    // The checked image holds a terminated name of at most 87 characters.
    m_Name.ReadRecord(record, CFixedString::kRecordSize);
    m_Guid = static_cast<u64>(ReadU32(record + 96)) | (static_cast<u64>(ReadU32(record + 100)) << 32);
    m_Flags = ReadU32(record + 104);
    m_Size = CPoint2i(static_cast<s32>(ReadU32(record + 108)), static_cast<s32>(ReadU32(record + 112)));
    m_WorkArea = CIntRect(static_cast<s32>(ReadU32(record + 116)), static_cast<s32>(ReadU32(record + 120)),
                          static_cast<s32>(ReadU32(record + 124)), static_cast<s32>(ReadU32(record + 128)));
    const u32 count = ReadU32(record + 132);
    m_Prototypes.reserve(count);
    m_Objects.reserve(2 * static_cast<size_t>(count));
}

void CScene::AddPrototype(CSceneObject* prototype)
{
    if (!prototype)
        return;
    CSceneObject* clone = prototype->Clone();
    clone->SetDepth(1.0f - static_cast<float>(m_Prototypes.size()));
    m_Prototypes.push_back(prototype);
    m_Objects.push_back(clone);
    ++m_ListVersion;
}

CSceneObject* CScene::FindObject(const CFixedString& name) const
{
    for (CSceneObject* object : m_Objects)
        if (CSceneObject::NamesEqual(object->GetName(), name))
            return object;
    return nullptr;
}

CSceneObject* CScene::FindOfType(const char* name, s32 type) const
{
    CSceneObject* object = FindObject(CFixedString(name));
    return object && object->GetType() == type ? object : nullptr;
}

void CScene::ReportMissing(const char* name, const char* typeText) const
{
    ReportObjectNotFound(CFixedString(name), typeText, this);
}

#define QE_SCENE_TYPED_LOOKUP(Class, Kind, TypeText, Getter)                                                          \
    bool CScene::TryFind##Kind##Object(const char* name, Class*& out)                                                 \
    {                                                                                                                  \
        if (CSceneObject* object = FindOfType(name, CSceneObject::kType##Kind))                                        \
        {                                                                                                              \
            out = static_cast<Class*>(object);                                                                         \
            return true;                                                                                               \
        }                                                                                                              \
        out = CPlaceholderSet::For(this).Getter();                                                 \
        return false;                                                                                                  \
    }                                                                                                                  \
    Class* CScene::Find##Kind##Object(const char* name)                                                               \
    {                                                                                                                  \
        Class* out = nullptr;                                                                                          \
        if (!TryFind##Kind##Object(name, out))                                                                         \
            ReportMissing(name, TypeText);                                                                             \
        return out;                                                                                                    \
    }

QE_SCENE_TYPED_LOOKUP(CImageObject, Image, "Image", GetImage)
QE_SCENE_TYPED_LOOKUP(CClipObject, Clip, "Clip", GetClip)
QE_SCENE_TYPED_LOOKUP(CVideoObject, Video, "Video", GetVideo)
QE_SCENE_TYPED_LOOKUP(CAreaObject, Area, "Area", GetArea)
QE_SCENE_TYPED_LOOKUP(CGroupObject, Group, "Group", GetGroup)

#undef QE_SCENE_TYPED_LOOKUP

void CScene::ForEachVideo(void (*action)(CVideoObject&))
{
    for (CSceneObject* object : m_Objects)
    {
        if (object->GetType() == CSceneObject::kTypeVideo)
            action(*static_cast<CVideoObject*>(object));
        else if (object->GetType() == CSceneObject::kTypeGroup)
            for (CSceneObject* child : static_cast<CGroupObject*>(object)->GetChildren())
                if (child->GetType() == CSceneObject::kTypeVideo)
                    action(*static_cast<CVideoObject*>(child));
    }
}

void CScene::Enter()
{
    if (m_OpenCounter < 2)
        ++m_OpenCounter;
    ForEachVideo([](CVideoObject& video) { video.OnSceneEnter(); });
    if (m_ScriptSet)
        m_ScriptSet->OnSceneEvent(true);
}

void CScene::Leave(bool stopVideos)
{
    if (stopVideos)
        ForEachVideo([](CVideoObject& video) { video.OnSceneLeave(); });
    if (m_ScriptSet)
        m_ScriptSet->OnSceneEvent(false);
}

bool CScene::HandleClick(const CPoint2i& point, const char* itemName)
{
    if (!m_ScriptSet)
        return false;
    const CVector2 at(static_cast<float>(point.X), static_cast<float>(point.Y));
    for (CSceneObject* object : m_Objects)
    {
        if (!object->HitTest(at))
            continue;
        if (object->IsClickable() && object->OnClick(at))
            return true;
        // A hit that no block takes goes on to the objects further back.
        if (m_ScriptSet->OnObjectUsed(object, itemName ? itemName : ""))
            return true;
    }
    return false;
}

bool CScene::HandleCheatClick(const CPoint2i& point)
{
    return m_ScriptSet && m_ScriptSet->GetCheatOverlay().OnClick(point);
}

bool CScene::UpdatePointer(const CPoint2i& point, const char* itemName)
{
    if (!m_ScriptSet)
        return false;
    if (m_ScriptSet->GetCheatOverlay().OnMouseMove(point))
        return true;
    m_ScriptSet->GetHintIndex().ClassifyPoint(point, itemName);
    return false;
}

s32 CScene::GetPointerResult(CSceneObject** object) const
{
    if (m_ScriptSet)
        return m_ScriptSet->GetHintIndex().GetPointerResult(object);
    if (object)
        *object = nullptr;
    return 0;
}

CScene* CScene::GetPointerTargetScene() const
{
    return m_ScriptSet ? m_ScriptSet->GetHintIndex().GetPointerTargetScene() : nullptr;
}

void CScene::SetCheatMode(bool on)
{
    if (m_ScriptSet)
        m_ScriptSet->GetCheatOverlay().SetEnabled(on);
}

CSceneObject* CScene::FindHint(const char* activeObject, bool stayLocal) const
{
    return m_ScriptSet ? m_ScriptSet->GetHintIndex().FindHint(activeObject, stayLocal) : nullptr;
}

CScene* CScene::FindNearestHintScene(const char* activeObject, s32* distance) const
{
    if (m_ScriptSet)
        return m_ScriptSet->GetHintIndex().FindNearestHintScene(activeObject, distance);
    if (distance)
        *distance = scripts::CScriptEnvironment::kUnreachable;
    return nullptr;
}

u32 CScene::GetActiveScenes(CScene** out, u32 maximum) const
{
    return m_ScriptSet ? m_ScriptSet->GetHintIndex().GetAvailableScenes(out, maximum) : 0;
}

u32 CScene::GetActiveSceneDoors(CSceneObject** out, u32 maximum) const
{
    return m_ScriptSet ? m_ScriptSet->GetHintIndex().GetAvailableSceneDoors(out, maximum) : 0;
}

u32 CScene::GetActiveMiniscenes(CScene** out, u32 maximum) const
{
    return m_ScriptSet ? m_ScriptSet->GetHintIndex().GetAvailableMiniscenes(out, maximum) : 0;
}

u32 CScene::GetActiveMinisceneDoors(CSceneObject** out, u32 maximum) const
{
    return m_ScriptSet ? m_ScriptSet->GetHintIndex().GetAvailableMinisceneDoors(out, maximum) : 0;
}

scripts::CMinigameBlock* CScene::GetFirstReadyMinigame() const
{
    return m_ScriptSet ? m_ScriptSet->GetHintIndex().GetFirstReadyMinigame() : nullptr;
}

u32 CScene::GetReadyMinigameCount() const
{
    return m_ScriptSet ? m_ScriptSet->GetHintIndex().GetReadyMinigameCount() : 0;
}

scripts::CBlockBase* const* CScene::GetBlocks() const
{
    return m_ScriptSet ? m_ScriptSet->GetBlocks() : nullptr;
}

u32 CScene::GetBlockCount() const
{
    return m_ScriptSet ? m_ScriptSet->GetBlockCount() : 0;
}

s32 CScene::IndexOf(const CSceneObject* object) const
{
    const auto it = std::find(m_Objects.begin(), m_Objects.end(), object);
    return static_cast<s32>(it - m_Objects.begin());
}

void CScene::AddObject(CSceneObject* object)
{
    if (!object || IndexOf(object) < GetObjectCount())
        return;
    if (m_Objects.empty())
    {
        m_Objects.push_back(object);
        ++m_ListVersion;
        return;
    }
    m_Additions.push_back({object, m_Objects.front(), false});
}

void CScene::AddObjectBefore(CSceneObject* object, CSceneObject* anchor)
{
    if (object)
        m_Additions.push_back({object, anchor, false});
}

void CScene::AddObjectAfter(CSceneObject* object, CSceneObject* anchor)
{
    if (object)
        m_Additions.push_back({object, anchor, true});
}

void CScene::RemoveObject(CSceneObject* object)
{
    if (!object)
        return;
    if (IndexOf(object) == GetObjectCount())
    {
        const auto it = std::find_if(m_Additions.begin(), m_Additions.end(),
                                     [object](const SAddition& a) { return a.Object == object; });
        if (it != m_Additions.end())
        {
            m_Additions.erase(it);
            return;
        }
    }
    m_Removals.push_back(object);
}

void CScene::Update()
{
    if (!m_Additions.empty() || !m_Removals.empty())
        ++m_ListVersion;
    for (const SAddition& addition : m_Additions)
    {
        size_t index = static_cast<size_t>(IndexOf(addition.Anchor));
        const size_t last = m_Objects.size(); // the last position once the object is in
        if (addition.After && index < last)
            ++index;
        m_Objects.insert(m_Objects.begin() + static_cast<std::ptrdiff_t>(std::min(index, last)), addition.Object);
    }
    m_Additions.clear();

    for (CSceneObject* object : m_Removals)
    {
        const auto it = std::find(m_Objects.begin(), m_Objects.end(), object);
        if (it == m_Objects.end())
            continue;
        m_Objects.erase(it);
        delete object;
    }
    m_Removals.clear();

    for (CSceneObject* object : m_Objects)
        object->Update();
    if (m_DepthSorting)
        SortObjects();
}

void CScene::Draw(lv::graphics::CRenderer& renderer)
{
    for (auto it = m_Objects.rbegin(); it != m_Objects.rend(); ++it)
        if ((*it)->IsDrawable())
            (*it)->Render(renderer);
    if (m_ScriptSet)
        m_ScriptSet->GetCheatOverlay().Draw(renderer);
}

bool CScene::IsNearer(const CSceneObject* a, const CSceneObject* b)
{
    const float da = a->GetDepth();
    const float db = b->GetDepth();
    if (std::fabs(da - db) < FLT_EPSILON)
        return static_cast<s64>(a->GetGuid()) > static_cast<s64>(b->GetGuid());
    return da > db;
}

void CScene::SortObjects()
{
    // A sorted list stays as it is: its version, and the lookups kept by it, stay valid.
    if (std::is_sorted(m_Objects.begin(), m_Objects.end(), IsNearer))
        return;
    std::stable_sort(m_Objects.begin(), m_Objects.end(), IsNearer);
    ++m_ListVersion;
}

namespace {

s32 ObjectStateSize(const CSceneObject* object)
{
    return object->GetType() == CSceneObject::kTypeGroup ? static_cast<const CGroupObject*>(object)->GetStateSize()
                                                         : CSceneObject::kStateSize;
}

} // namespace

s32 CScene::GetStateSize() const
{
    s32 size = 8;
    for (const CSceneObject* object : m_Objects)
        size += 12 + ObjectStateSize(object);
    return size;
}

void CScene::Save(CBinaryWriter& writer)
{
    writer.WriteInt32(GetObjectCount());
    writer.WriteInt32(static_cast<s32>(m_OpenCounter));
    if (m_DepthSorting)
        SortObjects();
    // Loading re-sorts by depth, so the states go in that order even when depths were changed
    // with sorting off: otherwise they would no longer line up with their objects.
    std::vector<CSceneObject*> order = m_Objects;
    std::stable_sort(order.begin(), order.end(), IsNearer);
    for (const CSceneObject* object : order)
    {
        writer.WriteInt64(static_cast<s64>(object->GetGuid()));
        writer.WriteFloat(object->GetDepth());
    }
    for (CSceneObject* object : order)
        object->Save(writer);
}

bool CScene::Load(CBinaryReader& reader)
{
    const s32 count = reader.ReadInt32();
    const s32 openCounter = reader.ReadInt32();
    if (reader.HasError())
        return false;
    m_OpenCounter = static_cast<u32>(openCounter);
    if (count != GetObjectCount())
        return false;
    std::unordered_map<s64, float> depths;
    depths.reserve(static_cast<size_t>(count));
    for (s32 i = 0; i < count; ++i)
    {
        const s64 guid = reader.ReadInt64();
        const float depth = reader.ReadFloat();
        depths[guid] = depth;
    }
    if (reader.HasError())
        return false;
    for (CSceneObject* object : m_Objects)
    {
        const auto it = depths.find(static_cast<s64>(object->GetGuid()));
        object->SetDepth(it == depths.end() ? 0.0f : it->second);
    }
    SortObjects();
    for (CSceneObject* object : m_Objects)
        if (!object->Load(reader))
            return false;
    return true;
}

} // namespace qe
