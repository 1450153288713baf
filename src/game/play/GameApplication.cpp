#include "game/play/GameApplication.h"

#include "anim/ParticleFillStats.h"
#include "anim/ParticleManager.h"
#include "anim/ParticleSystem.h"
#include "core/CrashReport.h"
#include "core/Log.h"
#include "core/ThreadPool.h"
#include "graphics/Renderer.h"
#include "platform/MessageBox.h"
#include "platform/Win32Window.h"

namespace game {

namespace {

const char kChannel[] = "game";

} // namespace

CGameApplication::CGameApplication()
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
    // Its result is not checked: the game runs on without workers.
    if (lv::mt::CThreadPool* pool = lv::mt::CThreadPool::Instance())
        pool->Start();

    if (lv::platform::GetSystemMetrics(lv::platform::SM_CXFULLSCREEN) < kMinimumScreenWidth) {
        const char text[] = "The game can't run at your current screen resolution.";
        lv::core::CLog::Instance().Print(kChannel, 3, "%s", text);
        lv::platform::ShowSystemMessageBox("Error", text);
        return false;
    }

    // Particle definitions come before the clip definitions, whose particle objects use them.
    lv::misc::anim::CParticleManager::Instance().Load();

    // Until the profiles choose the screen mode, the game starts in a window of its design size.
    SetScreenMode(false, true, kDesignWidth, kDesignHeight);
    return true;
}

void CGameApplication::Shutdown()
{
    CApplication::Shutdown();
}

void CGameApplication::OnQuit()
{
    lv::core::CLog::Instance().Print(kChannel, 1, "OnQuit");
    CApplication::OnQuit();
}

void CGameApplication::Draw(lv::graphics::CRenderer& renderer)
{
    CApplication::Draw(renderer);
}

void CGameApplication::Update()
{
    CApplication::Update();
}

} // namespace game
