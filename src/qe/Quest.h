#pragma once
// A running quest. First cut: its name, its own unnamed timer group, whose pause freezes
// every animation of the quest, and the placeholders that failed lookups hand back.
#include "core/FixedString.h"

#include <memory>

namespace lv::core {
class CTimeSystem;
class CTimerGroup;
} // namespace lv::core

namespace qe {

class CPlaceholderSet;
class CScene;

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

    // Makes the five placeholders on the start scene (again, when called twice).
    void CreatePlaceholders(CScene* startScene);
    // Null until they are made.
    CPlaceholderSet* GetPlaceholders() const { return m_Placeholders.get(); }

private:
    CFixedString m_Name;
    lv::core::CTimeSystem* m_TimeSystem = nullptr;
    lv::core::CTimerGroup* m_TimerGroup = nullptr;
    std::unique_ptr<CPlaceholderSet> m_Placeholders;
};

} // namespace qe
