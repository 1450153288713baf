#pragma once
// A running quest. First cut: its name.
#include "core/FixedString.h"

namespace qe {

class CQuest
{
public:
    explicit CQuest(const char* name = "") : m_Name(name) {}

    const CFixedString& GetName() const { return m_Name; }

private:
    CFixedString m_Name;
};

} // namespace qe
