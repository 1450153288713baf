#include "game/hud/HudInventory.h"

#include "anim/Clip.h"
#include "core/FloatRect.h"
#include "core/Matrix3.h"
#include "core/MessageBox.h"
#include "core/Quad.h"
#include "core/StringTable.h"
#include "core/TimeSystem.h"
#include "game/hud/Hud.h"
#include "game/hud/HudCursorItem.h"
#include "graphics/FontManager.h"
#include "graphics/ImageHandle.h"
#include "graphics/Renderer.h"
#include "graphics/TextureManager.h"
#include "gui/CursorManager.h"
#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"
#include "qe/ClipObject.h"
#include "qe/ImageObject.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"
#include "qe/SceneView.h"
#include "sound/AudioManager.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace game {

namespace {

constexpr s32 kSlideTime = 300;
constexpr s32 kCloseDelay = 200;
constexpr float kFlightSpeed = 700.0f;
constexpr s32 kInventoryHandCursor = 101;
constexpr s32 kSearchSlotsSaved = 0;

bool IsCompositePart(const CFixedString& name)
{
    return name == CFixedString("Part_1") || name == CFixedString("Part_2") || name == CFixedString("Part_3") ||
           name == CFixedString("Part_4");
}

} // namespace

CHudInventory::CHudInventory() : m_MainClip(std::make_unique<CClip>()), m_BackClip(std::make_unique<CClip>())
{
    const CPoint2i screen = CHud::GetScreenSize();
    m_BasePosition = CVector2(static_cast<float>(screen.X), static_cast<float>(screen.Y - 75));
    char name[40];
    std::snprintf(name, sizeof(name), "game_inventory_%d", GetLookNumber());
    m_MainClip->Load(name, true);
    m_BackClip->Load("game_inventory_back", true);
    if (GetMainClipHeight() > 0)
        m_PanelHeight = GetMainClipHeight();
    m_Marker = lv::graphics::CTextureManager::Instance().GetImage("gui_park_inventory_inventory_interact");
    m_Font = lv::core::CFontManager::Instance()->FindFont("font_16");
}

CHudInventory::~CHudInventory() = default;

s32 CHudInventory::GetLookNumber() const
{
    return CHud::GetStyleVariant(1) + 1;
}

float CHudInventory::GetMainClipHeight() const
{
    return m_MainClip->GetRectSize().Y;
}

void CHudInventory::Attach(CHud* hud, CHudCursorItem* cursorItem, CSceneStack* sceneStack)
{
    m_Hud = hud;
    m_CursorItem = cursorItem;
    m_SceneStack = sceneStack;
    ApplyLook();
}

void CHudInventory::ApplyLook()
{
    // The looks of the searches join with them; every mode shows the normal strip meanwhile.
}

void CHudInventory::MoveClips(const CVector2& position, float time)
{
    m_MainClip->SetPosition(position);
    m_BackClip->SetPosition(position);
    if (time >= 0) {
        m_MainClip->SetTime(static_cast<s32>(time));
        m_BackClip->SetTime(static_cast<s32>(time));
    }
}

void CHudInventory::Layout()
{
    m_Hover = false;
    const CPoint2i screen = CHud::GetScreenSize();
    m_BasePosition =
        CVector2(static_cast<float>(screen.X) / 2, static_cast<float>(screen.Y) - GetMainClipHeight() / 2);
    MoveClips(CVector2(m_BasePosition.X, m_BasePosition.Y + m_PanelHeight - kStripHeight), -1);
    ApplyLook();
}

void CHudInventory::ReloadSkin()
{
    char name[40];
    std::snprintf(name, sizeof(name), "game_inventory_%d", GetLookNumber());
    const CVector2 position = m_MainClip->GetPosition();
    m_MainClip->Load(name, true);
    m_MainClip->SetPosition(position);
    m_BackClip->Load("game_inventory_back", true);
    m_BackClip->SetPosition(m_BasePosition);
    ApplyLook();
}

