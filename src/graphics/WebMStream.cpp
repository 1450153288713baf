#include "graphics/WebMStream.h"

#include <vpx/vp8dx.h>

#include <mkvparser/mkvparser.h>

#include "core/FileSystem.h"
#include "graphics/MkvReader.h"
#include "graphics/WebMBlockCursor.h"

namespace lv::graphics {

namespace {
// VP8 allows 16383; larger tracks are refused before anything is sized from them.
constexpr s64 kMaxSide = 16383;
} // namespace

CWebMStream::CWebMStream() = default;

CWebMStream::~CWebMStream()
{
    Close();
}

bool CWebMStream::Open(const char* path)
{
    Close();
    if (!path)
        return false;
    m_Reader = new LVMkvReader;
    s64 offset = 0;
    u32 size = 0;
    FILE* packed = lv::core::CFileSystem::Instance().OpenFileStream(path, offset, size);
    const int opened = packed ? m_Reader->Open(packed, offset, size) : m_Reader->Open(path);
    if (opened != 0) {
        if (packed)
            std::fclose(packed);
        Close();
        return false;
    }
    return OpenReader();
}

bool CWebMStream::OpenMemory(const u8* data, s64 size)
{
    Close();
    m_Reader = new LVMkvReader;
    if (m_Reader->OpenMemory(data, size) != 0) {
        Close();
        return false;
    }
    return OpenReader();
}

bool CWebMStream::OpenReader()
{
    mkvparser::Segment* segment = nullptr;
    if (mkvparser::Segment::CreateInstance(m_Reader, 0, segment) != 0 || !segment) {
        delete segment;
        Close();
        return false;
    }
    m_Segment = segment;
    if (m_Segment->Load() < 0 || !FindVideoTrack()) {
        Close();
        return false;
    }
    m_Cursor = new CWebMBlockCursor(m_Segment, m_TrackNumber, m_Duration);
    long long fileLength = 0;
    m_Reader->Length(&fileLength, nullptr);
    long largest = 0;
    for (const mkvparser::Block* b; (b = m_Cursor->Next()) != nullptr;) {
        const long length = b->GetFrame(0).len;
        if (length > largest && length <= fileLength)
            largest = length;
    }
    m_Cursor->Reset();
    m_FrameBuffer.assign(static_cast<size_t>(largest), 0);
    if (vpx_codec_dec_init(&m_Decoder, vpx_codec_vp8_dx(), nullptr, 0) != VPX_CODEC_OK) {
        Close();
        return false;
    }
    m_DecoderReady = true;
    m_Open = true;
    return true;
}

bool CWebMStream::FindVideoTrack()
{
    const mkvparser::SegmentInfo* info = m_Segment->GetInfo();
    const mkvparser::Tracks* tracks = m_Segment->GetTracks();
    if (!info || !tracks)
        return false;
    const s64 duration = info->GetDuration();
    m_Duration = duration > 0 ? duration / 1000000 : 0;
    for (unsigned long i = 0; i < tracks->GetTracksCount(); ++i) {
        const mkvparser::Track* track = tracks->GetTrackByIndex(i);
        if (!track || track->GetType() != mkvparser::Track::kVideo)
            continue;
        const auto* video = static_cast<const mkvparser::VideoTrack*>(track);
        m_Width = video->GetWidth();
        m_Height = video->GetHeight();
        m_TrackNumber = video->GetNumber();
        return m_Width > 0 && m_Height > 0 && m_Width <= kMaxSide && m_Height <= kMaxSide;
    }
    return false;
}

void CWebMStream::Close()
{
    if (m_DecoderReady)
        vpx_codec_destroy(&m_Decoder);
    m_DecoderReady = false;
    m_Picture = nullptr;
    delete m_Cursor;
    m_Cursor = nullptr;
    delete m_Segment;
    m_Segment = nullptr;
    delete m_Reader;
    m_Reader = nullptr;
    m_FrameBuffer.clear();
    m_FrameBuffer.shrink_to_fit();
    m_Open = false;
    m_TrackNumber = m_Duration = m_Width = m_Height = 0;
    m_DecodeCount = 0;
}

void CWebMStream::DecodeCurrent()
{
    if (!m_Open)
        return;
    const mkvparser::Block* block = m_Cursor->Current();
    if (!block)
        return;
    const mkvparser::Block::Frame& frame = block->GetFrame(0);
    ++m_DecodeCount;
    m_Picture = nullptr;
    if (frame.len <= 0 || static_cast<size_t>(frame.len) > m_FrameBuffer.size() ||
        frame.Read(m_Reader, m_FrameBuffer.data()) < 0)
        return;
    if (vpx_codec_decode(&m_Decoder, m_FrameBuffer.data(), static_cast<unsigned int>(frame.len), nullptr, 1) !=
        VPX_CODEC_OK)
        return;
    // The decoder hands a picture out once per decode; it stays valid until the next decode.
    vpx_codec_iter_t iterator = nullptr;
    m_Picture = vpx_codec_get_frame(&m_Decoder, &iterator);
}

void CWebMStream::DecodeNext()
{
    if (m_Open && m_Cursor->Next())
        DecodeCurrent();
}

s32 CWebMStream::DecodeAhead()
{
    if (!m_Open)
        return 0;
    s32 count = 0;
    m_Cursor->Push();
    while (m_Cursor->Next()) {
        DecodeCurrent();
        ++count;
        if (m_Cursor->CurrentDuration() != 0)
            break;
    }
    m_Cursor->Pop();
    return count;
}

void CWebMStream::SkipBlocks(s32 n)
{
    for (s32 i = 0; m_Open && i < n; ++i)
        m_Cursor->Next();
}

vpx_image_t* CWebMStream::GetFrame()
{
    return m_Open ? m_Picture : nullptr;
}

void CWebMStream::Seek(s64 t)
{
    if (!m_Open || t > m_Duration)
        return;
    const s64 previous = m_Cursor->Current() ? m_Cursor->CurrentTime() : -1;
    bool needsRun = false;
    s32 count = 0;
    const mkvparser::Block* block = m_Cursor->SeekTo(t, needsRun, count);
    if (!block)
        return;
    if (!needsRun) {
        if (m_Cursor->CurrentTime() != previous)
            DecodeCurrent();
        return;
    }
    if (m_Cursor->CurrentTime() == previous) {
        // That frame is decoded already.
        --count;
        m_Cursor->Next();
    }
    for (s32 decoded = 0; decoded < count;) {
        DecodeCurrent();
        if (++decoded < count && !m_Cursor->Next())
            break;
    }
}

void CWebMStream::GetCurrentTimes(s64* time, s64* duration)
{
    const bool has = m_Open && m_Cursor->Current();
    if (time)
        *time = has ? m_Cursor->CurrentTime() : 0;
    if (duration)
        *duration = has ? m_Cursor->CurrentDuration() : 0;
}

void CWebMStream::PeekNextTimes(s64* time, s64* duration)
{
    s64 t = 0, d = 0;
    if (m_Open)
        m_Cursor->PeekTimes(t, d);
    if (time)
        *time = t;
    if (duration)
        *duration = d;
}

void CWebMStream::PeekNextTimesPrefetch(s64* time, s64* duration)
{
    s64 t = 0, d = 0;
    PeekNextTimes(&t, &d);
    if (m_Open && d == 0) {
        m_Cursor->Push();
        if (m_Cursor->Next())
            PeekNextTimes(&t, &d);
        m_Cursor->Pop();
    }
    if (time)
        *time = t;
    if (duration)
        *duration = d;
}

} // namespace lv::graphics
