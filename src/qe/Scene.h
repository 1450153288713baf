#pragma once
// A scene of a quest. First cut: its name and its quest, what objects ask of it.
#include "core/FixedString.h"

namespace qe {

class CQuest;

class CScene
{
public:
    CScene(CQuest* quest, const char* name) : m_Quest(quest), m_Name(name) {}

    const CFixedString& GetName() const { return m_Name; }
    CQuest* GetQuest() const { return m_Quest; }

private:
    CQuest* m_Quest = nullptr;
    CFixedString m_Name;
};

} // namespace qe
