#include "game/play/Hog.h"

#include "core/FloatRect.h"
#include "core/Log.h"
#include "game/hud/Hud.h"
#include "game/play/GameWindow.h"
#include "game/play/HogItemList.h"
#include "graphics/FontManager.h"
#include "graphics/ImageHandle.h"
#include "graphics/Renderer.h"
#include "graphics/TextureManager.h"
#include "gui/CursorManager.h"
#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"
#include "qe/GroupObject.h"
#include "qe/AreaObject.h"
#include "qe/Quest.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"
#include "sound/AudioManager.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace game {

namespace {

constexpr s32 kHogSceneWidth = 1366;
constexpr s32 kHogPopupLift = 50;
constexpr s32 kHogCloseInset = 10;
constexpr s32 kHogLeaveInset = 50;
constexpr s32 kHogCursorHand = 101;
constexpr s32 kHogCursorItem = 0;
constexpr s32 kHogCursorGear = 1;
constexpr s32 kHogCursorMagnifier = 2;
constexpr s32 kHogCursorArrow = 4;
const char* const kHogStateTag = "Hog";

CHog* g_CurrentHog = nullptr;

CHud* HogHud()
{
    CGameWindow* window = CGameWindow::GetInstance();
    return window ? &window->GetHud() : nullptr;
}

void HogPlay(const char* sound)
{
    CGameWindow::GetAudio().Play(sound);
}

void HogSetCursor(s32 id)
{
    lv::gui::CCursorManager::Instance().SetCursor(id);
}

qe::CQuest* HogQuest()
{
    CGameWindow* window = CGameWindow::GetInstance();
    return window ? window->GetQuest() : nullptr;
}

} // namespace

CHog::CHog() : m_ItemList(std::make_unique<CHogItemList>()) {}

CHog::~CHog()
{
    if (g_CurrentHog == this)
        g_CurrentHog = nullptr;
}

CHog* CHog::GetInstance()
{
    return g_CurrentHog;
}

s32 CHog::SceneShift() const
{
    return (kHogSceneWidth - m_LayoutSize.X) / 2;
}

void CHog::Load()
{
    m_PopupOpen = false;
    qe::CScene* scene = GetScene();
    qe::CQuest* quest = HogQuest();
    const u32 count = GetParamCount();
    for (u32 i = 0; i < count; ++i)
    {
        const char* key = GetParamKey(i).GetText();
        const char* value = GetParamValue(i).GetText();
        // The keys are tested by substring and in this order: "popup_active_zone..." contains
        // "popup" and must not count as it.
        if (std::strstr(key, "index"))
            m_HogIndex = static_cast<s32>(std::strtol(value, nullptr, 10));
        else if (std::strstr(key, "prev_scene"))
            m_PreviousScene = quest ? quest->FindScene(value) : nullptr;
        else if (std::strstr(key, "popup_active_zone_say") || std::strstr(key, "popup_active_zone"))
            continue;
        else if (std::strstr(key, "popup_area"))
            m_PopupArea = scene ? scene->FindAreaObject(value) : nullptr;
        else if (std::strstr(key, "popup"))
            m_PopupScene = quest ? quest->FindScene(value) : nullptr;
        else if (std::strstr(key, "texture_list_view"))
            m_TextureListView = std::strcmp(value, "true") == 0;
    }

    m_ItemList->Init(this);
    for (u32 i = 0; i < count; ++i)
        m_ItemList->ReadSpecialItem(GetParamKey(i).GetText(), GetParamValue(i).GetText(), scene);

    lv::graphics::CTextureManager& textures = lv::graphics::CTextureManager::Instance();
    m_FrameImage = textures.GetImage("windows_miniframe_miniframe");
    m_CloseImages[0] = textures.GetImage("windows_miniframe_button_closed_normal");
    m_CloseImages[1] = textures.GetImage("windows_miniframe_button_closed_on");
    m_CloseState = 0;

    m_LayoutSize = CHud::GetScreenSize();
    if (m_PopupScene)
    {
        const CPoint2i size = m_PopupScene->GetSize();
        m_FrameRect = CIntRect((m_LayoutSize.X - size.X) / 2 - kFrameLeft,
                               (m_LayoutSize.Y - size.Y) / 2 - kFrameTop - kHogPopupLift,
                               size.X + kFrameLeft + kFrameRight, size.Y + kFrameTop + kFrameBottom);
        const s32 closeWidth = m_CloseImages[0] ? m_CloseImages[0]->GetWidth() : 0;
        const s32 closeHeight = m_CloseImages[0] ? m_CloseImages[0]->GetHeight() : 0;
        m_CloseRect = CIntRect(m_FrameRect.X + m_FrameRect.Width - closeWidth - kHogCloseInset, m_FrameRect.Y,
                               closeWidth, closeHeight);
        m_PopupObjects.clear();
        for (qe::CSceneObject* object : m_PopupScene->GetObjects())
            if (object)
                m_PopupObjects.push_back(object);
        m_ItemList->SetPopupOrigin(CPoint2i(m_FrameRect.X + kFrameLeft, m_FrameRect.Y + kFrameTop));
    }

    const std::string panel = "gui_park_inventory_hog_inv_" + std::to_string(CHud::GetStyleVariant(1) + 1);
    m_PanelImage = textures.GetImage(panel.c_str());
    m_Font = lv::core::CFontManager::Instance()->FindFont("font_16");

    m_ItemList->Build(m_HogIndex, scene, m_Font, m_PopupScene);
    Layout();
}

