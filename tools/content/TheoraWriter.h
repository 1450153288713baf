#pragma once
// Encodes pictures into an Ogg Theora file with libtheora's encoder: the test videos of the
// players and the benchmark's media. The picture is centred in the 16-aligned coded frame, as
// common encoders do, so odd sizes exercise the decoder's picture offsets.
#include "YuvFrame.h"
#include "core/Types.h"

#include <filesystem>
#include <string>
#include <vector>

namespace lv::content {

struct CTheoraWriterOptions
{
    u32 width = 64;
    u32 height = 48;
    u32 fpsNumerator = 25;
    u32 fpsDenominator = 1;
    s32 quality = 63;            // 0..63
    u32 keyframeInterval = 64;   // frames between forced key frames
    bool pagePerFrame = false;   // flush a page after every frame instead of filling pages
};

class CTheoraWriter
{
public:
    explicit CTheoraWriter(const CTheoraWriterOptions& options);
    ~CTheoraWriter();
    CTheoraWriter(const CTheoraWriter&) = delete;
    CTheoraWriter& operator=(const CTheoraWriter&) = delete;

    // False when the encoder could not be set up (bad size) or the frame has another size.
    bool AddFrame(const CYuvFrame& frame);
    // Ends the stream and returns the whole file; empty on failure.
    std::vector<u8> Finish();
    // Finish into a file.
    bool WriteFile(const std::filesystem::path& file);

private:
    struct CState;
    bool EncodeBuffered(bool last);

    CTheoraWriterOptions m_Options;
    CState* m_State = nullptr;
};

} // namespace lv::content
