#pragma once
// A position among the blocks of one track of a loaded WebM segment, with the block timing and
// the key-frame search that seeking needs. Positions can be saved and restored on a stack, so a
// look ahead leaves the cursor where it was. Times are block time codes in ms (the default
// time-code scale).
#include "core/Types.h"

#include <vector>

namespace mkvparser {
class Block;
class BlockEntry;
class Cluster;
class Segment;
} // namespace mkvparser

namespace lv::graphics {

class CWebMBlockCursor
{
public:
    CWebMBlockCursor(mkvparser::Segment* segment, s64 trackNumber, s64 durationMs);

    // The next block of the track with at least one frame, or null at the end; after Reset the
    // first call looks at the current entry itself.
    const mkvparser::Block* Next();
    const mkvparser::Block* Current() const;
    s64 CurrentTime() const;
    // Until the next block (or the end of the stream); 0 without a current block.
    s64 CurrentDuration();
    // Time and duration of the next block without moving; 0, 0 when there is none.
    void PeekTimes(s64& time, s64& duration);
    bool Covers(s64 t);
    // Moves to the block to decode first for time t. needsRun: `count` blocks from the new
    // position must be decoded to reach t. Null when t is at or past the duration or no block
    // can be found.
    const mkvparser::Block* SeekTo(s64 t, bool& needsRun, s32& count);
    void Reset();
    void Push();
    void Pop();

private:
    struct CPosition
    {
        const mkvparser::Cluster* cluster;
        const mkvparser::BlockEntry* entry;
        bool notStarted;
    };
    bool Qualifies(const mkvparser::BlockEntry* entry) const;
    bool StepEntry();
    CPosition Save() const { return {m_Cluster, m_Entry, m_NotStarted}; }
    void Restore(const CPosition& p);

    mkvparser::Segment* m_Segment;
    s64 m_TrackNumber;
    s64 m_Duration;
    const mkvparser::Cluster* m_Cluster = nullptr;
    const mkvparser::BlockEntry* m_Entry = nullptr;
    bool m_NotStarted = true;
    std::vector<CPosition> m_Stack;
};

} // namespace lv::graphics
