#pragma once
// The scene object carried on the mouse pointer, drawn inside a ring beside it. The game window
// passes its path with every scene click; a click nobody takes drops it.
#include "core/FixedString.h"
#include "core/Point2i.h"
#include "core/Types.h"
#include "core/Vector2.h"

class CClip;

namespace lv::graphics {
class CImageHandle;
class CRenderer;
} // namespace lv::graphics

namespace qe {
class CBinaryReader;
class CBinaryWriter;
class CQuest;
class CSceneObject;
} // namespace qe

namespace game {

class CHudInventory;

class CHudCursorItem
{
public:
    CHudCursorItem();
    CHudCursorItem(const CHudCursorItem&) = delete;
    CHudCursorItem& operator=(const CHudCursorItem&) = delete;

    // The inventory whose key delay grows when an item is dropped (null: none).
    void SetInventory(CHudInventory* inventory) { m_Inventory = inventory; }

    void Take(qe::CSceneObject* source, qe::CSceneObject* shown, bool hideSource);
    void TakeObject(qe::CSceneObject* object, bool hideSource) { Take(object, object, hideSource); }
    void Release();
    bool DropIfHolding(const qe::CSceneObject* object);

    bool IsEmpty() const { return m_Source == nullptr; }
    qe::CSceneObject* GetObject() const { return m_Source; }
    qe::CSceneObject* GetShownObject() const { return m_Shown; }
    CFixedString GetObjectName() const;

    void Update();
    void Draw(lv::graphics::CRenderer& renderer);
    // Where the ring is centred for a pointer at `pointer` (design coordinates).
    CVector2 GetRingCentre(const CVector2& pointer) const;

    s32 GetSaveSize() const { return 2 * 96; }
    void Save(qe::CBinaryWriter& writer);
    bool Load(qe::CBinaryReader& reader, qe::CQuest& quest);

private:
    void Clear();

    qe::CSceneObject* m_Source = nullptr;
    qe::CSceneObject* m_Shown = nullptr;
    CClip* m_Clip = nullptr;
    lv::graphics::CImageHandle* m_Image = nullptr;
    lv::graphics::CImageHandle* m_Ring = nullptr;
    bool m_HideSource = false;
    CPoint2i m_Offset = CPoint2i(70, 70);
    CHudInventory* m_Inventory = nullptr;
};

} // namespace game
