#pragma once
// One streaming voice of the OpenAL pool: an Ogg Vorbis stream feeding one OpenAL source through
// a ring of four 8192-byte buffers. The main thread starts, pauses, seeks and stops it; the
// pool's worker refills its buffers; a default-device change suspends and resumes it. Every
// operation except SetLooping and IsBusy takes the voice's own (re-entrant) lock.
#include "core/CriticalSection.h"
#include "core/Types.h"
#include "sound/OggVorbisStream.h"
#include "sound/Voice.h"

#include <atomic>

namespace lv::sound {

class COpenALVoice : public CVoice
{
public:
    static constexpr s32 kBufferCount = 4;
    static constexpr u32 kBufferBytes = 8192;

    // With a device open, makes its source and buffers.
    COpenALVoice();
    ~COpenALVoice() override;
    COpenALVoice(const COpenALVoice&) = delete;
    COpenALVoice& operator=(const COpenALVoice&) = delete;

    // Closes what is open and opens the file; the voice is busy while a file is open.
    bool Open(const char* file);
    void Close();

    void Play() override;
    void Pause() override;
    void Resume() override;
    void Stop() override;
    // A paused voice stays paused.
    void Seek(double seconds) override;
    void SetGain(float gain) override;
    void SetLooping(bool looping) override { m_Looping = looping; }
    double GetPosition() override;
    double GetDuration() override;
    bool IsStopped() override;
    void CheckEnd() override;
    bool IsBusy() override { return m_Busy; }
    s32 GetState() override { return m_State; }

    // The worker's pass: requeues the buffers the source has played with fresh PCM.
    void Refill();

    // Device replacement (the pool holds every lock meanwhile).
    void Suspend(double now);
    void CreateSourceAndBuffers();
    void DeleteSourceAndBuffers();
    void ResumeAfterDeviceChange(double now);

    lv::mt::CCriticalSection& GetLock() { return m_Lock; }
    bool WasPlaying() const { return m_WasPlaying; }

private:
    // Up to kBufferBytes of PCM; rewinds a looping stream at its end once.
    u32 ReadPcm(u8* out);
    bool QueueBuffer(u32 buffer, const u8* data, u32 bytes);

    COggVorbisStream m_Decoder{8192};
    u32 m_Buffers[kBufferCount] = {};
    s32 m_NextBuffer = -1;
    u32 m_Source = 0;
    bool m_HasSource = false;
    std::atomic<s32> m_State{StateStopped};
    std::atomic<bool> m_Looping{false};
    std::atomic<bool> m_Busy{false};
    double m_ProcessedSeconds = 0.0;
    bool m_WasPlaying = false;
    bool m_WasPaused = false;
    double m_SavedPosition = 0.0;
    double m_SavedTime = 0.0;
    lv::mt::CCriticalSection m_Lock;
};

} // namespace lv::sound
