#include "core/TimeSystem.h"

#include "core/Timer.h"
#include "core/TimerGroup.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace lv::core {

namespace {

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
    auto* timer = new CTimer(owner);
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
        m_GroupsByName[name] = group;
    return group;
}

CTimerGroup* CTimeSystem::FindTimerGroup(const char* name) const
{
    if (!name || !*name)
        return nullptr;
    const auto it = m_GroupsByName.find(name);
    return it == m_GroupsByName.end() ? nullptr : it->second;
}

void CTimeSystem::DestroyTimer(CTimer* timer)
{
    const auto it = m_Timers.find(timer);
    if (it == m_Timers.end())
        return;
    if (m_Groups.count(timer->m_Group) != 0)
        timer->m_Group->m_Timers.erase(timer);
    m_Timers.erase(it);
    delete timer;
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
        if (it->second == group) {
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
