#pragma once
// The base of everything that stands in a scene: a flag word (disabled, hidden, removed), an
// opacity override for fades, a depth that orders drawing and hit tests, and the object's record
// in the quest data image, which gives its name, guid, hint and initial flags.
#include "core/Color.h"
#include "core/FixedString.h"
#include "core/Types.h"
#include "core/Vector2.h"

namespace lv::graphics {
class CRenderer;
}

namespace qe {

class CAreaObject;
class CBinaryReader;
class CBinaryWriter;
class CClipObject;
class CImageObject;
class CScene;
class CVideoObject;

class CSceneObject
{
public:
    enum EFlags : u16
    {
        kDisabled = 1,
        kHidden = 2,
        kRemoved = 4,
    };
    enum EType
    {
        kTypeArea = 0,
        kTypeGroup = 1,
        kTypeImage = 2,
        kTypeClip = 3,
        kTypeVideo = 4,
    };
    // Offsets inside an object record of the quest data image.
    static constexpr size_t kRecordHeaderSize = 216;
    // Bytes of one object's saved state.
    static constexpr s32 kStateSize = 12;

    explicit CSceneObject(CScene* scene);
    virtual ~CSceneObject() = default;

    virtual void Update() = 0;
    virtual bool HitTest(const CVector2& point) = 0;
    virtual s32 GetType() const = 0;
    virtual CSceneObject* Clone() const = 0;
    virtual void SetPosition(const CVector2& position) = 0;
    virtual CVector2 GetPosition() const = 0;
    virtual CVector2 GetSize() const = 0;
    virtual void SetSize(const CVector2& size) = 0;
    virtual float GetAngle() const = 0;
    virtual void SetAngle(float angle) = 0;
    virtual void Save(CBinaryWriter& writer);
    virtual bool Load(CBinaryReader& reader);
    virtual bool OnClick(const CVector2& point);
    virtual void Draw(lv::graphics::CRenderer& renderer) = 0;

    // The record's name; a shared empty name without a record.
    const CFixedString& GetName() const;
    const char* GetNameCStr() const { return GetName().GetText(); }
    // The hint text; null when the record has none, empty without a record.
    const char* GetHintText() const;
    u64 GetGuid() const;

    u16 GetFlags() const { return m_Flags; }
    void SetFlags(u16 flags) { m_Flags = flags; }
    void AddFlags(u16 flags) { m_Flags = static_cast<u16>(m_Flags | flags); }
    void RemoveFlags(u16 flags) { m_Flags = static_cast<u16>(m_Flags & ~flags); }
    void ToggleFlags(u16 flags) { m_Flags = static_cast<u16>(m_Flags ^ flags); }
    bool HasFlags(u16 flags) const { return (m_Flags & flags) != 0; }
    bool IsDrawable() const { return !HasFlags(kHidden | kRemoved); }
    bool IsClickable() const { return !HasFlags(kDisabled | kHidden | kRemoved); }

    // -1 switches the override off.
    void SetOpacity(float opacity) { m_Opacity = opacity; }
    float GetOpacity() const { return m_Opacity; }
    void SetDepth(float depth) { m_Depth = depth; }
    float GetDepth() const { return m_Depth; }

    CScene* GetScene() const { return m_Scene; }
    // "scene/object".
    void GetPath(CFixedString& path) const;

    // Where a record's payload starts: after the header and the hint text.
    static const u8* GetPayloadOf(const u8* record)
    {
        return record + kRecordHeaderSize + static_cast<u16>(record[208] | (record[209] << 8));
    }

    // Name equality that never writes into either record: a stored hash of 0 is computed here
    // rather than cached, since records in a loaded image may be read-only mappings.
    static bool NamesEqual(const CFixedString& a, const CFixedString& b);

    // The first child of that name (groups); null when none.
    virtual CSceneObject* FindChild(const CFixedString& name) const;
    // The child of that name when it has the type; otherwise the "Error" report and the quest's
    // placeholder of the type, so the caller can go on (never null).
    CImageObject* FindChildImage(const CFixedString& name) const;
    CClipObject* FindChildClip(const CFixedString& name) const;
    CVideoObject* FindChildVideo(const CFixedString& name) const;
    CAreaObject* FindChildArea(const CFixedString& name) const;
    // The same without the report: true with the child, or false with the placeholder.
    bool TryFindChildImage(const CFixedString& name, CImageObject*& object) const;
    bool TryFindChildClip(const CFixedString& name, CClipObject*& object) const;
    bool TryFindChildVideo(const CFixedString& name, CVideoObject*& object) const;
    bool TryFindChildArea(const CFixedString& name, CAreaObject*& object) const;

    // Keeps the record (not owned) and takes the low 16 bits of its flags.
    void SetRecord(const u8* record);
    const u8* GetRecord() const { return m_Record; }

    // Draws with the opacity override multiplied into the renderer's colour.
    void Render(lv::graphics::CRenderer& renderer);

    // The content pixel under a scene point for an object of the given centre, size and angle
    // whose content is w x h pixels; false when the point lies outside. An object without
    // extent (size or content 0) contains no point.
    static bool GetLocalPoint(const CVector2& point, const CVector2& position, const CVector2& size, float angle,
                              s32 w, s32 h, CVector2& local);

protected:
    CSceneObject(const CSceneObject&) = default;
    CSceneObject& operator=(const CSceneObject&) = delete;

    // The child of that name and type, else the placeholder of the type (reported when asked).
    CSceneObject* FindChildOfType(const CFixedString& name, s32 type, const char* typeText, bool report,
                                  bool& found) const;

    // The state's guid and flag word, with extra bits for the kinds that play.
    void SaveBase(CBinaryWriter& writer, u32 extraBits) const;
    // Reads the guid and the flag int32; false on another guid (nothing changed). The full int32
    // goes to `stored` for the kinds that keep extra bits in it.
    bool LoadBase(CBinaryReader& reader, u32& stored);

    u16 m_Flags = 0;
    float m_Opacity = -1.0f;
    CScene* m_Scene = nullptr;
    float m_Depth = 0.0f;
    const u8* m_Record = nullptr;
};

} // namespace qe
