#pragma once
// One input list of a block record and the guids of the blocks of that list that have fired so
// far (each once, kept sorted).
#include "core/Types.h"
#include "qe/ScriptRecords.h"
#include <vector>

namespace qe::scripts {

class CBlockBase;

class CBlockInputSet
{
public:
    explicit CBlockInputSet(const SGuidList& list = {});

    bool Contains(const CBlockBase* block) const;
    bool Contains(u64 guid) const;
    // False when the block is not in the list; otherwise records it (once) and tells whether
    // the set is now complete.
    bool Add(const CBlockBase* block);
    // An empty list is complete from the start.
    bool IsComplete() const { return m_Received.size() == m_List.count; }
    void Clear() { m_Received.clear(); }
    u32 GetExpectedCount() const { return m_List.count; }
    u32 GetReceivedCount() const { return static_cast<u32>(m_Received.size()); }

private:
    SGuidList m_List;
    std::vector<u64> m_Received;
};

} // namespace qe::scripts
