#include "sound/OpenALVoice.h"

#include "sound/OpenALPool.h"

#include <AL/al.h>

namespace lv::sound {

namespace {

// Locks a voice for a scope.
class CVoiceLock
{
public:
    explicit CVoiceLock(lv::mt::CCriticalSection& lock) : m_Lock(lock) { m_Lock.Enter(); }
    ~CVoiceLock() { m_Lock.Leave(); }
    CVoiceLock(const CVoiceLock&) = delete;
    CVoiceLock& operator=(const CVoiceLock&) = delete;

private:
    lv::mt::CCriticalSection& m_Lock;
};

} // namespace

COpenALVoice::COpenALVoice()
{
    CreateSourceAndBuffers();
}

COpenALVoice::~COpenALVoice()
{
    DeleteSourceAndBuffers();
}

void COpenALVoice::CreateSourceAndBuffers()
{
    if (!COpenALPool::IsDeviceOpen() || m_HasSource)
        return;
    alGenSources(1, &m_Source);
    COpenALPool::CheckAl(__LINE__);
    alGenBuffers(kBufferCount, m_Buffers);
    COpenALPool::CheckAl(__LINE__);
    m_HasSource = true;
    m_NextBuffer = -1;
}

void COpenALVoice::DeleteSourceAndBuffers()
{
    if (!m_HasSource)
        return;
    if (COpenALPool::IsDeviceOpen()) {
        alSourceStop(m_Source);
        alSourcei(m_Source, AL_BUFFER, 0);
        alDeleteSources(1, &m_Source);
        COpenALPool::CheckAl(__LINE__);
        alDeleteBuffers(kBufferCount, m_Buffers);
        COpenALPool::CheckAl(__LINE__);
    }
    m_HasSource = false;
    m_NextBuffer = -1;
}

bool COpenALVoice::Open(const char* file)
{
    CVoiceLock lock(m_Lock);
    Close();
    const bool opened = m_Decoder.Open(file);
    m_ProcessedSeconds = 0.0;
    m_Busy = opened;
    return opened;
}

void COpenALVoice::Close()
{
    CVoiceLock lock(m_Lock);
    if (!m_Busy)
        return;
    Stop();
    m_Decoder.Close();
    m_ProcessedSeconds = 0.0;
    m_Busy = false;
}

u32 COpenALVoice::ReadPcm(u8* out)
{
    if (!m_Decoder.IsOpen() || (!m_Looping && m_Decoder.IsAtEnd()))
        return 0;
    u32 got = m_Decoder.Read(out, kBufferBytes);
    if (got == 0 && m_Looping && m_Decoder.IsAtEnd()) {
        if (!m_Decoder.Rewind())
            return 0;
        got = m_Decoder.Read(out, kBufferBytes);
    }
    return got;
}

bool COpenALVoice::QueueBuffer(u32 buffer, const u8* data, u32 bytes)
{
    const ALenum format = m_Decoder.IsStereo() ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    alBufferData(buffer, format, data, static_cast<ALsizei>(bytes), m_Decoder.GetSampleRate());
    if (!COpenALPool::CheckAl(__LINE__))
        return false;
    ALuint name = buffer;
    alSourceQueueBuffers(m_Source, 1, &name);
    return COpenALPool::CheckAl(__LINE__);
}

void COpenALVoice::Play()
{
    CVoiceLock lock(m_Lock);
    if (!COpenALPool::IsDeviceOpen() || !m_HasSource || m_State != StateStopped)
        return;
    m_NextBuffer = 0;
    u8 pcm[kBufferBytes];
    s32 queued = 0;
    for (s32 i = 0; i < kBufferCount; ++i) {
        const u32 got = ReadPcm(pcm);
        if (got == 0)
            break;
        if (QueueBuffer(m_Buffers[i], pcm, got))
            ++queued;
    }
    if (queued == 0) {
        m_NextBuffer = -1;
        return;
    }
    alSourcePlay(m_Source);
    COpenALPool::CheckAl(__LINE__);
    m_State = StatePlaying;
}

void COpenALVoice::Pause()
{
    CVoiceLock lock(m_Lock);
    if (!COpenALPool::IsDeviceOpen() || !m_HasSource || m_State != StatePlaying)
        return;
    alSourcePause(m_Source);
    COpenALPool::CheckAl(__LINE__);
    m_State = StatePaused;
}

void COpenALVoice::Resume()
{
    CVoiceLock lock(m_Lock);
    if (!COpenALPool::IsDeviceOpen() || !m_HasSource || m_State != StatePaused)
        return;
    alSourcePlay(m_Source);
    COpenALPool::CheckAl(__LINE__);
    m_State = StatePlaying;
}

void COpenALVoice::Stop()
{
    CVoiceLock lock(m_Lock);
    if (!COpenALPool::IsDeviceOpen() || !m_HasSource)
        return;
    m_State = StateStopped;
    alSourceStop(m_Source);
    COpenALPool::CheckAl(__LINE__);
    // After a stop every queued buffer counts as processed.
    ALint processed = 0;
    alGetSourcei(m_Source, AL_BUFFERS_PROCESSED, &processed);
    COpenALPool::CheckAl(__LINE__);
    if (m_NextBuffer >= 0 && processed > 0) {
        const s32 n = processed > kBufferCount ? kBufferCount : processed;
        if (m_NextBuffer + n <= kBufferCount) {
            alSourceUnqueueBuffers(m_Source, n, m_Buffers + m_NextBuffer);
        } else {
            alSourceUnqueueBuffers(m_Source, kBufferCount - m_NextBuffer, m_Buffers + m_NextBuffer);
            alSourceUnqueueBuffers(m_Source, n - (kBufferCount - m_NextBuffer), m_Buffers);
        }
        COpenALPool::CheckAl(__LINE__);
    }
    m_NextBuffer = -1;
    m_ProcessedSeconds = 0.0;
}

bool COpenALVoice::IsStopped()
{
    return COpenALPool::IsDeviceOpen() && m_State == StateStopped;
}

void COpenALVoice::CheckEnd()
{
    if (m_Looping)
        return;
    CVoiceLock lock(m_Lock);
    if (!COpenALPool::IsDeviceOpen() || !m_HasSource)
        return;
    ALint state = 0;
    alGetSourcei(m_Source, AL_SOURCE_STATE, &state);
    COpenALPool::CheckAl(__LINE__);
    if (state == AL_STOPPED && m_Decoder.IsAtEnd())
        m_State = StateStopped;
}

void COpenALVoice::SetGain(float gain)
{
    // Under the lock too: a device change replaces the source meanwhile.
    CVoiceLock lock(m_Lock);
    if (!COpenALPool::IsDeviceOpen() || !m_HasSource)
        return;
    alSourcef(m_Source, AL_GAIN, gain);
    COpenALPool::CheckAl(__LINE__);
}

double COpenALVoice::GetPosition()
{
    CVoiceLock lock(m_Lock);
    if (!COpenALPool::IsDeviceOpen() || !m_HasSource)
        return 0.0;
    ALfloat offset = 0.0f;
    alGetSourcef(m_Source, AL_SEC_OFFSET, &offset);
    if (!COpenALPool::CheckAl(__LINE__))
        offset = 0.0f;
    return offset + m_ProcessedSeconds;
}

double COpenALVoice::GetDuration()
{
    CVoiceLock lock(m_Lock);
    return m_Decoder.GetTotalTime();
}

void COpenALVoice::Seek(double seconds)
{
    CVoiceLock lock(m_Lock);
    const bool paused = m_State == StatePaused;
    Stop();
    if (m_Decoder.SeekTime(seconds)) {
        m_ProcessedSeconds = seconds;
    } else {
        m_ProcessedSeconds = 0.0;
        m_Decoder.Rewind();
    }
    Play();
    // A paused voice stays paused: the seek only moves it.
    if (paused)
        Pause();
}

void COpenALVoice::Refill()
{
    CVoiceLock lock(m_Lock);
    if (!COpenALPool::IsDeviceOpen() || !m_HasSource || m_NextBuffer < 0)
        return;
    ALint processed = 0;
    alGetSourcei(m_Source, AL_BUFFERS_PROCESSED, &processed);
    COpenALPool::CheckAl(__LINE__);
    if (processed <= 0)
        return;
    const s32 bytesPerFrame = m_Decoder.IsStereo() ? 4 : 2;
    u8 pcm[kBufferBytes];
    s32 requeued = 0;
    for (s32 i = 0; i < processed && m_NextBuffer >= 0; ++i) {
        ALuint buffer = m_Buffers[m_NextBuffer];
        ALint size = 0;
        alGetBufferi(buffer, AL_SIZE, &size);
        COpenALPool::CheckAl(__LINE__);
        if (m_Decoder.GetSampleRate() > 0)
            m_ProcessedSeconds += static_cast<double>(size) / (bytesPerFrame * m_Decoder.GetSampleRate());
        alSourceUnqueueBuffers(m_Source, 1, &buffer);
        COpenALPool::CheckAl(__LINE__);
        const u32 got = ReadPcm(pcm);
        if (got) {
            if (QueueBuffer(buffer, pcm, got))
                ++requeued;
        } else if (m_Looping) {
            m_State = StateStopped; // a looping stream that cannot go on
            return;
        }
        m_NextBuffer = (m_NextBuffer + 1) % kBufferCount;
    }
    if (requeued > 0 && m_State == StatePlaying) {
        ALint state = 0;
        alGetSourcei(m_Source, AL_SOURCE_STATE, &state);
        COpenALPool::CheckAl(__LINE__);
        if (state == AL_STOPPED) {
            alSourcePlay(m_Source); // it ran dry
            COpenALPool::CheckAl(__LINE__);
        }
    }
}

void COpenALVoice::Suspend(double now)
{
    if (COpenALPool::IsDeviceOpen() && m_HasSource) {
        m_WasPlaying = m_State != StateStopped;
        if (m_WasPlaying) {
            m_WasPaused = m_State == StatePaused;
            m_SavedPosition = m_ProcessedSeconds;
            m_SavedTime = now;
            Stop();
        }
    } else {
        m_WasPlaying = false;
    }
    DeleteSourceAndBuffers();
}

void COpenALVoice::ResumeAfterDeviceChange(double now)
{
    CreateSourceAndBuffers();
    if (!m_WasPlaying || !COpenALPool::IsDeviceOpen())
        return;
    Play();
    // A paused voice keeps its place and stays paused.
    const double elapsed = m_WasPaused ? 0.0 : (now - m_SavedTime) / 1000.0;
    Seek(m_SavedPosition + elapsed);
    if (m_WasPaused)
        Pause();
    m_WasPlaying = false;
}

} // namespace lv::sound