void CHog::Layout()
{
    m_LayoutSize = CHud::GetScreenSize();
    const s32 panelHeight = m_PanelImage ? m_PanelImage->GetHeight() : 0;
    m_LeaveArea = CIntRect(0, m_LayoutSize.Y - panelHeight + kHogLeaveInset, m_LayoutSize.X,
                           panelHeight - kHogLeaveInset);
}

void CHog::Activate(qe::CSceneView* view)
{
    CMinigame::Activate(view);
    m_Active = true;
    if (CHud* hud = HogHud())
        hud->PushMode(CHud::kModeHog);
    m_PopupOpen = false;
}

qe::CSceneObject* CHog::GetHintObject(const char*)
{
    qe::CSceneObject* item = m_ItemList->RandomHintItem(m_PopupOpen);
    return item;
}

bool CHog::IsInputBlocked() const
{
    return m_ItemList->IsCompletionPending();
}

CPoint2i CHog::GetPopupOrigin() const
{
    return m_ItemList->GetPopupOrigin();
}

void CHog::ResetHudHint()
{
    if (CHud* hud = HogHud())
        hud->GetHint().Reset();
}

void CHog::RequestSave()
{
    if (qe::CQuest* quest = HogQuest())
        quest->SaveState();
}

void CHog::Update()
{
    g_CurrentHog = this;
    if (m_PopupOpen)
    {
        for (auto it = m_PopupObjects.rbegin(); it != m_PopupObjects.rend(); ++it)
            (*it)->Update();
        if (m_ItemList->AllTaken())
            m_PopupOpen = false;
    }
    m_ItemList->Update();
    m_PopupRunner.Update();
}

void CHog::DrawPopupObject(lv::graphics::CRenderer& renderer, qe::CSceneObject* object, const CVector2& offset)
{
    if (!object || object->HasFlags(qe::CSceneObject::kHidden | qe::CSceneObject::kRemoved))
        return;
    const s32 type = object->GetType();
    if (type == qe::CSceneObject::kTypeGroup)
    {
        const auto& children = static_cast<qe::CGroupObject*>(object)->GetChildren();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            DrawPopupObject(renderer, *it, offset);
    }
    else if (type == qe::CSceneObject::kTypeImage || type == qe::CSceneObject::kTypeClip)
    {
        const CVector2 position = object->GetPosition();
        object->SetPosition(CVector2(position.X + offset.X, position.Y + offset.Y));
        object->Render(renderer);
        object->SetPosition(position);
    }
}

