#pragma once
// The one clock of the game: a millisecond time taken once per frame, and a tree of timer groups
// under one root that carry the timers of everything animated. Pausing the root (PauseAll)
// freezes all game time; when it runs again the clock's offset moves so that the paused stretch
// is skipped. Main thread only.
#include "core/FixedString.h"
#include "core/TimeSource.h"
#include "core/Types.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace lv::core {

class CTimer;
class CTimerGroup;

class CTimeSystem
{
public:
    // The process-wide time system on the monotonic clock, created on first use and never
    // destroyed.
    static CTimeSystem& Instance();

    // A time system of its own on the given clock (the monotonic clock when empty); tests drive
    // one with a clock they set by hand. Destroying it destroys all its groups and timers.
    explicit CTimeSystem(CTimeSource::Clock clock = {});
    ~CTimeSystem();
    CTimeSystem(const CTimeSystem&) = delete;
    CTimeSystem& operator=(const CTimeSystem&) = delete;

    // The frame time in ms as taken at the last tick.
    s32 GetTime() const { return m_CurrentTime; }
    // The root group's delta of the last tick.
    s32 GetFrameDelta() const { return m_FrameDelta; }
    // Milliseconds since the clock started, read now.
    float GetRawTime() const { return static_cast<float>(GetRawTimeMs()); }
    double GetRawTimeMs() const { return m_Source.GetElapsedMs(); }
    // The root group's accumulated time, paused stretches excluded.
    s32 GetRootTime() const;
    CTimerGroup* GetRootGroup() const { return m_Root; }

    // Once per updated frame: takes the time and advances the whole tree.
    void Tick();
    // Counted pause of the root group.
    void PauseAll(bool pause);

    // A new timer in the group (the root group when null).
    CTimer* CreateTimer(CTimerGroup* group);
    // A new group under the parent (the root group when null). A group with a name can be found
    // by it; of several with one name, the newest.
    CTimerGroup* CreateTimerGroup(const char* name, CTimerGroup* parent);
    CTimerGroup* FindTimerGroup(const char* name) const;

    // Both do nothing for a timer or group this system does not hold (destroyed already, or
    // never made here). A group takes its timers and groups with it. The root group stays.
    void DestroyTimer(CTimer* timer);
    void DestroyTimerGroup(CTimerGroup* group);

    bool HoldsTimer(const CTimer* timer) const;
    size_t GetTimerCount() const { return m_Timers.size(); }
    bool HoldsTimerGroup(const CTimerGroup* group) const;

    // The live time system that holds the timer, or null. Only looks the pointer up, so a timer
    // that went with its group is safely recognised as gone.
    static CTimeSystem* FindOwner(const CTimer* timer);
    // The same for the timer with that serial: null when the record now holds another timer.
    static CTimeSystem* FindOwner(const CTimer* timer, u64 serial);

private:
    void DestroyGroup(CTimerGroup* group);

    // Timer records are kept for reuse: objects that come and go every frame need no heap.
    std::vector<void*> m_FreeTimers;
    std::set<CTimer*> m_Timers;
    std::set<CTimerGroup*> m_Groups;
    // The groups of each name, oldest first: when the newest goes, the one before is found again.
    std::map<std::string, std::vector<CTimerGroup*>> m_GroupsByName;
    CTimeSource m_Source;
    CTimerGroup* m_Root = nullptr;
    s32 m_CurrentTime = 0;
    // Raw time minus offset is the frame time. Kept in double, like all raw time here: a float
    // loses whole milliseconds after about 4.7 hours.
    double m_Offset = 20.0;
    s32 m_FrameDelta = 0;
};

} // namespace lv::core
