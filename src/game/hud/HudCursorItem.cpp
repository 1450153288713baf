#include "game/hud/HudCursorItem.h"

#include "anim/Clip.h"
#include "core/FloatRect.h"
#include "core/Matrix3.h"
#include "core/MessageBox.h"
#include "game/hud/Hud.h"
#include "game/hud/HudInventory.h"
#include "graphics/ImageHandle.h"
#include "graphics/Renderer.h"
#include "graphics/TextureManager.h"
#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"
#include "qe/ClipObject.h"
#include "qe/ImageObject.h"
#include "qe/Quest.h"
#include "qe/SceneObject.h"
#include "sound/AudioManager.h"

#include <algorithm>

namespace game {

namespace {

// The inventory holds back input for this long after the cursor drops its item.
constexpr s32 kCursorDropDelay = 100;

} // namespace

CHudCursorItem::CHudCursorItem()
{
    m_Ring = lv::graphics::CTextureManager::Instance().GetImage("gui_cursors_pointer_item_ring");
}

void CHudCursorItem::Take(qe::CSceneObject* source, qe::CSceneObject* shown, bool hideSource)
{
    lv::sound::GetAudioManager().Play("gui_take_cursor");
    if (shown && shown->GetType() == qe::CSceneObject::kTypeGroup) {
        qe::CSceneObject* child = shown->FindChild(CFixedString("__cursor"));
        if (!child)
            child = shown->FindChild(CFixedString("__inv"));
        if (!child) {
            lv::core::ShowMessageBoxF("Error", "Group '%s' doesn't contain __inv child.", shown->GetNameCStr());
            return;
        }
        shown = child;
    }
    if (!IsEmpty())
        Release();
    if (hideSource && source)
        source->AddFlags(qe::CSceneObject::kHidden);
    m_HideSource = hideSource;
    m_Shown = shown;
    if (!shown)
        return;
    if (shown->GetType() == qe::CSceneObject::kTypeImage) {
        m_Source = source;
        m_Image = static_cast<qe::CImageObject*>(shown)->GetImage();
    } else if (shown->GetType() == qe::CSceneObject::kTypeClip) {
        m_Source = source;
        m_Clip = &static_cast<qe::CClipObject*>(shown)->GetClip();
    }
}

void CHudCursorItem::Clear()
{
    m_HideSource = false;
    m_Source = nullptr;
    m_Shown = nullptr;
    m_Clip = nullptr;
    m_Image = nullptr;
}

void CHudCursorItem::Release()
{
    if (IsEmpty())
        return;
    if (m_HideSource)
        m_Source->RemoveFlags(qe::CSceneObject::kHidden);
    if (m_Inventory)
        m_Inventory->AddInputDelay(kCursorDropDelay);
    Clear();
}

bool CHudCursorItem::DropIfHolding(const qe::CSceneObject* object)
{
    if (IsEmpty() || !object)
        return false;
    CFixedString held, given;
    m_Source->GetPath(held);
    object->GetPath(given);
    if (!qe::CSceneObject::NamesEqual(held, given))
        return false;
    Clear();
    return true;
}

CFixedString CHudCursorItem::GetObjectName() const
{
    CFixedString path;
    if (m_Source)
        m_Source->GetPath(path);
    return path;
}

void CHudCursorItem::Update()
{
    if (m_Source && m_Clip)
        m_Clip->Update();
}

CVector2 CHudCursorItem::GetRingCentre(const CVector2& pointer) const
{
    return CVector2(pointer.X + static_cast<float>(m_Offset.X), pointer.Y + static_cast<float>(m_Offset.Y));
}

void CHudCursorItem::Draw(lv::graphics::CRenderer& renderer)
{
    if (!m_Source || (!m_Clip && !m_Image))
        return;
    const CVector2 centre = GetRingCentre(CHud::GetPointerPosition());
    const float ringWidth = m_Ring ? m_Ring->GetWidth() : 0.0f;
    const float ringHeight = m_Ring ? m_Ring->GetHeight() : 0.0f;
    if (m_Ring)
        renderer.DrawImage(m_Ring, centre.X - ringWidth / 2, centre.Y - ringHeight / 2, 0, CColor());
    if (m_Clip) {
        const CVector2 size = m_Clip->GetSize();
        const float sx = size.X > 0 ? std::min(1.0f, 0.6f * ringWidth / size.X) : 1.0f;
        const float sy = size.Y > 0 ? std::min(1.0f, 0.6f * ringHeight / size.Y) : 1.0f;
        const CVector2 position = m_Clip->GetPosition();
        CMatrix3 toOrigin, scale, place, a, m;
        CMatrix3::MakeTranslation(toOrigin, -position.X, -position.Y);
        CMatrix3::MakeScale(scale, sx, sy);
        CMatrix3::MakeTranslation(place, centre.X, centre.Y);
        toOrigin.Multiply(a, scale);
        a.Multiply(m, place);
        renderer.PushTransform();
        renderer.MultiplyTransform(m);
        m_Clip->Draw(renderer);
        renderer.PopTransform();
        return;
    }
    const float width = m_Image->GetWidth(), height = m_Image->GetHeight();
    if (width <= 0 || height <= 0)
        return;
    const float s = std::min(std::min(1.0f, 0.7f * ringWidth / width), std::min(1.0f, 0.7f * ringHeight / height));
    renderer.DrawImageRect(m_Image, CFloatRect(centre.X - width * s / 2, centre.Y - height * s / 2, width * s, height * s),
                           0, CColor());
}

void CHudCursorItem::Save(qe::CBinaryWriter& writer)
{
    CFixedString source, shown;
    if (m_Source && m_HideSource) {
        m_Source->GetPath(source);
        if (m_Shown)
            m_Shown->GetPath(shown);
    }
    writer.WriteNameString(source);
    writer.WriteNameString(shown);
}

bool CHudCursorItem::Load(qe::CBinaryReader& reader, qe::CQuest& quest)
{
    const CFixedString source = reader.ReadNameString();
    const CFixedString shown = reader.ReadNameString();
    if (reader.HasError())
        return false;
    if (source.IsEmpty())
        return true;
    qe::CSceneObject* object = quest.FindObjectByPath(source.GetText());
    if (!object)
        return false;
    qe::CSceneObject* picture = shown.IsEmpty() ? nullptr : quest.FindObjectByPath(shown.GetText());
    // Taken with its source hidden and dropped at once: the object shows again in its scene.
    Take(object, picture ? picture : object, true);
    Release();
    return true;
}

} // namespace game
