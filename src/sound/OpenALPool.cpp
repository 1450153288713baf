#include "sound/OpenALPool.h"

#include "core/MessageBox.h"
#include "core/ThreadUtil.h"
#include "core/TimeSystem.h"
#include "sound/DeviceChangeNotifier.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <atomic>
#include <cstdlib>

namespace lv::sound {

namespace {

// The device and context of the process; a null device means no audio.
std::atomic<ALCdevice*> g_Device{nullptr};
std::atomic<ALCcontext*> g_Context{nullptr};
std::atomic<COpenALPool*> g_Pool{nullptr};
COpenALPool::COptions g_Options;
LPALCRENDERSAMPLESSOFT g_RenderSamples = nullptr;

// Ending the process does not stop other threads here: OpenAL's own clean-up would run while the
// worker still calls into it. Before that, the worker stops and the device closes; the pool and
// its voices stay, so a sound still held at the end touches only a closed device.
void StopAudioAtExit()
{
    if (COpenALPool* pool = g_Pool.load())
        pool->StopWorker();
    COpenALPool::Close(false);
}

double Now()
{
    lv::core::CTimeSystem& time = g_Options.m_TimeSystem ? *g_Options.m_TimeSystem : lv::core::CTimeSystem::Instance();
    return time.GetRawTimeMs();
}

ALCdevice* OpenDevice()
{
    if (!g_Options.m_Loopback)
        return alcOpenDevice(nullptr);
    auto open = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    g_RenderSamples = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    return open && g_RenderSamples ? open(nullptr) : nullptr;
}

bool CheckAlc(ALCdevice* device, s32 line)
{
    const ALCenum error = alcGetError(device);
    if (error == ALC_NO_ERROR)
        return true;
    lv::core::ShowMessageBoxF("OpenAL ALC error", "%s\nFile %s, line %i.", alcGetString(device, error), "OpenALPool.cpp",
                              line);
    return false;
}

// Locks a section for a scope.
class CLockScope
{
public:
    explicit CLockScope(lv::mt::CCriticalSection& lock) : m_Lock(lock) { m_Lock.Enter(); }
    ~CLockScope() { m_Lock.Leave(); }
    CLockScope(const CLockScope&) = delete;
    CLockScope& operator=(const CLockScope&) = delete;

private:
    lv::mt::CCriticalSection& m_Lock;
};

} // namespace

void COpenALPool::SetOptions(const COptions& options)
{
    g_Options = options;
}

bool COpenALPool::CheckAl(s32 line)
{
    const ALenum error = alGetError();
    if (error == AL_NO_ERROR)
        return true;
    lv::core::ShowMessageBoxF("OpenAL error", "%s\nFile %s, line %i.", alGetString(error), "OpenALVoice.cpp", line);
    return false;
}

bool COpenALPool::IsDeviceOpen()
{
    return g_Device.load() != nullptr;
}

COpenALPool* COpenALPool::Instance()
{
    return g_Pool;
}

bool COpenALPool::Open(bool createPool)
{
    bool opened = false;
    ALCdevice* device = OpenDevice();
    if (device) {
        if (g_Options.m_Loopback) {
            const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT, ALC_SHORT_SOFT,
                                         ALC_FREQUENCY, 44100, 0};
            g_Context = alcCreateContext(device, attributes);
        } else {
            g_Context = alcCreateContext(device, nullptr);
        }
        if (g_Context.load() && CheckAlc(device, __LINE__)) {
            alcMakeContextCurrent(g_Context.load());
            const ALfloat zero[] = {0.0f, 0.0f, 0.0f};
            const ALfloat orientation[] = {0.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f};
            alListenerfv(AL_POSITION, zero);
            alListenerfv(AL_VELOCITY, zero);
            alListenerfv(AL_ORIENTATION, orientation);
            g_Device = device;
            opened = true;
        } else {
            if (ALCcontext* context = g_Context.exchange(nullptr))
                alcDestroyContext(context);
            alcCloseDevice(device);
        }
    } else {
        // The one box shown even while boxes are quiet.
        const bool quiet = lv::core::GetQuietMessageBoxes();
        lv::core::SetQuietMessageBoxes(false);
        lv::core::ShowMessageBoxF("Warning", "Cannot initialize audio subsystem.");
        lv::core::SetQuietMessageBoxes(quiet);
    }
    if (createPool && !g_Pool.load()) {
        g_Pool = new COpenALPool();
        GetDeviceChangeNotifier().SetCallback(&COpenALPool::Restart);
    }
    // Registered after OpenAL was loaded, so it runs before OpenAL's own clean-up.
    static const bool exitHook = std::atexit(&StopAudioAtExit) == 0;
    (void)exitHook;
    return opened;
}

