#pragma once
// A running quest. First cut: its name and its own unnamed timer group, whose pause freezes
// every animation of the quest.
#include "core/FixedString.h"

namespace lv::core {
class CTimeSystem;
class CTimerGroup;
} // namespace lv::core

namespace qe {

class CQuest
{
public:
    // The timer group is made under the root group of the given time system (the process-wide
    // one when null).
    explicit CQuest(const char* name = "", lv::core::CTimeSystem* timeSystem = nullptr);
    ~CQuest();
    CQuest(const CQuest&) = delete;
    CQuest& operator=(const CQuest&) = delete;

    const CFixedString& GetName() const { return m_Name; }
    lv::core::CTimerGroup* GetTimerGroup() const { return m_TimerGroup; }

private:
    CFixedString m_Name;
    lv::core::CTimeSystem* m_TimeSystem = nullptr;
    lv::core::CTimerGroup* m_TimerGroup = nullptr;
};

} // namespace qe