void CHog::Draw(lv::graphics::CRenderer& renderer)
{
    if (m_ItemList->IsDone())
        return;
    if (m_PopupOpen)
    {
        const CVector2 offset(static_cast<float>(m_FrameRect.X + kFrameLeft), static_cast<float>(m_FrameRect.Y + kFrameTop));
        for (auto it = m_PopupObjects.rbegin(); it != m_PopupObjects.rend(); ++it)
            DrawPopupObject(renderer, *it, offset);
        if (m_FrameImage)
            renderer.DrawTiledFrame(m_FrameImage,
                                    CFloatRect(static_cast<float>(m_FrameRect.X), static_cast<float>(m_FrameRect.Y),
                                               static_cast<float>(m_FrameRect.Width),
                                               static_cast<float>(m_FrameRect.Height)),
                                    0, CColor());
        if (lv::graphics::CImageHandle* close = m_CloseImages[m_CloseState == 1 ? 1 : 0])
            renderer.DrawImage(close, static_cast<float>(m_CloseRect.X), static_cast<float>(m_CloseRect.Y), 0, CColor());
    }
    CGameWindow* window = CGameWindow::GetInstance();
    if (window && window->IsCheatMode())
        m_ItemList->DrawDebugOutlines(m_PopupOpen, renderer);
    if (m_PanelImage)
    {
        const float height = static_cast<float>(m_PanelImage->GetHeight());
        renderer.DrawImageRect(m_PanelImage,
                               CFloatRect(0, static_cast<float>(m_LayoutSize.Y) - height,
                                          static_cast<float>(m_LayoutSize.X), height),
                               0, CColor());
    }
    m_ItemList->Draw(renderer);
}

bool CHog::PopupHasActivateEntries()
{
    return m_PopupScene && m_PopupRunner.HasActivateEntries(m_PopupScene->GetName().GetText(), m_HogIndex);
}

bool CHog::OnMouseDown(const CPoint2i& point)
{
    const float shift = m_AdjustClicks ? static_cast<float>(SceneShift()) : 0.0f;
    const CVector2 p(static_cast<float>(point.X) + shift, static_cast<float>(point.Y));
    if (m_ItemList->IsPunishmentActive())
        return true;
    if (m_ItemList->IsDone())
        return false;
    // While the completion message waits, only its button counts.
    if (m_ItemList->IsCompletionPending())
    {
        m_ItemList->Click(p, false, nullptr);
        return true;
    }
    if (m_PopupArea && !m_PopupOpen)
    {
        if (CHud::GetTutorialStep() >= 0)
        {
            m_ItemList->Click(p, false, nullptr);
            return true;
        }
        if (!m_PopupArea->HasFlags(qe::CSceneObject::kDisabled) && m_PopupArea->HitTest(p))
        {
            m_PopupOpen = true;
            HogPlay("gui_window_open_close");
            ResetHudHint();
            return true;
        }
    }
    else if (m_PopupArea && m_PopupOpen)
        return HandlePopupClick(p);

    if (m_ItemList->Click(p, false, nullptr))
    {
        RequestSave();
        return true;
    }
    m_ItemList->CountMiss();
    return false;
}

