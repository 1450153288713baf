#pragma once
// The developer overlay: the frame rate and frame time with the particle fill statistics as
// text at the top left, and the particle fill-rate bar at the top right.
#include "core/Color.h"
#include "core/Types.h"

#include <string>

namespace lv::graphics {
class CFont;
class CRenderer;
} // namespace lv::graphics

namespace game {

class CFpsOverlay
{
public:
    // A fill rate of this many pixels a frame fills the bar.
    static constexpr float kFullFillRate = 7000000.0f;
    // The statistics are refreshed once this many milliseconds of the frame clock have passed.
    static constexpr s32 kRefreshMs = 1000;

    explicit CFpsOverlay(const char* fontName);

    void SetBarShown(bool shown) { m_BarShown = shown ? 1 : 0; }
    bool IsBarShown() const { return m_BarShown != 0; }
    void SetTextShown(bool shown) { m_TextShown = shown ? 1 : 0; }
    bool IsTextShown() const { return m_TextShown != 0; }
    s32 GetFramesPerSecond() const { return m_FramesPerSecond; }

    // Counts the frame and draws what is switched on, with the frame clock and the particle
    // fill statistics of the running game.
    void Draw(lv::graphics::CRenderer& renderer);
    // The same with the time (ms) and the statistics given.
    void DrawAt(lv::graphics::CRenderer& renderer, float now, float fillRate, float sourcePixels);

    // The bar's colour for a fill ratio: green, yellow above 0.7, red from 1.0.
    static CColor GetBarColor(float ratio);
    // The text lines as last formatted (shared by all overlays).
    static const WString& GetFpsLine();
    static const WString& GetParticleLine();
    // Uses the font instead of looking "cheatfont" up (tests, tools).
    static void SetFont(lv::graphics::CFont* font);
    // Forgets the shared font, lines and refresh time (a new font manager, tests).
    static void ResetShared();

private:
    void DrawText(lv::graphics::CRenderer& renderer, lv::graphics::CFont& font);
    void DrawBar(lv::graphics::CRenderer& renderer, lv::graphics::CFont& font, float fillRate);

    u8 m_BarShown = 0;
    u8 m_TextShown = 0;
    s32 m_FramesPerSecond = 0;
    s32 m_FramesCounted = 0;
    const char* m_FontName;
};

} // namespace game
