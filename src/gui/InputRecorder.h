#pragma once
// Records input events with their time into the file format the replayer plays. Nothing in the
// game starts a recording; the hooks are there for tools and tests.
#include "core/InputRecord.h"
#include "core/Point2i.h"
#include "core/Types.h"

#include <vector>

namespace lv::graphics {
class CRenderer;
}

namespace Loki {
template <class T> struct CreateUsingNew;
}

namespace lv::gui {

class CInputRecorder
{
public:
    using CClock = float (*)();

    // Created on first use, destroyed at exit; a use after that throws.
    static CInputRecorder& Instance();

    // The clock of the record times: the root timer group's time unless another is set (tests).
    void SetClock(CClock clock) { m_Clock = clock; }

    // Starts a new recording (earlier records are dropped).
    void Start();
    void Stop() { m_Recording = false; }
    bool IsRecording() const { return m_Recording; }
    const std::vector<lv::core::CInputRecord>& GetRecords() const { return m_Records; }

    // One hook per event; each appends a record only while recording. Points are in design
    // coordinates and are cut to 16 bits.
    void OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags);
    void OnMouseUp(const CPoint2i& point, s32 button, s32 keyFlags);
    void OnMouseMove(const CPoint2i& point, s32 keyFlags);
    void OnDoubleClick(const CPoint2i& point, s32 keyFlags);
    void OnMouseWheel(const CPoint2i& point, s32 notches, s32 keyFlags);
    void OnKeyDown(s32 key, s32 keyFlags, u32 keyData);
    void OnKeyUp(s32 key, s32 keyFlags, u32 keyData);
    void OnChar(s32 character, s32 keyFlags, u32 keyData);

    // Writes the recording; false only when the file cannot be opened.
    bool Save(const WChar* path) const;
    // The recording indicator, while recording.
    void DrawIndicator(lv::graphics::CRenderer& renderer);

private:
    friend struct Loki::CreateUsingNew<CInputRecorder>;
    CInputRecorder() = default;

    u32 Now() const;
    void Add(const lv::core::CInputRecord& record);

    bool m_Recording = false;
    u32 m_Start = 0;
    std::vector<lv::core::CInputRecord> m_Records;
    CClock m_Clock = nullptr;
};

} // namespace lv::gui
