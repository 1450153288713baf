#pragma once
// Encodes PCM into an Ogg Vorbis file with libvorbisenc: the test tones of the sound tests and
// benchmarks. Optionally puts a logical stream that is not Vorbis before the Vorbis one.
#include "core/Types.h"

#include <vector>

namespace lv::content {

struct COggVorbisSource
{
    s32 m_Channels = 1;
    s32 m_Rate = 44100;
    // Interleaved samples in -1..1.
    std::vector<float> m_Samples;
};

// The file, or empty when the encoder refuses the format. quality -0.1..1. With a page size,
// audio pages are cut at about that many bytes, so packets span pages and many pages end no
// packet (granule position -1).
std::vector<u8> EncodeOggVorbis(const COggVorbisSource& source, float quality = 0.4f, bool foreignStreamFirst = false,
                                s32 pageBytes = 0);

// A sine of the frequency and amplitude on the given channel mask (bit 0 left, bit 1 right).
COggVorbisSource MakeTone(s32 channels, s32 rate, double seconds, double frequency, float amplitude,
                          u32 channelMask = 3);

} // namespace lv::content