bool CHog::HandlePopupClick(const CVector2& p)
{
    if (m_PopupRunner.IsBusy())
        return true;
    const s32 qx = static_cast<s32>(p.X) - SceneShift();
    const s32 qy = static_cast<s32>(p.Y);
    const CIntRect inner(m_FrameRect.X + kFrameLeft, m_FrameRect.Y + kFrameTop,
                         m_FrameRect.Width - kFrameLeft - kFrameRight, m_FrameRect.Height - kFrameTop - kFrameBottom);
    const bool onClose = m_CloseRect.Contains(qx, qy);
    if (onClose || !inner.Contains(qx, qy))
    {
        HogPlay(onClose ? "gui_button_press" : "gui_window_open_close");
        m_PopupOpen = false;
        ResetHudHint();
        return true;
    }
    if (!m_PopupScene)
        return true;

    const CPoint2i origin = GetPopupOrigin();
    const CVector2 l(p.X - static_cast<float>(origin.X), p.Y - static_cast<float>(origin.Y));
    CHud* hud = HogHud();
    CHudCursorItem* cursor = hud ? &hud->GetCursorItem() : nullptr;
    const bool empty = !cursor || cursor->IsEmpty();
    const bool activate = PopupHasActivateEntries();

    if (qe::CSceneObject* object = m_PopupRunner.ActivateObjectAt(m_PopupScene, l.X, l.Y, m_HogIndex))
    {
        if (cursor)
            cursor->Take(object, object, true);
        return true;
    }
    if (empty && m_PopupRunner.ZoneSpeechAt(m_PopupScene, m_HogIndex, l.X, l.Y, true))
        return true;

    // The entries name the activate object by itself, not by the scene path the cursor reports.
    qe::CSceneObject* carriedObject = empty ? nullptr : cursor->GetObject();
    const CFixedString carried = carriedObject ? CFixedString(carriedObject->GetNameCStr()) : CFixedString();
    if (m_PopupRunner.StartEntry(m_PopupScene, l.X, l.Y, m_PopupScene->GetName().GetText(), m_HogIndex,
                                 carried.GetText()))
    {
        if (!empty)
        {
            qe::CSceneObject* object = cursor->GetObject();
            cursor->Release();
            if (object)
                object->AddFlags(qe::CSceneObject::kDisabled | qe::CSceneObject::kHidden);
            if (qe::CScene* scene = GetScene())
                if (qe::CSceneObject* mirror = scene->FindObject(carried))
                    mirror->AddFlags(qe::CSceneObject::kDisabled | qe::CSceneObject::kHidden);
        }
        RequestSave();
        return true;
    }

    if (activate && cursor)
        cursor->Release();
    if (m_ItemList->Click(p, true, GetScene()))
    {
        if (m_ItemList->IsDone())
            m_PopupOpen = false;
        ResetHudHint();
        RequestSave();
    }
    return true;
}

bool CHog::OnMouseMove(const CPoint2i& point)
{
    if (m_ItemList->IsDone())
        return false;
    const CVector2 p(static_cast<float>(point.X + SceneShift()), static_cast<float>(point.Y));
    if (m_ItemList->IsCompletionPending())
        return m_ItemList->OnMouseMove(p);
    if (m_PopupOpen)
        return HandlePopupMove(p);
    if (m_PopupArea && !m_PopupArea->HasFlags(qe::CSceneObject::kDisabled) && m_PopupArea->HitTest(p))
    {
        HogSetCursor(kHogCursorMagnifier);
        return true;
    }
    if (m_LeaveArea.Contains(point.X, point.Y))
    {
        HogSetCursor(kHogCursorArrow);
        return true;
    }
    return m_ItemList->OnMouseMove(p);
}

bool CHog::HandlePopupMove(const CVector2& p)
{
    m_CloseState = 0;
    if (m_PopupRunner.IsBusy())
        return true;
    if (m_CloseRect.Contains(static_cast<s32>(p.X) - SceneShift(), static_cast<s32>(p.Y)))
    {
        m_CloseState = 1;
        HogSetCursor(kHogCursorHand);
        return true;
    }
    if (!m_PopupScene)
        return true;
    const CPoint2i origin = GetPopupOrigin();
    const float lx = p.X - static_cast<float>(origin.X);
    const float ly = p.Y - static_cast<float>(origin.Y);
    CHud* hud = HogHud();
    const bool empty = !hud || hud->GetCursorItem().IsEmpty();
    if (PopupHasActivateEntries())
    {
        if (empty)
        {
            if (m_PopupRunner.HitsActivateObject(m_PopupScene, lx, ly, m_HogIndex) ||
                m_PopupRunner.IsPlainZoneAt(m_PopupScene, lx, ly, m_HogIndex))
            {
                HogSetCursor(kHogCursorHand);
                return true;
            }
            if (m_PopupRunner.ZoneSpeechAt(m_PopupScene, m_HogIndex, lx, ly, false))
            {
                HogSetCursor(kHogCursorItem);
                return true;
            }
        }
        else if (m_PopupRunner.ZoneSpeechAt(m_PopupScene, m_HogIndex, lx, ly, false))
        {
            HogSetCursor(kHogCursorGear);
            return true;
        }
    }
    if (m_PopupRunner.IsPlainZoneAt(m_PopupScene, lx, ly, m_HogIndex) ||
        m_PopupRunner.ZoneSpeechAt(m_PopupScene, m_HogIndex, lx, ly, false))
        HogSetCursor(kHogCursorHand);
    return true;
}

