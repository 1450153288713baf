#include "game/play/SceneStack.h"

#include "core/Matrix3.h"
#include "core/MessageBox.h"
#include "game/play/BackgroundSounds.h"
#include "game/play/GameWindow.h"
#include "game/hud/Hud.h"
#include "graphics/Renderer.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/SceneView.h"

namespace game {

namespace {
constexpr s32 kStackDesignWidth = 1366;
constexpr s32 kStackDesignHeight = 768;
} // namespace

CSceneStack::CSceneStack() : m_MainView(std::make_unique<qe::CSceneView>())
{
    m_MainView->SetFitMode(qe::CSceneView::kFitWorkArea);
    m_MainView->SetViewSize(kStackDesignWidth, kStackDesignHeight);
}

CSceneStack::~CSceneStack() = default;

s32 CSceneStack::GetSceneShift()
{
    return (kStackDesignWidth - CHud::GetScreenSize().X) / 2;
}

CVector2 CSceneStack::ToScene(const CPoint2i& point) const
{
    return GetTopView()->ViewToScene(CVector2(static_cast<float>(point.X + GetSceneShift()), static_cast<float>(point.Y)));
}

void CSceneStack::SetQuest(qe::CQuest* quest, CGameWindow* window)
{
    // The views may still show scenes of the quest being replaced.
    if (quest != m_Quest)
        m_MainView->SetScene(nullptr);
    m_Quest = quest;
    m_Window = window;
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
        return; // miniscene views come with the stack's next step
    if (m_Window)
        m_Window->GetBackgroundSounds().SetMainScene(scene);
    m_MainView->SetScene(scene);
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
}

qe::CSceneView* CSceneStack::GetTopView() const
{
    return m_MainView.get();
}

void CSceneStack::Update()
{
    if (m_Window && m_Window->IsPauseMenuOpen())
        return;
    m_MainView->Update();
}

void CSceneStack::Draw(lv::graphics::CRenderer& renderer)
{
    const s32 shift = GetSceneShift();
    if (shift == 0)
    {
        m_MainView->Render(renderer);
        return;
    }
    renderer.PushTransform();
    CMatrix3 translation;
    CMatrix3::MakeTranslation(translation, static_cast<float>(-shift), 0.0f);
    renderer.MultiplyTransform(translation);
    m_MainView->Render(renderer);
    renderer.PopTransform();
}

void CSceneStack::Layout()
{
    m_MainView->SetViewSize(kStackDesignWidth, kStackDesignHeight);
}

bool CSceneStack::HandleClick(const CPoint2i& point, const char* cursorObjectName)
{
    if (m_Quest == nullptr || m_Quest->IsScriptPaused())
        return false;
    qe::CSceneView* view = GetTopView();
    qe::CScene* scene = view->GetScene();
    if (scene == nullptr)
        return false;
    const CVector2 converted = ToScene(point);
    const CPoint2i scenePoint(static_cast<s32>(converted.X), static_cast<s32>(converted.Y));
    if (scene->HandleCheatClick(scenePoint))
        return true;
    return scene->HandleClick(scenePoint, cursorObjectName ? cursorObjectName : "");
}

bool CSceneStack::UpdateHover(const CPoint2i&, const char*)
{
    if (m_Quest == nullptr || m_Quest->IsScriptPaused())
        return false;
    // The scene's pointer classification comes with the hint queries.
    return false;
}

bool CSceneStack::HandleMouseUp(const CPoint2i&) const
{
    return false;
}

} // namespace game
