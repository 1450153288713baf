#include "app/Application.h"

#include "core/FileUtils.h"
#include "core/FrameLimiter.h"
#include "core/Log.h"
#include "core/PathUtils.h"
#include "core/Quad.h"
#include "core/Random.h"
#include "core/Settings.h"
#include "core/StringTable.h"
#include "core/SystemInfo.h"
#include "core/TextConvert.h"
#include "core/ThreadPool.h"
#include "core/TimeSystem.h"
#include "core/ValueFormat.h"
#include "graphics/DeclarationSet.h"
#include "graphics/Flash.h"
#include "graphics/RenderLog.h"
#include "graphics/GraphicsDevice.h"
#include "graphics/Renderer.h"
#include "graphics/TextureManager.h"
#include "gui/CursorManager.h"
#include "gui/GuiServices.h"
#include "gui/InputDispatcher.h"
#include "gui/InputRecorder.h"
#include "gui/InputReplayer.h"
#include "gui/WidgetFactory.h"
#include "sound/AudioManager.h"

#include <cmath>
#include <ctime>

namespace lv::core {

namespace {

CApplication* g_Application = nullptr;

const char kChannel[] = "app";

// Design units and pixels are truncated toward zero wherever the window sizes are computed.
s32 Trunc(double v)
{
    return static_cast<s32>(v);
}

} // namespace

CApplication* CApplication::Instance()
{
    return g_Application;
}

CApplication::CApplication()
    : m_Settings(std::make_unique<CSettings>()), m_Declarations(lv::graphics::CDeclarationSet::Create()),
      m_Renderer(std::make_unique<lv::graphics::CRenderer>()),
      m_InputDispatcher(std::make_unique<lv::gui::CInputDispatcher>())
{
    m_Renderer->SetHost(this);
    // Window scaling by the desktop is handled by the platform layer; there is no per-process
    // DPI switch to flip here.
    SeedRandom(static_cast<u32>(std::time(nullptr)));

    g_Application = this;
    CSystemIntegration::SetClient(this);

    // Also brings up the file system with the resource pack.
    CStringTable::Instance().Load();

    m_Settings->LoadXml("game.xml");
    const CSettingsGroup& settings = m_Settings->GetChild("settings");
    settings.ReadInt("debug", m_Debug);
    CStringTable& strings = CStringTable::Instance();
    strings.ExpandReferencesA(m_Company, settings.GetAttribute("company"));
    strings.ExpandReferencesA(m_Product, settings.GetAttribute("product"));
    settings.ReadInt("version", m_Version);
    m_FullVersion = ToWide(settings.GetAttribute("full_version"));
    strings.ExpandReferencesA(m_WindowTitle, settings.GetAttribute("window_title"));

    if (m_WindowTitle.empty()) {
        m_WindowTitle = m_Product + u" ";
        if (!m_FullVersion.empty()) {
            m_WindowTitle += m_FullVersion;
        } else {
            WChar version[64];
            FormatWide(version, 64, u"%i.%i", m_Version / 100, m_Version % 100);
            m_WindowTitle += version;
        }
    }

    const WString appData = GetAppDataFolder();
    const WString companyFolder = JoinPath(appData, m_Company);
    m_UserDataFolder = JoinPath(companyFolder, m_Product);
    if (!FileExistsW(m_UserDataFolder.c_str())) {
        CreateDirectories(m_UserDataFolder.c_str());
        GrantEveryoneAccess(companyFolder.c_str(), true);
    }

    lv::graphics::CRenderLog::SetSnapshotFolder(m_UserDataFolder);

    // Nothing reaches the log before it is opened here.
    CLog::Instance().Open((m_UserDataFolder + u"/log.lvlog").c_str());
    CLog::Instance().Print(kChannel, 1, "app created");
}

CApplication::~CApplication()
{
    CApplication::Shutdown();
    CLog::Instance().Print(kChannel, 1, "app destroyed");
    CLog::Instance().Flush();
    if (CSystemIntegration::GetClient() == this)
        CSystemIntegration::SetClient(nullptr);
    if (g_Application == this) {
        g_Application = nullptr;
        lv::gui::CGuiServices::Instance().Reset();
    }
}

bool CApplication::Init()
{
    CLog& log = CLog::Instance();
    log.Print(kChannel, 1, "app init...");
    m_Renderer->EnumDisplayModes();
    lv::gui::CWidgetFactory::RegisterWidgetTypes();
    // The widgets ask the application for the top window, the settings and the screen's size.
    lv::gui::CGuiServices& gui = lv::gui::CGuiServices::Instance();
    gui.Time = [this] { return GetTimeSystem().GetTime(); };
    gui.TopWindow = [this] { return GetTopWindow().get(); };
    gui.Settings = [this] { return m_Settings.get(); };
    gui.ScreenSize = [this] { return m_Renderer->GetSourceSize(); };

    bool allOnDemand = true;
    m_Settings->GetChild("settings").ReadBool("all_on_demand", allOnDemand);

    if (m_SystemIntegration && !m_SystemIntegration->CheckSingleInstance())
        return false;
    if (!m_SystemIntegration || !m_SystemIntegration->Init()) {
        log.Print(kChannel, 3, "error in m_SystemIntegration->Init");
        return false;
    }

    lv::graphics::CTextureManager::Instance().SetAllOnDemand(allOnDemand);
    lv::sound::GetAudioManager().SetLoadOnDemand(allOnDemand);
    lv::sound::GetAudioManager().SetDebugLevel(m_Debug);
    lv::mt::CThreadPool::Create();

    log.Print(kChannel, 1, "app init complete...");
    return true;
}

void CApplication::Shutdown()
{
    if (m_ShutDown)
        return;
    CLog& log = CLog::Instance();
    log.Print(kChannel, 0, "shutdown...");
    m_State = StateShuttingDown;
    m_InputDispatcher->Release();
    m_Renderer->ReleaseDeviceObjects(false);
    if (m_SystemIntegration) {
        m_SystemIntegration->Shutdown();
        m_SystemIntegration->ClipCursor(nullptr);
    }
    CFrameLimiter::Instance().SetLimit(0);
    lv::mt::CThreadPool::Destroy();
    m_ShutDown = true;
    log.Print(kChannel, 1, "shutdown complete...");
}

void CApplication::OnQuit() {}

void CApplication::ReservedHook() {}

void CApplication::OnScreenModeChanged(bool, bool, s32, s32) {}

void CApplication::OnScreenModeChanging(bool, bool, s32, s32) {}

void CApplication::OnRunningChanged(bool) {}

void CApplication::Draw(lv::graphics::CRenderer& renderer)
{
    m_InputDispatcher->Render(renderer);
}

void CApplication::Update() {}

void CApplication::DoLoad()
{
    CLog::Instance().Print(kChannel, 0, "CApplication::DoLoad() start");
    CLog::Instance().Print(kChannel, 0, "CApplication::DoLoad() end");
}

void CApplication::Run()
{
    if (m_SystemIntegration)
        m_SystemIntegration->Run();
}

void CApplication::Quit()
{
    OnQuit();
    if (m_SystemIntegration)
        m_SystemIntegration->RequestQuit();
}

void CApplication::SetFrameRateLimit(u32 framesPerSecond)
{
    CFrameLimiter::Instance().SetLimit(framesPerSecond);
}

bool CApplication::SetScreenMode(bool fullscreen, bool flag, s32 width, s32 height)
{
    m_RequestedWidth = width;
    m_RequestedHeight = height;
    return ChangeScreenMode(fullscreen, flag, width, height);
}

void CApplication::GetRequestedWindowSize(s32& width, s32& height)
{
    width = m_RequestedWidth;
    height = m_RequestedHeight;
}

void CApplication::SetRootWidget(const lv::gui::CBaseWindow::Ptr& window)
{
    m_InputDispatcher->SetRoot(window);
}

lv::gui::CBaseWindow::Ptr CApplication::GetRootWidget() const
{
    return m_InputDispatcher->GetRoot();
}

lv::gui::CBaseWindow::Ptr CApplication::GetTopWindow() const
{
    lv::gui::CBaseWindow::Ptr window = m_InputDispatcher->GetRoot();
    while (window) {
        lv::gui::CBaseWindow::Ptr modal = window->GetModalWindow();
        if (!modal)
            break;
        window = modal;
    }
    return window;
}

void CApplication::SetGestureEnabled(s32 kind, bool enable)
{
    if (m_SystemIntegration)
        m_SystemIntegration->SetGestureEnabled(kind, enable);
}

CTimeSystem& CApplication::GetTimeSystem()
{
    return CTimeSystem::Instance();
}

void CApplication::UpdateFrame()
{
    // A process that is killed keeps all but its last second of log.
    CLog::Instance().FlushIfDue();
    if (!IsActive()) {
        if (m_SystemIntegration)
            m_SystemIntegration->Sleep(50);
        if (m_State != StateLoading && m_State != StateLoadingInactive)
            return;
    }
    CFrameLimiter::Instance().Wait();
    lv::gui::CInputReplayer::Instance().Step(*m_InputDispatcher);
    m_InputDispatcher->Update();
    CTimeSystem::Instance().Tick();
    lv::sound::GetAudioManager().Update();
    lv::graphics::CTextureManager::Instance().UpdatePreload();
    Update();

    if (m_SystemIntegration) {
        CPoint2i cursor;
        m_SystemIntegration->GetCursorPos(cursor);
        m_SystemIntegration->ScreenToClient(cursor);
        CIntRect client;
        m_SystemIntegration->GetClientRect(client);
        if (client.Contains(cursor.X, cursor.Y))
            lv::gui::CCursorManager::Instance().Update();
    }
}

void CApplication::Render()
{
    if (!m_Minimized)
        m_Renderer->ApplyPendingModeChange();
    if (m_ShutDown || m_Minimized || !m_Active || !m_Renderer->BeginFrame())
        return;
    Draw(*m_Renderer);
    lv::gui::CInputReplayer::Instance().DrawIndicator(*m_Renderer);
    lv::gui::CInputRecorder::Instance().DrawIndicator(*m_Renderer);
    if (IsActive())
        lv::gui::CCursorManager::Instance().Draw(*m_Renderer);
    DrawLetterboxBars();
    m_Renderer->EndFrame();
}

void CApplication::DrawLetterboxBars()
{
    const CFloatRect viewport = m_Renderer->GetViewportRect();
    const CVector2& k = *m_Renderer->GetAspectScale();
    const CPoint2i design = m_Renderer->GetSourceSize();
    const float w = static_cast<float>(design.X);
    const float h = static_cast<float>(design.Y);
    const CColor black(0xFF000000u);
    if (viewport.X > 0) {
        const float b = viewport.X / k.X;
        m_Renderer->FillQuad(CQuad(-b, 0, b, h), black);
        m_Renderer->FillQuad(CQuad(w, 0, b, h), black);
    } else if (viewport.Y > 0) {
        const float b = viewport.Y / k.Y;
        m_Renderer->FillQuad(CQuad(0, -b, w, b), black);
        m_Renderer->FillQuad(CQuad(0, h, w, b), black);
    }
}

void CApplication::HandleWindowMessage()
{
    CSystemIntegration* platform = m_SystemIntegration;
    if (!platform)
        return;
    // The record of this nesting level; messages sent while this one is handled get their own.
    CWindowMessage& record = platform->GetCurrentMessage();
    const CWindowMessage message = record;
    if (m_ShutDown) {
        platform->DefaultProcessMessage();
        return;
    }

    bool goOn = true;
    switch (message.Message) {
    case WM_MOVE:
        if (!m_Renderer->IsFullscreen())
            ClipCursorToViewport();
        break;
    case WM_SIZE:
        if (message.WParam == SIZE_MAXIMIZED) {
            // The window keeps its size: a maximise request becomes a restore.
            platform->PostMessage(message.Window, WM_SYSCOMMAND, SC_RESTORE, 0);
            goOn = false;
            break;
        }
        if (const bool minimized = message.WParam == SIZE_MINIMIZED; minimized != m_Minimized) {
            m_Minimized = minimized;
            if (minimized != m_SoundPaused)
                PauseSoundAndFlash(minimized);
        }
        UpdateRunningState();
        break;
    case WM_CLOSE:
    case WM_QUIT:
    case WM_ENDSESSION:
        Quit();
        break;
    case WM_ACTIVATEAPP:
        m_Active = message.WParam != 0;
        lv::gui::CCursorManager::Instance().SetApplicationActive(m_Active);
        UpdateRunningState();
        record.Result = 0;
        goOn = false;
        break;
    case WM_SETCURSOR:
        lv::gui::CCursorManager::Instance().Update();
        break;
    case WM_KEYDOWN:
        if ((message.WParam == 'P' || message.WParam == VK_F1) &&
            (platform->GetAsyncKeyState(VK_MENU) & 0x8000) &&
            (platform->GetAsyncKeyState(VK_CONTROL) & 0x8000)) {
            lv::gui::CInputReplayer& replayer = lv::gui::CInputReplayer::Instance();
            if (replayer.IsPlaying()) {
                replayer.Stop();
            } else {
                // A failed load plays the previous recording, or nothing.
                replayer.Load(u"replay");
                replayer.Start();
            }
            record.Result = 1;
            goOn = false;
        }
        break;
    case WM_SYSCOMMAND:
        // The menu key opens no menu.
        if (message.WParam == SC_KEYMENU)
            goOn = false;
        break;
    case WM_WTSSESSION_CHANGE:
        m_Locked = message.WParam == WTS_SESSION_LOCK;
        UpdateRunningState();
        record.Result = 0;
        goOn = false;
        break;
    default:
        break;
    }
    if (!goOn)
        return;
    if (IsActive())
        m_InputDispatcher->HandleMessage(message.Window, message.Message, message.WParam, message.LParam);
    platform->DefaultProcessMessage();
}

void CApplication::PauseSoundAndFlash(bool pause)
{
    lv::sound::GetAudioManager().PauseAll(pause);
    lv::graphics::CFlash::PauseAll(pause);
    m_SoundPaused = pause;
}

void CApplication::UpdateRunningState()
{
    const bool running = m_Active && !m_Minimized && !m_Locked;
    if (running == m_Running)
        return;
    m_Running = running;
    if (!running && m_State != StateLoading && !m_TimePaused) {
        CTimeSystem::Instance().PauseAll(true);
        m_TimePaused = true;
    } else if (running && m_TimePaused) {
        // Only the pause taken here is undone: a resume without it would lift someone else's.
        CTimeSystem::Instance().PauseAll(false);
        m_TimePaused = false;
    }

    if (running) {
        if (m_State == StateLoadingInactive)
            m_State = StateLoading;
        ClipCursorToViewport();
        if (m_SoundPaused)
            PauseSoundAndFlash(false);
    } else {
        if (m_State == StateLoading && m_Renderer->IsFullscreen())
            m_State = StateLoadingInactive;
        m_InputDispatcher->ReleaseMouseCapture();
        if (m_SystemIntegration) {
            m_SystemIntegration->ClipCursor(nullptr);
            m_SystemIntegration->ShowSystemCursor(true);
        }
        if (!m_SoundPaused)
            PauseSoundAndFlash(true);
    }
    OnRunningChanged(running);
}

bool CApplication::ChangeScreenMode(bool fullscreen, bool flag, s32 width, s32 height)
{
    OnScreenModeChanging(fullscreen, flag, width, height);
    CSystemIntegration* platform = m_SystemIntegration;
    if (!platform)
        return false;
    const s32 oldWidth = m_Renderer->GetWidth();
    const s32 oldHeight = m_Renderer->GetHeight();
    const bool oldFlag = m_Renderer->GetModeFlag();
    const bool oldFullscreen = m_Renderer->IsFullscreen();

    if (width == 0 || height == 0) {
        platform->GetDesktopSize(width, height);
        flag = true;
        fullscreen = true;
    }
    if (fullscreen) {
        const std::vector<lv::graphics::CDisplayMode> modes = m_Renderer->GetDisplayModes();
        bool found = false;
        bool otherFlagOnly = false;
        for (const lv::graphics::CDisplayMode& mode : modes) {
            const bool sameSize = (mode.width == width && mode.height == height) ||
                                  (mode.width == height && mode.height == width);
            if (!sameSize)
                continue;
            if (mode.flag == flag) {
                found = true;
                break;
            }
            otherFlagOnly = true;
        }
        if (!found) {
            if (otherFlagOnly) {
                flag = !flag;
            } else if (!modes.empty()) {
                width = modes.back().width;
                height = modes.back().height;
                flag = modes.back().flag;
            }
            // Without any listed mode the requested size stands.
        }
    }

    CTimeSystem::Instance().PauseAll(true);
    if (!fullscreen && m_Renderer->IsFullscreen()) {
        m_Renderer->ReleaseDeviceObjects(true);
        lv::graphics::GetGraphicsDevice().CreateOrReset(platform->GetWindowHandle(), width, height, false);
    }
    if (!fullscreen)
        FitWindowToWorkArea(width, height);

    CLog& log = CLog::Instance();
    log.Print(kChannel, 1, "change screen mode...");
    bool changed = false;
    if (platform->CreateOrResizeWindow(fullscreen, flag, width, height) &&
        m_Renderer->SetMode(fullscreen, flag, width, height)) {
        changed = m_Renderer->GetWidth() != oldWidth || m_Renderer->GetHeight() != oldHeight ||
                  m_Renderer->GetModeFlag() != oldFlag || m_Renderer->IsFullscreen() != oldFullscreen;
        log.Print(kChannel, 1, "screen mode changed");
        if (changed)
            OnScreenModeChanged(fullscreen, flag, width, height);
    }
    m_InputDispatcher->SetFullscreen(m_Renderer->IsFullscreen());

    CTimeSystem::Instance().PauseAll(false);
    m_Minimized = false;
    UpdateRunningState();
    ClipCursorToViewport();
    log.Print(kChannel, 1, "change screen mode complete");
    return changed;
}

void CApplication::FitWindowToWorkArea(s32& width, s32& height)
{
    CSystemIntegration* platform = m_SystemIntegration;
    if (!platform)
        return;
    CIntRect outer(0, 0, width, height);
    platform->AdjustWindowSize(outer);

    s32 dpiX = 96, dpiY = 96;
    platform->GetScreenDpi(dpiX, dpiY);
    const double kx = dpiX / 96.0;
    const double ky = dpiY / 96.0;
    width = Trunc(width * kx);
    height = Trunc(height * ky);
    const s32 outerWidth = Trunc(outer.Width * kx);
    const s32 outerHeight = Trunc(outer.Height * ky);

    CIntRect work;
    platform->GetWorkAreaSize(work);
    if (outerWidth > work.Width || outerHeight > work.Height) {
        width = Trunc(work.Width - (outerWidth - width) - 15 * kx);
        height = Trunc(work.Height - (outerHeight - height) - 15 * ky);
        // A work area smaller than the window frame leaves no client area: keep one pixel.
        width = std::max(width, 1);
        height = std::max(height, 1);
        const CPoint2i design = m_Renderer->GetSourceSize();
        if (design.X > 0 && design.Y > 0) {
            const float aspect = static_cast<float>(design.X) / static_cast<float>(design.Y);
            if (static_cast<float>(width) / static_cast<float>(height) > aspect)
                width = Trunc(height * aspect);
            else
                height = Trunc(width / aspect);
        }
    }
    width = std::max(width, 1);
    height = std::max(height, 1);
}

void CApplication::SetCursorClip(bool enable, const CIntRect& rect)
{
    m_CursorClipEnabled = enable;
    m_CursorClip = rect;
    if (!enable) {
        if (m_SystemIntegration)
            m_SystemIntegration->ClipCursor(nullptr);
        return;
    }
    ClipCursorToViewport();
}

void CApplication::ClipCursorToViewport()
{
    if (!m_CursorClipEnabled || !m_SystemIntegration)
        return;
    const CVector2& k = *m_Renderer->GetAspectScale();
    const CFloatRect viewport = m_Renderer->GetViewportRect();
    const auto toClient = [&](float x, float y) {
        return CPoint2i(Trunc(x * k.X + viewport.X), Trunc(y * k.Y + viewport.Y));
    };
    CPoint2i a = toClient(static_cast<float>(m_CursorClip.X), static_cast<float>(m_CursorClip.Y));
    CPoint2i b = toClient(static_cast<float>(m_CursorClip.X + m_CursorClip.Width),
                          static_cast<float>(m_CursorClip.Y + m_CursorClip.Height));
    m_SystemIntegration->ClientToScreen(a);
    m_SystemIntegration->ClientToScreen(b);
    const CIntRect screen(a.X, a.Y, b.X - a.X, b.Y - a.Y);
    m_SystemIntegration->ClipCursor(&screen);
}

void CApplication::Load()
{
    CLog::Instance().Print(kChannel, 1, "loading...");
    m_State = StateLoading;
    DoLoad();
    if (m_State != StateShuttingDown)
        m_State = StateLoaded;
    CLog::Instance().Print(kChannel, 1, "loading complete");
}

HWND CApplication::GetWindowHandle()
{
    return m_SystemIntegration ? m_SystemIntegration->GetWindowHandle() : nullptr;
}

void CApplication::GetClientSize(s32& width, s32& height)
{
    CIntRect client;
    if (m_SystemIntegration)
        m_SystemIntegration->GetClientRect(client);
    width = client.Width;
    height = client.Height;
}

bool CApplication::GetDesktopSize(s32& width, s32& height)
{
    return m_SystemIntegration && m_SystemIntegration->GetDesktopSize(width, height);
}

void CApplication::SetScreenArea(const CFloatRect& viewport, const CVector2& scale)
{
    // The renderer reports every change of mode here, so the full-screen state goes along.
    if (!m_InputDispatcher)
        return;
    m_InputDispatcher->SetScreenArea(viewport, scale);
    if (m_Renderer)
        m_InputDispatcher->SetFullscreen(m_Renderer->IsFullscreen());
}

} // namespace lv::core
