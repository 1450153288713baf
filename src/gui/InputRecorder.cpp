#include "gui/InputRecorder.h"

#include <loki/Singleton.h>

#include "core/FileUtils.h"
#include "core/Quad.h"
#include "core/TimeSystem.h"
#include "graphics/Renderer.h"

#include <cstdio>
#include <string>

namespace lv::gui {

using lv::core::CInputRecord;

CInputRecorder& CInputRecorder::Instance()
{
    return Loki::SingletonHolder<CInputRecorder, Loki::CreateUsingNew, Loki::DefaultLifetime>::Instance();
}

u32 CInputRecorder::Now() const
{
    const float t = m_Clock ? m_Clock() : static_cast<float>(lv::core::CTimeSystem::Instance().GetRootTime());
    return t > 0 ? static_cast<u32>(t) : 0;
}

void CInputRecorder::Start()
{
    m_Recording = true;
    m_Start = Now();
    m_Records.clear();
}

void CInputRecorder::Add(const CInputRecord& record)
{
    if (m_Recording)
        m_Records.push_back(record);
}

void CInputRecorder::OnMouseDown(const CPoint2i& point, s32 button, s32 keyFlags)
{
    Add(CInputRecord::Pointer(Now() - m_Start, CInputRecord::ButtonDown, static_cast<u16>(button), keyFlags,
                              point.X, point.Y));
}

void CInputRecorder::OnMouseUp(const CPoint2i& point, s32 button, s32 keyFlags)
{
    Add(CInputRecord::Pointer(Now() - m_Start, CInputRecord::ButtonUp, static_cast<u16>(button), keyFlags,
                              point.X, point.Y));
}

void CInputRecorder::OnMouseMove(const CPoint2i& point, s32 keyFlags)
{
    Add(CInputRecord::Pointer(Now() - m_Start, CInputRecord::Move, 0, keyFlags, point.X, point.Y));
}

void CInputRecorder::OnDoubleClick(const CPoint2i& point, s32 keyFlags)
{
    Add(CInputRecord::Pointer(Now() - m_Start, CInputRecord::DoubleClick, 0, keyFlags, point.X, point.Y));
}

void CInputRecorder::OnMouseWheel(const CPoint2i& point, s32 notches, s32 keyFlags)
{
    Add(CInputRecord::Pointer(Now() - m_Start, CInputRecord::Wheel, static_cast<u16>(notches), keyFlags,
                              point.X, point.Y));
}

void CInputRecorder::OnKeyDown(s32 key, s32 keyFlags, u32 keyData)
{
    Add(CInputRecord::Key(Now() - m_Start, CInputRecord::KeyDown, static_cast<u16>(key), keyFlags, keyData));
}

void CInputRecorder::OnKeyUp(s32 key, s32 keyFlags, u32 keyData)
{
    Add(CInputRecord::Key(Now() - m_Start, CInputRecord::KeyUp, static_cast<u16>(key), keyFlags, keyData));
}

void CInputRecorder::OnChar(s32 character, s32 keyFlags, u32 keyData)
{
    Add(CInputRecord::Key(Now() - m_Start, CInputRecord::Char, static_cast<u16>(character), keyFlags,
                          keyData));
}

bool CInputRecorder::Save(const WChar* path) const
{
    FILE* file = path ? lv::core::FileOpenW(path, u"wb") : nullptr;
    if (!file)
        return false;
    const std::string image = lv::core::WriteInputRecording(m_Records);
    std::fwrite(image.data(), 1, image.size(), file);
    std::fclose(file);
    return true;
}

void CInputRecorder::DrawIndicator(lv::graphics::CRenderer& renderer)
{
    // A red square in the top-left corner.
    if (m_Recording)
        renderer.FillQuad(CQuad(0, 0, 50, 50), CColor(0xFFFF0000u));
}

} // namespace lv::gui
