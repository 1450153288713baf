#pragma once
// Encodes pictures with libvpx's VP8 encoder and muxes them into a WebM file with mkvmuxer: the
// test videos of the WebM players and the benchmark's media. The segment duration is set to the
// frame count times the frame time, so it is exact.
#include "YuvFrame.h"
#include "core/Types.h"

#include <filesystem>
#include <vector>

namespace lv::content {

struct CWebMWriterOptions
{
    u32 width = 320;
    u32 height = 240;
    u32 frameMs = 40;
    u32 keyframeInterval = 10;
    // Target bit rate in kbit/s; high keeps the pictures close to what was drawn.
    u32 bitrate = 4000;
    // The size the track header states; 0 states the frames' own size.
    u32 trackWidth = 0;
    u32 trackHeight = 0;
};

class CWebMWriter
{
public:
    explicit CWebMWriter(const CWebMWriterOptions& options);
    ~CWebMWriter();
    CWebMWriter(const CWebMWriter&) = delete;
    CWebMWriter& operator=(const CWebMWriter&) = delete;

    bool AddFrame(const CYuvFrame& frame);
    // Flushes the encoder, finishes the file and writes it.
    bool WriteFile(const std::filesystem::path& file);

private:
    struct CState;
    bool Encode(const CYuvFrame* frame);

    CWebMWriterOptions m_Options;
    CState* m_State;
};

} // namespace lv::content
