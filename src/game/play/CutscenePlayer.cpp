#include "game/play/CutscenePlayer.h"

#include "anim/Clip.h"
#include "core/MessageBox.h"
#include "core/TimeSystem.h"
#include "game/hud/Hud.h"
#include "game/play/GameWindow.h"
#include "game/play/SceneStack.h"
#include "graphics/WebMOpaqueVideo.h"
#include "graphics/WebMTranslucentVideo.h"
#include "gui/BaseWidget.h"
#include "gui/CursorManager.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/SceneView.h"
#include "sound/AudioManager.h"

namespace game {

namespace {

const char kCutscenesPath[] = "properties/cutscenes.xml";
constexpr s32 kCutsceneCursorPointer = 100;
constexpr s32 kCutsceneCursorHand = 101;
constexpr u32 kSkipButtonOff = lv::gui::CBaseWidget::Hidden | lv::gui::CBaseWidget::Disabled;

} // namespace

CCutscenePlayer::CCutscenePlayer()
    : m_OpaquePlayer(std::make_unique<lv::graphics::CWebMOpaqueVideo>()),
      m_TranslucentPlayer(std::make_unique<lv::graphics::CWebMTranslucentVideo>()), m_Subtitles(std::make_unique<CClip>())
{
    // Without the file the tree stays empty and every cutscene is reported missing.
    m_Definitions.LoadXml(kCutscenesPath);
    const CPoint2i screen = CHud::GetScreenSize();
    m_SkipArea = CIntRect(screen.X - kSkipWidth, kSkipTop, kSkipWidth, kSkipHeight);
}

CCutscenePlayer::~CCutscenePlayer()
{
    // The window that owns the player is going: there is nothing left to save.
    if (IsPlaying())
        EndCurrentPart();
    m_Subtitles->Clear();
}

void CCutscenePlayer::Reset()
{
    Stop();
}

lv::graphics::CVideo& CCutscenePlayer::GetCurrentVideo() const
{
    if (m_Translucent)
        return *m_TranslucentPlayer;
    return *m_OpaquePlayer;
}

bool CCutscenePlayer::Play(const char* id)
{
    if (IsPlaying())
        Stop();
    if (id == nullptr)
        id = "";
    CGameWindow* window = CGameWindow::GetInstance();
    if (window)
        window->GetHud().GetSpeechBubble().Hide();

    const lv::core::CSettingsGroup* cutscene =
        m_Definitions.GetFirstChild().FindChildByAttribute("cutscene", "id", id);
    if (cutscene == nullptr)
    {
        lv::core::ShowMessageBoxF("Error", "Can't find '%s' cutscene in properties/cutscenes.xml.", id);
        return false;
    }
    m_PartCount = 0;
    bool tooMany = false;
    for (const lv::core::CSettingsGroup* video = cutscene->FindFirstChild(); video; video = video->FindNextSibling())
    {
        if (video->GetName() != CFixedString("video"))
            continue;
        // The part array holds seven: further parts are reported and left out.
        if (m_PartCount == kMaxParts)
        {
            tooMany = true;
            break;
        }
        CPart& part = m_Parts[m_PartCount];
        part.Path = video->GetAttribute("path").c_str();
        const std::string& alpha = video->GetAttribute("path_alpha");
        part.AlphaPath = alpha.empty() ? nullptr : alpha.c_str();
        part.Sound = video->GetAttribute("sound").c_str();
        part.Subtitles = video->GetAttribute("subtitles").c_str();
        part.EnableSkip = video->GetBool("enable_skip") ? 1 : 0;
        ++m_PartCount;
    }
    if (tooMany)
        lv::core::ShowMessageBoxF("Error", "Cutscene '%s' has more than %d video parts.", id, kMaxParts);
    if (m_PartCount == 0)
    {
        lv::core::ShowMessageBoxF("Error", "Cutscene '%s' contains no video definitions. See properties\\cutscenes.xml.",
                                  id);
        return false;
    }
    m_Current = -1;
    StartNextPart();
    return IsPlaying();
}

void CCutscenePlayer::EndCurrentPart()
{
    GetCurrentVideo().Close();
    if (m_SoundId != 0)
        CGameWindow::GetAudio().StopSound(m_SoundId, 0.0f);
    m_SoundId = 0;
}

bool CCutscenePlayer::StartNextPart()
{
    if (IsPlaying())
        EndCurrentPart();
    ++m_Current;
    if (m_Current >= m_PartCount)
        return false;
    const CPart& part = m_Parts[m_Current];

    // Opening a video takes a while: that time must not count as frame time.
    lv::core::CTimeSystem& clock = CGameWindow::GetClock();
    clock.PauseAll(true);
    if (part.AlphaPath)
    {
        m_Translucent = 1;
        m_TranslucentPlayer->SetTimeSystem(&clock);
        if (!m_TranslucentPlayer->Open(part.Path, part.AlphaPath))
            lv::core::ShowMessageBoxF("Error", "Can't load video with alpha video: '%s' mask: '%s'.", part.Path,
                                      part.AlphaPath);
    }
    else
    {
        m_Translucent = 0;
        m_OpaquePlayer->SetTimeSystem(&clock);
        if (!m_OpaquePlayer->Open(part.Path))
            lv::core::ShowMessageBoxF("Error", "Can't load video '%s'.", part.Path);
    }
    clock.PauseAll(false);

    m_SoundId = part.Sound[0] ? CGameWindow::GetAudio().Play(part.Sound, -2.0f, -2.0f, -2, -2, -2.0f) : 0;

    const CPoint2i screen = CHud::GetScreenSize();
    m_Subtitles->Load(part.Subtitles, true);
    m_Subtitles->SetPosition(CVector2(static_cast<float>(screen.X / 2), static_cast<float>(screen.Y / 2)));
    return true;
}

void CCutscenePlayer::Update()
{
    if (!IsPlaying())
        return;
    lv::graphics::CVideo& video = GetCurrentVideo();
    video.Update();
    const s64 position = video.GetPosition();
    const s64 duration = video.GetDuration();
    m_Subtitles->SetTimeKeepEvents(static_cast<s32>(position));
    if (position < duration)
        return;
    if (!StartNextPart())
        Stop();
}

void CCutscenePlayer::Draw(lv::graphics::CRenderer& renderer)
{
    if (!IsPlaying())
        return;
    const CPoint2i screen = CHud::GetScreenSize();
    GetCurrentVideo().Draw(renderer, static_cast<float>((screen.X - 1366) / 2), 0.0f, 1366.0f, 768.0f,
                           CColor(0xFFFFFFFFu));
    m_Subtitles->Draw(renderer);
    PlaceSkipButton(m_Parts[m_Current].EnableSkip != 0);
}

void CCutscenePlayer::PlaceSkipButton(bool shown) const
{
    CGameWindow* window = CGameWindow::GetInstance();
    lv::gui::CBaseWidget* button = window ? window->GetSkipButton() : nullptr;
    if (button == nullptr)
        return;
    const CPoint2i screen = CHud::GetScreenSize();
    button->SetPosition(static_cast<float>(screen.X) - button->GetSize().X, static_cast<float>(kSkipTop));
    if (shown)
        button->RemoveFlags(kSkipButtonOff);
    else
        button->SetFlags(kSkipButtonOff);
}

void CCutscenePlayer::ShowSkipButton(lv::graphics::CRenderer* renderer)
{
    PlaceSkipButton(renderer != nullptr);
}

bool CCutscenePlayer::OnClick(const CPoint2i& point)
{
    if (!IsPlaying())
        return false;
    if (m_Parts[m_Current].EnableSkip && m_SkipArea.Contains(point.X, point.Y))
    {
        if (!StartNextPart())
            Stop();
    }
    return true;
}

bool CCutscenePlayer::OnMouseMove(const CPoint2i& point)
{
    if (!IsPlaying())
        return false;
    const bool overSkip = m_Parts[m_Current].EnableSkip && m_SkipArea.Contains(point.X, point.Y);
    lv::gui::CCursorManager::Instance().SetCursor(overSkip ? kCutsceneCursorHand : kCutsceneCursorPointer);
    return true;
}

void CCutscenePlayer::Stop()
{
    ++m_StopCount;
    if (IsPlaying())
        EndCurrentPart();
    m_Subtitles->Clear();
    m_PartCount = 0;
    m_Current = -1;
    // Every end of a cutscene, skipped or stopped too, saves the game.
    CGameWindow* window = CGameWindow::GetInstance();
    if (window == nullptr)
        return;
    qe::CSceneView* view = window->GetSceneStack().GetMainView();
    qe::CScene* scene = view ? view->GetScene() : nullptr;
    if (scene && scene->GetQuest())
        scene->GetQuest()->SaveState();
}

} // namespace game
