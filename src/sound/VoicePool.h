#pragma once
// The set of voices the audio manager plays its sounds on. Taking a voice opens the sound's file
// on a free voice; releasing it closes the file and frees the voice.
#include "core/Types.h"

namespace lv::sound {

class CVoice;

class CVoicePool
{
public:
    virtual ~CVoicePool() = default;

    // A free voice opened on the file, or null (no device, no free voice, unreadable file).
    virtual CVoice* TakeVoice(const char* file) = 0;
    virtual void ReleaseVoice(CVoice* voice) = 0;
};

} // namespace lv::sound
