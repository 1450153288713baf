#pragma once
// The music of the levels played in one game window: a playlist that starts at a random track
// and then plays the tracks in list order, wrapping around.
#include "core/FixedString.h"
#include "core/Types.h"

#include <functional>
#include <vector>

namespace qe {
class CQuest;
}

namespace game {

class CLevelMusic
{
public:
    CLevelMusic() = default;
    ~CLevelMusic();
    CLevelMusic(const CLevelMusic&) = delete;
    CLevelMusic& operator=(const CLevelMusic&) = delete;

    // Appends the quest's level tracks to the playlist (earlier levels' tracks stay ahead).
    bool Load(const char* path, qe::CQuest* quest);
    // Per frame while the scripts run and no cutscene plays: starts the next track when the
    // current one has ended.
    void Update();
    // Stops the current track at once; the next update starts anew at random.
    void Stop();

    // The first track's index comes from this source (the process's generator unless set).
    void SetRandomSource(std::function<s32()> random) { m_Random = std::move(random); }

    s32 GetTrackCount() const { return static_cast<s32>(m_Tracks.size()); }
    const CFixedString& GetTrackName(s32 index) const { return m_Tracks[static_cast<size_t>(index)].Name; }
    s32 GetCurrent() const { return m_Current; }
    // The current track's sound id, -1 when none.
    s32 GetCurrentSoundId() const;
    bool IsLoaded() const { return m_Loaded != 0; }
    bool IsStarted() const { return m_Started != 0; }

private:
    struct CTrack
    {
        CFixedString Name;
        s32 SoundId = -1;
    };

    std::vector<CTrack> m_Tracks;
    s32 m_Current = -1;
    s32 m_Previous = -1;
    u8 m_Started = 0;
    u8 m_Loaded = 0;
    std::function<s32()> m_Random;
};

} // namespace game
