#pragma once
// The list of items a hidden-object search asks for: finds them among the objects of the search's
// scene and of its popup scene, draws their names (or pictures) on the bottom panel, decides
// whether a click takes one and plays what follows a take (strikethrough, flight to the list,
// sparks, smoke, sounds). At the end it shows the completion message that hands out the special
// reward items. It also keeps the search's records (misses, hints used) and the fast-click
// punishment.
#include "anim/Clip.h"
#include "core/Point2i.h"
#include "core/Types.h"
#include "core/Vector2.h"
#include "game/hud/HudMessagePopup.h"
#include "game/play/HogPunishment.h"

#include <memory>
#include <string>

namespace lv::graphics {
class CFont;
class CImageHandle;
class CRenderer;
} // namespace lv::graphics

namespace lv::misc::anim {
class CParticleSystem;
}

namespace qe {
class CBinaryReader;
class CBinaryWriter;
class CScene;
class CSceneObject;
} // namespace qe

namespace game {

class CHog;

class CHogItemList
{
public:
    static constexpr s32 kMaxEntries = 20;
    static constexpr s32 kRowCount = 12;
    static constexpr s32 kPictureCount = 16;
    static constexpr s32 kSparkCount = 5;
    static constexpr s32 kMaxSpecials = 2;
    static constexpr s32 kFlightTime = 1000;
    static constexpr s32 kSparkTime = 1000;
    static constexpr s32 kCloseTime = 1000;
    static constexpr s32 kShineTime = 1500;
    // Bytes of SaveState: pending flag, misses, hints used and the 20 found flags.
    static constexpr s32 kStateSize = 92;
    // Row anchors: y of the first line and the line spacing; x offsets from the centre.
    static constexpr s32 kRowTop = 675;
    static constexpr s32 kRowSpacing = 30;

    struct SEntry
    {
        bool Found = false;
        const char16_t* Text = nullptr;
        qe::CSceneObject* Object = nullptr;
        bool Grouped = false;
    };

    CHogItemList();
    ~CHogItemList();
    CHogItemList(const CHogItemList&) = delete;
    CHogItemList& operator=(const CHogItemList&) = delete;

    void Init(CHog* owner);
    // Offered every block argument: a key containing "item1" or "item2" names a reward object.
    void ReadSpecialItem(const char* key, const char* value, qe::CScene* scene);
    void Build(s32 hogIndex, qe::CScene* scene, lv::graphics::CFont* font, qe::CScene* popupScene);
    // A click in scene coordinates; the mirror scene is the search's own scene for popup clicks.
    bool Click(const CVector2& point, bool inPopup, qe::CScene* mirrorScene);
    void CountMiss();
    void CountHint();

    bool IsDone() const { return m_Done; }
    bool IsCompletionPending() const { return m_CompletionPending; }
    bool AllTaken() const { return m_Taken == m_Total; }
    bool IsPopupItem(const qe::CSceneObject* object) const;
    bool IsPunishmentActive() const { return m_Punishment.IsActive(); }
    qe::CSceneObject* RandomPopupItem(bool wantedDisabled, bool raw) const;
    qe::CSceneObject* RandomHintItem(bool popupOpen) const;

    void Update();
    void Draw(lv::graphics::CRenderer& renderer);
    void DrawDebugOutlines(bool popupOpen, lv::graphics::CRenderer& renderer);
    bool OnMouseMove(const CVector2& point);
    void SaveState(qe::CBinaryWriter& writer);
    bool LoadState(qe::CBinaryReader& reader);

    void SetPopupOrigin(const CPoint2i& origin) { m_PopupOrigin = origin; }
    const CPoint2i& GetPopupOrigin() const { return m_PopupOrigin; }

    // The point of an item that hits, flights, hints and outlines use: an image, video or area's
    // position, a group's "object" child (else "__inv"), a clip's clip position.
    static CVector2 GetItemPosition(const qe::CSceneObject* object);
    static void SetItemPosition(qe::CSceneObject* object, const CVector2& position);

