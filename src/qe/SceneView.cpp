#include "qe/SceneView.h"

#include "core/Matrix3.h"
#include "graphics/Renderer.h"
#include "qe/Scene.h"

namespace qe {

void CSceneView::SetViewSize(s32 width, s32 height)
{
    m_ViewWidth = width;
    m_ViewHeight = height;
    Fit();
}

void CSceneView::SetFitMode(s32 mode)
{
    m_FitMode = mode;
    Fit();
}

void CSceneView::SetScene(CScene* scene)
{
    if (m_Scene)
        m_Scene->Leave(!(scene && scene->HasFlags(CScene::kMiniscene)));
    m_Scene = scene;
    if (m_Scene)
    {
        m_Scene->Enter();
        Fit();
    }
}

void CSceneView::Fit()
{
    if (!m_Scene)
        return;
    const float sw = static_cast<float>(m_Scene->GetSize().X);
    const float sh = static_cast<float>(m_Scene->GetSize().Y);
    const float vw = static_cast<float>(m_ViewWidth);
    const float vh = static_cast<float>(m_ViewHeight);
    if (m_ViewWidth == m_Scene->GetSize().X && m_ViewHeight == m_Scene->GetSize().Y)
    {
        m_Scale = CVector2(1.0f, 1.0f);
        m_OffsetX = 0;
        m_OffsetY = 0;
        return;
    }
    if (m_FitMode == kFitStretch)
    {
        m_Scale = CVector2(vw / sw, vh / sh);
        m_OffsetX = 0;
        m_OffsetY = 0;
        return;
    }
    if (m_FitMode != kFitWorkArea)
        return;
    const auto& area = m_Scene->GetWorkArea();
    const float ax = static_cast<float>(area.X);
    const float aw = static_cast<float>(area.Width);
    const float ah = static_cast<float>(area.Height);
    if (vw / vh - aw / ah > -0.01f)
    {
        const float scale = vh / sh;
        m_Scale = CVector2(scale, scale);
        const float visible = vw / scale;
        // A work area as wide as the scene leaves nothing to slide: its left edge is shown.
        m_OffsetX = sw == aw ? area.X : static_cast<s32>(ax * (1.0f - (visible - aw) / (sw - aw)));
        m_OffsetY = 0;
    }
    else
    {
        const float scale = vw / sw;
        m_Scale = CVector2(scale, scale);
        m_OffsetX = area.X;
        m_OffsetY = (m_Scene->GetSize().Y - m_ViewHeight) / 2;
    }
}

void CSceneView::Render(lv::graphics::CRenderer& renderer)
{
    if (!m_Scene)
        return;
    if (m_Scale.X == 1.0f && m_Scale.Y == 1.0f && m_OffsetX == 0 && m_OffsetY == 0)
    {
        m_Scene->Draw(renderer);
        return;
    }
    renderer.PushTransform();
    CMatrix3 translation, scale, both;
    CMatrix3::MakeTranslation(translation, static_cast<float>(-m_OffsetX), static_cast<float>(-m_OffsetY));
    CMatrix3::MakeScale(scale, m_Scale.X, m_Scale.Y);
    translation.Multiply(both, scale);
    renderer.MultiplyTransform(both);
    m_Scene->Draw(renderer);
    renderer.PopTransform();
}

void CSceneView::Update()
{
    if (m_Scene)
        m_Scene->Update();
}

CVector2 CSceneView::SceneToView(const CVector2& point) const
{
    return CVector2((point.X - static_cast<float>(m_OffsetX)) * m_Scale.X,
                    (point.Y - static_cast<float>(m_OffsetY)) * m_Scale.Y);
}

CVector2 CSceneView::ViewToScene(const CVector2& point) const
{
    return CVector2(point.X / m_Scale.X + static_cast<float>(m_OffsetX),
                    point.Y / m_Scale.Y + static_cast<float>(m_OffsetY));
}

} // namespace qe
