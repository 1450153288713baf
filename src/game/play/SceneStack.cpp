#include "game/play/SceneStack.h"

#include "core/Color.h"
#include "core/Matrix3.h"
#include "core/MessageBox.h"
#include "core/Quad.h"
#include "game/hud/Hud.h"
#include "game/hud/HudInventory.h"
#include "game/play/BackgroundSounds.h"
#include "game/play/GameWindow.h"
#include "game/play/MinisceneView.h"
#include "graphics/Renderer.h"
#include "graphics/TextureManager.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/SceneView.h"

#include <algorithm>

namespace game {

namespace {
constexpr s32 kStackDesignWidth = 1366;
constexpr s32 kStackDesignHeight = 768;
// Scenes drawn over what lies below without the darkening quad and the frame.
constexpr u32 kSceneFlagPlain = 4;
constexpr u32 kMinisceneShade = 0x40000000u;
constexpr u32 kVeilColour = 0xC8FFFFFFu;

qe::CScene* SceneOf(const qe::CSceneView* view)
{
    return view ? view->GetScene() : nullptr;
}
} // namespace

CSceneStack::CSceneStack() : m_MainView(std::make_unique<qe::CSceneView>())
{
    m_MainView->SetFitMode(qe::CSceneView::kFitWorkArea);
    m_MainView->SetViewSize(kStackDesignWidth, kStackDesignHeight);
    for (std::unique_ptr<CMinisceneView>& view : m_Miniscenes)
        view = std::make_unique<CMinisceneView>();
    m_Veil = lv::graphics::CTextureManager::Instance().GetImage("scenes_interactive");
}

CSceneStack::~CSceneStack() = default;

s32 CSceneStack::GetSceneShift()
{
    return (kStackDesignWidth - CHud::GetScreenSize().X) / 2;
}

CPoint2i CSceneStack::ToDesign(const CPoint2i& point)
{
    return CPoint2i(point.X + GetSceneShift(), point.Y);
}

CVector2 CSceneStack::ToScene(const CPoint2i& point) const
{
    const CPoint2i design = ToDesign(point);
    return GetTopView()->ViewToScene(CVector2(static_cast<float>(design.X), static_cast<float>(design.Y)));
}

void CSceneStack::SetQuest(qe::CQuest* quest, CGameWindow* window)
{
    // The views may still show scenes of the quest being replaced.
    if (quest != m_Quest)
    {
        for (u32 i = 0; i < m_MinisceneCount; ++i)
            m_Miniscenes[i]->SetScene(nullptr);
        m_MinisceneCount = 0;
        m_MainView->SetScene(nullptr);
    }
    m_Quest = quest;
    m_Window = window;
    for (std::unique_ptr<CMinisceneView>& view : m_Miniscenes)
        view->SetWindow(window);
}

void CSceneStack::OpenScene(const char* name)
{
    qe::CScene* scene = m_Quest ? m_Quest->FindScene(name) : nullptr;
    if (scene == nullptr)
    {
        lv::core::ShowMessageBoxF("Error", "Scene not found: '%s'.", name ? name : "");
        return;
    }
    ShowScene(scene);
}

void CSceneStack::ShowScene(qe::CScene* scene)
{
    if (scene == nullptr)
        return;
    if (scene->HasFlags(qe::CScene::kMiniscene))
    {
        if (m_MinisceneCount >= kMaxMiniscenes)
            return;
        m_Miniscenes[m_MinisceneCount]->SetScene(scene);
        ++m_MinisceneCount;
        if (m_Window)
        {
            m_Window->GetBackgroundSounds().SetMiniscene(scene);
            m_Window->OnTopViewChanged();
            m_Window->PauseSyncedSounds();
        }
        return;
    }
    if (m_Window)
        m_Window->GetBackgroundSounds().SetMainScene(scene);
    m_MainView->SetScene(scene);
    for (u32 i = 0; i < m_MinisceneCount; ++i)
        m_Miniscenes[i]->SetScene(nullptr);
    m_MinisceneCount = 0;
    if (m_Window)
        m_Window->OnTopViewChanged();
}

void CSceneStack::CloseScene(const char* name)
{
    qe::CScene* scene = m_Quest ? m_Quest->FindScene(name) : nullptr;
    if (scene == nullptr)
    {
        lv::core::ShowMessageBoxF("Error", "Scene not found: '%s'.", name ? name : "");
        return;
    }
    CloseSceneView(scene);
}

void CSceneStack::CloseSceneView(qe::CScene* scene)
{
    if (scene == nullptr)
        return;
    if (!scene->HasFlags(qe::CScene::kMiniscene))
    {
        lv::core::ShowMessageBoxF("Error", "Can't close main scene: '%s'.", scene->GetName().GetText());
        return;
    }
    if (m_Window)
        m_Window->GetBackgroundSounds().ClearMiniscene();
    for (u32 i = 0; i < m_MinisceneCount; ++i)
    {
        if (m_Miniscenes[i]->GetScene() != scene)
            continue;
        const bool top = i + 1 == m_MinisceneCount;
        CloseViewAt(i);
        if (top && m_Window)
            m_Window->OnTopViewChanged();
        return;
    }
}

void CSceneStack::CloseViewAt(u32 index)
{
    if (index >= m_MinisceneCount)
        return;
    m_Miniscenes[index]->SetScene(nullptr);
    // The emptied view goes to the first free place; the ones above keep their order.
    std::rotate(m_Miniscenes.begin() + index, m_Miniscenes.begin() + index + 1,
                m_Miniscenes.begin() + m_MinisceneCount);
    --m_MinisceneCount;
    if (m_Window)
        m_Window->ResumeSyncedSounds();
}

CMinisceneView* CSceneStack::GetMinisceneView(s32 index) const
{
    if (index < 0 || static_cast<u32>(index) >= m_MinisceneCount)
        return nullptr;
    return m_Miniscenes[static_cast<u32>(index)].get();
}

CMinisceneView* CSceneStack::GetTopMinisceneView() const
{
    return m_MinisceneCount ? m_Miniscenes[m_MinisceneCount - 1].get() : nullptr;
}

qe::CSceneView* CSceneStack::GetTopView() const
{
    if (m_MinisceneCount)
        return m_Miniscenes[m_MinisceneCount - 1].get();
    return m_MainView.get();
}

void CSceneStack::Update()
{
    if (m_Window && m_Window->IsPauseMenuOpen())
        return;
    m_MainView->Update();
    if (CMinisceneView* top = GetTopMinisceneView())
        top->Update();
}

void CSceneStack::Draw(lv::graphics::CRenderer& renderer)
{
    const s32 shift = GetSceneShift();
    if (shift != 0)
    {
        renderer.PushTransform();
        CMatrix3 translation;
        CMatrix3::MakeTranslation(translation, static_cast<float>(-shift), 0.0f);
        renderer.MultiplyTransform(translation);
    }
    m_MainView->Render(renderer);
    if (m_Window)
    {
        const CHudInventory& inventory = m_Window->GetHud().GetInventory();
        if (inventory.GetMode() == CHudInventory::kModeInteractive && inventory.IsKeyViewHidden())
            renderer.DrawImageRect(m_Veil, CFloatRect(0, 0, kStackDesignWidth, kStackDesignHeight), 0,
                                   CColor(kVeilColour));
    }
    if (m_MinisceneCount)
    {
        u32 first = m_MinisceneCount - 1;
        for (u32 i = m_MinisceneCount; i-- > 0;)
            if (!SceneOf(m_Miniscenes[i].get())->HasFlags(kSceneFlagPlain))
            {
                first = i;
                break;
            }
        for (u32 i = first; i < m_MinisceneCount; ++i)
        {
            CMinisceneView& view = *m_Miniscenes[i];
            const bool plain = SceneOf(&view)->HasFlags(kSceneFlagPlain);
            if (!plain)
                renderer.FillQuad(CQuad(0.0f, 0.0f, kStackDesignWidth, kStackDesignHeight), CColor(kMinisceneShade));
            view.Render(renderer);
            if (!plain)
                view.DrawFrame(renderer);
        }
    }
    if (shift != 0)
        renderer.PopTransform();
}

void CSceneStack::Layout()
{
    m_MainView->SetViewSize(kStackDesignWidth, kStackDesignHeight);
    for (std::unique_ptr<CMinisceneView>& view : m_Miniscenes)
    {
        view->SetSizeScale(1.0f);
        if (view->GetScene())
            view->Layout();
    }
}

bool CSceneStack::HandleClick(const CPoint2i& point, const char* cursorObjectName)
{
    if (m_Quest == nullptr || m_Quest->IsScriptPaused())
        return false;
    qe::CSceneView* view = GetTopView();
    qe::CScene* scene = view->GetScene();
    const CVector2 converted = ToScene(point);
    CPoint2i scenePoint(static_cast<s32>(converted.X), static_cast<s32>(converted.Y));
    if (scene && scene->HandleCheatClick(scenePoint))
        return true;
    if (CMinisceneView* top = GetTopMinisceneView())
    {
        if (top->HandleFrameClick(ToDesign(point)))
        {
            // The frame's own close: the ambient sounds keep the miniscene (only a close by name
            // drops it).
            CloseViewAt(m_MinisceneCount - 1);
            if (m_Window)
            {
                m_Window->OnTopViewChanged();
                m_Window->RefreshMenuButtons();
            }
            return true;
        }
        // The frame's skip may have ended the minigame and closed its miniscene.
        if (GetTopView() != view)
        {
            view = GetTopView();
            scene = view->GetScene();
            const CVector2 again = ToScene(point);
            scenePoint = CPoint2i(static_cast<s32>(again.X), static_cast<s32>(again.Y));
        }
    }
    if (scene == nullptr)
        return false;
    return scene->HandleClick(scenePoint, cursorObjectName ? cursorObjectName : "");
}

bool CSceneStack::UpdateHover(const CPoint2i& point, const char* cursorObjectName)
{
    if (m_Quest == nullptr || m_Quest->IsScriptPaused())
        return false;
    if (CMinisceneView* top = GetTopMinisceneView())
        if (top->UpdateFrameHover(ToDesign(point)))
            return true;
    qe::CScene* scene = GetTopView()->GetScene();
    if (scene == nullptr)
        return false;
    const CVector2 converted = ToScene(point);
    return scene->UpdatePointer(CPoint2i(static_cast<s32>(converted.X), static_cast<s32>(converted.Y)),
                                cursorObjectName ? cursorObjectName : "");
}

bool CSceneStack::HandleMouseUp(const CPoint2i&) const
{
    return false;
}

} // namespace game