    // What the list shows and counts.
    s32 GetTotal() const { return m_Total; }
    s32 GetMainCount() const { return m_MainCount; }
    s32 GetTaken() const { return m_Taken; }
    s32 GetMisses() const { return m_Misses; }
    s32 GetHintsUsed() const { return m_HintsUsed; }
    s32 GetLastTaken() const { return m_LastTaken; }
    const SEntry& GetEntry(s32 index) const { return m_Entries[index]; }
    s32 GetRowCount() const { return m_RowCount; }
    s32 GetRowOfEntry(s32 index) const;
    CPoint2i GetRowAnchor(s32 row) const;
    // The row's caption as drawn ("text x n" while more than one of a group is left) and its
    // colour.
    std::u16string GetRowText(s32 row) const;
    CColor GetRowColor(s32 row) const;
    const CClip& GetStrikethrough(s32 row) const { return m_Strikethroughs[row]; }
    // The row's strikethrough has been played since the list was built or loaded.
    bool IsRowStruck(s32 row) const { return m_RowStruck[row]; }
    s32 GetSparkEntry(s32 spark) const { return m_SparkEntry[spark]; }
    s32 GetSparkAge(s32 spark) const { return m_SparkAge[spark]; }
    bool IsFlying() const { return m_FlightStart != -1; }
    bool IsSmokeRunning() const { return m_SmokeRunning; }
    bool IsClosing() const { return m_CloseStart != -1; }
    s32 GetSpecialCount() const { return m_SpecialCount; }
    qe::CSceneObject* GetSpecialObject(s32 n) const { return m_SpecialObjects[n]; }
    const CPoint2i& GetSpecialPosition(s32 n) const { return m_SpecialPosition[n]; }
    bool IsShineRunning() const { return m_ShineRunning; }
    CHogPunishment& GetPunishment() { return m_Punishment; }
    CHudMessagePopup& GetMessage() { return m_Message; }

private:
    CPoint2i LayoutSize() const;
    bool HitEntry(s32 index, const CVector2& point, bool inPopup, qe::CScene* mirrorScene);
    void Take(s32 index);
    void StartFlight(qe::CSceneObject* object, const CPoint2i& from, const CPoint2i& to);
    void FinishFlight();
    void Finish();
    void EndPunishment();
    void PlayStrikethrough(s32 row);
    // Entries of the row's hint text still to find, and whether one of them is enabled.
    s32 RowRemaining(s32 row, bool* anyEnabled) const;
    // The entry's item moved into layout space and back, for popup items.
    void ShiftPopupItem(s32 index, float sign);
    CPoint2i PictureCell(s32 index) const;
    float ShineFactor() const;
    static bool SameText(const char16_t* a, const char16_t* b);
    static CVector2 MoveBy(const CVector2& v, float dx, float dy) { return CVector2(v.X + dx, v.Y + dy); }

    SEntry m_Entries[kMaxEntries];
    s32 m_RowOfEntry[kMaxEntries] = {};
    s32 m_RowFirstEntry[kMaxEntries] = {};
    bool m_RowStruck[kMaxEntries] = {};
    qe::CScene* m_Scene = nullptr;
    s32 m_RowCount = 0;
    s32 m_CloseStart = -1;
    s32 m_MainCount = kMaxEntries;
    lv::graphics::CImageHandle* m_FlightImage = nullptr;
    qe::CSceneObject* m_FlightObject = nullptr;
    s32 m_FlightStart = -1;
    CPoint2i m_FlightFrom;
    CPoint2i m_FlightTo;
    CPoint2i m_FlightPoint;
    CPoint2i m_PopupOrigin;
    float m_FlightProgress = 0;
    float m_ClosingProgress = 0;
    s32 m_LastTaken = -1;
    s32 m_Taken = 0;
    CClip m_Strikethroughs[kMaxEntries];
    CPoint2i m_SpecialStart[kMaxSpecials];
    CPoint2i m_SpecialPosition[kMaxSpecials];
    qe::CSceneObject* m_SpecialObjects[kMaxSpecials] = {nullptr, nullptr};
    lv::graphics::CImageHandle* m_SpecialImages[kMaxSpecials] = {nullptr, nullptr};
    std::unique_ptr<lv::misc::anim::CParticleSystem> m_Smoke;
    std::unique_ptr<lv::misc::anim::CParticleSystem> m_Sparks[kSparkCount];
    s32 m_SparkEntry[kSparkCount] = {-1, -1, -1, -1, -1};
    s32 m_SparkAge[kSparkCount] = {};
    CPoint2i m_SparkFrom[kSparkCount];
    CPoint2i m_SparkTo[kSparkCount];
    s32 m_ShineElapsed = -1;
    bool m_ShineRunning = false;
    CVector2 m_ShineFrom[kPictureCount];
    CVector2 m_ShinePosition[kPictureCount];
    bool m_SmokeRunning = false;
    s32 m_SpecialCount = 0;
    s32 m_Total = 0;
    bool m_Done = false;
    CHog* m_Owner = nullptr;
    lv::graphics::CFont* m_Font = nullptr;
    bool m_CompletionPending = false;
    s32 m_Misses = 0;
    s32 m_HintsUsed = 0;
    CHudMessagePopup m_Message;
    CHogPunishment m_Punishment;
};

} // namespace game
