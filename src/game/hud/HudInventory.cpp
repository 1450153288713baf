#include "game/hud/HudInventory.h"

#include "anim/Clip.h"
#include "anim/TextObject.h"
#include "core/FloatRect.h"
#include "core/Matrix3.h"
#include "core/MessageBox.h"
#include "core/Quad.h"
#include "core/StringTable.h"
#include "core/TimeSystem.h"
#include "game/hud/Hud.h"
#include "game/hud/HudCursorItem.h"
#include "game/play/GameWindow.h"
#include "game/play/SceneStack.h"
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
#include <string>

namespace game {

namespace {

constexpr s32 kSlideTime = 300;
constexpr s32 kCloseDelay = 200;
constexpr float kFlightSpeed = 700.0f;
constexpr s32 kInventoryHandCursor = 101;

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
    if (m_Mode != kModeNormal)
        ApplyModeLook();
}

void CHudInventory::LoadMainClip(const char* base, bool withLook)
{
    char name[48];
    if (withLook)
        std::snprintf(name, sizeof(name), "%s%d", base, GetLookNumber());
    else
        std::snprintf(name, sizeof(name), "%s", base);
    m_MainClip->Load(name, true);
}

void CHudInventory::ApplyModeLook()
{
    switch (m_Mode) {
    case kModeActionSearch:
        m_State = kOpen;
        LoadMainClip("game_inventory_action_hog_", true);
        m_MainClip->SetPosition(m_BasePosition);
        break;
    case kModeTextSearch:
        m_State = kOpen;
        LoadMainClip("game_inventory_text_hog_", true);
        m_MainClip->SetPosition(m_BasePosition);
        RefreshTextSearchLabels();
        break;
    default:
        LoadMainClip("game_inventory_", true);
        m_BackClip->Load("game_inventory_back", true);
        MoveClips(m_BasePosition, -1);
        if (m_Mode == kModeInteractive) {
            if (m_State == kClosed)
                Open(m_Pinned);
            else
                m_State = kOpen;
        } else {
            m_State = kClosed;
            MoveClips(CVector2(m_BasePosition.X, m_BasePosition.Y + m_PanelHeight - kStripHeight), -1);
        }
        break;
    }
    m_MainClip->Update();
}

void CHudInventory::RefreshTextSearchLabels()
{
    const CTextSearch* search = m_CurrentText >= 0 ? &m_TextSearches[m_CurrentText] : nullptr;
    if (search) {
        // The task text is read again from the search's "Text_hog_" group.
        s32 textId = search->TextId;
        if (qe::CScene* scene = FindSearchScene(search->Scene.GetText()))
            for (qe::CSceneObject* object : scene->GetObjects())
                if (object->GetType() == qe::CSceneObject::kTypeGroup && std::strstr(object->GetNameCStr(), "Text_hog_")) {
                    const char* last = std::strrchr(object->GetNameCStr(), '_');
                    textId = static_cast<s32>(std::strtol(last + 1, nullptr, 10));
                    break;
                }
        lv::core::CStringTable& strings = lv::core::CStringTable::Instance();
        if (auto* info = dynamic_cast<lv::misc::anim::CTextObject*>(m_MainClip->FindObject("quest_info"))) {
            const WChar* text = strings.GetString(textId);
            info->SetText(text ? WString(text) : WString());
        }
        if (auto* count = dynamic_cast<lv::misc::anim::CTextObject*>(m_MainClip->FindObject("object_count"))) {
            const WChar* label = strings.GetString(84);
            WString text = label ? WString(label) : WString();
            text.push_back(u' ');
            for (const char c : std::to_string(search->Remaining))
                text.push_back(static_cast<WChar>(c));
            count->SetText(text);
        }
    }
    m_MainClip->Update();
}

qe::CScene* CHudInventory::FindSearchScene(const char* name) const
{
    if (!name || !*name)
        return nullptr;
    qe::CQuest* quest = nullptr;
    if (m_SceneStack) {
        qe::CSceneView* view = m_SceneStack->GetMainView();
        quest = view && view->GetScene() ? view->GetScene()->GetQuest() : m_SceneStack->GetQuest();
    }
    return quest ? quest->FindScene(name) : nullptr;
}

void CHudInventory::SetMode(s32 mode, const char* sceneName)
{
    LandFlyingItems();
    const CFixedString name(sceneName ? sceneName : "");
    if (mode == kModeNormal) {
        m_Mode = kModeNormal;
        CloseKeysPanel();
        m_SelectedInteractive = -1;
    } else if (mode == kModeTextSearch) {
        m_Mode = kModeTextSearch;
        m_State = kOpen;
        MoveClips(m_BasePosition, -1);
        StartTextSearch(name, FindSearchScene(sceneName));
    } else {
        m_Mode = kModeActionSearch;
        m_State = kOpen;
        m_BackClip->Load("game_inventory_back", true);
        MoveClips(m_BasePosition, -1);
        StartActionSearch(name, FindSearchScene(sceneName));
    }
    CHud::RequestGameSave();
    ApplyModeLook();
}

void CHudInventory::StartTextSearch(const CFixedString& name, qe::CScene* scene)
{
    for (s32 i = 0; i < kSearchSlots; ++i)
        if (m_TextSearches[i].Remaining > 0 && m_TextSearches[i].Scene == name) {
            m_CurrentText = i;
            return;
        }
    m_CurrentText = -1;
    for (s32 i = 0; i < kSearchSlots && m_CurrentText < 0; ++i)
        if (m_TextSearches[i].Remaining == 0)
            m_CurrentText = i;
    if (m_CurrentText < 0)
        return;
    CTextSearch& search = m_TextSearches[m_CurrentText];
    search = CTextSearch();
    search.Scene = name;
    if (!scene)
        return;
    // "Text_hog_<tag>_<count>_<text id>": the count lies between the first and the last
    // underscore after the prefix.
    for (qe::CSceneObject* object : scene->GetObjects()) {
        if (object->GetType() != qe::CSceneObject::kTypeGroup)
            continue;
        const char* found = std::strstr(object->GetNameCStr(), "Text_hog_");
        if (!found)
            continue;
        const char* rest = found + 9;
        const char* first = std::strchr(rest, '_');
        const char* last = std::strrchr(rest, '_');
        if (first) {
            search.Remaining = static_cast<s32>(std::strtol(first + 1, nullptr, 10));
            search.TextId = static_cast<s32>(std::strtol(last + 1, nullptr, 10));
        }
        break;
    }
}

void CHudInventory::StartActionSearch(const CFixedString& name, qe::CScene* scene)
{
    if (m_CurrentAction >= 0) {
        m_CurrentAction = -1;
        for (s32 i = 0; i < kSearchSlots; ++i)
            if (!m_ActionSearches[i].Scene.IsEmpty() && m_ActionSearches[i].Scene == name)
                m_CurrentAction = i;
    }
    if (m_CurrentAction < 0) {
        for (s32 i = 0; i < kSearchSlots && m_CurrentAction < 0; ++i)
            if (m_ActionSearches[i].Scene.IsEmpty())
                m_CurrentAction = i;
        if (m_CurrentAction < 0)
            return;
        CActionSearch& search = m_ActionSearches[m_CurrentAction];
        search = CActionSearch();
        if (scene)
            for (qe::CSceneObject* object : scene->GetObjects()) {
                if (search.EntryCount >= kCellCount)
                    break;
                if (object->GetType() != qe::CSceneObject::kTypeGroup || !std::strstr(object->GetNameCStr(), "Action_hog"))
                    continue;
                CCell& entry = search.Entries[search.EntryCount++];
                entry.Object = object;
                entry.Name = object->GetName();
                entry.Found = object->FindChildImage(CFixedString("__inv"));
                entry.Outline = object->FindChildImage(CFixedString("outline"));
                entry.Shown = entry.Found && entry.Found->HasFlags(qe::CSceneObject::kHidden) ? entry.Outline : entry.Found;
            }
    }
    m_ActionSearches[m_CurrentAction].Scene = name;
}

CHudInventory::CActionSearch* CHudInventory::GetCurrentAction()
{
    return m_CurrentAction >= 0 ? &m_ActionSearches[m_CurrentAction] : nullptr;
}

bool CHudInventory::IsEntryShown(const CCell& entry) const
{
    return (entry.Found && !entry.Found->HasFlags(qe::CSceneObject::kHidden)) ||
           (entry.Outline && !entry.Outline->HasFlags(qe::CSceneObject::kHidden));
}

CHudInventory::CCell* CHudInventory::GetDrawableCells(s32* count)
{
    if (m_Mode == kModeActionSearch) {
        CActionSearch* search = GetCurrentAction();
        *count = search ? search->EntryCount : 0;
        return search ? search->Entries : nullptr;
    }
    *count = kCellCount;
    return m_Cells;
}

void CHudInventory::FinishHogMode(qe::CSceneObject* reward, const char* nextScene)
{
    if (m_Mode == kModeTextSearch && m_CurrentText >= 0) {
        m_TextSearches[m_CurrentText].Remaining = 0;
        m_CurrentText = -1;
    }
    if (m_Mode == kModeActionSearch) {
        if (CActionSearch* search = GetCurrentAction()) {
            for (s32 i = 0; i < search->EntryCount; ++i) {
                CCell& entry = search->Entries[i];
                if (entry.Found)
                    entry.Found->AddFlags(qe::CSceneObject::kHidden);
                if (entry.Outline)
                    entry.Outline->AddFlags(qe::CSceneObject::kHidden);
                entry = CCell();
            }
            search->EntryCount = 0;
            search->Scene.Clear();
        }
        m_CurrentAction = -1;
    }
    m_Mode = kModeNormal;
    CloseKeysPanel();
    ApplyModeLook();
    if (!reward)
        return;
    AddItem(reward, true);
    reward->GetPath(m_FinishedObjectPath);
    m_FinishedScene = CFixedString(nextScene ? nextScene : "");
    if (!m_Hud)
        return;
    m_Hud->GetHint().Reset();
    Close();
    m_Hud->SetPendingScene(m_FinishedScene);
    qe::CSceneObject* icon = reward->GetType() == qe::CSceneObject::kTypeGroup
                                 ? reward->FindChild(CFixedString("__inv"))
                                 : reward;
    m_Hud->SetPopupIcon(icon && icon->GetType() == qe::CSceneObject::kTypeImage
                            ? static_cast<qe::CImageObject*>(icon)->GetImage()
                            : nullptr);
    m_Hud->PushMode(CHud::kModePopup);
}

void CHudInventory::DecrementTextHogCount()
{
    if (m_CurrentText < 0)
        return;
    --m_TextSearches[m_CurrentText].Remaining;
    RefreshTextSearchLabels();
}

void CHudInventory::OpenKeysPanel()
{
    if (m_KeysClip)
        return;
    m_KeysClip = std::make_unique<CClip>();
    m_KeysClip->Load("keys_clip", true);
    lv::sound::GetAudioManager().Play("locations_park_m05_arch_key_apply");
}

void CHudInventory::CloseKeysPanel()
{
    m_SelectedKey = -1;
    m_KeysClip.reset();
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
    if (m_Mode != kModeNormal)
        ApplyModeLook();
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
    if (m_Mode != kModeNormal)
        ApplyModeLook();
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
    m_KeysClip.reset();
    // Text searches outlive a level; the current action search does not.
    if (CActionSearch* search = GetCurrentAction())
        *search = CActionSearch();
    m_CurrentAction = -1;
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
    CActionSearch* search = m_Mode == kModeActionSearch ? GetCurrentAction() : nullptr;
    for (CFlight& flight : m_Flights) {
        if (!flight.Object)
            continue;
        s32 cell = 0;
        s32 place = 0;
        CCell* entry = nullptr;
        if (search) {
            // Entries aim at their running place among the entries shown.
            for (s32 i = 0; i < search->EntryCount && !entry; ++i) {
                if (search->Entries[i].Object == flight.Object)
                    entry = &search->Entries[i];
                else if (IsEntryShown(search->Entries[i]))
                    ++place;
            }
            cell = kCellCount;
        } else {
            while (cell < kCellCount && m_Cells[cell].Object != flight.Object)
                ++cell;
            place = cell;
        }
        const float dx = place >= 5 ? 205.0f : static_cast<float>(-200 + kCellWidth * place);
        const CVector2 target(m_BasePosition.X + dx, m_BasePosition.Y);
        const float ex = target.X - flight.Position.X, ey = target.Y - flight.Position.Y;
        const float distance = std::sqrt(ex * ex + ey * ey);
        if (distance < step) {
            if (cell < kCellCount)
                m_Cells[cell].InFlight = false;
            if (entry)
                entry->InFlight = false;
            flight.Object = nullptr;
        } else {
            flight.Position = CVector2(flight.Position.X + ex / distance * step, flight.Position.Y + ey / distance * step);
        }
    }

    if (m_Mode == kModeNormal)
        for (u32 i = 0; i < m_ItemCount; ++i)
            if (m_Cells[i].Object)
                m_Cells[i].Object->Update();
    if (search)
        for (s32 i = 0; i < search->EntryCount; ++i)
            if (search->Entries[i].Object)
                search->Entries[i].Object->Update();

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
    s32 count = 0;
    CCell* cells = GetDrawableCells(&count);
    s32 k = 0;
    for (s32 i = 0; i < count; ++i) {
        CCell& cell = cells[i];
        if (cell.InFlight || (m_Mode == kModeActionSearch ? !IsEntryShown(cell) : !cell.Shown))
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
            s32 count = 0;
            const CCell* cells = GetDrawableCells(&count);
            s32 k = 0;
            for (s32 i = 0; i < index; ++i)
                k += !cells[i].InFlight && (m_Mode == kModeActionSearch ? IsEntryShown(cells[i]) : cells[i].Shown != nullptr);
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
    CCell* cell = FindDrawableCell(point, nullptr);
    if (!cell)
        return false;
    if (m_Mode == kModeActionSearch) {
        if (cell->Found && !cell->Found->HasFlags(qe::CSceneObject::kHidden))
            OnCellClicked(cell, true);
        return true;
    }
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
        s32 count = 0;
        const CCell* cells = GetDrawableCells(&count);
        for (s32 i = 0; i < count; ++i)
            if (cells[i].Object && cells[i].Object == m_CursorItem->GetObject()) {
                m_CursorItem->Release();
                return;
            }
        for (const CCell& held : m_Cells)
            if (held.Object && held.Object == m_CursorItem->GetObject()) {
                m_CursorItem->Release();
                return;
            }
    }
    m_KeepVisibleTime = 0;
    m_Pinned = false;
    m_KeepVisible = false;
    if (m_Mode == kModeActionSearch) {
        m_CursorItem->Take(cell->Object, cell->Found, false);
    } else if (cell->Object->GetType() == qe::CSceneObject::kTypeGroup) {
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

void CHudInventory::StartFlight(qe::CSceneObject* object, const CVector2& from)
{
    CFlight& flight = m_Flights[m_NextFlight];
    if (flight.Object) {
        for (CCell& landed : m_Cells)
            if (landed.Object == flight.Object)
                landed.InFlight = false;
        if (CActionSearch* search = GetCurrentAction())
            for (s32 i = 0; i < search->EntryCount; ++i)
                if (search->Entries[i].Object == flight.Object)
                    search->Entries[i].InFlight = false;
    }
    flight.Position = from;
    flight.Object = object;
    m_NextFlight = (m_NextFlight + 1) % kFlightCount;
}

void CHudInventory::AddItem(qe::CSceneObject* object, bool animate)
{
    if (!object || m_Mode == kModeTextSearch)
        return;
    if (m_Mode == kModeActionSearch) {
        CActionSearch* search = GetCurrentAction();
        if (!search)
            return;
        for (s32 i = 0; i < search->EntryCount; ++i) {
            CCell& entry = search->Entries[i];
            if (!(entry.Name == object->GetName()))
                continue;
            if (entry.Found)
                entry.Found->RemoveFlags(qe::CSceneObject::kHidden);
            if (entry.Outline)
                entry.Outline->AddFlags(qe::CSceneObject::kHidden);
            entry.Shown = entry.Found;
            entry.InFlight = animate && entry.Found;
            if (entry.InFlight)
                StartFlight(entry.Object, CHud::SceneToScreen(m_SceneStack, entry.Found->GetPosition()));
            lv::sound::GetAudioManager().Play("gui_add_to_inventory");
            return;
        }
        return;
    }
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
                StartFlight(cell.Object, GetScreenPosition(object));
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
        StartFlight(object, GetScreenPosition(object));
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
    cell.InFlight = true;
    StartFlight(object, GetScreenPosition(object));
    ++m_ItemCount;
    lv::sound::GetAudioManager().Play("gui_add_to_inventory");
}

void CHudInventory::AddInputDelay(s32 ms)
{
    // A script's delay may be any 32-bit value: the sum is held within the range.
    const s64 sum = static_cast<s64>(m_KeyDelay) + ms;
    m_KeyDelay = static_cast<s32>(std::clamp<s64>(sum, -2147483647 - 1, 2147483647));
}

bool CHudInventory::RemoveItem(qe::CSceneObject* object)
{
    if (!object || m_Mode == kModeTextSearch)
        return false;
    if (m_Mode == kModeActionSearch) {
        CActionSearch* search = GetCurrentAction();
        for (s32 i = 0; search && i < search->EntryCount; ++i) {
            CCell& entry = search->Entries[i];
            if (!(entry.Name == object->GetName()))
                continue;
            if (m_CursorItem && entry.Object && m_CursorItem->GetObject() == entry.Object)
                m_CursorItem->Release();
            if (entry.Found)
                entry.Found->AddFlags(qe::CSceneObject::kHidden);
            if (entry.Outline)
                entry.Outline->AddFlags(qe::CSceneObject::kHidden);
            return true;
        }
        return false;
    }
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
    if (CActionSearch* search = GetCurrentAction())
        for (s32 i = 0; i < search->EntryCount; ++i) {
            CCell& entry = search->Entries[i];
            if (!entry.InFlight)
                continue;
            entry.InFlight = false;
            if (entry.Found)
                entry.Found->RemoveFlags(qe::CSceneObject::kHidden);
            if (entry.Outline)
                entry.Outline->AddFlags(qe::CSceneObject::kHidden);
        }
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
        return m_CurrentText >= 0 ? m_TextSearches[m_CurrentText].Remaining : -1;
    if (m_Mode == kModeActionSearch) {
        s32 shown = 0;
        if (m_CurrentAction >= 0) {
            const CActionSearch& search = m_ActionSearches[m_CurrentAction];
            for (s32 i = 0; i < search.EntryCount; ++i)
                shown += search.Entries[i].Found && !search.Entries[i].Found->HasFlags(qe::CSceneObject::kHidden);
        }
        return shown;
    }
    return static_cast<s32>(m_ItemCount);
}

s32 CHudInventory::GetHintItemCount() const
{
    s32 count = static_cast<s32>(m_ItemCount);
    if (m_CurrentAction >= 0)
        count += m_ActionSearches[m_CurrentAction].EntryCount;
    if (m_CurrentText >= 0)
        count += m_TextSearches[m_CurrentText].Remaining;
    return count;
}

qe::CSceneObject* CHudInventory::GetObjectAt(s32 index) const
{
    const CCell* cell = GetCellAt(index);
    return cell ? cell->Object : nullptr;
}

const CHudInventory::CCell* CHudInventory::GetCellAt(s32 index) const
{
    if (index < 0)
        return nullptr;
    if (m_CurrentAction >= 0) {
        const CActionSearch& search = m_ActionSearches[m_CurrentAction];
        if (index < search.EntryCount) {
            const CCell& entry = search.Entries[index];
            return entry.Found && !entry.Found->HasFlags(qe::CSceneObject::kHidden) ? &entry : nullptr;
        }
        index -= search.EntryCount;
        if (index >= static_cast<s32>(m_ItemCount))
            return nullptr;
    }
    if (index >= kCellCount)
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
    s32 drawableCount = 0;
    const CCell* cells = m_Mode == kModeTextSearch ? nullptr : GetDrawableCells(&drawableCount);
    s32 k = -1;
    for (s32 i = 0; i < drawableCount; ++i) {
        CCell drawn = cells[i];
        if (m_Mode == kModeActionSearch) {
            // The found image once found and landed, else the outline.
            if (!drawn.Object || !IsEntryShown(drawn))
                continue;
            ++k;
            drawn.Shown = drawn.Found && !drawn.Found->HasFlags(qe::CSceneObject::kHidden) && !drawn.InFlight
                              ? drawn.Found
                              : drawn.Outline;
            drawn.InFlight = false;
            if (!drawn.Shown)
                continue;
        } else {
            k = i;
        }
        const CCell& cell = drawn;
        if (!cell.Shown || (cell.InFlight && !(cell.Kind == kKindComposite && cell.Count != 1)))
            continue;
        const float x = static_cast<float>(k * kCellWidth - 200) + m_ScrollOffset;
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
        m_HoveredIndex < drawableCount && cells[m_HoveredIndex].Object) {
        const char* name = cells[m_HoveredIndex].Object->GetNameCStr();
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

    if (m_KeysClip) {
        const CPoint2i screen = CHud::GetScreenSize();
        m_KeysClip->SetPosition(CVector2(static_cast<float>(screen.X) / 2, static_cast<float>(screen.Y) / 2));
        m_KeysClip->Draw(renderer);
    }
}

void CHudInventory::Save(qe::CBinaryWriter& writer)
{
    writer.WriteInt32(m_Mode == kModeInteractive ? kModeNormal : m_Mode);
    writer.WriteNameString(m_FinishedObjectPath);
    writer.WriteNameString(m_FinishedScene);
    // Only open searches are written, packed; the current indices count among them, as
    // loading fills the slots from the first.
    s32 textCount = 0, currentText = -1;
    for (s32 i = 0; i < kSearchSlots; ++i)
        if (m_TextSearches[i].Remaining > 0) {
            if (i == m_CurrentText)
                currentText = textCount;
            ++textCount;
        }
    writer.WriteInt32(currentText);
    writer.WriteInt32(textCount);
    for (const CTextSearch& search : m_TextSearches)
        if (search.Remaining > 0) {
            writer.WriteInt32(search.Remaining);
            writer.WriteNameString(search.Scene);
        }
    s32 actionCount = 0, currentAction = -1;
    for (s32 i = 0; i < kSearchSlots; ++i)
        if (!m_ActionSearches[i].Scene.IsEmpty()) {
            if (i == m_CurrentAction)
                currentAction = actionCount;
            ++actionCount;
        }
    writer.WriteInt32(actionCount);
    writer.WriteInt32(currentAction);
    for (const CActionSearch& search : m_ActionSearches) {
        if (search.Scene.IsEmpty())
            continue;
        writer.WriteNameString(search.Scene);
        writer.WriteInt32(search.EntryCount);
        for (s32 j = 0; j < search.EntryCount; ++j)
            writer.WriteNameString(search.Entries[j].Name);
    }
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
    const s32 currentText = reader.ReadInt32();
    const s32 textSearches = reader.ReadInt32();
    if (reader.HasError() || textSearches < 0 || textSearches > kSearchSlots)
        return false;
    CTextSearch texts[kSearchSlots];
    for (s32 i = 0; i < textSearches; ++i) {
        texts[i].Remaining = reader.ReadInt32();
        texts[i].Scene = reader.ReadNameString();
    }
    const s32 actionSearches = reader.ReadInt32();
    const s32 currentAction = reader.ReadInt32();
    if (reader.HasError() || actionSearches < 0 || actionSearches > kSearchSlots)
        return false;
    auto actions = std::make_unique<CActionSearch[]>(kSearchSlots);
    for (s32 i = 0; i < actionSearches; ++i) {
        CActionSearch& search = actions[i];
        search.Scene = reader.ReadNameString();
        search.EntryCount = reader.ReadInt32();
        if (reader.HasError() || search.EntryCount < 0 || search.EntryCount > kCellCount)
            return false;
        for (s32 j = 0; j < search.EntryCount; ++j) {
            CCell& entry = search.Entries[j];
            entry.Name = reader.ReadNameString();
            if (reader.HasError())
                return false;
            const std::string path = std::string(search.Scene.GetText()) + "/" + entry.Name.GetText();
            entry.Object = quest.FindObjectByPath(path.c_str());
            if (!entry.Object || entry.Object->GetType() != qe::CSceneObject::kTypeGroup)
                return false;
            entry.Found = entry.Object->FindChildImage(CFixedString("__inv"));
            entry.Outline = entry.Object->FindChildImage(CFixedString("outline"));
            entry.Shown = entry.Found && entry.Found->HasFlags(qe::CSceneObject::kHidden) ? entry.Outline : entry.Found;
        }
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
    if (mode == kModeActionSearch || mode == kModeTextSearch) {
        // A search resumes only when the game was saved inside its hidden scene.
        CGameWindow* window = CHud::GetGameWindow();
        const char* saved = window ? window->GetSavedSceneName().GetText() : "";
        if (quest.FindScene(saved) && !std::strstr(saved, "_hidden"))
            mode = kModeNormal;
    }
    m_Mode = mode;
    for (s32 i = 0; i < kSearchSlots; ++i) {
        m_TextSearches[i] = texts[i];
        m_ActionSearches[i] = actions[i];
    }
    m_CurrentText = currentText >= 0 && currentText < textSearches ? currentText : -1;
    m_CurrentAction = currentAction >= 0 && currentAction < actionSearches ? currentAction : -1;
    m_KeysClip.reset();
    m_SelectedKey = -1;
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