void CHudInventory::ResetForLevel()
{
    m_State = kClosed;
    m_ItemCount = 0;
    for (CCell& cell : m_Cells)
        cell = CCell();
    for (CFlight& flight : m_Flights)
        flight = CFlight();
    m_Disabled = false;
    m_Pinned = false;
    m_Hover = false;
    m_KeepVisible = false;
    m_KeepVisibleIndex = -1;
    m_Mode = kModeNormal;
    m_SelectedKey = -1;
    m_SelectedInteractive = -1;
}

CVector2 CHudInventory::GetOrigin() const
{
    return m_MainClip->GetPosition();
}

bool CHudInventory::HitTestPanel(const CVector2& point) const
{
    const CVector2 origin = GetOrigin();
    const float clipHeight = GetMainClipHeight();
    CFloatRect rect;
    if (m_State == kOpen)
        rect = CFloatRect(origin.X - 300, m_BasePosition.Y - clipHeight / 2, 600, m_PanelHeight);
    else if (m_State == kClosed)
        rect = CFloatRect(origin.X - 300, m_BasePosition.Y + clipHeight / 2 - 30, 600, kStripHeight);
    else
        return false;
    return point.X >= rect.X && point.X < rect.X + rect.Width && point.Y >= rect.Y && point.Y < rect.Y + rect.Height;
}

void CHudInventory::Open(bool pinned)
{
    if (m_State != kOpen) {
        lv::sound::GetAudioManager().Play("gui_inv_show_hide");
        m_State = kOpening;
        m_SlideStart = CVector2(m_BasePosition.X, m_BasePosition.Y + m_PanelHeight - kStripHeight);
        m_SlideStartY = m_SlideStart.Y;
        m_SlideEndY = m_BasePosition.Y;
        m_SlideStartTime = CHud::GetClock().GetTime();
    }
    m_Pinned = pinned;
}

void CHudInventory::Close()
{
    if (m_Mode == kModeInteractive)
        m_Mode = kModeNormal;
    m_Pinned = false;
    if (m_State == kClosed)
        return;
    lv::sound::GetAudioManager().Play("gui_inv_show_hide");
    m_State = kClosing;
    m_SlideStart = m_BasePosition;
    m_SlideStartY = m_BasePosition.Y;
    m_SlideEndY = m_BasePosition.Y + m_PanelHeight - kStripHeight;
    m_SlideStartTime = CHud::GetClock().GetTime();
}

void CHudInventory::Update()
{
    if (m_State == kUnavailable)
        return;
    lv::core::CTimeSystem& clock = CHud::GetClock();
    const s32 delta = clock.GetFrameDelta();

    if (m_State == kClosing || m_State == kOpening) {
        const float t = static_cast<float>(clock.GetTime() - m_SlideStartTime) / kSlideTime;
        if (t < 1) {
            MoveClips(CVector2(m_BasePosition.X, m_SlideStartY + (m_SlideEndY - m_SlideStartY) * t), t * 1000);
        } else if (m_State == kClosing) {
            MoveClips(CVector2(m_BasePosition.X, m_BasePosition.Y + m_PanelHeight - kStripHeight), 1000);
            m_State = kClosed;
        } else {
            MoveClips(m_BasePosition, 1000);
            m_State = kOpen;
        }
    }

    if (m_KeyDelay > 0)
        m_KeyDelay = std::max(0, m_KeyDelay - delta);

    const s32 shown = GetShownCount();
    if (shown >= 6) {
        const float d = std::clamp(m_BasePosition.X - m_LastPointer.X, -245.0f, 245.0f);
        m_ScrollOffset = (d - 245) * static_cast<float>(shown * kCellWidth - 490) / 490;
        if (m_KeepVisible && m_KeepVisibleIndex != -1)
            ScrollTo(m_KeepVisibleIndex);
        if (m_KeepVisible && m_KeepVisibleTime > 0) {
            m_KeepVisibleTime -= delta;
            if (m_KeepVisibleTime <= 0) {
                m_Pinned = false;
                m_KeepVisible = false;
            }
        }
    } else {
        m_ScrollOffset = 0;
    }

    if (m_CloseDelay > 0) {
        m_CloseDelay -= delta;
        if (m_CloseDelay < 1) {
            m_CloseDelay = 0;
            Close();
        }
    }

    const float step = static_cast<float>(std::min(delta, 100)) / 1000 * kFlightSpeed;
    for (CFlight& flight : m_Flights) {
        if (!flight.Object)
            continue;
        s32 cell = 0;
        while (cell < kCellCount && m_Cells[cell].Object != flight.Object)
            ++cell;
        const float dx = cell >= 5 ? 205.0f : static_cast<float>(-200 + kCellWidth * cell);
        const CVector2 target(m_BasePosition.X + dx, m_BasePosition.Y);
        const float ex = target.X - flight.Position.X, ey = target.Y - flight.Position.Y;
        const float distance = std::sqrt(ex * ex + ey * ey);
        if (distance < step) {
            if (cell < kCellCount)
                m_Cells[cell].InFlight = false;
            flight.Object = nullptr;
        } else {
            flight.Position = CVector2(flight.Position.X + ex / distance * step, flight.Position.Y + ey / distance * step);
        }
    }

    if (m_Mode == kModeNormal)
        for (u32 i = 0; i < m_ItemCount; ++i)
            if (m_Cells[i].Object)
                m_Cells[i].Object->Update();

    const CVector2 pointer = CHud::GetPointerPosition();
    if (pointer.X != m_LastPointer.X || pointer.Y != m_LastPointer.Y)
        m_Hover = false;
}

