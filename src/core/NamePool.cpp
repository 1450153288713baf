#include "core/NamePool.h"

#include "core/ChunkAlloc.h"

#include <mutex>
#include <new>
#include <set>

namespace lv::core {
namespace {

constexpr u32 kBlockSize = 65536;

// By text; a cut name sorts after the same uncut text.
struct NameLess
{
    bool operator()(const CFixedString* a, const CFixedString* b) const { return b->IsGreater(*a); }
};

struct NamePool
{
    std::mutex lock;
    std::set<const CFixedString*, NameLess> names;
    ChunkBlock* blocks = nullptr;
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
    void* memory = ChunkAlloc(pool.blocks, kBlockSize, static_cast<u32>(sizeof(CFixedString)));
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
