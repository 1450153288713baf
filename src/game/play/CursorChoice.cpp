#include "game/play/CursorChoice.h"

#include "gui/CursorManager.h"
#include "qe/SceneView.h"

namespace game {

namespace {
constexpr s32 kCursorPointer = 100;
constexpr s32 kCursorBusy = 103;
} // namespace

void CCursorChoice::ChooseForView(qe::CSceneView* view)
{
    if (m_Mode == 1)
    {
        lv::gui::CCursorManager::Instance().SetCursor(kCursorPointer);
        return;
    }
    if (view == nullptr || view->GetScene() == nullptr)
        return;
    lv::gui::CCursorManager::Instance().SetCursor(kCursorPointer);
}

void CCursorChoice::ShowBusy()
{
    lv::gui::CCursorManager::Instance().SetCursor(m_Mode == 1 ? kCursorPointer : kCursorBusy);
}

} // namespace game
