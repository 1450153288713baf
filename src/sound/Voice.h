#pragma once
// One streaming voice of the voice pool, as the sound instances drive it. The real voice plays
// an Ogg Vorbis file through OpenAL; tests put a recording voice behind the same operations.
// Every operation is called on the main thread.
#include "core/Types.h"

namespace lv::sound {

class CVoice
{
public:
    // Voice states.
    enum EState : s32
    {
        StatePlaying = 0,
        StatePaused = 1,
        StateStopped = 2,
    };

    virtual ~CVoice() = default;

    // Starts from the stopped state; nothing in any other state.
    virtual void Play() = 0;
    // Playing -> paused; nothing otherwise.
    virtual void Pause() = 0;
    // Paused -> playing; nothing otherwise.
    virtual void Resume() = 0;
    virtual void Stop() = 0;
    // Moves playback to the time (a time below 0.001 s starts from the beginning).
    virtual void Seek(double seconds) = 0;
    // 0..1.
    virtual void SetGain(float gain) = 0;
    // A looping voice rewinds at the end of its stream and never ends by itself.
    virtual void SetLooping(bool looping) = 0;
    // Seconds played since the start or the seek target.
    virtual double GetPosition() = 0;
    // The whole stream's play time in seconds.
    virtual double GetDuration() = 0;
    // True when a device is open and the voice is stopped.
    virtual bool IsStopped() = 0;
    // The main thread's end-of-stream test: a non-looping voice whose output has run dry
    // becomes stopped.
    virtual void CheckEnd() = 0;
    // A file is open on the voice.
    virtual bool IsBusy() = 0;
    virtual s32 GetState() = 0;
};

} // namespace lv::sound
