#include "gui/InputReplayer.h"

#include <loki/Singleton.h>

#include "core/FileUtils.h"
#include "core/MessageBox.h"
#include "core/Quad.h"
#include "core/SystemIntegration.h"
#include "core/TimeSystem.h"
#include "graphics/Renderer.h"
#include "gui/InputDispatcher.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace lv::gui {

namespace {

// "Error" / "Cannot load the data file! The file is damaged or was saved by another version of
// the engine": the text every loader of the framework's binary files shows.
const char kCorruptedCaption[] = "Ошибка";
const char kCorruptedText[] =
    "Невозможно загрузить файл с данными!\n Файл испорчен либо сохранен другой версией движка";

} // namespace

float CInputReplayer::Now() const
{
    return m_Clock ? m_Clock() : static_cast<float>(lv::core::CTimeSystem::Instance().GetRootTime());
}

CInputReplayer& CInputReplayer::Instance()
{
    return Loki::SingletonHolder<CInputReplayer, Loki::CreateUsingNew, Loki::DefaultLifetime>::Instance();
}

bool CInputReplayer::Load(const WChar* path)
{
    FILE* file = path ? lv::core::FileOpenW(path, u"rb") : nullptr;
    if (!file)
        return false;
    std::string bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        bytes.append(buffer, n);
    std::fclose(file);

    const auto status =
        lv::core::ParseInputRecording(reinterpret_cast<const u8*>(bytes.data()), bytes.size(), m_Records);
    if (status != lv::core::EInputRecordingStatus::Ok) {
        lv::core::ShowMessageBox(kCorruptedCaption, kCorruptedText);
        return false;
    }
    return true;
}

void CInputReplayer::Start()
{
    m_Playing = true;
    m_Start = Now();
    m_Next = 0;
}

void CInputReplayer::Step(CInputDispatcher& dispatcher)
{
    if (!m_Playing)
        return;
    const float elapsed = Now() - m_Start;
    while (m_Playing && m_Next < m_Records.size() && static_cast<float>(m_Records[m_Next].Time) < elapsed) {
        // A copy: a handler may load another recording.
        const lv::core::CInputRecord record = m_Records[m_Next++];
        Dispatch(dispatcher, record);
    }
    if (m_Next >= m_Records.size())
        m_Playing = false;
}

void CInputReplayer::Dispatch(CInputDispatcher& dispatcher, const lv::core::CInputRecord& record)
{
    using lv::core::CInputRecord;
    const CPoint2i point(record.GetX(), record.GetY());
    const s32 flags = record.Flags;
    const s32 param = record.Param;
    const s32 value = static_cast<s32>(record.Data);
    switch (record.Type) {
    case CInputRecord::ButtonDown:
        dispatcher.DispatchMouseDown(point, param, flags, 0);
        break;
    case CInputRecord::ButtonUp:
        dispatcher.DispatchMouseUp(point, param, flags, 0);
        break;
    case CInputRecord::Move: {
        dispatcher.DispatchMouseMove(point, flags, 0);
        // The system cursor follows: design point to client pixels, then to the screen.
        if (lv::core::CSystemIntegration* platform = lv::core::CSystemIntegration::Current()) {
            const CVector2& k = dispatcher.GetScale();
            const CFloatRect& area = dispatcher.GetScreenArea();
            CPoint2i screen(static_cast<s32>(std::trunc(point.X * k.X)) + static_cast<s32>(area.X),
                            static_cast<s32>(std::trunc(point.Y * k.Y)) + static_cast<s32>(area.Y));
            platform->ClientToScreen(screen);
            platform->SetCursorPos(screen);
        }
        break;
    }
    case CInputRecord::DoubleClick:
        dispatcher.DispatchDoubleClick(point, flags);
        break;
    // The notch count is signed: a turn towards the user is negative.
    case CInputRecord::Wheel:
        dispatcher.DispatchMouseWheel(point, static_cast<s16>(record.Param), flags);
        break;
    case CInputRecord::KeyDown:
        dispatcher.DispatchKeyDown(param, flags, value);
        break;
    case CInputRecord::KeyUp:
        dispatcher.DispatchKeyUp(param, flags, value);
        break;
    case CInputRecord::Char:
        dispatcher.DispatchChar(param, flags, value);
        break;
    default:
        break; // unknown types are skipped
    }
}

void CInputReplayer::DrawIndicator(lv::graphics::CRenderer& renderer)
{
    if (!m_Playing)
        return;
    // A green play triangle in the top-left corner.
    CQuad triangle;
    triangle.Corners[0] = CVector2(0, 0);
    triangle.Corners[1] = CVector2(40, 25);
    triangle.Corners[2] = CVector2(40, 25);
    triangle.Corners[3] = CVector2(0, 50);
    renderer.FillQuad(triangle, CColor(0xFF00FF00u));
}

} // namespace lv::gui
