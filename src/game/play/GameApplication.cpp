#include "game/play/GameApplication.h"

#include "anim/ClipManager.h"
#include "anim/ParticleFillStats.h"
#include "anim/ParticleManager.h"
#include "anim/ParticleSystem.h"
#include "core/CrashReport.h"
#include "core/FileSystem.h"
#include "core/Log.h"
#include "core/ThreadPool.h"
#include "graphics/DeclarationSet.h"
#include "graphics/FontManager.h"
#include "graphics/Renderer.h"
#include "graphics/TextureDeclarations.h"
#include "graphics/TextureManager.h"
#include "graphics/TexturesAlpha.h"
#include "platform/MessageBox.h"
#include "platform/Win32Window.h"
#include "sound/AudioManager.h"
#include "sound/SoundDeclarations.h"

namespace game {

namespace {

const char kChannel[] = "game";

// The binary images the content build makes of the property files. The game reads them in place
// of the XML; a missing one means its XML is compiled at every start.
const char* const kPropertyImages[] = {
    "properties/strings.bindump", "properties/resources.bindump", "properties/texturesalpha.bindump",
    "properties/clips.bindump",   "properties/particles.bindump", "properties/sounds.bindump",
};

} // namespace

CGameApplication::CGameApplication()
{
    // From here on a crash leaves its report beside the log.
    lv::core::SetCrashDumpFolder(GetUserDataFolder());
}

void CGameApplication::LoadContent()
{
    lv::core::CLog& log = lv::core::CLog::Instance();
    const lv::core::CFileSystem& files = lv::core::CFileSystem::Instance();
    u32 images = 0;
    for (const char* image : kPropertyImages) {
        if (files.FileExists(image))
            ++images;
        else
            log.Print(kChannel, 2, "no property image '%s': its XML is read instead", image);
    }
    lv::graphics::CTextureDeclarations& declarations = lv::graphics::CTextureDeclarations::Instance();
    declarations.Load();
    lv::graphics::CTextureManager::Instance().Init(&declarations);
    lv::graphics::CTexturesAlpha::Instance();
    GetDeclarations().LoadFile("properties/fonts.xml", nullptr);
    lv::core::CFontManager::Instance()->LoadAll(GetDeclarations(), nullptr);
    // Particle definitions come before the clip definitions, whose particle objects use them.
    lv::misc::anim::CParticleManager::Instance().Load();
    lv::misc::anim::CClipManager::Instance().Load();
    m_Sounds = std::make_unique<lv::sound::CSoundDeclarations>();
    if (m_Sounds->Load())
        lv::sound::GetAudioManager().LoadSoundTypes(*m_Sounds);
    log.Print(kChannel, 1, "content loaded (%u of %u property images)", images,
              static_cast<u32>(sizeof(kPropertyImages) / sizeof(kPropertyImages[0])));
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

    // Until the profiles choose the screen mode, the game starts in a window of its design size.
    SetScreenMode(false, true, kDesignWidth, kDesignHeight);
    LoadContent();
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