void CHudInventory::ScrollTo(s32 index)
{
    m_KeepVisibleIndex = index;
    const float centre = static_cast<float>(index * kCellWidth - 200) + m_ScrollOffset;
    if (centre > 200)
        m_ScrollOffset -= centre - 200;
    else if (centre < -200)
        m_ScrollOffset += -200 - centre;
}

CHudInventory::CCell* CHudInventory::FindDrawableCell(const CVector2& point, s32* index)
{
    const CVector2 origin = GetOrigin();
    s32 k = 0;
    for (s32 i = 0; i < kCellCount; ++i) {
        CCell& cell = m_Cells[i];
        if (!cell.Shown || cell.InFlight)
            continue;
        const float left = origin.X - 245 + static_cast<float>(k * kCellWidth) + m_ScrollOffset;
        const float top = origin.Y - 25;
        if (point.X >= left && point.X < left + kCellWidth && point.Y >= top && point.Y < top + kCellWidth) {
            if (index)
                *index = i;
            return &cell;
        }
        ++k;
    }
    return nullptr;
}

bool CHudInventory::OnMouseMove(const CVector2& point)
{
    m_Hover = false;
    m_LastPointer = point;
    if (m_State == kUnavailable || m_Disabled || m_Mode == kModeTextSearch)
        return false;
    const bool over = HitTestPanel(point);
    if (m_Mode == kModeActionSearch && !over)
        return false;
    if (m_Mode == kModeNormal) {
        if (m_State == kOpen && !over && m_CloseDelay <= 0) {
            if (!m_Pinned)
                m_CloseDelay = kCloseDelay;
            return false;
        }
        if (over && m_State != kOpen) {
            m_CloseDelay = 0;
            Open(false);
            return true;
        }
        if (over)
            m_CloseDelay = 0;
    } else if (m_Mode == kModeInteractive && m_State != kOpen) {
        Open(false);
        return true;
    }
    if (!IsCarrying()) {
        s32 index = -1;
        CCell* cell = FindDrawableCell(point, &index);
        const CVector2 origin = GetOrigin();
        if (cell) {
            s32 k = 0;
            for (s32 i = 0; i < index; ++i)
                k += m_Cells[i].Shown && !m_Cells[i].InFlight;
            const float left = origin.X - 245 + static_cast<float>(k * kCellWidth) + m_ScrollOffset;
            if (left < origin.X + 245) {
                lv::gui::CCursorManager::Instance().SetCursor(kInventoryHandCursor);
                m_Hover = true;
                m_HoveredIndex = index;
            }
        }
    }
    return over;
}

