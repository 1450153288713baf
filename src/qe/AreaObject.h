#pragma once
// An invisible clickable polygon; its points live in the quest data image.
#include "qe/AreaPolygon.h"
#include "qe/SceneObject.h"

namespace qe {

class CAreaObject : public CSceneObject, public CAreaPolygon
{
public:
    explicit CAreaObject(CScene* scene) : CSceneObject(scene) {}

    void InitFromRecord(const u8* record);

    void Update() override {}
    bool HitTest(const CVector2& point) override { return Contains(point); }
    s32 GetType() const override { return kTypeArea; }
    CSceneObject* Clone() const override { return new CAreaObject(*this); }
    void SetPosition(const CVector2&) override {}
    CVector2 GetPosition() const override { return GetCentre(); }
    CVector2 GetSize() const override { return GetExtent(); }
    void SetSize(const CVector2&) override {}
    float GetAngle() const override { return 0.0f; }
    void SetAngle(float) override {}
    void Draw(lv::graphics::CRenderer&) override {}

protected:
    CAreaObject(const CAreaObject&) = default;
};

} // namespace qe
