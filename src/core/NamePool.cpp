#include "core/NamePool.h"

#include "core/ChunkAlloc.h"

#include <mutex>
#include <new>
#include <set>
#include <vector>

namespace lv::core {
namespace {

constexpr u32 kBlockSize = 65536;
// Records are whole names, all of one size, so a block takes this many (its usable size is
// kBlockSize - 8).
constexpr u32 kRecordsPerBlock = (kBlockSize - 8) / sizeof(CFixedString);
static_assert(sizeof(CFixedString) % kChunkAlign == 0, "records must lie back to back");

// By text; a cut name sorts after the same uncut text.
struct NameLess
{
    bool operator()(const CFixedString* a, const CFixedString* b) const { return b->IsGreater(*a); }
};

struct NamePool
{
    std::mutex lock;
    std::set<const CFixedString*, NameLess> names;
    // One chain per block: a chain is searched from its start for room, and a pool of many
    // blocks in one chain would search all the full ones for every new name.
    std::vector<ChunkBlock*> chains;
    u32 inLastChain = kRecordsPerBlock;
};

// Never destroyed: pooled names must outlive every static that holds one.
NamePool& Pool()
{
    static NamePool* pool = new NamePool;
    return *pool;
}

} // namespace

const CFixedString* InternName(const CFixedString& name)
{
    NamePool& pool = Pool();
    std::lock_guard<std::mutex> guard(pool.lock);
    const auto it = pool.names.find(&name);
    if (it != pool.names.end())
        return *it;
    // Whole records: callers copy names by value, and a copy reads the full record.
    if (pool.inLastChain == kRecordsPerBlock) {
        pool.chains.push_back(nullptr);
        pool.inLastChain = 0;
    }
    void* memory = ChunkAlloc(pool.chains.back(), kBlockSize, static_cast<u32>(sizeof(CFixedString)));
    ++pool.inLastChain;
    const CFixedString* pooled = new (memory) CFixedString(name);
    // Hashed now, so that comparisons never write to a shared record.
    pooled->GetHash();
    pool.names.insert(pooled);
    return pooled;
}

} // namespace lv::core

template <> const CFixedString* CFixedString::Intern(const CFixedString& name)
{
    return lv::core::InternName(name);
}
