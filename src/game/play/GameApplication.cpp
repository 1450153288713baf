#include "game/play/GameApplication.h"

#include "game/play/GameWindow.h"

#include "anim/ClipManager.h"
#include "anim/ParticleFillStats.h"
#include "anim/ParticleManager.h"
#include "anim/ParticleSystem.h"
#include "core/CrashReport.h"
#include "core/FileSystem.h"
#include "core/Log.h"
#include "core/PathUtils.h"
#include "core/Settings.h"
#include "core/StringTable.h"
#include "core/ThreadPool.h"
#include "game/frontend/MainMenuWindow.h"
#include "game/frontend/ProfileManager.h"
#include "game/frontend/SurveyLink.h"
#include "game/minigames/GameMinigames.h"
#include "game/play/GameCommands.h"
#include "game/play/GameWindow.h"
#include "graphics/DeclarationSet.h"
#include "graphics/FontManager.h"
#include "graphics/Renderer.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureManager.h"
#include "graphics/TexturesAlpha.h"
#include "platform/MessageBox.h"
#include "platform/Win32Window.h"
#include "qe/QuestData.h"
#include "qe/ScriptData.h"
#include "sound/AudioManager.h"
#include "sound/SoundDeclarations.h"

namespace game {

namespace {

const char kAppChannel[] = "game";
// The binary images the content build makes of the property files. The game reads them in place
// of the XML; a missing one means its XML is compiled at every start.
const char* const kPropertyImages[] = {
    "properties/strings.bindump", "properties/resources.bindump", "properties/texturesalpha.bindump",
    "properties/clips.bindump",   "properties/particles.bindump", "properties/sounds.bindump",
};

// Logs which property images the content has.
void ReportPropertyImages()
{
    lv::core::CLog& log = lv::core::CLog::Instance();
    const lv::core::CFileSystem& files = lv::core::CFileSystem::Instance();
    u32 images = 0;
    for (const char* image : kPropertyImages) {
        if (files.FileExists(image))
            ++images;
        else
            log.Print(kAppChannel, 2, "no property image '%s': its XML is read instead", image);
    }
    log.Print(kAppChannel, 1, "content loaded (%u of %u property images)", images,
              static_cast<u32>(sizeof(kPropertyImages) / sizeof(kPropertyImages[0])));
}

// lParam of the Alt+key system command for the Return key.
constexpr LPARAM kAltEnterKey = 13;

// Whether the window or any widget on its listener chain is the options window.
bool IsOptionsWindowOpen(lv::gui::CBaseWidget* widget)
{
    for (; widget; widget = widget->GetListener()) {
        if (widget->GetName().CompareText("options_window") == 0)
            return true;
    }
    return false;
}

} // namespace

CGameApplication::CGameApplication() : m_Overlay("cheatfont")
{
    // From here on a crash leaves its report beside the log.
    lv::core::SetCrashDumpFolder(GetUserDataFolder());
}

CGameApplication::~CGameApplication()
{
    CGameApplication::Shutdown();
    lv::core::SetCrashDumpFolder(u"");
}

bool CGameApplication::Init()
{
    m_Platform = std::make_unique<lv::core::CStandaloneApplicationWindows>(false);
    SetSystemIntegration(m_Platform.get());
    lv::graphics::CRenderer& renderer = GetRenderer();
    renderer.SetPreserveAspectRatio(false);
    renderer.SetSourceSize(kDesignWidth, kDesignHeight);
    SetFrameRateLimit(kFrameRate);
    if (!CApplication::Init())
        return false;
    // Particle fill statistics are kept from debug level 2; every frame the renderer starts
    // opens a new sample of them.
    lv::misc::anim::CParticleSystem::SetDebugLevel(IsDebug());
    lv::misc::anim::CParticleFillStats::InstallFrameHooks();
    if (IsDebug() >= kOverlayDebugLevel) {
        m_Overlay.SetTextShown(true);
        m_Overlay.SetBarShown(true);
    }
    // Its result is not checked: the game runs on without workers.
    if (lv::mt::CThreadPool* pool = lv::mt::CThreadPool::Instance())
        pool->Start();

    if (lv::platform::GetSystemMetrics(lv::platform::SM_CXFULLSCREEN) < kMinimumScreenWidth) {
        const char text[] = "The game can't run at your current screen resolution.";
        lv::core::CLog::Instance().Print(kAppChannel, 3, "%s", text);
        lv::platform::ShowSystemMessageBox("Error", text);
        return false;
    }
    // The window and the device exist before any texture is made; the profiles choose the
    // screen mode afterwards.
    SetScreenMode(false, true, kDesignWidth, kDesignHeight);

    const WString savesFolder = lv::core::JoinPath(GetUserDataFolder(), u"saves");

    lv::graphics::CTextureDeclarations& declarations = lv::graphics::CTextureDeclarations::Instance();
    declarations.Load();
    m_Settings->LoadXml("properties/guitemplates.xml");
    m_Settings->LoadXml("properties/gui.xml");
    GetDeclarations().LoadFile("properties/fonts.xml", nullptr);
    auto sounds = std::make_unique<lv::sound::CSoundDeclarations>();
    sounds->Load();
    lv::graphics::CTextureManager::Instance().Init(&declarations);
    lv::graphics::CTexturesAlpha::Instance();
    lv::sound::GetAudioManager().LoadSoundTypes(*sounds);
    lv::core::CFontManager::Instance()->LoadAll(GetDeclarations(), nullptr);
    // Particle definitions come before the clip definitions, whose particle objects use them.
    lv::misc::anim::CParticleManager::Instance().Load();
    lv::misc::anim::CClipManager::Instance().Load();
    ReportPropertyImages();

    CProfileManager* profiles = CProfileManager::CreateInstance(CProfileManager::Folder(savesFolder.c_str()));
    profiles->Load();
    m_ProfilesExisted = true;
    if (profiles->GetProfileCount() == 0) {
        const WChar* name = lv::core::CStringTable::Instance().GetString(kDefaultProfileNameId);
        profiles->AddProfile(name ? name : u"");
        m_ProfilesExisted = false;
    }
    profiles->SetCurrentProfile(profiles->GetCurrentProfile() ? profiles->GetCurrentProfile()
                                                               : profiles->GetProfile(0));

    RegisterGameCommands();
    RegisterGameMinigames();
    qe::CQuestData::Instance().Load();
    qe::CScriptData::Instance().Load();

    SetRootWidget(new CMainMenuWindow(m_ProfilesExisted, true, false, false));
    lv::core::CLog::Instance().Print(kAppChannel, 1, "game started (%s profiles)",
                                     m_ProfilesExisted ? "existing" : "new");
    return true;
}

void CGameApplication::Shutdown()
{
    if (m_GameShutDown)
        return;
    m_GameShutDown = true;
    CApplication::Shutdown();
    // Exactly "true": any other spelling leaves the link closed.
    if (m_Settings && m_Settings->GetChild("settings").GetAttribute("survey") == "true")
        OpenSurveyLink();
}

void CGameApplication::OnQuit()
{
    lv::core::CLog::Instance().Print(kAppChannel, 1, "OnQuit");
    // A game in progress is written before the profiles.
    if (auto* game = dynamic_cast<CGameWindow*>(GetRootWidget().get()))
        game->WriteSaveFile();
    if (CProfileManager* profiles = CProfileManager::Instance())
        profiles->Save();
    CApplication::OnQuit();
}

void CGameApplication::HandleWindowMessage()
{
    if (lv::core::CSystemIntegration* platform = GetSystemIntegration()) {
        const CWindowMessage message = platform->GetCurrentMessage();
        if (message.Message == WM_SYSCOMMAND && message.WParam == SC_KEYMENU && message.LParam == kAltEnterKey) {
            const lv::gui::CBaseWindow::Ptr top = GetTopWindow();
            CProfileManager* profiles = CProfileManager::Instance();
            if (profiles && !IsOptionsWindowOpen(top.get())) {
                profiles->SetScreenMode(profiles->GetScreenMode() == 0 ? 1 : 0);
                profiles->Save();
            }
        }
    }
    CApplication::HandleWindowMessage();
}

void CGameApplication::OnScreenModeChanged(bool fullscreen, bool flag, s32 width, s32 height)
{
    if (fullscreen && width < kDesignWidth)
        GetRenderer().SetSourceSize(width, kDesignHeight);
    else
        CApplication::OnScreenModeChanged(fullscreen, flag, width, height);
    LayoutRoot();
}

void CGameApplication::LayoutRoot()
{
    // During play the game window lays out its scene stack and HUD for the new design width.
    if (CGameWindow* window = CGameWindow::GetInstance()) {
        window->Relayout();
        return;
    }
    const lv::gui::CBaseWindow::Ptr root = GetRootWidget();
    if (!root)
        return;
    root->ApplyLayout();
    if (auto* menu = dynamic_cast<CMainMenuWindow*>(root.get()))
        menu->Layout();
}

void CGameApplication::Draw(lv::graphics::CRenderer& renderer)
{
    CApplication::Draw(renderer);
    m_Overlay.Draw(renderer);
}

void CGameApplication::Update()
{
    CApplication::Update();
}

} // namespace game
