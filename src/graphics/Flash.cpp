#include "graphics/Flash.h"

#include <list>
#include <string>

#include "core/PathUtils.h"
#include "core/TextConvert.h"
#include "graphics/ImageHandle.h"
#include "graphics/Texture.h"
#include "graphics/TextureManager.h"
#include "platform/Files.h"
#include "platform/d3d9/d3d9.h"
#include "platform/flash/FlashModule.h"
#include "sound/AudioManager.h"

namespace lv::graphics {

namespace {

std::list<CFlash*>& Players()
{
    static std::list<CFlash*> s_Players;
    return s_Players;
}

// Whether the player's library is loaded; it stays loaded while players exist.
bool g_LibraryLoaded = false;
s32 g_PauseAllLevel = 0;

const WChar kPauseCount[] = u"pause_count";

// Leading blanks, a sign and digits; anything else (or nothing) is 0.
s32 WideToInt(const WString& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    s64 value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9' && value < 0x80000000LL; ++i)
        value = value * 10 + (text[i] - u'0');
    if (value > 0x7FFFFFFFLL)
        value = 0x7FFFFFFFLL;
    return static_cast<s32>(negative ? -value : value);
}

} // namespace

CFlash::CFlash(const WChar* path, s32 width, s32 height, const char* name)
{
    Players().push_back(this);
    lv::platform::CFlashModule& module = lv::platform::GetFlashModule();
    if (!g_LibraryLoaded)
        g_LibraryLoaded = module.Load();
    m_Control.reset(module.CreateControl(g_LibraryLoaded));
    if (m_Control) {
        m_Control->PutWMode(u"Transparent");
        m_Control->PutScaleMode(2);
        m_Control->InPlaceActivate();
    }
    LoadMovie(path, width, height, name);
}

CFlash::~CFlash()
{
    // The companion sound ends with its movie.
    Stop();
    delete m_Image;
    m_Image = nullptr;
    if (m_Control) {
        m_Control->Close();
        m_Control.reset();
    }
    Players().remove(this);
    if (Players().empty() && g_LibraryLoaded) {
        lv::platform::GetFlashModule().Unload();
        g_LibraryLoaded = false;
    }
}

bool CFlash::LoadMovie(const WChar* path, s32 width, s32 height, const char* name)
{
    if (!m_Control || !path || !*path)
        return false;
    WString absolute = path;
    if (core::IsRelativePath(path)) {
        std::string folder;
        if (lv::platform::GetCurrentDirectory(folder))
            absolute = core::JoinPath(Utf8ToWide(folder), path);
    }
    Stop();
    if (FAILED(m_Control->PutMovie(absolute.c_str())))
        return false;
    m_MovieSize = CPoint2i(width, height);
    m_Name.Assign(name);
    Play();

    delete m_Image;
    m_Image = new CImageHandle();
    m_Image->BindTexture(CTextureManager::Instance().CreateTexture(width > 0 ? width : 0, height > 0 ? height : 0));
    m_Control->SetObjectRects(RECT{0, 0, width, height});
    return true;
}

CImageHandle* CFlash::Render(bool redraw)
{
    if (redraw && m_Control && m_Image && m_Image->GetTexture()) {
        IDirect3DTexture9* texture = m_Image->GetTexture()->GetDeviceTexture();
        IDirect3DSurface9* surface = nullptr;
        if (texture && SUCCEEDED(texture->GetSurfaceLevel(0, &surface)) && surface) {
            m_Control->Draw(surface);
            surface->Release();
        }
    }
    return m_Image;
}

void CFlash::Update()
{
    if (m_State == kPlaying && m_Control && !m_Control->IsPlaying())
        Stop();
}

void CFlash::Play()
{
    if (m_State != kStopped || !m_Control)
        return;
    m_PauseDepth = 0;
    m_Control->Play();
    sound::CAudioManager& audio = sound::GetAudioManager();
    m_SoundId = audio.Play(m_Name.GetText(), -2.0f, -2.0f, -2, -2, -2.0f);
    m_Volume = audio.GetSoundVolume(m_SoundId);
    ApplyVolume();
    m_State = kPlaying;
}

void CFlash::ApplyVolume()
{
    sound::GetAudioManager().SetSoundVolume(m_SoundId, m_Muted ? 0.0f : m_Volume, 0.0f, 0.0f);
}

void CFlash::SetMuted(u8 muted)
{
    m_Muted = muted;
    ApplyVolume();
}

void CFlash::Pause()
{
    ++m_PauseDepth;
    if (m_State != kPlaying)
        return;
    m_Control->StopPlay();
    sound::GetAudioManager().PauseSound(m_SoundId, true);
    m_State = kPaused;
}

void CFlash::Resume()
{
    if (--m_PauseDepth >= 1)
        return;
    m_PauseDepth = 0;
    if (m_State != kPaused)
        return;
    m_Control->Play();
    sound::GetAudioManager().PauseSound(m_SoundId, false);
    m_State = kPlaying;
}

void CFlash::Stop()
{
    if (m_State == kStopped || !m_Control)
        return;
    m_Control->GotoFrame(0);
    m_Control->StopPlay();
    sound::GetAudioManager().StopSound(m_SoundId, 0.0f);
    m_State = kStopped;
}

s32 CFlash::GetTotalFrames() const
{
    return m_Control ? m_Control->TotalFrames() : -1;
}

s32 CFlash::GetCurrentFrame() const
{
    return m_Control ? m_Control->CurrentFrame() : -1;
}

void CFlash::SetQuality(s32 index)
{
    static const WChar* const kQualities[] = {u"Low", u"Medium", u"High"};
    if (m_Control && index >= 0 && index < 3)
        m_Control->PutQuality2(kQualities[index]);
}

void CFlash::SetVariable(const WChar* name, const WChar* value)
{
    if (m_Control && name)
        m_Control->SetVariable(name, value ? value : u"");
}

WString CFlash::GetVariable(const WChar* name) const
{
    return m_Control && name ? m_Control->GetVariable(name) : WString();
}

void CFlash::PauseAll(bool pause)
{
    // A resume without a pause has nothing to undo.
    if (!pause && g_PauseAllLevel == 0)
        return;
    g_PauseAllLevel += pause ? 1 : -1;
    for (CFlash* player : Players()) {
        if (pause)
            player->Pause();
        else
            player->Resume();
        s32 count = WideToInt(player->GetVariable(kPauseCount));
        // A player made during the pause never had it counted.
        count = pause ? count + 1 : (count > 0 ? count - 1 : 0);
        player->SetVariable(kPauseCount, ToWide(std::to_string(count)).c_str());
    }
}

s32 CFlash::GetPauseAllLevel()
{
    return g_PauseAllLevel;
}

size_t CFlash::GetPlayerCount()
{
    return Players().size();
}

float GetFlashVersion()
{
    lv::platform::CFlashModule& module = lv::platform::GetFlashModule();
    std::unique_ptr<lv::platform::CFlashControl> control(module.CreateControl(g_LibraryLoaded));
    if (!control)
        return 0.0f;
    const float version = static_cast<float>(control->FlashVersion()) / 65536.0f;
    control->Close();
    return version;
}

} // namespace lv::graphics
