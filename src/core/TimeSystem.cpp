#include "core/TimeSystem.h"

#include "core/Timer.h"
#include "core/TimerGroup.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <new>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define LV_POISON_TIMERS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LV_POISON_TIMERS 1
#endif
#endif
#ifdef LV_POISON_TIMERS
#include <sanitizer/asan_interface.h>
#endif

namespace lv::core {

namespace {

// A kept timer record is poisoned while free, so stale uses still show under AddressSanitizer.
void PoisonRecord([[maybe_unused]] void* record, [[maybe_unused]] bool poison)
{
#ifdef LV_POISON_TIMERS
    if (poison)
        ASAN_POISON_MEMORY_REGION(record, sizeof(CTimer));
    else
        ASAN_UNPOISON_MEMORY_REGION(record, sizeof(CTimer));
#endif
}

std::atomic<u64> g_NextTimerSerial{1};

std::vector<CTimeSystem*>& LiveSystems()
{
    static std::vector<CTimeSystem*> systems;
    return systems;
}

s32 TruncMs(double ms)
{
    const double whole = std::trunc(ms);
    if (!(whole < 2147483647.0))
        return 0x7FFFFFFF;
    if (whole < -2147483648.0)
        return -0x7FFFFFFF - 1;
    return static_cast<s32>(whole);
}

} // namespace

CTimeSystem& CTimeSystem::Instance()
{
    static CTimeSystem* instance = new CTimeSystem();
    return *instance;
}

CTimeSystem::CTimeSystem(CTimeSource::Clock clock) : m_Source(std::move(clock))
{
    LiveSystems().push_back(this);
    m_Source.Start();
    m_Root = CreateTimerGroup("", nullptr);
    m_CurrentTime = TruncMs(GetRawTimeMs());
    m_Offset = 20.0;
}

CTimeSystem::~CTimeSystem()
{
    DestroyGroup(m_Root);
    m_Root = nullptr;
    for (void* record : m_FreeTimers) {
        PoisonRecord(record, false);
        ::operator delete(record);
    }
    auto& systems = LiveSystems();
    systems.erase(std::remove(systems.begin(), systems.end(), this), systems.end());
}

s32 CTimeSystem::GetRootTime() const
{
    return m_Root->GetTime();
}

void CTimeSystem::Tick()
{
    const double raw = GetRawTimeMs();
    const double delta = (raw - m_Offset) - m_CurrentTime;
    m_CurrentTime = TruncMs(raw - m_Offset);
    m_Root->Update(TruncMs(delta));
    m_FrameDelta = m_Root->GetDelta();
}

void CTimeSystem::PauseAll(bool pause)
{
    const bool wasPaused = m_Root->IsPaused();
    m_Root->Pause(pause);
    if (wasPaused && !m_Root->IsPaused()) {
        // Continue from the current time: the next tick's delta covers only the time since now.
        const double raw = GetRawTimeMs();
        m_Offset = raw - m_CurrentTime;
        m_CurrentTime = TruncMs(raw - m_Offset);
    }
}

CTimer* CTimeSystem::CreateTimer(CTimerGroup* group)
{
    CTimerGroup* owner = group ? group : m_Root;
    void* record = nullptr;
    if (m_FreeTimers.empty()) {
        record = ::operator new(sizeof(CTimer));
    } else {
        // The most recently freed record first.
        record = m_FreeTimers.back();
        m_FreeTimers.pop_back();
        PoisonRecord(record, false);
    }
    auto* timer = new (record) CTimer(owner, g_NextTimerSerial.fetch_add(1, std::memory_order_relaxed));
    owner->m_Timers.insert(timer);
    m_Timers.insert(timer);
    return timer;
}

CTimerGroup* CTimeSystem::CreateTimerGroup(const char* name, CTimerGroup* parent)
{
    CTimerGroup* owner = parent ? parent : m_Root;
    auto* group = new CTimerGroup(this, name ? name : "", owner);
    if (owner)
        owner->m_Children.insert(group);
    m_Groups.insert(group);
    if (name && *name)
        m_GroupsByName[name].push_back(group);
    return group;
}

CTimerGroup* CTimeSystem::FindTimerGroup(const char* name) const
{
    if (!name || !*name)
        return nullptr;
    const auto it = m_GroupsByName.find(name);
    return it == m_GroupsByName.end() ? nullptr : it->second.back();
}

void CTimeSystem::DestroyTimer(CTimer* timer)
{
    const auto it = m_Timers.find(timer);
    if (it == m_Timers.end())
        return;
    if (m_Groups.count(timer->m_Group) != 0)
        timer->m_Group->m_Timers.erase(timer);
    m_Timers.erase(it);
    timer->~CTimer();
    m_FreeTimers.push_back(timer);
    PoisonRecord(timer, true);
}

void CTimeSystem::DestroyTimerGroup(CTimerGroup* group)
{
    // Every tick starts at the root; it lives as long as the time system.
    if (group == m_Root)
        return;
    DestroyGroup(group);
}

void CTimeSystem::DestroyGroup(CTimerGroup* group)
{
    if (m_Groups.count(group) == 0)
        return;
    if (m_Groups.count(group->m_Parent) != 0)
        group->m_Parent->m_Children.erase(group);
    const std::set<CTimer*> timers = std::move(group->m_Timers);
    group->m_Timers.clear();
    for (CTimer* timer : timers)
        DestroyTimer(timer);
    const std::set<CTimerGroup*> children = std::move(group->m_Children);
    group->m_Children.clear();
    for (CTimerGroup* child : children)
        DestroyGroup(child);
    for (auto it = m_GroupsByName.begin(); it != m_GroupsByName.end(); ++it) {
        std::vector<CTimerGroup*>& named = it->second;
        const auto found = std::find(named.begin(), named.end(), group);
        if (found != named.end()) {
            named.erase(found);
            if (named.empty())
                m_GroupsByName.erase(it);
            break;
        }
    }
    m_Groups.erase(group);
    delete group;
}

bool CTimeSystem::HoldsTimer(const CTimer* timer) const
{
    return m_Timers.count(const_cast<CTimer*>(timer)) != 0;
}

bool CTimeSystem::HoldsTimerGroup(const CTimerGroup* group) const
{
    return m_Groups.count(const_cast<CTimerGroup*>(group)) != 0;
}

CTimeSystem* CTimeSystem::FindOwner(const CTimer* timer, u64 serial)
{
    CTimeSystem* owner = FindOwner(timer);
    return owner && timer->GetSerial() == serial ? owner : nullptr;
}

CTimeSystem* CTimeSystem::FindOwner(const CTimer* timer)
{
    if (timer == nullptr)
        return nullptr;
    for (CTimeSystem* system : LiveSystems())
        if (system->HoldsTimer(timer))
            return system;
    return nullptr;
}

} // namespace lv::core