bool CHudInventory::OnClick(const CVector2& point)
{
    if (m_State != kOpen || m_Disabled || m_Mode == kModeTextSearch)
        return false;
    if (m_Mode != kModeNormal && m_Mode != kModeInteractive)
        return false;
    CCell* cell = FindDrawableCell(point, nullptr);
    if (!cell)
        return false;
    if (cell->Kind == kKindComposite && cell->Count < 4) {
        if (m_Hud)
            m_Hud->GetSpeechBubble().SayStringId(512);
        return true;
    }
    OnCellClicked(cell, true);
    return true;
}

void CHudInventory::OnCellClicked(CCell* cell, bool take)
{
    if (!cell || !cell->Object || !m_CursorItem || m_CursorItem->GetObject() == cell->Object)
        return;
    if (m_Mode != kModeTextSearch && IsCarrying()) {
        for (const CCell& held : m_Cells)
            if (held.Object && held.Object == m_CursorItem->GetObject()) {
                m_CursorItem->Release();
                return;
            }
    }
    m_KeepVisibleTime = 0;
    m_Pinned = false;
    m_KeepVisible = false;
    if (cell->Object->GetType() == qe::CSceneObject::kTypeGroup) {
        if (take)
            m_CursorItem->Take(cell->Object, cell->Shown, false);
    } else {
        m_CursorItem->Take(cell->Object, cell->Object, false);
    }
}

qe::CSceneObject* CHudInventory::GetInventoryImage(qe::CSceneObject* object) const
{
    if (!object || object->GetType() != qe::CSceneObject::kTypeGroup)
        return object;
    qe::CSceneObject* child = object->FindChild(CFixedString("__inv"));
    if (!child)
        lv::core::ShowMessageBoxF("Error", "__inv state is not found in group '%s'.", object->GetNameCStr());
    return child;
}

CVector2 CHudInventory::GetScreenPosition(qe::CSceneObject* object) const
{
    CVector2 position;
    if (object->GetType() == qe::CSceneObject::kTypeClip)
        position = static_cast<qe::CClipObject*>(object)->GetClip().GetPosition();
    else if (object->GetType() == qe::CSceneObject::kTypeGroup) {
        qe::CSceneObject* image = object->FindChild(CFixedString("__inv"));
        position = image ? image->GetPosition() : object->GetPosition();
    } else
        position = object->GetPosition();
    return CHud::SceneToScreen(m_SceneStack, position);
}

void CHudInventory::StartFlight(s32 cell, const CVector2& from)
{
    CFlight& flight = m_Flights[m_NextFlight];
    if (flight.Object)
        for (CCell& landed : m_Cells)
            if (landed.Object == flight.Object)
                landed.InFlight = false;
    flight.Position = from;
    flight.Object = m_Cells[cell].Object;
    m_NextFlight = (m_NextFlight + 1) % kFlightCount;
}

void CHudInventory::AddItem(qe::CSceneObject* object, bool animate)
{
    if (!object || m_Mode == kModeTextSearch || m_Mode == kModeActionSearch)
        return;
    if (IsCompositePart(object->GetName())) {
        s32 index = 0;
        while (index < kCellCount && m_Cells[index].Object && m_Cells[index].Kind != kKindComposite)
            ++index;
        if (index == kCellCount) {
            lv::core::ShowMessageBoxF("Error", "No free cells left in inventory.");
            return;
        }
        CCell& cell = m_Cells[index];
        const bool wasEmpty = cell.Object == nullptr;
        ++cell.Count;
        qe::CSceneObject* item = object;
        if (cell.Count >= 4) {
            qe::CSceneView* view = CHud::GetTopView(m_SceneStack);
            qe::CQuest* quest = view && view->GetScene() ? view->GetScene()->GetQuest() : nullptr;
            if (quest)
                if (qe::CSceneObject* details = quest->FindObjectByPath("heart/Details"))
                    item = details;
        }
        cell.Object = item;
        cell.Shown = GetInventoryImage(item);
        cell.Kind = cell.Count < 4 ? kKindComposite : kKindOrdinary;
        cell.InFlight = cell.Count < 4 && animate;
        if (cell.InFlight) {
            if (object->GetType() == qe::CSceneObject::kTypeGroup)
                StartFlight(index, GetScreenPosition(object));
            else
                cell.InFlight = false;
        }
        if (wasEmpty)
            ++m_ItemCount;
        lv::sound::GetAudioManager().Play("gui_add_to_inventory");
        return;
    }
    s32 index = 0;
    while (index < kCellCount && m_Cells[index].Object)
        ++index;
    if (index == kCellCount) {
        lv::core::ShowMessageBoxF("Error", "No free cells left in inventory.");
        return;
    }
    CCell& cell = m_Cells[index];
    cell = CCell();
    cell.Object = object;
    cell.Shown = GetInventoryImage(object);
    cell.Kind = kKindOrdinary;
    cell.InFlight = animate;
    if (animate)
        StartFlight(index, GetScreenPosition(object));
    ++m_ItemCount;
    lv::sound::GetAudioManager().Play("gui_add_to_inventory");
}

