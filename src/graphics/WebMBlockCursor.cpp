#include "graphics/WebMBlockCursor.h"

#include <mkvparser/mkvparser.h>

namespace lv::graphics {

CWebMBlockCursor::CWebMBlockCursor(mkvparser::Segment* segment, s64 trackNumber, s64 durationMs)
    : m_Segment(segment), m_TrackNumber(trackNumber), m_Duration(durationMs)
{
    Reset();
}

void CWebMBlockCursor::Reset()
{
    m_Cluster = m_Segment ? m_Segment->GetFirst() : nullptr;
    m_Entry = nullptr;
    StepEntry();
    m_NotStarted = true;
}

bool CWebMBlockCursor::StepEntry()
{
    while (m_Cluster && !m_Cluster->EOS()) {
        const mkvparser::BlockEntry* next = nullptr;
        const long status = m_Entry ? m_Cluster->GetNext(m_Entry, next) : m_Cluster->GetFirst(next);
        if (status >= 0 && next && !next->EOS()) {
            m_Entry = next;
            return true;
        }
        m_Cluster = m_Segment->GetNext(m_Cluster);
        m_Entry = nullptr;
    }
    m_Cluster = nullptr;
    m_Entry = nullptr;
    return false;
}

bool CWebMBlockCursor::Qualifies(const mkvparser::BlockEntry* entry) const
{
    if (!entry || entry->EOS())
        return false;
    const mkvparser::Block* block = entry->GetBlock();
    return block && block->GetTrackNumber() == m_TrackNumber && block->GetFrameCount() >= 1;
}

const mkvparser::Block* CWebMBlockCursor::Next()
{
    if (m_NotStarted) {
        m_NotStarted = false;
        if (Qualifies(m_Entry))
            return m_Entry->GetBlock();
    }
    while (StepEntry()) {
        if (Qualifies(m_Entry))
            return m_Entry->GetBlock();
    }
    return nullptr;
}

const mkvparser::Block* CWebMBlockCursor::Current() const
{
    return Qualifies(m_Entry) ? m_Entry->GetBlock() : nullptr;
}

s64 CWebMBlockCursor::CurrentTime() const
{
    const mkvparser::Block* block = Current();
    return block ? block->GetTimeCode(m_Cluster) : 0;
}

s64 CWebMBlockCursor::CurrentDuration()
{
    if (!Current())
        return 0;
    const s64 time = CurrentTime();
    Push();
    m_NotStarted = false;
    const mkvparser::Block* next = Next();
    const s64 end = next ? next->GetTimeCode(m_Cluster) : m_Duration;
    Pop();
    return end - time;
}

void CWebMBlockCursor::PeekTimes(s64& time, s64& duration)
{
    Push();
    const mkvparser::Block* first = Next();
    if (!first) {
        time = duration = 0;
    } else {
        time = first->GetTimeCode(m_Cluster);
        const mkvparser::Block* second = Next();
        duration = (second ? second->GetTimeCode(m_Cluster) : m_Duration) - time;
    }
    Pop();
}

bool CWebMBlockCursor::Covers(s64 t)
{
    if (!Current())
        return false;
    const s64 time = CurrentTime();
    return time <= t && t < time + CurrentDuration();
}

void CWebMBlockCursor::Push()
{
    m_Stack.push_back(Save());
}

void CWebMBlockCursor::Pop()
{
    if (m_Stack.empty())
        return;
    Restore(m_Stack.back());
    m_Stack.pop_back();
}

void CWebMBlockCursor::Restore(const CPosition& p)
{
    m_Cluster = p.cluster;
    m_Entry = p.entry;
    m_NotStarted = p.notStarted;
}

const mkvparser::Block* CWebMBlockCursor::SeekTo(s64 t, bool& needsRun, s32& count)
{
    needsRun = false;
    count = 0;
    if (t >= m_Duration)
        return nullptr;
    if (Covers(t))
        return Current();
    const bool hasPrevious = Current() != nullptr;
    const s64 previous = hasPrevious ? CurrentTime() : -1;
    bool haveKey = false;
    CPosition key{};
    if (hasPrevious && t >= previous) {
        // Forward: a later key frame at or before t saves decoding the frames in between.
        const CPosition start = Save();
        m_NotStarted = false;
        for (const mkvparser::Block* b; (b = Next()) != nullptr;) {
            if (!b->IsKey())
                continue;
            if (b->GetTimeCode(m_Cluster) > t)
                break;
            key = Save();
            haveKey = true;
        }
        Restore(haveKey ? key : start);
    } else {
        // Backward (or from nowhere): the last key frame at or before t.
        Reset();
        for (const mkvparser::Block* b; (b = Next()) != nullptr;) {
            if (b->GetTimeCode(m_Cluster) > t)
                break;
            if (b->IsKey()) {
                key = Save();
                haveKey = true;
            }
        }
        if (haveKey) {
            Restore(key);
        } else {
            // No key frame before t: start from the first block.
            Reset();
            if (!Next())
                return nullptr;
        }
    }
    m_NotStarted = false;
    if (!Current())
        return nullptr;
    if (Covers(t))
        return Current();
    Push();
    count = 1;
    for (const mkvparser::Block* b; (b = Next()) != nullptr;) {
        ++count;
        if (hasPrevious && b->GetTimeCode(m_Cluster) == previous) {
            // The frame already decoded lies between the key frame and t: count from it.
            m_Stack.back() = Save();
            count = 1;
        }
        if (Covers(t))
            break;
    }
    Pop();
    needsRun = true;
    return Current();
}

} // namespace lv::graphics
