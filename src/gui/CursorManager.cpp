#include "gui/CursorManager.h"

#include "core/SystemIntegration.h"
#include "graphics/ImageHandle.h"
#include "graphics/Renderer.h"

#include <algorithm>

namespace lv::gui {

CCursorManager& CCursorManager::Instance()
{
    // Never destroyed: widgets may still ask for cursors while the process ends.
    static CCursorManager* instance = [] {
        auto* manager = new CCursorManager();
        manager->AddStandardCursors();
        manager->LoadResources();
        return manager;
    }();
    return *instance;
}

CCursorManager::CCursorManager() = default;

void CCursorManager::AddStandardCursors()
{
    const struct
    {
        s32 id;
        const char* image;
        u32 system;
    } standard[] = {{kPointer, "gui_cursors_pointer", IDC_ARROW},
                    {kHand, "gui_cursors_hand", IDC_HAND},
                    {kText, "gui_cursors_text", IDC_IBEAM},
                    {kHourglass, "gui_cursors_hourglass", IDC_WAIT}};
    CCustomCursor cursor;
    for (const auto& s : standard) {
        cursor.Id = s.id;
        cursor.PointerImage = CFixedString(s.image);
        cursor.SystemCursor.CursorId = s.system;
        m_Cursors.Add(cursor);
    }
}

void CCursorManager::LoadResources()
{
    if (m_Cursors.IsEmpty())
        AddStandardCursors();
    for (s32 i = 0; i < m_Cursors.GetCount(); ++i)
        if (!m_Cursors.Get(i).Loaded)
            m_Cursors.Get(i).Load();
    m_Initialised = 1;
}

void CCursorManager::SetCursor(s32 id)
{
    if (!m_Initialised)
        LoadResources();
    m_CurrentId = id;
}

void CCursorManager::SetHidden(bool hidden)
{
    m_Hidden = hidden ? 1 : 0;
}

void CCursorManager::SetCustomCursors(bool custom)
{
    m_CustomMode = custom ? 1 : 0;
    if (!m_Initialised)
        LoadResources();
    SetCursor(m_CurrentId);
}

void CCursorManager::AddCursors(const CCustomCursorList& cursors)
{
    if (m_Cursors.IsEmpty())
        AddStandardCursors();
    for (s32 i = 0; i < cursors.GetCount(); ++i)
        m_Cursors.Add(cursors.Get(i));
    LoadResources();
}

void CCursorManager::SetMousePosition(const CPoint2i& designPoint)
{
    if (!m_Hidden && m_CurrentId != kHourglass)
        m_CurrentId = kPointer;
    m_MousePosition = designPoint;
}

const CCustomCursor* CCursorManager::FindCursor(s32 id) const
{
    for (s32 i = 0; i < m_Cursors.GetCount(); ++i)
        if (m_Cursors.Get(i).Id == id)
            return &m_Cursors.Get(i);
    return nullptr;
}

void CCursorManager::Update()
{
    const CCustomCursor* cursor = FindCursor(m_CurrentId);
    if (!cursor)
        return;
    lv::core::CSystemIntegration* platform = lv::core::CSystemIntegration::Current();
    if (m_CustomMode) {
        if (!m_ApplicationActive)
            return;
        if (platform)
            platform->ShowSystemCursor(false);
        m_SoftwareCursor = &cursor->PointerSprite;
        return;
    }
    if (platform) {
        if (m_Hidden)
            platform->ShowSystemCursor(false);
        else
            platform->SetCursorInfo(cursor->SystemCursor, true);
    }
    m_Icon = &cursor->IconSprite;
}

void CCursorManager::Draw(lv::graphics::CRenderer& renderer)
{
    if (m_CustomMode) {
        const lv::graphics::CImageHandle* image = m_SoftwareCursor ? m_SoftwareCursor->GetImage() : nullptr;
        lv::core::CSystemIntegration* platform = lv::core::CSystemIntegration::Current();
        if (!image || m_Hidden || !platform)
            return;
        // The system cursor's own position: the stored one lags behind between moves.
        CPoint2i point;
        platform->GetCursorPos(point);
        platform->ScreenToClient(point);
        const CFloatRect view = renderer.GetViewportRect();
        const CVector2 scale = *renderer.GetAspectScale();
        if (scale.X == 0 || scale.Y == 0)
            return;
        const float x = static_cast<float>(point.X), y = static_cast<float>(point.Y);
        if (!renderer.IsFullscreen() &&
            (x < view.X || x > view.X + view.Width || y < view.Y || y > view.Y + view.Height))
            return;
        const s32 cx =
            static_cast<s32>(std::clamp(x, view.X, view.X + view.Width)) - static_cast<s32>(view.X);
        const s32 cy =
            static_cast<s32>(std::clamp(y, view.Y, view.Y + view.Height)) - static_cast<s32>(view.Y);
        const float dx = static_cast<float>(static_cast<s32>(static_cast<float>(cx) / scale.X));
        const float dy = static_cast<float>(static_cast<s32>(static_cast<float>(cy) / scale.Y));
        m_SoftwareCursor->DrawInRect(renderer, CFloatRect(dx, dy, image->GetWidth(), image->GetHeight()));
        return;
    }
    const lv::graphics::CImageHandle* icon = m_Icon ? m_Icon->GetImage() : nullptr;
    if (!icon)
        return;
    m_Icon->DrawInRect(renderer, CFloatRect(static_cast<float>(m_MousePosition.X + 9),
                                            static_cast<float>(m_MousePosition.Y + 9), icon->GetWidth(),
                                            icon->GetHeight()));
}

} // namespace lv::gui