void CHudInventory::AddInteractiveItem(qe::CSceneObject* object, const CFixedString& sceneName)
{
    if (!object)
        return;
    s32 index = 0;
    while (index < kCellCount && m_Cells[index].Object)
        ++index;
    if (index == kCellCount) {
        lv::core::ShowMessageBoxF("Error", "No free cells left in inventory.");
        return;
    }
    CCell& cell = m_Cells[index];
    cell = CCell();
    cell.Object = object;
    cell.Shown = GetInventoryImage(object);
    cell.Kind = kKindInteractive;
    cell.Name = sceneName;
    ++m_ItemCount;
}

bool CHudInventory::RemoveItem(qe::CSceneObject* object)
{
    if (!object || m_Mode == kModeTextSearch || m_Mode == kModeActionSearch)
        return false;
    s32 index = 0;
    while (index < kCellCount && m_Cells[index].Object != object)
        ++index;
    if (index == kCellCount)
        return false;
    if (m_CursorItem && m_CursorItem->GetObject() == object)
        m_CursorItem->Release();
    for (CFlight& flight : m_Flights)
        if (flight.Object == object)
            flight.Object = nullptr;
    for (s32 i = index; i + 1 < kCellCount; ++i)
        m_Cells[i] = m_Cells[i + 1];
    m_Cells[kCellCount - 1] = CCell();
    if (m_SelectedInteractive >= index)
        --m_SelectedInteractive;
    if (m_ItemCount > 0)
        --m_ItemCount;
    return true;
}

void CHudInventory::LandFlyingItems()
{
    for (CFlight& flight : m_Flights)
        flight = CFlight();
    for (CCell& cell : m_Cells)
        cell.InFlight = false;
}

bool CHudInventory::IsCarrying() const
{
    return m_CursorItem && !m_CursorItem->IsEmpty();
}

void CHudInventory::ReleaseCarried()
{
    if (m_CursorItem)
        m_CursorItem->Release();
}

s32 CHudInventory::GetShownCount() const
{
    if (m_Mode == kModeTextSearch)
        return -1;
    return static_cast<s32>(m_ItemCount);
}

s32 CHudInventory::GetHintItemCount() const
{
    return static_cast<s32>(m_ItemCount);
}

qe::CSceneObject* CHudInventory::GetObjectAt(s32 index) const
{
    const CCell* cell = GetCellAt(index);
    return cell ? cell->Object : nullptr;
}

const CHudInventory::CCell* CHudInventory::GetCellAt(s32 index) const
{
    if (index < 0 || index >= kCellCount)
        return nullptr;
    return &m_Cells[index];
}

void CHudInventory::KeepVisible(bool release, s32 ms)
{
    m_KeepVisible = !release;
    m_KeepVisibleTime = ms;
}

void CHudInventory::ClearFinishedSearch()
{
    m_FinishedObjectPath.Clear();
    m_FinishedScene.Clear();
}

void CHudInventory::SetAlpha(u16 alpha)
{
    CColor colour = m_MainClip->GetColor();
    colour.A = static_cast<s16>(alpha);
    m_MainClip->SetColor(colour);
}

