#include "game/play/HogItemList.h"

#include "anim/ParticleFlags.h"
#include "anim/ParticleSystem.h"
#include "core/Color.h"
#include "core/FixedString.h"
#include "core/FloatRect.h"
#include "core/IntRect.h"
#include "core/Log.h"
#include "core/Quad.h"
#include "core/StringTable.h"
#include "core/TimeSystem.h"
#include "game/frontend/ProfileManager.h"
#include "game/hud/Hud.h"
#include "game/play/GameWindow.h"
#include "game/play/Hog.h"
#include "graphics/Font.h"
#include "graphics/ImageHandle.h"
#include "graphics/Renderer.h"
#include "qe/AreaObject.h"
#include "qe/BinaryReader.h"
#include "qe/BinaryWriter.h"
#include "qe/ClipObject.h"
#include "qe/GroupObject.h"
#include "qe/ImageObject.h"
#include "qe/Scene.h"
#include "qe/SceneObject.h"
#include "sound/AudioManager.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <string>

namespace game {

namespace {

constexpr s32 kListSceneWidth = 1366;
constexpr s32 kListRowOffsets[4] = {-285, -95, 95, 285};
constexpr s32 kListParkedFlag = 0x8000;
constexpr s32 kListCaptionFlags = 72;
constexpr s32 kListCaptionWidth = 250;
constexpr u16 kListTakenFlags = qe::CSceneObject::kHidden | qe::CSceneObject::kRemoved;
constexpr s32 kListHintDraws = 10000;
constexpr s32 kListPopupDraws = 1000;
constexpr const char16_t* kListEmptyLabel = u"<empty_label>";

lv::core::CTimeSystem& ListClock()
{
    return CGameWindow::GetClock();
}

s32 ListShift()
{
    return (kListSceneWidth - CHud::GetScreenSize().X) / 2;
}

CColor ListColor(s32 r, s32 g, s32 b, s32 alpha = 255)
{
    return CColor::CColorArgb(alpha, r, g, b);
}

qe::CSceneObject* ListChildNamed(const qe::CSceneObject* object, const char* name)
{
    return object ? object->FindChild(CFixedString(name)) : nullptr;
}

lv::graphics::CImageHandle* ListChildImage(const qe::CSceneObject* object, const char* name)
{
    qe::CSceneObject* child = ListChildNamed(object, name);
    if (!child || child->GetType() != qe::CSceneObject::kTypeImage)
        return nullptr;
    return static_cast<qe::CImageObject*>(child)->GetImage();
}

bool ListObjectTakes(qe::CSceneObject* object, const CVector2& point)
{
    return object && object->HitTest(point);
}

// The group's own hit rule: its "patch" child covers a part that does not count.
bool ListGroupTakes(const qe::CSceneObject* group, const CVector2& point, bool innerFallback)
{
    if (ListObjectTakes(ListChildNamed(group, "patch"), point))
        return false;
    qe::CSceneObject* target = ListChildNamed(group, "object");
    if (!target && innerFallback)
        target = ListChildNamed(group, "__inv");
    return ListObjectTakes(target, point);
}

const char16_t* ListHintTextOf(const qe::CSceneObject* object)
{
    const char* hint = object ? object->GetHintText() : nullptr;
    char* end = nullptr;
    const long id = hint && *hint ? std::strtol(hint, &end, 10) : 0;
    if (id == 0 || !end || *end != '\0')
        return kListEmptyLabel;
    const WChar* text = lv::core::CStringTable::Instance().GetString(static_cast<s32>(id));
    return text ? text : kListEmptyLabel;
}

SProfileValues* ListProfileValues()
{
    CProfileManager* profiles = CProfileManager::Instance();
    return profiles ? profiles->GetCurrentValues() : nullptr;
}

void ListRaiseToEarned(u16& value)
{
    if (value < SProfileValues::kAchievementEarned)
        value = SProfileValues::kAchievementEarned;
}

CPoint2i ListToPoint(const CVector2& v)
{
    return CPoint2i(static_cast<s32>(v.X), static_cast<s32>(v.Y));
}

CVector2 ListToVector(const CPoint2i& p)
{
    return CVector2(static_cast<float>(p.X), static_cast<float>(p.Y));
}

void PlayListSound(const char* name)
{
    CGameWindow::GetAudio().Play(name);
}

} // namespace

CHogItemList::CHogItemList() = default;

CHogItemList::~CHogItemList() = default;

CPoint2i CHogItemList::LayoutSize() const
{
    return CHud::GetScreenSize();
}

bool CHogItemList::SameText(const char16_t* a, const char16_t* b)
{
    if (!a || !b || !*a)
        return false;
    return std::u16string_view(a) == std::u16string_view(b);
}

void CHogItemList::Init(CHog* owner)
{
    m_Owner = owner;
    for (SEntry& entry : m_Entries)
        entry = SEntry();
    for (s32 i = 0; i < kMaxEntries; ++i) {
        m_RowOfEntry[i] = 0;
        m_RowFirstEntry[i] = -1;
        m_RowStruck[i] = false;
    }
    m_RowCount = 0;
    for (s32 n = 0; n < kMaxSpecials; ++n) {
        m_SpecialObjects[n] = nullptr;
        m_SpecialImages[n] = nullptr;
    }
    m_Taken = 0;
    m_Total = 0;
    m_SpecialCount = 0;
    m_Done = false;
    m_CompletionPending = false;
    m_SmokeRunning = false;
    m_CloseStart = -1;
    m_FlightStart = -1;
    m_FlightImage = nullptr;
    m_FlightObject = nullptr;
    m_MainCount = kMaxEntries;
    m_LastTaken = -1;
    m_Misses = 0;
    m_HintsUsed = 0;
    m_ShineElapsed = -1;
    m_ShineRunning = false;

    lv::core::CTimeSystem& clock = ListClock();
    for (s32 i = 0; i < kSparkCount; ++i) {
        m_Sparks[i] = std::make_unique<lv::misc::anim::CParticleSystem>(clock.CreateTimer(nullptr));
        m_Sparks[i]->Load("hog_take_sparks");
        m_Sparks[i]->SetFlags(m_Sparks[i]->GetFlags() | kListParkedFlag);
        m_SparkEntry[i] = -1;
        m_SparkAge[i] = 0;
    }
    m_Smoke = std::make_unique<lv::misc::anim::CParticleSystem>(clock.CreateTimer(nullptr));
    m_Smoke->Load("02_05_lamp_explosion_smoke copy");
    m_Smoke->SetFlags(m_Smoke->GetFlags() | kListParkedFlag);
}

void CHogItemList::ReadSpecialItem(const char* key, const char* value, qe::CScene* scene)
{
    if (!key || !value || !scene)
        return;
    for (s32 n = 1; n <= kMaxSpecials; ++n) {
        const std::string wanted = "item" + std::to_string(n);
        if (!std::strstr(key, wanted.c_str()))
            continue;
        // Rewards are handed out from the front of the table: a lone "item2" takes the first
        // free slot, and a reward the scene lacks is left out rather than given as nothing.
        qe::CSceneObject* object = scene->FindObject(value);
        if (!object) {
            lv::core::CLog::Instance().Print("hog", 2, "special item '%s' not found", value);
            return;
        }
        if (m_SpecialCount >= kMaxSpecials)
            return;
        m_SpecialObjects[m_SpecialCount] = object;
        // Only a group with an "__inv" child has a picture; any other reward shows its caption.
        m_SpecialImages[m_SpecialCount] =
            object->GetType() == qe::CSceneObject::kTypeGroup ? ListChildImage(object, "__inv") : nullptr;
        ++m_SpecialCount;
        return;
    }
}

void CHogItemList::Build(s32 hogIndex, qe::CScene* scene, lv::graphics::CFont* font, qe::CScene* popupScene)
{
    m_Scene = scene;
    m_Font = font;
    const std::string prefix = "hog" + std::to_string(hogIndex) + "_";
    s32 count = 0;
    const auto collect = [&](qe::CScene* from) {
        if (!from)
            return;
        for (qe::CSceneObject* object : from->GetObjects()) {
            if (count >= kMaxEntries)
                return;
            const char* name = object->GetNameCStr();
            if (!std::strstr(name, prefix.c_str()) || std::strchr(name, '*'))
                continue;
            SEntry& entry = m_Entries[count];
            entry.Object = object;
            entry.Text = ListHintTextOf(object);
            entry.Found = object->HasFlags(qe::CSceneObject::kRemoved);
            entry.Grouped = false;
            m_Strikethroughs[count].Load("hog_strikethrough", true);
            ++count;
        }
    };
    collect(scene);
    m_MainCount = count;
    collect(popupScene);
    m_Total = count;

    for (s32 i = 0; i < m_Total; ++i)
        for (s32 j = 0; j < m_Total; ++j)
            if (i != j && SameText(m_Entries[i].Text, m_Entries[j].Text))
                m_Entries[i].Grouped = true;

    m_RowCount = 0;
    for (s32 i = 0; i < m_Total; ++i) {
        s32 earlier = -1;
        if (m_Entries[i].Grouped)
            for (s32 j = 0; j < i && earlier < 0; ++j)
                if (SameText(m_Entries[j].Text, m_Entries[i].Text))
                    earlier = j;
        if (earlier >= 0) {
            m_RowOfEntry[i] = m_RowOfEntry[earlier];
            continue;
        }
        m_RowOfEntry[i] = m_RowCount;
        m_RowFirstEntry[m_RowCount] = i;
        ++m_RowCount;
    }

    const s32 lineHeight = m_Font ? m_Font->pixelHeight : 0;
    for (s32 row = 0; row < m_RowCount; ++row) {
        CClip& clip = m_Strikethroughs[row];
        const CPoint2i anchor = GetRowAnchor(row);
        const std::u16string text = m_Entries[m_RowFirstEntry[row]].Text;
        const s32 width = m_Font ? m_Font->GetTextWidth(text) : 0;
        clip.SetPosition(CVector2(static_cast<float>(anchor.X), static_cast<float>(anchor.Y + lineHeight / 2)));
        clip.SetSize(CVector2(static_cast<float>(width), clip.GetRectSize().Y));
        clip.Stop();
        m_RowStruck[row] = false;
    }

    CVector2 origin;
    m_Message.Load(origin);
    const s32 mx = static_cast<s32>(origin.X), my = static_cast<s32>(origin.Y);
    for (s32 n = 0; n < m_SpecialCount; ++n) {
        m_SpecialStart[n] = CPoint2i(mx - 10 + (n + 1) * 300 / (m_SpecialCount + 1), my + 130);
        m_SpecialPosition[n] = m_SpecialStart[n];
    }
}

CPoint2i CHogItemList::GetRowAnchor(s32 row) const
{
    const CPoint2i size = LayoutSize();
    return CPoint2i(size.X / 2 + kListRowOffsets[row % 4], kRowTop + kRowSpacing * (row / 4));
}

s32 CHogItemList::GetRowOfEntry(s32 index) const
{
    return m_RowOfEntry[index];
}

CPoint2i CHogItemList::PictureCell(s32 index) const
{
    const CPoint2i size = LayoutSize();
    return CPoint2i(index * 84 + size.X / 2 - 512, size.Y - 90);
}

s32 CHogItemList::RowRemaining(s32 row, bool* anyEnabled) const
{
    if (anyEnabled)
        *anyEnabled = false;
    const s32 first = m_RowFirstEntry[row];
    if (first < 0)
        return 0;
    s32 remaining = 0;
    for (s32 i = 0; i < m_Total; ++i) {
        if (m_RowOfEntry[i] != row || m_Entries[i].Found)
            continue;
        ++remaining;
        if (anyEnabled && m_Entries[i].Object && !m_Entries[i].Object->HasFlags(qe::CSceneObject::kDisabled))
            *anyEnabled = true;
    }
    return remaining;
}

std::u16string CHogItemList::GetRowText(s32 row) const
{
    const s32 first = m_RowFirstEntry[row];
    if (first < 0)
        return {};
    std::u16string text = m_Entries[first].Text ? m_Entries[first].Text : u"";
    if (m_Entries[first].Grouped) {
        const s32 remaining = RowRemaining(row, nullptr);
        if (remaining > 1) {
            text += u" x ";
            for (char c : std::to_string(remaining))
                text += static_cast<char16_t>(c);
        }
    }
    return text;
}

CColor CHogItemList::GetRowColor(s32 row) const
{
    const CColor toFind = ListColor(250, 250, 250), disabled = ListColor(230, 115, 65),
                 found = ListColor(100, 100, 100);
    const s32 first = m_RowFirstEntry[row];
    if (first < 0)
        return toFind;
    const SEntry& entry = m_Entries[first];
    if (entry.Grouped) {
        bool anyEnabled = false;
        if (RowRemaining(row, &anyEnabled) == 0)
            return found;
        return anyEnabled ? toFind : disabled;
    }
    if (entry.Found)
        return found;
    if (entry.Object && entry.Object->HasFlags(qe::CSceneObject::kDisabled))
        return disabled;
    return toFind;
}

void CHogItemList::PlayStrikethrough(s32 row)
{
    m_Strikethroughs[row].Stop();
    m_Strikethroughs[row].Play();
    m_RowStruck[row] = true;
}

CVector2 CHogItemList::GetItemPosition(const qe::CSceneObject* object)
{
    if (!object)
        return CVector2();
    switch (object->GetType()) {
    case qe::CSceneObject::kTypeGroup: {
        qe::CSceneObject* child = ListChildNamed(object, "object");
        if (!child)
            child = ListChildNamed(object, "__inv");
        return child ? child->GetPosition() : CVector2();
    }
    case qe::CSceneObject::kTypeClip:
        return static_cast<const qe::CClipObject*>(object)->GetClip().GetPosition();
    default:
        return object->GetPosition();
    }
}

void CHogItemList::SetItemPosition(qe::CSceneObject* object, const CVector2& position)
{
    if (!object)
        return;
    switch (object->GetType()) {
    case qe::CSceneObject::kTypeGroup: {
        qe::CSceneObject* child = ListChildNamed(object, "object");
        if (!child)
            child = ListChildNamed(object, "__inv");
        if (child)
            child->SetPosition(position);
        return;
    }
    case qe::CSceneObject::kTypeClip:
        static_cast<qe::CClipObject*>(object)->GetClip().SetPosition(position);
        return;
    default:
        object->SetPosition(position);
        return;
    }
}

void CHogItemList::ShiftPopupItem(s32 index, float sign)
{
    qe::CSceneObject* object = m_Entries[index].Object;
    if (object->GetType() == qe::CSceneObject::kTypeGroup) {
        // The whole group moves: its hit rule asks the "patch" child as well.
        const float dx = sign * static_cast<float>(ListShift() + m_PopupOrigin.X);
        const float dy = sign * static_cast<float>(m_PopupOrigin.Y);
        for (qe::CSceneObject* child : static_cast<qe::CGroupObject*>(object)->GetChildren())
            child->SetPosition(MoveBy(child->GetPosition(), dx, dy));
        return;
    }
    SetItemPosition(object, MoveBy(GetItemPosition(object), sign * static_cast<float>(ListShift() + m_PopupOrigin.X),
                                   sign * static_cast<float>(m_PopupOrigin.Y)));
}

bool CHogItemList::HitEntry(s32 index, const CVector2& point, bool inPopup, qe::CScene* mirrorScene)
{
    qe::CSceneObject* object = m_Entries[index].Object;
    const bool group = object->GetType() == qe::CSceneObject::kTypeGroup;
    if (inPopup) {
        ShiftPopupItem(index, 1.0f);
        const bool hit = group ? ListGroupTakes(object, point, true) : ListObjectTakes(object, point);
        ShiftPopupItem(index, -1.0f);
        if (hit && mirrorScene) {
            const char* name = object->GetNameCStr();
            const char* rest = std::strlen(name) > 5 ? name + 5 : "";
            for (qe::CSceneObject* other : mirrorScene->GetObjects()) {
                if (std::strcmp(other->GetNameCStr(), rest) == 0) {
                    other->SetFlags(qe::CSceneObject::kHidden);
                    break;
                }
            }
        }
        return hit;
    }
    qe::CAreaObject* area = nullptr;
    const std::string areaName = std::string(object->GetNameCStr()) + "*";
    if (m_Scene && m_Scene->TryFindAreaObject(areaName.c_str(), area))
        return ListObjectTakes(area, point);
    return group ? ListGroupTakes(object, point, false) : ListObjectTakes(object, point);
}

bool CHogItemList::Click(const CVector2& point, bool inPopup, qe::CScene* mirrorScene)
{
    if (m_CloseStart != -1 || m_Punishment.IsActive())
        return false;
    if (m_CompletionPending) {
        if (m_Message.IsButtonHovered()) {
            for (s32 n = 0; n < m_SpecialCount; ++n) {
                PlayListSound("button_press");
                if (CGameWindow* window = CGameWindow::GetInstance())
                    window->GetHud().GetInventory().AddItem(m_SpecialObjects[n], false);
            }
            m_CloseStart = ListClock().GetTime();
            m_CompletionPending = false;
            m_Punishment.End();
        }
        return true;
    }
    if (!inPopup && m_Owner) {
        const CIntRect& leave = m_Owner->GetLeaveArea();
        if (leave.Contains(static_cast<s32>(point.X) - ListShift(), static_cast<s32>(point.Y))) {
            m_Owner->Leave(true, false);
            m_Punishment.End();
            return true;
        }
    }
    const s32 first = inPopup ? m_MainCount : 0;
    const s32 last = inPopup ? kMaxEntries : m_MainCount;
    for (s32 i = first; i < last && i < m_Total; ++i) {
        const SEntry& entry = m_Entries[i];
        if (!entry.Object || entry.Found || entry.Object->HasFlags(qe::CSceneObject::kDisabled))
            continue;
        if (HitEntry(i, point, inPopup, mirrorScene)) {
            Take(i);
            return true;
        }
    }
    if (CHud::GetDifficulty() == 2)
        m_Punishment.RegisterMiss(ListClock().GetTime());
    return false;
}

void CHogItemList::Take(s32 index)
{
    SEntry& entry = m_Entries[index];
    qe::CSceneObject* object = entry.Object;
    const s32 type = object->GetType();
    if (type == qe::CSceneObject::kTypeImage || type == qe::CSceneObject::kTypeGroup)
        object->AddFlags(qe::CSceneObject::kRemoved);
    entry.Found = true;

    const s32 row = m_RowOfEntry[index];
    if (RowRemaining(row, nullptr) == 0) {
        PlayListSound("gui_hog_list");
        PlayStrikethrough(row);
    }

    m_LastTaken = index;
    const bool pictures = m_Owner && m_Owner->IsTextureListView();
    const CPoint2i end = pictures ? PictureCell(index) : GetRowAnchor(row);
    const bool popupItem = index >= m_MainCount;
    if (popupItem)
        ShiftPopupItem(index, 1.0f);
    CVector2 start = GetItemPosition(object);
    if (popupItem)
        ShiftPopupItem(index, -1.0f);
    start.X -= static_cast<float>(ListShift());
    const CPoint2i from = ListToPoint(start);

    StartFlight(object, from, end);
    ++m_Taken;

    m_Smoke->SetEmitterPosition(start);
    m_Smoke->SetFlags(m_Smoke->GetFlags() & ~static_cast<u32>(kListParkedFlag));
    m_Smoke->Restart();
    m_SmokeRunning = true;

    s32 spark = -1;
    for (s32 i = 0; i < kSparkCount && spark < 0; ++i)
        if (m_SparkEntry[i] == -1)
            spark = i;
    if (spark < 0) {
        spark = 0;
        for (s32 i = 1; i < kSparkCount; ++i)
            if (m_SparkAge[i] > m_SparkAge[spark])
                spark = i;
    }
    lv::misc::anim::CParticleSystem& sparks = *m_Sparks[spark];
    sparks.SetFlags(sparks.GetFlags() & ~static_cast<u32>(kListParkedFlag));
    m_SparkEntry[spark] = index;
    m_SparkAge[spark] = 0;
    sparks.SetEmitterPosition(start);
    sparks.Restart();
    m_SparkFrom[spark] = from;
    m_SparkTo[spark] = m_FlightTo;

    m_Punishment.End();
    PlayListSound("gui_add_to_inventory");

    if (m_Taken == m_Total) {
        m_CompletionPending = true;
        if (pictures && !m_ShineRunning) {
            m_ShineRunning = true;
            m_ShineElapsed = 0;
            for (s32 i = 0; i < m_Total && i < kPictureCount; ++i)
                if (ListChildNamed(m_Entries[i].Object, "shine"))
                    m_ShineFrom[i] = m_ShinePosition[i] = ListToVector(PictureCell(i));
        }
        if (SProfileValues* values = ListProfileValues()) {
            if (m_Misses == 0)
                ListRaiseToEarned(values->Achievements[1]);
            if (m_HintsUsed == 0)
                ListRaiseToEarned(values->Achievements[2]);
        }
    }
}

void CHogItemList::StartFlight(qe::CSceneObject* object, const CPoint2i& from, const CPoint2i& to)
{
    m_FlightFrom = from;
    m_FlightTo = to;
    m_FlightPoint = from;
    m_FlightImage = nullptr;
    m_FlightObject = nullptr;
    switch (object->GetType()) {
    case qe::CSceneObject::kTypeImage:
        m_FlightImage = static_cast<qe::CImageObject*>(object)->GetImage();
        break;
    case qe::CSceneObject::kTypeGroup: {
        const bool pictures = m_Owner && m_Owner->IsTextureListView();
        m_FlightImage = pictures ? ListChildImage(object, "inv") : nullptr;
        if (!m_FlightImage)
            m_FlightImage = ListChildImage(object, "object");
        break;
    }
    default:
        m_FlightObject = object;
        break;
    }
    m_FlightStart = ListClock().GetTime();
    m_FlightProgress = 0;
}

void CHogItemList::FinishFlight()
{
    m_FlightProgress = 1.0f;
    m_FlightStart = -1;
    if (m_LastTaken >= 0) {
        qe::CSceneObject* object = m_Entries[m_LastTaken].Object;
        if (object && !object->HasFlags(qe::CSceneObject::kRemoved))
            object->AddFlags(kListTakenFlags);
    }
    bool allFound = true;
    for (s32 i = 0; i < m_Total; ++i)
        allFound = allFound && m_Entries[i].Found;
    if (allFound) {
        m_CompletionPending = true;
        if (CGameWindow* window = CGameWindow::GetInstance())
            window->GetHud().GetHint().Reset();
    }
}

void CHogItemList::Finish()
{
    m_CloseStart = -1;
    m_Done = true;
    m_CompletionPending = true;
    if (m_Owner) {
        m_Owner->Complete();
        m_Owner->Leave(true, true);
    }
}

float CHogItemList::ShineFactor() const
{
    return m_ShineElapsed > 500 ? static_cast<float>(m_ShineElapsed - 500) / 1000.0f : 0.0f;
}

void CHogItemList::Update()
{
    const s32 now = ListClock().GetTime();
    const s32 delta = ListClock().GetFrameDelta();

    if (m_FlightStart != -1) {
        const s32 elapsed = now - m_FlightStart;
        qe::CSceneObject* flying = m_FlightObject;
        if (elapsed < kFlightTime) {
            m_FlightProgress = static_cast<float>(elapsed) / static_cast<float>(kFlightTime);
        } else {
            FinishFlight();
        }
        const float t = m_FlightProgress;
        m_FlightPoint = CPoint2i(m_FlightFrom.X + static_cast<s32>(static_cast<float>(m_FlightTo.X - m_FlightFrom.X) * t),
                                 m_FlightFrom.Y + static_cast<s32>(static_cast<float>(m_FlightTo.Y - m_FlightFrom.Y) * t));
        if (flying) {
            const s32 alpha = static_cast<s32>((1.0f - t) * 255.0f);
            SetItemPosition(flying, ListToVector(m_FlightPoint));
            flying->SetOpacity(1.0f - t);
            if (flying->GetType() == qe::CSceneObject::kTypeClip) {
                auto* clip = static_cast<qe::CClipObject*>(flying);
                clip->SetAngle(t * std::numbers::pi_v<float>);
                clip->SetColor(CColor::CColorArgb(alpha, 255, 255, 255));
            }
        }
    }

    const CPoint2i size = LayoutSize();
    if (!m_Done) {
        if (m_CloseStart == -1) {
            if (AllTaken() && !m_CompletionPending)
                Finish();
        } else {
            const s32 elapsed = now - m_CloseStart;
            m_ClosingProgress = static_cast<float>(elapsed) / static_cast<float>(kCloseTime);
            const CPoint2i target(size.X / 2, size.Y + 50);
            for (s32 n = 0; n < m_SpecialCount; ++n) {
                const CPoint2i& s = m_SpecialStart[n];
                m_SpecialPosition[n] =
                    CPoint2i(s.X + static_cast<s32>(static_cast<float>(target.X - s.X) * m_ClosingProgress),
                             s.Y + static_cast<s32>(static_cast<float>(target.Y - s.Y) * m_ClosingProgress));
            }
            if (elapsed > kCloseTime)
                Finish();
        }
    }

    for (s32 row = 0; row < kRowCount; ++row)
        m_Strikethroughs[row].Update();

    if (m_SmokeRunning) {
        if (m_Smoke->IsFinished())
            m_SmokeRunning = false;
        else
            m_Smoke->Update();
    }

    m_Punishment.Update(delta);

    if (m_ShineRunning && m_ShineElapsed >= 0) {
        m_ShineElapsed += delta;
        const CVector2 centre(static_cast<float>(size.X / 2), static_cast<float>(size.Y / 2));
        if (m_ShineElapsed >= kShineTime) {
            m_ShineElapsed = -1;
            for (CVector2& position : m_ShinePosition)
                position = centre;
        } else {
            const float t = ShineFactor();
            for (s32 i = 0; i < kPictureCount; ++i)
                m_ShinePosition[i] = CVector2(m_ShineFrom[i].X + (centre.X - m_ShineFrom[i].X) * t,
                                              m_ShineFrom[i].Y + (centre.Y - m_ShineFrom[i].Y) * t);
        }
    }

    for (s32 i = 0; i < kSparkCount; ++i) {
        if (m_SparkEntry[i] == -1)
            continue;
        m_SparkAge[i] += delta;
        lv::misc::anim::CParticleSystem& sparks = *m_Sparks[i];
        if (m_SparkAge[i] <= kSparkTime) {
            const float t = static_cast<float>(m_SparkAge[i]) / static_cast<float>(kSparkTime);
            sparks.SetEmitterPosition(
                CVector2(static_cast<float>(m_SparkFrom[i].X) + static_cast<float>(m_SparkTo[i].X - m_SparkFrom[i].X) * t,
                         static_cast<float>(m_SparkFrom[i].Y) + static_cast<float>(m_SparkTo[i].Y - m_SparkFrom[i].Y) * t));
            sparks.Update();
        } else {
            m_SparkEntry[i] = -1;
            sparks.SetFlags(sparks.GetFlags() | kListParkedFlag);
        }
    }
}

void CHogItemList::Draw(lv::graphics::CRenderer& renderer)
{
    const bool pictures = m_Owner && m_Owner->IsTextureListView();
    const CColor none = CColor::CColorArgb(0, 0, 0, 0);
    if (pictures) {
        const bool shining = m_ShineRunning && m_ShineElapsed >= 0;
        const bool over = m_ShineRunning && m_ShineElapsed < 0;
        const s32 alpha = shining ? 255 - static_cast<s32>(ShineFactor() * 255.0f) : 255;
        for (s32 i = 0; i < m_Total && i < kPictureCount && !over; ++i) {
            lv::graphics::CImageHandle* image =
                ListChildImage(m_Entries[i].Object, m_Entries[i].Found ? "shine" : "miss");
            if (!image)
                continue;
            const CVector2 at = shining ? m_ShinePosition[i] : ListToVector(PictureCell(i));
            renderer.DrawImage(image, at.X, at.Y, 0, ListColor(255, 255, 255, alpha));
        }
    } else if (m_Font) {
        for (s32 row = 0; row < m_RowCount; ++row) {
            const std::u16string text = GetRowText(row);
            const CPoint2i anchor = GetRowAnchor(row);
            const s32 width = m_Font->GetTextWidth(text);
            renderer.RenderText(m_Font, text.c_str(), CIntRect(anchor.X - width / 2, anchor.Y, width, m_Font->pixelHeight),
                                0, 0, GetRowColor(row), none, none, none, -1, -1);
        }
    }

    for (s32 row = 0; row < kRowCount; ++row)
        m_Strikethroughs[row].Draw(renderer);

    if (m_SmokeRunning)
        m_Smoke->Draw(renderer);
    for (s32 i = 0; i < kSparkCount; ++i)
        if (m_SparkEntry[i] != -1)
            m_Sparks[i]->Draw(renderer);

    m_Punishment.Draw(renderer);

    if ((m_CompletionPending || m_CloseStart != -1) && !m_Done) {
        const s32 alpha =
            m_CloseStart != -1 ? static_cast<s32>((1.0f - std::min(m_ClosingProgress, 1.0f)) * 255.0f) : 255;
        m_Message.Draw(renderer, alpha);
        for (s32 n = 0; n < m_SpecialCount; ++n) {
            lv::graphics::CImageHandle* image = m_SpecialImages[n];
            const s32 imageWidth = image ? image->GetWidth() : 0;
            if (m_Font && alpha > 0) {
                const char16_t* caption = ListHintTextOf(m_SpecialObjects[n]);
                renderer.RenderText(m_Font, caption,
                                    CIntRect(m_SpecialStart[n].X + (imageWidth - kListCaptionWidth) / 2,
                                             m_SpecialStart[n].Y + 60, kListCaptionWidth, 1),
                                    kListCaptionFlags, 0, ListColor(255, 255, 255, alpha), none, none, none, -1, -1);
            }
            if (image)
                renderer.DrawImage(image, static_cast<float>(m_SpecialPosition[n].X),
                                   static_cast<float>(m_SpecialPosition[n].Y - 30), 0, ListColor(255, 255, 255, alpha));
        }
    }

    if (m_FlightStart != -1 && m_FlightImage) {
        const float w = static_cast<float>(m_FlightImage->GetWidth());
        const float h = static_cast<float>(m_FlightImage->GetHeight());
        const float angle = m_FlightProgress * std::numbers::pi_v<float>;
        const float c = std::cos(angle), s = std::sin(angle);
        const CVector2 centre = ListToVector(m_FlightPoint);
        CQuad quad(-w / 2, -h / 2, w, h);
        for (CVector2& corner : quad.Corners)
            corner = CVector2(centre.X + corner.X * c - corner.Y * s, centre.Y + corner.X * s + corner.Y * c);
        renderer.DrawImageQuadFrame(m_FlightImage, quad, 0,
                                    ListColor(255, 255, 255, static_cast<s32>((1.0f - m_FlightProgress) * 255.0f)));
    }
}

void CHogItemList::DrawDebugOutlines(bool popupOpen, lv::graphics::CRenderer& renderer)
{
    const s32 first = popupOpen ? m_MainCount : 0;
    const s32 last = popupOpen ? kMaxEntries : m_MainCount;
    for (s32 i = first; i < last && i < m_Total; ++i) {
        const SEntry& entry = m_Entries[i];
        if (!entry.Object || entry.Found)
            continue;
        CVector2 position = GetItemPosition(entry.Object);
        if (popupOpen)
            position = MoveBy(position, static_cast<float>(m_PopupOrigin.X), static_cast<float>(m_PopupOrigin.Y));
        const CVector2 size = entry.Object->GetSize();
        const CColor color = entry.Object->HasFlags(qe::CSceneObject::kDisabled) ? ListColor(255, 128, 128)
                                                                                 : ListColor(255, 255, 255);
        renderer.DrawRectOutline(CFloatRect(position.X - size.X / 2, position.Y - size.Y / 2, size.X, size.Y), color);
    }
}

bool CHogItemList::OnMouseMove(const CVector2& point)
{
    return m_Message.OnMouseMove(point, m_CompletionPending);
}

void CHogItemList::CountMiss()
{
    if (!m_CompletionPending)
        ++m_Misses;
}

void CHogItemList::CountHint()
{
    if (!m_CompletionPending)
        ++m_HintsUsed;
}

bool CHogItemList::IsPopupItem(const qe::CSceneObject* object) const
{
    if (!object)
        return false;
    const u64 guid = object->GetGuid();
    for (s32 i = m_MainCount; i < m_Total; ++i) {
        const qe::CSceneObject* entry = m_Entries[i].Object;
        if (!entry)
            continue;
        if (entry->GetGuid() == guid)
            return true;
        if (entry->GetType() == qe::CSceneObject::kTypeGroup) {
            const qe::CSceneObject* child = ListChildNamed(entry, "object");
            if (child && child->GetGuid() == guid)
                return true;
        }
    }
    return false;
}

qe::CSceneObject* CHogItemList::RandomHintItem(bool popupOpen) const
{
    if (m_Taken >= m_Total)
        return nullptr;
    s32 first = 0, count = m_Total;
    if (popupOpen) {
        for (s32 i = m_MainCount; i < m_Total; ++i)
            if (!m_Entries[i].Found) {
                first = m_MainCount;
                count = m_Total - m_MainCount;
                break;
            }
    }
    if (count <= 0)
        return nullptr;
    for (s32 attempt = 0; attempt < kListHintDraws; ++attempt) {
        const SEntry& entry = m_Entries[first + std::rand() % count];
        if (!entry.Object || entry.Found || entry.Object->HasFlags(qe::CSceneObject::kDisabled))
            continue;
        if (entry.Object->GetType() == qe::CSceneObject::kTypeGroup)
            return ListChildNamed(entry.Object, "object");
        return entry.Object;
    }
    return nullptr;
}

qe::CSceneObject* CHogItemList::RandomPopupItem(bool wantedDisabled, bool raw) const
{
    const s32 count = m_Total - m_MainCount;
    if (m_Taken >= m_Total || count <= 0)
        return nullptr;
    for (s32 attempt = 0; attempt < kListPopupDraws; ++attempt) {
        const SEntry& entry = m_Entries[m_MainCount + std::rand() % count];
        if (!entry.Object || entry.Found)
            continue;
        if (entry.Object->HasFlags(qe::CSceneObject::kDisabled) != wantedDisabled)
            continue;
        if (!raw && entry.Object->GetType() == qe::CSceneObject::kTypeGroup)
            return ListChildNamed(entry.Object, "object");
        return entry.Object;
    }
    return nullptr;
}

void CHogItemList::SaveState(qe::CBinaryWriter& writer)
{
    writer.WriteBool(m_CompletionPending);
    writer.WriteInt32(m_Misses);
    writer.WriteInt32(m_HintsUsed);
    for (const SEntry& entry : m_Entries)
        writer.WriteBool(entry.Found);
}

bool CHogItemList::LoadState(qe::CBinaryReader& reader)
{
    const bool pending = reader.ReadBool();
    const s32 misses = reader.ReadInt32();
    const s32 hints = reader.ReadInt32();
    bool found[kMaxEntries];
    for (bool& flag : found)
        flag = reader.ReadBool();
    if (reader.HasError())
        return false;
    m_CompletionPending = pending;
    m_Misses = misses;
    m_HintsUsed = hints;
    m_Taken = 0;
    for (s32 i = 0; i < kMaxEntries; ++i) {
        m_Entries[i].Found = found[i];
        if (found[i])
            ++m_Taken;
    }
    for (s32 row = 0; row < m_RowCount; ++row)
        if (RowRemaining(row, nullptr) == 0)
            PlayStrikethrough(row);
    return true;
}

} // namespace game