bool CHog::ClickAt(s32 x, s32 y, bool adjust)
{
    m_AdjustClicks = adjust;
    OnMouseDown(CPoint2i(x, y));
    m_AdjustClicks = true;
    return true;
}

void CHog::Leave(bool popHudMode, bool checkAchievement)
{
    CGameWindow* window = CGameWindow::GetInstance();
    CHud* hud = window ? &window->GetHud() : nullptr;
    if (m_PreviousScene)
    {
        if (window)
            window->OpenScene(m_PreviousScene->GetName().GetText(), popHudMode, true);
    }
    else
    {
        // Nowhere to return to: stay in the scene but still leave the search's HUD mode.
        if (!m_ReportedNoPrevious)
        {
            lv::core::CLog::Instance().Print("game", 2, "Hidden-object search '%s' has no previous scene to return to.",
                                             GetMinigameName() ? GetMinigameName() : "");
            m_ReportedNoPrevious = true;
        }
        if (popHudMode && hud && hud->GetMode() == CHud::kModeHog)
            hud->PopMode();
    }
    if (hud)
    {
        hud->GetHint().Reset();
        hud->GetInventory().Close();
        hud->GetTaskList().CancelAutoClose();
    }
    if (checkAchievement && window && CHud::IsDetectiveAchievementEarned())
        window->ShowDetectiveAchievement();
}

void CHog::GetHintPoint(qe::CSceneObject* object, bool& direct, CVector2& point)
{
    point = CVector2(0, 0);
    direct = true;
    if (!object)
        return;
    if (!m_PopupArea)
    {
        point = object->GetPosition();
        return;
    }
    const bool popupItem = m_ItemList->IsPopupItem(object);
    if (m_PopupOpen)
    {
        point = CHogItemList::GetItemPosition(object);
        if (popupItem)
        {
            const CPoint2i origin = GetPopupOrigin();
            point = CVector2(point.X + static_cast<float>(origin.X), point.Y + static_cast<float>(origin.Y));
        }
        else
            m_PopupOpen = false;
        return;
    }
    if (popupItem)
    {
        direct = false;
        point = m_PopupArea->GetPosition();
        return;
    }
    point = CHogItemList::GetItemPosition(object);
}

bool CHog::HasPopupHintCandidate()
{
    return m_PopupScene && m_PopupRunner.HasEnabledZone(m_PopupScene, m_HogIndex);
}

qe::CSceneObject* CHog::FindHintItem(qe::CSceneObject*& second)
{
    second = nullptr;
    if (!m_PopupOpen)
        return nullptr;
    if (qe::CSceneObject* item = m_ItemList->RandomPopupItem(false, false))
        return item;
    if (!m_PopupScene)
        return nullptr;
    if (PopupHasActivateEntries())
    {
        qe::CSceneObject* activate = nullptr;
        if (qe::CSceneObject* zone = m_PopupRunner.HintPair(m_PopupScene, m_HogIndex, activate))
        {
            second = zone;
            return activate;
        }
    }
    for (const CFixedString& id : m_PopupRunner.ZoneIds(m_PopupScene->GetName().GetText(), m_HogIndex))
    {
        qe::CSceneObject* zone = id.IsEmpty() ? nullptr : m_PopupScene->FindObject(id);
        if (zone && !zone->HasFlags(qe::CSceneObject::kDisabled))
            return zone;
    }
    return nullptr;
}

void CHog::CountHintUse()
{
    if (!m_ItemList->IsCompletionPending())
        m_ItemList->CountHint();
}

void CHog::SaveState(qe::CBinaryWriter& writer)
{
    writer.WriteNameString(CFixedString(kHogStateTag));
    writer.WriteInt32(kStateVersion);
    writer.WriteBool(m_TextureListView);
    m_ItemList->SaveState(writer);
}

bool CHog::LoadState(qe::CBinaryReader& reader)
{
    const CFixedString tag = reader.ReadNameString();
    const s32 version = reader.ReadInt32();
    if (reader.HasError() || !(tag == CFixedString(kHogStateTag)) || version != kStateVersion)
        return false;
    const bool textureList = reader.ReadBool();
    if (reader.HasError())
        return false;
    m_TextureListView = textureList;
    return m_ItemList->LoadState(reader);
}

} // namespace game