void CHudInventory::Draw(lv::graphics::CRenderer& renderer)
{
    if (m_State == kUnavailable)
        return;
    m_BackClip->Draw(renderer);

    const CVector2 origin = GetOrigin();
    const float clipHeight = GetMainClipHeight();
    renderer.PushState();
    CMatrix3 move;
    CMatrix3::MakeTranslation(move, origin.X, origin.Y);
    renderer.MultiplyTransform(move);
    renderer.IntersectClip(CQuad(-275, -clipHeight / 2, 550, clipHeight));
    const CColor none = CColor::CColorArgb(0, 0, 0, 0);
    for (s32 i = 0; i < kCellCount; ++i) {
        const CCell& cell = m_Cells[i];
        if (!cell.Shown || (cell.InFlight && !(cell.Kind == kKindComposite && cell.Count != 1)))
            continue;
        const float x = static_cast<float>(i * kCellWidth - 200) + m_ScrollOffset;
        const float y = 30;
        const bool faded = (m_CursorItem && m_CursorItem->GetObject() == cell.Object) ||
                           (m_Mode == kModeInteractive && i == m_SelectedInteractive);
        const CColor tint = faded ? CColor::CColorArgb(120, 255, 255, 255) : CColor();
        if (cell.Shown->GetType() == qe::CSceneObject::kTypeImage) {
            lv::graphics::CImageHandle* image = static_cast<qe::CImageObject*>(cell.Shown)->GetImage();
            if (image)
                renderer.DrawImage(image, x - image->GetWidth() / 2.0f, y - image->GetHeight() / 2.0f, 0, tint);
        } else if (cell.Shown->GetType() == qe::CSceneObject::kTypeClip) {
            CClip& clip = static_cast<qe::CClipObject*>(cell.Shown)->GetClip();
            const CVector2 saved = clip.GetPosition();
            clip.SetPosition(CVector2(x, y));
            clip.Draw(renderer);
            clip.SetPosition(saved);
        }
        if (cell.Kind == kKindInteractive && m_Marker)
            renderer.DrawImage(m_Marker, x + 43 - m_Marker->GetWidth(), y - 35, 0, tint);
        if (cell.Kind == kKindComposite && cell.Count != 4 && m_Font) {
            char text[16];
            std::snprintf(text, sizeof(text), "%d/4", cell.Count);
            WString wide;
            for (const char* c = text; *c; ++c)
                wide.push_back(static_cast<WChar>(*c));
            renderer.DrawTextAtString(m_Font, wide, x + 20, y - 45, -1, -1, 1.0f, CColor(),
                                      CColor::CColorArgb(255, 0, 0, 0));
        }
    }
    renderer.PopState();

    m_MainClip->Draw(renderer);

    if (m_Mode != kModeTextSearch && m_Hover && m_State == kOpen && m_Font && m_HoveredIndex >= 0 &&
        m_HoveredIndex < kCellCount && m_Cells[m_HoveredIndex].Object) {
        const char* name = m_Cells[m_HoveredIndex].Object->GetNameCStr();
        const long id = std::strtol(name, nullptr, 10);
        const WChar* text = id > 0 ? lv::core::CStringTable::Instance().GetString(static_cast<s32>(id)) : u"empty object name";
        renderer.DrawTextAt(m_Font, text, m_LastPointer.X + 15, m_LastPointer.Y - 15, -1, -1, 1.0f, CColor(), none);
    }

    for (const CFlight& flight : m_Flights) {
        if (!flight.Object)
            continue;
        qe::CSceneObject* shown = flight.Object;
        if (shown->GetType() == qe::CSceneObject::kTypeGroup) {
            qe::CSceneObject* fly = shown->FindChild(CFixedString("__fly"));
            shown = fly ? fly : shown->FindChild(CFixedString("__inv"));
        }
        if (!shown)
            continue;
        if (shown->GetType() == qe::CSceneObject::kTypeImage) {
            lv::graphics::CImageHandle* image = static_cast<qe::CImageObject*>(shown)->GetImage();
            if (image)
                renderer.DrawImage(image, flight.Position.X - image->GetWidth() / 2.0f,
                                   flight.Position.Y - image->GetHeight() / 2.0f, 0, CColor());
        } else if (shown->GetType() == qe::CSceneObject::kTypeClip) {
            CClip& clip = static_cast<qe::CClipObject*>(shown)->GetClip();
            clip.SetPosition(flight.Position);
            clip.Draw(renderer);
        }
    }
}

