#pragma once
// Shows one scene in a rectangle: a scale and offset that fit the scene (or, in fit mode 1, its
// work area) into the view, drawing through that transform, the scene's per-frame update, point
// conversions both ways, and entering and leaving scenes as the shown scene changes.
#include "core/Types.h"
#include "core/Vector2.h"

namespace lv::graphics {
class CRenderer;
}

namespace qe {

class CScene;

class CSceneView
{
public:
    enum EFitMode : s32
    {
        kFitStretch = 0,
        kFitWorkArea = 1,
    };

    CSceneView() = default;
    virtual ~CSceneView() = default;
    CSceneView(const CSceneView&) = delete;
    CSceneView& operator=(const CSceneView&) = delete;

    virtual void Render(lv::graphics::CRenderer& renderer);
    virtual void Update();
    virtual CVector2 SceneToView(const CVector2& point) const;
    virtual CVector2 ViewToScene(const CVector2& point) const;
    // Leaves the old scene (its videos keep playing when the new one is a miniscene) and enters
    // the new one; null shows nothing.
    virtual void SetScene(CScene* scene);

    CScene* GetScene() const { return m_Scene; }
    void SetViewSize(s32 width, s32 height);
    void SetFitMode(s32 mode);
    s32 GetFitMode() const { return m_FitMode; }
    s32 GetViewWidth() const { return m_ViewWidth; }
    s32 GetViewHeight() const { return m_ViewHeight; }
    const CVector2& GetScale() const { return m_Scale; }
    s32 GetOffsetX() const { return m_OffsetX; }
    s32 GetOffsetY() const { return m_OffsetY; }

protected:
    void Fit();

    CScene* m_Scene = nullptr;
    s32 m_ViewWidth = 0;
    s32 m_ViewHeight = 0;
    CVector2 m_Scale = CVector2(1.0f, 1.0f);
    s32 m_OffsetX = 0;
    s32 m_OffsetY = 0;
    s32 m_FitMode = kFitStretch;
};

} // namespace qe
