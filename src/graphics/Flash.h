#pragma once
// Host of a Flash movie: the player's control draws windowless into a texture that is drawn like
// any image, a companion sound of the movie's name plays, pauses and stops with it, and every
// player pauses when the application stops running. Without a Flash player on the system a
// player loads nothing, draws nothing and only counts its pauses.
#include <memory>

#include "core/FixedString.h"
#include "core/Point2i.h"
#include "core/Types.h"

namespace lv::platform {
class CFlashControl;
}

namespace lv::graphics {

class CImageHandle;

class CFlash
{
public:
    static constexpr s32 kPaused = 0;
    static constexpr s32 kPlaying = 1;
    static constexpr s32 kStopped = 2;

    // Makes the control and loads the movie (an empty path loads nothing).
    CFlash(const WChar* path, s32 width, s32 height, const char* name);
    virtual ~CFlash();
    CFlash(const CFlash&) = delete;
    CFlash& operator=(const CFlash&) = delete;

    // Loads the movie (a relative path is taken from the working folder) to be drawn at
    // width x height, with the companion sound of that name, and plays it; false without a
    // player, for an empty path or a movie the player refuses (the previous image stays).
    bool LoadMovie(const WChar* path, s32 width, s32 height, const char* name);
    // The size given to the last loaded movie.
    const CPoint2i* GetMovieSize() const { return &m_MovieSize; }
    // With redraw the movie's current frame is painted into its texture first; null before a
    // movie was loaded.
    CImageHandle* Render(bool redraw);
    // Once a frame: a movie that has played to its end is stopped and rewound.
    void Update();

    void Play();
    // Pauses nest: each Pause needs its Resume before the movie plays on.
    void Pause();
    void Resume();
    void Stop();
    s32 GetState() const { return m_State; }
    s32 GetPauseDepth() const { return m_PauseDepth; }
    void SetMuted(u8 muted);
    s32 GetSoundId() const { return m_SoundId; }

    // The control's values; -1 without a player.
    s32 GetTotalFrames() const;
    s32 GetCurrentFrame() const;
    // 0, 1, 2 for "Low", "Medium", "High".
    void SetQuality(s32 index);
    void SetVariable(const WChar* name, const WChar* value);
    // "" without a player.
    WString GetVariable(const WChar* name) const;

    // Pauses (true) or resumes (false) every live player, and tells each movie through its
    // "pause_count" variable.
    static void PauseAll(bool pause);
    // Pause levels that PauseAll holds on all players now (never negative).
    static s32 GetPauseAllLevel();
    // Number of live players.
    static size_t GetPlayerCount();

private:
    void ApplyVolume();

    std::unique_ptr<lv::platform::CFlashControl> m_Control;
    s32 m_State = kStopped;
    CPoint2i m_MovieSize;
    s32 m_PauseDepth = 0;
    CImageHandle* m_Image = nullptr;
    CFixedString m_Name;
    s32 m_SoundId = -1;
    float m_Volume = 100.0f;
    u8 m_Muted = 0;
};

// The installed player's version (major version in the integer part); 0 without a player.
float GetFlashVersion();

} // namespace lv::graphics
