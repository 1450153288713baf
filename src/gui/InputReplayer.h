#pragma once
// Plays a recording of timed input events (the file "replay" on the developer's hot key)
// through the input dispatcher as if the user produced them; the system cursor follows the
// recorded pointer. While it plays, the dispatcher ignores live window messages. Playback time
// is the root timer group's, so it stands still while the game is paused.
#include "core/InputRecord.h"
#include "core/Types.h"

#include <vector>

namespace lv::graphics {
class CRenderer;
}

namespace Loki {
template <class T> struct CreateUsingNew;
}

namespace lv::gui {

class CInputDispatcher;

class CInputReplayer
{
public:
    // Milliseconds on the clock that playback follows.
    using CClock = float (*)();

    // Created on first use, destroyed at exit; a use after that throws.
    static CInputReplayer& Instance();

    // The clock of Start and Step: the root timer group's time unless another is set (tests).
    void SetClock(CClock clock) { m_Clock = clock; }

    // False, keeping the previous records, when the file cannot be opened. A file with another
    // record size, or shorter than its count announces, is reported as corrupted and leaves no
    // records.
    bool Load(const WChar* path);
    void Start();
    void Stop() { m_Playing = false; }
    bool IsPlaying() const { return m_Playing; }
    size_t GetRecordCount() const { return m_Records.size(); }

    // Once per frame, before the dispatcher's own update: dispatches every record whose time has
    // passed, in file order; playback ends after the last one.
    void Step(CInputDispatcher& dispatcher);
    // The play indicator, while playing.
    void DrawIndicator(lv::graphics::CRenderer& renderer);

private:
    friend struct Loki::CreateUsingNew<CInputReplayer>;
    CInputReplayer() = default;

    float Now() const;
    void Dispatch(CInputDispatcher& dispatcher, const lv::core::CInputRecord& record);

    bool m_Playing = false;
    std::vector<lv::core::CInputRecord> m_Records;
    u32 m_Next = 0;
    float m_Start = 0;
    CClock m_Clock = nullptr;
};

} // namespace lv::gui
