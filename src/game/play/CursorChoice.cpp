#include "game/play/CursorChoice.h"

#include "game/play/MinigameManager.h"
#include "gui/CursorManager.h"
#include "gui/CustomCursorList.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"
#include "qe/SceneView.h"

#include <cstring>

namespace game {

namespace {

constexpr s32 kChoicePointer = lv::gui::CCursorManager::kPointer;
constexpr s32 kChoiceHand = lv::gui::CCursorManager::kHand;
constexpr s32 kChoiceBusy = lv::gui::CCursorManager::kHourglass;
constexpr s32 kChoiceBusyFreeMode = 1;

struct SGameCursorRow
{
    s32 Id;
    const char* Pointer;
    const char* Icon;
};

constexpr SGameCursorRow kGameCursorRows[] = {
    {CCursorChoice::kCursorItem, "gui_cursors_pointer_item", "gui_cursors_icon_gear"},
    {CCursorChoice::kCursorGear, "gui_cursors_pointer_gear", "gui_cursors_icon_gear_anim"},
    {CCursorChoice::kCursorMagnifier, "gui_cursors_magnifier", "gui_cursors_icon_magnifier"},
    {CCursorChoice::kCursorPuzzle, "gui_cursors_magnifier_puzzle", "gui_cursors_icon_puzzle"},
    {CCursorChoice::kCursorArrow, "gui_cursors_arrow", "gui_cursors_arrow"},
    {CCursorChoice::kCursorEmpty, "gui_cursors_empty", "gui_cursors_icon_empty"},
};

} // namespace

CCursorChoice::CCursorChoice()
{
    RegisterGameCursors();
}

void CCursorChoice::RegisterGameCursors()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    lv::gui::CCustomCursorList list;
    for (const SGameCursorRow& row : kGameCursorRows)
    {
        lv::gui::CCustomCursor cursor;
        cursor.Id = row.Id;
        cursor.PointerImage = CFixedString(row.Pointer);
        cursor.IconImage = CFixedString(row.Icon);
        list.Add(cursor);
    }
    lv::gui::CCursorManager::Instance().AddCursors(list);
}

void CCursorChoice::ChooseForView(qe::CSceneView* view)
{
    lv::gui::CCursorManager& cursors = lv::gui::CCursorManager::Instance();
    if (m_Mode == kChoiceBusyFreeMode)
    {
        cursors.SetCursor(kChoicePointer);
        return;
    }
    qe::CScene* scene = view ? view->GetScene() : nullptr;
    if (scene == nullptr)
        return;
    qe::CSceneObject* object = nullptr;
    const s32 result = scene->GetPointerResult(&object);
    if (object)
    {
        const char* name = object->GetNameCStr();
        if (std::strstr(name, "_nocursor"))
        {
            cursors.SetCursor(kChoicePointer);
            return;
        }
        if (std::strstr(name, "_minigame"))
        {
            cursors.SetCursor(kCursorPuzzle);
            return;
        }
    }
    switch (result)
    {
    case 0:
        cursors.SetCursor(kChoicePointer);
        break;
    case 1:
        cursors.SetCursor(kCursorItem);
        break;
    case 2:
        cursors.SetCursor(kCursorGear);
        break;
    case 3:
        cursors.SetCursor(kChoiceHand);
        break;
    case 4:
        // Only the exact name: a longer one beginning with it is an ordinary door.
        cursors.SetCursor(object && std::strcmp(object->GetNameCStr(), "area_back") == 0 ? kCursorArrow
                                                                                         : kCursorMagnifier);
        break;
    case 5:
    {
        const qe::CScene* target = scene->GetPointerTargetScene();
        cursors.SetCursor(m_Host && target && m_Host->HasActiveMinigameInScene(target) ? kCursorPuzzle
                                                                                      : kCursorMagnifier);
        break;
    }
    default:
        break;
    }
}

void CCursorChoice::ShowBusy()
{
    lv::gui::CCursorManager::Instance().SetCursor(m_Mode == kChoiceBusyFreeMode ? kChoicePointer : kChoiceBusy);
}

} // namespace game
