#pragma once
// A re-entrant lock: the owning thread may enter it again and leaves it as often as it entered.
#include <mutex>

namespace lv::mt {

class CCriticalSection
{
public:
    CCriticalSection() = default;
    ~CCriticalSection() { m_Valid = false; }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    // Each returns false, doing nothing, when the section is not valid; TryEnter also when
    // another thread holds it.
    bool Enter();
    bool TryEnter();
    bool Leave();
    bool IsValid() const { return m_Valid; }

private:
    std::recursive_mutex m_Mutex;
    bool m_Valid = true;
};

} // namespace lv::mt
