#pragma once
// A list of child objects drawn, updated, hit-tested and saved as one. It has no placement of its
// own: setting one gives every child the same value, reading one reads the first child.
#include "qe/SceneObject.h"

#include <vector>

namespace qe {

class CGroupObject : public CSceneObject
{
public:
    explicit CGroupObject(CScene* scene) : CSceneObject(scene) {}
    ~CGroupObject() override;

    // Builds the children from the records that follow the group's payload, in data order.
    void InitFromRecord(const u8* record);

    void Update() override;
    bool HitTest(const CVector2& point) override;
    s32 GetType() const override { return kTypeGroup; }
    CSceneObject* Clone() const override;
    void SetPosition(const CVector2& position) override;
    CVector2 GetPosition() const override;
    CVector2 GetSize() const override;
    void SetSize(const CVector2& size) override;
    float GetAngle() const override;
    void SetAngle(float angle) override;
    void Save(CBinaryWriter& writer) override;
    bool Load(CBinaryReader& reader) override;
    void Draw(lv::graphics::CRenderer& renderer) override;

    CSceneObject* FindChild(const CFixedString& name) const override;

    const std::vector<CSceneObject*>& GetChildren() const { return m_Children; }
    s32 GetChildCount() const { return static_cast<s32>(m_Children.size()); }
    // Takes ownership.
    void AddChild(CSceneObject* child);
    // 16 bytes and the children's.
    s32 GetStateSize() const;

protected:
    CGroupObject(const CGroupObject& other);

private:
    std::vector<CSceneObject*> m_Children;
};

} // namespace qe