void CHudInventory::Save(qe::CBinaryWriter& writer)
{
    writer.WriteInt32(m_Mode == kModeInteractive ? kModeNormal : m_Mode);
    writer.WriteNameString(m_FinishedObjectPath);
    writer.WriteNameString(m_FinishedScene);
    // No text or action searches yet: no current text search, none stored, none in use.
    writer.WriteInt32(-1);
    writer.WriteInt32(kSearchSlotsSaved);
    writer.WriteInt32(kSearchSlotsSaved);
    writer.WriteInt32(-1);
    writer.WriteInt32(static_cast<s32>(m_ItemCount));
    for (u32 i = 0; i < m_ItemCount; ++i) {
        const CCell& cell = m_Cells[i];
        CFixedString path;
        if (cell.Object)
            cell.Object->GetPath(path);
        writer.WriteNameString(path);
        writer.WriteInt32(cell.Kind);
        writer.WriteInt32(cell.Count);
        if (cell.Kind == kKindInteractive)
            writer.WriteNameString(cell.Name);
    }
}

bool CHudInventory::Load(qe::CBinaryReader& reader, qe::CQuest& quest)
{
    s32 mode = reader.ReadInt32();
    const CFixedString finishedPath = reader.ReadNameString();
    const CFixedString finishedScene = reader.ReadNameString();
    // The searches are read past: this panel keeps none of them yet.
    reader.ReadInt32();
    const s32 textSearches = reader.ReadInt32();
    if (reader.HasError() || textSearches < 0 || textSearches > kCellCount)
        return false;
    for (s32 i = 0; i < textSearches; ++i) {
        reader.ReadInt32();
        reader.ReadNameString();
    }
    const s32 actionSearches = reader.ReadInt32();
    reader.ReadInt32();
    if (reader.HasError() || actionSearches < 0 || actionSearches > kCellCount)
        return false;
    for (s32 i = 0; i < actionSearches; ++i) {
        reader.ReadNameString();
        const s32 entries = reader.ReadInt32();
        if (reader.HasError() || entries < 0 || entries > kCellCount)
            return false;
        for (s32 j = 0; j < entries; ++j)
            reader.ReadNameString();
    }
    const u32 count = static_cast<u32>(reader.ReadInt32());
    if (reader.HasError() || count > kCellCount)
        return false;
    CCell cells[kCellCount];
    for (u32 i = 0; i < count; ++i) {
        const CFixedString path = reader.ReadNameString();
        CCell& cell = cells[i];
        cell.Kind = reader.ReadInt32();
        cell.Count = reader.ReadInt32();
        if (cell.Kind == kKindInteractive)
            cell.Name = reader.ReadNameString();
        if (reader.HasError())
            return false;
        cell.Object = quest.FindObjectByPath(path.GetText());
        if (!cell.Object)
            return false;
        cell.Shown = GetInventoryImage(cell.Object);
    }
    if (mode == kModeInteractive)
        mode = kModeNormal;
    m_Mode = mode;
    m_FinishedObjectPath = finishedPath;
    m_FinishedScene = finishedScene;
    for (s32 i = 0; i < kCellCount; ++i)
        m_Cells[i] = cells[i];
    m_ItemCount = count;

    if (!m_FinishedObjectPath.IsEmpty() && !m_FinishedScene.IsEmpty())
        if (qe::CSceneObject* object = quest.FindObjectByPath(m_FinishedObjectPath.GetText())) {
            Close();
            if (m_Hud) {
                m_Hud->GetHint().Reset();
                m_Hud->SetPendingScene(m_FinishedScene);
                qe::CSceneObject* icon = GetInventoryImage(object);
                m_Hud->SetPopupIcon(icon && icon->GetType() == qe::CSceneObject::kTypeImage
                                        ? static_cast<qe::CImageObject*>(icon)->GetImage()
                                        : nullptr);
            }
        }
    return true;
}

} // namespace game
