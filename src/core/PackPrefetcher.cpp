#include "core/PackPrefetcher.h"

#include <atomic>

namespace lv::core {

namespace {

constexpr u32 PageSize = 4096;

void TouchPages(const u8* base, u32 size)
{
    u8 sum = 0;
    for (u64 at = 0; at < size; at += PageSize)
        sum = static_cast<u8>(sum + static_cast<const volatile u8*>(base)[at]);
    static std::atomic<u8> sink;
    sink.store(sum, std::memory_order_relaxed);
}

} // namespace

CPackPrefetcher& CPackPrefetcher::Instance()
{
    // Never destroyed: packs still being unmounted at process exit may ask it to wait.
    static CPackPrefetcher* instance = new CPackPrefetcher();
    return *instance;
}

CPackPrefetcher::~CPackPrefetcher()
{
    std::lock_guard<std::mutex> lock(m_Lock);
    m_Thread.Join();
}

u32 CPackPrefetcher::Run(void* self)
{
    // Base and size are written before the thread starts and never change while it runs.
    const auto* prefetcher = static_cast<const CPackPrefetcher*>(self);
    TouchPages(prefetcher->m_Base, prefetcher->m_Size);
    return 0;
}

bool CPackPrefetcher::Start(const u8* base, u32 size)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    if (m_Started || !base)
        return false;
    m_Started = true;
    m_Base = base;
    m_Size = size;
    if (!m_Thread.Start(&CPackPrefetcher::Run, this)) {
        m_Base = nullptr; // paging in ahead is only an optimisation
        return false;
    }
    return true;
}

void CPackPrefetcher::WaitFor(const u8* base)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    if (base && base == m_Base) {
        m_Thread.Join();
        m_Base = nullptr;
    }
}

bool CPackPrefetcher::WasStarted() const
{
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_Started;
}

} // namespace lv::core