void COpenALPool::Close(bool destroyPool)
{
    if (destroyPool && g_Pool.load()) {
        GetDeviceChangeNotifier().SetCallback(nullptr);
        delete g_Pool.exchange(nullptr);
    }
    alcMakeContextCurrent(nullptr);
    if (ALCcontext* context = g_Context.exchange(nullptr))
        alcDestroyContext(context);
    // The device is closed too, not only forgotten.
    if (ALCdevice* device = g_Device.exchange(nullptr))
        alcCloseDevice(device);
}

bool COpenALPool::RenderLoopback(s16* out, s32 frames)
{
    ALCdevice* device = g_Device.load();
    if (!device || !g_Options.m_Loopback || !g_RenderSamples)
        return false;
    g_RenderSamples(device, out, frames);
    return true;
}

COpenALPool::COpenALPool()
{
    for (auto& voice : m_Voices)
        voice = std::make_unique<COpenALVoice>();
    m_StopWorker = false;
    if (g_Options.m_StartWorker)
        m_Worker.Start(&COpenALPool::WorkerMain, this);
}

void COpenALPool::StopWorker()
{
    m_StopWorker = true;
    if (m_Worker.IsValid()) {
        m_Worker.Join();
        m_Worker.Close();
    }
}

COpenALPool::~COpenALPool()
{
    // The worker is gone before the voices and locks it uses.
    StopWorker();
    for (auto& voice : m_Voices)
        voice->Stop();
    for (auto& voice : m_Voices)
        voice.reset();
}

u32 COpenALPool::WorkerMain(void* user)
{
    auto* pool = static_cast<COpenALPool*>(user);
    while (!pool->m_StopWorker) {
        pool->Service();
        lv::mt::SleepMs(kServicePeriodMs);
    }
    return 0;
}

void COpenALPool::Service()
{
    CLockScope lock(m_Lock);
    for (auto& voice : m_Voices)
        if (voice->IsBusy())
            voice->Refill();
}

CVoice* COpenALPool::TakeVoice(const char* file)
{
    if (!g_Context.load())
        return nullptr;
    for (auto& voice : m_Voices) {
        if (voice->IsBusy())
            continue;
        return voice->Open(file) ? voice.get() : nullptr;
    }
    lv::core::ShowMessageBoxF("Error", "Total number of concurrently playing sounds exceeded allowed maximum (%i).",
                              kVoiceCount);
    return nullptr;
}

void COpenALPool::ReleaseVoice(CVoice* voice)
{
    if (voice)
        static_cast<COpenALVoice*>(voice)->Close();
}

void COpenALPool::SuspendAll()
{
    m_Lock.Enter();
    const double now = Now();
    for (auto& voice : m_Voices) {
        voice->GetLock().Enter();
        voice->Suspend(now);
    }
}

void COpenALPool::ResumeAll()
{
    const double now = Now();
    for (auto& voice : m_Voices) {
        voice->ResumeAfterDeviceChange(now);
        voice->GetLock().Leave();
    }
    m_Lock.Leave();
}

void COpenALPool::Restart()
{
    COpenALPool* pool = g_Pool;
    if (!pool)
        return;
    pool->SuspendAll();
    Close(false);
    Open(false);
    pool->ResumeAll();
}

} // namespace lv::sound
