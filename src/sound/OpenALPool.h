#pragma once
// The OpenAL device and a fixed set of 64 streaming voices on it, with the worker thread that
// refills every busy voice every 20 ms. Opening and closing the device and the pool are
// process-wide; a default-device change closes and reopens OpenAL and continues the sounds near
// where they were.
//
// Tests open the pool on OpenAL's loopback device instead (stereo, 16 bit, 44100 Hz), render
// it themselves and run the worker's pass by hand.
#include "core/CriticalSection.h"
#include "core/Thread.h"
#include "core/Types.h"
#include "sound/OpenALVoice.h"
#include "sound/VoicePool.h"

#include <array>
#include <atomic>
#include <memory>

namespace lv::core {
class CTimeSystem;
}

namespace lv::sound {

class COpenALPool : public CVoicePool
{
public:
    static constexpr s32 kVoiceCount = 64;
    static constexpr u32 kServicePeriodMs = 20;

    // How the next Open finds its device; the defaults are the program's.
    struct COptions
    {
        bool m_Loopback = false;      // OpenAL's loopback device, rendered by RenderLoopback
        bool m_StartWorker = true;    // without it, the test calls Service itself
        lv::core::CTimeSystem* m_TimeSystem = nullptr; // the restart's clock (the process's when null)
    };
    static void SetOptions(const COptions& options);

    // Opens the default device and a context and sets the listener; with the flag also
    // creates the pool and registers Restart for default-device changes. Without a device a
    // "Warning" box says so and the result is false (the pool is still made).
    static bool Open(bool createPool);
    // With the flag destroys the pool; then closes the context and the device.
    static void Close(bool destroyPool);
    static COpenALPool* Instance();
    static bool IsDeviceOpen();
    // The default-device change: suspends every voice, reopens OpenAL and resumes the voices
    // that were not stopped. Any thread.
    static void Restart();
    // Reads the OpenAL error after a call; a failure shows an "OpenAL error" box naming the
    // check and gives false.
    static bool CheckAl(s32 line);
    // Renders frames of the loopback device into out (stereo, 16 bit); false without one.
    static bool RenderLoopback(s16* out, s32 frames);

    ~COpenALPool() override;

    CVoice* TakeVoice(const char* file) override;
    void ReleaseVoice(CVoice* voice) override;
    // The worker's pass over every busy voice, under the pool lock.
    void Service();
    void SuspendAll();
    void ResumeAll();
    COpenALVoice& GetVoice(s32 index) { return *m_Voices[index]; }
    bool HasWorker() const { return m_Worker.IsValid(); }
    // Stops and joins the worker for good (the process is ending, or the pool goes).
    void StopWorker();

private:
    COpenALPool();
    static u32 WorkerMain(void* pool);

    std::array<std::unique_ptr<COpenALVoice>, kVoiceCount> m_Voices;
    lv::mt::CCriticalSection m_Lock;
    std::atomic<bool> m_StopWorker{false};
    lv::mt::CThread m_Worker;
};

} // namespace lv::sound
