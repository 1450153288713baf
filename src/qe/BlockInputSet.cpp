#include "qe/BlockInputSet.h"

#include "qe/BlockBase.h"

#include <algorithm>

namespace qe::scripts {

CBlockInputSet::CBlockInputSet(const SGuidList& list) : m_List(list)
{
    m_Received.reserve(list.count);
}

bool CBlockInputSet::Contains(u64 guid) const
{
    for (u32 i = 0; i < m_List.count; ++i)
        if (m_List.Get(i) == guid)
            return true;
    return false;
}

bool CBlockInputSet::Contains(const CBlockBase* block) const
{
    return block && Contains(block->GetGuid());
}

bool CBlockInputSet::Add(const CBlockBase* block)
{
    if (!Contains(block))
        return false;
    const u64 guid = block->GetGuid();
    const auto it = std::lower_bound(m_Received.begin(), m_Received.end(), guid);
    // A list naming one guid twice can never be completed by more notifications than its
    // distinct guids; the expected count is the list's length all the same.
    if (it == m_Received.end() || *it != guid)
        m_Received.insert(it, guid);
    return IsComplete();
}

} // namespace qe::scripts
