#pragma once
// Plays the story's full-screen cutscenes over the game, read once from
// "properties/cutscenes.xml": each cutscene is up to seven parts, each a video (opaque, or with a
// separate alpha video), an optional sound and an optional subtitles clip that follows the video's
// time. A part may let the player skip it by clicking the top-right corner. Every end of a
// cutscene asks the quest to save.
#include "core/IntRect.h"
#include "core/Point2i.h"
#include "core/Settings.h"
#include "core/Types.h"

#include <memory>

class CClip;

namespace lv::graphics {
class CRenderer;
class CVideo;
class CWebMOpaqueVideo;
class CWebMTranslucentVideo;
} // namespace lv::graphics

namespace game {

class CCutscenePlayer
{
public:
    static constexpr s32 kMaxParts = 7;
    static constexpr s32 kSkipWidth = 260;
    static constexpr s32 kSkipHeight = 60;
    static constexpr s32 kSkipTop = 4;

    CCutscenePlayer();
    ~CCutscenePlayer();
    CCutscenePlayer(const CCutscenePlayer&) = delete;
    CCutscenePlayer& operator=(const CCutscenePlayer&) = delete;

    // The same as Stop: the game window calls it when it is made.
    void Reset();
    // Starts the cutscene of that id (stopping a running one first); false when it has no part.
    bool Play(const char* id);
    // Ends the cutscene and has the quest of the main view's scene save.
    void Stop();
    bool IsPlaying() const { return m_Current >= 0 && m_Current < m_PartCount; }
    // Per frame: advances the part's video and subtitles, and moves on when the video has ended.
    void Update();
    // Draws the part full-screen instead of the scenes and the HUD, and shows the game window's
    // skip button while the part allows skipping.
    void Draw(lv::graphics::CRenderer& renderer);
    // After the game window's children are drawn: with a renderer the skip button is placed and
    // shown, without one hidden and disabled.
    void ShowSkipButton(lv::graphics::CRenderer* renderer);
    // Both take every event while playing (true); a click on the skip area of a skippable part
    // goes on to the next part, a move over it shows the hand.
    bool OnClick(const CPoint2i& point);
    bool OnMouseMove(const CPoint2i& point);

    s32 GetPartCount() const { return m_PartCount; }
    s32 GetCurrentPart() const { return m_Current; }
    bool IsTranslucent() const { return m_Translucent != 0; }
    bool IsCurrentPartSkippable() const { return IsPlaying() && m_Parts[m_Current].EnableSkip != 0; }
    s32 GetSoundId() const { return m_SoundId; }
    const CIntRect& GetSkipArea() const { return m_SkipArea; }
    CClip& GetSubtitles() const { return *m_Subtitles; }
    // The player of the current part (the opaque one when idle).
    lv::graphics::CVideo& GetCurrentVideo() const;
    s32 GetStopCount() const { return m_StopCount; }

private:
    struct CPart
    {
        const char* Path = "";
        // Null for an opaque part.
        const char* AlphaPath = nullptr;
        const char* Sound = "";
        const char* Subtitles = "";
        u8 EnableSkip = 0;
    };

    bool StartNextPart();
    // Closes the current part's player and stops its sound.
    void EndCurrentPart();
    void PlaceSkipButton(bool shown) const;

    CIntRect m_SkipArea;
    std::unique_ptr<lv::graphics::CWebMOpaqueVideo> m_OpaquePlayer;
    std::unique_ptr<lv::graphics::CWebMTranslucentVideo> m_TranslucentPlayer;
    std::unique_ptr<CClip> m_Subtitles;
    s32 m_SoundId = 0;
    // Kept for the player's lifetime: the parts point into its strings.
    lv::core::CSettings m_Definitions;
    CPart m_Parts[kMaxParts];
    s32 m_PartCount = 0;
    s32 m_Current = -1;
    s32 m_StopCount = 0;
    u8 m_Translucent = 0;
};

} // namespace game
