#pragma once
// A scene of a quest: a location or a close-up miniscene with its objects. The live objects are
// kept nearest first (larger depth nearer); additions and removals wait for the next update so
// that callers walking the list are never disturbed. Each live object is a clone of a prototype
// built from the quest data image, in data order.
#include "core/FixedString.h"
#include "core/IntRect.h"
#include "core/Point2i.h"
#include "core/Types.h"
#include "core/Vector2.h"

#include <vector>

namespace lv::graphics {
class CRenderer;
}

namespace qe {

namespace scripts {
class CBlockBase;
class CMinigameBlock;
class CScriptSet;
} // namespace scripts

class CAreaObject;
class CBinaryReader;
class CBinaryWriter;
class CClipObject;
class CGroupObject;
class CImageObject;
class CQuest;
class CSceneObject;
class CVideoObject;

class CScene
{
public:
    enum EFlags : u32
    {
        kStartScene = 1,
        kMiniscene = 2,
    };
    // Bytes of one scene record in the quest data image.
    static constexpr size_t kRecordSize = 144;

    CScene(CQuest* quest, const char* name);
    ~CScene();
    CScene(const CScene&) = delete;
    CScene& operator=(const CScene&) = delete;

    // Name, guid, flags, size and work area from a scene record of a checked image.
    void InitFromRecord(const u8* record);
    // Takes the prototype; its clone joins the live list behind the objects already there, one
    // depth unit further back (1, 0, -1 ...).
    void AddPrototype(CSceneObject* prototype);

    const CFixedString& GetName() const { return m_Name; }
    u64 GetGuid() const { return m_Guid; }
    const CPoint2i& GetSize() const { return m_Size; }
    const CIntRect& GetWorkArea() const { return m_WorkArea; }
    u32 GetFlags() const { return m_Flags; }
    bool HasFlags(u32 mask) const { return (m_Flags & mask) != 0; }
    CQuest* GetQuest() const { return m_Quest; }
    u32 GetOpenCounter() const { return m_OpenCounter; }

    // The first live object of that name, nearest first; null when none.
    CSceneObject* FindObject(const CFixedString& name) const;
    CSceneObject* FindObject(const char* name) const { return FindObject(CFixedString(name)); }
    // The object of that name and kind, or (with an "Error" report) the quest's placeholder.
    CImageObject* FindImageObject(const char* name);
    CClipObject* FindClipObject(const char* name);
    CVideoObject* FindVideoObject(const char* name);
    CAreaObject* FindAreaObject(const char* name);
    CGroupObject* FindGroupObject(const char* name);
    // Silent: false with the placeholder.
    bool TryFindImageObject(const char* name, CImageObject*& out);
    bool TryFindClipObject(const char* name, CClipObject*& out);
    bool TryFindVideoObject(const char* name, CVideoObject*& out);
    bool TryFindAreaObject(const char* name, CAreaObject*& out);
    bool TryFindGroupObject(const char* name, CGroupObject*& out);

    // The open counter goes 0, 1, 2 and stays; the videos among the live objects and the
    // children of live groups are told.
    void Enter();
    void Leave(bool stopVideos);
    // Offers the click to the objects hit, nearest first; false without a script set.
    bool HandleClick(const CPoint2i& point, const char* itemName);
    // The developer overlay takes the click first; false without a script set.
    bool HandleCheatClick(const CPoint2i& point);
    // True when the developer overlay takes the point; otherwise what lies under it is
    // classified for the cursor (read back below) and the result is false.
    bool UpdatePointer(const CPoint2i& point, const char* itemName);
    // The pointer kind (0 to 5) with its object, and a door's target scene.
    s32 GetPointerResult(CSceneObject** object) const;
    CScene* GetPointerTargetScene() const;
    void SetCheatMode(bool on);

    // Hint queries of the script set; null or 0 without one.
    CSceneObject* FindHint(const char* activeObject, bool stayLocal) const;
    CScene* FindNearestHintScene(const char* activeObject, s32* distance) const;
    u32 GetActiveScenes(CScene** out, u32 maximum) const;
    u32 GetActiveSceneDoors(CSceneObject** out, u32 maximum) const;
    u32 GetActiveMiniscenes(CScene** out, u32 maximum) const;
    u32 GetActiveMinisceneDoors(CSceneObject** out, u32 maximum) const;
    scripts::CMinigameBlock* GetFirstReadyMinigame() const;
    u32 GetReadyMinigameCount() const;
    scripts::CBlockBase* const* GetBlocks() const;
    u32 GetBlockCount() const;
    void SetScriptSet(scripts::CScriptSet* set) { m_ScriptSet = set; }
    scripts::CScriptSet* GetScriptSet() const { return m_ScriptSet; }

    // The object list.
    void SetDepthSorting(bool on) { m_DepthSorting = on; }
    bool IsDepthSorting() const { return m_DepthSorting; }
    s32 GetObjectCount() const { return static_cast<s32>(m_Objects.size()); }
    CSceneObject* GetObject(s32 index) const { return m_Objects[static_cast<size_t>(index)]; }
    const std::vector<CSceneObject*>& GetObjects() const { return m_Objects; }
    const std::vector<CSceneObject*>& GetPrototypes() const { return m_Prototypes; }
    // The index in the live list, or the count when the object is not live.
    s32 IndexOf(const CSceneObject* object) const;
    // Changes whenever the live list gains, loses or reorders objects, so that a caller may keep
    // what a lookup by name found while it stays the same.
    u32 GetListVersion() const { return m_ListVersion; }
    // The scene owns what is added. Into an empty scene at once; otherwise at the next update,
    // in front of the object that is nearest now.
    void AddObject(CSceneObject* object);
    void AddObjectBefore(CSceneObject* object, CSceneObject* anchor);
    void AddObjectAfter(CSceneObject* object, CSceneObject* anchor);
    // Deleted at the next update; a waiting addition is only cancelled (nothing deleted).
    void RemoveObject(CSceneObject* object);
    // Applies the queued changes, updates every object and re-sorts when sorting is on.
    void Update();
    // Back to front.
    void Draw(lv::graphics::CRenderer& renderer);

    s32 GetStateSize() const;
    void Save(CBinaryWriter& writer);
    bool Load(CBinaryReader& reader);

    // The nearest-first order: larger depth first, depths closer than FLT_EPSILON by the larger
    // guid.
    static bool IsNearer(const CSceneObject* a, const CSceneObject* b);

private:
    struct SAddition
    {
        CSceneObject* Object;
        CSceneObject* Anchor;
        bool After;
    };

    void SortObjects();
    // The live object of that name when it has that type id, else null.
    CSceneObject* FindOfType(const char* name, s32 type) const;
    // Reports the failed lookup of a typed object.
    void ReportMissing(const char* name, const char* typeText) const;
    void ForEachVideo(void (*action)(CVideoObject&));

    CFixedString m_Name;
    u64 m_Guid = 0;
    CPoint2i m_Size;
    CIntRect m_WorkArea;
    u32 m_Flags = 0;
    std::vector<CSceneObject*> m_Objects;
    std::vector<CSceneObject*> m_Prototypes;
    u32 m_OpenCounter = 0;
    scripts::CScriptSet* m_ScriptSet = nullptr;
    CQuest* m_Quest = nullptr;
    bool m_DepthSorting = false;
    std::vector<SAddition> m_Additions;
    std::vector<CSceneObject*> m_Removals;
    u32 m_ListVersion = 1;
};

} // namespace qe
